// Codes checked against tools that are not ours: python3's base64 and lzma
// modules (liblzma underneath, but driven by their own raw-stream code) and
// zlib's CRC-32.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "code/crc32.h"
#include "code/envelope.h"
#include "code/field_sequence.h"
#include "code/test_documents.h"
#include "error/error.h"

namespace zarnex::code {
namespace {

// "read CODE": prints the header and P as hex, the zlib CRC check of the
// text, and the payload as hex.
// "write HEXTEXT EXTRA": prints a code whose stream python's raw LZMA1
// encoder made (with an end marker) and whose P is the real length plus
// EXTRA.
constexpr char kScript[] = R"(import base64, lzma, sys, zlib
FILTERS = [{"id": lzma.FILTER_LZMA1, "lc": 3, "lp": 0, "pb": 2,
            "dict_size": 131072}]
if sys.argv[1] == "read":
    code = sys.argv[2]
    envelope = base64.b32hexdecode(code + "=" * (-len(code) % 8))
    p = envelope[2] | envelope[3] << 8
    decoder = lzma.LZMADecompressor(format=lzma.FORMAT_RAW, filters=FILTERS)
    payload = decoder.decompress(envelope[4:])[:p]
    crc_ok = int.from_bytes(payload[:4], "little") == zlib.crc32(payload[4:])
    print(envelope[:2].hex(), p, "crc-ok" if crc_ok else "crc-bad")
    print(payload.hex())
else:
    text = bytes.fromhex(sys.argv[2])
    payload = zlib.crc32(text).to_bytes(4, "little") + text
    compressor = lzma.LZMACompressor(format=lzma.FORMAT_RAW, filters=FILTERS)
    stream = compressor.compress(payload) + compressor.flush()
    p = len(payload) + int(sys.argv[3])
    envelope = b"\x00\x00" + p.to_bytes(2, "little") + stream
    print(base64.b32hexencode(envelope).decode().rstrip("="))
)";

class InteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_error();
    static const bool available =
        std::system(
            "python3 -c 'import base64, lzma, zlib; "
            "base64.b32hexdecode' > /dev/null 2>&1") == 0;
    if (!available) {
      GTEST_SKIP() << "python3 with base64.b32hexdecode and lzma is missing";
    }
    script_ = ::testing::TempDir() + "zarnex_interop.py";
    std::ofstream(script_) << kScript;
  }

  // Runs the script with @a arguments (shell-safe texts) and returns its
  // standard output.
  std::string run(const std::string& arguments) {
    const std::string command = "python3 " + script_ + " " + arguments;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"),
                                               pclose);
    EXPECT_NE(pipe, nullptr);
    if (!pipe) return "";
    std::string out;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
      out.append(buffer.data(), n);
    return out;
  }

  static std::string hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (char c : bytes) {
      const auto b = static_cast<unsigned char>(c);
      text.push_back(kDigits[b >> 4]);
      text.push_back(kDigits[b & 0xF]);
    }
    return text;
  }

  std::string script_;
};

TEST_F(InteropTest, OurCodeReadByOtherTools) {
  auto pay = testing::valid_pay("note\twith tab");
  FieldSequence s;
  ASSERT_EQ(write_document(s, pay.get()), 0);
  const std::string text = join(s);
  std::string code;
  ASSERT_EQ(encode_document(pay.get(), &code), 0);

  const std::uint32_t crc = crc32(text);
  std::string payload;
  for (int i = 0; i < 4; ++i)
    payload.push_back(static_cast<char>(crc >> (8 * i)));
  payload += text;
  EXPECT_EQ(run("read " + code), "0000 " + std::to_string(payload.size()) +
                                     " crc-ok\n" + hex(payload) + "\n");
}

TEST_F(InteropTest, CodeFromOtherEncoderDecodes) {
  auto pay = testing::valid_pay();
  pay->Payments->get(0)->PaymentNote = std::string(200, 'x');
  FieldSequence s;
  ASSERT_EQ(write_document(s, pay.get()), 0);
  const std::string text = join(s);

  // The foreign stream ends in an end marker; announced exactly, or longer
  // than it is (the marker then ends the output early).
  for (const char* extra : {"0", "10"}) {
    std::string code = run("write " + hex(text) + " " + extra);
    ASSERT_FALSE(code.empty());
    code.pop_back();  // the line end
    DocumentPtr document;
    ASSERT_EQ(decode_document(code, &document), 0) << error_text();
    EXPECT_EQ(testing::fields_of(*document), s.fields);
  }
}

}  // namespace
}  // namespace zarnex::code
