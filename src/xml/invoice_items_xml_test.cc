#include <string>

#include "error/error.h"
#include "model/invoice_items.h"
#include "xml/xml.h"
#include "xml/xml_test_util.h"

namespace zarnex::xml {
namespace {

using testing::Written;

class InvoiceItemsXmlTest : public testing::XmlTest {
 protected:
  static const InvoiceItems& AsItems(const DocumentPtr& document) {
    return static_cast<const InvoiceItems&>(*document);
  }
};

constexpr char kThreeLines[] = R"(<?xml version="1.0" encoding="utf-8"?>
<InvoiceItems xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="InvoiceItems" xmlns="urn:zarnex:document:1">
  <FirstInvoiceLineID>2</FirstInvoiceLineID>
  <InvoiceID>F1</InvoiceID>
  <InvoiceLines>
    <InvoiceLine>
      <ClassifiedTaxCategory>0.2</ClassifiedTaxCategory>
      <DeliveryNoteReference>
        <DeliveryNoteLineID>DL1</DeliveryNoteLineID>
        <DeliveryNoteID>D1</DeliveryNoteID>
      </DeliveryNoteReference>
      <OrderReference>
        <OrderID>O1</OrderID>
        <OrderLineID>OL1</OrderLineID>
      </OrderReference>
      <ItemName>Pen</ItemName>
      <ItemEANCode>8590000000001</ItemEANCode>
      <PeriodFromDate>2024-01-01</PeriodFromDate>
      <PeriodToDate>2024-01-31</PeriodToDate>
      <InvoicedQuantity>10</InvoicedQuantity>
      <UnitPriceTaxExclusiveAmount>1.5</UnitPriceTaxExclusiveAmount>
      <UnitPriceTaxInclusiveAmount>1.8</UnitPriceTaxInclusiveAmount>
      <UnitPriceTaxAmount>0.3</UnitPriceTaxAmount>
      <LineTaxExclusiveAmount>15</LineTaxExclusiveAmount>
      <LineTaxInclusiveAmount>18</LineTaxInclusiveAmount>
      <LineTaxAmount>3</LineTaxAmount>
    </InvoiceLine>
    <InvoiceLine><ItemName>Ink</ItemName></InvoiceLine>
    <Comment>not a line</Comment>
    <InvoiceLine><ItemName>Paper</ItemName><OrderReference><OrderLineID>7</OrderLineID></OrderReference></InvoiceLine>
  </InvoiceLines>
</InvoiceItems>
)";

TEST_F(InvoiceItemsXmlTest, ReadsLinesInDocumentOrder) {
  DocumentPtr document = Read(kThreeLines);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->header, (DocumentHeader{0x20, 0x00}));
  const InvoiceItems& items = AsItems(document);
  EXPECT_EQ(items.InvoiceID, "F1");
  EXPECT_EQ(items.FirstInvoiceLineID, "2");
  ASSERT_EQ(count(items.InvoiceLines), 3u);

  const InvoiceLine& pen = *items.InvoiceLines->get(0);
  ASSERT_NE(pen.OrderReference, nullptr);
  EXPECT_EQ(pen.OrderReference->OrderID, "O1");
  EXPECT_EQ(pen.OrderReference->OrderLineID, "OL1");
  ASSERT_NE(pen.DeliveryNoteReference, nullptr);
  EXPECT_EQ(pen.DeliveryNoteReference->DeliveryNoteID, "D1");
  EXPECT_EQ(pen.DeliveryNoteReference->DeliveryNoteLineID, "DL1");
  EXPECT_EQ(pen.ItemEANCode, "8590000000001");
  EXPECT_EQ(pen.PeriodFromDate, "2024-01-01");
  EXPECT_EQ(pen.InvoicedQuantity, 10.0);
  EXPECT_EQ(pen.UnitPriceTaxExclusiveAmount, 1.5);
  EXPECT_EQ(pen.UnitPriceTaxAmount, 0.3);
  EXPECT_EQ(pen.ClassifiedTaxCategory, 0.2);
  // Derived amounts are never read.
  EXPECT_EQ(pen.UnitPriceTaxInclusiveAmount, std::nullopt);
  EXPECT_EQ(pen.LineTaxExclusiveAmount, std::nullopt);
  EXPECT_EQ(pen.LineTaxInclusiveAmount, std::nullopt);
  EXPECT_EQ(pen.LineTaxAmount, std::nullopt);

  EXPECT_EQ(items.InvoiceLines->get(1)->ItemName, "Ink");
  EXPECT_EQ(items.InvoiceLines->get(1)->OrderReference, nullptr);
  const InvoiceLine& paper = *items.InvoiceLines->get(2);
  EXPECT_EQ(paper.ItemName, "Paper");
  ASSERT_NE(paper.OrderReference, nullptr);
  EXPECT_EQ(paper.OrderReference->OrderID, std::nullopt);
  EXPECT_EQ(paper.OrderReference->OrderLineID, "7");
}

