#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "error/error.h"
#include "model/pay.h"
#include "validate/document_rules.h"

namespace zarnex {
namespace {

// A payment order with one valid payment order payment.
std::unique_ptr<Pay> valid_pay() {
  auto pay = new_pay();
  auto payment = std::make_unique<Payment>();
  set_int(payment->PaymentOptions, kPaymentOrder);
  set_decimal(payment->Amount, 100);
  set_string(payment->CurrencyCode, "EUR");
  payment->BankAccounts.emplace();
  auto account = std::make_unique<BankAccount>();
  set_string(account->IBAN, "XY12ABCD0123456789");
  set_string(account->BIC, "ABCDEFGH");
  payment->BankAccounts->append(std::move(account));
  pay->Payments.emplace();
  pay->Payments->append(std::move(payment));
  return pay;
}

Payment& first(Pay& pay) { return *pay.Payments->get(0); }

StandingOrderExt& standing_order(Payment& p) {
  p.PaymentOptions = kStandingOrder;
  p.StandingOrderExt = std::make_unique<StandingOrderExt>();
  set_string(p.StandingOrderExt->Periodicity, "m");
  return *p.StandingOrderExt;
}

// A direct debit of scheme "other" with nothing but the two enumerations.
DirectDebitExt& direct_debit(Payment& p) {
  p.PaymentOptions = kDirectDebit;
  p.DirectDebitExt = std::make_unique<DirectDebitExt>();
  set_int(p.DirectDebitExt->DirectDebitScheme, 0);
  set_int(p.DirectDebitExt->DirectDebitType, 0);
  return *p.DirectDebitExt;
}

DirectDebitExt& sepa(Payment& p) {
  DirectDebitExt& ext = direct_debit(p);
  ext.DirectDebitScheme = 1;
  set_string(ext.MandateID, "M1");
  set_string(ext.CreditorID, "C1");
  return ext;
}

// One change to the valid payment and the error text it must give ("" when
// the payment must still pass).
struct PaymentCase {
  const char* what;
  void (*change)(Payment&);
  const char* expected;
};

class PayRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  static void expect_cases(std::initializer_list<PaymentCase> cases) {
    for (const PaymentCase& c : cases) {
      reset_error();
      auto pay = valid_pay();
      c.change(first(*pay));
      const int rc = validate::validate_pay(*pay);
      EXPECT_EQ(rc, c.expected[0] ? error_code() : 0) << c.what;
      EXPECT_EQ(rc == 0 ? std::string() : error_text(), c.expected) << c.what;
    }
  }
};

TEST_F(PayRulesTest, DocumentLevel) {
  auto pay = valid_pay();
  EXPECT_EQ(validate::validate_pay(*pay), 0);

  pay = new_pay();
  EXPECT_EQ(document_validate(pay.get()), 4);
  EXPECT_EQ(error_text(), "ERROR_INVALID_VALUE: Payments cannot be NULL. ");

  pay->Payments.emplace();
  EXPECT_EQ(validate::validate_pay(*pay), 4);
  EXPECT_EQ(error_text(),
            "ERROR_INVALID_VALUE: Payments list cannot be empty. ");

  pay->Payments->append(nullptr);
  EXPECT_EQ(validate::validate_pay(*pay), 4);
  EXPECT_EQ(error_text(),
            "ERROR_INVALID_VALUE: Payments list cannot contain NULL value. ");
}

TEST_F(PayRulesTest, LaterPaymentsAfterEarlierPass) {
  auto pay = valid_pay();
  auto second = std::make_unique<Payment>();
  set_int(second->PaymentOptions, kPaymentOrder);
  set_string(second->CurrencyCode, "eur");
  pay->Payments->append(std::move(second));
  EXPECT_EQ(validate::validate_pay(*pay), 4);
  EXPECT_EQ(error_text(),
            "ERROR_INVALID_VALUE: CurrencyCode is invalid currency code. ");

  // A failing first payment is reported, the second is not examined.
  reset_error();
  first(*pay).PaymentOptions.reset();
  EXPECT_EQ(validate::validate_pay(*pay), 4);
  EXPECT_EQ(error_text(),
            "ERROR_INVALID_VALUE: PaymentOptions cannot be NULL. ");
}

TEST_F(PayRulesTest, OptionsCurrencyAndDueDate) {
  expect_cases({
      {"no currency", [](Payment& p) { p.CurrencyCode.reset(); },
       "ERROR_INVALID_VALUE: CurrencyCode cannot be NULL. "},
      {"options tested before currency",
       [](Payment& p) {
         p.CurrencyCode.reset();
         p.PaymentOptions.reset();
       },
       "ERROR_INVALID_VALUE: PaymentOptions cannot be NULL. "},
      {"options 0", [](Payment& p) { p.PaymentOptions = 0; }, ""},
      {"options 7 needs both extensions",
       [](Payment& p) { p.PaymentOptions = 7; },
       "ERROR_INVALID_VALUE: StandingOrderExt cannot be NULL. "},
      {"options 8", [](Payment& p) { p.PaymentOptions = 8; },
       "ERROR_INVALID_VALUE: PaymentOptions contains invalid values. "},
      {"amount and note are not examined",
       [](Payment& p) {
         p.Amount = -5;
         set_string(p.PaymentNote, "");
       },
       ""},
      {"due date",
       [](Payment& p) { set_string(p.PaymentDueDate, "2024-02-30"); }, ""},
      {"due date form",
       [](Payment& p) { set_string(p.PaymentDueDate, "20240230"); },
       "ERROR_INVALID_VALUE: PaymentDueDate is invalid date format. "},
      {"due date range",
       [](Payment& p) { set_string(p.PaymentDueDate, "2024-00-10"); },
       "ERROR_XML: PaymentDueDate is invalid date format. Day or month is out "
       "of range. "},
  });
}

TEST_F(PayRulesTest, Symbols) {
  const char* kWithReference =
      " must be NULL, because OriginatorsReferenceInformation is not NULL. ";
  const std::string vs =
      std::string("ERROR_INVALID_VALUE: VariableSymbol") + kWithReference;
  const std::string cs =
      std::string("ERROR_INVALID_VALUE: ConstantSymbol") + kWithReference;
  const std::string ss =
      std::string("ERROR_INVALID_VALUE: SpecificSymbol") + kWithReference;
  expect_cases({
      {"constant symbol of 4 digits",
       [](Payment& p) { set_string(p.ConstantSymbol, "0308"); }, ""},
      {"constant symbol of 5 digits",
       [](Payment& p) { set_string(p.ConstantSymbol, "03080"); },
       "ERROR_INVALID_VALUE: ConstantSymbol is too long. "},
      {"variable symbol of 10 digits",
       [](Payment& p) { set_string(p.VariableSymbol, "0123456789"); }, ""},
      {"variable symbol of 11 digits",
       [](Payment& p) { set_string(p.VariableSymbol, "01234567890"); },
       "ERROR_INVALID_VALUE: VariableSymbol is too long. "},
      {"specific symbol of 11 digits",
       [](Payment& p) { set_string(p.SpecificSymbol, "01234567890"); },
       "ERROR_INVALID_VALUE: SpecificSymbol is too long. "},
      {"specific symbol letters",
       [](Payment& p) { set_string(p.SpecificSymbol, "12A"); },
       "ERROR_INVALID_VALUE: SpecificSymbol is invalid. Can contain only "
       "digits. "},
      {"symbols in order",
       [](Payment& p) {
         set_string(p.SpecificSymbol, "x");
         set_string(p.ConstantSymbol, "x");
       },
       "ERROR_INVALID_VALUE: ConstantSymbol is invalid. Can contain only "
       "digits. "},
      {"reference alone",
       [](Payment& p) { set_string(p.OriginatorsReferenceInformation, "R"); },
       ""},
  });
  // With a reference every symbol must be absent, whatever it holds.
  struct {
    void (*change)(Payment&);
    std::string expected;
  } const with_reference[] = {
      {[](Payment& p) { set_string(p.VariableSymbol, "123"); }, vs},
      {[](Payment& p) { set_string(p.ConstantSymbol, ""); }, cs},
      {[](Payment& p) { set_string(p.SpecificSymbol, "0308"); }, ss},
  };
  for (const auto& c : with_reference) {
    reset_error();
    auto pay = valid_pay();
    set_string(first(*pay).OriginatorsReferenceInformation, "REF");
    c.change(first(*pay));
    EXPECT_EQ(validate::validate_pay(*pay), 4);
    EXPECT_EQ(error_text(), c.expected);
  }
}

TEST_F(PayRulesTest, BankAccounts) {
  expect_cases({
      {"no list", [](Payment& p) { p.BankAccounts.reset(); },
       "ERROR_INVALID_VALUE: BankAccounts cannot be NULL. "},
      {"empty list", [](Payment& p) { p.BankAccounts.emplace(); },
       "ERROR_INVALID_VALUE: BankAccounts list cannot be empty. "},
      {"null entry", [](Payment& p) { p.BankAccounts->append(nullptr); },
       "ERROR_INVALID_VALUE: BankAccounts list cannot contain NULL value. "},
      {"no BIC", [](Payment& p) { p.BankAccounts->get(0)->BIC.reset(); },
       "ERROR_INVALID_VALUE: BIC cannot be NULL. "},
      {"no IBAN before no BIC",
       [](Payment& p) {
         p.BankAccounts->get(0)->BIC.reset();
         p.BankAccounts->get(0)->IBAN.reset();
       },
       "ERROR_INVALID_VALUE: IBAN cannot be NULL. "},
      {"lower-case IBAN",
       [](Payment& p) { set_string(p.BankAccounts->get(0)->IBAN, "xy12"); },
       "ERROR_INVALID_VALUE: IBAN is invalid. "},
      {"second account checked",
       [](Payment& p) {
         auto account = std::make_unique<BankAccount>();
         set_string(account->IBAN, "XY12");
         set_string(account->BIC, "ABCDEFG");
         p.BankAccounts->append(std::move(account));
       },
       "ERROR_INVALID_VALUE: BIC is invalid. "},
  });
}

TEST_F(PayRulesTest, StandingOrder) {
  const char* kNotRequired =
      " must be NULL if Periodicity does not require it. ";
  const std::string day_not_required =
      std::string("ERROR_INVALID_VALUE: Day") + kNotRequired;
  const std::string month_not_required =
      std::string("ERROR_INVALID_VALUE: Month") + kNotRequired;
  expect_cases({
      {"missing extension",
       [](Payment& p) { p.PaymentOptions = kStandingOrder; },
       "ERROR_INVALID_VALUE: StandingOrderExt cannot be NULL. "},
      {"extension without standingorder",
       [](Payment& p) {
         standing_order(p);
         p.PaymentOptions = kPaymentOrder;
       },
       "ERROR_INVALID_VALUE: StandingOrderExt must be NULL, because "
       "PaymentOptions does not contain standingorder. "},
      {"no periodicity",
       [](Payment& p) { standing_order(p).Periodicity.reset(); },
       "ERROR_INVALID_VALUE: Periodicity cannot be NULL. "},
      {"monthly without day", [](Payment& p) { standing_order(p); }, ""},
      {"monthly day 31", [](Payment& p) { standing_order(p).Day = 31; }, ""},
      {"monthly day 32", [](Payment& p) { standing_order(p).Day = 32; },
       "ERROR_INVALID_VALUE: Day is out of range. "},
      {"monthly with month", [](Payment& p) { standing_order(p).Month = 4095; },
       ""},
      {"bimonthly day 31",
       [](Payment& p) {
         StandingOrderExt& s = standing_order(p);
         set_string(s.Periodicity, "B");
         s.Day = 31;
       },
       ""},
      {"weekly day 0",
       [](Payment& p) {
         StandingOrderExt& s = standing_order(p);
         set_string(s.Periodicity, "w");
         s.Day = 0;
       },
       "ERROR_INVALID_VALUE: Day is out of range. "},
      {"biweekly day 8",
       [](Payment& p) {
         StandingOrderExt& s = standing_order(p);
         set_string(s.Periodicity, "b");
         s.Day = 8;
       },
       "ERROR_INVALID_VALUE: Day is out of range. "},
      {"weekly day 7",
       [](Payment& p) {
         StandingOrderExt& s = standing_order(p);
         set_string(s.Periodicity, "w");
         s.Day = 7;
       },
       ""},
      {"daily without day or month",
       [](Payment& p) { set_string(standing_order(p).Periodicity, "d"); }, ""},
      {"empty periodicity",
       [](Payment& p) { set_string(standing_order(p).Periodicity, ""); }, ""},
  });
  // Periodicities that take neither Day nor Month, whatever letter follows.
  for (const char* periodicity :
       {"d", "q", "a", "s", "x", "", "W", "Monthly"}) {
    for (bool with_month : {false, true}) {
      reset_error();
      auto pay = valid_pay();
      StandingOrderExt& s = standing_order(first(*pay));
      set_string(s.Periodicity, periodicity);
      (with_month ? s.Month : s.Day) = 1;
      EXPECT_EQ(validate::validate_pay(*pay), 4) << periodicity;
      EXPECT_EQ(error_text(),
                with_month ? month_not_required : day_not_required)
          << periodicity;
    }
  }
  // Both present: Day is named.
  reset_error();
  auto pay = valid_pay();
  StandingOrderExt& s = standing_order(first(*pay));
  set_string(s.Periodicity, "a");
  s.Day = 1;
  s.Month = 1;
  EXPECT_EQ(validate::validate_pay(*pay), 4);
  EXPECT_EQ(error_text(), day_not_required);
}

TEST_F(PayRulesTest, DirectDebit) {
  expect_cases({
      {"missing extension", [](Payment& p) { p.PaymentOptions = kDirectDebit; },
       "ERROR_INVALID_VALUE: DirectDebitExt cannot be NULL. "},
      {"extension without directdebit",
       [](Payment& p) {
         direct_debit(p);
         standing_order(p);  // options become standingorder alone
       },
       "ERROR_INVALID_VALUE: DirectDebitExt must be NULL, because "
       "PaymentOptions does not contain directdebit. "},
      {"plain other scheme", [](Payment& p) { direct_debit(p); }, ""},
      {"no scheme",
       [](Payment& p) { direct_debit(p).DirectDebitScheme.reset(); },
       "ERROR_INVALID_VALUE: DirectDebitScheme cannot be NULL. "},
      {"scheme 2", [](Payment& p) { direct_debit(p).DirectDebitScheme = 2; },
       "ERROR_INVALID_VALUE: DirectDebitScheme Invalid value. "},
      {"scheme -1", [](Payment& p) { direct_debit(p).DirectDebitScheme = -1; },
       "ERROR_INVALID_VALUE: DirectDebitScheme Invalid value. "},
      {"no type", [](Payment& p) { direct_debit(p).DirectDebitType.reset(); },
       "ERROR_INVALID_VALUE: DirectDebitType cannot be NULL. "},
      {"type 2", [](Payment& p) { direct_debit(p).DirectDebitType = 2; },
       "ERROR_INVALID_VALUE: DirectDebitType Invalid value. "},
      {"SEPA with identifiers", [](Payment& p) { sepa(p); }, ""},
      {"SEPA without mandate", [](Payment& p) { sepa(p).MandateID.reset(); },
       "ERROR_INVALID_VALUE: MandateID cannot be NULL. "},
      {"SEPA without creditor", [](Payment& p) { sepa(p).CreditorID.reset(); },
       "ERROR_INVALID_VALUE: CreditorID cannot be NULL. "},
      {"SEPA with variable symbol",
       [](Payment& p) { set_string(sepa(p).VariableSymbol, "123"); },
       "ERROR_INVALID_VALUE: VariableSymbol SEPA direct debit scheme selected"},
      {"SEPA with contract and specific symbol",
       [](Payment& p) {
         DirectDebitExt& d = sepa(p);
         set_string(d.ContractID, "K");
         set_string(d.SpecificSymbol, "1");
       },
       "ERROR_INVALID_VALUE: SpecificSymbol SEPA direct debit scheme selected"},
      {"SEPA with reference",
       [](Payment& p) {
         set_string(sepa(p).OriginatorsReferenceInformation, "R");
       },
       "ERROR_INVALID_VALUE: OriginatorsReferenceInformation SEPA direct "
       "debit scheme selected"},
      {"other with contract only",
       [](Payment& p) { set_string(direct_debit(p).ContractID, "K"); },
       "ERROR_INVALID_VALUE: MandateID cannot be NULL. "},
      {"other with creditor only",
       [](Payment& p) { set_string(direct_debit(p).CreditorID, "C"); },
       "ERROR_INVALID_VALUE: MandateID cannot be NULL. "},
      {"other with identifiers and reference",
       [](Payment& p) {
         DirectDebitExt& d = sepa(p);
         d.DirectDebitScheme = 0;
         set_string(d.OriginatorsReferenceInformation, "R");
       },
       "ERROR_INVALID_VALUE: OriginatorsReferenceInformation MandateID, "
       "CreditorID and ContractID are used"},
      {"other with reference and specific symbol",
       [](Payment& p) {
         DirectDebitExt& d = direct_debit(p);
         set_string(d.OriginatorsReferenceInformation, "R");
         set_string(d.SpecificSymbol, "1");
       },
       "ERROR_INVALID_VALUE: SpecificSymbol OriginatorsReferenceInformation "
       "is used"},
      {"other with reference alone",
       [](Payment& p) {
         set_string(direct_debit(p).OriginatorsReferenceInformation, "R");
       },
       ""},
      {"extension symbols are digits",
       [](Payment& p) {
         set_string(direct_debit(p).VariableSymbol, "12345678901");
       },
       "ERROR_INVALID_VALUE: VariableSymbol is too long. "},
      {"extension specific symbol",
       [](Payment& p) { set_string(direct_debit(p).SpecificSymbol, "1a"); },
       "ERROR_INVALID_VALUE: SpecificSymbol is invalid. Can contain only "
       "digits. "},
      {"payment reference does not bind the extension's symbols",
       [](Payment& p) {
         set_string(p.OriginatorsReferenceInformation, "R");
         set_string(direct_debit(p).VariableSymbol, "1");
       },
       ""},
      {"max amount -0.01",
       [](Payment& p) { direct_debit(p).MaxAmount = -0.01; },
       "ERROR_INVALID_VALUE: MaxAmount cannot be negative. "},
      {"max amount 0", [](Payment& p) { direct_debit(p).MaxAmount = 0; }, ""},
  });
}

// Dates of the extensions travel only in their YYYY-MM-DD form, so they are
// checked like PaymentDueDate: LastDate after the Day and Month rules,
// ValidTillDate after MaxAmount.
TEST_F(PayRulesTest, ExtensionDates) {
  expect_cases({
      {"last date",
       [](Payment& p) { set_string(standing_order(p).LastDate, "2015-01-31"); },
       ""},
      {"last date dotted",
       [](Payment& p) { set_string(standing_order(p).LastDate, "31.01.2015"); },
       "ERROR_INVALID_VALUE: LastDate is invalid date format. "},
      {"last date short",
       [](Payment& p) { set_string(standing_order(p).LastDate, "2015-1-31"); },
       "ERROR_INVALID_VALUE: LastDate is invalid date format. "},
      {"last date range",
       [](Payment& p) { set_string(standing_order(p).LastDate, "2015-13-01"); },
       "ERROR_XML: LastDate is invalid date format. Day or month is out of "
       "range. "},
      {"day before last date",
       [](Payment& p) {
         StandingOrderExt& s = standing_order(p);
         s.Day = 32;
         set_string(s.LastDate, "bad");
       },
       "ERROR_INVALID_VALUE: Day is out of range. "},
      {"last date before direct debit",
       [](Payment& p) {
         set_string(standing_order(p).LastDate, "bad");
         direct_debit(p).DirectDebitScheme = 5;
         p.PaymentOptions = kStandingOrder | kDirectDebit;
       },
       "ERROR_INVALID_VALUE: LastDate is invalid date format. "},
      {"valid till date",
       [](Payment& p) {
         set_string(direct_debit(p).ValidTillDate, "2030-12-31");
       },
       ""},
      {"valid till date short",
       [](Payment& p) {
         set_string(direct_debit(p).ValidTillDate, "2030-1-31");
       },
       "ERROR_INVALID_VALUE: ValidTillDate is invalid date format. "},
      {"valid till date range",
       [](Payment& p) {
         set_string(direct_debit(p).ValidTillDate, "2030-12-32");
       },
       "ERROR_XML: ValidTillDate is invalid date format. Day or month is out "
       "of range. "},
      {"max amount before valid till date",
       [](Payment& p) {
         DirectDebitExt& d = direct_debit(p);
         d.MaxAmount = -1;
         set_string(d.ValidTillDate, "bad");
       },
       "ERROR_INVALID_VALUE: MaxAmount cannot be negative. "},
  });
}

TEST_F(PayRulesTest, ValidationLeavesDocumentUnchanged) {
  auto pay = valid_pay();
  Payment& p = first(*pay);
  StandingOrderExt& s = standing_order(p);
  set_string(s.Periodicity, "w");
  s.Day = 9;
  set_string(s.LastDate, " 2015-01-31");
  EXPECT_EQ(validate::validate_pay(*pay), 4);
  EXPECT_EQ(s.Periodicity, "w");
  EXPECT_EQ(s.Day, 9);
  EXPECT_EQ(s.LastDate, " 2015-01-31");
  EXPECT_FALSE(s.Month.has_value());
  EXPECT_EQ(p.BankAccounts->count(), 1u);
  EXPECT_FALSE(p.DirectDebitExt);
}

}  // namespace
}  // namespace zarnex
