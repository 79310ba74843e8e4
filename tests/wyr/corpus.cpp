#include "corpus.h"

#include <string>

#include "wyr_runner.h"

namespace wyr_test {

namespace fs = std::filesystem;
using json = nlohmann::json;

json CorpusCases() { return json::parse(ReadFile(fs::path(JOBS_DIR) / "runs.json")).at("cases"); }

fs::path CounterFileIn(const fs::path& dir) { return dir / "config" / "Ostrel" / "TorvaneCommon" / "Default"; }

void LayOutCase(const json& entry, const fs::path& dir) {
  WriteFile(dir / "job.json", ReadFile(fs::path(JOBS_DIR) / entry.at("job").get<std::string>()));
  for (const std::string folder : entry.value("folders", json::array({"out"}))) fs::create_directories(dir / folder);
  const json counter = entry.value("counter", json::object());
  if (counter.is_null()) return;
  std::string lines;
  for (const auto& [name, value] : counter.items()) lines += name + "=" + value.get<std::string>() + "\n";
  fs::create_directories(CounterFileIn(dir).parent_path());
  WriteFile(CounterFileIn(dir), lines);
}

}  // namespace wyr_test
