#include "xml/xml_reader.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "error/error.h"
#include "model/pay.h"
#include "xml/xml.h"
#include "xml/xml_test_util.h"

namespace zarnex::xml {
namespace {

using testing::ParsedXml;

class XmlReaderTest : public testing::XmlTest {};

// An element <E> holding @a text inside a root <r>.
std::string Fragment(std::string_view text) {
  return "<r><E>" + std::string(text) + "</E></r>";
}

constexpr const char* kOptions[] = {"paymentorder", "standingorder",
                                    "directdebit"};

TEST_F(XmlReaderTest, MalformedXmlListsEachParserMessageWithItsLine) {
  EXPECT_EQ(ReadError("<Pay>\n<A>\n</Pay>"),
            "ERROR_XML: Getting root element error\n"
            " Opening and ending tag mismatch: A line 2 and Pay\n"
            " line:3,\n"
            "Premature end of data in tag Pay line 1\n"
            " line:3,\n");
  // Showing the text leaves the owned detail in place.
  EXPECT_EQ(error_text(),
            "ERROR_XML: Getting root element error\n"
            " Opening and ending tag mismatch: A line 2 and Pay\n"
            " line:3,\n"
            "Premature end of data in tag Pay line 1\n"
            " line:3,\n");

  EXPECT_EQ(ReadError("<?xml version=\"1.0\"?>\n<Pay>&nbsp;</Pay>"),
            "ERROR_XML: Getting root element error\n"
            " Entity 'nbsp' not defined\n line:2,\n");
}

TEST_F(XmlReaderTest, EachCallReportsOnlyItsOwnMessages) {
  ReadError("<Pay>\n<A>\n</Pay>");
  EXPECT_EQ(ReadError("<Pay></Bay>"),
            "ERROR_XML: Getting root element error\n"
            " Opening and ending tag mismatch: Pay line 1 and Bay\n line:1,\n");
  // A parse that produced a tree leaves nothing for the next failure.
  Read("<?xml version=\"1.0\"?><Pay xmlns=\"not a uri\"/>");
  EXPECT_EQ(ReadError(""), "ERROR_XML: Getting root element error ");
}

TEST_F(XmlReaderTest, EmptyOrMissingText) {
  EXPECT_EQ(ReadError(""), "ERROR_XML: Getting root element error ");
  EXPECT_EQ(ReadError(std::string_view(), -2),
            "ERROR_NULL_POINTER: XML cannot be NULL. ");
}

TEST_F(XmlReaderTest, GenericMessagesAreFormattedAndShownWithLineZero) {
  {
    ErrorHandlerScope handlers(*libxml2());
    clear_parse_log();
    xmlGenericError(xmlGenericErrorContext, "%s failed at %d\n", "step", 7);
    xmlGenericError(xmlGenericErrorContext, "%s", "second");
  }
  EXPECT_EQ(join_parse_log(),
            std::optional<std::string>("step failed at 7\n line:0,\n"
                                       "second line:0,\n"));
  EXPECT_EQ(join_parse_log(), std::nullopt);
}

// A program that uses libxml2 itself keeps its handlers, their contexts and
// its last error across every reading, successful or failing, on each thread.
TEST_F(XmlReaderTest, TheCallersLibxml2StateIsPutBack) {
  // The test binary links libxml2 and the reader loads it by name: one
  // library, so its settings are the ones this test sets.
  ASSERT_EQ(libxml2()->__xmlGenericError(), __xmlGenericError());
  ASSERT_EQ(libxml2()->__xmlStructuredErrorContext(), __xmlStructuredErrorContext());
  struct Seen {
    static void Generic(void* context, const char*, ...) {
      ++static_cast<Seen*>(context)->calls;
    }
    static void Structured(void* context, xmlErrorPtr) {
      ++static_cast<Seen*>(context)->calls;
    }
    int calls = 0;
  };
  const char* const kTexts[] = {
      "<Pay/>",                                          // a document
      "<pay/>",                                          // no document
      "<Pay><Payments><Payment><Amount>x</Amount></Payment></Payments></Pay>",
      "<Pay><Payments>",                                 // not well-formed
      "",
  };
  auto session = [&kTexts](int* failures) {
    Seen generic, structured;
    xmlSetGenericErrorFunc(&generic, Seen::Generic);
    xmlSetStructuredErrorFunc(&structured, Seen::Structured);
    xmlResetLastError();
    for (const char* text : kTexts) {
      DocumentPtr document;
      document_from_xml(text, &document);
      if (xmlGenericError != Seen::Generic || xmlGenericErrorContext != &generic ||
          xmlStructuredError != Seen::Structured ||
          xmlStructuredErrorContext != &structured || xmlGetLastError() != nullptr)
        ++*failures;
    }
    if (generic.calls != 0 || structured.calls != 0) ++*failures;
    // The caller's own errors still reach its handler, and stay its last.
    if (xmlReadMemory("<a></b>", 7, "own.xml", nullptr, 0) != nullptr) ++*failures;
    if (structured.calls == 0 || xmlGetLastError() == nullptr) ++*failures;
    const int code = xmlGetLastError() ? xmlGetLastError()->code : 0;
    DocumentPtr document;
    document_from_xml("<Pay></Bay>", &document);
    if (xmlGetLastError() == nullptr || xmlGetLastError()->code != code) ++*failures;
    // A null context and libxml2's defaults come back as they were.
    xmlSetGenericErrorFunc(nullptr, nullptr);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    xmlResetLastError();
    const xmlGenericErrorFunc default_generic = xmlGenericError;
    document_from_xml("<Pay><Payments>", &document);
    if (xmlGenericError != default_generic || xmlGenericErrorContext != nullptr ||
        xmlStructuredError != nullptr || xmlStructuredErrorContext != nullptr ||
        xmlGetLastError() != nullptr)
      ++*failures;
  };
  int failures = 0;
  session(&failures);
  int other_failures = 0;
  std::thread other(session, &other_failures);
  other.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(other_failures, 0);
}

TEST_F(XmlReaderTest, UnknownRootGivesNoDocumentAndNoError) {
  for (const char* text :
       {"<pay/>", "<PAY/>", "<CreditNote/>", "<Invoices/>", "<Payments/>"}) {
    DocumentPtr document;
    EXPECT_EQ(document_from_xml(text, &document), 0) << text;
    EXPECT_EQ(document, nullptr) << text;
    EXPECT_EQ(error_code(), 0) << text;
  }
}

TEST_F(XmlReaderTest, RootIsMatchedByLocalName) {
  DocumentPtr document =
      Read(R"(<z:Invoice xmlns:z="urn:x"><z:InvoiceID>F1</z:InvoiceID>)"
           "</z:Invoice>");
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->type(), DocumentType::kInvoice);
  EXPECT_EQ(document->InvoiceID, "F1");
}

TEST_F(XmlReaderTest, TypeAttributeMustNameTheRootsKind) {
  const char* kRejected[] = {
      (R"(<Pay xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")"
       R"( xsi:type="Invoice"/>)"),
      R"(<Pay type="pay"/>)",
      R"(<Pay type=""/>)",
      R"(<Invoice type="Creditnote"/>)",
      R"(<Invoice type="InvoiceItems"/>)",
      R"(<InvoiceItems type="Invoice"/>)",
  };
  for (const char* text : kRejected) {
    EXPECT_EQ(ReadError(text),
              "ERROR_XML: Attribute 'type' in root element has invalid value. ")
        << text;
  }
  // Any namespace, or none, is accepted for the attribute.
  EXPECT_NE(Read(R"(<Pay type="Pay"/>)"), nullptr);
  EXPECT_NE(Read(R"(<Pay xmlns:q="urn:q" q:type="Pay"/>)"), nullptr);
  DocumentPtr items = Read(R"(<InvoiceItems/>)");
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->header, (DocumentHeader{0x20, 0x00}));
}

