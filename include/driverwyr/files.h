// Files as the driver reads and writes them: reading outside data and
// replacing a file as a whole.
//
// Every reader of outside data (material data files, the conversion file, the
// settings file, job files and program files in wyr) opens its file through
// a FileSystem, so that a folder, a FIFO or a device given in place of a file
// is refused with a clear message instead of blocking or being read forever.
// Every file the driver writes (program files, the POSIX settings file) is
// replaced through one: readers see the old contents or the new ones, never a
// part, and a file that may not be written is left untouched. A host may use
// the same functions for the files it reads and writes itself.
//
// Paths are single-byte strings in the host's code page, handed to the
// system as they are. DefaultFileSystem() is the operating system's; a test
// derives from FileSystemWrapper to make one call fail on purpose.
//
// A C++ interface: see driverwyr/host.h for the toolchain it asks of a host.
#ifndef DRIVERWYR_FILES_H_
#define DRIVERWYR_FILES_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "driverwyr/export.h"
#include "driverwyr/result.h"

namespace driverwyr {

// A regular file open for reading; closed when destroyed.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to `buffer.size()` bytes; 0 at the end of the file. IoError when
  // reading fails.
  virtual Result<std::size_t> Read(std::span<char> buffer) = 0;
  // The file's size in bytes when it was opened, where the system tells it
  // (nothing otherwise): lets a reader refuse a file that is too large
  // before reading any of it.
  virtual std::optional<std::uint64_t> SizeWhenOpened() const { return std::nullopt; }
};

// A replacement of one file in progress: the new contents go to a temporary
// file beside the target, created exclusively under a name of its own, and
// take the target's place only in Commit. Destroying it without a successful
// Commit removes the temporary file and leaves the target as it was.
class FileReplacement {
 public:
  virtual ~FileReplacement() = default;
  // Appends `bytes` to the new contents. IoError when they cannot be written
  // (the disk is full, an I/O error); the replacement is then spoilt.
  virtual Status Write(std::string_view bytes) = 0;
  // Flushes the new contents to the disk, closes them and puts them in place
  // of the target in one step. The target keeps its permissions. IoError
  // when flushing fails; Refused when the target cannot be replaced. Call at
  // most once.
  virtual Status Commit() = 0;
};

class DRIVERWYR_API FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens the existing regular file `path` for reading, never waiting for a
  // writer. NotFound when it does not exist (or its folder does not);
  // Refused when it is a folder, a FIFO, a device or anything else that is
  // not a regular file, or may not be read.
  virtual Result<std::unique_ptr<ReadableFile>> OpenForReading(const std::string& path) = 0;

  // Begins replacing `path`, which need not exist. A target that exists must
  // be a regular file that may be written: a folder, a device, a read-only
  // file or a file locked by another program is Refused, and nothing is
  // created. NotFound when the folder does not exist; IoError when the
  // temporary file cannot be created. An existing link is followed: the file
  // it names is replaced.
  virtual Result<std::unique_ptr<FileReplacement>> BeginReplace(const std::string& path) = 0;

  // Reads at most `buffer.size()` bytes from the start of regular file
  // `path` into `buffer`, refusing what OpenForReading refuses, and returns
  // how many it read. The default opens, reads and closes through
  // OpenForReading; a system may do the same in fewer steps, since the bend
  // calculation reads a material data file for every step it calculates.
  virtual Result<std::size_t> ReadPrefix(const std::string& path, std::span<char> buffer);
};

// The operating system's files (the default of the platform role).
DRIVERWYR_API FileSystem& DefaultFileSystem();

// Reads at most `buffer.size()` bytes from the start of regular file `path`
// into `buffer` and returns how many it read; what follows them is not read.
DRIVERWYR_API Result<std::size_t> ReadFilePrefix(FileSystem& files, const std::string& path, std::span<char> buffer);

// Reads the whole of regular file `path`. Invalid ("is larger than N bytes")
// when it holds more than `max_bytes`: refused before reading when its size
// is known, and nothing beyond `max_bytes` is ever read or held in memory.
DRIVERWYR_API Result<std::string> ReadWholeFile(FileSystem& files, const std::string& path, std::size_t max_bytes);

// Replaces `path` with `bytes` in one step (BeginReplace, Write, Commit).
DRIVERWYR_API Status ReplaceFileContents(FileSystem& files, const std::string& path, std::string_view bytes);

// Forwards every call to another file system: a test overrides the one call
// that should fail. `base` must outlive the wrapper.
class FileSystemWrapper : public FileSystem {
 public:
  explicit FileSystemWrapper(FileSystem& base) : base_(base) {}
  Result<std::unique_ptr<ReadableFile>> OpenForReading(const std::string& path) override {
    return base_.OpenForReading(path);
  }
  Result<std::unique_ptr<FileReplacement>> BeginReplace(const std::string& path) override {
    return base_.BeginReplace(path);
  }
  Result<std::size_t> ReadPrefix(const std::string& path, std::span<char> buffer) override {
    return base_.ReadPrefix(path, buffer);
  }
  FileSystem& base() { return base_; }

 private:
  FileSystem& base_;
};

}  // namespace driverwyr

#endif  // DRIVERWYR_FILES_H_
