// Property target: every input is tried both as XML and as a code; whatever
// is accepted must survive a trip through the other form unchanged. A broken
// property aborts, so libFuzzer keeps the input as a crash.

#include <cstddef>
#include <cstdint>

#include "fuzz/code_mutator.h"
#include "fuzz/entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return zarnex::fuzzing::run_target("round_trip", data, size);
}

// Codes are opened and mutated inside; XML and other texts at byte level.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data,
                                               std::size_t size,
                                               std::size_t max_size,
                                               unsigned int seed) {
  return zarnex::fuzzing::mutate_code(data, size, max_size, seed);
}
