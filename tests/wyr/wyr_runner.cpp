#include "wyr_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace wyr_test {

WyrResult RunWyr(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
  std::vector<std::string> argv = args;
  argv.insert(argv.begin(), WYR_PATH);
  return RunProgram(argv, env);
}

WyrResult RunProgram(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
  const std::filesystem::path folder = MakeTempFolder("wyr-run");
  const std::filesystem::path out_path = folder / "stdout", err_path = folder / "stderr";
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (auto& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  WyrResult result{WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1, ReadFile(out_path), ReadFile(err_path)};
  std::filesystem::remove_all(folder);
  return result;
}

std::filesystem::path MakeTempFolder(const std::string& name) {
  static std::mt19937_64 random{std::random_device{}()};
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / (name + "-" + std::to_string(random()));
  std::filesystem::create_directories(folder);
  return folder;
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