TEST_F(InvoiceItemsXmlTest, WritesLinesInTableOrder) {
  EXPECT_EQ(
      RoundTrip(kThreeLines),
      Written("InvoiceItems", "InvoiceItems",
              "<InvoiceID>F1</InvoiceID>"
              "<FirstInvoiceLineID>2</FirstInvoiceLineID><InvoiceLines>"
              "<InvoiceLine><OrderReference><OrderID>O1</OrderID>"
              "<OrderLineID>OL1</OrderLineID></OrderReference>"
              "<DeliveryNoteReference><DeliveryNoteID>D1</DeliveryNoteID>"
              "<DeliveryNoteLineID>DL1</DeliveryNoteLineID>"
              "</DeliveryNoteReference><ItemName>Pen</ItemName>"
              "<ItemEANCode>8590000000001</ItemEANCode>"
              "<PeriodFromDate>2024-01-01</PeriodFromDate>"
              "<PeriodToDate>2024-01-31</PeriodToDate>"
              "<InvoicedQuantity>10</InvoicedQuantity>"
              "<UnitPriceTaxExclusiveAmount>1.5</UnitPriceTaxExclusiveAmount>"
              "<UnitPriceTaxAmount>0.3</UnitPriceTaxAmount>"
              "<ClassifiedTaxCategory>0.2</ClassifiedTaxCategory>"
              "</InvoiceLine><InvoiceLine><ItemName>Ink</ItemName>"
              "</InvoiceLine><InvoiceLine><OrderReference>"
              "<OrderLineID>7</OrderLineID></OrderReference>"
              "<ItemName>Paper</ItemName></InvoiceLine></InvoiceLines>"));
}

TEST_F(InvoiceItemsXmlTest, DerivedLineAmountsAreWrittenInTheirPlaces) {
  auto items = new_invoice_items();
  items->InvoiceLines.emplace();
  auto line = std::make_unique<InvoiceLine>();
  line->UnitPriceTaxExclusiveAmount = 1.5;
  line->UnitPriceTaxInclusiveAmount = 1.8;
  line->UnitPriceTaxAmount = 0.3;
  line->LineTaxExclusiveAmount = 15;
  line->LineTaxInclusiveAmount = 18;
  line->LineTaxAmount = 3;
  line->ClassifiedTaxCategory = 0.2;
  items->InvoiceLines->append(nullptr);
  items->InvoiceLines->append(std::move(line));
  EXPECT_EQ(Write(*items),
            Written("InvoiceItems", "InvoiceItems",
                    "<InvoiceLines><InvoiceLine>"
                    "<UnitPriceTaxExclusiveAmount>1.5"
                    "</UnitPriceTaxExclusiveAmount>"
                    "<UnitPriceTaxInclusiveAmount>1.8"
                    "</UnitPriceTaxInclusiveAmount>"
                    "<UnitPriceTaxAmount>0.3</UnitPriceTaxAmount>"
                    "<LineTaxExclusiveAmount>15</LineTaxExclusiveAmount>"
                    "<LineTaxInclusiveAmount>18</LineTaxInclusiveAmount>"
                    "<LineTaxAmount>3</LineTaxAmount>"
                    "<ClassifiedTaxCategory>0.2</ClassifiedTaxCategory>"
                    "</InvoiceLine></InvoiceLines>"));
}

TEST_F(InvoiceItemsXmlTest, EmptyReferencesAndListsAreReadButNotWritten) {
  DocumentPtr document = Read(
      "<InvoiceItems><InvoiceLines><InvoiceLine><OrderReference/>"
      "<DeliveryNoteReference></DeliveryNoteReference><LineTaxAmount>3"
      "</LineTaxAmount></InvoiceLine></InvoiceLines></InvoiceItems>");
  ASSERT_NE(document, nullptr);
  const InvoiceItems& items = AsItems(document);
  ASSERT_EQ(count(items.InvoiceLines), 1u);
  const InvoiceLine& line = *items.InvoiceLines->get(0);
  ASSERT_NE(line.OrderReference, nullptr);
  EXPECT_EQ(line.OrderReference->OrderID, std::nullopt);
  EXPECT_EQ(line.OrderReference->OrderLineID, std::nullopt);
  ASSERT_NE(line.DeliveryNoteReference, nullptr);
  EXPECT_EQ(Write(items), Written("InvoiceItems", "InvoiceItems", ""));

  DocumentPtr empty = Read("<InvoiceItems><InvoiceLines/></InvoiceItems>");
  ASSERT_NE(empty, nullptr);
  ASSERT_TRUE(AsItems(empty).InvoiceLines.has_value());
  EXPECT_EQ(AsItems(empty).InvoiceLines->count(), 0u);
}

TEST_F(InvoiceItemsXmlTest, BadValuesNameTheirElementAndLeaveNoDocument) {
  struct Case {
    const char* line_body;
    const char* error;
  };
  const Case kCases[] = {
      {"<UnitPriceTaxAmount>1,20</UnitPriceTaxAmount>",
       "ERROR_XML: UnitPriceTaxAmount Invalid decimal format. Use dot '.' as "
       "a decimal mark."},
      {"<InvoicedQuantity>ten</InvoicedQuantity>",
       "ERROR_XML: InvoicedQuantity Invalid decimal format. Use dot '.' as a "
       "decimal mark."},
      {"<UnitPriceTaxExclusiveAmount>-inf</UnitPriceTaxExclusiveAmount>",
       "ERROR_XML: UnitPriceTaxExclusiveAmount Invalid decimal format. Use "
       "dot '.' as a decimal mark."},
      {"<ClassifiedTaxCategory>20 %</ClassifiedTaxCategory>",
       "ERROR_XML: ClassifiedTaxCategory Invalid decimal format. Use dot '.' "
       "as a decimal mark."},
  };
  for (const Case& c : kCases) {
    reset_error();
    // The good line before the bad one does not survive.
    EXPECT_EQ(ReadError(std::string("<InvoiceItems><InvoiceLines>"
                                    "<InvoiceLine><ItemName>ok</ItemName>"
                                    "</InvoiceLine><InvoiceLine>") +
                        c.line_body +
                        "</InvoiceLine></InvoiceLines></InvoiceItems>"),
              c.error)
        << c.line_body;
  }
  EXPECT_EQ(ReadError(R"(<InvoiceItems type="Invoice"/>)"),
            "ERROR_XML: Attribute 'type' in root element has invalid value. ");
}

}  // namespace
}  // namespace zarnex::xml
