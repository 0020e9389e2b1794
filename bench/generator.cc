#include "bench/generator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

#include "code/field_sequence.h"
#include "error/error.h"
#include "validate/document_rules.h"
#include "xml/xml.h"

namespace zarnex::bench {
namespace {

constexpr std::size_t kSequenceLimit = 550;
// Share of the documents that carry only what their kind requires.
constexpr std::uint32_t kMinimalPercent = 20;
constexpr int kLargestBudget = 680;

template <typename T, std::size_t N>
const T& pick(Random& random, const std::array<T, N>& items) {
  return items[random.below(static_cast<std::uint32_t>(N))];
}

// Texts people type into payment orders and invoices: accented and
// non-Latin letters, quotes, and the XML specials & < >.
constexpr std::array<const char*, 16> kCompanies = {
    "Kancelária Plus s.r.o.",     "Stavby & Projekty a.s.",
    "Müller & Söhne GmbH",        "Żabka Polska sp. z o.o.",
    "Szőlőskert Kft.",            "Škoda Servis Brno s.r.o.",
    "Café Zürich AG",             "Horváth és Társa Bt.",
    "Ďurčo & Čierny, v.o.s.",     "Łódzkie Młyny S.A.",
    "Bäckerei Öhler e.U.",        "東京商事株式会社",
    "Ελληνικά Τρόφιμα Α.Ε.",      "Bücher <Antiquariat> Wien",
    "Nordlys Æblegård ApS",       "Électricité Dupont SARL"};
constexpr std::array<const char*, 8> kPeople = {
    "Jana Nováková",     "Jürgen Groß",   "Zoltán Kovács",
    "Małgorzata Wójcik", "Ľubomír Šťastný", "Renée Dubois",
    "Søren Kierkegård",  "Ana María Ñúñez"};
constexpr std::array<const char*, 8> kStreets = {
    "Obchodná",          "Hauptstraße",   "Váci utca",
    "ul. Marszałkowska", "Náměstí Míru", "Rue de la Paix",
    "Štúrova",           "Bahnhofstraße"};

struct Place {
  const char* city;
  const char* postal_zone;
  const char* country;
  const char* state;
};
constexpr std::array<Place, 8> kPlaces = {{
    {"Bratislava", "81106", "SVK", "Bratislavský kraj"},
    {"Brno", "60200", "CZE", "Jihomoravský kraj"},
    {"Wien", "1010", "AUT", "Wien"},
    {"München", "80331", "DEU", "Bayern"},
    {"Budapest", "1052", "HUN", "Pest"},
    {"Kraków", "31-042", "POL", "Małopolskie"},
    {"Košice", "04001", "SVK", "Košický kraj"},
    {"Zürich", "8001", "CHE", "Zürich"},
}};

constexpr std::array<const char*, 12> kNotes = {
    "Office chairs & desks",
    "Záloha za služby – december",
    "Miete für Büro <3. OG>",
    "Platba za energie, odběrné místo č. 4471",
    "Előleg a szerződés szerint",
    "Rata za leasing – samochód służbowy",
    "Thank you for your order!",
    "Mitgliedsbeitrag 2026 – Verein „Grün & Blau“",
    "Nájomné za byt č. 12, Štúrova 4",
    "Cotisation annuelle – « Les Amis »",
    "Kavárna U Zlatého kříže – catering 3 > 2",
    "年会費 2026"};
constexpr std::array<const char*, 12> kItems = {
    "Paper A4 80 g, box of 5 reams",
    "Kancelárska stolička ergonomická",
    "Schrauben M6 × 40 mm <verzinkt>",
    "Toner čierny 85A",
    "Bürostuhl „Komfort“",
    "Lapos képernyő 27\"",
    "Usługa serwisowa – przegląd roczny",
    "Consulting & support, hours",
    "Kávé szemes 1 kg",
    "Drevené palety 120×80",
    "Licence software – roční předplatné",
    "Żarówka LED 9 W, ciepła biel"};

constexpr std::array<const char*, 6> kCurrencies = {"EUR", "CZK", "HUF",
                                                    "PLN", "USD", "CHF"};
constexpr std::array<const char*, 5> kRates = {"25.123", "1.0825", "392.5",
                                               "4.3105", "0.9412"};
// Tax rates in thousandths, written as decimals ("0.23").
constexpr std::array<int, 7> kTaxRates = {0, 50, 100, 190, 200, 230, 270};

struct IbanForm {
  const char* country;
  int digits;  // digits after the two check digits
};
constexpr std::array<IbanForm, 6> kIbans = {{
    {"SK", 20}, {"CZ", 20}, {"DE", 18}, {"AT", 16}, {"HU", 24}, {"PL", 24}}};

struct Periodicity {
  const char* name;
  char code;
};
constexpr std::array<Periodicity, 8> kPeriodicities = {{
    {"Daily", 'd'}, {"Weekly", 'w'}, {"Biweekly", 'b'}, {"Monthly", 'm'},
    {"Bimonthly", 'B'}, {"Quarterly", 'q'}, {"Annually", 'a'},
    {"Semiannually", 's'}}};
constexpr std::array<const char*, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kPaymentMeans = {
    "moneyTransfer", "cash",         "cashOnDelivery", "creditCard",
    "advance",       "mutualOffset", "other"};

// The XML text of one document, with a running estimate of its field
// sequence length (value bytes plus one separator per field), which the
// optional parts consult to stay within the document's size budget.
class Builder {
 public:
  Builder(Random& random, int budget) : random_(random), budget_(budget) {}

