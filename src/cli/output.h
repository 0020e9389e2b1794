#ifndef ZARNEX_CLI_OUTPUT_H_
#define ZARNEX_CLI_OUTPUT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace zarnex::cli {

/// Writes all @a size bytes to @a fd. Interrupted writes are repeated and a
/// non-blocking descriptor that is full is waited for (poll), so nothing is
/// dropped. Returns 0, or the errno of the write that failed.
int write_fully(int fd, const char* data, std::size_t size);
inline int write_fully(int fd, std::string_view text) {
  return write_fully(fd, text.data(), text.size());
}

/// The system's description of an errno, the same whatever the locale
/// ("No space left on device").
std::string error_reason(int error);

/// A failure of the tool's own streams: ERROR_STREAM and its error text.
struct StreamFailure {
  int status = 0;
  std::string text;
};

/// The failures of the tool's streams: "Cannot write <stream>: <reason>. "
/// and "Cannot read <stream>: <reason>. ", where the stream is "standard
/// output", "output file 'out.txt'" and the like; and an input or bulk line
/// beyond the bound of read_all_input.
StreamFailure write_failed(std::string_view stream, std::string_view reason);
StreamFailure read_failed(std::string_view stream, std::string_view reason);
StreamFailure input_too_long();
StreamFailure line_too_long();

/// Writes the error line of @a failure to standard error and returns its
/// status.
int report(StreamFailure failure);

/// The same for the standard streams and an errno.
inline StreamFailure output_failed(int error) {
  return write_failed("standard output", error_reason(error));
}
inline StreamFailure input_failed(int error) {
  return read_failed("standard input", error_reason(error));
}

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_OUTPUT_H_
