#include "wyr_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace wyr_test {
namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

WyrResult RunWyr(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                 const std::filesystem::path& cwd) {
  const std::filesystem::path folder = MakeTempFolder("wyr-run");
  const std::filesystem::path out_path = folder / "stdout";
  const std::filesystem::path err_path = folder / "stderr";
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    std::string program = WYR_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (auto& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  WyrResult result;
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  result.out = Slurp(out_path);
  result.err = Slurp(err_path);
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

std::string ReadFile(const std::filesystem::path& path) { return Slurp(path); }

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

}  // namespace wyr_test
