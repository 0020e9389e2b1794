#include "model/document.h"

#include <gtest/gtest.h>

#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"

namespace zarnex {
namespace {

TEST(PointerList, GetOutsideTheListIsNull) {
  PointerList<int> list;
  EXPECT_EQ(list.count(), 0u);
  list.append(std::make_unique<int>(5));
  list.append(nullptr);
  EXPECT_EQ(list.count(), 2u);
  ASSERT_NE(list.get(0), nullptr);
  EXPECT_EQ(*list.get(0), 5);
  EXPECT_EQ(list.get(1), nullptr);  // a null entry is kept and counted
  EXPECT_EQ(list.get(2), nullptr);
  EXPECT_EQ(list.get(-1), nullptr);
  ListValue<int> absent;
  EXPECT_EQ(count(absent), 0u);
}

TEST(ValueHolders, PresenceAndZero) {
  DecimalValue amount;
  EXPECT_EQ(decimal_or_zero(amount), 0.0);
  set_decimal(amount, -0.5);
  EXPECT_EQ(decimal_or_zero(amount), -0.5);
  IntValue day;
  set_int(day, 0);
  EXPECT_TRUE(day.has_value());  // zero is a present value
  StringValue text;
  EXPECT_TRUE(is_blank(text));
  set_string(text, "");
  EXPECT_TRUE(text.has_value());
  EXPECT_TRUE(is_blank(text));
}

TEST(Document, NewDocumentsHaveTheirHeaders) {
  auto pay = new_pay();
  auto invoice = new_invoice();
  auto items = new_invoice_items();
  EXPECT_EQ(pay->header, (DocumentHeader{0x00, 0x00}));
  EXPECT_EQ(invoice->header, (DocumentHeader{0x10, 0x00}));
  EXPECT_EQ(items->header, (DocumentHeader{0x20, 0x00}));
  EXPECT_FALSE(pay->InvoiceID);
  EXPECT_FALSE(pay->Payments);
  EXPECT_FALSE(invoice->SupplierParty);
  EXPECT_FALSE(invoice->TaxCategorySummaries);
  EXPECT_FALSE(items->InvoiceLines);
}

TEST(Document, HeaderFields) {
  DocumentHeader header{0x13, 0x2F};
  EXPECT_EQ(header.type(), 1);
  EXPECT_EQ(header.version(), 3);
  EXPECT_EQ(header.sub_kind(), 2);
  header.set_sub_kind(4);
  EXPECT_EQ(header.byte1, 0x4F);  // reserved bits are carried
}

// kind() is the class a document was made as; the header may be changed to
// name another type, and kind() stays.
TEST(Document, KindIsFixedWhenMade) {
  DocumentPtr pay = new_pay();
  DocumentPtr invoice = new_invoice();
  DocumentPtr items = new_invoice_items();
  EXPECT_EQ(pay->kind(), DocumentType::kPay);
  EXPECT_EQ(invoice->kind(), DocumentType::kInvoice);
  EXPECT_EQ(items->kind(), DocumentType::kInvoiceItems);
  pay->header = DocumentHeader{0x20, 0x00};
  EXPECT_EQ(pay->type(), DocumentType::kInvoiceItems);
  EXPECT_EQ(pay->kind(), DocumentType::kPay);
}

TEST(Document, DestroyReleasesAndTakesNull) {
  DocumentPtr none;
  document_destroy(none);
  EXPECT_EQ(none, nullptr);
  DocumentPtr pay = new_pay();
  document_destroy(pay);
  EXPECT_EQ(pay, nullptr);
}

}  // namespace
}  // namespace zarnex
