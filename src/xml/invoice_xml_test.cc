#include <string>

#include "error/error.h"
#include "model/invoice.h"
#include "xml/xml.h"
#include "xml/xml_test_util.h"

namespace zarnex::xml {
namespace {

using testing::Written;

class InvoiceXmlTest : public testing::XmlTest {
 protected:
  static const Invoice& AsInvoice(const DocumentPtr& document) {
    return static_cast<const Invoice&>(*document);
  }
};

// Every element of an Invoice, the derived amounts included (which the
// reader must ignore), indented.
constexpr char kFullInvoice[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Invoice xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="ProformaInvoice" xmlns="urn:zarnex:document:1">
  <InvoiceID>F2024-7</InvoiceID>
  <IssueDate>2024-03-01</IssueDate>
  <TaxPointDate>2024-02-29</TaxPointDate>
  <OrderID>O-1</OrderID>
  <DeliveryNoteID>D-1</DeliveryNoteID>
  <LocalCurrencyCode>CZK</LocalCurrencyCode>
  <ForeignCurrencyCode>EUR</ForeignCurrencyCode>
  <CurrRate>25.125</CurrRate>
  <ReferenceCurrRate>1</ReferenceCurrRate>
  <SupplierParty>
    <PartyName>Supplier &amp; Sons</PartyName>
    <CompanyTaxID>T1</CompanyTaxID>
    <CompanyVATID>V1</CompanyVATID>
    <CompanyRegisterID>R1</CompanyRegisterID>
    <PostalAddress>
      <StreetName>Main</StreetName>
      <BuildingNumber>1</BuildingNumber>
      <CityName>Town</CityName>
      <PostalZone>12345</PostalZone>
      <State>ST</State>
      <Country>SK</Country>
    </PostalAddress>
    <Contact>
      <Name>Ann</Name>
      <Telephone>+421 1</Telephone>
      <EMail>ann@example.com</EMail>
    </Contact>
  </SupplierParty>
  <CustomerParty>
    <PartyName>Customer</PartyName>
    <CompanyTaxID>T2</CompanyTaxID>
    <CompanyVATID>V2</CompanyVATID>
    <CompanyRegisterID>R2</CompanyRegisterID>
    <PartyIdentification>P2</PartyIdentification>
  </CustomerParty>
  <NumberOfInvoiceLines>1</NumberOfInvoiceLines>
  <InvoiceDescription>Pens</InvoiceDescription>
  <SingleInvoiceLine>
    <OrderLineID>OL1</OrderLineID>
    <DeliveryNoteLineID>DL1</DeliveryNoteLineID>
    <ItemName>Pen</ItemName>
    <ItemEANCode>8590000000001</ItemEANCode>
    <PeriodFromDate>2024-01-01</PeriodFromDate>
    <PeriodToDate>2024-01-31</PeriodToDate>
    <InvoicedQuantity>10</InvoicedQuantity>
    <UnitPriceTaxExclusiveAmount>1.5</UnitPriceTaxExclusiveAmount>
    <UnitPriceTaxInclusiveAmount>1.8</UnitPriceTaxInclusiveAmount>
    <UnitPriceTaxAmount>0.3</UnitPriceTaxAmount>
  </SingleInvoiceLine>
  <TaxCategorySummaries>
    <TaxCategorySummary>
      <ClassifiedTaxCategory>0.2</ClassifiedTaxCategory>
      <TaxExclusiveAmount>15</TaxExclusiveAmount>
      <TaxInclusiveAmount>18</TaxInclusiveAmount>
      <TaxAmount>3</TaxAmount>
      <AlreadyClaimedTaxExclusiveAmount>5</AlreadyClaimedTaxExclusiveAmount>
      <AlreadyClaimedTaxInclusiveAmount>6</AlreadyClaimedTaxInclusiveAmount>
      <AlreadyClaimedTaxAmount>1</AlreadyClaimedTaxAmount>
      <DifferenceTaxExclusiveAmount>10</DifferenceTaxExclusiveAmount>
      <DifferenceTaxInclusiveAmount>12</DifferenceTaxInclusiveAmount>
      <DifferenceTaxAmount>2</DifferenceTaxAmount>
    </TaxCategorySummary>
  </TaxCategorySummaries>
  <MonetarySummary>
    <TaxExclusiveAmount>15</TaxExclusiveAmount>
    <PayableRoundingAmount>-0.01</PayableRoundingAmount>
    <PaidDepositsAmount>2</PaidDepositsAmount>
    <PayableAmount>9.99</PayableAmount>
  </MonetarySummary>
  <PaymentMeans>creditCard moneyTransfer</PaymentMeans>
</Invoice>
)";

TEST_F(InvoiceXmlTest, ReadsCarriedValuesAndIgnoresDerivedOnes) {
  DocumentPtr document = Read(kFullInvoice);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->header, (DocumentHeader{0x10, 0x10}));
  const Invoice& invoice = AsInvoice(document);
  EXPECT_EQ(invoice.InvoiceID, "F2024-7");
  EXPECT_EQ(invoice.TaxPointDate, "2024-02-29");
  EXPECT_EQ(invoice.ForeignCurrencyCode, "EUR");
  EXPECT_EQ(invoice.CurrRate, 25.125);
  EXPECT_EQ(invoice.ReferenceCurrRate, 1.0);

