// The XML form of a Pay document:
//
//   Pay
//     InvoiceID
//     Payments / Payment*
//       PaymentOptions (flags), Amount, CurrencyCode, PaymentDueDate,
//       VariableSymbol, ConstantSymbol, SpecificSymbol,
//       OriginatorsReferenceInformation, PaymentNote,
//       BankAccounts / BankAccount* (IBAN, BIC),
//       StandingOrderExt (Day, Month (flags), Periodicity (code), LastDate),
//       DirectDebitExt (DirectDebitScheme, DirectDebitType, VariableSymbol,
//         SpecificSymbol, MandateID, CreditorID, ContractID,
//         OriginatorsReferenceInformation, MaxAmount, ValidTillDate)
//
// DirectDebitExt's elements come in this order in XML, which differs from
// the record's field order (OriginatorsReferenceInformation after
// ContractID).

#include <memory>
#include <utility>

#include "model/pay.h"
#include "model/vocabulary.h"
#include "xml/kinds.h"
#include "xml/xml_reader.h"
#include "xml/xml_writer.h"

namespace zarnex::xml {
namespace {

constexpr const char* kPayTypes[] = {"Pay"};

int read_bank_account(const xmlNode* node, BankAccount& account) {
  return xml_read_strings(node,
                          {{"IBAN", &account.IBAN}, {"BIC", &account.BIC}});
}

int read_standing_order(const xmlNode* node, StandingOrderExt& order) {
  if (int status = xml_read_int(node, "Day", order.Day)) return status;
  if (int status = xml_read_flags(node, "Month", order.Month, kMonthNames))
    return status;
  if (int status = xml_read_code(node, "Periodicity", order.Periodicity,
                                 kPeriodicityNames, kPeriodicityCodes))
    return status;
  return xml_read_string(node, "LastDate", order.LastDate);
}

// Reads in XML order, not in the record's field order.
int read_direct_debit(const xmlNode* node, DirectDebitExt& debit) {
  if (int status = xml_read_enum(node, "DirectDebitScheme",
                                 debit.DirectDebitScheme,
                                 kDirectDebitSchemeNames))
    return status;
  if (int status = xml_read_enum(node, "DirectDebitType",
                                 debit.DirectDebitType, kDirectDebitTypeNames))
    return status;
  if (int status = xml_read_strings(
          node, {{"VariableSymbol", &debit.VariableSymbol},
                 {"SpecificSymbol", &debit.SpecificSymbol},
                 {"MandateID", &debit.MandateID},
                 {"CreditorID", &debit.CreditorID},
                 {"ContractID", &debit.ContractID},
                 {"OriginatorsReferenceInformation",
                  &debit.OriginatorsReferenceInformation}}))
    return status;
  if (int status = xml_read_decimal(node, "MaxAmount", debit.MaxAmount))
    return status;
  return xml_read_string(node, "ValidTillDate", debit.ValidTillDate);
}

int read_payment(const xmlNode* node, Payment& payment) {
  if (int status = xml_read_flags(node, "PaymentOptions",
                                  payment.PaymentOptions, kPaymentOptionsNames))
    return status;
  if (int status = xml_read_decimal(node, "Amount", payment.Amount))
    return status;
  if (int status = xml_read_strings(
          node, {{"CurrencyCode", &payment.CurrencyCode},
                 {"PaymentDueDate", &payment.PaymentDueDate},
                 {"VariableSymbol", &payment.VariableSymbol},
                 {"ConstantSymbol", &payment.ConstantSymbol},
                 {"SpecificSymbol", &payment.SpecificSymbol},
                 {"OriginatorsReferenceInformation",
                  &payment.OriginatorsReferenceInformation},
                 {"PaymentNote", &payment.PaymentNote}}))
    return status;
  if (int status = xml_read_list(node, "BankAccounts", "BankAccount",
                                 payment.BankAccounts, read_bank_account))
    return status;
  // A present element gives a record, even when it is empty.
  if (const xmlNode* order = xml_find_child(node, "StandingOrderExt")) {
    payment.StandingOrderExt = std::make_unique<StandingOrderExt>();
    if (int status = read_standing_order(order, *payment.StandingOrderExt))
      return status;
  }
  if (const xmlNode* debit = xml_find_child(node, "DirectDebitExt")) {
    payment.DirectDebitExt = std::make_unique<DirectDebitExt>();
    if (int status = read_direct_debit(debit, *payment.DirectDebitExt))
      return status;
  }
  return 0;
}

void write_bank_account(XmlOut& out, const BankAccount& account) {
  xml_write_nested(out, "BankAccount"_tag, [&](XmlOut& content) {
    xml_write_string(content, "IBAN"_tag, account.IBAN);
    xml_write_string(content, "BIC"_tag, account.BIC);
  });
}

void write_standing_order(XmlOut& out, const StandingOrderExt& order) {
  xml_write_nested(out, "StandingOrderExt"_tag, [&](XmlOut& content) {
    xml_write_int(content, "Day"_tag, order.Day);
    xml_write_flags(content, "Month"_tag, order.Month, kMonthNames);
    xml_write_code(content, "Periodicity"_tag, order.Periodicity,
                   kPeriodicityNames, kPeriodicityCodes);
    xml_write_string(content, "LastDate"_tag, order.LastDate);
  });
}

void write_direct_debit(XmlOut& out, const DirectDebitExt& debit) {
  xml_write_nested(out, "DirectDebitExt"_tag, [&](XmlOut& content) {
    xml_write_enum(content, "DirectDebitScheme"_tag, debit.DirectDebitScheme,
                   kDirectDebitSchemeNames);
    xml_write_enum(content, "DirectDebitType"_tag, debit.DirectDebitType,
                   kDirectDebitTypeNames);
    xml_write_strings(content, {{"VariableSymbol"_tag, &debit.VariableSymbol},
                                {"SpecificSymbol"_tag, &debit.SpecificSymbol},
                                {"MandateID"_tag, &debit.MandateID},
                                {"CreditorID"_tag, &debit.CreditorID},
                                {"ContractID"_tag, &debit.ContractID},
                                {"OriginatorsReferenceInformation"_tag,
                                 &debit.OriginatorsReferenceInformation}});
    xml_write_decimal(content, "MaxAmount"_tag, debit.MaxAmount);
    xml_write_string(content, "ValidTillDate"_tag, debit.ValidTillDate);
  });
}

void write_payment(XmlOut& out, const Payment& payment) {
  xml_write_nested(out, "Payment"_tag, [&](XmlOut& content) {
    xml_write_flags(content, "PaymentOptions"_tag, payment.PaymentOptions,
                    kPaymentOptionsNames);
    xml_write_decimal(content, "Amount"_tag, payment.Amount);
    xml_write_strings(content, {{"CurrencyCode"_tag, &payment.CurrencyCode},
                                {"PaymentDueDate"_tag, &payment.PaymentDueDate},
                                {"VariableSymbol"_tag, &payment.VariableSymbol},
                                {"ConstantSymbol"_tag, &payment.ConstantSymbol},
                                {"SpecificSymbol"_tag, &payment.SpecificSymbol},
                                {"OriginatorsReferenceInformation"_tag,
                                 &payment.OriginatorsReferenceInformation},
                                {"PaymentNote"_tag, &payment.PaymentNote}});
    xml_write_list(content, "BankAccounts"_tag, payment.BankAccounts,
                   write_bank_account);
    if (payment.StandingOrderExt)
      write_standing_order(content, *payment.StandingOrderExt);
    if (payment.DirectDebitExt)
      write_direct_debit(content, *payment.DirectDebitExt);
  });
}

}  // namespace

int pay_from_xml(const xmlNode* root, DocumentPtr* out) {
  if (int status = xml_check_root_type(root, kPayTypes, nullptr))
    return status;
  std::unique_ptr<Pay> pay = new_pay();
  if (int status = xml_read_string(root, "InvoiceID", pay->InvoiceID))
    return status;
  if (int status = xml_read_list(root, "Payments", "Payment", pay->Payments,
                                 read_payment))
    return status;
  *out = std::move(pay);
  return 0;
}

void pay_to_xml(XmlOut& out, const Pay& pay) {
  xml_write_string(out, "InvoiceID"_tag, pay.InvoiceID);
  xml_write_list(out, "Payments"_tag, pay.Payments, write_payment);
}

}  // namespace zarnex::xml
