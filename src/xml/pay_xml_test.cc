#include <string>

#include "error/error.h"
#include "model/pay.h"
#include "xml/xml.h"
#include "xml/xml_test_util.h"

namespace zarnex::xml {
namespace {

using testing::Written;

class PayXmlTest : public testing::XmlTest {
 protected:
  // Reads a Pay whose Payments hold @a payments (the inner XML).
  static const Pay* ReadPay(DocumentPtr& holder, const std::string& payments) {
    holder = Read("<Pay><Payments>" + payments + "</Payments></Pay>");
    return static_cast<const Pay*>(holder.get());
  }

  // Reads one payment from @a payment_body; the error text on failure.
  static std::string PaymentError(const std::string& payment_body) {
    return ReadError("<Pay><Payments><Payment>" + payment_body +
                     "</Payment></Payments></Pay>");
  }

  // Writes a Pay whose only payment has the given body, and gives the
  // written text inside <Payments>.
  static std::string PaymentRoundTrip(const std::string& payment_body) {
    return RoundTrip("<Pay><Payments><Payment>" + payment_body +
                     "</Payment></Payments></Pay>");
  }
};

// Every element of a Pay, indented, with the payment options out of order.
constexpr char kFullPay[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Pay xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="Pay" xmlns="urn:zarnex:document:1">
  <InvoiceID>INV-1</InvoiceID>
  <Payments>
    <Payment>
      <PaymentOptions>standingorder paymentorder directdebit</PaymentOptions>
      <Amount>100.25</Amount>
      <CurrencyCode>EUR</CurrencyCode>
      <PaymentDueDate>2015-01-31</PaymentDueDate>
      <VariableSymbol>123</VariableSymbol>
      <ConstantSymbol>0308</ConstantSymbol>
      <SpecificSymbol>9</SpecificSymbol>
      <OriginatorsReferenceInformation>ORI</OriginatorsReferenceInformation>
      <PaymentNote>rent &amp; heating</PaymentNote>
      <BankAccounts>
        <BankAccount><IBAN>SK3112000000198742637541</IBAN><BIC>XXXXSKBX</BIC></BankAccount>
        <BankAccount><IBAN>CZ6508000000192000145399</IBAN></BankAccount>
      </BankAccounts>
      <StandingOrderExt>
        <Day>15</Day>
        <Month>December January</Month>
        <Periodicity>Bimonthly</Periodicity>
        <LastDate>2016-12-31</LastDate>
      </StandingOrderExt>
      <DirectDebitExt>
        <DirectDebitScheme>SEPA</DirectDebitScheme>
        <DirectDebitType>recurrent</DirectDebitType>
        <VariableSymbol>456</VariableSymbol>
        <SpecificSymbol>7</SpecificSymbol>
        <MandateID>M1</MandateID>
        <CreditorID>C1</CreditorID>
        <ContractID>K1</ContractID>
        <OriginatorsReferenceInformation>ORI2</OriginatorsReferenceInformation>
        <MaxAmount>250.5</MaxAmount>
        <ValidTillDate>2017-06-30</ValidTillDate>
      </DirectDebitExt>
    </Payment>
  </Payments>
</Pay>
)";

constexpr char kFullPayBody[] =
    "<InvoiceID>INV-1</InvoiceID><Payments><Payment>"
    "<PaymentOptions>paymentorder standingorder directdebit</PaymentOptions>"
    "<Amount>100.25</Amount><CurrencyCode>EUR</CurrencyCode>"
    "<PaymentDueDate>2015-01-31</PaymentDueDate>"
    "<VariableSymbol>123</VariableSymbol><ConstantSymbol>0308</ConstantSymbol>"
    "<SpecificSymbol>9</SpecificSymbol>"
    "<OriginatorsReferenceInformation>ORI</OriginatorsReferenceInformation>"
    "<PaymentNote>rent &amp; heating</PaymentNote><BankAccounts>"
    "<BankAccount><IBAN>SK3112000000198742637541</IBAN><BIC>XXXXSKBX</BIC>"
    "</BankAccount><BankAccount><IBAN>CZ6508000000192000145399</IBAN>"
    "</BankAccount></BankAccounts>"
    "<StandingOrderExt><Day>15</Day><Month>January December</Month>"
    "<Periodicity>Bimonthly</Periodicity><LastDate>2016-12-31</LastDate>"
    "</StandingOrderExt>"
    "<DirectDebitExt><DirectDebitScheme>SEPA</DirectDebitScheme>"
    "<DirectDebitType>recurrent</DirectDebitType>"
    "<VariableSymbol>456</VariableSymbol><SpecificSymbol>7</SpecificSymbol>"
    "<MandateID>M1</MandateID><CreditorID>C1</CreditorID>"
    "<ContractID>K1</ContractID>"
    "<OriginatorsReferenceInformation>ORI2</OriginatorsReferenceInformation>"
    "<MaxAmount>250.5</MaxAmount><ValidTillDate>2017-06-30</ValidTillDate>"
    "</DirectDebitExt></Payment></Payments>";

TEST_F(PayXmlTest, ReadsEveryElement) {
  DocumentPtr document = Read(kFullPay);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->header, (DocumentHeader{0x00, 0x00}));
  const auto& pay = static_cast<const Pay&>(*document);
  EXPECT_EQ(pay.InvoiceID, "INV-1");
  ASSERT_EQ(count(pay.Payments), 1u);
  const Payment& p = *pay.Payments->get(0);
  EXPECT_EQ(p.PaymentOptions, 7);
  EXPECT_EQ(p.Amount, 100.25);
  EXPECT_EQ(p.CurrencyCode, "EUR");
  EXPECT_EQ(p.PaymentDueDate, "2015-01-31");
  EXPECT_EQ(p.ConstantSymbol, "0308");
  EXPECT_EQ(p.PaymentNote, "rent & heating");
  ASSERT_EQ(count(p.BankAccounts), 2u);
  EXPECT_EQ(p.BankAccounts->get(0)->BIC, "XXXXSKBX");
  EXPECT_EQ(p.BankAccounts->get(1)->IBAN, "CZ6508000000192000145399");
  EXPECT_EQ(p.BankAccounts->get(1)->BIC, std::nullopt);

