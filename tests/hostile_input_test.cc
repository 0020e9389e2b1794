// Hostile inputs for the tool and the decoder: empty and binary input, NUL
// bytes, huge and deeply nested XML, entity tricks, over-long and tampered
// codes. Each must end in a clear error line on standard error, nothing on
// standard output, a failing status and no hang; bulk runs go on with the
// next line and end with status 0.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "code/base32hex.h"
#include "code/crc32.h"
#include "code/payload.h"
#include "tests/tool_runner.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::testing {
namespace {

// No case may take longer than this; a run that is killed reports status -1.
constexpr int kTimeoutSeconds = 20;

constexpr char kBase32Error[] = "ERROR_BASE32HEX: Invalid base32hex string.  ";
constexpr char kNoHeader[] = "ERROR_UNKNOWN_DOCUMENT: Header not found.  \n";
constexpr char kNoRoot[] = "ERROR_XML: Getting root element error \n";
constexpr char kNoStartTag[] =
    "ERROR_XML: Getting root element error\n"
    " Start tag expected, '<' not found\n line:1,\n\n";
constexpr char kDecompression[] = "ERROR_COMPRESSION: Decompression error.  \n";

// A payment order of 100 EUR as a typed field-sequence line, and its values.
constexpr char kPaySequence[] =
    "0\t0\tINV-1\t1\t1\t100\tEUR\t20150131\t123\t\t\t\ttest\t1\t"
    "SK3112000000198742637541\tTATRSKBX\t0\t0";
constexpr std::string_view kPayValues = std::string_view(kPaySequence).substr(4);

ToolResult RunBounded(std::vector<std::string> args, std::string input) {
  ToolRun run;
  run.args = std::move(args);
  run.input = std::move(input);
  run.timeout_seconds = kTimeoutSeconds;
  return run_tool(run);
}

// A single-mode failure: the exact error text, nothing on standard output.
void ExpectFailure(const ToolResult& r, int status, const std::string& err) {
  EXPECT_EQ(r.status, status);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, err);
}

// The error of a field-sequence line whose prefix cannot be read; @a shown is
// the line from where reading stopped.
std::string BadPrefix(std::string_view shown) {
  return "bad input format \n " + std::string(shown) +
         " \n\nBad format input dataERROR_BAD_FORMAT: Malformed line prefix: "
         "expected a type digit 0 to 2, a tab, a sub-kind digit 0 to 4 and a "
         "tab.  \n";
}

// The error of XML that libxml2 could not turn into a tree.
std::string NoTree(std::string_view messages) {
  return "ERROR_XML: Getting root element error\n " + std::string(messages) +
         "\n";
}

std::string PayCode() {
  Result code = encode_sequence(kPaySequence);
  EXPECT_TRUE(code) << code.error;
  return code.output;
}

std::string PayXml() {
  Result xml = decode(PayCode());
  EXPECT_TRUE(xml) << xml.error;
  return xml.output;
}

// The example payment order on one line, split where padding may go.
struct SplitXml {
  std::string head;  // up to and including <Payments>
  std::string tail;
  std::string whole() const { return head + tail; }
};

SplitXml ExamplePay() {
  std::string xml = read_source_file("examples/pay-one-off.xml");
  for (char& c : xml)
    if (c == '\n') c = ' ';
  std::size_t at = xml.find("<Payments>") + 10;
  return {xml.substr(0, at), xml.substr(at)};
}

// The code of a header and a field sequence, sealed as the encoder seals it
// (CRC-32, LZMA, length, base32hex); @a crc_flip is XORed into the checksum.
std::string Seal(std::uint8_t byte0, std::uint8_t byte1,
                 std::string_view sequence, std::uint32_t crc_flip = 0) {
  const std::uint32_t crc = code::crc32(sequence) ^ crc_flip;
  std::string payload;
  for (int i = 0; i < 4; ++i)
    payload.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
  payload.append(sequence);
  std::string envelope{static_cast<char>(byte0), static_cast<char>(byte1)};
  EXPECT_EQ(code::compress_payload(payload, code::payload_capacity(payload.size()),
                                   &envelope),
            0);
  std::string text;
  code::base32hex_encode(envelope, &text);
  return text;
}

