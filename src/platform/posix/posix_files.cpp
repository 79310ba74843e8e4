// Files on POSIX systems.
//
// Reading opens with O_NONBLOCK, so that a FIFO given in place of a file is
// refused at once instead of waiting for a writer, and checks with fstat
// that what was opened is a regular file.
//
// A replacement writes to a file of its own in the target's folder and
// renames it over the target. Where the system offers unnamed files
// (O_TMPFILE), the new contents have no name until they are complete, so a
// process killed part-way leaves nothing behind; elsewhere the temporary file
// is created exclusively under a random name (".NAME.xxxxxxxx.tmp").
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "driverwyr/files.h"

namespace driverwyr {
namespace {

std::string ErrorText(int error) { return std::strerror(error); }

// The status of a failed open or create, by errno.
Status OpenError(int error, const std::string& what) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return Status::NotFound(what + "does not exist");
    case EACCES:
    case EPERM:
    case EROFS:
      return Status::Refused(what + "may not be used (" + ErrorText(error) + ")");
    case EISDIR:
      return Status::Refused("is a folder, not a file");
    default:
      return Status::IoError(what + "cannot be opened (" + ErrorText(error) + ")");
  }
}

Status WriteError(int error) {
  if (error == ENOSPC || error == EDQUOT) return Status::IoError("the disk is full");
  return Status::IoError("cannot be written (" + ErrorText(error) + ")");
}

// Knows the file's size from when it was opened: once that many bytes were
// read, the end is answered without asking the system again (a file that
// grows meanwhile is read as it was).
class PosixReadableFile final : public ReadableFile {
 public:
  PosixReadableFile(int fd, off_t size)
      : fd_(fd), opened_size_(size > 0 ? static_cast<std::uint64_t>(size) : 0), left_(opened_size_), sized_(size > 0) {}
  // A size of 0 may be a file of the kernel's that has contents all the same:
  // no size is told then.
  std::optional<std::uint64_t> SizeWhenOpened() const override {
    if (opened_size_ == 0) return std::nullopt;
    return opened_size_;
  }
  ~PosixReadableFile() override { ::close(fd_); }
  PosixReadableFile(const PosixReadableFile&) = delete;
  PosixReadableFile& operator=(const PosixReadableFile&) = delete;

  Result<std::size_t> Read(std::span<char> buffer) override {
    if (sized_ && left_ == 0) return std::size_t{0};
    for (;;) {
      const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
      if (got >= 0) {
        const auto count = static_cast<std::uint64_t>(got);
        left_ = count >= left_ ? 0 : left_ - count;
        if (got == 0) sized_ = false;
        return static_cast<std::size_t>(got);
      }
      if (errno != EINTR) return Status::IoError("cannot be read (" + ErrorText(errno) + ")");
    }
  }

 private:
  int fd_;
  std::uint64_t opened_size_;  // 0 when the system told none
  std::uint64_t left_;         // bytes of the opened size not yet read
  bool sized_;          // the size is known (a file of size 0 is read to its end)
};

// A random name part of 8 letters and digits.
// An open descriptor of the regular file at path, and its state when opened.
// Without O_NONBLOCK a FIFO would block the open until a writer came; what is
// not a regular file is closed again and refused.
struct OpenedFile {
  int fd;
  struct stat info;
};
Result<OpenedFile> OpenRegularFile(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return Status::NotFound("is no file name");
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return OpenError(errno, "");
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const bool folder = S_ISDIR(info.st_mode);
    ::close(fd);
    return Status::Refused(folder ? "is a folder, not a file" : "is not a regular file");
  }
  return OpenedFile{fd, info};
}

std::string RandomTag() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()));
  std::string tag(8, '0');
  for (char& c : tag) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
  return tag;
}

class PosixFileReplacement final : public FileReplacement {
 public:
  PosixFileReplacement(std::string target, std::string folder, int fd, std::string temporary)
      : target_(std::move(target)), folder_(std::move(folder)), fd_(fd), temporary_(std::move(temporary)) {}
  ~PosixFileReplacement() override {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
  }
  PosixFileReplacement(const PosixFileReplacement&) = delete;
  PosixFileReplacement& operator=(const PosixFileReplacement&) = delete;

