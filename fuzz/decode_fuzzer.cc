// Fuzz target: any text as a code, through the decoder and the XML writer.

#include <cstddef>
#include <cstdint>

#include "fuzz/code_mutator.h"
#include "fuzz/entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return zarnex::fuzzing::run_target("decode", data, size);
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data,
                                               std::size_t size,
                                               std::size_t max_size,
                                               unsigned int seed) {
  return zarnex::fuzzing::mutate_code(data, size, max_size, seed);
}