  ASSERT_NE(invoice.SupplierParty, nullptr);
  EXPECT_EQ(invoice.SupplierParty->PartyName, "Supplier & Sons");
  EXPECT_EQ(invoice.SupplierParty->CompanyRegisterID, "R1");
  ASSERT_NE(invoice.SupplierParty->PostalAddress, nullptr);
  EXPECT_EQ(invoice.SupplierParty->PostalAddress->Country, "SK");
  ASSERT_NE(invoice.SupplierParty->Contact, nullptr);
  EXPECT_EQ(invoice.SupplierParty->Contact->EMail, "ann@example.com");
  ASSERT_NE(invoice.CustomerParty, nullptr);
  EXPECT_EQ(invoice.CustomerParty->PartyIdentification, "P2");
  EXPECT_EQ(invoice.NumberOfInvoiceLines, 1);
  EXPECT_EQ(invoice.InvoiceDescription, "Pens");

  ASSERT_NE(invoice.SingleInvoiceLine, nullptr);
  const SingleInvoiceLine& line = *invoice.SingleInvoiceLine;
  EXPECT_EQ(line.DeliveryNoteLineID, "DL1");
  EXPECT_EQ(line.PeriodToDate, "2024-01-31");
  EXPECT_EQ(line.InvoicedQuantity, 10.0);
  EXPECT_EQ(line.UnitPriceTaxExclusiveAmount, std::nullopt);
  EXPECT_EQ(line.UnitPriceTaxInclusiveAmount, std::nullopt);
  EXPECT_EQ(line.UnitPriceTaxAmount, std::nullopt);

  ASSERT_EQ(count(invoice.TaxCategorySummaries), 1u);
  const TaxCategorySummary& tax = *invoice.TaxCategorySummaries->get(0);
  EXPECT_EQ(tax.ClassifiedTaxCategory, 0.2);
  EXPECT_EQ(tax.TaxExclusiveAmount, 15.0);
  EXPECT_EQ(tax.TaxAmount, 3.0);
  EXPECT_EQ(tax.AlreadyClaimedTaxExclusiveAmount, 5.0);
  EXPECT_EQ(tax.AlreadyClaimedTaxAmount, 1.0);
  EXPECT_EQ(tax.TaxInclusiveAmount, std::nullopt);
  EXPECT_EQ(tax.AlreadyClaimedTaxInclusiveAmount, std::nullopt);
  EXPECT_EQ(tax.DifferenceTaxExclusiveAmount, std::nullopt);
  EXPECT_EQ(tax.DifferenceTaxInclusiveAmount, std::nullopt);
  EXPECT_EQ(tax.DifferenceTaxAmount, std::nullopt);

