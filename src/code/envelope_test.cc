#include "code/envelope.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "code/base32hex.h"
#include "code/crc32.h"
#include "code/field_sequence.h"
#include "code/payload.h"
#include "code/test_documents.h"
#include "error/error.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "validate/document_rules.h"

namespace zarnex::code {
namespace {

using testing::fields_of;

class EnvelopeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_error();
    set_sequence_limit(kDefaultSequenceLimit);
  }
  void TearDown() override { set_sequence_limit(kDefaultSequenceLimit); }

  static std::string encode(const Document& document) {
    std::string code;
    EXPECT_EQ(encode_document(&document, &code), 0) << error_text();
    return code;
  }

  static std::string envelope_of(std::string_view code) {
    std::string bytes;
    EXPECT_EQ(base32hex_decode(code, &bytes), 0);
    return bytes;
  }

  static std::string code_of(std::string_view envelope) {
    std::string code;
    base32hex_encode(envelope, &code);
    return code;
  }

  // A code whose payload is exactly @a payload (no CRC added).
  static std::string code_for_payload(std::uint8_t byte0,
                                      std::string_view payload) {
    std::string envelope;
    envelope.push_back(static_cast<char>(byte0));
    envelope.push_back('\0');
    EXPECT_EQ(
        compress_payload(payload, payload_capacity(payload.size()), &envelope),
        0);
    return code_of(envelope);
  }

  // A code carrying @a text with a correct CRC, whatever the text holds.
  static std::string code_for_text(std::uint8_t byte0, std::string_view text) {
    const std::uint32_t crc = crc32(text);
    std::string payload;
    for (int i = 0; i < 4; ++i)
      payload.push_back(static_cast<char>(crc >> (8 * i)));
    payload.append(text);
    return code_for_payload(byte0, payload);
  }

  // The status and error text of decoding @a code; a document that comes
  // out is dropped.
  static std::pair<int, std::string> decode_status(std::string_view code) {
    reset_error();
    DocumentPtr document;
    const int status = decode_document(code, &document);
    EXPECT_EQ(document == nullptr, status != 0);
    return {status, status == 0 ? "" : error_text()};
  }

  // A valid Pay whose field sequence is exactly @a length bytes long.
  static std::unique_ptr<Pay> pay_of_length(std::size_t length) {
    auto pay = testing::valid_pay("");
    FieldSequence s;
    write_document(s, pay.get());
    const std::size_t base = text_length(s);
    pay->Payments->get(0)->PaymentNote = std::string(length - base, 'n');
    return pay;
  }
};

TEST_F(EnvelopeTest, RoundTripsEveryKind) {
  std::vector<DocumentPtr> documents;
  documents.push_back(testing::valid_pay());
  documents.push_back(testing::valid_invoice());
  documents.push_back(testing::valid_invoice_items());
  // Regression: an empty first field once lost its separator.
  auto no_id = testing::valid_pay();
  no_id->InvoiceID.reset();
  documents.push_back(std::move(no_id));
  const char kFirst[] = {'0', '2', '4', '0'};
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const Document& original = *documents[i];
    const std::string code = encode(original);
    ASSERT_FALSE(code.empty());
    EXPECT_EQ(code[0], kFirst[i]);
    EXPECT_EQ(code.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUV"),
              std::string::npos);
    DocumentPtr decoded;
    ASSERT_EQ(decode_document(code, &decoded), 0) << error_text();
    EXPECT_EQ(decoded->header, original.header);
    EXPECT_EQ(fields_of(*decoded), fields_of(original));
  }
}

TEST_F(EnvelopeTest, DecodingCompletesDerivedAmounts) {
  DocumentPtr decoded;
  ASSERT_EQ(decode_document(encode(*testing::valid_invoice_items()), &decoded),
            0);
  const InvoiceLine& line =
      *dynamic_cast<InvoiceItems&>(*decoded).InvoiceLines->get(0);
  ASSERT_TRUE(line.LineTaxExclusiveAmount.has_value());
  EXPECT_DOUBLE_EQ(*line.LineTaxExclusiveAmount, 15.0);  // 10 x 1.5
}

