// Errors in parts through the public C++ and C interfaces: one failure of
// every error code the library raises, with its name, subject and text; the
// validate-only calls.
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"
#include "zarnex/zarnex.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::testing {
namespace {


// A code of @a xml with one character changed so that decoding fails with
// @a wanted (the first position, from the end, that does).
std::string damaged_code(const std::string& xml, Error wanted) {
  const std::string code = encode_xml(xml).output;
  for (std::size_t i = code.size(); i-- > 8;) {
    std::string changed = code;
    changed[i] = changed[i] == '0' ? '1' : '0';
    if (decode(changed).code() == wanted) return changed;
  }
  return {};
}

struct Failure {
  const char* what;
  Result result;
  int status;
  const char* name;
  const char* subject;
};

TEST(StructuredErrors, EveryRaisedCodeHasItsNameAndSubject) {
  const std::string pay = read_source_file("examples/pay-one-off.xml");
  std::string no_currency = pay;
  no_currency.erase(no_currency.find("<CurrencyCode>"),
                    no_currency.find("</CurrencyCode>") + 15 -
                        no_currency.find("<CurrencyCode>"));
  std::string too_long = read_source_file("examples/invoice-items-full.xml");
  too_long.replace(too_long.find("30.5 cm"), 7, "30.55 cm");
  const std::string checksum = damaged_code(pay, Error::kChecksum);
  const std::string compression = damaged_code(pay, Error::kCompression);
  ASSERT_FALSE(checksum.empty());
  ASSERT_FALSE(compression.empty());

  const Failure failures[] = {
      {"unknown root", encode_xml("<pay/>"), -2, "ERROR_NULL_POINTER",
       "Document cannot be null. "},
      {"no InvoiceID", encode_xml(read_source_file("examples/pay-standing-order.xml"), true),
       -2, "ERROR_NULL_POINTER", "InvoiceID"},
      {"lower case", decode("00ab"), 1, "ERROR_BASE32HEX", "Invalid base32hex string. "},
      {"checksum", decode(checksum), 2, "ERROR_CHECKSUM", "Checksum mismatch. "},
      {"compression", decode(compression), 3, "ERROR_COMPRESSION", nullptr},
      {"no currency", encode_xml(no_currency), 4, "ERROR_INVALID_VALUE",
       "CurrencyCode"},
      {"prefix", encode_sequence("9\t0\tX"), 5, "ERROR_BAD_FORMAT", nullptr},
      {"too long", encode_xml(too_long), 7, "ERROR_SEQUENCE_LIMIT_EXCEEDED",
       "Sequence limit exceeded."},
      {"short code", decode("ABC"), 8, "ERROR_UNKNOWN_DOCUMENT", "Header not found. "},
      {"broken XML", encode_xml("<Pay>"), 9, "ERROR_XML", nullptr},
      {"QR", render_qr("not a code"), 11, "ERROR_QR", nullptr},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.what);
    EXPECT_EQ(f.result.status, f.status);
    EXPECT_EQ(static_cast<int>(f.result.code()), f.status);
    EXPECT_EQ(f.result.error_name, f.name);
    EXPECT_EQ(std::string(error_name(f.status)), f.name);
    EXPECT_TRUE(f.result.output.empty());
    // The text begins with the name, and holds the subject.
    EXPECT_EQ(f.result.error.compare(0, f.result.error_name.size(), f.name), 0)
        << f.result.error;
    EXPECT_FALSE(f.result.subject.empty());
    EXPECT_NE(f.result.error.find(f.result.subject), std::string::npos)
        << f.result.error;
    if (f.subject != nullptr) {
      EXPECT_EQ(f.result.subject, f.subject);
    }
  }
  EXPECT_EQ(std::string(error_name(0)), "");
  EXPECT_EQ(std::string(error_name(12)), "ERROR_STREAM");
  EXPECT_EQ(std::string(error_name(13)), "ERROR_JSON");
  EXPECT_EQ(std::string(error_name(14)), "ZARNEX_ERROR_UNKNOWN");
  EXPECT_EQ(std::string(error_name(-4)), "ZARNEX_ERROR_UNKNOWN");

  // A success carries no error parts.
  Result ok = encode_xml(pay);
  EXPECT_TRUE(ok.ok());
  EXPECT_EQ(ok.code(), Error::kOk);
  EXPECT_TRUE(ok.error_name.empty());
  EXPECT_TRUE(ok.subject.empty());

