#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "code/field_sequence.h"
#include "code/test_documents.h"
#include "error/error.h"
#include "model/pay.h"

namespace zarnex::code {
namespace {

using testing::fields_of;
using testing::sequence_of;
using Fields = std::vector<std::string>;

class PaySequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  // Reads @a fields as a Pay; fails the test when no Pay comes out.
  static std::unique_ptr<Pay> read(Fields fields) {
    FieldSequence s = sequence_of(0, std::move(fields));
    DocumentPtr document;
    EXPECT_EQ(read_document(s, &document), 0);
    EXPECT_NE(dynamic_cast<Pay*>(document.get()), nullptr);
    return std::unique_ptr<Pay>(static_cast<Pay*>(document.release()));
  }
};

TEST_F(PaySequenceTest, WritesTheSixteenFieldExample) {
  auto pay = new_pay();
  auto payment = std::make_unique<Payment>();
  payment->PaymentOptions = kPaymentOrder;
  payment->Amount = 100.0;
  payment->CurrencyCode = "EUR";
  payment->PaymentDueDate = "2015-01-31";
  payment->VariableSymbol = "123";
  payment->PaymentNote = "test";
  auto account = std::make_unique<BankAccount>();
  account->IBAN = "SK3112000000198742637541";
  payment->BankAccounts.emplace();
  payment->BankAccounts->append(std::move(account));
  pay->Payments.emplace();
  pay->Payments->append(std::move(payment));
  EXPECT_EQ(fields_of(*pay),
            (Fields{"", "1", "1", "100", "EUR", "20150131", "123", "", "", "",
                    "test", "1", "SK3112000000198742637541", "", "0", "0"}));
}

TEST_F(PaySequenceTest, WritesAbsentAndNullEntries) {
  auto pay = new_pay();
  EXPECT_EQ(fields_of(*pay), (Fields{"", "0"}));

  pay->InvoiceID = "I";
  pay->Payments.emplace();
  pay->Payments->append(nullptr);
  auto payment = std::make_unique<Payment>();
  payment->BankAccounts.emplace();
  payment->BankAccounts->append(nullptr);
  pay->Payments->append(std::move(payment));
  EXPECT_EQ(
      fields_of(*pay),
      (Fields{"I", "2",
              // null payment: nine empty fields, no accounts, no flags
              "", "", "", "", "", "", "", "", "", "0", "0", "0",
              // empty payment with one null account
              "", "", "", "", "", "", "", "", "", "1", "", "", "0", "0"}));
}

TEST_F(PaySequenceTest, WritesBothSubRecords) {
  auto pay = testing::valid_pay();
  Payment& payment = *pay->Payments->get(0);
  payment.PaymentOptions = kPaymentOrder | kStandingOrder | kDirectDebit;
  auto account = std::make_unique<BankAccount>();
  account->IBAN = "CZ6508000000192000145399";
  account->BIC = "GIBACZPX";
  payment.BankAccounts->append(std::move(account));
  auto standing = std::make_unique<StandingOrderExt>();
  standing->Day = 3;
  standing->Month = 1 | 2048;  // January and December
  standing->Periodicity = "B";
  standing->LastDate = "2016-12-31";
  payment.StandingOrderExt = std::move(standing);
  auto debit = std::make_unique<DirectDebitExt>();
  debit->DirectDebitScheme = 1;
  debit->DirectDebitType = 0;
  debit->VariableSymbol = "V";
  debit->SpecificSymbol = "S";
  debit->OriginatorsReferenceInformation = "O";
  debit->MandateID = "M";
  debit->CreditorID = "C";
  debit->ContractID = "K";
  debit->MaxAmount = 250.25;
  debit->ValidTillDate = "2017-06-30";
  payment.DirectDebitExt = std::move(debit);

  Fields fields = fields_of(*pay);
  ASSERT_EQ(fields.size(), 2u + 12 + 4 + 10 + 2 * 2);
  EXPECT_EQ(fields[2], "7");
  EXPECT_EQ(fields[11], "2");
  EXPECT_EQ(Fields(fields.begin() + 16, fields.end()),
            (Fields{"1", "3", "2049", "B", "20161231", "1", "1", "0", "V", "S",
                    "O", "M", "C", "K", "250.25", "20170630"}));

  // Read back and written again, the document gives the same fields.
  EXPECT_EQ(fields_of(*read(fields)), fields);
}

TEST_F(PaySequenceTest, ReadsWhatWasWritten) {
  auto original = testing::valid_pay("a\tb");
  original->header.byte1 = 0x05;  // reserved bits travel unchanged
  FieldSequence written;
  ASSERT_EQ(write_document(written, original.get()), 0);
  FieldSequence s;
  s.header = written.header;
  split(s, join(written));
  DocumentPtr document;
  ASSERT_EQ(read_document(s, &document), 0);
  const auto& pay = dynamic_cast<const Pay&>(*document);
  EXPECT_EQ(pay.header.byte0, 0x00);
  EXPECT_EQ(pay.header.byte1, 0x05);
  EXPECT_EQ(pay.InvoiceID, StringValue("INV-1"));
  const Payment& payment = *pay.Payments->get(0);
  EXPECT_EQ(payment.PaymentOptions, IntValue(1));
  EXPECT_EQ(payment.Amount, DecimalValue(100.0));
  EXPECT_EQ(payment.PaymentDueDate, StringValue("2015-01-31"));
  EXPECT_EQ(payment.PaymentNote, StringValue("a b"));
  EXPECT_EQ(payment.ConstantSymbol, std::nullopt);
  EXPECT_EQ(payment.BankAccounts->get(0)->BIC, StringValue("TATRSKBX"));
  EXPECT_EQ(payment.StandingOrderExt, nullptr);
  EXPECT_EQ(payment.DirectDebitExt, nullptr);
}

TEST_F(PaySequenceTest, ReadingCreatesListsAndFlaggedRecords) {
  auto pay = read({"ABC"});
  EXPECT_EQ(pay->InvoiceID, StringValue("ABC"));
  ASSERT_TRUE(pay->Payments.has_value());
  EXPECT_EQ(pay->Payments->count(), 0u);

  pay = read({"", "-3"});
  ASSERT_TRUE(pay->Payments.has_value());
  EXPECT_EQ(pay->Payments->count(), 0u);

  // A flag of 5 creates the standing order; a flag of 1 with empty fields
  // creates the direct debit with all its fields absent.
  pay = read({"", "1", "", "", "",  "", "", "", "", "",
              "", "1", "", "", "5", "", "", "", "", "1"});
  const Payment& payment = *pay->Payments->get(0);
  EXPECT_EQ(payment.PaymentOptions, std::nullopt);
  ASSERT_TRUE(payment.BankAccounts.has_value());
  ASSERT_EQ(payment.BankAccounts->count(), 1u);
  EXPECT_EQ(payment.BankAccounts->get(0)->IBAN, std::nullopt);
  ASSERT_NE(payment.StandingOrderExt, nullptr);
  EXPECT_EQ(payment.StandingOrderExt->Day, std::nullopt);
  ASSERT_NE(payment.DirectDebitExt, nullptr);
  EXPECT_EQ(payment.DirectDebitExt->DirectDebitScheme, std::nullopt);
  EXPECT_EQ(payment.DirectDebitExt->ValidTillDate, std::nullopt);

  // An absent flag leaves the record absent.
  pay = read({"", "1", "", "", "", "", "", "", "", "", "", "0", ""});
  EXPECT_EQ(pay->Payments->get(0)->StandingOrderExt, nullptr);
  EXPECT_EQ(pay->Payments->get(0)->DirectDebitExt, nullptr);

  // An unreadable one is an error: no document.
  FieldSequence s =
      sequence_of(0, {"", "1", "", "", "", "", "", "", "", "", "", "0", "x"});
  DocumentPtr document;
  EXPECT_EQ(read_document(s, &document), 4);
  EXPECT_EQ(document, nullptr);
  EXPECT_EQ(error_text(),
            "ERROR_INVALID_VALUE: StandingOrderExt is a malformed number. ");
}

TEST_F(PaySequenceTest, ReaderKeepsSequenceHeader) {
  FieldSequence s = sequence_of(0, {"X"});
  s.header.byte0 = 0x0F;  // version 15 is still a Pay
  s.header.byte1 = 0xA3;
  DocumentPtr document;
  ASSERT_EQ(read_document(s, &document), 0);
  ASSERT_NE(dynamic_cast<Pay*>(document.get()), nullptr);
  EXPECT_EQ(document->header.byte0, 0x0F);
  EXPECT_EQ(document->header.byte1, 0xA3);
  FieldSequence again;
  ASSERT_EQ(write_document(again, document.get()), 0);
  EXPECT_EQ(again.header, s.header);
}

}  // namespace
}  // namespace zarnex::code
