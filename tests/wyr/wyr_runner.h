// Runs the wyr program for end-to-end tests.
#ifndef DRIVERWYR_TESTS_WYR_WYR_RUNNER_H_
#define DRIVERWYR_TESTS_WYR_WYR_RUNNER_H_

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace wyr_test {

struct WyrResult {
  int status = -1;  // exit status
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs WYR_PATH with `args` and the extra environment variables `env`, with
// standard input from /dev/null.
WyrResult RunWyr(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {});

// Runs the program `argv[0]` (a path) in the same way.
WyrResult RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {});

// A program started in the background, with its output in files.
struct StartedWyr {
  int pid = -1;
  std::filesystem::path folder;  // holds "stdout" and "stderr"; removed by Wait
};
StartedWyr StartWyr(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {});
StartedWyr StartProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {});
// Waits for it to end. `status` is -1 when it ended by a signal.
WyrResult WaitWyr(StartedWyr& started);

// A fresh, empty folder under the system's temporary folder; the caller removes it.
std::filesystem::path MakeTempFolder(const std::string& name);

// Lays out the example job in `folder` as a fresh clone holds it: the job
// file bracket.json, its conversion file tools.cnv and its material data
// folder materials/, beside an empty out/ for its programs. Nothing a run of
// the example left in the source tree's examples/ is copied.
void CopyExample(const std::filesystem::path& folder);

// A whole file as bytes ("" when it cannot be read), and its replacement.
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace wyr_test

#endif  // DRIVERWYR_TESTS_WYR_WYR_RUNNER_H_
