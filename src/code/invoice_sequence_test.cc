#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "code/field_sequence.h"
#include "code/test_documents.h"
#include "error/error.h"
#include "model/invoice.h"

namespace zarnex::code {
namespace {

using testing::fields_of;
using testing::sequence_of;
using Fields = std::vector<std::string>;

class InvoiceSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  static std::unique_ptr<Invoice> read(Fields fields) {
    FieldSequence s = sequence_of(1, std::move(fields));
    DocumentPtr document;
    EXPECT_EQ(read_document(s, &document), 0);
    EXPECT_NE(dynamic_cast<Invoice*>(document.get()), nullptr);
    return std::unique_ptr<Invoice>(static_cast<Invoice*>(document.release()));
  }

  // The 40 fields of an Invoice without values.
  static Fields empty_fields() {
    Fields fields(40, "");
    fields[36] = "0";
    return fields;
  }
};

TEST_F(InvoiceSequenceTest, EmptyInvoiceIsFortyFields) {
  EXPECT_EQ(fields_of(*new_invoice()), empty_fields());
}

TEST_F(InvoiceSequenceTest, AbsentSubRecordsAreEmptyFields) {
  auto invoice = new_invoice();
  auto supplier = std::make_unique<SupplierParty>();
  supplier->PartyName = "Supplier";
  invoice->SupplierParty = std::move(supplier);
  invoice->PaymentMeans = 2 | 8;  // cash and creditCard
  Fields expected = empty_fields();
  expected[9] = "Supplier";
  expected[39] = "10";
  EXPECT_EQ(fields_of(*invoice), expected);
}

TEST_F(InvoiceSequenceTest, WritesEveryCarriedFieldInOrder) {
  auto invoice = new_invoice();
  invoice->InvoiceID = "1";
  invoice->IssueDate = "2015-01-02";
  invoice->TaxPointDate = "2015-01-03";
  invoice->OrderID = "4";
  invoice->DeliveryNoteID = "5";
  invoice->LocalCurrencyCode = "EUR";
  invoice->ForeignCurrencyCode = "CZK";
  invoice->CurrRate = 27.5;
  invoice->ReferenceCurrRate = 1.0;
  auto supplier = std::make_unique<SupplierParty>();
  supplier->PartyName = "10";
  supplier->CompanyTaxID = "11";
  supplier->CompanyVATID = "12";
  supplier->CompanyRegisterID = "13";
  auto address = std::make_unique<PostalAddress>();
  address->StreetName = "14";
  address->BuildingNumber = "15";
  address->CityName = "16";
  address->PostalZone = "17";
  address->State = "18";
  address->Country = "19";
  supplier->PostalAddress = std::move(address);
  auto contact = std::make_unique<Contact>();
  contact->Name = "20";
  contact->Telephone = "21";
  contact->EMail = "22";
  supplier->Contact = std::move(contact);
  invoice->SupplierParty = std::move(supplier);
  auto customer = std::make_unique<CustomerParty>();
  customer->PartyName = "23";
  customer->CompanyTaxID = "24";
  customer->CompanyVATID = "25";
  customer->CompanyRegisterID = "26";
  customer->PartyIdentification = "27";
  invoice->CustomerParty = std::move(customer);
  invoice->NumberOfInvoiceLines = 28;
  invoice->InvoiceDescription = "29";
  auto line = std::make_unique<SingleInvoiceLine>();
  line->OrderLineID = "30";
  line->DeliveryNoteLineID = "31";
  line->ItemName = "32";
  line->ItemEANCode = "33";
  line->PeriodFromDate = "2015-03-04";
  line->PeriodToDate = "2015-03-05";
  line->InvoicedQuantity = 36;
  line->UnitPriceTaxAmount = 99;  // derived: not written
  invoice->SingleInvoiceLine = std::move(line);
  invoice->TaxCategorySummaries.emplace();
  auto summary = std::make_unique<TaxCategorySummary>();
  summary->ClassifiedTaxCategory = 0.2;
  summary->TaxExclusiveAmount = 100;
  summary->TaxInclusiveAmount = 999;  // derived: not written
  summary->TaxAmount = 20;
  summary->AlreadyClaimedTaxExclusiveAmount = 10;
  summary->AlreadyClaimedTaxAmount = 2;
  invoice->TaxCategorySummaries->append(std::move(summary));
  invoice->TaxCategorySummaries->append(nullptr);
  auto money = std::make_unique<MonetarySummary>();
  money->PayableRoundingAmount = 0.01;
  money->PaidDepositsAmount = 50;
  money->PayableAmount = 999;  // derived: not written
  invoice->MonetarySummary = std::move(money);
  invoice->PaymentMeans = 1;

  const Fields fields = fields_of(*invoice);
  EXPECT_EQ(
      fields,
      (Fields{"1",  "20150102", "20150103", "4",  "5",  "EUR", "CZK", "27.5",
              "1",  "10",       "11",       "12", "13", "14",  "15",  "16",
              "17", "18",       "19",       "20", "21", "22",  "23",  "24",
              "25", "26",       "27",       "28", "29", "30",  "31",  "32",
              "33", "20150304", "20150305", "36", "2",  "0.2", "100", "20",
              "10", "2",        "",         "",   "",   "",    "",    "0.01",
              "50", "1"}));
  ASSERT_EQ(fields.size(), 40u + 5 * 2);

  // Read back: derived amounts are absent, and writing again gives the
  // same fields.
  auto back = read(fields);
  EXPECT_EQ(back->SingleInvoiceLine->UnitPriceTaxAmount, std::nullopt);
  EXPECT_EQ(back->TaxCategorySummaries->get(0)->TaxInclusiveAmount,
            std::nullopt);
  EXPECT_EQ(back->MonetarySummary->PayableAmount, std::nullopt);
  EXPECT_EQ(back->SupplierParty->Contact->EMail, StringValue("22"));
  EXPECT_EQ(back->SingleInvoiceLine->PeriodToDate, StringValue("2015-03-05"));
  // The null summary comes back as a summary with absent fields.
  ASSERT_NE(back->TaxCategorySummaries->get(1), nullptr);
  EXPECT_EQ(back->TaxCategorySummaries->get(1)->TaxAmount, std::nullopt);
  EXPECT_EQ(fields_of(*back), fields);
}

TEST_F(InvoiceSequenceTest, ReadingCreatesRecordsAndDropsEmptyLine) {
  auto invoice = read(empty_fields());
  ASSERT_NE(invoice->SupplierParty, nullptr);
  EXPECT_EQ(invoice->SupplierParty->PartyName, std::nullopt);
  ASSERT_NE(invoice->SupplierParty->PostalAddress, nullptr);
  EXPECT_EQ(invoice->SupplierParty->PostalAddress->Country, std::nullopt);
  ASSERT_NE(invoice->SupplierParty->Contact, nullptr);
  ASSERT_NE(invoice->CustomerParty, nullptr);
  ASSERT_NE(invoice->MonetarySummary, nullptr);
  EXPECT_EQ(invoice->MonetarySummary->PaidDepositsAmount, std::nullopt);
  EXPECT_EQ(invoice->SingleInvoiceLine, nullptr);
  ASSERT_TRUE(invoice->TaxCategorySummaries.has_value());
  EXPECT_EQ(invoice->TaxCategorySummaries->count(), 0u);
  EXPECT_EQ(invoice->NumberOfInvoiceLines, std::nullopt);
  EXPECT_EQ(invoice->PaymentMeans, std::nullopt);

  // One present field of the seven keeps the line.
  Fields fields = empty_fields();
  fields[35] = "2";
  invoice = read(fields);
  ASSERT_NE(invoice->SingleInvoiceLine, nullptr);
  EXPECT_EQ(invoice->SingleInvoiceLine->InvoicedQuantity, DecimalValue(2.0));
  EXPECT_EQ(invoice->SingleInvoiceLine->ItemName, std::nullopt);

  // A too-short date is absent and does not keep the line either.
  fields = empty_fields();
  fields[33] = "2015013";
  EXPECT_EQ(read(fields)->SingleInvoiceLine, nullptr);

  // A shortened sequence reads like one padded with empty fields.
  invoice = read({"F1"});
  EXPECT_EQ(invoice->InvoiceID, StringValue("F1"));
  ASSERT_NE(invoice->MonetarySummary, nullptr);
  EXPECT_EQ(invoice->TaxCategorySummaries->count(), 0u);
}

TEST_F(InvoiceSequenceTest, VersionDoesNotChangeTheKind) {
  FieldSequence s = sequence_of(1, empty_fields());
  s.header.byte0 = 0x13;
  s.header.byte1 = 0x20;  // CreditNote
  DocumentPtr document;
  ASSERT_EQ(read_document(s, &document), 0);
  auto* invoice = dynamic_cast<Invoice*>(document.get());
  ASSERT_NE(invoice, nullptr);
  EXPECT_EQ(invoice->header.byte0, 0x13);
  EXPECT_EQ(invoice->header.sub_kind(), 2);
  FieldSequence again;
  ASSERT_EQ(write_document(again, invoice), 0);
  EXPECT_EQ(again.header.byte0, 0x13);
  EXPECT_EQ(again.fields, empty_fields());
}

}  // namespace
}  // namespace zarnex::code
