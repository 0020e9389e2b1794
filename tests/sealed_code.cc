#include "tests/sealed_code.h"

#include <gtest/gtest.h>

#include "code/base32hex.h"
#include "code/crc32.h"
#include "code/payload.h"

namespace zarnex::testing {

std::string seal_code(std::uint8_t byte0, std::uint8_t byte1,
                      std::string_view sequence) {
  const std::uint32_t crc = code::crc32(sequence);
  std::string payload;
  for (int i = 0; i < 4; ++i)
    payload.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
  payload.append(sequence);
  std::string envelope{static_cast<char>(byte0), static_cast<char>(byte1)};
  EXPECT_EQ(code::compress_payload(
                payload, code::payload_capacity(payload.size()), &envelope),
            0);
  std::string text;
  code::base32hex_encode(envelope, &text);
  return text;
}

}  // namespace zarnex::testing
