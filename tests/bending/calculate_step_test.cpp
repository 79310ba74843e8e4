#include "bending/calculate_step.h"

#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "bending/bend_warnings.h"
#include "bending/tool_selection.h"
#include "bending_test_support.h"
#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"
#include "platform/platform.h"

namespace {

using bending_test::RecordingUserInterface;
using driverwyr::CalculateBendData;
using driverwyr::ProgramData;

constexpr const char* kMaterialNotSupported = "The material is not supported.";

CPPTool MakeTool(const char* name, double v_width, double angle, double radius, float punch, float die) {
  CPPTool tool;
  tool.SetToolName(name);
  tool.SetVWidth(v_width);
  tool.SetAngle(angle);
  tool.SetRadius(radius);
  tool.SetPunchResistance(punch);
  tool.SetDieResistance(die);
  return tool;
}

CPPMachine MakeMachine(const char* name, double tonnage, double minimum, double length) {
  CPPMachine machine;
  machine.SetUserMachineName(name);
  machine.SetTonnage(tonnage);
  machine.SetMinTonnage(minimum);
  machine.SetMaxBendingLength(length);
  return machine;
}

// One step of 1 m at 90 degrees with punch P1 and die D16 on machine PB100
// (100 t, 3 m), 2 mm sheet of strength 40, material 1 from a data folder.
class CalculateBendDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driverwyr::ResetStoreForTesting();
    driverwyr::Platform::Current().ReplaceUserInterface(&ui_);
    bending_test::WriteBytes(folder_.path() / "f_1", bending_test::Bytes(bending_test::SteelLike()));
    SetPathNames(CString("program"), CString(folder_.str().c_str()), CString(""));

    RecordArray<CPPTool> tools;
    tools.SetSize(4);
    tools[0] = MakeTool("P1", 0, 0, 0, 100, 0);
    tools[1] = MakeTool("D16", 16, 88, 2, 0, 100);
    tools[2] = MakeTool("D6", 6, 88, 1, 0, 100);
    tools[3] = MakeTool("D16", 50, 88, 2, 0, 100);  // the first of a name wins
    InitToolInfo(&tools);
    SetMachines(MakeMachine("PB100", 100, 0, 3000));

    setup_.SetUserMachineName("PB100");
    program_.MaterialNumber = 1;
    program_.Thickness = 2;
    program_.Hardness = 40;
    step_.SetNumberInSquence(4);
    step_.SetBendAngle(90);
    step_.SetBendLength(1000, 0);
    SetTools("P1", "D16");
  }

  void TearDown() override {
    driverwyr::Platform::Current().ReplaceUserInterface(nullptr);
    driverwyr::ResetStoreForTesting();
  }

  void SetMachines(const CPPMachine& machine) {
    RecordArray<CPPMachine> machines;
    machines.SetSize(1);
    machines[0] = machine;
    InitMachineInfo(&machines);
  }

  void SetTools(const char* punch, const char* die) {
    char names[6][32] = {};
    std::strncpy(names[0], punch, 31);
    std::strncpy(names[1], die, 31);
    step_.SetToolID(names);
  }

  void Calculate() { CalculateBendData(program_, &setup_, step_); }

  // Exactly one box, with this text and the OK style.
  void ExpectOneBox(const std::string& line) {
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Please note: [for step number: 4]\n" + line + "\n");
    EXPECT_EQ(ui_.boxes[0].style, driverwyr::kMessageOk);
  }

  bending_test::TempFolder folder_;
  RecordingUserInterface ui_;
  ProgramData program_;
  CPPSetup setup_;
  CPPStepInfo step_;
};

