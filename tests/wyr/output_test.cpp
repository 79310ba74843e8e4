// What `wyr` prints, as the reader of its standard output sees it: output
// that cannot be written fails every command with the reason, each line of
// a run is there as soon as its event happened (a run ended by a signal has
// shown every program it left on disk), texts from the job cannot make
// lines of their own, and files too large to be what they claim are refused
// before they are read.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::HasSubstr;

constexpr const char* kCreated = "message: The program is created, you can now use Linvaro to send it to the control.";

// Runs wyr with its standard output on `out_fd` (closed in the parent
// afterwards by the caller) and returns the exit status and standard error.
WyrResult RunWithOutput(const std::vector<std::string>& args, int out_fd, const fs::path& config) {
  const fs::path err_path = fs::path(MakeTempFolder("wyr-output-err")) / "stderr";
  const pid_t pid = fork();
  if (pid == 0) {
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (err < 0 || in < 0 || dup2(in, 0) < 0 || dup2(out_fd, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::vector<std::string> copies = args;
    copies.insert(copies.begin(), WYR_PATH);
    std::vector<char*> pointers;
    for (auto& arg : copies) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  WyrResult result{WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1, "", ReadFile(err_path)};
  fs::remove_all(err_path.parent_path());
  return result;
}

class OutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("wyr-output");
    fs::create_directories(dir_ / "out");
    job_ = json::parse(ReadFile(fs::path(JOBS_DIR) / "create.json"));
    WriteFile(dir_ / "job.json", job_.dump());
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> RunArgs() const {
    return {"run", (dir_ / "job.json").string(), "--now", "2026-12-07T10:00:00Z"};
  }
  std::map<std::string, std::string> Env() const { return {{"XDG_CONFIG_HOME", (dir_ / "config").string()}}; }
  int ProgramCount() const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir_ / "out")) count += entry.path().extension() == ".wyr";
    return count;
  }

  fs::path dir_;
  json job_;
};

// Every command that prints fails with status 1 and says why when its
// standard output is a full disk or a pipe nobody reads.
TEST_F(OutputTest, OutputThatCannotBeWrittenFailsEveryCommand) {
  const std::string program = (fs::path(TEST_DATA_DIR).parent_path().parent_path() / "program_file" / "golden" /
                               "mm_one_step.wyr").string();
  const std::string material = (fs::path(EXAMPLES_DIR) / "materials" / "f_1").string();
  const std::vector<std::vector<std::string>> kCommands = {
      RunArgs(),
      {"check", (dir_ / "job.json").string()},
      {"check", (dir_ / "job.json").string(), "--json"},
      {"dump", program},
      {"dump", program, "--json"},
      {"material", "dump", material},
      {"material", "dump", material, "--json"},
      {"material", "eval", material, "--angle", "90", "--ratio", "8"},
      {"--help"},
  };
  for (const bool pipe_closed : {false, true}) {
    for (const auto& args : kCommands) {
      SCOPED_TRACE(testing::Message() << (pipe_closed ? "closed pipe: " : "/dev/full: ") << args[0] << " "
                                      << args.back());
      int out = -1;
      if (pipe_closed) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        close(ends[0]);
        out = ends[1];
      } else {
        out = open("/dev/full", O_WRONLY);
        ASSERT_GE(out, 0);
      }
      const WyrResult result = RunWithOutput(args, out, dir_ / "config");
      close(out);
      EXPECT_EQ(result.status, 1) << result.err;
      EXPECT_THAT(result.err, HasSubstr(std::string("wyr: standard output could not be written: ") +
                                        (pipe_closed ? "Broken pipe" : "No space left on device")));
    }
  }
  // The run's programs were written all the same; only their report was lost.
  EXPECT_EQ(ProgramCount(), 1);
}

TEST_F(OutputTest, ATranscriptThatCannotBeWrittenFailsTheRun) {
  std::vector<std::string> args = RunArgs();
  args.insert(args.end(), {"--transcript", "/dev/full"});
  const WyrResult result = RunWyr(args, Env());
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_THAT(result.err, HasSubstr("--transcript: /dev/full: could not be written completely (No space left on device)"));
  EXPECT_THAT(result.out, HasSubstr(kCreated));
}

