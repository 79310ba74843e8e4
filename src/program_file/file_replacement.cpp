#include "program_file/file_replacement.h"

#include <utility>

namespace driverwyr {
namespace {

// How many numbered names are tried for a temporary or set-aside file.
constexpr int kNameAttempts = 100;

bool FileExists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

// `base`, or `base` followed by a number, whichever names no file yet; empty
// when all are taken.
std::string UnusedName(const std::string& base) {
  for (int n = 0; n < kNameAttempts; ++n) {
    std::string name = n == 0 ? base : base + std::to_string(n);
    if (!FileExists(name)) return name;
  }
  return {};
}

// True when `path` is an existing file that may be written: opening for
// update neither creates nor truncates, and fails for folders, read-only and
// locked files.
bool IsReplaceableFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

}  // namespace

FileReplacement::FileReplacement(std::string target) : target_(std::move(target)) {}

FileReplacement::~FileReplacement() {
  if (!committed_) Discard();
}

bool FileReplacement::Create() {
  const std::string name = UnusedName(target_ + ".tmp");
  if (name.empty()) return false;
  file_ = std::fopen(name.c_str(), "wb");
  if (file_ == nullptr) return false;
  temporary_ = name;
  return true;
}

FileReplacement::Result FileReplacement::Commit(std::string_view bytes) {
  if (file_ == nullptr) return Result::kWriteFailed;
  bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  written = std::fflush(file_) == 0 && written;
  written = std::fclose(file_) == 0 && written;
  file_ = nullptr;
  if (!written) {
    Discard();
    return Result::kWriteFailed;
  }
  // POSIX rename replaces an existing target in one step.
  if (std::rename(temporary_.c_str(), target_.c_str()) == 0) {
    committed_ = true;
    return Result::kReplaced;
  }
  // The C library's rename on Windows does not replace an existing file: set
  // the old file aside, put the new one in its place, and restore the old one
  // if that fails. Folders and files that may not be written are left alone.
  if (!IsReplaceableFile(target_)) {
    Discard();
    return Result::kReplaceFailed;
  }
  const std::string aside = UnusedName(target_ + ".old");
  if (aside.empty() || std::rename(target_.c_str(), aside.c_str()) != 0) {
    Discard();
    return Result::kReplaceFailed;
  }
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    std::rename(aside.c_str(), target_.c_str());
    Discard();
    return Result::kReplaceFailed;
  }
  std::remove(aside.c_str());
  committed_ = true;
  return Result::kReplaced;
}

void FileReplacement::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::remove(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace driverwyr
