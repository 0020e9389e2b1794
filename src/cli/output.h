#ifndef ZARNEX_CLI_OUTPUT_H_
#define ZARNEX_CLI_OUTPUT_H_

#include <cstddef>
#include <string_view>

namespace zarnex::cli {

/// Writes all @a size bytes to @a fd. Interrupted writes are repeated and a
/// non-blocking descriptor that is full is waited for (poll), so nothing is
/// dropped. Returns 0, or the errno of the write that failed.
int write_fully(int fd, const char* data, std::size_t size);
inline int write_fully(int fd, std::string_view text) {
  return write_fully(fd, text.data(), text.size());
}

/// Record the failures of the standard streams in the error state, as
/// ERROR_STREAM, and return that code: "Cannot write standard output:
/// <reason>. ", "Cannot read standard input: <reason>. ", and an input or
/// bulk line beyond the bound of read_all_input.
int output_failed(int error);
int input_failed(int error);
int input_too_long();
int line_too_long();

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_OUTPUT_H_
