// The XML schemas (schema/*.xsd) and the document reference
// (docs/documents.md) against what the tool really reads and writes:
// xmllint must accept every example and the decoded XML of generated
// documents of every kind, must refuse broken documents, and every element
// the writer produces and every enumeration word the readers know must be
// declared in the schema and described in the reference.

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "bench/generator.h"
#include "check/grammar.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "model/vocabulary.h"
#include "tests/tool_runner.h"
#include "xml/kinds.h"
#include "xml/xml.h"

namespace zarnex {
namespace {

namespace fs = std::filesystem;
using testing::read_source_file;
using testing::run_shell;
using testing::run_tool;

bool have_xmllint() {
  int status = 0;
  run_shell("command -v xmllint >/dev/null 2>&1", &status);
  return status == 0;
}

// A directory of its own under the system's temporary directory, removed
// with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (fs::temp_directory_path() / "zarnex-schema-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void write_file(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string schema_path(const std::string& kind_schema) {
  return std::string(ZARNEX_SOURCE_DIR) + "/schema/" + kind_schema;
}

struct LintResult {
  int status = 0;
  std::string output;
};

// Validates every *.xml file of @a dir in one xmllint process per few
// thousand files (xargs), not one process per document.
LintResult lint_dir(const fs::path& dir, const std::string& schema) {
  LintResult result;
  result.output = run_shell("cd '" + dir.string() +
                                "' && find . -name '*.xml' -print0 | sort -z | "
                                "xargs -0 xmllint --noout --schema '" +
                                schema_path(schema) + "' 2>&1",
                            &result.status);
  return result;
}

LintResult lint_text(const std::string& xml, const std::string& schema) {
  TempDir dir;
  write_file(dir.path() / "document.xml", xml);
  return lint_dir(dir.path(), schema);
}

std::string replaced(std::string text, const std::string& from,
                     const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << "no " << from << " in the document";
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string schema_for(bench::Kind kind) {
  switch (kind) {
    case bench::Kind::kPay:
      return "pay.xsd";
    case bench::Kind::kInvoiceItems:
      return "invoice-items.xsd";
    default:
      return "invoice.xsd";
  }
}

// ---------------------------------------------------------------------------
// Every example validates.

TEST(SchemaTest, EveryExampleValidates) {
  if (!have_xmllint()) GTEST_SKIP() << "xmllint (libxml2-utils) is missing";
  int examples = 0;
  for (const auto& entry :
       fs::directory_iterator(std::string(ZARNEX_SOURCE_DIR) + "/examples")) {
    if (entry.path().extension() != ".xml") continue;
    const std::string name = entry.path().filename().string();
    const std::string schema = name.starts_with("pay")             ? "pay.xsd"
                               : name.starts_with("invoice-items") ? "invoice-items.xsd"
                                                                   : "invoice.xsd";
    int status = 0;
    const std::string out =
        run_shell("xmllint --noout --schema '" + schema_path(schema) + "' '" +
                      entry.path().string() + "' 2>&1",
                  &status);
    EXPECT_EQ(status, 0) << name << " against " << schema << ":\n" << out;
    ++examples;
  }
  EXPECT_GE(examples, 15);
}

// ---------------------------------------------------------------------------
// The decoded XML of generated documents validates: 10,000 documents over
// every kind and sub-kind, encoded and decoded by the tool in bulk mode.

struct KindCount {
  bench::Kind kind;
  int count;
};

constexpr KindCount kGenerated[] = {
    {bench::Kind::kPay, 3000},           {bench::Kind::kInvoice, 1500},
    {bench::Kind::kProformaInvoice, 1000}, {bench::Kind::kCreditNote, 1000},
    {bench::Kind::kDebitNote, 1000},     {bench::Kind::kAdvanceInvoice, 1000},
    {bench::Kind::kInvoiceItems, 1500}};

// The decoded documents, one line each, made once for the tests below.
const std::map<bench::Kind, std::vector<std::string>>& decoded_documents() {
  static const std::map<bench::Kind, std::vector<std::string>> documents = [] {
    std::map<bench::Kind, std::vector<std::string>> result;
    bench::DocumentGenerator generator(20260611);
    for (const KindCount& entry : kGenerated) {
      std::string input;
      for (int i = 0; i < entry.count; ++i)
        input.append(generator.next(entry.kind)).push_back('\n');
      const auto codes = run_tool({"--encode", "--lines"}, input);
      EXPECT_EQ(codes.err, "");
      const auto xml = run_tool({"--decode", "--lines"}, codes.out);
      EXPECT_EQ(xml.err, "");
      result[entry.kind] = lines_of(xml.out);
    }
    return result;
  }();
  return documents;
}

TEST(SchemaTest, DecodedGeneratedDocumentsValidate) {
  if (!have_xmllint()) GTEST_SKIP() << "xmllint (libxml2-utils) is missing";
  for (const KindCount& entry : kGenerated) {
    const std::vector<std::string>& documents =
        decoded_documents().at(entry.kind);
    ASSERT_EQ(documents.size(), static_cast<std::size_t>(entry.count))
        << bench::kind_name(entry.kind);
    TempDir dir;
    for (std::size_t i = 0; i < documents.size(); ++i)
      write_file(dir.path() / (std::to_string(100000 + i) + ".xml"),
                 documents[i]);
    const LintResult lint = lint_dir(dir.path(), schema_for(entry.kind));
    EXPECT_EQ(lint.status, 0) << bench::kind_name(entry.kind) << ":\n"
                              << lint.output.substr(0, 2000);
    // One "validates" line per document: xmllint looked at every file.
    std::size_t validated = 0;
    for (std::size_t at = lint.output.find(" validates");
         at != std::string::npos; at = lint.output.find(" validates", at + 1))
      ++validated;
    EXPECT_EQ(validated, documents.size()) << bench::kind_name(entry.kind);
  }
}

// ---------------------------------------------------------------------------
// Broken documents are refused, each for the reason it was broken.

struct BrokenCase {
  const char* name;
  const char* example;
  const char* schema;
  const char* from;
  const char* to;
  const char* complaint;  // a part of xmllint's message
};

class BrokenDocumentTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDocumentTest, IsRefused) {
  if (!have_xmllint()) GTEST_SKIP() << "xmllint (libxml2-utils) is missing";
  const BrokenCase& c = GetParam();
  const std::string original = read_source_file(c.example);
  ASSERT_EQ(lint_text(original, c.schema).status, 0) << c.example;
  const std::string broken = replaced(original, c.from, c.to);
  // Still well-formed XML: the schema, not the parser, must refuse it.
  TempDir dir;
  write_file(dir.path() / "broken.xml", broken);
  int well_formed = 0;
  run_shell("xmllint --noout '" + (dir.path() / "broken.xml").string() + "' 2>&1",
            &well_formed);
  ASSERT_EQ(well_formed, 0) << broken;
  const LintResult lint = lint_text(broken, c.schema);
  EXPECT_NE(lint.status, 0) << lint.output;
  EXPECT_NE(lint.output.find(c.complaint), std::string::npos) << lint.output;
}

INSTANTIATE_TEST_SUITE_P(
    SchemaTest, BrokenDocumentTest,
    ::testing::Values(
        // IBAN belongs inside BankAccount, not directly in BankAccounts.
        BrokenCase{"WrongNesting", "examples/pay-one-off.xml", "pay.xsd",
                   "<BankAccount>", "<IBAN>SK0000000000000000000000</IBAN><BankAccount>",
                   "IBAN"},
        BrokenCase{"UnknownElement", "examples/pay-one-off.xml", "pay.xsd",
                   "<CurrencyCode>", "<Colour>blue</Colour><CurrencyCode>",
                   "Colour"},
        BrokenCase{"BadEnumerationWord", "examples/pay-standing-order.xml",
                   "pay.xsd", "<Periodicity>Monthly<",
                   "<Periodicity>monthly<", "Periodicity"},
        BrokenCase{"MalformedDate", "examples/pay-one-off.xml", "pay.xsd",
                   "<PaymentDueDate>2026-12-21<", "<PaymentDueDate>2026-12-1<",
                   "PaymentDueDate"},
        BrokenCase{"SecondElementThatDoesNotRepeat", "examples/pay-one-off.xml",
                   "pay.xsd", "<CurrencyCode>",
                   "<CurrencyCode>EUR</CurrencyCode><CurrencyCode>",
                   "CurrencyCode"},
        BrokenCase{"BadFlagWord", "examples/pay-standing-order.xml", "pay.xsd",
                   "paymentorder standingorder", "paymentorder wiretransfer",
                   "PaymentOptions"},
        BrokenCase{"DayOutOfRange", "examples/pay-standing-order.xml",
                   "pay.xsd", "<Day>15</Day>", "<Day>32</Day>", "Day"},
        BrokenCase{"LowerCaseCurrency", "examples/pay-one-off.xml", "pay.xsd",
                   "<CurrencyCode>EUR<", "<CurrencyCode>eur<", "CurrencyCode"},
        BrokenCase{"UnknownInvoiceSubKind", "examples/credit-note.xml",
                   "invoice.xsd", "xsi:type=\"CreditNote\"",
                   "xsi:type=\"Creditnote\"", "xsi:type"},
        BrokenCase{"BadPaymentMeansWord", "examples/invoice.xml",
                   "invoice.xsd", "<PaymentMeans>moneyTransfer<",
                   "<PaymentMeans>moneytransfer<", "PaymentMeans"},
        BrokenCase{"MissingRequiredElement", "examples/invoice.xml",
                   "invoice.xsd", "<IssueDate>2026-12-07</IssueDate>", "",
                   "IssueDate"},
        BrokenCase{"TaxRateAboveOne", "examples/invoice.xml", "invoice.xsd",
                   "<ClassifiedTaxCategory>0.23<",
                   "<ClassifiedTaxCategory>23<", "ClassifiedTaxCategory"},
        BrokenCase{"DecimalWithComma", "examples/invoice-items.xml",
                   "invoice-items.xsd", "<InvoicedQuantity>",
                   "<InvoicedQuantity>1,",
                   "InvoicedQuantity"},
        BrokenCase{"ElementOfAnotherNamespace", "examples/invoice-items.xml",
                   "invoice-items.xsd", "xmlns=\"urn:zarnex:document:1\"",
                   "xmlns=\"urn:zarnex:document:2\"", "InvoiceItems"}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) {
      return std::string(info.param.name);
    });

// ---------------------------------------------------------------------------
// Every element the tool writes is declared in the schema and described in
// the reference; the elements the readers skip are the ones the reference
// calls computed.

// Documents with every value, record and list present, as the writer
// receives them after decoding (the writer writes whatever is present).
std::unique_ptr<Pay> full_pay() {
  auto pay = new_pay();
  pay->InvoiceID = "1";
  auto payment = std::make_unique<Payment>();
  Payment& p = *payment;
  p.PaymentOptions = 7;
  p.Amount = 1;
  p.CurrencyCode = p.PaymentDueDate = p.VariableSymbol = p.ConstantSymbol =
      p.SpecificSymbol = p.OriginatorsReferenceInformation = p.PaymentNote = "1";
  p.BankAccounts.emplace();
  auto account = std::make_unique<BankAccount>();
  account->IBAN = account->BIC = "1";
  p.BankAccounts->append(std::move(account));
  p.StandingOrderExt = std::make_unique<StandingOrderExt>();
  p.StandingOrderExt->Day = 1;
  p.StandingOrderExt->Month = 1;
  p.StandingOrderExt->Periodicity = "m";
  p.StandingOrderExt->LastDate = "1";
  p.DirectDebitExt = std::make_unique<DirectDebitExt>();
  DirectDebitExt& d = *p.DirectDebitExt;
  d.DirectDebitScheme = d.DirectDebitType = 1;
  d.VariableSymbol = d.SpecificSymbol = d.OriginatorsReferenceInformation =
      d.MandateID = d.CreditorID = d.ContractID = d.ValidTillDate = "1";
  d.MaxAmount = 1;
  pay->Payments.emplace();
  pay->Payments->append(std::move(payment));
  return pay;
}

std::unique_ptr<Invoice> full_invoice() {
  auto invoice = new_invoice();
  Invoice& v = *invoice;
  v.InvoiceID = v.IssueDate = v.TaxPointDate = v.OrderID = v.DeliveryNoteID =
      v.LocalCurrencyCode = v.ForeignCurrencyCode = v.InvoiceDescription = "1";
  v.CurrRate = v.ReferenceCurrRate = 1;
  v.SupplierParty = std::make_unique<SupplierParty>();
  SupplierParty& s = *v.SupplierParty;
  s.PartyName = s.CompanyTaxID = s.CompanyVATID = s.CompanyRegisterID = "1";
  s.PostalAddress = std::make_unique<PostalAddress>();
  PostalAddress& a = *s.PostalAddress;
  a.StreetName = a.BuildingNumber = a.CityName = a.PostalZone = a.State =
      a.Country = "1";
  s.Contact = std::make_unique<Contact>();
  s.Contact->Name = s.Contact->Telephone = s.Contact->EMail = "1";
  v.CustomerParty = std::make_unique<CustomerParty>();
  CustomerParty& c = *v.CustomerParty;
  c.PartyName = c.CompanyTaxID = c.CompanyVATID = c.CompanyRegisterID =
      c.PartyIdentification = "1";
  v.NumberOfInvoiceLines = 1;
  v.SingleInvoiceLine = std::make_unique<SingleInvoiceLine>();
  SingleInvoiceLine& l = *v.SingleInvoiceLine;
  l.OrderLineID = l.DeliveryNoteLineID = l.ItemName = l.ItemEANCode =
      l.PeriodFromDate = l.PeriodToDate = "1";
  l.InvoicedQuantity = l.UnitPriceTaxExclusiveAmount =
      l.UnitPriceTaxInclusiveAmount = l.UnitPriceTaxAmount = 1;
  auto summary = std::make_unique<TaxCategorySummary>();
  TaxCategorySummary& t = *summary;
  t.ClassifiedTaxCategory = t.TaxExclusiveAmount = t.TaxInclusiveAmount =
      t.TaxAmount = t.AlreadyClaimedTaxExclusiveAmount =
          t.AlreadyClaimedTaxInclusiveAmount = t.AlreadyClaimedTaxAmount =
              t.DifferenceTaxExclusiveAmount = t.DifferenceTaxInclusiveAmount =
                  t.DifferenceTaxAmount = 1;
  v.TaxCategorySummaries.emplace();
  v.TaxCategorySummaries->append(std::move(summary));
  v.MonetarySummary = std::make_unique<MonetarySummary>();
  MonetarySummary& m = *v.MonetarySummary;
  m.TaxExclusiveAmount = m.TaxInclusiveAmount = m.TaxAmount =
      m.AlreadyClaimedTaxExclusiveAmount = m.AlreadyClaimedTaxInclusiveAmount =
          m.AlreadyClaimedTaxAmount = m.DifferenceTaxExclusiveAmount =
              m.DifferenceTaxInclusiveAmount = m.DifferenceTaxAmount =
                  m.PayableRoundingAmount = m.PaidDepositsAmount =
                      m.PayableAmount = 1;
  v.PaymentMeans = 1;
  return invoice;
}

std::unique_ptr<InvoiceItems> full_invoice_items() {
  auto items = new_invoice_items();
  items->InvoiceID = items->FirstInvoiceLineID = "1";
  auto line = std::make_unique<InvoiceLine>();
  InvoiceLine& l = *line;
  l.OrderReference = std::make_unique<OrderReference>();
  l.OrderReference->OrderID = l.OrderReference->OrderLineID = "1";
  l.DeliveryNoteReference = std::make_unique<DeliveryNoteReference>();
  l.DeliveryNoteReference->DeliveryNoteID =
      l.DeliveryNoteReference->DeliveryNoteLineID = "1";
  l.ItemName = l.ItemEANCode = l.PeriodFromDate = l.PeriodToDate = "1";
  l.InvoicedQuantity = l.UnitPriceTaxExclusiveAmount =
      l.UnitPriceTaxInclusiveAmount = l.UnitPriceTaxAmount =
          l.LineTaxExclusiveAmount = l.LineTaxInclusiveAmount =
              l.LineTaxAmount = l.ClassifiedTaxCategory = 1;
  items->InvoiceLines.emplace();
  items->InvoiceLines->append(std::move(line));
  return items;
}

// The element paths of an XML text below its root ("Payments/Payment/...").
void collect_paths(const xmlNode* node, const std::string& prefix,
                   std::set<std::string>& paths) {
  for (const xmlNode* child = node->children; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    const std::string path =
        prefix + reinterpret_cast<const char*>(child->name);
    paths.insert(path);
    collect_paths(child, path + "/", paths);
  }
}

std::set<std::string> element_paths(const std::string& xml) {
  std::set<std::string> paths;
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "noname.xml",
                    nullptr, 0),
      xmlFreeDoc);
  EXPECT_NE(doc, nullptr) << xml;
  if (doc) collect_paths(xmlDocGetRootElement(doc.get()), "", paths);
  return paths;
}