TEST_F(XmlReaderTest, IntegersMustBeWhollyBaseTenAndIn32Bits) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;  // nullopt: refused
  };
  const Case kCases[] = {
      {"+7", 7},
      {" \t\n7", 7},  // leading white space is accepted
      {"-2147483648", INT32_MIN},
      {"2147483647", INT32_MAX},
      {"7 ", std::nullopt},  // nothing may follow the digits
      {"0x10", std::nullopt},
      {"3.0", std::nullopt},
      {"1e3", std::nullopt},
      {"twelve", std::nullopt},
      {"2147483648", std::nullopt},  // beyond the 32-bit range
      {"99999999999", std::nullopt},
      {"-99999999999", std::nullopt},
  };
  for (const Case& c : kCases) {
    reset_error();
    ParsedXml xml(Fragment(c.text));
    IntValue value;
    int status = xml_read_int(xml.root, "E", value);
    if (c.value) {
      EXPECT_EQ(status, 0) << c.text;
      EXPECT_EQ(value, c.value) << c.text;
    } else {
      EXPECT_EQ(status, 9) << c.text;
      EXPECT_EQ(value, std::nullopt) << c.text;
      EXPECT_EQ(error_text(), "ERROR_XML: E Invalid integer format.") << c.text;
    }
  }
}