// Line feeds, carriage returns and other control bytes in the program path
// reach the files as they are but show as \xNN: each event stays one line.
TEST_F(OutputTest, TextsFromTheJobCannotStartALine) {
  const struct {
    std::string name;
    std::string shown;
  } kCases[] = {
      {"A\ndone: B", "A\\x0Adone: B"},
      {"A\rB", "A\\x0DB"},
      {"A\tB\x1B[2J", "A\\x09B\\x1B[2J"},
      {"A\xE2\x80\xA8" "B", "A\\xE2\\x80\\xA8B"},
      {"\xC3\x84RGER", "\xC3\x84RGER"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.shown);
    job_["paths"]["program"] = "out/" + c.name + ".bmf";
    WriteFile(dir_ / "job.json", job_.dump());
    const WyrResult result = RunWyr(RunArgs(), Env());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(dir_ / "out" / (c.name + ".wyr")));
    std::istringstream lines(result.out);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
      EXPECT_TRUE(line.starts_with("dialog 0: ") || line.starts_with("closed 0: ") || line.starts_with("message: ") ||
                  line.starts_with("done: "))
          << line;
    }
    EXPECT_EQ(count, 4) << result.out;
    EXPECT_THAT(result.out, HasSubstr(c.shown + ".wyr\nclosed 0: "));
    EXPECT_THAT(result.out, HasSubstr("done: " + (dir_ / "out").string() + "/" + c.shown + ".bmf\n"));
    fs::remove(dir_ / "out" / (c.name + ".wyr"));
  }
}

// A material file whose path is no UTF-8 is dumped as JSON with U+FFFD in
// the path, not refused as if the file were at fault.
TEST_F(OutputTest, JsonOfAPathThatIsNoUtf8) {
  const fs::path material = dir_ / "f\xFF";
  fs::copy_file(fs::path(EXAMPLES_DIR) / "materials" / "f_1", material);
  const WyrResult result = RunWyr({"material", "dump", material.string(), "--json"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("f\xEF\xBF\xBD\""));
}

// A file far larger than anything of its kind is refused at once, by its
// size, without reading it: a sparse file of a gigabyte costs no disk.
TEST_F(OutputTest, FilesLargerThanTheirKindAreRefusedBeforeReading) {
  const fs::path huge = dir_ / "huge";
  WriteFile(huge, "{");
  fs::resize_file(huge, (std::uintmax_t{1} << 30) + 1);
  const struct {
    std::vector<std::string> args;
    std::string error;
  } kCases[] = {
      {{"run", huge.string()}, "huge: is larger than 1073741824 bytes"},
      {{"check", huge.string()}, "huge: is larger than 1073741824 bytes"},
      {{"dump", huge.string()}, "huge: not a program file: it is larger than the largest program file"},
      {{"material", "build", huge.string(), "-o", (dir_ / "f_1").string()}, "huge: is larger than 16777216 bytes"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.args[0]);
    const WyrResult result = RunWyr(c.args, Env());
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_THAT(result.err, HasSubstr(c.error));
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(fs::exists(dir_ / "f_1"));
}

// A run ended by SIGTERM has shown the line of every program it left on
// disk: a program on its way to the disk holds the signal until its line is out.
TEST_F(OutputTest, ARunEndedBySignalHasReportedEveryProgramOnDisk) {
  json job = job_;
  job["setups"] = json::array();
  job["steps"] = json::array();
  constexpr int kGroups = 300;
  for (int i = 0; i < kGroups; ++i) {
    job["setups"].push_back({{"SetupName", "S" + std::to_string(i)}, {"ControlType", 2}, {"SetupIndex", i},
                             {"UserMachineName", "PB100"}});
    json step = job_["steps"][0];
    step["SetupIndex"] = i + 1;
    job["steps"].push_back(step);
  }
  job.erase("operator");
  WriteFile(dir_ / "job.json", job.dump());
  for (const int after : {1, 5, 20}) {
    SCOPED_TRACE(after);
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");
    StartedWyr started = StartWyr(RunArgs(), Env());
    for (int wait = 0; wait < 3000 && ProgramCount() < after; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(started.pid, SIGTERM);
    const WyrResult result = WaitWyr(started);
    int reported = 0;
    for (std::size_t at = result.out.find(kCreated); at != std::string::npos; at = result.out.find(kCreated, at + 1)) {
      ++reported;
    }
    EXPECT_EQ(reported, ProgramCount()) << result.out;
    EXPECT_GE(ProgramCount(), after);
  }
}

}  // namespace
}  // namespace wyr_test
