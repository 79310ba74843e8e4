// The pre-flight report in process: a small clean job, read as wyr reads it
// and handed to the store, and variants of it that each trigger one class of
// finding; the report as JSON, as hosts and `wyr check --json` get it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "driver/ppdb.h"
#include "driverwyr/preflight.h"
#include "job_file.h"
#include "support/clean_job.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class PreflightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("driverwyr-preflight-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
    fs::copy(fs::path(EXAMPLES_DIR) / "materials", dir_ / "materials", fs::copy_options::recursive);
    WriteFile(dir_ / "tools.cnv", "P88 P88\nD16 D16\nH60 H60\nS10 S10\n");
    // The serial counter's key would be here: the pre-flight never makes it.
    setenv("XDG_CONFIG_HOME", (dir_ / "config").string().c_str(), 1);
    ResetStoreForTesting();
  }
  void TearDown() override {
    ResetStoreForTesting();
    fs::remove_all(dir_);
  }

  // The report of `job` (its text as a job file in the test's folder), as
  // the store holds it once wyr has handed it over.
  PreflightReport Report(const json& job_json, const fs::path& folder) {
    driverwyr::Result<wyr::Job> parsed = wyr::ParseJob(job_json.dump(), folder);
    EXPECT_TRUE(parsed.ok()) << parsed.error();
    wyr::Job job = parsed.ok() ? std::move(*parsed) : wyr::Job();
    EXPECT_TRUE(wyr::ApplyJob(job).ok());
    PreflightOptions options;
    options.script = &job.operator_script;
    options.material_given = job.material.has_value();
    PreflightReport report;
    std::string why_not;
    EXPECT_TRUE(RunPreflight(report, options, &why_not)) << why_not;
    return report;
  }
  json Check(const json& job) { return json::parse(PreflightReportJson(Report(job, dir_))); }
  // "severity code" of every finding, sorted.
  static std::vector<std::string> Findings(const json& report) {
    std::vector<std::string> found;
    for (const json& finding : report.at("findings")) {
      found.push_back(finding.at("severity").get<std::string>() + " " + finding.at("code").get<std::string>());
    }
    std::sort(found.begin(), found.end());
    return found;
  }
  bool NothingWritten() const {
    return fs::is_empty(dir_ / "out") && !fs::exists(dir_ / "config");
  }

  fs::path dir_;
};

// Sets the member at `path` (keys and indices) of a job to `value`.
std::function<void(json&)> Set(const json::json_pointer& path, json value) {
  return [path, value](json& job) { job[path] = value; };
}