  HeaderResult header = decode_header("A");
  EXPECT_EQ(header.status, 8);
  EXPECT_EQ(header.error_name, "ERROR_UNKNOWN_DOCUMENT");
  EXPECT_EQ(header.subject, "Header not found. ");
}

TEST(StructuredErrors, TheCInterfaceGivesTheSameParts) {
  std::string pay = read_source_file("examples/pay-one-off.xml");
  pay.replace(pay.find("<CurrencyCode>"), 14, "<CurrencyCode>X");
  char* error = nullptr;
  EXPECT_EQ(zarnex_encode_xml(pay.data(), pay.size(), 0, nullptr, &error),
            ZARNEX_ERROR_INVALID_VALUE);
  ASSERT_NE(error, nullptr);
  const Result same = encode_xml(pay);
  EXPECT_EQ(std::string(error), same.error);
  zarnex_free(error);
  EXPECT_EQ(std::string(zarnex_error_subject()), same.subject);
  EXPECT_EQ(std::string(zarnex_error_subject()), "CurrencyCode");
  EXPECT_EQ(std::string(zarnex_error_name(ZARNEX_ERROR_INVALID_VALUE)),
            "ERROR_INVALID_VALUE");

  error = nullptr;
  EXPECT_EQ(zarnex_decode("ABC", 3, nullptr, &error), ZARNEX_ERROR_UNKNOWN_DOCUMENT);
  zarnex_free(error);
  EXPECT_EQ(std::string(zarnex_error_subject()), "Header not found. ");
  int type = -1;
  EXPECT_EQ(zarnex_decode_header("00ab", 4, &type, nullptr, nullptr, nullptr),
            ZARNEX_ERROR_BASE32HEX);
  EXPECT_EQ(std::string(zarnex_error_subject()), "Invalid base32hex string. ");
  EXPECT_EQ(zarnex_validate_sequence("9\t0\tX", 5, nullptr), ZARNEX_ERROR_BAD_FORMAT);
  EXPECT_EQ(std::string(zarnex_error_name(ZARNEX_ERROR_STREAM)), "ERROR_STREAM");
  EXPECT_EQ(std::string(zarnex_error_name(ZARNEX_ERROR_QR)), "ERROR_QR");
}

TEST(Validate, ChecksWithoutEncoding) {
  for (const char* example : {"pay-several", "invoice", "credit-note",
                              "invoice-items-full"}) {
    const std::string xml =
        read_source_file(std::string("examples/") + example + ".xml");
    Result checked = validate_xml(xml);
    EXPECT_TRUE(checked.ok()) << example << ": " << checked.error;
    EXPECT_TRUE(checked.output.empty());
    EXPECT_EQ(zarnex_validate_xml(xml.data(), xml.size(), nullptr), 0);
  }
  // The first broken rule, as encoding reports it.
  std::string no_iban = read_source_file("examples/pay-one-off.xml");
  no_iban.erase(no_iban.find("<IBAN>"),
                no_iban.find("</IBAN>") + 7 - no_iban.find("<IBAN>"));
  Result checked = validate_xml(no_iban);
  Result encoded = encode_xml(no_iban);
  EXPECT_EQ(checked.status, 4);
  EXPECT_EQ(checked.status, encoded.status);
  EXPECT_EQ(checked.error, encoded.error);
  EXPECT_EQ(checked.subject, encoded.subject);
  EXPECT_EQ(validate_xml("<Pay").code(), Error::kXml);

  // Validation alone does not write the code, so the length limit of the
  // code is not its business.
  std::string too_long = read_source_file("examples/invoice-items-full.xml");
  too_long.replace(too_long.find("30.5 cm"), 7, "30.55 cm");
  EXPECT_TRUE(validate_xml(too_long).ok());
  EXPECT_EQ(encode_xml(too_long).code(), Error::kSequenceLimitExceeded);

  // Field sequences: every line of the examples, and a broken one.
  const std::string lines = read_source_file("examples/sequences.txt");
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    const std::string line = lines.substr(start, end - start);
    if (!line.empty()) {
      EXPECT_TRUE(validate_sequence(line).ok()) << line;
      EXPECT_TRUE(encode_sequence(line).ok()) << line;
    }
    start = end + 1;
  }
  Result bad = validate_sequence("0\t0\tID\t1\t1\t10\tXX");
  EXPECT_EQ(bad.code(), encode_sequence("0\t0\tID\t1\t1\t10\tXX").code());
  EXPECT_FALSE(bad.ok());
}

}  // namespace
}  // namespace zarnex::testing