TEST_F(CalculateBendDataTest, AnOrdinaryStepGetsDepthAndForceAndNoBox) {
  Calculate();
  EXPECT_NEAR(step_.GetTonnageValue(), 172.12f, 0.01f);
  EXPECT_LT(step_.GetY1(), -5.0f);
  EXPECT_GT(step_.GetY1(), -7.0f);
  EXPECT_EQ(step_.GetY1(), step_.GetY2());
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CalculateBendDataTest, ExampleMildSteelNeedsAboutSeventeenTonnes) {
  // The shipped f_1: 2 mm mild steel of strength 40, 16 mm die, 1 m, 90 degrees.
  SetPathNames(CString("program"), CString(DRIVERWYR_EXAMPLE_MATERIALS), CString(""));
  Calculate();
  EXPECT_NEAR(step_.GetTonnageValue(), 172.0f, 3.0f);
  EXPECT_LT(step_.GetY1(), -5.0f);
  EXPECT_GT(step_.GetY1(), -7.0f);
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CalculateBendDataTest, NoMaterialNoCalculationNoBox) {
  step_.SetY1(3);
  step_.SetTonnageValue(9);
  program_.MaterialNumber = 0;
  Calculate();
  EXPECT_EQ(step_.GetY1(), 0.0f);
  EXPECT_TRUE(std::signbit(step_.GetY1())) << "-0";
  EXPECT_TRUE(std::signbit(step_.GetY2())) << "-0";
  EXPECT_EQ(step_.GetTonnageValue(), 0.0f);
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CalculateBendDataTest, MaterialWithoutFileIsNotSupported) {
  for (const std::int16_t number : {3, 5}) {
    ui_.boxes.clear();
    program_.MaterialNumber = number;
    Calculate();
    EXPECT_EQ(step_.GetY1(), 0.0f) << "material " << number;
    EXPECT_EQ(step_.GetTonnageValue(), 0.0f) << "material " << number;
    ExpectOneBox(kMaterialNotSupported);
  }
}

TEST_F(CalculateBendDataTest, MalformedFileIsNotSupported) {
  std::string bytes = bending_test::Bytes(bending_test::SteelLike());
  bytes[6] = 11;  // eleven terms
  bending_test::WriteBytes(folder_.path() / "f_1", bytes);
  Calculate();
  EXPECT_EQ(step_.GetTonnageValue(), 0.0f);
  ExpectOneBox(kMaterialNotSupported);
}

TEST_F(CalculateBendDataTest, OffCentreFactor) {
  struct Case {
    float offset;
    float factor;
  };
  const Case cases[] = {{0.0f, 1.0f}, {0.7f, 3001.0f / 3000.0f}, {-0.7f, 3001.0f / 3000.0f}, {0.4f, 1.0f},
                        {1.0f, 3002.0f / 3000.0f}, {-25.0f, 3050.0f / 3000.0f}};
  Calculate();
  const float centred = step_.GetTonnageValue();
  for (const Case& c : cases) {
    step_.SetOffset(c.offset, 0);
    Calculate();
    EXPECT_FLOAT_EQ(step_.GetTonnageValue(), centred * c.factor) << "offset " << c.offset;
  }
}

TEST_F(CalculateBendDataTest, MinimumWarningIsClearedByTheOffCentreStep) {
  // A punch allowed no load: the force is cut to 0 (53), raised to the
  // machine minimum (51 replaces 53), and 51 is cleared once corrected.
  SetMachines(MakeMachine("PB100", 100, 5, 3000));
  RecordArray<CPPTool> tools;
  tools.SetSize(2);
  tools[0] = MakeTool("P1", 0, 0, 0, 0, 0);
  tools[1] = MakeTool("D16", 16, 88, 2, 0, 100);
  InitToolInfo(&tools);
  step_.SetOffset(3, 0);
  Calculate();
  EXPECT_FLOAT_EQ(step_.GetTonnageValue(), 50.0f * 3006.0f / 3000.0f);
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CalculateBendDataTest, EachWarningShowsItsLine) {
  struct Case {
    const char* die;
    double minimum;
    double tonnage;
    const char* line;
  };
  const Case cases[] = {
      {"D6", 0, 100, "The Die V width / Thickness is less than 4"},
      {"D16", 0, 10, "The calculated force is greater than machine maximum tonnage"},
  };
  for (const Case& c : cases) {
    ui_.boxes.clear();
    SetTools("P1", c.die);
    SetMachines(MakeMachine("PB100", c.tonnage, c.minimum, 3000));
    Calculate();
    ExpectOneBox(c.line);
  }
}

