// Several `wyr run` processes at once, and runs killed part-way: program
// numbers are never shared, the serial counter ends at the number of programs
// created, a program told "created" is on disk whole, and a killed run never
// spoils the program it was replacing nor blocks the next run.
//
// DRIVERWYR_STRESS_ROUNDS sets the number of rounds of the concurrent tests
// (50 by default).
#include <signal.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr std::size_t kHeaderSize = 125;
constexpr std::size_t kRecordSize = 145;

int Rounds() {
  const char* rounds = std::getenv("DRIVERWYR_STRESS_ROUNDS");
  return rounds != nullptr && std::atoi(rounds) > 0 ? std::atoi(rounds) : 50;
}

class ManyHostsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("wyr-many-hosts");
    job_ = json::parse(ReadFile(fs::path(JOBS_DIR) / "create.json"));
    // Two groups, so every run creates two programs.
    job_["steps"][1]["SetupIndex"] = 2;
    job_["setups"].push_back(job_["setups"][0]);
    job_["setups"][1]["SetupIndex"] = 1;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes the job with its programs in `out` and returns its path.
  fs::path WriteJob(const std::string& name, const fs::path& out) {
    json job = job_;
    job["paths"]["program"] = (out / "PART.bmf").string();
    fs::create_directories(out);
    const fs::path file = dir_ / (name + ".json");
    WriteFile(file, job.dump());
    return file;
  }
  static StartedWyr Start(const fs::path& job, const fs::path& config) {
    return StartWyr({"run", job.string(), "--now", "2026-12-07T10:00:00Z"},
                    {{"XDG_CONFIG_HOME", config.string()}, {"TZ", "UTC"}});
  }
  static WyrResult Run(const fs::path& job, const fs::path& config) {
    StartedWyr run = Start(job, config);
    return WaitWyr(run);
  }
  static std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path dir_;
  json job_;
};

TEST_F(ManyHostsTest, ConcurrentRunsNeverShareAProgramNumber) {
  for (const int hosts : {2, 4}) {
    std::vector<fs::path> jobs;
    for (int h = 0; h < hosts; ++h) jobs.push_back(WriteJob("host" + std::to_string(h), dir_ / "out" / std::to_string(h)));
    for (int round = 0; round < Rounds(); ++round) {
      SCOPED_TRACE(::testing::Message() << hosts << " hosts, round " << round);
      const fs::path config = dir_ / ("config-" + std::to_string(hosts) + "-" + std::to_string(round));
      std::vector<StartedWyr> runs;
      for (const fs::path& job : jobs) runs.push_back(Start(job, config));
      for (StartedWyr& run : runs) {
        const WyrResult result = WaitWyr(run);
        ASSERT_EQ(result.status, 0) << result.out << result.err;
      }
      std::set<std::string> numbers;
      for (int h = 0; h < hosts; ++h) {
        for (const char* file : {"PART.S1P1.wyr", "PART.S2P2.wyr"}) {
          const std::string bytes = ReadFile(dir_ / "out" / std::to_string(h) / file);
          ASSERT_EQ(bytes.size(), kHeaderSize + 2 * kRecordSize) << file;
          numbers.insert(bytes.substr(0, 6));
        }
      }
      EXPECT_EQ(numbers.size(), static_cast<std::size_t>(2 * hosts)) << "a number was given twice";
      EXPECT_EQ(*numbers.begin(), "120700");
      EXPECT_EQ(ReadFile(config / "Ostrel" / "TorvaneCommon" / "Default"),
                "Serial Number=" + std::to_string(2 * hosts) + "\nSerial Month=12\nSerial Day=7\n");
      fs::remove_all(config);
    }
  }
}

TEST_F(ManyHostsTest, TwoRunsReplacingOneProgramBothLeaveItWhole) {
  // Each run keeps a counter of its own, so both write the same bytes.
  const fs::path job = WriteJob("same", dir_ / "out");
  ASSERT_EQ(Run(job, dir_ / "solo").status, 0);
  const std::string expected = ReadFile(dir_ / "out" / "PART.S1P1.wyr");
  ASSERT_EQ(expected.size(), kHeaderSize + 2 * kRecordSize);
  for (int round = 0; round < 4 * Rounds(); ++round) {
    SCOPED_TRACE(::testing::Message() << "round " << round);
    StartedWyr first = Start(job, dir_ / "a");
    StartedWyr second = Start(job, dir_ / "b");
    for (StartedWyr* run : {&first, &second}) {
      const WyrResult result = WaitWyr(*run);
      EXPECT_EQ(result.status, 0) << result.out << result.err;
      EXPECT_THAT(result.out, ::testing::HasSubstr("message: The program is created"));
    }
    EXPECT_EQ(ReadFile(dir_ / "out" / "PART.S1P1.wyr"), expected);
    EXPECT_EQ(Entries(dir_ / "out").size(), 2u) << "no temporary file is left";
    fs::remove_all(dir_ / "a");
    fs::remove_all(dir_ / "b");
  }
}

TEST_F(ManyHostsTest, AKilledRunNeverSpoilsTheProgramItReplacesNorBlocksTheNext) {
  // One group of 30,000 steps: a program of 4.35 MB.
  json job = job_;
  const json step = job["steps"][0];
  job["steps"] = json::array();
  for (int i = 0; i < 30000; ++i) job["steps"].push_back(step);
  job["setups"] = json::array({job_["setups"][0]});
  job["paths"]["program"] = (dir_ / "out" / "PART.bmf").string();
  fs::create_directories(dir_ / "out");
  const fs::path file = dir_ / "big.json";
  WriteFile(file, job.dump());
  const fs::path program = dir_ / "out" / "PART.wyr";
  const std::size_t size = kHeaderSize + 30001 * kRecordSize;

  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Run(file, dir_ / "config").status, 0);
  const auto solo = std::chrono::steady_clock::now() - started;
  std::mt19937 random(20261209);
  for (int kill = 0; kill < 20; ++kill) {
    SCOPED_TRACE(::testing::Message() << "kill " << kill);
    const std::string before = ReadFile(program);
    ASSERT_EQ(before.size(), size);
    StartedWyr run = Start(file, dir_ / "config");
    std::this_thread::sleep_for(solo * std::uniform_real_distribution<>(0.3, 1.1)(random));
    ::kill(run.pid, SIGKILL);
    WaitWyr(run);
    // The old program, or the new one complete: never a part of either.
    const std::string after = ReadFile(program);
    ASSERT_EQ(after.size(), size);
    EXPECT_TRUE(after == before || after.substr(6) == before.substr(6)) << "a mix of two programs";
    EXPECT_EQ(after.substr(0, 4), "1207");
    EXPECT_EQ(Entries(dir_ / "out"), std::vector<std::string>{"PART.wyr"}) << "nothing is left beside it";
  }
  const WyrResult next = Run(file, dir_ / "config");
  EXPECT_EQ(next.status, 0) << next.out << next.err;
  EXPECT_EQ(ReadFile(program).size(), size);
}

}  // namespace
}  // namespace wyr_test
