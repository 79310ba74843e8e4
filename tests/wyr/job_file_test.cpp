// Unit tests of the job-file reader (ParseJob) and of the store description
// that `wyr check` prints (DescribeStore).
#include "job_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace wyr {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::filesystem::path kFolder = std::filesystem::path("/jobs") / "bracket";

std::string Parse(const std::string& text, Job& job) {
  try {
    ParseJob(text, kFolder, job);
    return {};
  } catch (const JobError& e) {
    return e.what();
  }
}

// Unit conversion, declaration order of the setters and material selection
// are covered end to end by the check tests.

TEST(ParseJobTest, ShortArraysArePaddedAndPathsResolved) {
  Job job;
  ASSERT_EQ(Parse(R"({"steps": [{"ToolID": ["P88", "D24"]}],
                      "tools": [{"Profile": [[1, 2], [3]]}],
                      "machines": [{"UpBeamProfile": [[], [[1, 2, 3]]]}],
                      "paths": {"program": "out/BRACKET.bmf", "data": "/abs/materials"}})",
                  job),
            "");
  char ids[6][32];
  std::memset(ids, 'x', sizeof ids);
  job.steps[0].GetToolID(ids);
  EXPECT_STREQ(ids[1], "D24");
  for (int i = 2; i < 6; ++i) EXPECT_EQ(std::string(ids[i], 32), std::string(32, '\0')) << "entry " << i;
  double profile[64][2] = {};
  job.tools[0].GetProfile(profile);
  EXPECT_EQ(profile[1][0], 3.0);
  EXPECT_EQ(profile[1][1], 0.0);
  auto beams = std::make_unique<double[][64][3]>(32);
  job.machines[0].GetUpBeamProfile(beams.get());
  EXPECT_EQ(beams[1][0][2], 3.0);
  EXPECT_TRUE(job.machines[0].GetclampAtCerter()) << "keys not given keep their defaults";

  EXPECT_EQ(job.program_path, (kFolder / "out/BRACKET.bmf").make_preferred().string());
  EXPECT_EQ(job.data_path, std::filesystem::path("/abs/materials").make_preferred().string());
  EXPECT_EQ(job.conversion_path, "");  // missing keys pass the empty string
  EXPECT_FALSE(job.material.has_value());
}

TEST(ParseJobTest, OperatorScript) {
  Job job;
  ASSERT_EQ(Parse(R"({"operator": ["cancel", [
        {"type": "PartReference", "text": "BRACKET-2"}, {"type": 1084, "text": "45"},
        {"select": "AL1"}, {"browse": "out2"}, {"browse": null}, {"browse": ""},
        {"press": "cancel"}], "create", []]})",
                  job),
            "");
  using E = OperatorEntry::Kind;
  std::vector<E> entries;
  for (const OperatorEntry& entry : job.operator_script) entries.push_back(entry.kind);
  EXPECT_EQ(entries, (std::vector<E>{E::kCancel, E::kActions, E::kCreate, E::kActions}));
  const std::vector<OperatorAction>& a = job.operator_script[1].actions;
  ASSERT_EQ(a.size(), 7u);
  EXPECT_EQ(a[0].kind, OperatorAction::Kind::kType);
  EXPECT_EQ(a[0].control, 1081);
  EXPECT_EQ(a[0].text, "BRACKET-2");
  EXPECT_EQ(a[1].control, 1084);
  EXPECT_EQ(a[2].kind, OperatorAction::Kind::kSelect);
  EXPECT_EQ(a[2].text, "AL1");
  EXPECT_EQ(a[3].folder, (kFolder / "out2").make_preferred().string());
  EXPECT_EQ(a[4].folder, std::nullopt);
  EXPECT_EQ(a[5].folder, std::optional<std::string>(""));
  EXPECT_EQ(a[6].kind, OperatorAction::Kind::kPress);
  EXPECT_EQ(a[6].button, 2);
}