std::string EnvelopeOf(const std::string& code_text) {
  std::string bytes;
  EXPECT_EQ(code::base32hex_decode(code_text, &bytes), 0);
  return bytes;
}

std::string CodeOf(const std::string& envelope) {
  std::string text;
  code::base32hex_encode(envelope, &text);
  return text;
}

// Deterministic bytes that are never EOT, newline or NUL, starting with a
// byte that cannot begin XML, a code or a field-sequence line.
std::string Garbage(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  bytes[0] = '\x89';
  for (std::size_t i = 1; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    char c = static_cast<char>(seed >> 24);
    if (c == '\x04' || c == '\n' || c == '\0') c = '\x7F';
    bytes[i] = c;
  }
  bytes[size - 1] = 'Z';  // no blank at the end for bulk mode to trim
  return bytes;
}

// A temporary file that is removed when the test ends.
class TempFile {
 public:
  TempFile(const std::string& content, const char* suffix) {
    char name[] = "/tmp/zarnex-hostile-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    base_ = name;
    path_ = base_ + suffix;
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f != nullptr) {
      std::fwrite(content.data(), 1, content.size(), f);
      std::fclose(f);
    }
  }
  ~TempFile() {
    std::remove(path_.c_str());
    std::remove(base_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string base_;
  std::string path_;
};

TEST(HostileInput, EmptyInputAndLoneEot) {
  // An EOT ends the input where it stands, so each of these is an empty
  // input; with the stream kept open the tool must not wait for more.
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } kModes[] = {
      {{"-e"}, 9, kNoRoot},
      {{"-e", "-i"}, 9, kNoRoot},
      {{"-d"}, 8, kNoHeader},
      {{"-s"}, 5, BadPrefix("")},
  };
  for (const char* input : {"", "\x04", "\x04\n"}) {
    for (bool keep_open : {false, true}) {
      // On an open stream the EOT takes effect at the end of its line: the
      // protocol is an EOT and a newline.
      if (keep_open && std::string_view(input) != "\x04\n") continue;
      for (const auto& mode : kModes) {
        SCOPED_TRACE(mode.args[0] + " input of " +
                     std::to_string(std::string_view(input).size()) +
                     " bytes, kept open: " + std::to_string(keep_open));
        ToolRun run;
        run.args = mode.args;
        run.input = input;
        run.keep_stdin_open = keep_open;
        run.timeout_seconds = kTimeoutSeconds;
        ExpectFailure(run_tool(run), mode.status, mode.err);
      }
    }
    for (const char* mode : {"-e", "-d", "-s"}) {
      ToolResult bulk = RunBounded({mode, "-l"}, input);
      EXPECT_EQ(bulk.status, 0) << mode;
      EXPECT_EQ(bulk.out, "") << mode;
      EXPECT_EQ(bulk.err, "") << mode;
    }
  }
}

TEST(HostileInput, BinaryGarbage) {
  const std::string garbage = Garbage(65536, 7);
  ExpectFailure(RunBounded({"-e"}, garbage), 9, kNoStartTag);
  ExpectFailure(RunBounded({"-e", "-i"}, garbage), 9, kNoStartTag);
  ExpectFailure(RunBounded({"-d"}, garbage), 1, std::string(kBase32Error) + "\n");
  // The unreadable line is shown as it came.
  ExpectFailure(RunBounded({"-s"}, garbage), 5, BadPrefix(garbage));

  std::string lines, xml_errors, code_errors, sequence_errors;
  for (std::uint32_t seed = 1; seed <= 8; ++seed) {
    std::string line = Garbage(4096, seed);
    lines += line + "\n";
    xml_errors += kNoStartTag;
    code_errors += std::string(kBase32Error) + "\n";
    sequence_errors += BadPrefix(line);
  }
  const struct {
    const char* mode;
    const std::string& err;
  } kBulk[] = {{"-e", xml_errors}, {"-d", code_errors}, {"-s", sequence_errors}};
  for (const auto& bulk : kBulk) {
    ToolResult r = RunBounded({bulk.mode, "-l"}, lines);
    EXPECT_EQ(r.status, 0) << bulk.mode;
    EXPECT_EQ(r.out, "") << bulk.mode;
    EXPECT_EQ(r.err, bulk.err) << bulk.mode;
  }
}