TEST_F(EnvelopeTest, EnvelopeLayout) {
  auto invoice = testing::valid_invoice();
  invoice->header.set_sub_kind(static_cast<int>(InvoiceKind::kCreditNote));
  const std::string envelope = envelope_of(encode(*invoice));
  EXPECT_EQ(static_cast<unsigned char>(envelope[0]), 0x10);
  EXPECT_EQ(static_cast<unsigned char>(envelope[1]), 0x20);

  // A field sequence of 300 bytes gives P = 304, low byte first, and the
  // payload is its CRC-32 (low byte first) and the text itself.
  auto pay = pay_of_length(300);
  pay->InvoiceID = "";  // the text starts with an empty field
  pay->Payments->get(0)->PaymentNote->append("INV-1");
  FieldSequence s;
  write_document(s, pay.get());
  const std::string text = join(s);
  ASSERT_EQ(text.size(), 300u);
  const std::string pay_envelope = envelope_of(encode(*pay));
  EXPECT_EQ(static_cast<unsigned char>(pay_envelope[2]), 0x30);
  EXPECT_EQ(static_cast<unsigned char>(pay_envelope[3]), 0x01);
  std::string payload;
  ASSERT_EQ(
      decompress_payload(std::string_view(pay_envelope).substr(2), &payload),
      0);
  const std::uint32_t crc = crc32(text);
  std::string expected;
  for (int i = 0; i < 4; ++i)
    expected.push_back(static_cast<char>(crc >> (8 * i)));
  expected += text;
  EXPECT_EQ(payload, expected);
}

TEST_F(EnvelopeTest, SequenceLimit) {
  EXPECT_EQ(get_sequence_limit(), 550u);
  std::string code = "untouched";
  EXPECT_EQ(encode_document(pay_of_length(550).get(), &code), 0);
  auto too_long = pay_of_length(551);
  code = "untouched";
  EXPECT_EQ(encode_document(too_long.get(), &code), 7);
  EXPECT_EQ(error_text(),
            "ERROR_SEQUENCE_LIMIT_EXCEEDED: Sequence limit exceeded. ");
  EXPECT_EQ(code, "untouched");

  // The limit belongs to the thread that sets it.
  set_sequence_limit(551);
  EXPECT_EQ(encode_document(too_long.get(), &code), 0);
  int other_status = 0;
  std::uint32_t other_limit = 0;
  std::thread other([&] {
    other_limit = get_sequence_limit();
    std::string other_code;
    other_status = encode_document(too_long.get(), &other_code);
  });
  other.join();
  EXPECT_EQ(other_limit, 550u);
  EXPECT_EQ(other_status, 7);

  // No limit lets through more than the 16-bit payload length can announce.
  set_sequence_limit(1000000);
  EXPECT_EQ(encode_document(pay_of_length(65531).get(), &code), 0);
  EXPECT_EQ(encode_document(pay_of_length(65532).get(), &code), 7);
}

TEST_F(EnvelopeTest, EncoderRefusals) {
  auto pay = testing::valid_pay();
  EXPECT_EQ(encode_document(pay.get(), nullptr), -2);
  EXPECT_EQ(error_text(),
            "ERROR_NULL_POINTER: Base32hex pointer cannot be NULL. ");

  std::string code = "untouched";
  EXPECT_EQ(encode_document(nullptr, &code), -2);
  EXPECT_EQ(error_text(), "ERROR_NULL_POINTER: Document cannot be null.  ");

  // A validation failure comes back as the rules report it.
  pay->Payments->get(0)->CurrencyCode = "eur";
  const int rule_status = document_validate(pay.get());
  const std::string rule_text = error_text();
  ASSERT_NE(rule_status, 0);
  reset_error();
  EXPECT_EQ(encode_document(pay.get(), &code), rule_status);
  EXPECT_EQ(error_text(), rule_text);
  EXPECT_EQ(code, "untouched");
}

