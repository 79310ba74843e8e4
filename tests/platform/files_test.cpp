// ReadWholeFile through a file system whose files are made up: a file that
// tells a size beyond the limit is refused before a byte of it is read, and
// reading never holds more than the limit, whether the size is told, not
// told, or wrong.
#include "driverwyr/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace driverwyr {
namespace {

struct FileStats {
  int reads = 0;
};

// `size` bytes of 'x', handed out `chunk` bytes a read; tells `told` as its size.
class MadeUpFile final : public ReadableFile {
 public:
  MadeUpFile(std::uint64_t size, std::size_t chunk, std::optional<std::uint64_t> told, FileStats& stats)
      : left_(size), chunk_(chunk), told_(told), stats_(stats) {}
  Result<std::size_t> Read(std::span<char> buffer) override {
    ++stats_.reads;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>({left_, chunk_, buffer.size()}));
    std::fill_n(buffer.data(), n, 'x');
    left_ -= n;
    return n;
  }
  std::optional<std::uint64_t> SizeWhenOpened() const override { return told_; }

 private:
  std::uint64_t left_;
  std::size_t chunk_;
  std::optional<std::uint64_t> told_;
  FileStats& stats_;
};

class MadeUpFileSystem final : public FileSystemWrapper {
 public:
  MadeUpFileSystem(std::uint64_t size, std::size_t chunk, std::optional<std::uint64_t> told)
      : FileSystemWrapper(DefaultFileSystem()), size_(size), chunk_(chunk), told_(told) {}
  Result<std::unique_ptr<ReadableFile>> OpenForReading(const std::string&) override {
    return std::unique_ptr<ReadableFile>(std::make_unique<MadeUpFile>(size_, chunk_, told_, stats));
  }
  FileStats stats;

 private:
  std::uint64_t size_;
  std::size_t chunk_;
  std::optional<std::uint64_t> told_;
};

TEST(ReadWholeFileTest, NeverReadsOrHoldsMoreThanTheLimit) {
  constexpr std::size_t kLimit = 100000;
  constexpr std::uint64_t kGigabyte = std::uint64_t{1} << 30;
  const struct {
    std::uint64_t size;
    std::optional<std::uint64_t> told;
    bool ok;
    int max_reads;  // -1: any
  } kCases[] = {
      {kGigabyte, kGigabyte, false, 0},        // refused before reading
      {kLimit + 1, kLimit + 1, false, 0},
      {kLimit, kLimit, true, -1},              // exactly the limit is read
      {0, std::nullopt, true, 1},
      {kLimit, std::nullopt, true, -1},        // no size told: read in pieces
      {kGigabyte, std::nullopt, false, -1},    // ... and stopped at the limit
      {kGigabyte, 10, false, -1},              // a size that is wrong
      {kLimit, 10, true, -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << " told " << c.told.value_or(0) << (c.told ? "" : " (none)"));
    MadeUpFileSystem files(c.size, 7001, c.told);
    const Result<std::string> read = ReadWholeFile(files, "file", kLimit);
    ASSERT_EQ(read.ok(), c.ok) << read.error();
    if (c.max_reads >= 0) {
      EXPECT_LE(files.stats.reads, c.max_reads);
    }
    // Bytes beyond the limit are never asked for.
    EXPECT_LE(static_cast<std::uint64_t>(files.stats.reads) * 7001, kLimit + 2 * 7001);
    if (read.ok()) {
      EXPECT_EQ(read->size(), c.size);
      EXPECT_LE(read->capacity(), kLimit);
    } else {
      EXPECT_EQ(read.error(), "is larger than 100000 bytes");
      EXPECT_EQ(read.status().code(), Status::Code::kInvalid);
    }
  }
}

}  // namespace
}  // namespace driverwyr