TEST(HostileInput, NulBytes) {
  const std::string xml = ExamplePay().whole();
  const std::string code = PayCode();
  const std::string nul(1, '\0');

  // libxml2 takes a NUL for the end of the text.
  std::string cut_xml = xml;
  cut_xml.insert(cut_xml.find("FV-2026"), nul);
  const std::string cut_error =
      NoTree("Premature end of data in tag InvoiceID line 1\n line:1,\n");
  ExpectFailure(RunBounded({"-e"}, cut_xml), 9, cut_error);
  // After the root element it ends the document like the end of input.
  ToolResult after_root = RunBounded({"-e"}, xml + nul + "<junk/>");
  EXPECT_EQ(after_root.status, 0);
  EXPECT_EQ(after_root.out, encode_xml(xml).output);
  EXPECT_EQ(after_root.err, "");

  // A NUL is outside the code alphabet wherever it stands.
  std::string code_with_nul = code;
  code_with_nul.insert(code.size() / 2, nul);
  const std::string base32_line = std::string(kBase32Error) + "\n";
  for (const std::string& bad : {code_with_nul, code + nul, nul + code,
                                 std::string(8, '\0')}) {
    ExpectFailure(RunBounded({"-d"}, bad), 1, base32_line);
  }

  // A field-sequence line ends at its first NUL byte.
  ToolResult sequence = RunBounded({"-s"}, kPaySequence + nul + "\tjunk");
  EXPECT_EQ(sequence.status, 0);
  EXPECT_EQ(sequence.out, code);
  EXPECT_EQ(sequence.err, "");
  ExpectFailure(RunBounded({"-s"}, nul + kPaySequence), 5, BadPrefix(""));

  ToolResult xml_lines = RunBounded({"-e", "-l"}, cut_xml + "\n" + xml + "\n");
  EXPECT_EQ(xml_lines.status, 0);
  EXPECT_EQ(xml_lines.out, encode_xml(xml).output + "\n");
  EXPECT_EQ(xml_lines.err, cut_error);
  ToolResult code_lines =
      RunBounded({"-d", "-l"}, code_with_nul + "\n" + code + "\n" + nul + code + "\n");
  EXPECT_EQ(code_lines.status, 0);
  EXPECT_EQ(code_lines.out, PayXml() + "\n");
  EXPECT_EQ(code_lines.err, base32_line + base32_line);
  ToolResult sequence_lines =
      RunBounded({"-s", "-l"}, nul + kPaySequence + "\n" + kPaySequence + nul + "x\n");
  EXPECT_EQ(sequence_lines.status, 0);
  EXPECT_EQ(sequence_lines.out, code + "\n");
  EXPECT_EQ(sequence_lines.err, BadPrefix(""));
}

TEST(HostileInput, TenMegabyteXml) {
  const SplitXml xml = ExamplePay();
  const std::string code = encode_xml(xml.whole()).output;
  ASSERT_FALSE(code.empty());

  // 10 MiB of comments and white space between elements change nothing.
  std::string unit = "<!--" + std::string(1017, 'c') + "-->" + std::string(1024, ' ');
  std::string padded = xml.head;
  padded.reserve(xml.head.size() + 5120 * unit.size() + xml.tail.size());
  for (int i = 0; i < 5120; ++i) padded += unit;
  padded += xml.tail;
  ToolResult single = RunBounded({"-e"}, padded);
  EXPECT_EQ(single.status, 0);
  EXPECT_EQ(single.out, code);
  EXPECT_EQ(single.err, "");
  ToolResult bulk = RunBounded({"-e", "-l"}, padded + "\n" + xml.whole() + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, code + "\n" + code + "\n");
  EXPECT_EQ(bulk.err, "");

  // A single comment beyond libxml2's node limit (10,000,000 bytes) is refused.
  std::string one_comment = xml.head + "<!--";
  one_comment.append(10 << 20, 'c');
  one_comment += "-->" + xml.tail;
  ExpectFailure(RunBounded({"-e"}, one_comment), 9,
                NoTree("Comment too big found line:1,\n"
                       "xmlSAX2Characters: huge text node line:1,\n"
                       "Extra content at the end of the document\n line:1,\n"));
}