std::string written(const Document& document) {
  std::string xml;
  EXPECT_EQ(xml::document_to_xml(document, &xml), 0);
  return xml;
}

struct KindElements {
  const char* schema;
  std::string full_xml;   // every element the writer knows
  std::string read_back;  // full_xml read by the reader and written again
  std::vector<bench::Kind> generated;
};

std::vector<KindElements> kind_elements() {
  std::vector<KindElements> kinds;
  auto add = [&](const char* schema, const Document& document,
                 std::vector<bench::Kind> generated) {
    KindElements k{schema, written(document), "", std::move(generated)};
    DocumentPtr read;
    EXPECT_EQ(xml::document_from_xml(k.full_xml, &read), 0) << k.full_xml;
    if (read) k.read_back = written(*read);
    kinds.push_back(std::move(k));
  };
  add("pay.xsd", *full_pay(), {bench::Kind::kPay});
  add("invoice.xsd", *full_invoice(),
      {bench::Kind::kInvoice, bench::Kind::kProformaInvoice,
       bench::Kind::kCreditNote, bench::Kind::kDebitNote,
       bench::Kind::kAdvanceInvoice});
  add("invoice-items.xsd", *full_invoice_items(), {bench::Kind::kInvoiceItems});
  return kinds;
}

// The reference's row of an element: a table line that starts with the
// element's path in backquotes.
std::string reference_row(const std::string& reference, const std::string& path) {
  const std::string start = "| `" + path + "` |";
  const std::size_t at = reference.find(start);
  if (at == std::string::npos) return "";
  return reference.substr(at, reference.find('\n', at) - at);
}