TEST_F(XmlReaderTest, DecimalsMustBeWhollyFiniteNumbersWithADot) {
  struct Case {
    const char* text;
    std::optional<double> value;  // nullopt: refused
  };
  const Case kCases[] = {
      {" 12.5", 12.5},  // leading white space is accepted
      {"-0.5", -0.5},
      {"100", 100.0},
      {"1e-3", 0.001},
      {"12.5 ", std::nullopt},
      {"12,5", std::nullopt},  // a comma is no decimal mark
      {"1.2.3", std::nullopt},
      {"nan", std::nullopt},
      {"NaN", std::nullopt},
      {"inf", std::nullopt},
      {"-infinity", std::nullopt},
      {"1e999", std::nullopt},  // overflows to infinity
  };
  for (const Case& c : kCases) {
    reset_error();
    ParsedXml xml(Fragment(c.text));
    DecimalValue value;
    int status = xml_read_decimal(xml.root, "E", value);
    if (c.value) {
      EXPECT_EQ(status, 0) << c.text;
      EXPECT_EQ(value, c.value) << c.text;
    } else {
      EXPECT_EQ(status, 9) << c.text;
      EXPECT_EQ(value, std::nullopt) << c.text;
      EXPECT_EQ(error_text(),
                "ERROR_XML: E Invalid decimal format. Use dot '.' as a decimal "
                "mark.")
          << c.text;
    }
  }
}

TEST_F(XmlReaderTest, MissingOrEmptyElementLeavesTheTargetUntouched) {
  for (const char* text : {"<r/>", "<r><E/></r>", "<r><E></E></r>",
                           "<r><E><!-- note --></E></r>", "<r><e>1</e></r>"}) {
    ParsedXml xml(text);
    IntValue number = 5;
    DecimalValue amount = 2.5;
    StringValue note = "kept";
    IntValue flags = 3;
    EXPECT_EQ(xml_read_int(xml.root, "E", number), 0) << text;
    EXPECT_EQ(xml_read_decimal(xml.root, "E", amount), 0) << text;
    EXPECT_EQ(xml_read_string(xml.root, "E", note), 0) << text;
    EXPECT_EQ(xml_read_flags(xml.root, "E", flags, kOptions), 0) << text;
    EXPECT_EQ(number, 5) << text;
    EXPECT_EQ(amount, 2.5) << text;
    EXPECT_EQ(note, "kept") << text;
    EXPECT_EQ(flags, 3) << text;
  }
}

TEST_F(XmlReaderTest, TextKeepsBlanksAndReplacesReferences) {
  StringValue text;
  ParsedXml note(Fragment("  a &amp; b "));
  ASSERT_EQ(xml_read_string(note.root, "E", text), 0);
  EXPECT_EQ(text, "  a & b ");

  ParsedXml mixed(Fragment("&lt;&#x41;&#66;<![CDATA[<c&>]]>&gt;"));
  ASSERT_EQ(xml_read_string(mixed.root, "E", text), 0);
  EXPECT_EQ(text, "<AB<c&>>");

  ParsedXml entity(R"(<!DOCTYPE r [<!ENTITY co "Zarnex &amp; Co">]>)"
                   "<r><E>[&co;]</E></r>");
  ASSERT_EQ(xml_read_string(entity.root, "E", text), 0);
  EXPECT_EQ(text, "[Zarnex & Co]");
}

