// ReadRegularFile on POSIX: the file is opened without blocking (a FIFO
// without a writer would block a plain open) and checked with fstat on the
// open descriptor before anything is read.
#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>

namespace wyr {

driverwyr::Result<std::string> ReadRegularFile(const std::filesystem::path& path, std::size_t max_size,
                                               std::string_view noun) {
  using driverwyr::Status;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Status::NotFound("cannot be opened");
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};

  struct stat info {};
  if (::fstat(fd, &info) != 0) return Status::IoError("cannot be read");
  if (S_ISDIR(info.st_mode)) return Status::Refused("is a folder, not a " + std::string(noun));
  if (!S_ISREG(info.st_mode)) return Status::Refused("is not a regular file, so not a " + std::string(noun));
  if (static_cast<std::uintmax_t>(info.st_size) > max_size) {
    return Status::Invalid("is larger than " + std::to_string(max_size) + " bytes");
  }

  // The size is what fstat said; a file that grows meanwhile is read up to
  // the limit and then refused.
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t length = 0;
  while (true) {
    if (length == bytes.size()) {
      if (bytes.size() > max_size) return Status::Invalid("is larger than " + std::to_string(max_size) + " bytes");
      bytes.resize(std::min(max_size + 1, bytes.size() + 65536));
    }
    const ssize_t got = ::read(fd, bytes.data() + length, bytes.size() - length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Status::IoError("cannot be read");
    if (got == 0) break;
    length += static_cast<std::size_t>(got);
  }
  if (length > max_size) return Status::Invalid("is larger than " + std::to_string(max_size) + " bytes");
  bytes.resize(length);
  return bytes;
}

}  // namespace wyr
