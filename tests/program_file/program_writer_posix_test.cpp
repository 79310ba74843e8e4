// A write that fails half-way (here: the process's file size limit, as a
// full disk would) must not leave a cut program in place of a good one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "writer_test_support.h"

namespace {

// Limits the size of files this process writes while it lives; writes beyond
// the limit fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_handler_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  void (*previous_handler_)(int) = nullptr;
  bool ok_ = false;
};

class WriterWriteFailureTest : public writer_test::WriterTest {};

TEST_F(WriterWriteFailureTest, FailedWriteKeepsTheGoodFileAndReportsFailure) {
  const std::string good(415, 'g');  // a complete program from an earlier run
  writer_test::WriteBytes(PathOf("part.wyr"), good);
  driverwyr::ProgramData data = writer_test::StandardData(writer_test::kMm);
  bool written = true;
  {
    FileSizeLimit limit(300);
    ASSERT_TRUE(limit.ok());
    written = Write(data, {writer_test::StandardStep(writer_test::kMm)}, "part.wyr", writer_test::FixedCalculation);
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(writer_test::ReadBytes(PathOf("part.wyr")), good);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"part.wyr"}) << "the temporary file is removed";
  // The file could be created, so the writer shows nothing of its own; the
  // run reports the failure ("program created failed !").
  EXPECT_TRUE(ui_.boxes.empty());
}

}  // namespace