  Status Write(std::string_view bytes) override {
    if (fd_ < 0 || spoilt_) return Status::IoError("cannot be written");
    while (!bytes.empty()) {
      const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
      if (put < 0) {
        if (errno == EINTR) continue;
        spoilt_ = true;
        return WriteError(errno);
      }
      bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return Status::Ok();
  }

  Status Commit() override {
    if (fd_ < 0 || spoilt_ || committed_) return Status::IoError("cannot be written");
    if (::fsync(fd_) != 0) return WriteError(errno);
    if (temporary_.empty()) {
      // An unnamed file: give it a name of its own beside the target.
      if (Status named = LinkUnnamed(); !named.ok()) return named;
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return WriteError(errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      const int error = errno;
      if (error == EACCES || error == EPERM || error == EISDIR || error == EROFS || error == EBUSY) {
        return Status::Refused("cannot be replaced (" + ErrorText(error) + ")");
      }
      return Status::IoError("cannot be replaced (" + ErrorText(error) + ")");
    }
    committed_ = true;
    // The rename itself to the disk; the file is in place whatever this says.
    const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
    return Status::Ok();
  }

 private:
  Status LinkUnnamed() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = folder_ + "/." + target_.substr(target_.rfind('/') + 1) + "." + RandomTag() + ".tmp";
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary_ = std::move(name);
        return Status::Ok();
      }
      if (errno != EEXIST) return WriteError(errno);
    }
    return Status::IoError("no free temporary name");
  }

  std::string target_;
  std::string folder_;
  int fd_;
  std::string temporary_;  // empty while the new contents are an unnamed file
  bool spoilt_ = false;
  bool committed_ = false;
};

class PosixFileSystem final : public FileSystem {
 public:
  Result<std::unique_ptr<ReadableFile>> OpenForReading(const std::string& path) override {
    auto opened = OpenRegularFile(path);
    if (!opened.ok()) return opened.status();
    const auto [fd, info] = *opened;
    return std::unique_ptr<ReadableFile>(std::make_unique<PosixReadableFile>(fd, info.st_size));
  }

  // Open, check, read, close: no more system calls than reading the file
  // needs, and nothing allocated.
  Result<std::size_t> ReadPrefix(const std::string& path, std::span<char> buffer) override {
    auto opened = OpenRegularFile(path);
    if (!opened.ok()) return opened.status();
    const auto [fd, info] = *opened;
    // Up to the size the file had when opened, or to its end when it has none.
    const std::size_t wanted = info.st_size > 0 ? std::min(buffer.size(), static_cast<std::size_t>(info.st_size))
                                                : buffer.size();
    std::size_t filled = 0;
    while (filled < wanted || (info.st_size <= 0 && filled < buffer.size())) {
      const ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        const int error = errno;
        ::close(fd);
        return Status::IoError("cannot be read (" + ErrorText(error) + ")");
      }
      if (got == 0) break;
      filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return filled;
  }

  Result<std::unique_ptr<FileReplacement>> BeginReplace(const std::string& path) override {
    if (path.empty() || path.find('\0') != std::string::npos) return Status::NotFound("is no file name");
    std::string target = path;
    struct stat info {};
    bool exists = false;
    if (::lstat(path.c_str(), &info) == 0) {
      exists = true;
      if (S_ISLNK(info.st_mode)) {
        // The file a link names is replaced, not the link.
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return Status::Refused("is a link to nothing");
        target = resolved;
        std::free(resolved);
        if (::stat(target.c_str(), &info) != 0) return OpenError(errno, "");
      }
      if (S_ISDIR(info.st_mode)) return Status::Refused("is a folder, not a file");
      if (!S_ISREG(info.st_mode)) return Status::Refused("is not a regular file");
      // A file without write permission is read-only, also for a user who
      // could replace it through its folder.
      if ((info.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
        return Status::Refused("is read-only");
      }
    } else if (errno != ENOENT) {
      return OpenError(errno, "");
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    int fd = -1;
    std::string temporary;
#if defined(O_TMPFILE)
    if (::access("/proc/self/fd", X_OK) == 0) {
      fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return OpenError(errno, "its folder ");
      }
    }
#endif
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
      temporary = folder + "/." + name + "." + RandomTag() + ".tmp";
      fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
      if (fd < 0 && errno != EEXIST) return OpenError(errno, "its folder ");
    }
    if (fd < 0) return Status::IoError("no free temporary name in its folder");
    if (exists) {
      // The new file keeps the old one's permissions and, where allowed, owner.
      ::fchmod(fd, info.st_mode & 07777);
      if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        // Only the owner's permissions matter to the control; keep ours.
      }
    }
    return std::unique_ptr<FileReplacement>(
        std::make_unique<PosixFileReplacement>(target, folder, fd, temporary));
  }
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace driverwyr