TEST_F(CalculateBendDataTest, UnknownDieGivesFiniteValues) {
  SetTools("P1", "d16");  // names differ in letter case: not found
  Calculate();
  EXPECT_TRUE(std::isfinite(step_.GetY1()));
  EXPECT_TRUE(std::isfinite(step_.GetTonnageValue()));
  ExpectOneBox("The Die V width / Thickness is less than 4");

  // With a machine minimum the force is raised to it, and nothing is left to say.
  ui_.boxes.clear();
  SetMachines(MakeMachine("PB100", 100, 2, 3000));
  Calculate();
  EXPECT_FLOAT_EQ(step_.GetTonnageValue(), 20.0f);
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CalculateBendDataTest, UnknownMachineOrNoBendingLength) {
  setup_.SetUserMachineName("PB200");
  step_.SetOffset(5, 0);
  Calculate();
  EXPECT_EQ(step_.GetTonnageValue(), 0.0f) << "limited to the unknown machine's 0 tonnes";
  EXPECT_TRUE(std::isfinite(step_.GetY1()));
  ExpectOneBox("The calculated force is greater than machine maximum tonnage");

  ui_.boxes.clear();
  setup_.SetUserMachineName("PB100");
  setup_.SetBendingCoefficient(10);
  SetMachines(MakeMachine("PB100", 100, 1, 0));
  Calculate();
  EXPECT_NEAR(step_.GetTonnageValue(), 172.12f, 0.01f) << "no off-centre factor";
  EXPECT_TRUE(std::isfinite(step_.GetY1()));
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CalculateBendDataTest, WithoutSetupADefaultSetupStandsIn) {
  CalculateBendData(program_, nullptr, step_);
  // A default setup names no machine.
  ExpectOneBox("The calculated force is greater than machine maximum tonnage");
}

TEST_F(CalculateBendDataTest, CollectsTheValuesOfTheNamedRecords) {
  setup_.SetBendingCoefficient(2.5f);
  SetMachines(MakeMachine("PB100", 100.25, 1.5, 3000.5));
  const auto tool = driverwyr::CollectToolData(program_, step_);
  EXPECT_EQ(tool.DieWidth, 16.0f) << "the first D16";
  EXPECT_EQ(tool.DieAngle, 88.0f);
  EXPECT_EQ(tool.DieRadius, 2.0f);
  EXPECT_EQ(tool.BendLengthM, 1.0f);
  EXPECT_EQ(tool.MaterialNumber, 1.0f);
  const auto machine = driverwyr::CollectMachineData(step_, setup_);
  EXPECT_EQ(machine.MaxForce, 1002.5f);
  EXPECT_EQ(machine.MinForce, 15.0f);
  EXPECT_EQ(machine.MaxBendingLength, 3000.5f);
  EXPECT_EQ(machine.BendingCoefficient, 2.5f);
  EXPECT_EQ(machine.PunchLoadLimit, 1000.0f);
  EXPECT_EQ(machine.DieLoadLimit, 1000.0f);
}

TEST(BendWarnings, TextForTheCodes) {
  struct Case {
    std::vector<int> codes;
    std::string text;
  };
  const std::string heading = "Please note: [for step number: 7]\n";
  const Case cases[] = {
      {{}, ""},
      {{23}, heading + "The Die V width / Thickness is less than 4\n"},
      {{3}, heading + "The material is not supported.\n"},
      {{10}, heading + "The material is not supported.\n"},
      {{22}, heading + "The elongation is greater than 50%\n"},
      {{24}, heading + "The Die V Width / Thickness is greater than 20\n"},
      {{51}, heading + "The calculated force is less than machine minimum tonnage\n"},
      {{52}, heading + "The calculated force is greater than machine maximum tonnage\n"},
      {{53}, heading + "The calculated force is greater than punch allowable tonnage\n"},
      {{54}, heading + "The calculated force is greater than die allowable tonnage\n"},
      {{1, 2, 50, -3}, ""},
      {{0, 23, 0, 23}, heading + "The Die V width / Thickness is less than 4\n" +
                            "The Die V width / Thickness is less than 4\n"},
  };
  for (const Case& c : cases) {
    driverwyr::WarningList warnings{};
    std::copy(c.codes.begin(), c.codes.end(), warnings.begin());
    EXPECT_EQ(driverwyr::BendWarningText(7, warnings), c.text) << ::testing::PrintToString(c.codes);
  }
}

}  // namespace