TEST(SchemaTest, EveryWrittenElementIsDeclaredAndDescribed) {
  const std::string reference = read_source_file("docs/documents.md");
  for (const KindElements& kind : kind_elements()) {
    const std::string schema = read_source_file(std::string("schema/") + kind.schema);
    std::set<std::string> paths = element_paths(kind.full_xml);
    ASSERT_FALSE(paths.empty());
    // Generated documents may hold what a hand-filled one forgets.
    for (bench::Kind generated : kind.generated)
      for (const std::string& line : decoded_documents().at(generated))
        for (const std::string& path : element_paths(line)) paths.insert(path);
    const std::set<std::string> read = element_paths(kind.read_back);
    for (const std::string& path : paths) {
      const std::string name = path.substr(path.rfind('/') + 1);
      EXPECT_NE(schema.find("<xs:element name=\"" + name + "\""),
                std::string::npos)
          << name << " is not declared in " << kind.schema;
      const std::string row = reference_row(reference, path);
      EXPECT_FALSE(row.empty()) << path << " is not described in docs/documents.md";
      // An element that does not survive reading is computed on decoding
      // (records and lists survive as long as something inside them does).
      const bool computed = !read.contains(path);
      EXPECT_EQ(row.find("computed") != std::string::npos, computed)
          << path << (computed ? " is never read, but the reference does not say it is computed"
                               : " is read, but the reference calls it computed");
    }
  }
}

