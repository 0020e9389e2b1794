#include "code/payload.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "error/error.h"

namespace zarnex::code {
namespace {

class PayloadTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  // Text shaped like a field sequence: digits, letters and tabs.
  static std::string sample(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    static constexpr char kChars[] = "0123456789ABCDEFabcdef\t\t";
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
      text.push_back(kChars[random() % (sizeof kChars - 1)]);
    return text;
  }

  static std::string compress(std::string_view payload) {
    std::string out;
    EXPECT_EQ(compress_payload(payload, payload_capacity(payload.size()), &out),
              0);
    return out;
  }
};

TEST_F(PayloadTest, Capacity) {
  EXPECT_EQ(payload_capacity(0), 130u);
  EXPECT_EQ(payload_capacity(3), 134u);
  EXPECT_EQ(payload_capacity(554), 554u + 184 + 130);
}

TEST_F(PayloadTest, RoundTrips) {
  for (std::size_t n : {0, 1, 4, 5, 100, 304, 554, 2000}) {
    const std::string payload = sample(n, static_cast<unsigned>(n));
    const std::string packed = compress(payload);
    ASSERT_GE(packed.size(), 2u);
    // Length first, low byte first.
    EXPECT_EQ(static_cast<unsigned char>(packed[0]), n & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(packed[1]), n >> 8);
    EXPECT_LE(packed.size(), payload_capacity(n));
    std::string back;
    ASSERT_EQ(decompress_payload(packed, &back), 0) << n;
    EXPECT_EQ(back, payload);
  }
}

TEST_F(PayloadTest, StreamHasNoEndMarker) {
  // Announcing more bytes than were compressed runs the decoder past the
  // end of the stream: there is no end marker to stop it early.
  const std::string payload = sample(300, 7);
  std::string packed = compress(payload);
  packed[0] = static_cast<char>(packed[0] + 1);
  std::string back;
  EXPECT_EQ(decompress_payload(packed, &back), 3);
  EXPECT_EQ(error_text(), "ERROR_COMPRESSION: Decompression error.  ");
}

TEST_F(PayloadTest, StreamThatDoesNotFitFails) {
  const std::string payload = sample(554, 3);
  std::string out = "kept";
  EXPECT_EQ(compress_payload(payload, 40, &out), 3);
  EXPECT_EQ(error_text(), "ERROR_COMPRESSION: Compression error.  ");
  EXPECT_EQ(out, "kept");
  out.clear();
  EXPECT_EQ(compress_payload(payload, 1, &out), 3);
  // The thread's encoder works again after the failure.
  std::string back;
  ASSERT_EQ(decompress_payload(compress(payload), &back), 0);
  EXPECT_EQ(back, payload);
}

TEST_F(PayloadTest, DecodingStopsAtTheAnnouncedLength) {
  const std::string payload = sample(300, 11);
  std::string packed = compress(payload);
  // Fewer bytes announced: the rest of the stream is ignored.
  packed[0] = 100;
  packed[1] = 0;
  std::string back;
  ASSERT_EQ(decompress_payload(packed, &back), 0);
  EXPECT_EQ(back, payload.substr(0, 100));
  // Input after the stream is ignored.
  packed = compress(payload) + "trailing junk";
  ASSERT_EQ(decompress_payload(packed, &back), 0);
  EXPECT_EQ(back, payload);
}

TEST_F(PayloadTest, BrokenStreams) {
  const std::string packed = compress(sample(300, 5));
  struct Case {
    std::string bytes;
    const char* message;
  };
  std::string corrupt = packed;
  corrupt[2] = '\x55';  // the range coder's first byte is always 0
  std::string flipped = packed;
  for (std::size_t i = 8; i < flipped.size(); i += 3) flipped[i] ^= 0x5A;
  const Case kCases[] = {
      {"", "ERROR_COMPRESSION: Invalid compressed data.  "},
      {std::string(1, '\x04'), "ERROR_COMPRESSION: Invalid compressed data.  "},
      // A length but fewer than 5 stream bytes.
      {std::string("\x04\x00", 2), "ERROR_COMPRESSION: Decompression error.  "},
      {packed.substr(0, 6), "ERROR_COMPRESSION: Decompression error.  "},
      // The stream ends before the announced length.
      {packed.substr(0, packed.size() / 2),
       "ERROR_COMPRESSION: Decompression error.  "},
      {corrupt, "ERROR_COMPRESSION: Decompression error.  "},
      {flipped, "ERROR_COMPRESSION: Decompression error.  "},
  };
  for (const Case& c : kCases) {
    reset_error();
    std::string back = "untouched";
    EXPECT_EQ(decompress_payload(c.bytes, &back), 3) << c.bytes.size();
    EXPECT_EQ(error_text(), c.message);
    EXPECT_EQ(back, "untouched");
  }
  // After failed runs the thread's decoder still works.
  std::string back;
  EXPECT_EQ(decompress_payload(packed, &back), 0);
  EXPECT_EQ(back, sample(300, 5));
}

TEST_F(PayloadTest, ThreadsKeepTheirOwnCoders) {
  auto work = [](unsigned seed, bool* ok) {
    *ok = true;
    for (unsigned i = 0; i < 40; ++i) {
      const std::string payload =
          sample(50 + (seed * 37 + i * 13) % 500, seed + i);
      std::string packed;
      std::string back;
      if (compress_payload(payload, payload_capacity(payload.size()),
                           &packed) != 0 ||
          decompress_payload(packed, &back) != 0 || back != payload) {
        *ok = false;
      }
    }
  };
  bool ok1 = false;
  bool ok2 = false;
  std::thread first(work, 1u, &ok1);
  std::thread second(work, 2u, &ok2);
  first.join();
  second.join();
  EXPECT_TRUE(ok1);
  EXPECT_TRUE(ok2);
}

}  // namespace
}  // namespace zarnex::code
