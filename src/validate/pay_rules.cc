// The rules of a Pay document: presence, form and mutual exclusion of the
// fields of every payment, first failure wins.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "error/error.h"
#include "model/pay.h"
#include "validate/collect.h"
#include "validate/document_rules.h"
#include "validate/validators.h"

namespace zarnex::validate {
namespace {

constexpr std::string_view kSymbolWithReference =
    " must be NULL, because OriginatorsReferenceInformation is not NULL. ";
constexpr std::string_view kNotForPeriodicity =
    " must be NULL if Periodicity does not require it. ";
constexpr std::string_view kNoStandingOrder =
    " must be NULL, because PaymentOptions does not contain standingorder. ";
constexpr std::string_view kNoDirectDebit =
    " must be NULL, because PaymentOptions does not contain directdebit. ";
constexpr std::string_view kInvalidEnumValue = "Invalid value. ";
constexpr std::string_view kSepaSelected = "SEPA direct debit scheme selected";
constexpr std::string_view kMandateUsed =
    "MandateID, CreditorID and ContractID are used";
constexpr std::string_view kReferenceUsed =
    "OriginatorsReferenceInformation is used";

// The longest variable and specific symbol, and the longest constant symbol.
constexpr std::size_t kSymbolDigits = 10;
constexpr std::size_t kConstantSymbolDigits = 4;

// An enumeration of two members: present and 0 or 1.
int check_two_valued(std::string_view name, const IntValue& value) {
  if (int rc = check_not_null(name, value)) return rc;
  if (static_cast<std::uint32_t>(*value) > 1) {
    return set_error_detail(ErrorCode::kInvalidValue, name, kInvalidEnumValue);
  }
  return 0;
}

// The symbols of a payment: either an originator's reference or digits.
int check_payment_symbols(const Payment& payment) {
  if (payment.OriginatorsReferenceInformation) {
    if (int rc = check_must_be_null("VariableSymbol", payment.VariableSymbol,
                                    kSymbolWithReference))
      return rc;
    if (int rc = check_must_be_null("ConstantSymbol", payment.ConstantSymbol,
                                    kSymbolWithReference))
      return rc;
    return check_must_be_null("SpecificSymbol", payment.SpecificSymbol,
                              kSymbolWithReference);
  }
  if (payment.VariableSymbol) {
    if (int rc = check_digits("VariableSymbol", payment.VariableSymbol,
                              kSymbolDigits))
      return rc;
  }
  if (payment.ConstantSymbol) {
    if (int rc = check_digits("ConstantSymbol", payment.ConstantSymbol,
                              kConstantSymbolDigits))
      return rc;
  }
  if (payment.SpecificSymbol) {
    if (int rc = check_digits("SpecificSymbol", payment.SpecificSymbol,
                              kSymbolDigits))
      return rc;
  }
  return 0;
}

int check_bank_account(const RecordValue<BankAccount>& account) {
  if (int rc = check_not_null("BankAccount", account)) return rc;
  if (int rc = check_iban("IBAN", account->IBAN)) return rc;
  return check_bic("BIC", account->BIC);
}

int check_bank_accounts(const Payment& payment) {
  if (int rc = check_list("BankAccounts", payment.BankAccounts)) return rc;
  for (const auto& account : *payment.BankAccounts) {
    if (int rc = check_bank_account(account)) return rc;
  }
  return 0;
}

int check_standing_order(const RecordValue<StandingOrderExt>& record) {
  if (int rc = check_not_null("StandingOrderExt", record)) return rc;
  const StandingOrderExt& ext = *record;
  if (int rc = check_not_null("Periodicity", ext.Periodicity)) return rc;
  // The first letter chooses what Day may hold; an empty text has none.
  const char period =
      ext.Periodicity->empty() ? '\0' : ext.Periodicity->front();
  int rc = 0;
  switch (period) {
    case 'w':
    case 'b':
      rc = check_int_range("Day", ext.Day, 1, 7);
      break;
    case 'm':
    case 'B':
      rc = check_int_range("Day", ext.Day, 1, 31);
      break;
    default:
      rc = check_must_be_null("Day", ext.Day, kNotForPeriodicity);
      if (rc == 0)
        rc = check_must_be_null("Month", ext.Month, kNotForPeriodicity);
      break;
  }
  if (rc != 0) return rc;
  // The field sequence keeps a date only in its YYYY-MM-DD form, so any
  // other form would be mangled or lost on the way: refuse it here.
  if (ext.LastDate) return check_date("LastDate", *ext.LastDate);
  return 0;
}

int check_direct_debit(const RecordValue<DirectDebitExt>& record) {
  if (int rc = check_not_null("DirectDebitExt", record)) return rc;
  const DirectDebitExt& ext = *record;
  if (int rc = check_two_valued("DirectDebitScheme", ext.DirectDebitScheme))
    return rc;
  if (int rc = check_two_valued("DirectDebitType", ext.DirectDebitType))
    return rc;

  const bool sepa = *ext.DirectDebitScheme == 1;
  const bool mandate =
      sepa || ext.MandateID || ext.CreditorID || ext.ContractID;
  if (mandate) {
    if (int rc = check_not_null("MandateID", ext.MandateID)) return rc;
    if (int rc = check_not_null("CreditorID", ext.CreditorID)) return rc;
    const std::string_view detail = sepa ? kSepaSelected : kMandateUsed;
    if (int rc =
            check_must_be_null("VariableSymbol", ext.VariableSymbol, detail))
      return rc;
    if (int rc =
            check_must_be_null("SpecificSymbol", ext.SpecificSymbol, detail))
      return rc;
    if (int rc =
            check_must_be_null("OriginatorsReferenceInformation",
                               ext.OriginatorsReferenceInformation, detail))
      return rc;
  } else if (ext.OriginatorsReferenceInformation) {
    if (int rc = check_must_be_null("VariableSymbol", ext.VariableSymbol,
                                    kReferenceUsed))
      return rc;
    if (int rc = check_must_be_null("SpecificSymbol", ext.SpecificSymbol,
                                    kReferenceUsed))
      return rc;
  }

  if (ext.VariableSymbol) {
    if (int rc =
            check_digits("VariableSymbol", ext.VariableSymbol, kSymbolDigits))
      return rc;
  }
  if (ext.SpecificSymbol) {
    if (int rc =
            check_digits("SpecificSymbol", ext.SpecificSymbol, kSymbolDigits))
      return rc;
  }
  if (ext.MaxAmount) {
    if (int rc = check_non_negative_decimal("MaxAmount", ext.MaxAmount))
      return rc;
  }
  // As LastDate: only the YYYY-MM-DD form survives the field sequence.
  if (ext.ValidTillDate) return check_date("ValidTillDate", *ext.ValidTillDate);
  return 0;
}

// The rules of a payment in groups, in the order validation runs them. The
// groups are separate so that check mode can run each of them even when an
// earlier one failed; the extension groups read PaymentOptions and run only
// after check_payment_options passed.
int check_payment_options(const Payment& payment) {
  return check_bits("PaymentOptions", payment.PaymentOptions, 3);
}

int check_payment_currency(const Payment& payment) {
  return check_currency_code("CurrencyCode", payment.CurrencyCode);
}

int check_payment_due_date(const Payment& payment) {
  if (payment.PaymentDueDate)
    return check_date("PaymentDueDate", *payment.PaymentDueDate);
  return 0;
}

int check_payment_standing_order(const Payment& payment) {
  if (*payment.PaymentOptions & kStandingOrder)
    return check_standing_order(payment.StandingOrderExt);
  return check_must_be_null("StandingOrderExt", payment.StandingOrderExt,
                            kNoStandingOrder);
}

int check_payment_direct_debit(const Payment& payment) {
  if (*payment.PaymentOptions & kDirectDebit)
    return check_direct_debit(payment.DirectDebitExt);
  return check_must_be_null("DirectDebitExt", payment.DirectDebitExt,
                            kNoDirectDebit);
}

int check_payment(const Payment& payment) {
  if (int rc = check_payment_options(payment)) return rc;
  if (int rc = check_payment_currency(payment)) return rc;
  if (int rc = check_payment_due_date(payment)) return rc;
  if (int rc = check_payment_symbols(payment)) return rc;
  if (int rc = check_bank_accounts(payment)) return rc;
  if (int rc = check_payment_standing_order(payment)) return rc;
  return check_payment_direct_debit(payment);
}

}  // namespace

int validate_pay(const Pay& pay) {
  if (int rc = check_list("Payments", pay.Payments)) return rc;
  for (const auto& payment : *pay.Payments) {
    if (int rc = check_payment(*payment)) return rc;
  }
  return 0;
}

void collect_pay_failures(const Pay& pay, const RuleReport& report) {
  if (check_list("Payments", pay.Payments)) return report("");
  std::size_t index = 0;
  for (const auto& payment : *pay.Payments) {
    const std::string at =
        "Payments/Payment[" + std::to_string(++index) + "]";
    const bool options_ok = check_payment_options(*payment) == 0;
    if (!options_ok) report(at);
    if (check_payment_currency(*payment)) report(at);
    if (check_payment_due_date(*payment)) report(at);
    if (check_payment_symbols(*payment)) report(at);
    if (check_list("BankAccounts", payment->BankAccounts)) {
      report(at);
    } else {
      std::size_t account_index = 0;
      for (const auto& account : *payment->BankAccounts) {
        ++account_index;
        if (check_bank_account(account))
          report(at + "/BankAccounts/BankAccount[" +
                 std::to_string(account_index) + "]");
      }
    }
    if (!options_ok) continue;
    if (check_payment_standing_order(*payment)) report(at);
    if (check_payment_direct_debit(*payment)) report(at);
  }
}

}  // namespace zarnex::validate