TEST_F(EnvelopeTest, MalformedCodes) {
  const std::string code = encode(*testing::valid_pay());
  std::string lower = code;
  for (char& c : lower) c = static_cast<char>(std::tolower(c));
  const struct {
    std::string code;
    int status;
    const char* message;
  } kCases[] = {
      {"", 8, "ERROR_UNKNOWN_DOCUMENT: Header not found.  "},
      {code.substr(0, 3), 8, "ERROR_UNKNOWN_DOCUMENT: Header not found.  "},
      // Four or more characters that hold fewer than two bytes.
      {"00==", 8, "ERROR_UNKNOWN_DOCUMENT: Header not found.  "},
      {"0=======", 8, "ERROR_UNKNOWN_DOCUMENT: Header not found.  "},
      {code.substr(0, 4), 3, "ERROR_COMPRESSION: Invalid compressed data.  "},
      {code.substr(0, 5), 3, "ERROR_COMPRESSION: Invalid compressed data.  "},
      {code.substr(0, 8), 3, "ERROR_COMPRESSION: Decompression error.  "},
      {code.substr(0, code.size() / 2), 3,
       "ERROR_COMPRESSION: Decompression error.  "},
      {lower, 1, "ERROR_BASE32HEX: Invalid base32hex string.  "},
      {code + "\n", 1, "ERROR_BASE32HEX: Invalid base32hex string.  "},
      {code.substr(0, 6) + "=" + code.substr(6), 1,
       "ERROR_BASE32HEX: Invalid base32hex string.  "},
      // Type 3: the CRC does not cover the header, so only the missing
      // document tells.
      {"6" + code.substr(1), -2,
       "ERROR_NULL_POINTER: Document cannot be null.  "},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(decode_status(c.code),
              std::make_pair(c.status, std::string(c.message)))
        << c.code;
  }
  EXPECT_EQ(decode_status(code + "=").first, 0);
  EXPECT_EQ(decode_status(code + "=======").first, 0);

  reset_error();
  EXPECT_EQ(decode_document(code, nullptr), -2);
  EXPECT_EQ(error_text(),
            "ERROR_NULL_POINTER: Document pointer cannot be NULL.  ");
}

TEST_F(EnvelopeTest, CorruptedBytesNeverGiveAnotherDocument) {
  auto pay = testing::valid_pay();
  const std::vector<std::string> fields = fields_of(*pay);
  const std::string envelope = envelope_of(encode(*pay));
  int failures = 0;
  for (std::size_t i = 4; i < envelope.size(); ++i) {
    std::string broken = envelope;
    broken[i] = static_cast<char>(broken[i] ^ 0x10);
    reset_error();
    DocumentPtr document;
    const int status = decode_document(code_of(broken), &document);
    if (status == 0) {
      // A flipped bit in the coder's last flushed bytes may change nothing.
      EXPECT_EQ(fields_of(*document), fields) << i;
    } else {
      EXPECT_TRUE(status == 2 || status == 3) << i << ": " << error_text();
      ++failures;
    }
  }
  EXPECT_GT(failures, 0);

  // An announced length one byte short cuts the text: the CRC tells.
  std::string shorter = envelope;
  shorter[2] = static_cast<char>(shorter[2] - 1);
  EXPECT_EQ(
      decode_status(code_of(shorter)),
      std::make_pair(2, std::string("ERROR_CHECKSUM: Checksum mismatch.  ")));
}