TEST(HostileInput, TenMegabyteTextIsRefusedNotCut) {
  // The bank account comes first, so the document is complete without the
  // note; the note's text is "chairs & " and 10 MiB more.
  std::string xml = ExamplePay().whole();
  std::size_t note = xml.find("<PaymentNote>");
  std::size_t note_end = xml.find("</PaymentNote>") + 14;
  xml.erase(note, note_end - note);
  std::string long_note = "<PaymentNote>chairs &amp; ";
  long_note.append(10 << 20, 'n');
  long_note += "</PaymentNote>";
  xml.insert(xml.find("</Payment>"), long_note);
  // libxml2 stops at the text node but hands back the tree built so far;
  // the reader refuses it instead of encoding a cut document.
  ExpectFailure(RunBounded({"-e"}, xml), 9,
                NoTree("xmlSAX2Characters: huge text node line:1,\n"));
}

TEST(HostileInput, DeeplyNestedElements) {
  const SplitXml xml = ExamplePay();
  std::string open, close;
  for (int i = 0; i < 100000; ++i) {
    open += "<a>";
    close += "</a>";
  }
  const std::string too_deep =
      NoTree("Excessive depth in document: 256 use XML_PARSE_HUGE option\n line:1,\n");
  const std::string nested = xml.head + open + close + xml.tail;
  ExpectFailure(RunBounded({"-e"}, nested), 9, too_deep);
  ExpectFailure(RunBounded({"-e"}, xml.head + open), 9, too_deep);
  ExpectFailure(RunBounded({"-d"}, nested), 1, std::string(kBase32Error) + "\n");
  ToolResult bulk = RunBounded({"-e", "-l"}, nested + "\n" + xml.whole() + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, encode_xml(xml.whole()).output + "\n");
  EXPECT_EQ(bulk.err, too_deep);
}

// The example payment order with a document type declaration in front and
// @a note as the text of its payment note, its payment repeated @a copies times.
std::string PayWithEntities(const std::string& declarations,
                            const std::string& note, int copies = 1) {
  std::string xml = ExamplePay().whole();
  std::size_t root = xml.find("<Pay ");
  std::size_t payment = xml.find("<Payment>");
  std::size_t payment_end = xml.find("</Payment>") + 10;
  std::string one = xml.substr(payment, payment_end - payment);
  std::size_t text = one.find("<PaymentNote>") + 13;
  one.replace(text, one.find("</PaymentNote>") - text, note);
  std::string payments;
  for (int i = 0; i < copies; ++i) payments += one;
  xml.replace(payment, payment_end - payment, payments);
  return "<?xml version=\"1.0\"?><!DOCTYPE Pay [" + declarations + "]>" +
         xml.substr(root);
}

