// The pre-flight report and the run never disagree: on every job of the
// end-to-end corpus and on the example job, the calculation's warnings that
// `wyr check` reports are the warning boxes that `wyr run` then shows, step
// for step and word for word, in the same order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "corpus.h"
#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// The heading of a step's warning box; the step's number follows it.
constexpr std::string_view kBoxHeading = "Please note: [for step number: ";

// (step number, line) of every line of every warning box in a transcript.
std::vector<std::pair<int, std::string>> BoxLines(const fs::path& transcript) {
  std::vector<std::pair<int, std::string>> lines;
  std::istringstream events(ReadFile(transcript));
  for (std::string event; std::getline(events, event);) {
    const json parsed = json::parse(event);
    if (parsed["event"] != "message") continue;
    const std::string text = parsed["text"];
    if (text.rfind(kBoxHeading, 0) != 0) continue;
    std::istringstream box(text);
    std::string line;
    std::getline(box, line);
    const int number = std::stoi(line.substr(kBoxHeading.size()));
    while (std::getline(box, line)) lines.emplace_back(number, line);
  }
  return lines;
}

// (step number, message) of every calculation finding of a report.
std::vector<std::pair<int, std::string>> CalculationFindings(const json& report) {
  std::vector<std::pair<int, std::string>> found;
  for (const json& finding : report.at("findings")) {
    if (finding["category"] == "calculation") found.emplace_back(finding["number"], finding["message"]);
  }
  return found;
}

// (Y1, TonnageValue) of every record of every program file under `folder`.
std::multiset<std::pair<double, int>> WrittenDepthsAndForces(const fs::path& folder) {
  std::multiset<std::pair<double, int>> written;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().extension() != ".wyr") continue;
    const WyrResult dumped = RunWyr({"dump", "--json", entry.path().string()});
    if (dumped.status != 0) {
      ADD_FAILURE() << entry.path() << ": " << dumped.err;
      continue;
    }
    const json program = json::parse(dumped.out);
    for (const json& record : program["records"]) written.emplace(record["Y1"], record["TonnageValue"]);
  }
  return written;
}

struct Laid {
  std::string name;
  fs::path job;
  std::map<std::string, std::string> env;
  std::string now;
};

class PreflightCorpusTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = MakeTempFolder("wyr-preflight-corpus"); }
  void TearDown() override { fs::remove_all(dir_); }

  // Every case of the corpus with its first run's instant and time zone,
  // then the example job, each in a folder of its own.
  std::vector<Laid> LayOutAll() {
    std::vector<Laid> laid;
    const json cases = CorpusCases();
    for (const auto& [name, entry] : cases.items()) {
      const fs::path folder = dir_ / name;
      fs::create_directories(folder);
      LayOutCase(entry, folder);
      json run = json::parse(R"({"now": "2026-12-07T10:00:00Z", "tz": "UTC"})");
      if (entry.contains("runs")) run = entry["runs"][0];
      laid.push_back({name, folder / "job.json",
                      {{"XDG_CONFIG_HOME", (folder / "config").string()}, {"TZ", run["tz"].get<std::string>()}},
                      run["now"].get<std::string>()});
    }
    const fs::path example = dir_ / "example";
    CopyExample(example);
    laid.push_back({"example", example / "bracket.json", {{"XDG_CONFIG_HOME", (example / "config").string()}},
                    "2026-12-07T10:00:00Z"});
    return laid;
  }

  fs::path dir_;
};

TEST_F(PreflightCorpusTest, ReportedCalculationWarningsAreTheRunsWarningBoxes) {
  int boxes = 0;
  for (const Laid& c : LayOutAll()) {
    SCOPED_TRACE(c.name);
    const WyrResult checked = RunWyr({"check", "--json", c.job.string()}, c.env);
    ASSERT_TRUE(checked.status == 0 || checked.status == 3) << checked.err;
    const json report = json::parse(checked.out);

    const fs::path transcript = c.job.parent_path() / "transcript.jsonl";
    const WyrResult ran = RunWyr({"run", c.job.string(), "--transcript", transcript.string(), "--now", c.now}, c.env);
    ASSERT_NE(ran.status, -1);
    const std::vector<std::pair<int, std::string>> shown = BoxLines(transcript);
    EXPECT_EQ(CalculationFindings(report), shown) << checked.out << "\n" << ReadFile(transcript);
    boxes += static_cast<int>(shown.size());

    // Each step the report calculated is in a program the run wrote, with
    // the same depth and force.
    std::multiset<std::pair<double, int>> written = WrittenDepthsAndForces(c.job.parent_path());
    for (const json& step : report["calculated"]) {
      const double force = std::min(step["force"].get<double>(), 32767.0);
      const auto it = written.find({-step["depth"].get<double>(), static_cast<int>(force)});
      if (it == written.end()) {
        ADD_FAILURE() << "no record of the run has the depth and force of " << step.dump();
      } else {
        written.erase(it);
      }
    }
  }
  // The corpus has warning boxes to compare: the example's two and those of
  // the calculation_warnings case.
  EXPECT_GE(boxes, 5);
}

}  // namespace
}  // namespace wyr_test
