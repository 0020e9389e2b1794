#ifndef ZARNEX_CLI_REPLACEMENT_FILE_H_
#define ZARNEX_CLI_REPLACEMENT_FILE_H_

// A file that takes the place of a name only once it is complete: it is
// written under a short temporary name in the same folder and renamed over
// the name at the end, so a reader of the name never sees half of it and a
// failed run leaves the old file as it was.
//
// Only a missing name or a regular file is replaced. A symbolic link is
// never itself replaced: a link to a regular file is followed, and the new
// file replaces the file it leads to (under its resolved path), so the link
// stays a link. A directory, device, FIFO, socket, a dangling link, a link
// that cannot be followed and a link to anything but a regular file are
// refused.

#include <string>
#include <string_view>

namespace zarnex::cli {

class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  /// Checks @a path and creates the temporary file beside its target.
  /// False, with reason() set, when the name may not be replaced or the
  /// file cannot be created.
  bool open(const std::string& path);

  /// The temporary file's descriptor while it is open, -1 otherwise.
  int fd() const { return fd_; }

  /// Writes all of @a data; false with reason() set when a write fails.
  bool write(std::string_view data);

  /// Closes the temporary file and renames it over the name, after looking
  /// once more that what stands there may still be replaced. False, with
  /// reason() set and the temporary file removed, when that fails.
  bool commit();

  /// Removes the temporary file; the name keeps what it had. Also what the
  /// destructor does with a file that was not committed.
  void abandon();

  /// Why the last call failed, as a sentence without a final stop
  /// ("No space left on device", "Is a FIFO, not a regular file").
  const std::string& reason() const { return reason_; }

 private:
  bool fail(int error);
  bool refuse(std::string reason);
  bool check_entry();

  int folder_ = -1;       // the target's folder, held open
  int fd_ = -1;           // the temporary file
  std::string name_;      // the target's name in the folder
  std::string temp_name_; // the temporary file's name in the folder
  std::string reason_;
};

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_REPLACEMENT_FILE_H_
