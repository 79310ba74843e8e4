// Several wyr.exe processes at once against the registry's serial counter:
// 2 and then 4 hosts per round, each running a job of two groups. No two
// programs of a round may share a program number, and the counter must end
// at the number of programs created.
//
// Usage: many_hosts WYR.EXE RUN_JOB.json   (Unix paths are taken as Z:\...)
// DRIVERWYR_STRESS_ROUNDS sets the rounds per host count (50 by default).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

namespace {

using json = nlohmann::json;

constexpr char kKey[] = "Software\\Ostrel\\TorvaneCommon\\Default";

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// An empty serial counter key, as a fresh installation has it.
bool ResetKey() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

std::string CounterValue(const char* name) {
  char data[16] = {};
  DWORD size = sizeof data - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, nullptr, data, &size) != ERROR_SUCCESS) return "?";
  return std::string(data, strnlen(data, size));
}

// Starts wyr run on the job, its output and errors into LOG (so that a run
// that fails can say why).
HANDLE Start(const std::string& wyr, const std::string& job, const std::string& log) {
  std::string command = "\"" + wyr + "\" run \"" + job + "\" --now 2026-12-07T10:00:00Z";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE null = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                  nullptr);
  const HANDLE output = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null;
  startup.hStdOutput = startup.hStdError = output;
  PROCESS_INFORMATION process{};
  // Wine, loaded, now and then fails to start a process at all (the host
  // never runs, so nothing of the counter is touched): such a start is tried
  // again, at most three times in all.
  BOOL started = FALSE;
  for (int attempt = 1; attempt <= 3 && !started; ++attempt) {
    started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (!started) {
      std::printf("%s did not start (attempt %d, error %lu)\n", job.c_str(), attempt,
                  static_cast<unsigned long>(GetLastError()));
      Sleep(200);
    }
  }
  CloseHandle(null);
  CloseHandle(output);
  if (!started) return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: many_hosts WYR.EXE RUN_JOB.json\n");
    return 2;
  }
  const std::string wyr = WindowsPath(argv[1]);
  json job = json::parse(ReadAll(WindowsPath(argv[2])));
  job["steps"][1]["SetupIndex"] = 2;
  job["setups"].push_back(job["setups"][0]);
  job["setups"][1]["SetupIndex"] = 1;
  const char* rounds_text = std::getenv("DRIVERWYR_STRESS_ROUNDS");
  const int rounds = rounds_text != nullptr && std::atoi(rounds_text) > 0 ? std::atoi(rounds_text) : 50;

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "driverwyr_many_hosts_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(root.c_str(), nullptr);

  int failures = 0;
  for (const int hosts : {2, 4}) {
    std::vector<std::string> jobs;
    for (int h = 0; h < hosts; ++h) {
      const std::string out = root + "\\out" + std::to_string(hosts) + "_" + std::to_string(h);
      CreateDirectoryA(out.c_str(), nullptr);
      job["paths"]["program"] = out + "\\PART.bmf";
      jobs.push_back(root + "\\job" + std::to_string(hosts) + "_" + std::to_string(h) + ".json");
      std::ofstream(jobs.back(), std::ios::binary) << job.dump();
    }
    for (int round = 0; round < rounds; ++round) {
      if (!ResetKey()) {
        std::printf("FAIL: the serial counter key cannot be created\n");
        return 1;
      }
      std::vector<HANDLE> runs;
      for (const std::string& file : jobs) runs.push_back(Start(wyr, file, file + ".log"));
      bool ran = true;
      for (std::size_t h = 0; h < runs.size(); ++h) {
        const HANDLE run = runs[h];
        DWORD code = 1;
        if (run == nullptr || WaitForSingleObject(run, 120000) != WAIT_OBJECT_0 || !GetExitCodeProcess(run, &code) ||
            code != 0) {
          ran = false;
          std::printf("host %zu of round %d: %s, status %lu, said:\n%s\n", h, round,
                      run == nullptr ? "not started" : "failed", static_cast<unsigned long>(code),
                      ReadAll(jobs[h] + ".log").c_str());
        }
        if (run != nullptr) CloseHandle(run);
      }
      std::set<std::string> numbers;
      for (int h = 0; h < hosts; ++h) {
        for (const char* name : {"PART.S1P1.wyr", "PART.S2P2.wyr"}) {
          const std::string bytes =
              ReadAll(root + "\\out" + std::to_string(hosts) + "_" + std::to_string(h) + "\\" + name);
          numbers.insert(bytes.size() == 415 ? bytes.substr(0, 6) : "bad size");
        }
      }
      const std::string counter = CounterValue("Serial Number");
      if (!ran || numbers.size() != static_cast<std::size_t>(2 * hosts) || numbers.count("bad size") != 0 ||
          counter != std::to_string(2 * hosts) || CounterValue("Serial Day") != "7") {
        std::string list;
        for (const std::string& number : numbers) list += " " + number;
        std::printf("FAIL: %d hosts, round %d: exit %s, numbers%s, counter %s\n", hosts, round,
                    ran ? "0" : "not 0", list.c_str(), counter.c_str());
        ++failures;
      }
    }
    std::printf("%d hosts: %d rounds\n", hosts, rounds);
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
  if (failures != 0) return 1;
  std::printf("PASS: no program number given twice, the counter always at the programs created\n");
  return 0;
}