TEST(HostileInput, EntityExpansion) {
  // "Billion laughs": nine levels of ten references each.
  std::string laughs = "<!ENTITY a \"" + std::string(40, 'a') + "\">";
  for (char level = 'b'; level <= 'i'; ++level) {
    std::string reference = std::string("&") + static_cast<char>(level - 1) + ";";
    laughs += std::string("<!ENTITY ") + level + " \"";
    for (int i = 0; i < 10; ++i) laughs += reference;
    laughs += "\">";
  }
  const std::string bomb = PayWithEntities(laughs, "&i;");
  std::string loops;
  for (int i = 0; i < 8; ++i) loops += "Detected an entity reference loop\n line:1,\n";
  const std::string bomb_error = NoTree(loops);
  ExpectFailure(RunBounded({"-e"}, bomb), 9, bomb_error);
  ExpectFailure(RunBounded({"-e", "-i"}, bomb), 9, bomb_error);

  // Expansions that libxml2 lets through meet the reader's own limits: the
  // whole document's references (18 notes of 60,000 bytes) ...
  std::string six_thousand = "<!ENTITY s \"" + std::string(6000, 's') + "\">";
  std::string ten_references;
  for (int i = 0; i < 10; ++i) ten_references += "&s;";
  const std::string spread = PayWithEntities(six_thousand, ten_references, 18);
  const std::string spread_error =
      "ERROR_XML: PaymentNote Entity references of the document expand to "
      "more than 1048576 bytes.\n";
  ExpectFailure(RunBounded({"-e"}, spread), 9, spread_error);
  // ... one text's bytes, and one text's parts.
  const std::string too_long =
      "ERROR_XML: PaymentNote Text too long: more than 65536 bytes or 1024 "
      "parts after entity expansion.\n";
  ExpectFailure(RunBounded({"-e"}, PayWithEntities("<!ENTITY l \"" +
                                                std::string(70000, 'l') + "\">",
                                            "&l;")),
                9, too_long);
  std::string many_parts;
  for (int i = 0; i < 1100; ++i) many_parts += "&p;";
  const std::string parts = PayWithEntities("<!ENTITY p \"p\">", many_parts);
  ExpectFailure(RunBounded({"-e"}, parts), 9, too_long);

  ToolResult bulk = RunBounded({"-e", "-l"}, bomb + "\n" + spread + "\n" + parts + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, "");
  EXPECT_EQ(bulk.err, bomb_error + spread_error + too_long);
}

TEST(HostileInput, ExternalEntitiesAreNotRead) {
  const std::string kMarker = "ZARNEX-HOSTILE-MARKER-4711";
  TempFile text(kMarker + "\n", ".txt");
  TempFile dtd("<!ENTITY y \"" + kMarker + "\">", ".dtd");
  std::string xml = ExamplePay().whole();
  const std::size_t root = xml.find("<Pay ");
  const std::string id = "FV-2026-0142";
  const std::size_t id_at = xml.find(id);
  auto with_id = [&](const std::string& prolog, const std::string& reference) {
    std::string doc = xml;
    doc.replace(id_at, id.size(), reference);
    return "<?xml version=\"1.0\"?>" + prolog + doc.substr(root);
  };
  const std::string system_entity = with_id(
      "<!DOCTYPE Pay [<!ENTITY x SYSTEM \"file://" + text.path() + "\">]>", "&x;");
  const std::string external_dtd =
      with_id("<!DOCTYPE Pay SYSTEM \"file://" + dtd.path() + "\">", "&y;");
  const std::string parameter_entity = with_id(
      "<!DOCTYPE Pay [<!ENTITY % p SYSTEM \"file://" + dtd.path() + "\"> %p;]>",
      "&y;");
  std::string in_attribute =
      "<?xml version=\"1.0\"?><!DOCTYPE Pay [<!ENTITY x SYSTEM \"file://" +
      text.path() + "\">]>" + xml.substr(root);
  in_attribute.replace(in_attribute.find("xsi:type=\"Pay\""), 14, "xsi:type=\"&x;\"");

  // Unread, the entity leaves the InvoiceID empty.
  std::string no_id = xml;
  no_id.erase(xml.find("<InvoiceID>"), 11 + id.size() + 12);
  const std::string code_without_id = encode_xml(no_id).output;
  ASSERT_FALSE(code_without_id.empty());
  for (const std::string* doc : {&system_entity, &external_dtd}) {
    ToolResult r = RunBounded({"-e"}, *doc);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, code_without_id);
    EXPECT_EQ(r.err, "");
    ExpectFailure(RunBounded({"-e", "-i"}, *doc), 254,
                  "ERROR_NULL_POINTER: InvoiceID cannot be NULL. \n");
  }
  ExpectFailure(RunBounded({"-e"}, parameter_entity), 9,
                NoTree("Entity 'y' not defined\n line:1,\n"));
  ExpectFailure(RunBounded({"-e"}, in_attribute), 9,
                NoTree("Attribute references external entity 'x'\n line:1,\n"));

  // Whatever the path, the file's text shows nowhere, not even decoded.
  std::string lines = system_entity + "\n" + external_dtd + "\n" +
                      parameter_entity + "\n" + in_attribute + "\n";
  for (const char* id_flag : {"-e", "-i"}) {
    ToolResult bulk = RunBounded({"-e", id_flag, "-l"}, lines);
    EXPECT_EQ(bulk.status, 0);
    EXPECT_EQ(bulk.out.find(kMarker), std::string::npos) << bulk.out;
    EXPECT_EQ(bulk.err.find(kMarker), std::string::npos) << bulk.err;
  }
  ToolResult back = RunBounded({"-d"}, code_without_id);
  EXPECT_EQ(back.status, 0);
  EXPECT_EQ(back.out.find(kMarker), std::string::npos);
  EXPECT_EQ(back.out.find("<InvoiceID>"), std::string::npos);
}