  Random& random() { return random_; }

  void open(std::string_view name) {
    xml_.push_back('<');
    xml_.append(name);
    xml_.push_back('>');
  }
  void close(std::string_view name) {
    xml_.append("</");
    xml_.append(name);
    xml_.push_back('>');
  }
  void leaf(std::string_view name, std::string_view value) {
    open(name);
    for (char c : value) {
      switch (c) {
        case '&': xml_.append("&amp;"); break;
        case '<': xml_.append("&lt;"); break;
        case '>': xml_.append("&gt;"); break;
        default: xml_.push_back(c);
      }
    }
    close(name);
    used_ += static_cast<int>(value.size()) + 1;
  }
  // Fields of the sequence that no element gives (absent values, counts).
  void slots(int n) { used_ += n; }

  /// Whether @a bytes more stay within the current target.
  bool room(int bytes) const { return used_ + bytes <= target_; }
  int left() const { return target_ - used_; }
  /// Lets the next parts fill the budget up to @a share / @a of it.
  void set_share(int share, int of) { target_ = budget_ * share / of; }

  std::string& xml() { return xml_; }

 private:
  Random& random_;
  int budget_;
  int target_ = 0;
  int used_ = 0;
  std::string xml_;
};

std::string digits(Random& random, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text.push_back(static_cast<char>('0' + random.below(10)));
  return text;
}

std::string upper(Random& random, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text.push_back(static_cast<char>('A' + random.below(26)));
  return text;
}

std::string number(int value) { return std::to_string(value); }

// The random draws of one value are made in separate statements: the order
// in which the operands of one expression are evaluated is unspecified, and
// the same seed must give the same documents with every compiler.

std::string date(Random& random) {
  const std::uint32_t year = 2025 + random.below(3);
  const std::uint32_t month = 1 + random.below(12);
  const std::uint32_t day = 1 + random.below(28);
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", year, month, day);
  return text;
}

// An amount in cents written as people do: "1250.40", "99.9", "100".
std::string amount_text(long long value_cents, Random& random) {
  const bool negative = value_cents < 0;
  const auto magnitude =
      static_cast<unsigned long long>(negative ? -value_cents : value_cents);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 100);
  const unsigned long long rest = magnitude % 100;
  if (rest != 0 || random.chance(30)) {
    char decimals[8];
    std::snprintf(decimals, sizeof decimals, ".%02llu", rest);
    text += decimals;
    if (rest % 10 == 0 && random.chance(50)) text.pop_back();
  }
  return text;
}

// Cents of a price of typically 1 to 6 integer digits.
long long cents(Random& random) {
  static constexpr std::array<std::uint32_t, 6> kScale = {100,     1000,     10000,
                                                          100000, 1000000, 10000000};
  return 1 + random.below(pick(random, kScale) * 10);
}

std::string tax_rate_text(int thousandths) {
  if (thousandths == 0) return "0";
  std::string text = "0." + std::to_string(1000 + thousandths).substr(1);
  while (text.back() == '0') text.pop_back();
  return text;
}

std::string quantity_text(Random& random) {
  switch (random.below(4)) {
    case 0: return number(1 + static_cast<int>(random.below(5)));
    case 1: return number(1 + static_cast<int>(random.below(500)));
    case 2: {
      const std::string whole = number(static_cast<int>(random.below(100)));
      return whole + "." + number(1 + static_cast<int>(random.below(9)));
    }
    default: return "0." + digits(random, 2) + "5";
  }
}

// Whole phrases, joined by "; ", up to @a room bytes (at least one).
std::string text_up_to(Random& random, int room,
                       const std::array<const char*, 12>& phrases) {
  std::string text = pick(random, phrases);
  for (int tries = 0; tries < 8; ++tries) {
    std::string_view more = pick(random, phrases);
    if (static_cast<int>(text.size() + 2 + more.size()) > room ||
        text.find(more) != std::string::npos) {
      continue;
    }
    text.append("; ").append(more);
  }
  return text;
}

// The ISO 13616 check digits of an IBAN with a digits-only account part:
// 98 less the remainder by 97 of the account, the country's letters as
// numbers (A = 10 ... Z = 35) and "00".
std::string iban_check_digits(const char* country, const std::string& account) {
  std::string number = account;
  for (const char* c = country; *c != '\0'; ++c) number += std::to_string(*c - 'A' + 10);
  number += "00";
  int remainder = 0;
  for (char digit : number) remainder = (remainder * 10 + (digit - '0')) % 97;
  const int check = 98 - remainder;
  return std::string(1, static_cast<char>('0' + check / 10)) +
         static_cast<char>('0' + check % 10);
}

void write_bank_account(Builder& b) {
  Random& r = b.random();
  const IbanForm& form = pick(r, kIbans);
  b.open("BankAccount");
  // The two check digits drawn keep the random stream as it always was;
  // the IBAN gets the right ones, so that strict reading accepts it.
  digits(r, 2);
  const std::string account = digits(r, form.digits);
  b.leaf("IBAN", std::string(form.country) + iban_check_digits(form.country, account) +
                     account);
  std::string bic = upper(r, 4) + form.country;
  bic += upper(r, 1);
  bic += r.chance(50) ? "X" : digits(r, 1);
  if (r.chance(30)) bic += r.chance(50) ? "XXX" : digits(r, 3);
  b.leaf("BIC", bic);
  b.close("BankAccount");
}

void write_standing_order(Builder& b) {
  Random& r = b.random();
  const Periodicity& periodicity = pick(r, kPeriodicities);
  b.open("StandingOrderExt");
  b.slots(4);
  const bool weekly = periodicity.code == 'w' || periodicity.code == 'b';
  const bool monthly = periodicity.code == 'm' || periodicity.code == 'B';
  if ((weekly || monthly) && r.chance(85))
    b.leaf("Day", number(1 + static_cast<int>(r.below(weekly ? 7 : 31))));
  if ((weekly || monthly) && r.chance(30)) {
    const std::uint32_t first = r.below(6);
    b.leaf("Month", std::string(kMonths[first]) + " " + kMonths[first + 6]);
  }
  b.leaf("Periodicity", periodicity.name);
  if (r.chance(60)) b.leaf("LastDate", date(r));
  b.close("StandingOrderExt");
}

void write_direct_debit(Builder& b) {
  Random& r = b.random();
  b.open("DirectDebitExt");
  b.slots(10);
  const bool sepa = r.chance(60);
  b.leaf("DirectDebitScheme", sepa ? "SEPA" : "other");
  b.leaf("DirectDebitType", r.chance(50) ? "recurrent" : "one-off");
  // SEPA needs the mandate and creditor identifiers and then takes no
  // symbols; another scheme takes identifiers, or symbols, or a reference.
  const std::uint32_t form = sepa ? 0 : r.below(3);
  if (form == 1) {
    if (r.chance(70)) b.leaf("VariableSymbol", digits(r, 1 + static_cast<int>(r.below(10))));
    if (r.chance(40)) b.leaf("SpecificSymbol", digits(r, 1 + static_cast<int>(r.below(10))));
  }
  if (form == 0) {
    const std::string mandate = "MND-" + digits(r, 4) + "/";
    b.leaf("MandateID", mandate + upper(r, 2));
    const std::string creditor = pick(r, kIbans).country + digits(r, 2) + "ZZZ";
    b.leaf("CreditorID", creditor + digits(r, 10));
    if (r.chance(40)) b.leaf("ContractID", "ZML-" + digits(r, 6));
  }
  if (form == 2) {
    std::string reference = "RF" + digits(r, 2) + " ";
    reference += upper(r, 3);
    reference += digits(r, 8);
    b.leaf("OriginatorsReferenceInformation", reference);
  }
  if (r.chance(50)) b.leaf("MaxAmount", amount_text(cents(r), r));
  if (r.chance(40)) b.leaf("ValidTillDate", date(r));
  b.close("DirectDebitExt");
}

void write_payment(Builder& b) {
  Random& r = b.random();
  b.open("Payment");
  b.slots(11);
  const std::uint32_t options = r.below(100);
  const bool standing = options >= 60 && options < 82;
  const bool debit = options >= 82;
  std::string names = standing ? "standingorder" : debit ? "directdebit" : "paymentorder";
  if ((standing || debit) && r.chance(15)) names = "paymentorder " + names;
  b.leaf("PaymentOptions", names);
  b.leaf("Amount", amount_text(cents(r), r));
  b.leaf("CurrencyCode", pick(r, kCurrencies));
  if (b.room(11) && r.chance(80)) b.leaf("PaymentDueDate", date(r));
  if (b.room(40) && r.chance(15)) {
    const std::string check = "RF" + digits(r, 2) + " ";
    b.leaf("OriginatorsReferenceInformation", check + digits(r, 12));
  } else {
    if (b.room(11) && r.chance(75)) b.leaf("VariableSymbol", digits(r, 1 + static_cast<int>(r.below(10))));
    if (b.room(5) && r.chance(50)) b.leaf("ConstantSymbol", digits(r, 4));
    if (b.room(11) && r.chance(20)) b.leaf("SpecificSymbol", digits(r, 1 + static_cast<int>(r.below(10))));
  }
  b.open("BankAccounts");
  write_bank_account(b);
  while (b.room(90) && r.chance(35)) write_bank_account(b);
  b.close("BankAccounts");
  if (standing) write_standing_order(b);
  if (debit) write_direct_debit(b);
  if (b.room(20) && r.chance(85)) b.leaf("PaymentNote", text_up_to(r, b.left() - 40, kNotes));
  b.close("Payment");
}

std::string invoice_id(Random& random) {
  std::string id = random.chance(50) ? "FV-" : "2026/";
  id += digits(random, 4);
  if (random.chance(20)) id += "-Ä";
  return id;
}

void write_pay(Builder& b) {
  Random& r = b.random();
  b.slots(1);
  if (r.chance(90)) b.leaf("InvoiceID", invoice_id(r));
  int payments = 1;
  if (b.left() > 300 && r.chance(40)) ++payments;
  if (b.left() > 450 && r.chance(40)) ++payments;
  b.open("Payments");
  for (int i = 0; i < payments; ++i) {
    b.set_share(i + 1, payments);
    write_payment(b);
  }
  b.close("Payments");
}

void write_party_ids(Builder& b, bool with_identification) {
  Random& r = b.random();
  const std::string tax_id = "20" + digits(r, 8);
  if (b.room(11) && r.chance(70)) b.leaf("CompanyTaxID", tax_id);
  if (b.room(13) && r.chance(60)) b.leaf("CompanyVATID", "SK" + tax_id);
  if (b.room(9) && r.chance(50)) b.leaf("CompanyRegisterID", digits(r, 8));
  if (with_identification && b.room(12) && r.chance(30))
    b.leaf("PartyIdentification", "CUST-" + digits(r, 6));
}

void write_supplier(Builder& b) {
  Random& r = b.random();
  b.open("SupplierParty");
  b.slots(4 + 6 + 3);
  b.leaf("PartyName", pick(r, kCompanies));
  write_party_ids(b, false);
  const Place& place = pick(r, kPlaces);
  b.open("PostalAddress");
  b.leaf("StreetName", pick(r, kStreets));
  if (r.chance(80)) b.leaf("BuildingNumber", number(1 + static_cast<int>(r.below(120))));
  b.leaf("CityName", place.city);
  b.leaf("PostalZone", place.postal_zone);
  if (b.room(25) && r.chance(30)) b.leaf("State", place.state);
  b.leaf("Country", place.country);
  b.close("PostalAddress");
  if (b.room(70) && r.chance(50)) {
    b.open("Contact");
    b.leaf("Name", pick(r, kPeople));
    if (r.chance(70)) {
      const std::string exchange = "+421 2 " + digits(r, 4) + " ";
      b.leaf("Telephone", exchange + digits(r, 4));
    }
    if (r.chance(70)) b.leaf("EMail", "fakturacia" + digits(r, 2) + "@example.com");
    b.close("Contact");
  }
  b.close("SupplierParty");
}

void write_single_line(Builder& b) {
  Random& r = b.random();
  b.open("SingleInvoiceLine");
  b.slots(7);
  if (b.room(10) && r.chance(30)) b.leaf("OrderLineID", number(1 + static_cast<int>(r.below(99))));
  if (b.room(10) && r.chance(20)) b.leaf("DeliveryNoteLineID", number(1 + static_cast<int>(r.below(99))));
  if (r.chance(80)) {
    b.leaf("ItemName", pick(r, kItems));
  } else {
    b.leaf("ItemEANCode", "85" + digits(r, 11));
  }
  if (b.room(20) && r.chance(30)) {
    std::string from = date(r);
    std::string to = date(r);
    if (to < from) std::swap(from, to);
    b.leaf("PeriodFromDate", from);
    b.leaf("PeriodToDate", to);
  }
  b.leaf("InvoicedQuantity", quantity_text(r));
  b.close("SingleInvoiceLine");
}

void write_tax_summary(Builder& b, Kind kind) {
  Random& r = b.random();
  b.open("TaxCategorySummary");
  const int rate = pick(r, kTaxRates);
  long long base = cents(r);
  if (kind == Kind::kCreditNote) base = -base;
  const long long tax = (base * rate + (base < 0 ? -500 : 500)) / 1000;
  long long claimed = 0;
  if (kind != Kind::kAdvanceInvoice && r.chance(15)) claimed = base / (2 + r.below(4));
  const long long claimed_tax = (claimed * rate) / 1000;
  b.leaf("ClassifiedTaxCategory", tax_rate_text(rate));
  b.leaf("TaxExclusiveAmount", amount_text(base, r));
  b.leaf("TaxAmount", amount_text(tax, r));
  b.leaf("AlreadyClaimedTaxExclusiveAmount", amount_text(claimed, r));
  b.leaf("AlreadyClaimedTaxAmount", amount_text(claimed_tax, r));
  b.close("TaxCategorySummary");
}

void write_invoice(Builder& b, Kind kind) {
  Random& r = b.random();
  b.slots(9);
  b.leaf("InvoiceID", invoice_id(r));
  b.leaf("IssueDate", date(r));
  if (b.room(11) && r.chance(70)) b.leaf("TaxPointDate", date(r));
  if (b.room(12) && r.chance(40)) b.leaf("OrderID", "OBJ-" + digits(r, 4));
  if (b.room(12) && r.chance(20)) b.leaf("DeliveryNoteID", "DL-" + digits(r, 5));
  b.leaf("LocalCurrencyCode", pick(r, kCurrencies));
  if (b.room(30) && r.chance(20)) {
    b.leaf("ForeignCurrencyCode", pick(r, kCurrencies));
    b.leaf("CurrRate", pick(r, kRates));
    b.leaf("ReferenceCurrRate", r.chance(50) ? "1" : pick(r, kRates));
  }
  b.set_share(2, 3);
  write_supplier(b);
  b.open("CustomerParty");
  b.slots(5);
  b.leaf("PartyName", pick(r, kCompanies));
  write_party_ids(b, true);
  b.close("CustomerParty");
  b.set_share(1, 1);
  const bool single_line = r.chance(50);
  b.slots(1);
  if (!single_line) b.leaf("NumberOfInvoiceLines", number(1 + static_cast<int>(r.below(40))));
  if (b.room(30) && r.chance(60)) b.leaf("InvoiceDescription", text_up_to(r, std::min(b.left() - 110, 160), kItems));
  if (single_line) write_single_line(b);
  b.slots(1);
  b.open("TaxCategorySummaries");
  write_tax_summary(b, kind);
  while (b.room(100) && r.chance(70)) write_tax_summary(b, kind);
  b.close("TaxCategorySummaries");
  b.open("MonetarySummary");
  b.leaf("PayableRoundingAmount", r.chance(70) ? "0" : amount_text(static_cast<long long>(r.below(9)) - 4, r));
  b.leaf("PaidDepositsAmount", r.chance(80) ? "0" : amount_text(cents(r), r));
  b.close("MonetarySummary");
  b.slots(1);
  if (r.chance(80)) {
    const std::uint32_t first = r.below(7);
    std::string means = kPaymentMeans[first];
    if (first < 6 && r.chance(30)) means = means + " " + kPaymentMeans[first + 1 + r.below(6 - first)];
    b.leaf("PaymentMeans", means);
  }
}

void write_invoice_line(Builder& b) {
  Random& r = b.random();
  b.open("InvoiceLine");
  b.slots(16);
  if (r.chance(50)) {
    b.open("OrderReference");
    b.leaf("OrderID", "OBJ-" + digits(r, 4));
    b.leaf("OrderLineID", number(1 + static_cast<int>(r.below(99))));
    b.close("OrderReference");
  }
  if (r.chance(25)) {
    b.open("DeliveryNoteReference");
    b.leaf("DeliveryNoteID", "DL-" + digits(r, 5));
    if (r.chance(70)) b.leaf("DeliveryNoteLineID", number(1 + static_cast<int>(r.below(99))));
    b.close("DeliveryNoteReference");
  }
  if (r.chance(75)) {
    b.leaf("ItemName", pick(r, kItems));
  } else {
    b.leaf("ItemEANCode", "85" + digits(r, 11));
  }
  if (r.chance(20)) {
    std::string from = date(r);
    std::string to = date(r);
    if (to < from) std::swap(from, to);
    b.leaf("PeriodFromDate", from);
    b.leaf("PeriodToDate", to);
  }
  const int rate = pick(r, kTaxRates);
  const long long price = cents(r) / 10 + 1;
  b.leaf("InvoicedQuantity", quantity_text(r));
  b.leaf("UnitPriceTaxExclusiveAmount", amount_text(price, r));
  b.leaf("UnitPriceTaxAmount", amount_text((price * rate + 500) / 1000, r));
  b.leaf("ClassifiedTaxCategory", tax_rate_text(rate));
  b.close("InvoiceLine");
}

void write_invoice_items(Builder& b) {
  Random& r = b.random();
  b.slots(1);
  b.leaf("InvoiceID", invoice_id(r));
  b.leaf("FirstInvoiceLineID", number(1 + static_cast<int>(r.below(200))));
  b.open("InvoiceLines");
  write_invoice_line(b);
  while (b.room(110)) write_invoice_line(b);
  b.close("InvoiceLines");
}

// Root element name and xsi:type of a kind.
std::pair<std::string_view, std::string_view> root_of(Kind kind) {
  switch (kind) {
    case Kind::kPay: return {"Pay", "Pay"};
    case Kind::kInvoice: return {"Invoice", "Invoice"};
    case Kind::kProformaInvoice: return {"Invoice", "ProformaInvoice"};
    case Kind::kCreditNote: return {"Invoice", "CreditNote"};
    case Kind::kDebitNote: return {"Invoice", "DebitNote"};
    case Kind::kAdvanceInvoice: return {"Invoice", "AdvanceInvoice"};
    case Kind::kInvoiceItems: return {"InvoiceItems", "InvoiceItems"};
  }
  return {"Pay", "Pay"};
}

constexpr std::array<std::pair<Kind, std::string_view>, 7> kKindNames = {{
    {Kind::kPay, "pay"},
    {Kind::kInvoice, "invoice"},
    {Kind::kProformaInvoice, "proforma"},
    {Kind::kCreditNote, "credit"},
    {Kind::kDebitNote, "debit"},
    {Kind::kAdvanceInvoice, "advance"},
    {Kind::kInvoiceItems, "items"},
}};

}  // namespace

