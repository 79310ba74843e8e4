// Replacing a file as a whole: readers see the old contents or the new ones,
// never a part.
//
// The new contents go to a temporary file next to the target (same folder, so
// the final rename stays on one volume). Only when every byte was written,
// flushed and the file closed is it renamed over the target. A failure at any
// point removes the temporary file and leaves an existing target untouched.
//
// Paths are single-byte strings in the host's code page and are handed to the
// C library as they are (std::filesystem would reinterpret them on Windows).
#ifndef DRIVERWYR_PROGRAM_FILE_FILE_REPLACEMENT_H_
#define DRIVERWYR_PROGRAM_FILE_FILE_REPLACEMENT_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace driverwyr {

class FileReplacement {
 public:
  enum class Result {
    kReplaced,       // the target now holds the new contents
    kWriteFailed,    // writing, flushing or closing the temporary file failed
    kReplaceFailed,  // the complete temporary file could not be put in place
  };

  explicit FileReplacement(std::string target);
  // Removes the temporary file unless Commit replaced the target.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Creates the temporary file next to the target, under a name that no file
  // has yet. Returns false when it cannot be created (missing folder, no
  // permission, invalid name); nothing is left behind then.
  bool Create();

  // Writes `bytes` to the temporary file in one go, flushes and closes it and
  // renames it over the target. Call once, after Create returned true.
  Result Commit(std::string_view bytes);

  // Name of the temporary file (empty before Create).
  const std::string& TemporaryName() const { return temporary_; }

 private:
  void Discard();

  std::string target_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_FILE_FILE_REPLACEMENT_H_