// Codes built with a correct CRC around chosen texts reach the later checks.
TEST_F(EnvelopeTest, ChecksumAndLaterChecks) {
  EXPECT_EQ(
      decode_status(code_for_payload(0x00, "abc")),
      std::make_pair(2, std::string("ERROR_CHECKSUM: Checksum not found.  ")));
  EXPECT_EQ(
      decode_status(code_for_payload(0x00, "\x01\x02\x03\x04text")),
      std::make_pair(2, std::string("ERROR_CHECKSUM: Checksum mismatch.  ")));
  EXPECT_EQ(
      decode_status(code_for_text(0x30, "")),
      std::make_pair(
          -2, std::string("ERROR_NULL_POINTER: Document cannot be null.  ")));

  // A text changed behind the CRC's back fails as its document's rules say.
  auto pay = testing::valid_pay();
  std::vector<std::string> fields = testing::fields_of(*pay);
  fields[4] = "EURO";
  pay->Payments->get(0)->CurrencyCode = "EURO";
  const int rule_status = document_validate(pay.get());
  const std::string rule_text = error_text();
  ASSERT_NE(rule_status, 0);
  EXPECT_EQ(decode_status(code_for_text(0x00, FieldList(fields).text())),
            std::make_pair(rule_status, rule_text));

  // The unchanged text decodes.
  fields[4] = "EUR";
  EXPECT_EQ(decode_status(code_for_text(0x00, FieldList(fields).text())).first,
            0);
}

// A code may announce billions of entries; the answer must be the same as
// for the smallest such count, and come as fast.
TEST_F(EnvelopeTest, HugeAnnouncedCounts) {
  const struct {
    std::uint8_t byte0;
    const char* small;
    const char* huge;
  } kCases[] = {
      {0x00, "\t1", "\t2000000000"},
      {0x00, "\t1\t1\t1\tEUR\t\t\t\t\t\t\t1",
       "\t1\t1\t1\tEUR\t\t\t\t\t\t\t2147483647"},
      {0x10,
       "F\t20150101\t\t\t\tEUR\t\t\t\tS\t\t\t\tA\t\tC\tZ\t\tSVK\t\t\t\tC\t\t\t"
       "\t"
       "\t1\t\t\t\t\t\t\t\t1",
       "F\t20150101\t\t\t\tEUR\t\t\t\tS\t\t\t\tA\t\tC\tZ\t\tSVK\t\t\t\tC\t\t\t"
       "\t"
       "\t1\t\t\t\t\t\t\t\t99999999999"},
      {0x20, "F\t1\t1", "F\t1\t2000000000"},
  };
  for (const auto& c : kCases) {
    const auto small = decode_status(code_for_text(c.byte0, c.small));
    EXPECT_NE(small.first, 0) << c.small;
    EXPECT_EQ(decode_status(code_for_text(c.byte0, c.huge)), small) << c.huge;
  }
}

TEST_F(EnvelopeTest, ReadCodeHeader) {
  auto invoice = testing::valid_invoice();
  invoice->header.set_sub_kind(static_cast<int>(InvoiceKind::kDebitNote));
  DocumentHeader header;
  ASSERT_EQ(read_code_header(encode(*invoice), &header), 0);
  EXPECT_EQ(header.byte0, 0x10);
  EXPECT_EQ(header.byte1, 0x30);
  ASSERT_EQ(read_code_header(encode(*testing::valid_invoice_items()), &header), 0);
  EXPECT_EQ(header.byte0, 0x20);
  EXPECT_EQ(header.byte1, 0x00);

  const struct {
    std::string_view code;
    int status;
    const char* message;
  } kCases[] = {
      {std::string_view(), -2,
       "ERROR_NULL_POINTER: Base32hex cannot be NULL.  "},
      {"400", 8, "ERROR_UNKNOWN_DOCUMENT: Header not found.  "},
      {"4===", 8, "ERROR_UNKNOWN_DOCUMENT: Header not found.  "},
      {"400w", 1, "ERROR_BASE32HEX: Invalid base32hex string.  "},
      // A header without the payload length after it, as decoding says.
      {"4000", 3, "ERROR_COMPRESSION: Invalid compressed data.  "},
      {"VVVV", 3, "ERROR_COMPRESSION: Invalid compressed data.  "},
      // Type 15 with the payload length: the header's own fault (decoding
      // meets the missing stream first).
      {"VVVVVVV", -2, "ERROR_NULL_POINTER: Document cannot be null.  "},
  };
  for (const auto& c : kCases) {
    reset_error();
    DocumentHeader untouched{0xAB, 0xCD};
    EXPECT_EQ(read_code_header(c.code, &untouched), c.status) << c.code;
    EXPECT_EQ(error_text(), c.message);
    EXPECT_EQ(untouched, (DocumentHeader{0xAB, 0xCD}));
  }
}

