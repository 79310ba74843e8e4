// ReadRegularFile on Windows: the file is opened with CreateFileW, which
// never waits for a pipe's other end, and its type is checked on the handle
// before anything is read (devices such as CON or NUL are character files).
#include "regular_file.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace wyr {

driverwyr::Result<std::string> ReadRegularFile(const std::filesystem::path& path, std::size_t max_size,
                                               std::string_view noun) {
  using driverwyr::Status;
  // FILE_FLAG_BACKUP_SEMANTICS lets a folder be opened, so that it can be named.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Status::NotFound("cannot be opened");
  struct Closer {
    HANDLE handle;
    ~Closer() { ::CloseHandle(handle); }
  } closer{file};

  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    return Status::Refused("is not a regular file, so not a " + std::string(noun));
  }
  if (!::GetFileInformationByHandle(file, &info)) return Status::IoError("cannot be read");
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Status::Refused("is a folder, not a " + std::string(noun));
  }
  const unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (size > max_size) return Status::Invalid("is larger than " + std::to_string(max_size) + " bytes");

  // A file that grows meanwhile is read up to the limit and then refused.
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t length = 0;
  while (true) {
    if (length == bytes.size()) {
      if (bytes.size() > max_size) return Status::Invalid("is larger than " + std::to_string(max_size) + " bytes");
      bytes.resize(std::min<std::size_t>(max_size + 1, bytes.size() + 65536));
    }
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - length, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(file, bytes.data() + length, want, &got, nullptr)) return Status::IoError("cannot be read");
    if (got == 0) break;
    length += got;
  }
  if (length > max_size) return Status::Invalid("is larger than " + std::to_string(max_size) + " bytes");
  bytes.resize(length);
  return bytes;
}

}  // namespace wyr
