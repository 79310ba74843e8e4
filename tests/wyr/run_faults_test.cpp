// `wyr run` when the job's program path names no file or the serial counter
// cannot be stored: refused before anything happens, or told and reflected
// in the exit status, never silent.
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
  const struct {
    const char* name;
    void (*prepare)(const fs::path& counter);
  } cases[] = {
      {"read-only file", [](const fs::path& c) { WriteFile(c, ""); ::chmod(c.c_str(), 0444); }},
      {"a folder in its place", [](const fs::path& c) { fs::create_directories(c); }},
      {"a link to /dev/null", [](const fs::path& c) { fs::create_symlink("/dev/null", c); }},
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
      EXPECT_THAT(result.out, HasSubstr("message: The program number 120700 could not be saved: the next program "
                                        "may get the same number.\\x0A"));
      EXPECT_THAT(ReadFile(dir_ / "t.jsonl"), HasSubstr("\"style\":48}"));
      EXPECT_THAT(result.out, HasSubstr("done: "));
      EXPECT_EQ(ReadFile(dir_ / "out" / "PART.wyr").substr(0, 6), "120700");
    }
  }
}

}  // namespace
}  // namespace wyr_test
