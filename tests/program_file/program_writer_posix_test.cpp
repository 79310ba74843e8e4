// A write that fails half-way (here: the process's file size limit, as a
// full disk would) must not leave a cut program in place of a good one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "writer_test_support.h"

namespace {

using namespace writer_test;

class WriterWriteFailureTest : public WriterTest {};

TEST_F(WriterWriteFailureTest, FailedWriteKeepsTheGoodFileAndReportsFailure) {
  const std::string good(415, 'g');  // a complete program from an earlier run
  WriteBytes(folder_ / "part.wyr", good);
  driverwyr::ProgramData data = StandardData(kMm);
  // Writes beyond 300 bytes fail with EFBIG instead of raising SIGXFSZ.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limit = saved;
  limit.rlim_cur = 300;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const auto previous_handler = signal(SIGXFSZ, SIG_IGN);
  const driverwyr::Status written = Write(data, {StandardStep(kMm)}, "part.wyr", FixedCalculation);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous_handler);

  // The reason the system gave, after the program's path.
  EXPECT_EQ(written.code(), driverwyr::Status::Code::kIoError);
  EXPECT_EQ(written.message(), (folder_ / "part.wyr") + ": cannot be written (File too large)");
  EXPECT_EQ(ReadBytes(folder_ / "part.wyr"), good);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"part.wyr"}) << "the temporary file is removed";
  // The file could be created, so the writer shows nothing of its own; the
  // run reports the failure ("program created failed !").
  EXPECT_TRUE(ui_.boxes.empty());
}

}  // namespace
