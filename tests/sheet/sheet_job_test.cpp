// Which of a job's setup groups a program holds, and what the sheet tells of
// each step from the job's tools and machine.
#include "sheet/sheet_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace driverwyr::sheet {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct StepSpec {
  int setup;
  short sequence;
  float length = 500.0f;
  const char* die = "D16";
  short mode = 0;
};

// A job of these steps with `setups` setup records (SetupIndex 0, 1, ...)
// on machine PB100 (100 t, minimum 1 t), the punch P88 (100 per metre) and
// the dies D16 (V 16), D6 (V 6) and D0 (no V), 120 per metre each.
void MakeJob(StoreCopy& job, const std::vector<StepSpec>& steps, int setups) {
  job.steps.SetSize(static_cast<int>(steps.size()));
  for (std::size_t i = 0; i < steps.size(); ++i) {
    CPPStepInfo& step = job.steps[static_cast<int>(i)];
    step.SetNumberInSquence(static_cast<int>(i) + 1);
    step.SetSetupIndex(steps[i].setup);
    step.SetSequenceOrder(steps[i].sequence);
    step.SetBendLength(steps[i].length, 0);
    step.SetMode(steps[i].mode);
    char ids[6][32] = {};
    std::strcpy(ids[0], "P88");
    std::strcpy(ids[1], steps[i].die);
    step.SetToolID(ids);
  }
  job.setups.SetSize(setups);
  for (int i = 0; i < setups; ++i) {
    job.setups[i].SetSetupIndex(i);
    job.setups[i].SetSetupName(CString(("S" + std::to_string(i + 1)).c_str()));
    job.setups[i].SetUserMachineName("PB100");
  }
  job.machines.SetSize(1);
  job.machines[0].SetUserMachineName("PB100");
  job.machines[0].SetTonnage(100);
  job.machines[0].SetMinTonnage(1);
  job.tools.SetSize(4);
  job.tools[0].SetToolName("P88");
  job.tools[0].SetAngle(88);
  job.tools[0].SetPunchResistance(100);
  const struct {
    const char* name;
    double v;
  } dies[] = {{"D16", 16}, {"D6", 6}, {"D0", 0}};
  for (int i = 0; i < 3; ++i) {
    CPPTool& die = job.tools[i + 1];
    die.SetToolName(dies[i].name);
    die.SetVWidth(dies[i].v);
    die.SetRadius(1);
    die.SetAngle(88);
    die.SetDieResistance(120);
  }
}

struct StepValues {
  std::int16_t sequence;
  std::int16_t length = 500;
  std::int16_t force = 86;
};

// The sheet of a program of these records and the closing one, t = 2 mm.
SheetInput MakeProgram(const std::vector<StepValues>& records) {
  driverwyr::ProgramFile file;
  file.header.Thickness = 2.0f;
  for (const StepValues& wanted : records) {
    driverwyr::ProgramRecord record;
    record.SequenceOrder = wanted.sequence;
    record.BendLength = wanted.length;
    record.TonnageValue = wanted.force;
    record.BendAngle = 90.0f;
    record.Y1 = record.Y2 = -6.4f;
    file.records.push_back(record);
  }
  file.records.emplace_back();
  file.header.RecordCount = static_cast<std::int16_t>(file.records.size());
  return MakeSheetInput(file, "P.wyr");
}