TEST(HostileInput, HundredThousandCharacterCodes) {
  const std::string code = PayCode();
  const std::string all_v(100000, 'V');  // type 15, 65,535 bytes announced
  std::string bad_last(99999, '0');
  bad_last += 'W';
  // The stream stops once the announced bytes are out; what follows is
  // never looked at.
  std::string padded = code;
  padded.resize(100000, '0');
  const std::string base32_line = std::string(kBase32Error) + "\n";

  ExpectFailure(RunBounded({"-d"}, all_v), 3, kDecompression);
  ExpectFailure(RunBounded({"--decode=" + all_v}, ""), 3, kDecompression);
  ExpectFailure(RunBounded({"-d"}, bad_last), 1, base32_line);
  ToolResult long_ok = RunBounded({"-d"}, padded);
  EXPECT_EQ(long_ok.status, 0);
  EXPECT_EQ(long_ok.out, PayXml());
  EXPECT_EQ(long_ok.err, "");
  ExpectFailure(RunBounded({"-e"}, all_v), 9, kNoStartTag);

  ToolResult bulk = RunBounded({"-d", "-l"}, all_v + "\n" + bad_last + "\n" + padded + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, PayXml() + "\n");
  EXPECT_EQ(bulk.err, kDecompression + base32_line);
}

TEST(HostileInput, CodeAnnouncesMorePayloadThanItHolds) {
  const std::string envelope = EnvelopeOf(PayCode());
  const std::string header = envelope.substr(0, 2);
  std::string announced = envelope;
  announced[2] = announced[3] = '\xFF';
  const std::string tiny_stream = header + "\xFF\xFF" + std::string(5, '\0');
  std::string nothing_announced = envelope;
  nothing_announced[2] = nothing_announced[3] = '\0';

  const struct {
    std::string envelope;
    int status;
    std::string error;
  } kCases[] = {
      {announced, 3, kDecompression},
      {tiny_stream, 3, kDecompression},
      {header + "\xFF\xFF" + std::string(4, '\0'), 3, kDecompression},
      {nothing_announced, 2, "ERROR_CHECKSUM: Checksum not found.  \n"},
      {header + "\xFF", 3, "ERROR_COMPRESSION: Invalid compressed data.  \n"},
      {header, 3, "ERROR_COMPRESSION: Invalid compressed data.  \n"},
  };
  std::string lines, errors;
  for (const auto& c : kCases) {
    const std::string code = CodeOf(c.envelope);
    SCOPED_TRACE(code);
    ExpectFailure(RunBounded({"-d"}, code), c.status, c.error);
    lines += code + "\n";
    errors += c.error;
  }
  ToolResult bulk = RunBounded({"-d", "-l"}, lines);
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, "");
  EXPECT_EQ(bulk.err, errors);
}

