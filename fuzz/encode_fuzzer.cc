// Fuzz target: any text as XML, through the reader, validation and the
// encoder.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string broken = zarnex::fuzzing::encode_input(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "encode: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