TEST(SheetJob, MatchesTheGroupTheProgramWasMadeFrom) {
  const std::vector<StepSpec> two_groups = {{1, 1}, {1, 2}, {2, 3}, {2, 4}};
  const struct {
    const char* what;
    std::vector<StepSpec> steps;
    int setups;
    std::string file;
    std::vector<StepValues> records;
    std::string group;  // the group found, or the error's text
  } cases[] = {
      {"named group", two_groups, 2, "out/P.S2P2.wyr", {{3}, {4}}, "group 2 of 2: steps[2] to steps[3], SetupIndex 2"},
      {"one setup, found by its values", {{1, 1}, {1, 2}, {2, 3}}, 1, "P.wyr", {{3}},
       "group 2 of 2: steps[2], SetupIndex 2"},
      {"no setups at all", {{1, 1}}, 0, "P.wyr", {{1}}, "group 1 of 1: steps[0], SetupIndex 1"},
      {"name without a group", two_groups, 2, "P.wyr", {{3}, {4}},
       "the job has 2 setups, so its programs are named NAME.S<setup>P<group>.wyr, and P.wyr is not"},
      {"group beyond the job", two_groups, 2, "P.S2P3.wyr", {{3}, {4}},
       "P.S2P3.wyr is the program of group 3, the job has 2 groups"},
      {"group of another setup", two_groups, 2, "P.S1P2.wyr", {{3}, {4}},
       "P.S1P2.wyr is the program of setup 1 in group 2, the job's group 2 (steps[2] to steps[3]) has SetupIndex 2"},
      {"other SequenceOrder", two_groups, 2, "P.S2P2.wyr", {{3}, {5}}, "record 1 has SequenceOrder 5, steps[3] has 4"},
      {"other BendLength", two_groups, 2, "P.S2P2.wyr", {{3, 480}, {4}}, "record 0 has BendLength 480, steps[2] has 500"},
      {"more records than steps", two_groups, 2, "P.S2P2.wyr", {{3}, {4}, {5}},
       "the program has 3 step records, the job's steps[2] to steps[3] (SetupIndex 2) are 2 steps"},
      {"one setup, two groups alike", {{1, 1}, {2, 1}}, 1, "P.wyr", {{1}},
       "groups 1, 2 of the job all have the program's SequenceOrder and BendLength values, so which of them it "
       "holds cannot be told"},
      {"one setup, no group alike", {{1, 1}, {2, 2}}, 1, "P.wyr", {{7}},
       "none of the job's 2 groups has the program's SequenceOrder and BendLength values"},
      {"one setup, one group unlike", {{1, 1}}, 1, "P.wyr", {{7}}, "record 0 has SequenceOrder 7, steps[0] has 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StoreCopy job;
    MakeJob(job, c.steps, c.setups);
    SheetInput sheet = MakeProgram(c.records);
    const driverwyr::Status status = AddJobToSheet(sheet, job, c.file, "job.json");
    if (status.ok()) {
      EXPECT_EQ(sheet.group_label, c.group);
      EXPECT_EQ(sheet.job_label, "job.json");
    } else {
      EXPECT_EQ(status.message(), "does not match the program: " + c.group);
      EXPECT_EQ(sheet.job_label, "") << "the sheet is left as it was";
    }
  }
}

TEST(SheetJob, FindingsFromTheToolsAndTheMachine) {
  const struct {
    const char* what;
    StepSpec step;
    StepValues record;
    std::vector<std::string> findings;
  } cases[] = {
      {"nothing to say", {1, 1}, {1}, {}},
      {"narrow die", {1, 1, 500, "D6"}, {1}, {"V/t 3 (V 6, t 2 mm): below 4."}},
      {"unknown die", {1, 1, 500, "D99"}, {1}, {"Die \"D99\" is not among the job's tools: the die is not drawn."}},
      {"no die named", {1, 1, 500, ""}, {1}, {"The step names no die: the die is not drawn."}},
      {"die without a V", {1, 1, 500, "D0"}, {1},
       {"Die D0 has no V that can be drawn (V 0 mm, radius 1 mm, angle 88°): the die is not drawn."}},
      // 0.5 m x 100 x 10 = 500 for the punch, 600 for the die, 1000 for the machine.
      {"punch limit", {1, 1}, {1, 500, 500}, {"Force 500 is at or above the punch's allowable load 500 for this length."}},
      {"machine maximum", {1, 1, 3000}, {1, 3000, 1000},
       {"Force 1000 is at or above the machine's maximum 1000."}},
      {"machine minimum", {1, 1}, {1, 500, 10}, {"Force 10 is at or below the machine's minimum 10."}},
      {"host's own values", {1, 1, 500, "D16", 1}, {1}, {"Mode 1: depth and force are the job's own, not calculated."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StoreCopy job;
    MakeJob(job, {c.step}, 1);
    job.tools[1].SetDieResistance(c.what == std::string("machine maximum") ? 1000.0f : 120.0f);
    job.tools[0].SetPunchResistance(c.what == std::string("machine maximum") ? 1000.0f : 100.0f);
    SheetInput sheet = MakeProgram({c.record});
    ASSERT_TRUE(AddJobToSheet(sheet, job, "P.wyr", "job.json").ok());
    ASSERT_EQ(sheet.steps.size(), 1u);
    EXPECT_EQ(sheet.steps[0].findings, c.findings);
  }
}

TEST(SheetJob, ToolsOfTheStepsAndTheHeaderRows) {
  StoreCopy job;
  MakeJob(job, {{1, 1}, {1, 2, 500, "D6"}, {1, 3}}, 1);
  SheetInput sheet = MakeProgram({{1}, {2}, {3}});
  ASSERT_TRUE(AddJobToSheet(sheet, job, "P.wyr", "job.json").ok());
  ASSERT_EQ(sheet.steps.size(), 3u);
  EXPECT_EQ(sheet.steps[1].die_name, "D6");
  ASSERT_TRUE(sheet.steps[1].die.has_value());
  EXPECT_EQ(sheet.steps[1].die->v_width, 6.0);
  EXPECT_EQ(sheet.steps[2].job_step, 2u);
  EXPECT_EQ(sheet.steps[2].number_in_sequence, 3);
  EXPECT_THAT(sheet.tools[0].job_names, ElementsAre("P88"));
  EXPECT_THAT(sheet.tools[1].job_names, ElementsAre("D16", "D6")) << "distinct, in step order";
  EXPECT_THAT(sheet.tools[2].job_names, IsEmpty());
  EXPECT_THAT(sheet.tools[1].details, HasSubstr("D6: V 6 mm, shoulder radius 1 mm, angle 88°"));
  EXPECT_EQ(sheet.setup_label, "setup S1, machine PB100 (100 t)");
}

TEST(SheetJob, InchToolsAreDrawnInMillimetres) {
  StoreCopy job;
  MakeJob(job, {{1, 1}}, 1);
  job.unit = 1;
  job.tools[1].SetVWidth(0.625);
  SheetInput sheet = MakeProgram({{1}});
  ASSERT_TRUE(AddJobToSheet(sheet, job, "P.wyr", "job.json").ok());
  ASSERT_TRUE(sheet.steps[0].die.has_value());
  EXPECT_DOUBLE_EQ(sheet.steps[0].die->v_width, 15.875);
  EXPECT_DOUBLE_EQ(sheet.steps[0].die->shoulder_radius, 25.4);
}

}  // namespace
}  // namespace driverwyr::sheet