  ASSERT_NE(invoice.MonetarySummary, nullptr);
  EXPECT_EQ(invoice.MonetarySummary->PayableRoundingAmount, -0.01);
  EXPECT_EQ(invoice.MonetarySummary->PaidDepositsAmount, 2.0);
  EXPECT_EQ(invoice.MonetarySummary->TaxExclusiveAmount, std::nullopt);
  EXPECT_EQ(invoice.MonetarySummary->PayableAmount, std::nullopt);
  EXPECT_EQ(invoice.PaymentMeans, 1 | 8);
}

TEST_F(InvoiceXmlTest, WritesCarriedValuesInTableOrder) {
  EXPECT_EQ(
      RoundTrip(kFullInvoice),
      Written(
          "Invoice", "ProformaInvoice",
          "<InvoiceID>F2024-7</InvoiceID><IssueDate>2024-03-01</IssueDate>"
          "<TaxPointDate>2024-02-29</TaxPointDate><OrderID>O-1</OrderID>"
          "<DeliveryNoteID>D-1</DeliveryNoteID>"
          "<LocalCurrencyCode>CZK</LocalCurrencyCode>"
          "<ForeignCurrencyCode>EUR</ForeignCurrencyCode>"
          "<CurrRate>25.125</CurrRate><ReferenceCurrRate>1</ReferenceCurrRate>"
          "<SupplierParty><PartyName>Supplier &amp; Sons</PartyName>"
          "<CompanyTaxID>T1</CompanyTaxID><CompanyVATID>V1</CompanyVATID>"
          "<CompanyRegisterID>R1</CompanyRegisterID><PostalAddress>"
          "<StreetName>Main</StreetName><BuildingNumber>1</BuildingNumber>"
          "<CityName>Town</CityName><PostalZone>12345</PostalZone>"
          "<State>ST</State><Country>SK</Country></PostalAddress><Contact>"
          "<Name>Ann</Name><Telephone>+421 1</Telephone>"
          "<EMail>ann@example.com</EMail></Contact></SupplierParty>"
          "<CustomerParty><PartyName>Customer</PartyName>"
          "<CompanyTaxID>T2</CompanyTaxID><CompanyVATID>V2</CompanyVATID>"
          "<CompanyRegisterID>R2</CompanyRegisterID>"
          "<PartyIdentification>P2</PartyIdentification></CustomerParty>"
          "<NumberOfInvoiceLines>1</NumberOfInvoiceLines>"
          "<InvoiceDescription>Pens</InvoiceDescription><SingleInvoiceLine>"
          "<OrderLineID>OL1</OrderLineID>"
          "<DeliveryNoteLineID>DL1</DeliveryNoteLineID><ItemName>Pen</ItemName>"
          "<ItemEANCode>8590000000001</ItemEANCode>"
          "<PeriodFromDate>2024-01-01</PeriodFromDate>"
          "<PeriodToDate>2024-01-31</PeriodToDate>"
          "<InvoicedQuantity>10</InvoicedQuantity></SingleInvoiceLine>"
          "<TaxCategorySummaries><TaxCategorySummary>"
          "<ClassifiedTaxCategory>0.2</ClassifiedTaxCategory>"
          "<TaxExclusiveAmount>15</TaxExclusiveAmount><TaxAmount>3</TaxAmount>"
          "<AlreadyClaimedTaxExclusiveAmount>5"
          "</AlreadyClaimedTaxExclusiveAmount>"
          "<AlreadyClaimedTaxAmount>1</AlreadyClaimedTaxAmount>"
          "</TaxCategorySummary></TaxCategorySummaries><MonetarySummary>"
          "<PayableRoundingAmount>-0.01</PayableRoundingAmount>"
          "<PaidDepositsAmount>2</PaidDepositsAmount></MonetarySummary>"
          "<PaymentMeans>moneyTransfer creditCard</PaymentMeans>"));
}

TEST_F(InvoiceXmlTest, DerivedAmountsAreWrittenInTheirPlaces) {
  auto invoice = new_invoice();
  invoice->SingleInvoiceLine = std::make_unique<SingleInvoiceLine>();
  invoice->SingleInvoiceLine->ItemName = "Pen";
  invoice->SingleInvoiceLine->UnitPriceTaxInclusiveAmount = 1.8;
  invoice->SingleInvoiceLine->UnitPriceTaxAmount = 0.3;
  invoice->TaxCategorySummaries.emplace();
  auto tax = std::make_unique<TaxCategorySummary>();
  tax->ClassifiedTaxCategory = 0.2;
  tax->TaxInclusiveAmount = 18;
  tax->AlreadyClaimedTaxAmount = 1;
  tax->DifferenceTaxAmount = 2;
  invoice->TaxCategorySummaries->append(nullptr);
  invoice->TaxCategorySummaries->append(std::move(tax));
  invoice->MonetarySummary = std::make_unique<MonetarySummary>();
  invoice->MonetarySummary->DifferenceTaxAmount = 2;
  invoice->MonetarySummary->PayableRoundingAmount = 0.5;
  invoice->MonetarySummary->PayableAmount = 20.5;
  EXPECT_EQ(Write(*invoice),
            Written("Invoice", "Invoice",
                    "<SingleInvoiceLine><ItemName>Pen</ItemName>"
                    "<UnitPriceTaxInclusiveAmount>1.8"
                    "</UnitPriceTaxInclusiveAmount>"
                    "<UnitPriceTaxAmount>0.3</UnitPriceTaxAmount>"
                    "</SingleInvoiceLine><TaxCategorySummaries>"
                    "<TaxCategorySummary>"
                    "<ClassifiedTaxCategory>0.2</ClassifiedTaxCategory>"
                    "<TaxInclusiveAmount>18</TaxInclusiveAmount>"
                    "<AlreadyClaimedTaxAmount>1</AlreadyClaimedTaxAmount>"
                    "<DifferenceTaxAmount>2</DifferenceTaxAmount>"
                    "</TaxCategorySummary></TaxCategorySummaries>"
                    "<MonetarySummary>"
                    "<DifferenceTaxAmount>2</DifferenceTaxAmount>"
                    "<PayableRoundingAmount>0.5</PayableRoundingAmount>"
                    "<PayableAmount>20.5</PayableAmount></MonetarySummary>"));
}

TEST_F(InvoiceXmlTest, SubKindTravelsAsTheTypeAttribute) {
  const char* kTypes[] = {"Invoice", "ProformaInvoice", "CreditNote",
                          "DebitNote", "AdvanceInvoice"};
  for (int sub_kind = 0; sub_kind < 5; ++sub_kind) {
    std::string text =
        std::string("<Invoice xmlns:xsi=\"http://www.w3.org/2001/"
                    "XMLSchema-instance\" xsi:type=\"") +
        kTypes[sub_kind] + "\"><InvoiceID>N</InvoiceID></Invoice>";
    DocumentPtr document = Read(text);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->header.sub_kind(), sub_kind);
    EXPECT_EQ(RoundTrip(text),
              Written("Invoice", kTypes[sub_kind], "<InvoiceID>N</InvoiceID>"));
  }
  DocumentPtr credit = Read(R"(<Invoice type="CreditNote"/>)");
  ASSERT_NE(credit, nullptr);
  EXPECT_EQ(credit->header, (DocumentHeader{0x10, 0x20}));
  // No type attribute: a plain invoice.
  DocumentPtr plain = Read("<Invoice/>");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->header, (DocumentHeader{0x10, 0x00}));

  EXPECT_EQ(ReadError(R"(<Invoice type="Creditnote"/>)"),
            "ERROR_XML: Attribute 'type' in root element has invalid value. ");
  // The type name is no root element.
  DocumentPtr none;
  EXPECT_EQ(document_from_xml("<CreditNote/>", &none), 0);
  EXPECT_EQ(none, nullptr);

  auto invoice = new_invoice();
  invoice->header.set_sub_kind(7);
  EXPECT_EQ(document_to_xml(*invoice, nullptr), 9);
  EXPECT_EQ(error_text(), "ERROR_XML: Error wrong invoice document type ");
}