// Every header around an intact stream: read_code_header refuses exactly the
// headers decoding refuses, with its status and message, and hands out the
// bytes of every other one.
TEST_F(EnvelopeTest, ReadCodeHeaderJudgesHeadersAsDecodingDoes) {
  const std::string pay = envelope_of(encode(*testing::valid_pay()));
  int refused = 0;
  for (int byte0 = 0; byte0 < 256; ++byte0) {
    for (int byte1 : {0x00, 0x01, 0x0F, 0x10, 0x1F, 0x20, 0x40, 0x4F, 0x50,
                      0x70, 0xF0, 0xFF}) {
      std::string envelope = pay;
      envelope[0] = static_cast<char>(byte0);
      envelope[1] = static_cast<char>(byte1);
      const std::string code = code_of(envelope);
      SCOPED_TRACE(code);
      reset_error();
      DocumentHeader header{0xAB, 0xCD};
      const int status = read_code_header(code, &header);
      const std::string text = error_text();
      const auto decoded = decode_status(code);
      if (status != 0) {
        ++refused;
        EXPECT_EQ(decoded, std::make_pair(status, text));
        EXPECT_EQ(header, (DocumentHeader{0xAB, 0xCD}));
        continue;
      }
      EXPECT_EQ(header, (DocumentHeader{static_cast<std::uint8_t>(byte0),
                                        static_cast<std::uint8_t>(byte1)}));
      // An accepted header of Pay decodes (the reserved bits play no part);
      // one of another kind reads the Pay's fields as that kind's and fails
      // by its rules, never by the header's checks.
      if ((byte0 >> 4) == 0) {
        EXPECT_EQ(decoded.first, 0) << decoded.second;
      } else {
        EXPECT_EQ(decoded.first, 4) << decoded.second;
      }
    }
  }
  // Accepted: types 0 to 2 with version 0 (byte 0 0x00, 0x10, 0x20), for Pay
  // and InvoiceItems the 3 second bytes of sub-kind 0, for Invoice the 8 of
  // sub-kinds 0 to 4.
  EXPECT_EQ(refused, 256 * 12 - (3 + 3 + 8));
  // Sub-kinds and versions as check_header names them.
  const struct {
    std::uint8_t byte0, byte1;
    int status;
    const char* message;
  } kCases[] = {
      {0x00, 0x10, 9, "ERROR_XML: Error in getting root and type "},
      {0x20, 0x20, 9, "ERROR_XML: Error in getting root and type "},
      {0x10, 0x50, 9, "ERROR_XML: Error wrong invoice document type "},
      {0x13, 0xF0, 9, "ERROR_XML: Error wrong invoice document type "},
      {0x01, 0x00, 9, "ERROR_XML: Unsupported document version.  "},
      {0x3F, 0xFF, -2, "ERROR_NULL_POINTER: Document cannot be null.  "},
  };
  for (const auto& c : kCases) {
    std::string envelope = pay;
    envelope[0] = static_cast<char>(c.byte0);
    envelope[1] = static_cast<char>(c.byte1);
    reset_error();
    DocumentHeader header;
    EXPECT_EQ(read_code_header(code_of(envelope), &header), c.status);
    EXPECT_EQ(error_text(), c.message);
  }
}

}  // namespace
}  // namespace zarnex::code