  ASSERT_NE(p.StandingOrderExt, nullptr);
  EXPECT_EQ(p.StandingOrderExt->Day, 15);
  EXPECT_EQ(p.StandingOrderExt->Month, 2049);
  EXPECT_EQ(p.StandingOrderExt->Periodicity, "B");
  EXPECT_EQ(p.StandingOrderExt->LastDate, "2016-12-31");

  ASSERT_NE(p.DirectDebitExt, nullptr);
  const DirectDebitExt& d = *p.DirectDebitExt;
  EXPECT_EQ(d.DirectDebitScheme, 1);
  EXPECT_EQ(d.DirectDebitType, 1);
  EXPECT_EQ(d.VariableSymbol, "456");
  EXPECT_EQ(d.SpecificSymbol, "7");
  EXPECT_EQ(d.OriginatorsReferenceInformation, "ORI2");
  EXPECT_EQ(d.MandateID, "M1");
  EXPECT_EQ(d.CreditorID, "C1");
  EXPECT_EQ(d.ContractID, "K1");
  EXPECT_EQ(d.MaxAmount, 250.5);
  EXPECT_EQ(d.ValidTillDate, "2017-06-30");
}

TEST_F(PayXmlTest, WritesEveryElementInTableOrder) {
  EXPECT_EQ(RoundTrip(kFullPay), Written("Pay", "Pay", kFullPayBody));
}

TEST_F(PayXmlTest, EnumerationsReadExactNamesAndWriteThemBack) {
  DocumentPtr holder;
  const Pay* pay = ReadPay(
      holder,
      "<Payment><StandingOrderExt><Periodicity>Monthly</Periodicity>"
      "</StandingOrderExt><DirectDebitExt><DirectDebitScheme>other"
      "</DirectDebitScheme><DirectDebitType>one-off</DirectDebitType>"
      "</DirectDebitExt></Payment>"
      "<Payment><StandingOrderExt><Periodicity>Biweekly</Periodicity>"
      "</StandingOrderExt></Payment>");
  ASSERT_NE(pay, nullptr);
  ASSERT_EQ(count(pay->Payments), 2u);
  EXPECT_EQ(pay->Payments->get(0)->StandingOrderExt->Periodicity, "m");
  EXPECT_EQ(pay->Payments->get(0)->DirectDebitExt->DirectDebitScheme, 0);
  EXPECT_EQ(pay->Payments->get(0)->DirectDebitExt->DirectDebitType, 0);
  EXPECT_EQ(pay->Payments->get(1)->StandingOrderExt->Periodicity, "b");
  std::string written = Write(*pay);
  EXPECT_NE(written.find("<Periodicity>Monthly</Periodicity>"),
            std::string::npos);
  EXPECT_NE(written.find("<Periodicity>Biweekly</Periodicity>"),
            std::string::npos);
  EXPECT_NE(written.find("<DirectDebitScheme>other</DirectDebitScheme>"
                         "<DirectDebitType>one-off</DirectDebitType>"),
            std::string::npos);
}

TEST_F(PayXmlTest, BadValuesNameTheirElement) {
  struct Case {
    const char* payment_body;
    const char* error;
  };
  const Case kCases[] = {
      {"<StandingOrderExt><Periodicity>monthly</Periodicity>"
       "</StandingOrderExt>",
       "ERROR_XML: Periodicity Invalid enum value."},
      {"<DirectDebitExt><DirectDebitScheme>sepa</DirectDebitScheme>"
       "</DirectDebitExt>",
       "ERROR_XML: DirectDebitScheme Invalid enum value."},
      {"<DirectDebitExt><DirectDebitType>Recurrent</DirectDebitType>"
       "</DirectDebitExt>",
       "ERROR_XML: DirectDebitType Invalid enum value."},
      {"<PaymentOptions>paymentorder paymentorder</PaymentOptions>",
       "ERROR_XML: PaymentOptions Contains duplicate value."},
      {"<StandingOrderExt><Month>May June May</Month></StandingOrderExt>",
       "ERROR_XML: Month Contains duplicate value."},
      {"<StandingOrderExt><Day>99999999999</Day></StandingOrderExt>",
       "ERROR_XML: Day Invalid integer format."},
      {"<StandingOrderExt><Day>7 </Day></StandingOrderExt>",
       "ERROR_XML: Day Invalid integer format."},
      {"<Amount>12,5</Amount>",
       "ERROR_XML: Amount Invalid decimal format. Use dot '.' as a decimal "
       "mark."},
      {"<DirectDebitExt><MaxAmount>inf</MaxAmount></DirectDebitExt>",
       "ERROR_XML: MaxAmount Invalid decimal format. Use dot '.' as a decimal "
       "mark."},
      // Elements are read in table order, whatever their order in the text.
      {"<Amount>x</Amount><PaymentOptions>directdebit directdebit"
       "</PaymentOptions>",
       "ERROR_XML: PaymentOptions Contains duplicate value."},
      {"<DirectDebitExt><MaxAmount>x</MaxAmount></DirectDebitExt>"
       "<StandingOrderExt><Day>x</Day></StandingOrderExt>",
       "ERROR_XML: Day Invalid integer format."},
  };
  for (const Case& c : kCases) {
    reset_error();
    EXPECT_EQ(PaymentError(c.payment_body), c.error) << c.payment_body;
  }
  // A failure in a later payment leaves no document at all.
  EXPECT_EQ(ReadError("<Pay><InvoiceID>A</InvoiceID><Payments>"
                      "<Payment><Amount>1</Amount></Payment>"
                      "<Payment><Amount>nan</Amount></Payment>"
                      "</Payments></Pay>"),
            "ERROR_XML: Amount Invalid decimal format. Use dot '.' as a "
            "decimal mark.");
}

TEST_F(PayXmlTest, EmptyRecordsAndListsAreReadButNotWritten) {
  DocumentPtr holder;
  const Pay* pay = ReadPay(
      holder,
      "<Payment><BankAccounts/><StandingOrderExt/><DirectDebitExt>"
      "</DirectDebitExt><PaymentOptions> </PaymentOptions></Payment>");
  ASSERT_NE(pay, nullptr);
  ASSERT_EQ(count(pay->Payments), 1u);
  const Payment& p = *pay->Payments->get(0);
  ASSERT_TRUE(p.BankAccounts.has_value());
  EXPECT_EQ(p.BankAccounts->count(), 0u);
  ASSERT_NE(p.StandingOrderExt, nullptr);
  EXPECT_EQ(p.StandingOrderExt->Day, std::nullopt);
  ASSERT_NE(p.DirectDebitExt, nullptr);
  EXPECT_EQ(p.PaymentOptions, 0);
  EXPECT_EQ(Write(*pay), Written("Pay", "Pay", ""));

  DocumentPtr empty = Read("<Pay><Payments/></Pay>");
  ASSERT_NE(empty, nullptr);
  const auto& payments = static_cast<const Pay&>(*empty).Payments;
  ASSERT_TRUE(payments.has_value());
  EXPECT_EQ(payments->count(), 0u);

  DocumentPtr bare = Read("<Pay/>");
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->InvoiceID, std::nullopt);
  EXPECT_FALSE(static_cast<const Pay&>(*bare).Payments.has_value());
}