TEST_F(InvoiceXmlTest, BadValuesNameTheirElement) {
  struct Case {
    const char* body;
    const char* error;
  };
  const Case kCases[] = {
      {"<NumberOfInvoiceLines>3.0</NumberOfInvoiceLines>",
       "ERROR_XML: NumberOfInvoiceLines Invalid integer format."},
      {"<PaymentMeans>cash cash</PaymentMeans>",
       "ERROR_XML: PaymentMeans Contains duplicate value."},
      {"<CurrRate>1e999</CurrRate>",
       "ERROR_XML: CurrRate Invalid decimal format. Use dot '.' as a decimal "
       "mark."},
      {"<SingleInvoiceLine><InvoicedQuantity>1,5</InvoicedQuantity>"
       "</SingleInvoiceLine>",
       "ERROR_XML: InvoicedQuantity Invalid decimal format. Use dot '.' as a "
       "decimal mark."},
      {"<TaxCategorySummaries><TaxCategorySummary><TaxAmount>-</TaxAmount>"
       "</TaxCategorySummary></TaxCategorySummaries>",
       "ERROR_XML: TaxAmount Invalid decimal format. Use dot '.' as a decimal "
       "mark."},
      {"<MonetarySummary><PaidDepositsAmount>NaN</PaidDepositsAmount>"
       "</MonetarySummary>",
       "ERROR_XML: PaidDepositsAmount Invalid decimal format. Use dot '.' as "
       "a decimal mark."},
      // Derived amounts are not read, so their text is never judged.
      {"<MonetarySummary><PayableAmount>x</PayableAmount></MonetarySummary>"
       "<PaymentMeans>other other</PaymentMeans>",
       "ERROR_XML: PaymentMeans Contains duplicate value."},
  };
  for (const Case& c : kCases) {
    reset_error();
    EXPECT_EQ(ReadError(std::string("<Invoice>") + c.body + "</Invoice>"),
              c.error)
        << c.body;
  }
}