TEST_F(XmlReaderTest, FirstChildOfANameWinsAndOtherNodesAreIgnored) {
  ParsedXml xml(
      "<r><!--E--><?E 9?><Other>1</Other><E>2</E><E>3</E><e>4</e></r>");
  IntValue value;
  ASSERT_EQ(xml_read_int(xml.root, "E", value), 0);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(xml_find_child(xml.root, "Missing"), nullptr);
  EXPECT_EQ(xml_find_child(nullptr, "E"), nullptr);
}

TEST_F(XmlReaderTest, EnumAndCodeMatchWholeNamesExactly) {
  constexpr const char* kNames[] = {"Daily", "Weekly", "Biweekly"};
  constexpr const char* kCodes[] = {"d", "w", "b"};
  IntValue index;
  StringValue code = "x";
  ParsedXml weekly(Fragment("Weekly"));
  ASSERT_EQ(xml_read_enum(weekly.root, "E", index, kNames), 0);
  EXPECT_EQ(index, 1);
  ASSERT_EQ(xml_read_code(weekly.root, "E", code, kNames, kCodes), 0);
  EXPECT_EQ(code, "w");

  for (const char* text : {"weekly", "Weekly ", " Weekly", "Week", "WEEKLY"}) {
    reset_error();
    ParsedXml xml(Fragment(text));
    EXPECT_EQ(xml_read_enum(xml.root, "E", index, kNames), 9) << text;
    EXPECT_EQ(error_text(), "ERROR_XML: E Invalid enum value.") << text;
    EXPECT_EQ(xml_read_code(xml.root, "E", code, kNames, kCodes), 9) << text;
    EXPECT_EQ(error_text(), "ERROR_XML: E Invalid enum value.") << text;
  }
  EXPECT_EQ(index, 1);
  EXPECT_EQ(code, "w");
}

TEST_F(XmlReaderTest, FlagWordsAreSplitAtSpacesOnly) {
  struct Case {
    const char* text;
    std::int32_t bits;
  };
  const Case kCases[] = {
      {"paymentorder  directdebit", 5},
      {"  standingorder paymentorder ", 3},
      {"paymentorder unknown", 1},
      {"Paymentorder", 0},  // case matters
      {" ", 0},             // present, and 0
      {"paymentorder\ndirectdebit", 0},  // one word, no name
      {"paymentorder\tdirectdebit", 0},
  };
  for (const Case& c : kCases) {
    ParsedXml xml(Fragment(c.text));
    IntValue bits;
    ASSERT_EQ(xml_read_flags(xml.root, "E", bits, kOptions), 0) << c.text;
    EXPECT_EQ(bits, c.bits) << c.text;
  }
  for (const char* text :
       {"paymentorder paymentorder", "directdebit standingorder directdebit"}) {
    reset_error();
    ParsedXml xml(Fragment(text));
    IntValue bits;
    EXPECT_EQ(xml_read_flags(xml.root, "E", bits, kOptions), 9) << text;
    EXPECT_EQ(bits, std::nullopt) << text;
    EXPECT_EQ(error_text(), "ERROR_XML: E Contains duplicate value.") << text;
  }
}

struct Item {
  IntValue value;
};

int ReadItem(const xmlNode* node, Item& item) {
  return xml_read_int(node, "V", item.value);
}

TEST_F(XmlReaderTest, ListsHoldTheNamedItemsInDocumentOrder) {
  ListValue<Item> list;
  ParsedXml missing("<r><Item><V>1</V></Item></r>");
  ASSERT_EQ(xml_read_list(missing.root, "L", "Item", list, ReadItem), 0);
  EXPECT_FALSE(list.has_value());

  ParsedXml empty("<r><L/></r>");
  ASSERT_EQ(xml_read_list(empty.root, "L", "Item", list, ReadItem), 0);
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->count(), 0u);

  ParsedXml others("<r><L><Note/>text<item><V>1</V></item></L></r>");
  ASSERT_EQ(xml_read_list(others.root, "L", "Item", list, ReadItem), 0);
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->count(), 0u);

  ParsedXml three(
      "<r><L>\n <Item><V>1</V></Item><Note/><Item/>\n"
      " <Item><V>3</V></Item></L><L><Item/></L></r>");
  ASSERT_EQ(xml_read_list(three.root, "L", "Item", list, ReadItem), 0);
  ASSERT_EQ(list->count(), 3u);
  EXPECT_EQ(list->get(0)->value, 1);
  EXPECT_EQ(list->get(1)->value, std::nullopt);
  EXPECT_EQ(list->get(2)->value, 3);
}

