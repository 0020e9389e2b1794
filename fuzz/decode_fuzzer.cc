// Fuzz target: any text as a code, through the decoder and the XML writer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/code_mutator.h"
#include "fuzz/entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string broken = zarnex::fuzzing::decode_input(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "decode: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data,
                                               std::size_t size,
                                               std::size_t max_size,
                                               unsigned int seed) {
  return zarnex::fuzzing::mutate_code(data, size, max_size, seed);
}