TEST(HostileInput, FieldSequenceAnnouncesTwoBillionEntries) {
  std::string every_field_huge;  // as many counts as a payload holds
  while (every_field_huge.size() < 65000) every_field_huge += "2000000000\t";
  every_field_huge.pop_back();
  const std::string options_missing =
      "ERROR_INVALID_VALUE: PaymentOptions cannot be NULL. ";
  std::string accounts(kPayValues);
  accounts.replace(accounts.find("\t1\tSK"), 3, "\t2000000000\t");
  const struct {
    std::uint8_t byte0;
    std::string sequence;
    int status;
    std::string error;
  } kCases[] = {
      {0x00, "INV-1\t2000000000", 4, options_missing},
      {0x00, "INV-1\t-2000000000", 4,
       "ERROR_INVALID_VALUE: Payments list cannot be empty. "},
      // Beyond the 32-bit range: not a count.
      {0x00, "INV-1\t99999999999", 4,
       "ERROR_INVALID_VALUE: Payments is a malformed number. "},
      {0x00, accounts, 4, "ERROR_INVALID_VALUE: IBAN is invalid. "},
      {0x00, every_field_huge, 4,
       "ERROR_INVALID_VALUE: PaymentOptions contains invalid values. "},
      {0x10, every_field_huge, 9,
       "ERROR_XML: IssueDate is invalid date format. Day or month is out of "
       "range. "},
      {0x20, "F1\t2\t2000000000", 4,
       "ERROR_INVALID_VALUE: ItemName or the other(s) choice field(s) cannot "
       "be NULL. "},
      {0x20, every_field_huge, 4,
       "ERROR_INVALID_VALUE: ItemEANCode conflicts with another field value. "},
  };
  std::string lines, errors;
  for (const auto& c : kCases) {
    const std::string code = Seal(c.byte0, 0, c.sequence);
    SCOPED_TRACE(c.sequence.substr(0, 40));
    // The tool first, bounded in time; then the library, which must agree.
    ToolResult r = RunBounded({"-d"}, code);
    ASSERT_NE(r.status, -1) << "no answer within the time limit";
    ExpectFailure(r, c.status, c.error + "\n");
    Result direct = decode(code);
    EXPECT_EQ(direct.status, c.status);
    EXPECT_EQ(direct.error, c.error);
    lines += code + "\n";
    errors += c.error + "\n";
  }
  ToolResult bulk = RunBounded({"-d", "-l"}, lines);
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, "");
  EXPECT_EQ(bulk.err, errors);
}

TEST(HostileInput, MegabyteSequenceLine) {
  const std::string mega(1 << 20, 'I');
  const std::string long_id =
      "0\t0\t" + mega + std::string(kPayValues.substr(kPayValues.find('\t')));
  const std::string tabs = "0\t0\t" + std::string(1 << 20, '\t');
  const std::string digits = "0\t0\tINV\t" + std::string(1 << 20, '1');
  const struct {
    const std::string& line;
    int status;
    std::string err;
  } kCases[] = {
      {long_id, 7, "ERROR_SEQUENCE_LIMIT_EXCEEDED: Sequence limit exceeded. \n"},
      {tabs, 4, "ERROR_INVALID_VALUE: Payments list cannot be empty. \n"},
      {digits, 4, "ERROR_INVALID_VALUE: Payments is a malformed number. \n"},
  };
  std::string lines, errors;
  for (const auto& c : kCases) {
    ExpectFailure(RunBounded({"-s"}, c.line), c.status, c.err);
    lines += c.line + "\n";
    errors += c.err;
  }
  ToolResult bulk = RunBounded({"-s", "-l"}, lines + kPaySequence + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, PayCode() + "\n");
  EXPECT_EQ(bulk.err, errors);
  // Read as XML or as a code, the line fails early.
  ExpectFailure(RunBounded({"-e"}, long_id), 9, kNoStartTag);
  ExpectFailure(RunBounded({"-d"}, long_id), 1, std::string(kBase32Error) + "\n");
}

