// Fuzz target: any text as a line of the field-sequence input mode. The mode
// writes a diagnostic to standard error for a malformed prefix; run with
// -close_fd_mask=2 to keep the fuzzer's own output readable.

#include <cstddef>
#include <cstdint>

#include "fuzz/entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return zarnex::fuzzing::run_target("sequence", data, size);
}
