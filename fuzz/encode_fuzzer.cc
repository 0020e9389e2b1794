// Fuzz target: any text as XML, through the reader, validation and the
// encoder.

#include <cstddef>
#include <cstdint>

#include "fuzz/entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return zarnex::fuzzing::run_target("encode", data, size);
}