bool InAlphabet(int byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'V');
}

TEST(HostileInput, EveryByteOutsideTheAlphabetAtEveryPosition) {
  const std::string code = PayCode();
  const std::string xml = PayXml();
  int failures = 0;
  int checked = 0;
  for (std::size_t position = 0; position < code.size(); ++position) {
    for (int byte = 0; byte < 256; ++byte) {
      if (InAlphabet(byte)) continue;
      std::string bad = code;
      bad[position] = static_cast<char>(byte);
      Result r = decode(bad);
      ++checked;
      // A last "=" is padding: the character it replaces held only bits
      // that the stream does not need.
      bool padding = byte == '=' && position + 1 == code.size();
      bool as_expected = padding ? r.ok() && r.output == xml
                                 : r.status == 1 && r.error == kBase32Error &&
                                       r.output.empty();
      if (!as_expected && ++failures <= 10) {
        ADD_FAILURE() << "byte " << byte << " at " << position << ": status "
                      << r.status << ", " << r.error;
      }
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(checked, static_cast<int>(code.size()) * (256 - 32));

  // A few through the tool, alone and as lines of one bulk run.
  std::string lines, errors;
  for (std::size_t position : {std::size_t{0}, code.size() / 2, code.size() - 2}) {
    for (char byte : {'\0', ' ', '\r', 'a', 'v', 'W', 'Z', '=', '\x7F', '\xFF'}) {
      std::string bad = code;
      bad[position] = byte;
      if (position == 0 || byte == '\0' || byte == '\xFF') {
        SCOPED_TRACE(bad);
        ExpectFailure(RunBounded({"-d"}, bad), 1, std::string(kBase32Error) + "\n");
      }
      lines += bad + "\n";
      errors += std::string(kBase32Error) + "\n";
    }
  }
  ToolResult bulk = RunBounded({"-d", "-l"}, lines);
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, "");
  EXPECT_EQ(bulk.err, errors);
  ExpectFailure(RunBounded({"--decode=" + code.substr(0, 9) + "w" + code.substr(10)}, ""),
                1, std::string(kBase32Error) + "\n");
}

TEST(HostileInput, TamperedEnvelope) {
  const std::string values(kPayValues);
  const std::string mismatch = "ERROR_CHECKSUM: Checksum mismatch.  ";
  const std::string no_document = "ERROR_NULL_POINTER: Document cannot be null.  ";
  const std::string bad_version = "ERROR_XML: Unsupported document version.  ";
  struct Case {
    std::string code;
    int status;
    std::string error;
  };
  std::vector<Case> cases;
  for (std::uint32_t flip : {1u, 0x80000000u, 0xFFFFFFFFu})
    cases.push_back({Seal(0x00, 0x00, values, flip), 2, mismatch});
  for (int type = 3; type <= 15; ++type) {
    cases.push_back(
        {Seal(static_cast<std::uint8_t>(type << 4), 0x00, values), -2, no_document});
  }
  for (int version = 1; version <= 15; ++version) {
    cases.push_back(
        {Seal(static_cast<std::uint8_t>(version), 0x00, values), 9, bad_version});
  }
  std::string lines, errors;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Result r = decode(c.code);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.output, "");
    lines += c.code + "\n";
    errors += c.error + "\n";
  }
  for (std::size_t i : {std::size_t{0}, std::size_t{3}, std::size_t{15},
                        std::size_t{16}, cases.size() - 1}) {
    SCOPED_TRACE(cases[i].code);
    // A negative code shows as 256 plus the code.
    ExpectFailure(RunBounded({"-d"}, cases[i].code), cases[i].status & 0xFF,
                  cases[i].error + "\n");
  }
  ToolResult bulk = RunBounded({"-d", "-l"}, lines);
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, "");
  EXPECT_EQ(bulk.err, errors);
}

}  // namespace
}  // namespace zarnex::testing