// Walks the element tree that strict reading knows, calling @a visit with
// each element's path below the root ("Payments/Payment/Amount").
template <typename Visit>
void walk_grammar(const check::Element& element, const std::string& path, Visit& visit) {
  for (const check::Element& child : element.children) {
    const std::string child_path =
        path.empty() ? std::string(child.name) : path + "/" + std::string(child.name);
    visit(child, child_path);
    walk_grammar(child, child_path, visit);
  }
}

// Every element and every word that strict reading knows is declared in the
// kind's schema and described in the reference, and the schema declares no
// element the readers do not know.
TEST(SchemaTest, TheReadersElementTablesMatchSchemaAndReference) {
  const std::string reference = read_source_file("docs/documents.md");
  const struct {
    const char* root;
    const char* schema;
  } kinds[] = {{"Pay", "pay.xsd"}, {"Invoice", "invoice.xsd"},
               {"InvoiceItems", "invoice-items.xsd"}};
  for (const auto& kind : kinds) {
    const check::Element* root = check::document_grammar(kind.root);
    ASSERT_NE(root, nullptr) << kind.root;
    const std::string schema = read_source_file(std::string("schema/") + kind.schema);
    std::set<std::string> known{kind.root};
    int elements = 0;
    auto visit = [&](const check::Element& element, const std::string& path) {
      ++elements;
      known.insert(std::string(element.name));
      EXPECT_NE(schema.find("<xs:element name=\"" + std::string(element.name) + "\""),
                std::string::npos)
          << path << " is not declared in " << kind.schema;
      EXPECT_FALSE(reference_row(reference, path).empty())
          << path << " is not described in docs/documents.md";
      for (const char* word : element.words) {
        EXPECT_NE(schema.find("\"" + std::string(word) + "\""), std::string::npos)
            << word << " of " << path << " is not in " << kind.schema;
        EXPECT_NE(reference.find("`" + std::string(word) + "`"), std::string::npos)
            << word << " of " << path << " is not in docs/documents.md";
      }
    };
    walk_grammar(*root, "", visit);
    EXPECT_GT(elements, 10) << kind.root;
    // The other way round: each element the schema declares is known.
    const std::regex declared("<xs:element name=\"([A-Za-z]+)\"");
    for (auto it = std::sregex_iterator(schema.begin(), schema.end(), declared);
         it != std::sregex_iterator(); ++it) {
      EXPECT_TRUE(known.contains((*it)[1].str()))
          << (*it)[1].str() << " is declared in " << kind.schema
          << " but strict reading does not know it";
    }
  }
}

