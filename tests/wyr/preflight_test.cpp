// End-to-end tests of the pre-flight report in wyr: the text `wyr check`
// prints and `wyr run --strict`. The findings themselves are tested in
// process (tests/preflight).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/clean_job.h"
#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::HasSubstr;

class PreflightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("wyr-preflight");
    fs::copy(fs::path(EXAMPLES_DIR) / "materials", dir_ / "materials", fs::copy_options::recursive);
    WriteFile(dir_ / "tools.cnv", "P88 P88\nD16 D16\nH60 H60\nS10 S10\n");
    fs::create_directories(dir_ / "out");
    env_ = {{"XDG_CONFIG_HOME", (dir_ / "config").string()}, {"TZ", "UTC"}};
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string WriteJob(const json& job) {
    const fs::path file = dir_ / "job.json";
    WriteFile(file, job.dump(2));
    return file.string();
  }
  WyrResult Check(const json& job, bool as_json = true) {
    const std::string file = WriteJob(job);
    return as_json ? RunWyr({"check", "--json", file}, env_) : RunWyr({"check", file}, env_);
  }
  bool NothingWritten() const {
    return fs::is_empty(dir_ / "out") && !fs::exists(dir_ / "config") && !fs::exists(dir_ / "transcript");
  }

  fs::path dir_;
  std::map<std::string, std::string> env_;
};

// Where a finding is: the step's place and number, its group, the record,
// and the calculation's own words.
TEST_F(PreflightTest, CheckPrintsEachFindingWithItsPlace) {
  json job = json::parse(testing_jobs::kCleanJob);
  job["steps"][1]["ToolID"][1] = "D99";
  job["steps"][1]["NumberInSquence"] = 7;
  job["tools"][1]["VWidth"] = 50;
  const json report = json::parse(Check(job).out);
  EXPECT_EQ(report["findings"][1]["message"], "The die is not in the tool list. (the step names the die \"D99\")");
  const WyrResult text = Check(job, false);
  EXPECT_EQ(text.status, 3);
  EXPECT_THAT(text.out, HasSubstr("bgauges: 0\n"
                                  "pre-flight report: 1 error, 1 warning, 0 notes\n"
                                  "warning vt-above-20: steps[0] (step 1), tools[1]: The Die V Width / Thickness "
                                  "is greater than 20\n"
                                  "error unknown-die: steps[1] (step 7), steps[1].ToolID[1]: The die is not in the "
                                  "tool list. (the step names the die \"D99\")\n"));
}

TEST_F(PreflightTest, StrictRunRefusesAJobWithErrorsAndWritesNothing) {
  json job = json::parse(testing_jobs::kCleanJob);
  job["steps"][0]["ToolID"][1] = "D99";
  const std::string file = WriteJob(job);
  const std::string transcript = (dir_ / "transcript").string();
  const WyrResult refused = RunWyr({"run", file, "--strict", "--transcript", transcript}, env_);
  EXPECT_EQ(refused.status, 3);
  EXPECT_EQ(refused.out, "");
  EXPECT_THAT(refused.err, HasSubstr("--strict: the job is not run"));
  EXPECT_THAT(refused.err, HasSubstr("error unknown-die: steps[0] (step 1)"));
  EXPECT_TRUE(NothingWritten()) << "no program, no transcript, no serial counter key";

  // Warnings do not stop it: the run is the same as without --strict.
  job = json::parse(testing_jobs::kCleanJob);
  job["tools"][1]["VWidth"] = 50;
  WriteJob(job);
  const WyrResult strict = RunWyr({"run", file, "--strict", "--now", "2026-12-07T10:00:00Z"}, env_);
  ASSERT_EQ(strict.status, 0) << strict.err;
  const std::string program = ReadFile(dir_ / "out" / "PART.wyr");
  EXPECT_FALSE(program.empty());
  fs::remove_all(dir_ / "out");
  fs::remove_all(dir_ / "config");
  fs::create_directories(dir_ / "out");
  const WyrResult plain = RunWyr({"run", file, "--now", "2026-12-07T10:00:00Z"}, env_);
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(strict.out, plain.out);
  EXPECT_EQ(ReadFile(dir_ / "out" / "PART.wyr"), program);
}

}  // namespace
}  // namespace wyr_test
