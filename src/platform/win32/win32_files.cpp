// Files on Windows. Paths arrive in the host's code page, as the ...A calls
// take them; they are widened with that code page and handed to the ...W
// calls, which, unlike the ...A ones, take paths longer than MAX_PATH (as the
// C library's fopen does).
//
// Reading refuses folders and whatever is not a disk file (pipes, NUL, COM1).
// A replacement writes to "NAME.xxxxxxxx.tmp" beside the target, created with
// CREATE_NEW and shared with nobody, and moves it over the target with
// MoveFileExA (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). Temporary
// files that a killed run left behind are removed by the next replacement of
// the same target: a file still being written is open without sharing and
// cannot be deleted, so only leftovers go.
#include <windows.h>

#include <cstdio>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "driverwyr/files.h"

namespace driverwyr {
namespace {

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string ErrorCode(DWORD error) { return "error " + std::to_string(error); }

Status OpenError(DWORD error, const std::string& what) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return Status::NotFound(what + "does not exist");
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return Status::Refused(what + "may not be used (" + ErrorCode(error) + ")");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Status::Refused(what + "is in use by another program");
    default:
      return Status::IoError(what + "cannot be opened (" + ErrorCode(error) + ")");
  }
}

Status WriteError(DWORD error) {
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return Status::IoError("the disk is full");
  return Status::IoError("cannot be written (" + ErrorCode(error) + ")");
}

class Win32ReadableFile final : public ReadableFile {
 public:
  explicit Win32ReadableFile(HANDLE file) : file_(file) {}
  ~Win32ReadableFile() override { CloseHandle(file_); }
  Win32ReadableFile(const Win32ReadableFile&) = delete;
  Win32ReadableFile& operator=(const Win32ReadableFile&) = delete;

  Result<std::size_t> Read(std::span<char> buffer) override {
    const DWORD wanted = buffer.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(buffer.size());
    DWORD got = 0;
    if (!ReadFile(file_, buffer.data(), wanted, &got, nullptr)) {
      return Status::IoError("cannot be read (" + ErrorCode(GetLastError()) + ")");
    }
    return static_cast<std::size_t>(got);
  }
  std::optional<std::uint64_t> SizeWhenOpened() const override { return size_; }

 private:
  static std::optional<std::uint64_t> SizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  HANDLE file_;
  std::optional<std::uint64_t> size_ = SizeOf(file_);
};

std::string RandomTag() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random(std::random_device{}() ^ GetCurrentProcessId() ^ GetTickCount());
  std::string tag(8, '0');
  for (char& c : tag) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
  return tag;
}

// Deletes "TARGET.xxxxxxxx.tmp" files that no one has open.
void RemoveLeftovers(const std::wstring& target) {
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((target + L".????????.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

class Win32FileReplacement final : public FileReplacement {
 public:
  Win32FileReplacement(std::wstring target, DWORD attributes, HANDLE file, std::wstring temporary)
      : target_(std::move(target)), attributes_(attributes), file_(file), temporary_(std::move(temporary)) {}
  ~Win32FileReplacement() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (!committed_) DeleteFileW(temporary_.c_str());
  }
  Win32FileReplacement(const Win32FileReplacement&) = delete;
  Win32FileReplacement& operator=(const Win32FileReplacement&) = delete;

  Status Write(std::string_view bytes) override {
    if (file_ == INVALID_HANDLE_VALUE || spoilt_) return Status::IoError("cannot be written");
    while (!bytes.empty()) {
      const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
      DWORD put = 0;
      if (!WriteFile(file_, bytes.data(), chunk, &put, nullptr) || put == 0) {
        spoilt_ = true;
        return WriteError(GetLastError());
      }
      bytes.remove_prefix(put);
    }
    return Status::Ok();
  }

  Status Commit() override {
    if (file_ == INVALID_HANDLE_VALUE || spoilt_ || committed_) return Status::IoError("cannot be written");
    if (!FlushFileBuffers(file_)) return WriteError(GetLastError());
    const BOOL closed = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (!closed) return WriteError(GetLastError());
    if (!MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return Status::Refused("cannot be replaced (" + ErrorCode(error) + ")");
      }
      return Status::IoError("cannot be replaced (" + ErrorCode(error) + ")");
    }
    committed_ = true;
    // The new file keeps the attributes the old one had (archive, hidden ...).
    if (attributes_ != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(target_.c_str(), attributes_);
    return Status::Ok();
  }

 private:
  std::wstring target_;
  DWORD attributes_;  // of the file replaced, or INVALID_FILE_ATTRIBUTES for a new one
  HANDLE file_;
  std::wstring temporary_;
  bool spoilt_ = false;
  bool committed_ = false;
};

class Win32FileSystem final : public FileSystem {
 public:
  Result<std::unique_ptr<ReadableFile>> OpenForReading(const std::string& path) override {
    if (path.empty() || path.find('\0') != std::string::npos) return Status::NotFound("is no file name");
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return Status::Refused("is a folder, not a file");
    }
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return OpenError(GetLastError(), "");
    if (GetFileType(file) != FILE_TYPE_DISK) {
      CloseHandle(file);
      return Status::Refused("is not a regular file");
    }
    return std::unique_ptr<ReadableFile>(std::make_unique<Win32ReadableFile>(file));
  }

  Result<std::unique_ptr<FileReplacement>> BeginReplace(const std::string& path) override {
    if (path.empty() || path.find('\0') != std::string::npos) return Status::NotFound("is no file name");
    const std::wstring target = Widen(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Status::Refused("is a folder, not a file");
      if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return Status::Refused("is read-only");
      // Whether it may be written now: not a device, not locked by a program.
      const HANDLE probe = CreateFileW(target.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (probe == INVALID_HANDLE_VALUE) return OpenError(GetLastError(), "");
      const bool disk = GetFileType(probe) == FILE_TYPE_DISK;
      CloseHandle(probe);
      if (!disk) return Status::Refused("is not a regular file");
    } else {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND) return OpenError(error, "");
    }
    RemoveLeftovers(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::wstring temporary = target + Widen("." + RandomTag() + ".tmp");
      const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        return std::unique_ptr<FileReplacement>(
            std::make_unique<Win32FileReplacement>(target, attributes, file, std::move(temporary)));
      }
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return OpenError(error, "its folder ");
    }
    return Status::IoError("no free temporary name in its folder");
  }
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace driverwyr