TEST(SchemaTest, FullDocumentsValidateExceptForTheirPlaceholders) {
  // The hand-filled documents carry "1" in every text, which is no valid
  // date, code or IBAN; what matters here is that xmllint complains about
  // values only, never about an element it does not know.
  if (!have_xmllint()) GTEST_SKIP() << "xmllint (libxml2-utils) is missing";
  for (const KindElements& kind : kind_elements()) {
    const LintResult lint = lint_text(kind.full_xml, kind.schema);
    EXPECT_EQ(lint.output.find("This element is not expected"), std::string::npos)
        << kind.schema << ":\n" << lint.output;
    EXPECT_EQ(lint.output.find("No matching global declaration"), std::string::npos)
        << kind.schema << ":\n" << lint.output;
  }
}

// The words of an enumeration type of a schema: the values of the
// xs:enumeration facets inside <xs:simpleType name="type">.
std::set<std::string> schema_words(const std::string& schema,
                                   const std::string& type) {
  std::set<std::string> words;
  const std::size_t start = schema.find("<xs:simpleType name=\"" + type + "\">");
  if (start == std::string::npos) return words;
  const std::size_t end = schema.find("</xs:simpleType>", start);
  const std::string block = schema.substr(start, end - start);
  static const std::regex value("<xs:enumeration value=\"([^\"]*)\"/>");
  for (std::sregex_iterator it(block.begin(), block.end(), value), last;
       it != last; ++it)
    words.insert((*it)[1]);
  return words;
}

