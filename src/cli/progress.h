#ifndef ZARNEX_CLI_PROGRESS_H_
#define ZARNEX_CLI_PROGRESS_H_

// The progress line of a bulk run (--progress) on standard error:
//
//   zarnex: 120000 lines, 18250 lines/s, 42 %, 0:00:09 left
//
// Shown only while standard error is a terminal, redrawn at most five times
// a second in place (a carriage return, the text, then erase to the end of
// the line), and erased at the end. The share and the time left are shown
// when the input is a regular file of known size. An error line is written
// on a clean line: the progress line is erased before it and drawn again
// below it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zarnex::cli {

class Progress {
 public:
  /// @a input is the run's input descriptor, for its size and position.
  explicit Progress(int input);
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  /// Whether standard error is a terminal, so that anything is drawn.
  bool active() const { return active_; }

  /// Notes that @a lines lines are done and @a bytes bytes of input have
  /// been read; redraws when the last drawing is old enough.
  void update(std::size_t lines, std::uint64_t bytes) {
    lines_ = lines;
    bytes_ = bytes;
    if (active_ && std::chrono::steady_clock::now() >= next_) draw();
  }

  /// Erases the line before something else is written to standard error,
  /// and draws it again afterwards.
  void hide();
  void show();

  /// Erases the line for good.
  void finish();

 private:
  void draw();

  bool active_ = false;
  bool drawn_ = false;
  std::uint64_t size_ = 0;  // bytes to read; 0 when unknown
  std::size_t lines_ = 0;
  std::uint64_t bytes_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point next_;
  std::string text_;
};

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_PROGRESS_H_