TEST_F(PayXmlTest, OnlyPresentValuesAreWritten) {
  EXPECT_EQ(PaymentRoundTrip("<StandingOrderExt><Day>15</Day>"
                             "</StandingOrderExt>"),
            Written("Pay", "Pay",
                    "<Payments><Payment><StandingOrderExt><Day>15</Day>"
                    "</StandingOrderExt></Payment></Payments>"));
  EXPECT_EQ(PaymentRoundTrip("<StandingOrderExt><Day>0</Day>"
                             "</StandingOrderExt><Amount>0</Amount>"),
            Written("Pay", "Pay",
                    "<Payments><Payment><Amount>0</Amount><StandingOrderExt>"
                    "<Day>0</Day></StandingOrderExt></Payment></Payments>"));
  EXPECT_EQ(PaymentRoundTrip("<PaymentOptions>standingorder paymentorder"
                             "</PaymentOptions>"),
            Written("Pay", "Pay",
                    "<Payments><Payment><PaymentOptions>paymentorder "
                    "standingorder</PaymentOptions></Payment></Payments>"));

  // Values that only a code can bring in have no name and are dropped.
  auto pay = new_pay();
  pay->Payments.emplace();
  auto payment = std::make_unique<Payment>();
  payment->StandingOrderExt = std::make_unique<StandingOrderExt>();
  payment->StandingOrderExt->Periodicity = "x";
  payment->DirectDebitExt = std::make_unique<DirectDebitExt>();
  payment->DirectDebitExt->DirectDebitScheme = 2;
  payment->DirectDebitExt->DirectDebitType = -1;
  pay->Payments->append(std::move(payment));
  pay->Payments->append(nullptr);
  EXPECT_EQ(Write(*pay), Written("Pay", "Pay", ""));
}

TEST_F(PayXmlTest, InputOrderAndDuplicatesAreNotKept) {
  DocumentPtr holder;
  const Pay* pay = ReadPay(
      holder,
      "<Payment><Amount>1</Amount><Amount>2</Amount><Extra>3</Extra></Payment>"
      "<Note><Amount>9</Amount></Note>"
      "<Payment><CurrencyCode>CZK</CurrencyCode><Amount>3.5</Amount>"
      "</Payment>");
  ASSERT_NE(pay, nullptr);
  ASSERT_EQ(count(pay->Payments), 2u);
  EXPECT_EQ(pay->Payments->get(0)->Amount, 1.0);
  EXPECT_EQ(pay->Payments->get(1)->Amount, 3.5);
  EXPECT_EQ(Write(*pay),
            Written("Pay", "Pay",
                    "<Payments><Payment><Amount>1</Amount></Payment>"
                    "<Payment><Amount>3.5</Amount><CurrencyCode>CZK"
                    "</CurrencyCode></Payment></Payments>"));
}

}  // namespace
}  // namespace zarnex::xml