TEST_F(InvoiceXmlTest, EmptyRecordsAreReadButNotWritten) {
  DocumentPtr document =
      Read("<Invoice><SupplierParty><PartyName>S</PartyName><PostalAddress/>"
           "</SupplierParty><CustomerParty/><SingleInvoiceLine>"
           "<UnitPriceTaxAmount>1</UnitPriceTaxAmount></SingleInvoiceLine>"
           "<TaxCategorySummaries/><MonetarySummary><PayableAmount>5"
           "</PayableAmount></MonetarySummary>"
           "<PaymentMeans>cheque</PaymentMeans></Invoice>");
  ASSERT_NE(document, nullptr);
  const Invoice& invoice = AsInvoice(document);
  ASSERT_NE(invoice.SupplierParty, nullptr);
  ASSERT_NE(invoice.SupplierParty->PostalAddress, nullptr);
  EXPECT_EQ(invoice.SupplierParty->PostalAddress->StreetName, std::nullopt);
  EXPECT_EQ(invoice.SupplierParty->Contact, nullptr);
  EXPECT_NE(invoice.CustomerParty, nullptr);
  EXPECT_NE(invoice.SingleInvoiceLine, nullptr);
  ASSERT_TRUE(invoice.TaxCategorySummaries.has_value());
  EXPECT_EQ(invoice.TaxCategorySummaries->count(), 0u);
  ASSERT_NE(invoice.MonetarySummary, nullptr);
  EXPECT_EQ(invoice.MonetarySummary->PayableAmount, std::nullopt);
  EXPECT_EQ(invoice.PaymentMeans, 0);
  EXPECT_EQ(Write(invoice),
            Written("Invoice", "Invoice",
                    "<SupplierParty><PartyName>S</PartyName></SupplierParty>"));
}

TEST_F(InvoiceXmlTest, PaymentMeansAreWrittenInTableOrder) {
  DocumentPtr document =
      Read("<Invoice><PaymentMeans>creditCard cash</PaymentMeans></Invoice>");
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(AsInvoice(document).PaymentMeans, 10);
  EXPECT_EQ(Write(*document),
            Written("Invoice", "Invoice",
                    "<PaymentMeans>cash creditCard</PaymentMeans>"));

  auto invoice = new_invoice();
  invoice->PaymentMeans = 0x7F | 0x80;  // every name, and a bit past them
  EXPECT_EQ(Write(*invoice),
            Written("Invoice", "Invoice",
                    "<PaymentMeans>moneyTransfer cash cashOnDelivery "
                    "creditCard advance mutualOffset other</PaymentMeans>"));
}

}  // namespace
}  // namespace zarnex::xml
