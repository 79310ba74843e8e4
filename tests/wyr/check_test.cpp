// End-to-end tests of `wyr check`: the job is read, handed to the driver and
// read back out of the driver's store.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "wyr_runner.h"

namespace wyr_test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// The example job, copied once for this file's tests, so that what a run of
// the example left beside it (its out/ folder) changes nothing here.
struct ExampleCopy {
  ExampleCopy() { CopyExample(folder); }
  ~ExampleCopy() { std::filesystem::remove_all(folder); }
  const std::filesystem::path folder = MakeTempFolder("wyr-check-example");
};
const std::filesystem::path& Example() {
  static const ExampleCopy copy;
  return copy.folder;
}

void ExpectLines(const std::string& out, std::initializer_list<const char*> lines) {
  for (const char* line : lines) EXPECT_THAT(out, HasSubstr(line));
}

TEST(CheckTest, ExamplePrintsWhatTheStoreHolds) {
  const WyrResult result = RunWyr({"check", (Example() / "bracket.json").string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_THAT(result.out, StartsWith("unit: 0 (millimetre)\n"));
  ExpectLines(result.out, {
      "material.thickness: 2\n", "material.tensile: 40\n", "material.type: 1\n",
      "steps: 4\n", "steps[0].BendLength: 500\n", "steps[0].BendAngle: 90\n",
      "steps[0].XX[0]: 120.5\n", "steps[0].ToolID[0]: \"PUNCH88\"\n", "steps[0].ToolID[1]: \"DIE16V\"\n",
      "steps[2].SetupIndex: 2\n", "steps[2].ToolID[1]: \"DIE6V\"\n", "steps[3].ToolID[4]: \"SPACER10\"\n",
      "steps[3].SequenceOrder: 4\n", "steps[3].Mode: 0\n", "steps[3].ODC: 251\n",
      "tools: 5\n", "tools[1].Category: \"2V-16\"\n", "tools[1].SmallorLarger: 1\n",
      "tools[2].VWidth: 6\n", "tools[0].Radius: 0.8\n", "tools[0].PunchResistance: 100\n",
      "setups: 2\n", "setups[1].SetupName: \"S2\"\n", "setups[1].SetupIndex: 1\n",
      "setups[1].UserMachineName: \"PB100\"\n", "machines: 1\n", "machines[0].Tonnage: 100\n",
      "machines[0].MaxBendingLength: 3000\n", "bgauges: 0\n"});
  // Paths are resolved against the job's folder, and appear only on lines
  // that begin with "path " (the Linux/Windows comparison drops those).
  const std::string folder = Example().lexically_normal().string();
  EXPECT_THAT(result.out, HasSubstr("path program: " + folder + "/out/BRACKET.bmf\n"
                                    "path data: " + folder + "/materials\n"
                                    "path conversion: " + folder + "/tools.cnv\n"));
  std::istringstream lines(result.out);
  int path_lines = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("path ", 0) == 0) {
      ++path_lines;
    } else {
      EXPECT_EQ(line.find(folder), std::string::npos) << line;
    }
  }
  EXPECT_EQ(path_lines, 3);
}

// The unit comes last in the file: unit setters get it whatever the key order.
// Its tools are not in the job, so its pre-flight report has errors (status 3).
TEST(CheckTest, InchJobIsConvertedBySettersAndMaterial) {
  const WyrResult result = RunWyr({"check", std::string(TEST_DATA_DIR) + "/check_inch.json"});
  ASSERT_EQ(result.status, 3) << result.err;
  ExpectLines(result.out, {
      "unit: 1 (inch)\n", "material.thickness: 3.175\n", "material.tensile: 45.5\n",
      "material.type: 5\n", "path data: \n", "path conversion: /opt/tools.cnv\n",
      "steps[0].BendLength: 99\n", "steps[0].StepValue: 12.7\n", "steps[0].RetractStroke: 31.242\n",
      "steps[0].Offset: 12.7\n", "steps[0].ODC: 254\n", "steps[0].BendingSpeed: 13\n",
      "steps[0].XX[0]: 4.75\n", "steps[0].ToolReverse: [false, true, false, false, false, false]\n",
      "steps[0].ToolID[2]: \"\"\n",
      // Declared order: BendType, then ControlType, then Mode, then BendingSpeed.
      "steps[1].BendType: 4\n", "steps[1].CoiningFlag: 1\n", "steps[1].Mode: 0\n",
      "steps[1].BendingSpeed: 7\n", "machines[0].Tonnage: 40.5\n", "bgauges: 2\n"});
}

// The whole listing, line for line, but for the paths (they name the folder
// the tests run in): which fields, in which order, in which form. The
// pre-flight report follows it.
TEST(CheckTest, ListingIsExactlyAsBefore) {
  const struct { std::string job, listing; int status; } cases[] = {
      {(Example() / "bracket.json").string(), std::string(TEST_DATA_DIR) + "/check_bracket.txt", 0},
      {std::string(TEST_DATA_DIR) + "/check_inch.json", std::string(TEST_DATA_DIR) + "/check_inch.txt", 3},
  };
  for (const auto& c : cases) {
    const WyrResult result = RunWyr({"check", c.job});
    ASSERT_EQ(result.status, c.status) << c.job << ": " << result.err;
    std::istringstream lines(result.out);
    std::string listed;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("pre-flight report: ", 0) == 0) break;
      if (line.rfind("path ", 0) != 0) listed += line + "\n";
    }
    EXPECT_EQ(listed, ReadFile(c.listing)) << c.job;
  }
}

TEST(CheckTest, InvalidJobsGiveStatus2AndNameThePlace) {
  const std::filesystem::path folder = MakeTempFolder("wyr-check");
  const std::string file = (folder / "job.json").string();
  // The message is what follows "wyr: <file>: "; a null json means no file at all.
  const struct { const char* json; std::string message; } cases[] = {
      {"{ \"unit\": 0, ", "not valid JSON: parse error at line 1, column 14"},
      {R"({"unit": 0, "options": {}})", "options: unknown key"},
      {R"({"steps": [{}, {"BendAngel": 90}]})", "steps[1].BendAngel: unknown key"},
      {R"({"tools": [{"VWidth": "16"}]})", "tools[0].VWidth: expected a number, got a string"},
      {R"({"steps": [{"CycleNo": 32768}]})", "steps[0].CycleNo: 32768 is outside the range -32768..32767"},
      {R"({"steps": [{"ToolID": ["P", "0123456789abcdef0123456789abcdef"]}]})",
       "steps[0].ToolID[1]: name longer than 31 bytes"},
      {R"({"material": {"thickness": 2, "tensile": 40, "type": 1, "name": "Aluminium"}})",
       "material: give either \"type\" or \"name\", not both"},
      {R"({"steps": [{"ZZ": [0, 0, 0, 0, 0]}]})", "steps[0].ZZ: 5 elements given, at most 4 fit"},
      {R"({"operator": ["create", [{"press": "ok"}]]})", "operator[1][0].press: expected \"create\" or \"cancel\""},
      {R"({"operator": [[{"type": 1082, "text": "3"}]]})", "operator[0][0].type: 1082 is not an editable box"},
      {nullptr, "cannot be opened\n"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(file);
    if (c.json != nullptr) WriteFile(file, c.json);
    const WyrResult result = RunWyr({"check", file});
    const char* shown = c.json != nullptr ? c.json : "missing file";
    EXPECT_EQ(result.status, 2) << shown;
    EXPECT_THAT(result.err, StartsWith("wyr: " + file + ": " + c.message)) << shown;
    EXPECT_EQ(result.out, "") << shown;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace wyr_test
