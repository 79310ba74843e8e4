#include "driverwyr/files.h"

#include <algorithm>

namespace driverwyr {

Result<std::size_t> ReadFilePrefix(FileSystem& files, const std::string& path, std::span<char> buffer) {
  return files.ReadPrefix(path, buffer);
}

Result<std::size_t> FileSystem::ReadPrefix(const std::string& path, std::span<char> buffer) {
  Result<std::unique_ptr<ReadableFile>> file = OpenForReading(path);
  if (!file.ok()) return file.status();
  std::size_t filled = 0;
  while (filled < buffer.size()) {
    const Result<std::size_t> got = (*file)->Read(buffer.subspan(filled));
    if (!got.ok()) return got.status();
    if (*got == 0) break;
    filled += *got;
  }
  return filled;
}

namespace {

Status LargerThan(std::size_t max_bytes) { return Status::Invalid("is larger than " + std::to_string(max_bytes) + " bytes"); }

// Makes room in `bytes` for `more` bytes, never holding more than `limit`:
// a string that grows by itself may double its memory past the limit, while
// a fresh one reserves what it is asked for.
void MakeRoom(std::string& bytes, std::size_t more, std::size_t limit) {
  const std::size_t needed = bytes.size() + more;
  if (needed <= bytes.capacity()) return;
  std::string bigger;
  bigger.reserve(std::min(limit, std::max(needed, bytes.capacity() / 2 * 3)));
  bigger.append(bytes);
  bytes.swap(bigger);
}

}  // namespace

Result<std::string> ReadWholeFile(FileSystem& files, const std::string& path, std::size_t max_bytes) {
  Result<std::unique_ptr<ReadableFile>> file = files.OpenForReading(path);
  if (!file.ok()) return file.status();
  std::string bytes;
  if (const std::optional<std::uint64_t> size = (*file)->SizeWhenOpened()) {
    if (*size > max_bytes) return LargerThan(max_bytes);
    bytes.reserve(static_cast<std::size_t>(*size));
  }
  char chunk[64 * 1024];
  for (;;) {
    const Result<std::size_t> got = (*file)->Read(chunk);
    if (!got.ok()) return got.status();
    if (*got == 0) return bytes;
    if (*got > max_bytes - bytes.size()) return LargerThan(max_bytes);
    MakeRoom(bytes, *got, max_bytes);
    bytes.append(chunk, *got);
  }
}

Status ReplaceFileContents(FileSystem& files, const std::string& path, std::string_view bytes) {
  Result<std::unique_ptr<FileReplacement>> replacement = files.BeginReplace(path);
  if (!replacement.ok()) return replacement.status();
  if (Status written = (*replacement)->Write(bytes); !written.ok()) return written;
  return (*replacement)->Commit();
}

}  // namespace driverwyr