// Every error names its place; the message must start with it.
TEST(ParseJobTest, ErrorsNameThePlace) {
  const struct { std::string json, message_start; } kCases[] = {
      {"", "not valid JSON: parse error at line 1, column 1"},
      {"{\"unit\": 0,}", "not valid JSON: parse error at line 1, column 12"},
      {"[1]", "a job file holds a JSON object"},
      {R"({"unit": 1e999})", "not valid JSON: number overflow"},
      {R"({"units": 0})", "units: unknown key"},
      {R"({"unit": 1.5})", "unit: expected an integer, got a number with a fraction"},
      {R"({"unit": 0, "unit": 1})", "unit: key given twice"},
      {R"({"steps": [{}, {"BendAngle": 1, "BendAngle": 2}]})", "steps[1].BendAngle: key given twice"},
      {R"({"steps": {}})", "steps: expected an array, got an object"},
      {R"({"steps": [3]})", "steps[0]: expected an object, got an integer"},
      {R"({"steps": [{"BendInnerRadius": 1}]})", "steps[0].BendInnerRadius: unknown key"},
      {R"({"steps": [{"SetTollReverse": [true]}]})", "steps[0].SetTollReverse: unknown key"},
      {R"({"steps": [{"BendingDepth": 3}]})", "steps[0].BendingDepth: unknown key"},
      {R"({"steps": [{"bend angle": 3}]})", "steps[0][\"bend angle\"]: unknown key"},
      {R"({"steps": [{"BendAngle": 1e39}]})", "steps[0].BendAngle: 1e+39 is beyond the range"},
      {R"({"steps": [{"SequenceOrder": -32769}]})", "steps[0].SequenceOrder: -32769 is outside the range"},
      {R"({"steps": [{"SetupIndex": 2147483648}]})", "steps[0].SetupIndex: 2147483648 is outside the range"},
      {R"({"steps": [{"RayID": [0, 18446744073709551615]}]})", "steps[0].RayID[1]: 18446744073709551615 is outside"},
      {R"({"steps": [{"Mode": true}]})", "steps[0].Mode: expected an integer, got a boolean"},
      {R"({"steps": [{"ToolReverse": [1]}]})", "steps[0].ToolReverse[0]: expected true or false"},
      {R"({"steps": [{"XX": 1}]})", "steps[0].XX: expected an array of at most 4 elements"},
      {R"({"steps": [{"ToolID": ["A\u0000B"]}]})", "steps[0].ToolID[0]: name contains a NUL byte"},
      {R"({"steps": [{"ToolID": ["", "", "", "", "", "", ""]}]})", "steps[0].ToolID: 7 names given"},
      {R"({"steps": [{"BendLength": 40000}]})", "steps[0].BendLength: 40000 is outside the range of the field"},
      {R"({"unit": 1, "steps": [{"ODC": 1300}]})", "steps[0].ODC: 1300 is outside the range of the field"},
      {R"({"steps": [{"StepValue": 3e9}]})", "steps[0].StepValue: 3000000000.0 is too large"},
      {R"({"tools": [{"Reverse": 1}]})", "tools[0].Reverse: expected true or false"},
      {R"({"tools": [{"Profile": [[1, 2, 3]]}]})", "tools[0].Profile[0]: 3 elements given, at most 2 fit"},
      {R"({"machines": [{"UpBeamProfile": [[[1, 2, 3, 4]]]}]})", "machines[0].UpBeamProfile[0][0]: 4 elements"},
      {R"({"machines": [{"NumUpBeamPoint": [1.5]}]})", "machines[0].NumUpBeamPoint[0]: expected an integer"},
      {R"({"setups": [{"SetupName": 1}]})", "setups[0].SetupName: expected a string"},
      {R"({"bgauges": [{"FingerHLeft": 1.5}]})", "bgauges[0].FingerHLeft: expected an integer"},
      {R"({"paths": {"program": "x", "log": 3}})", "paths.log: unknown key"},
      {R"({"paths": {"program": 3}})", "paths.program: expected a string"},
      {R"({"paths": {"data": "a\u0000b"}})", "paths.data: path contains a NUL byte"},
      {R"({"material": {"thickness": 2, "tensile": 40}})", "material: give either \"type\" or \"name\""},
      {R"({"material": {"tensile": 40, "type": 1}})", "material.thickness: missing"},
      {R"({"material": {"thickness": 2, "tensile": 40, "type": 1.0}})", "material.type: expected an integer"},
      {R"({"material": {"thickness": 2, "tensile": 40, "grade": 1}})", "material.grade: unknown key"},
      {R"({"operator": "create"})", "operator: expected an array"},
      {R"({"operator": ["create", "creat"]})", "operator[1]: expected \"create\", \"cancel\" or a list"},
      {R"({"operator": [[{"type": 1001, "text": "x"}]]})", "operator[0][0].type: 1001 is not an editable box"},
      {R"({"operator": [[{"type": "Thickness", "text": "x"}]]})", "operator[0][0].type: \"Thickness\" is not"},
      {R"({"operator": [[{"type": "1080", "text": "x"}]]})", "operator[0][0].type: \"1080\" is not"},
      {R"({"operator": [[{"type": 1080}]]})", "operator[0][0].text: missing"},
      {R"({"operator": [[{"type": 1080, "text": 5}]]})", "operator[0][0].text: expected a string"},
      {R"({"operator": [[{"select": "AL1", "text": "x"}]]})", "operator[0][0].text: only a \"type\" action"},
      {R"({"operator": [[{"press": "create", "select": "AL1"}]]})", "operator[0][0]: one action per object"},
      {R"({"operator": [[{"browse": 3}]]})", "operator[0][0].browse: expected a string"},
      {R"({"operator": [[{"click": 1}]]})", "operator[0][0].click: unknown key"},
      {R"({"operator": [[{}]]})", "operator[0][0]: expected an action"},
      {std::string(40, '[') + std::string(40, ']'), "not a job file: nested more than"},
  };
  for (const auto& c : kCases) {
    Job job;
    EXPECT_THAT(Parse(c.json, job), StartsWith(c.message_start)) << c.json;
  }
}

TEST(DescribeStoreTest, ToolIdsEndAtNulOrAfter32BytesAndStringsAreEscaped) {
  driverwyr::StoreCopy store;
  CPPStepInfo step;
  char ids[6][32] = {};
  std::memset(ids[0], 'P', 32);  // no NUL: the name runs to the end of its 32 bytes
  std::memcpy(ids[1], "D24\0junk", 8);
  step.SetToolID(ids);
  store.steps.Add(step);
  CPPTool tool;
  tool.SetToolName("P\"88\n");
  store.tools.Add(tool);
  const std::string text = DescribeStore(store);
  EXPECT_THAT(text, HasSubstr("steps[0].ToolID[0]: \"" + std::string(32, 'P') + "\"\n"));
  EXPECT_THAT(text, HasSubstr("steps[0].ToolID[1]: \"D24\"\n"));
  EXPECT_THAT(text, HasSubstr("tools[0].ToolName: \"P\\\"88\\x0A\"\n"));
}

}  // namespace
}  // namespace wyr
