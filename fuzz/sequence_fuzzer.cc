// Fuzz target: any text as a line of the field-sequence input mode. The mode
// writes a diagnostic to standard error for a malformed prefix; run with
// -close_fd_mask=2 to keep the fuzzer's own output readable.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string broken = zarnex::fuzzing::sequence_input(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "sequence: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