TEST_F(XmlReaderTest, ListStopsAtTheFirstFailingItem) {
  ListValue<Item> list;
  ParsedXml xml(
      "<r><L><Item><V>1</V></Item><Item><V>x</V></Item>"
      "<Item><V>y1</V></Item></L></r>");
  EXPECT_EQ(xml_read_list(xml.root, "L", "Item", list, ReadItem), 9);
  EXPECT_EQ(error_text(), "ERROR_XML: V Invalid integer format.");
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->count(), 1u);
}

// Nested internal entities, each ten times the one before ("billion laughs").
std::string EntityBomb(int levels) {
  std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE Pay [\n"
                     "<!ENTITY l0 \"laugh\">\n";
  for (int i = 1; i <= levels; ++i) {
    text += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) text += "&l" + std::to_string(i - 1) + ";";
    text += "\">\n";
  }
  return text + "]>\n<Pay><InvoiceID>&l" + std::to_string(levels) +
         ";</InvoiceID></Pay>";
}

// An internal entity of @a size bytes, referenced @a references times in
// the PaymentNote of each of @a payments payments.
std::string WideEntity(std::size_t size, int references, int payments) {
  std::string text = "<!DOCTYPE Pay [<!ENTITY big \"" +
                     std::string(size, 'x') + "\">]><Pay><Payments>";
  std::string note = "<Payment><PaymentNote>";
  for (int i = 0; i < references; ++i) note += "&big;";
  note += "</PaymentNote></Payment>";
  for (int i = 0; i < payments; ++i) text += note;
  return text + "</Payments></Pay>";
}

