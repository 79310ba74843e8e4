#include "wyr_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace wyr_test {

StartedWyr StartProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
  StartedWyr started;
  started.folder = MakeTempFolder("wyr-run");
  const std::filesystem::path out_path = started.folder / "stdout", err_path = started.folder / "stderr";
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<std::string> copies = argv;
    std::vector<char*> pointers;
    for (auto& arg : copies) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  started.pid = pid;
  return started;
}

StartedWyr StartWyr(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
  std::vector<std::string> argv = args;
  argv.insert(argv.begin(), WYR_PATH);
  return StartProgram(argv, env);
}

WyrResult WaitWyr(StartedWyr& started) {
  int wait_status = 0;
  waitpid(started.pid, &wait_status, 0);
  WyrResult result{WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1, ReadFile(started.folder / "stdout"),
                   ReadFile(started.folder / "stderr")};
  std::filesystem::remove_all(started.folder);
  return result;
}

WyrResult RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
  StartedWyr started = StartProgram(argv, env);
  return WaitWyr(started);
}

WyrResult RunWyr(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
  StartedWyr started = StartWyr(args, env);
  return WaitWyr(started);
}

std::filesystem::path MakeTempFolder(const std::string& name) {
  static std::mt19937_64 random{std::random_device{}()};
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / (name + "-" + std::to_string(random()));
  std::filesystem::create_directories(folder);
  return folder;
}

void CopyExample(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  const fs::path examples = EXAMPLES_DIR;
  fs::create_directories(folder / "out");
  fs::copy_file(examples / "bracket.json", folder / "bracket.json");
  fs::copy_file(examples / "tools.cnv", folder / "tools.cnv");
  fs::copy(examples / "materials", folder / "materials", fs::copy_options::recursive);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace wyr_test
