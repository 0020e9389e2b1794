// The JSON form of a Pay document, member for member the XML element tree:
//
//   {"type": "Pay", "InvoiceID": ..., "Payments": [
//     {"PaymentOptions": [names], "Amount": number, "CurrencyCode",
//      "PaymentDueDate", "VariableSymbol", "ConstantSymbol", "SpecificSymbol",
//      "OriginatorsReferenceInformation", "PaymentNote",
//      "BankAccounts": [{"IBAN", "BIC"}],
//      "StandingOrderExt": {"Day": integer, "Month": [names],
//                           "Periodicity": name, "LastDate"},
//      "DirectDebitExt": {"DirectDebitScheme": name, "DirectDebitType": name,
//        "VariableSymbol", "SpecificSymbol", "MandateID", "CreditorID",
//        "ContractID", "OriginatorsReferenceInformation",
//        "MaxAmount": number, "ValidTillDate"}}]}
//
// The words of the enumerations and flag sets are those of the XML form
// (model/vocabulary.h).

#include <iterator>
#include <memory>
#include <utility>

#include "json/kinds.h"
#include "model/vocabulary.h"

namespace zarnex::json {
namespace {

int read_bank_account(JsonObject node, BankAccount& account) {
  return json_read_strings(node,
                           {{"IBAN", &account.IBAN}, {"BIC", &account.BIC}});
}

int read_standing_order(JsonObject node, StandingOrderExt& order) {
  if (int status = json_read_int(node, "Day", order.Day)) return status;
  if (int status = json_read_flags(node, "Month", order.Month, kMonthNames))
    return status;
  if (int status = json_read_code(node, "Periodicity", order.Periodicity,
                                  kPeriodicityNames, kPeriodicityCodes))
    return status;
  return json_read_string(node, "LastDate", order.LastDate);
}

// Reads in the XML order, not in the record's field order.
int read_direct_debit(JsonObject node, DirectDebitExt& debit) {
  if (int status =
          json_read_enum(node, "DirectDebitScheme", debit.DirectDebitScheme,
                         kDirectDebitSchemeNames))
    return status;
  if (int status = json_read_enum(node, "DirectDebitType",
                                  debit.DirectDebitType, kDirectDebitTypeNames))
    return status;
  if (int status =
          json_read_strings(node, {{"VariableSymbol", &debit.VariableSymbol},
                                   {"SpecificSymbol", &debit.SpecificSymbol},
                                   {"MandateID", &debit.MandateID},
                                   {"CreditorID", &debit.CreditorID},
                                   {"ContractID", &debit.ContractID},
                                   {"OriginatorsReferenceInformation",
                                    &debit.OriginatorsReferenceInformation}}))
    return status;
  if (int status = json_read_decimal(node, "MaxAmount", debit.MaxAmount))
    return status;
  return json_read_string(node, "ValidTillDate", debit.ValidTillDate);
}

int read_payment(JsonObject node, Payment& payment) {
  if (int status = json_read_flags(
          node, "PaymentOptions", payment.PaymentOptions, kPaymentOptionsNames))
    return status;
  if (int status = json_read_decimal(node, "Amount", payment.Amount))
    return status;
  if (int status =
          json_read_strings(node, {{"CurrencyCode", &payment.CurrencyCode},
                                   {"PaymentDueDate", &payment.PaymentDueDate},
                                   {"VariableSymbol", &payment.VariableSymbol},
                                   {"ConstantSymbol", &payment.ConstantSymbol},
                                   {"SpecificSymbol", &payment.SpecificSymbol},
                                   {"OriginatorsReferenceInformation",
                                    &payment.OriginatorsReferenceInformation},
                                   {"PaymentNote", &payment.PaymentNote}}))
    return status;
  if (int status = json_read_list(node, "BankAccounts", payment.BankAccounts,
                                  read_bank_account))
    return status;
  if (int status =
          json_read_record(node, "StandingOrderExt", payment.StandingOrderExt,
                           read_standing_order))
    return status;
  return json_read_record(node, "DirectDebitExt", payment.DirectDebitExt,
                          read_direct_debit);
}

void write_bank_account(JsonOut& out, const BankAccount& account) {
  json_write_string(out, "IBAN"_key, account.IBAN);
  json_write_string(out, "BIC"_key, account.BIC);
}

void write_standing_order(JsonOut& out, const StandingOrderExt& order) {
  json_write_nested(out, "StandingOrderExt"_key, [&](JsonOut& content) {
    json_write_int(content, "Day"_key, order.Day);
    json_write_flags(content, "Month"_key, order.Month, kMonthNames);
    json_write_code(content, "Periodicity"_key, order.Periodicity,
                    kPeriodicityNames, kPeriodicityCodes);
    json_write_string(content, "LastDate"_key, order.LastDate);
  });
}

void write_direct_debit(JsonOut& out, const DirectDebitExt& debit) {
  json_write_nested(out, "DirectDebitExt"_key, [&](JsonOut& content) {
    json_write_enum(content, "DirectDebitScheme"_key, debit.DirectDebitScheme,
                    kDirectDebitSchemeNames);
    json_write_enum(content, "DirectDebitType"_key, debit.DirectDebitType,
                    kDirectDebitTypeNames);
    json_write_strings(content, {{"VariableSymbol"_key, &debit.VariableSymbol},
                                 {"SpecificSymbol"_key, &debit.SpecificSymbol},
                                 {"MandateID"_key, &debit.MandateID},
                                 {"CreditorID"_key, &debit.CreditorID},
                                 {"ContractID"_key, &debit.ContractID},
                                 {"OriginatorsReferenceInformation"_key,
                                  &debit.OriginatorsReferenceInformation}});
    json_write_decimal(content, "MaxAmount"_key, debit.MaxAmount);
    json_write_string(content, "ValidTillDate"_key, debit.ValidTillDate);
  });
}

void write_payment(JsonOut& out, const Payment& payment) {
  json_write_flags(out, "PaymentOptions"_key, payment.PaymentOptions,
                   kPaymentOptionsNames);
  json_write_decimal(out, "Amount"_key, payment.Amount);
  json_write_strings(out, {{"CurrencyCode"_key, &payment.CurrencyCode},
                           {"PaymentDueDate"_key, &payment.PaymentDueDate},
                           {"VariableSymbol"_key, &payment.VariableSymbol},
                           {"ConstantSymbol"_key, &payment.ConstantSymbol},
                           {"SpecificSymbol"_key, &payment.SpecificSymbol},
                           {"OriginatorsReferenceInformation"_key,
                            &payment.OriginatorsReferenceInformation},
                           {"PaymentNote"_key, &payment.PaymentNote}});
  json_write_list(out, "BankAccounts"_key, payment.BankAccounts,
                  write_bank_account);
  if (payment.StandingOrderExt)
    write_standing_order(out, *payment.StandingOrderExt);
  if (payment.DirectDebitExt) write_direct_debit(out, *payment.DirectDebitExt);
}

}  // namespace

int pay_from_json(JsonObject root, DocumentPtr* out) {
  std::unique_ptr<Pay> pay = new_pay();
  if (int status = json_read_string(root, "InvoiceID", pay->InvoiceID))
    return status;
  if (int status =
          json_read_list(root, "Payments", pay->Payments, read_payment))
    return status;
  *out = std::move(pay);
  return 0;
}

void pay_to_json(JsonOut& out, const Pay& pay) {
  json_write_string(out, "InvoiceID"_key, pay.InvoiceID);
  json_write_list(out, "Payments"_key, pay.Payments, write_payment);
}

}  // namespace zarnex::json
