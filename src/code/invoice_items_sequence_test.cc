#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "code/field_sequence.h"
#include "code/test_documents.h"
#include "error/error.h"
#include "model/invoice_items.h"

namespace zarnex::code {
namespace {

using testing::fields_of;
using testing::sequence_of;
using Fields = std::vector<std::string>;

class InvoiceItemsSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  static std::unique_ptr<InvoiceItems> read(Fields fields) {
    FieldSequence s = sequence_of(2, std::move(fields));
    DocumentPtr document;
    EXPECT_EQ(read_document(s, &document), 0);
    EXPECT_NE(dynamic_cast<InvoiceItems*>(document.get()), nullptr);
    return std::unique_ptr<InvoiceItems>(
        static_cast<InvoiceItems*>(document.release()));
  }
};

TEST_F(InvoiceItemsSequenceTest, WritesTheFifteenFieldExample) {
  auto items = testing::valid_invoice_items();
  // Derived amounts are never written.
  items->InvoiceLines->get(0)->LineTaxAmount = 3.0;
  items->InvoiceLines->get(0)->UnitPriceTaxInclusiveAmount = 1.8;
  const Fields expected = {"F1", "2", "1", "",   "",    "",    "",   "Pen",
                           "",   "",  "",  "10", "1.5", "0.3", "0.2"};
  EXPECT_EQ(fields_of(*items), expected);

  auto back = read(expected);
  const InvoiceLine& line = *back->InvoiceLines->get(0);
  EXPECT_EQ(line.LineTaxAmount, std::nullopt);
  EXPECT_EQ(line.UnitPriceTaxInclusiveAmount, std::nullopt);
  EXPECT_EQ(line.UnitPriceTaxAmount, DecimalValue(0.3));
  // References are always created.
  ASSERT_NE(line.OrderReference, nullptr);
  EXPECT_EQ(line.OrderReference->OrderID, std::nullopt);
  ASSERT_NE(line.DeliveryNoteReference, nullptr);
  EXPECT_EQ(line.DeliveryNoteReference->DeliveryNoteLineID, std::nullopt);
  // Written again, the present but empty references give the same fields.
  EXPECT_EQ(fields_of(*back), expected);
}

TEST_F(InvoiceItemsSequenceTest, WritesAbsentListNullLineAndReferences) {
  auto items = new_invoice_items();
  EXPECT_EQ(fields_of(*items), (Fields{"", "", "0"}));

  items->InvoiceLines.emplace();
  items->InvoiceLines->append(nullptr);
  auto line = std::make_unique<InvoiceLine>();
  line->OrderReference = std::make_unique<OrderReference>();
  line->OrderReference->OrderLineID = "7";
  line->DeliveryNoteReference = std::make_unique<DeliveryNoteReference>();
  line->DeliveryNoteReference->DeliveryNoteID = "D";
  line->PeriodFromDate = "2015-01-01";
  line->PeriodToDate = "2015-01-31";
  items->InvoiceLines->append(std::move(line));
  const Fields fields = fields_of(*items);
  EXPECT_EQ(fields,
            (Fields{"", "", "2", "",         "",         "", "", "",  "",
                    "", "", "",  "",         "",         "", "", "7", "D",
                    "", "", "",  "20150101", "20150131", "", "", "",  ""}));

  auto back = read(fields);
  ASSERT_EQ(back->InvoiceLines->count(), 2u);
  const InvoiceLine& second = *back->InvoiceLines->get(1);
  EXPECT_EQ(second.OrderReference->OrderID, std::nullopt);
  EXPECT_EQ(second.OrderReference->OrderLineID, StringValue("7"));
  EXPECT_EQ(second.DeliveryNoteReference->DeliveryNoteID, StringValue("D"));
  EXPECT_EQ(second.PeriodFromDate, StringValue("2015-01-01"));
}

TEST_F(InvoiceItemsSequenceTest, ReadingAlwaysCreatesTheList) {
  auto items = read({"F1", "1", "0"});
  ASSERT_TRUE(items->InvoiceLines.has_value());
  EXPECT_EQ(items->InvoiceLines->count(), 0u);
  items = read({"F1"});
  EXPECT_EQ(items->FirstInvoiceLineID, std::nullopt);
  ASSERT_TRUE(items->InvoiceLines.has_value());
  EXPECT_EQ(items->InvoiceLines->count(), 0u);
  // Extra fields after the last line are ignored.
  items = read({"F1", "1", "0", "junk", "more"});
  EXPECT_EQ(items->InvoiceLines->count(), 0u);
}

}  // namespace
}  // namespace zarnex::code
