// Runs the wyr program for end-to-end tests.
#ifndef DRIVERWYR_TESTS_WYR_WYR_RUNNER_H_
#define DRIVERWYR_TESTS_WYR_WYR_RUNNER_H_

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace wyr_test {

struct WyrResult {
  int status = -1;      // exit status
  std::string out;      // standard output
  std::string err;      // standard error
};

// Runs WYR_PATH with `args`, with the extra environment variables `env` set,
// in the working directory `cwd` (the current one when empty).
WyrResult RunWyr(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env = {},
                 const std::filesystem::path& cwd = {});

// A fresh, empty temporary folder for one test, removed by the caller or left
// under the system's temporary folder.
std::filesystem::path MakeTempFolder(const std::string& name);

// Reads a whole file as bytes.
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace wyr_test

#endif  // DRIVERWYR_TESTS_WYR_WYR_RUNNER_H_