TEST_F(PreflightTest, EachClassOfFindingFromAJobThatTriggersIt) {
  const json long_punch = R"({"ToolName": "LONGPUNCH", "Angle": 88, "Radius": 0.8, "PunchResistance": 100})"_json;
  const struct {
    const char* name;
    std::function<void(json&)> change;
    std::vector<std::string> findings;  // sorted
  } cases[] = {
      {"clean", [](json&) {}, {}},
      // Names that resolve to no record, and records that shadow others.
      {"unknown die", Set("/steps/0/ToolID/1"_json_pointer, "D99"), {"error unknown-die"}},
      {"unknown punch", Set("/steps/0/ToolID/0"_json_pointer, "P99"), {"error unknown-punch"}},
      {"unknown die holder", Set("/steps/0/ToolID/2"_json_pointer, "H99"), {"warning unknown-die-holder"}},
      {"unknown spacer", Set("/steps/1/ToolID/4"_json_pointer, "S99"), {"warning unknown-spacer"}},
      // Without the machine there is no force limit: the calculation says
      // the force is over it.
      {"unknown machine", Set("/setups/0/UserMachineName"_json_pointer, "PB999"),
       {"error unknown-machine", "warning force-over-machine", "warning force-over-machine"}},
      {"unknown setup",
       [](json& job) {
         for (json& step : job["steps"]) step["SetupIndex"] = 5;
       },
       {"error unknown-setup", "warning force-over-machine", "warning force-over-machine"}},
      {"duplicate tool", [](json& job) { job["tools"].push_back({{"ToolName", "D16"}, {"VWidth", 24}}); },
       {"warning duplicate-tool"}},
      {"duplicate machine",
       [](json& job) { job["machines"].push_back({{"UserMachineName", "PB100"}, {"Tonnage", 50}}); },
       {"warning duplicate-machine"}},
      {"duplicate setup",
       [](json& job) {
         job["setups"].push_back({{"SetupName", "S9"}, {"SetupIndex", 0}, {"UserMachineName", "PB100"}});
       },
       {"warning duplicate-setup"}},
      // Material data: the file, and a material the control does not know.
      {"material file missing", Set("/paths/data"_json_pointer, "nowhere"),
       {"error material-data-unusable", "error material-data-unusable", "error material-file"}},
      {"material file malformed", [this](json& job) {
         fs::create_directories(dir_ / "broken");
         WriteFile(dir_ / "broken" / "f_1", std::string("\x01\x00", 2));
         job["paths"]["data"] = "broken";
       },
       {"error material-data-unusable", "error material-data-unusable", "error material-file"}},
      {"material type unknown", Set("/material/type"_json_pointer, 9), {"error material-number"}},
      // The calculation's own warnings.
      {"V/t above 20", Set("/tools/1/VWidth"_json_pointer, 50), {"warning vt-above-20", "warning vt-above-20"}},
      {"V/t below 4", Set("/tools/1/VWidth"_json_pointer, 6), {"warning vt-below-4", "warning vt-below-4"}},
      {"force over the punch", Set("/tools/0/PunchResistance"_json_pointer, 10),
       {"warning force-over-punch", "warning force-over-punch"}},
      {"force over the die", Set("/tools/1/DieResistance"_json_pointer, 10),
       {"warning force-over-die", "warning force-over-die"}},
      {"force over the machine", Set("/machines/0/Tonnage"_json_pointer, 5),
       {"warning force-over-machine", "warning force-over-machine"}},
      // Plausibility of the records.
      {"thickness 0", Set("/material/thickness"_json_pointer, 0), {"error thickness-not-positive"}},
      {"bend length 0", Set("/steps/0/BendLength"_json_pointer, 0), {"error bend-length-not-positive"}},
      // The depth the calculation gives it is what the run would write.
      {"bend length -32768", Set("/steps/0/BendLength"_json_pointer, -32768),
       {"error bend-length-not-positive", "error depth-out-of-range", "warning beyond-machine"}},
      {"bend length over the machine", Set("/steps/0/BendLength"_json_pointer, 3500),
       {"error bend-length-over-machine"}},
      {"angle 200", Set("/steps/0/BendAngle"_json_pointer, 200), {"error angle-out-of-range"}},
      {"angle 10, not calculated", Set("/steps/1/BendAngle"_json_pointer, 10), {"error no-depth"}},
      {"back gauge beyond its Z axis",
       [](json& job) {
         job["bgauges"] = json::parse(R"([{"YRangeMin": 0, "YRangeMax": 100, "ZRangeMin": -200, "ZRangeMax": 200}])");
         job["steps"][0]["ZZ"] = {-250, 150};
       },
       {"error back-gauge-out-of-range"}},
      // Values that leave any press's range; the driver's own box tells the
      // calculated ones too (beyond-machine).
      {"bending coefficient 3.4e38", Set("/setups/0/BendingCoefficient"_json_pointer, 3.4e38),
       {"error depth-out-of-range", "error depth-out-of-range", "warning beyond-machine", "warning beyond-machine"}},
      {"negative bending coefficient", Set("/setups/0/BendingCoefficient"_json_pointer, -1e6),
       {"warning beyond-machine", "warning beyond-machine", "warning depth-negative", "warning depth-negative"}},
      {"force over 16 bits",
       [](json& job) {
         job["material"]["thickness"] = 10;
         job["tools"][1]["VWidth"] = 80;
         job["tools"][0]["PunchResistance"] = 1e6;
         job["tools"][1]["DieResistance"] = 1e6;
         job["machines"][0]["Tonnage"] = 1e6;
         for (json& step : job["steps"]) step["BendLength"] = 2900;
         job["operator"] = json::parse(R"([[{"type": "Hardness", "text": "1000"}]])");
       },
       {"error force-out-of-range", "error force-out-of-range"}},
      {"the job's own depth beyond the stroke",
       [](json& job) { job["steps"][0].update({{"Mode", 1}, {"Y1", -5000}, {"TonnageValue", 100}}); },
       {"error depth-out-of-range"}},
      {"the job's own negative force",
       [](json& job) { job["steps"][0].update({{"Mode", 1}, {"Y1", -5}, {"TonnageValue", -3}}); },
       {"error force-out-of-range"}},
      // The dialog and the script.
      {"name too long for the control",
       [&long_punch](json& job) {
         job["tools"][0] = long_punch;
         for (json& step : job["steps"]) step["ToolID"][0] = "LONGPUNCH";
       },
       {"error control-name-too-long"}},
      {"conversion file missing", Set("/paths/conversion"_json_pointer, "missing.cnv"), {"warning conversion-file"}},
      {"a field that never passes",
       Set("/operator"_json_pointer, json::parse(R"([[{"type": "Hardness", "text": "0"}, {"press": "create"}]])")),
       {"error create-refused"}},
      {"a field the script corrects",
       Set("/operator"_json_pointer, json::parse(R"([[{"type": "Hardness", "text": "0"}, {"press": "create"},
                                                     {"type": "Hardness", "text": "40"}]])")),
       {"note input-refused"}},
      {"cancelled", Set("/operator"_json_pointer, json::parse(R"(["cancel"])")), {"note cancelled"}},
      {"control type 0", Set("/setups/0/ControlType"_json_pointer, 0), {"error create-failed"}},
      {"script not playable", Set("/operator"_json_pointer, json::parse(R"([[{"select": "Brass"}]])")),
       {"error operator-script"}},
      {"program path without a name", Set("/paths/program"_json_pointer, "out/.bmf"), {"error program-path"}},
      {"program folder missing", Set("/paths/program"_json_pointer, "nowhere/PART.bmf"), {"warning program-folder"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    json job = json::parse(testing_jobs::kCleanJob);
    c.change(job);
    const json report = Check(job);
    EXPECT_EQ(Findings(report), c.findings) << report.dump(1);
    const bool errors = std::any_of(c.findings.begin(), c.findings.end(),
                                    [](const std::string& f) { return f.rfind("error ", 0) == 0; });
    EXPECT_EQ(report["errors"].get<int>() > 0, errors);
    EXPECT_TRUE(NothingWritten());
  }
}

// Where a finding is: the step's place and number, its group, the record,
// and the calculation's own words.
TEST_F(PreflightTest, FindingNamesStepGroupAndRecord) {
  json job = json::parse(testing_jobs::kCleanJob);
  job["steps"][1]["ToolID"][1] = "D99";
  job["steps"][1]["NumberInSquence"] = 7;
  job["tools"][1]["VWidth"] = 50;
  const json report = Check(job);
  ASSERT_EQ(report.at("findings").size(), 2u) << report.dump(1);
  EXPECT_EQ(report["findings"][0], json::parse(R"({"severity": "warning", "code": "vt-above-20",
      "category": "calculation", "group": 0, "step": 0, "number": 1, "record": "tools[1]",
      "message": "The Die V Width / Thickness is greater than 20"})"));
  EXPECT_EQ(report["findings"][1], json::parse(R"x({"severity": "error", "code": "unknown-die",
      "category": "calculation", "group": 0, "step": 1, "number": 7, "record": "steps[1].ToolID[1]",
      "message": "The die is not in the tool list. (the step names the die \"D99\")"})x"));
  EXPECT_EQ(report["errors"], 1);
  EXPECT_EQ(report["warnings"], 1);
  // What the run would write: the die's step stays at the top of the die.
  ASSERT_EQ(report.at("calculated").size(), 2u);
  EXPECT_EQ(report["calculated"][1]["depth"], 0.0);
  EXPECT_EQ(report["calculated"][1]["warnings"], json::array({12}));
  EXPECT_GT(report["calculated"][0]["depth"].get<double>(), 0.0);

}

// The example job: its two V/t warnings for steps 3 and 4, which the run
// shows too, and nothing else.
TEST_F(PreflightTest, ExampleJobHasNoError) {
  const fs::path example = dir_ / "example";
  fs::copy(EXAMPLES_DIR, example, fs::copy_options::recursive);
  fs::remove_all(example / "out");
  fs::create_directories(example / "out");
  std::ifstream file(example / "bracket.json");
  const json report = json::parse(PreflightReportJson(Report(json::parse(file), example)));
  EXPECT_EQ(report["errors"], 0);
  std::vector<std::pair<int, std::string>> found;
  for (const json& finding : report["findings"]) found.emplace_back(finding["number"], finding["code"]);
  EXPECT_EQ(found, (std::vector<std::pair<int, std::string>>{{3, "vt-below-4"}, {4, "vt-below-4"}}));
}

}  // namespace
}  // namespace driverwyr
