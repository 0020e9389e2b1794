// Property target: every input is tried both as XML and as a code; whatever
// is accepted must survive a trip through the other form unchanged. A broken
// property aborts, so libFuzzer keeps the input as a crash.

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
  std::string broken = zarnex::fuzzing::round_trip_input(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "round trip: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}

// Codes are opened and mutated inside; XML and other texts at byte level.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data,
                                               std::size_t size,
                                               std::size_t max_size,
                                               unsigned int seed) {
  return zarnex::fuzzing::mutate_code(data, size, max_size, seed);
}