std::string_view kind_name(Kind kind) {
  for (const auto& [k, name] : kKindNames)
    if (k == kind) return name;
  return "";
}

std::optional<Kind> kind_from_name(std::string_view name) {
  for (const auto& [k, n] : kKindNames)
    if (n == name) return k;
  return std::nullopt;
}

std::uint64_t Random::next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint32_t Random::below(std::uint32_t n) {
  return static_cast<std::uint32_t>((next() >> 32) * n >> 32);
}

std::string DocumentGenerator::next() {
  const std::uint32_t draw_kind = random_.below(100);
  Kind kind = Kind::kPay;
  if (draw_kind >= 80) {
    kind = Kind::kInvoiceItems;
  } else if (draw_kind >= 60) {
    kind = static_cast<Kind>(static_cast<int>(Kind::kProformaInvoice) + (draw_kind - 60) / 5);
  } else if (draw_kind >= 40) {
    kind = Kind::kInvoice;
  }
  return next(kind);
}

std::string DocumentGenerator::next(Kind kind) {
  int budget = random_.chance(kMinimalPercent)
                   ? 0
                   : 60 + static_cast<int>(random_.below(kLargestBudget - 60));
  for (;;) {
    std::string xml = draw(kind, budget);
    DocumentPtr document;
    int status = xml::document_from_xml(xml, &document);
    if (status == 0 && document == nullptr) status = -2;
    if (status == 0) status = document_validate(document.get());
    if (status != 0) {
      throw std::runtime_error("generated document is not valid: " + error_text() +
                               "\n" + xml);
    }
    code::FieldSequence sequence;
    code::write_document(sequence, document.get());
    const std::size_t length = code::text_length(sequence);
    if (length <= kSequenceLimit) {
      last_sequence_length_ = length;
      return xml;
    }
    budget -= static_cast<int>(length - kSequenceLimit) + 10;
  }
}

std::string DocumentGenerator::draw(Kind kind, int budget) {
  Builder b(random_, budget);
  b.set_share(1, 1);
  const auto [root, type] = root_of(kind);
  std::string& xml = b.xml();
  xml.append("<?xml version=\"1.0\" encoding=\"utf-8\"?><");
  xml.append(root);
  xml.append(" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"");
  xml.append(type);
  xml.append("\" xmlns=\"");
  xml.append(xml::kDocumentNamespace);
  xml.append("\">");
  switch (kind) {
    case Kind::kPay: write_pay(b); break;
    case Kind::kInvoiceItems: write_invoice_items(b); break;
    default: write_invoice(b, kind); break;
  }
  b.close(root);
  return std::move(xml);
}

}  // namespace zarnex::bench