TEST_F(XmlReaderTest, EntityBombFailsFastAsXmlError) {
  const auto start = std::chrono::steady_clock::now();
  std::string text = ReadError(EntityBomb(9));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(text.rfind("ERROR_XML: Getting root element error\n "
                       "Detected an entity reference loop\n line:1,\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("Detected an entity reference loop\n line:14,\n"),
            std::string::npos)
      << text;
}

TEST_F(XmlReaderTest, ExpandedTextIsBoundedPerElement) {
  // 999 bytes 66 times is past 64 KiB; the parser itself lets it through.
  EXPECT_EQ(ReadError(WideEntity(999, 66, 1)),
            "ERROR_XML: PaymentNote Text too long: more than 65536 bytes or "
            "1024 parts after entity expansion.");
  EXPECT_NE(Read(WideEntity(999, 65, 1)), nullptr);
  // Many small pieces are refused as well, since each costs a copy.
  EXPECT_EQ(ReadError(WideEntity(1, 1025, 1)),
            "ERROR_XML: PaymentNote Text too long: more than 65536 bytes or "
            "1024 parts after entity expansion.");
  // Literal text counts too.
  EXPECT_EQ(ReadError("<Pay><InvoiceID>" + std::string(65537, 'a') +
                      "</InvoiceID></Pay>"),
            "ERROR_XML: InvoiceID Text too long: more than 65536 bytes or "
            "1024 parts after entity expansion.");
  DocumentPtr largest = Read("<Pay><InvoiceID>" + std::string(65536, 'a') +
                             "</InvoiceID></Pay>");
  ASSERT_NE(largest, nullptr);
  EXPECT_EQ(largest->InvoiceID->size(), 65536u);
}

TEST_F(XmlReaderTest, ExpandedTextIsBoundedPerDocument) {
  // 17 notes of 59 940 bytes fit into 1 MiB, the 18th does not.
  DocumentPtr fits = Read(WideEntity(999, 60, 17));
  ASSERT_NE(fits, nullptr);
  const auto& pay = static_cast<const Pay&>(*fits);
  ASSERT_EQ(count(pay.Payments), 17u);
  EXPECT_EQ(pay.Payments->get(16)->PaymentNote->size(), 59940u);
  EXPECT_EQ(ReadError(WideEntity(999, 60, 18)),
            "ERROR_XML: PaymentNote Entity references of the document expand "
            "to more than 1048576 bytes.");
  // The budget is the document's own: the next document starts afresh.
  EXPECT_NE(Read(WideEntity(999, 60, 17)), nullptr);
}

// A file that exists only while the test runs.
class ScopedFile {
 public:
  ScopedFile(const std::string& name, const std::string& content)
      : path_(std::filesystem::temp_directory_path() / name) {
    std::ofstream(path_) << content;
  }
  ~ScopedFile() { std::filesystem::remove(path_); }
  std::string uri() const { return "file://" + path_.string(); }

 private:
  std::filesystem::path path_;
};

TEST_F(XmlReaderTest, ExternalEntitiesAreNeverLoaded) {
  const std::string kSecret = "ZARNEX-SECRET-4b1d";
  ScopedFile file("zarnex_xml_reader_test_secret.txt", kSecret);
  const std::string doctype = "<!DOCTYPE Pay [<!ENTITY x SYSTEM \"" +
                              file.uri() + "\"><!ENTITY % p SYSTEM \"" +
                              file.uri() + "\">%p;]>";

  DocumentPtr document = Read(
      doctype + "<Pay><InvoiceID>a&x;b</InvoiceID><Payments><Payment>"
                "<PaymentNote>&x;</PaymentNote></Payment></Payments></Pay>");
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->InvoiceID, "ab");
  const auto& pay = static_cast<const Pay&>(*document);
  ASSERT_EQ(count(pay.Payments), 1u);
  EXPECT_EQ(pay.Payments->get(0)->PaymentNote, std::nullopt);

  // Neither an element error nor a parse error shows the file.
  std::string text = ReadError(
      doctype + "<Pay><Payments><Payment><Amount>&x;a</Amount></Payment>"
                "</Payments></Pay>");
  EXPECT_EQ(text,
            "ERROR_XML: Amount Invalid decimal format. Use dot '.' as a "
            "decimal mark.");
  text = ReadError(doctype + "<Pay>&x;<Pay>");
  EXPECT_EQ(text.find(kSecret), std::string::npos) << text;
  EXPECT_EQ(text.rfind("ERROR_XML: Getting root element error\n", 0), 0u);
}

// A TCP listener on the loopback address that counts the connections made
// to it and closes each at once, so that a client never waits for an answer.
class LoopbackListener {
 public:
  LoopbackListener() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 ||
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd_, 8) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ntohs(address.sin_port);
    server_ = std::thread([this] { Serve(); });
  }
  ~LoopbackListener() {
    stop_ = true;
    if (server_.joinable()) server_.join();
    if (fd_ >= 0) close(fd_);
  }
  int port() const { return port_; }
  int connections() const { return connections_; }

 private:
  void Serve() {
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 10) <= 0) continue;
      int client = accept(fd_, nullptr, nullptr);
      if (client < 0) continue;
      ++connections_;
      close(client);
    }
  }

  int fd_;
  int port_ = 0;
  std::atomic<bool> stop_ = false;
  std::atomic<int> connections_ = 0;
  std::thread server_;
};

TEST_F(XmlReaderTest, NoNetworkAccessIsAttempted) {
  LoopbackListener listener;
  ASSERT_NE(listener.port(), 0);
  const std::string base =
      "http://127.0.0.1:" + std::to_string(listener.port()) + "/";
  DocumentPtr document = Read(
      "<!DOCTYPE Pay SYSTEM \"" + base + "pay.dtd\" [<!ENTITY x SYSTEM \"" +
      base + "x\"><!ENTITY % p SYSTEM \"" + base +
      "p\">%p;]><Pay xmlns:xi=\"http://www.w3.org/2001/XInclude\">"
      "<InvoiceID>a&x;</InvoiceID><xi:include href=\"" +
      base + "i.xml\"/></Pay>");
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->InvoiceID, "a");
  // A client that had connected would have waited for the listener to
  // accept and close, so the count is final once the parse is over.
  EXPECT_EQ(listener.connections(), 0);
}

}  // namespace
}  // namespace zarnex::xml