TEST(SchemaTest, EnumerationWordsMatchTheReadersTables) {
  struct Table {
    const char* schema;
    const char* type;
    std::span<const char* const> names;
  };
  const Table tables[] = {
      {"pay.xsd", "PaymentOption", kPaymentOptionsNames},
      {"pay.xsd", "MonthName", kMonthNames},
      {"pay.xsd", "Periodicity", kPeriodicityNames},
      {"pay.xsd", "DirectDebitScheme", kDirectDebitSchemeNames},
      {"pay.xsd", "DirectDebitType", kDirectDebitTypeNames},
      {"invoice.xsd", "PaymentMean", kPaymentMeansNames}};
  const std::string reference = read_source_file("docs/documents.md");
  for (const Table& table : tables) {
    const std::string schema =
        read_source_file(std::string("schema/") + table.schema);
    const std::set<std::string> expected(table.names.begin(), table.names.end());
    EXPECT_EQ(schema_words(schema, table.type), expected)
        << table.type << " in " << table.schema;
    for (const char* name : table.names)
      EXPECT_NE(reference.find(std::string("`") + name + "`"), std::string::npos)
          << name << " (" << table.type << ") is not in docs/documents.md";
  }
}

TEST(SchemaTest, InvoiceSubKindsAreTypesDerivedFromInvoice) {
  const std::string schema = read_source_file("schema/invoice.xsd");
  const std::string reference = read_source_file("docs/documents.md");
  for (const char* type : kInvoiceTypeNames) {
    EXPECT_NE(schema.find(std::string("<xs:complexType name=\"") + type + "\">"),
              std::string::npos)
        << type;
    EXPECT_NE(reference.find(std::string("`") + type + "`"), std::string::npos)
        << type;
  }
}

}  // namespace
}  // namespace zarnex
