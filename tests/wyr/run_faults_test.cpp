// `wyr run` when the job's program path names no file or the serial counter
// cannot be stored: refused before anything happens, or told and reflected
// in the exit status, never silent.
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::HasSubstr;

class RunFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("wyr-run-faults");
    fs::create_directories(dir_ / "out");
    job_ = json::parse(ReadFile(fs::path(JOBS_DIR) / "create.json"));
  }
  void TearDown() override { fs::remove_all(dir_); }

  WyrResult Run() {
    WriteFile(dir_ / "job.json", job_.dump());
    return RunWyr({"run", (dir_ / "job.json").string(), "--transcript", (dir_ / "t.jsonl").string(), "--now",
                   "2026-12-07T10:00:00Z"},
                  {{"XDG_CONFIG_HOME", (dir_ / "config").string()}});
  }
  fs::path Counter() const { return dir_ / "config" / "Ostrel" / "TorvaneCommon" / "Default"; }

  fs::path dir_;
  json job_;
};

TEST_F(RunFaultsTest, AProgramPathThatNamesNoFileIsRefused) {
  for (const json& program : {json(nullptr), json(""), json("out/"), json("out/.bmf"), json("out/..bmf"),
                              json("out/.."), json("out/..."), json("out/.S1.bmf")}) {
    SCOPED_TRACE(program.dump());
    if (program.is_null()) {
      job_["paths"].erase("program");
    } else {
      job_["paths"]["program"] = program;
    }
    const WyrResult result = Run();
    EXPECT_EQ(result.status, 2) << result.out << result.err;
    EXPECT_THAT(result.err, HasSubstr("paths.program: "));
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
    EXPECT_FALSE(fs::exists(dir_ / "t.jsonl"));
    EXPECT_FALSE(fs::exists(Counter()));
  }
}

TEST_F(RunFaultsTest, ACounterThatCannotBeStoredIsToldAndFailsTheRun) {
  // A counter that can be read but not stored keeps its number for the next
  // run; one that cannot even be read gives the number the dialog proposed.
  const std::string not_saved =
      "message: The program number 120700 could not be saved: the next program may get the same number.\\x0A";
  const std::string not_read =
      "message: The program number counter could not be read: this program is numbered 120700, which another "
      "program may have too.\\x0A";
  const struct {
    const char* name;
    void (*prepare)(const fs::path& counter);
    const std::string& message;
  } cases[] = {
      {"read-only file", [](const fs::path& c) { WriteFile(c, ""); ::chmod(c.c_str(), 0444); }, not_saved},
      {"a folder in its place", [](const fs::path& c) { fs::create_directories(c); }, not_read},
      {"a link to /dev/null", [](const fs::path& c) { fs::create_symlink("/dev/null", c); }, not_read},
      {"garbage", [](const fs::path& c) { WriteFile(c, "Serial Number=5\nSerial Month=twelve\nSerial Day=7\n"); },
       not_read},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir_ / "config");
    fs::create_directories(Counter().parent_path());
    c.prepare(Counter());
    for (int run = 0; run < 2; ++run) {
      const WyrResult result = Run();
      EXPECT_EQ(result.status, 1) << result.out << result.err;
      // Told, and the program written all the same; the number may repeat.
      // The reason follows on the box's next line, shown as \x0A on the message's one line.
      EXPECT_THAT(result.out, HasSubstr(c.message));
      EXPECT_THAT(ReadFile(dir_ / "t.jsonl"), HasSubstr("\"style\":48}"));
      EXPECT_THAT(result.out, HasSubstr("done: "));
      EXPECT_EQ(ReadFile(dir_ / "out" / "PART.wyr").substr(0, 6), "120700");
    }
  }
}

// A depth the machine's 3 mm stroke cannot take is told in the step's box,
// with the warning icon, and fails the run; the program is written as
// calculated. The second step brings its own depth (Mode 1): the host's, not
// checked.
TEST_F(RunFaultsTest, ADepthBeyondTheStrokeIsToldAndFailsTheRun) {
  job_ = json::parse(ReadFile(fs::path(TEST_DATA_DIR) / "beyond_stroke.json"));
  job_["paths"]["data"] = (fs::path(EXAMPLES_DIR) / "materials").string();
  const WyrResult result = Run();
  EXPECT_EQ(result.status, 1) << result.out << result.err;
  EXPECT_THAT(result.out, HasSubstr("message: Please note: [for step number: 1]\\x0A"));
  EXPECT_THAT(ReadFile(dir_ / "t.jsonl"),
              HasSubstr("{\"event\":\"message\",\"text\":\"Please note: [for step number: 1]\\nThe calculated "
                        "depth or force is beyond what the machine can take\\n\",\"style\":48}"));
  EXPECT_THAT(result.out, HasSubstr("The program is created"));
  const std::string program = ReadFile(dir_ / "out" / "PART.wyr");
  ASSERT_EQ(program.size(), 125u + 3u * 145u);
  float depth = 0;
  std::memcpy(&depth, program.data() + 125 + 20, 4);  // Y1 of the first record
  EXPECT_LT(depth, -3.0f) << "written as calculated";
  std::memcpy(&depth, program.data() + 125 + 145 + 20, 4);
  EXPECT_EQ(depth, -250.0f) << "the host's own depth";
}

}  // namespace
}  // namespace wyr_test
