#include "bending/bend_calculator.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "bending_test_support.h"

namespace {

using bending_test::File;
using bending_test::NoModel;
using bending_test::Polynomial;
using driverwyr::BendCalculator;
using driverwyr::BendResult;
using driverwyr::MachineData;
using driverwyr::MaterialFile;
using driverwyr::ToolData;
using driverwyr::WarningList;

// 2 mm sheet of strength 40 over 1 m in a 16 mm die of 88 degrees with
// 2 mm shoulders, bent to 90 degrees.
ToolData Tool() {
  ToolData tool;
  tool.MaterialNumber = 1;
  tool.Thickness = 2;
  tool.DieWidth = 16;
  tool.DieAngle = 88;
  tool.DieRadius = 2;
  tool.BendLengthM = 1;
  tool.Hardness = 40;
  tool.BendAngle = 90;
  return tool;
}

// A 100 t machine of 3 m with 1 t minimum; tools allowed 100 t per metre.
MachineData Machine() {
  MachineData machine;
  machine.MaxForce = 1000;
  machine.MinForce = 10;
  machine.MaxBendingLength = 3000;
  machine.BendingCoefficient = 0;
  machine.PunchLoadLimit = 1000;
  machine.DieLoadLimit = 1000;
  return machine;
}

struct Outcome {
  BendResult result;
  int warning = 0;
};

Outcome Calculate(const MaterialFile& material, const ToolData& tool, const MachineData& machine) {
  BendCalculator calculator("", 1, material);
  Outcome outcome;
  WarningList warnings{};
  calculator.Calculate(tool, machine, outcome.result, warnings);
  outcome.warning = warnings[0];
  for (std::size_t i = 1; i < warnings.size(); ++i) EXPECT_EQ(warnings[i], 0) << "only the first code is written";
  return outcome;
}

Outcome Calculate(const ToolData& tool, const MachineData& machine) {
  return Calculate(bending_test::SteelLike(), tool, machine);
}

// A sheet that cannot take a tight bend: neutral fibre at the inner face and
// an inner radius of 0.3 t.
MaterialFile Brittle() {
  return File(Polynomial(1.0f), Polynomial(0.0f), Polynomial(std::log10(0.3f)), Polynomial(0.85f));
}

// F0 = S x L x k x t^2 / V with k = 1.324 at V/t = 8: 13.24 t.
constexpr float kBasicForce = 13.24f;

TEST(BendCalculator, ForceOfTheAnchorBend) {
  const Outcome outcome = Calculate(Tool(), Machine());
  EXPECT_EQ(outcome.warning, 0);
  EXPECT_NEAR(outcome.result.Force, 1.3f * kBasicForce * 10, 0.01);
  EXPECT_GT(outcome.result.Depth, 5.0f);
  EXPECT_LT(outcome.result.Depth, 7.0f);
}

TEST(BendCalculator, WarningCodesAndTheOrderInWhichTheyReplaceEachOther) {
  struct Case {
    const char* name;
    MaterialFile material;
    ToolData tool;
    MachineData machine;
    int warning;
    float force;  // < 0: not checked
  };
  std::vector<Case> cases;
  const auto add = [&](const char* name, auto change_tool, auto change_machine, int warning, float force,
                       MaterialFile material = bending_test::SteelLike()) {
    Case c{name, material, Tool(), Machine(), warning, force};
    change_tool(c.tool);
    change_machine(c.machine);
    cases.push_back(c);
  };
  const auto same_tool = [](ToolData&) {};
  const auto same_machine = [](MachineData&) {};
  add("nothing wrong", same_tool, same_machine, 0, -1);
  add("V/t = 12", [](ToolData& t) { t.DieWidth = 24; }, same_machine, 0, -1);
  add("V/t = 3", [](ToolData& t) { t.DieWidth = 6; }, same_machine, 23, -1);
  add("V/t = 25", [](ToolData& t) { t.DieWidth = 50; }, same_machine, 24, -1);
  add("V/t = 4 is allowed", [](ToolData& t) { t.DieWidth = 8; }, same_machine, 0, -1);
  add("V/t = 20 is allowed", [](ToolData& t) { t.DieWidth = 40; }, same_machine, 0, -1);
  add("elongation", [](ToolData& t) { t.BendAngle = 30; t.DieAngle = 30; t.DieWidth = 24; },
      [](MachineData& m) { m.PunchLoadLimit = m.DieLoadLimit = m.MaxForce = 1e6f; }, 22, -1, Brittle());
  add("elongation replaces V/t = 3", [](ToolData& t) { t.BendAngle = 30; t.DieAngle = 30; t.DieWidth = 6; },
      [](MachineData& m) { m.PunchLoadLimit = m.DieLoadLimit = m.MaxForce = 1e6f; }, 22, -1, Brittle());
  add("punch limit", same_tool, [](MachineData& m) { m.PunchLoadLimit = 150; }, 53, 150);
  add("die limit", same_tool, [](MachineData& m) { m.DieLoadLimit = 140; }, 54, 140);
  add("die limit replaces punch limit", same_tool,
      [](MachineData& m) { m.PunchLoadLimit = 150; m.DieLoadLimit = 140; }, 54, 140);
  add("limits per metre of bend", [](ToolData& t) { t.BendLengthM = 0.5f; },
      [](MachineData& m) { m.PunchLoadLimit = 150; }, 53, 75);
  add("machine maximum", same_tool, [](MachineData& m) { m.MaxForce = 120; }, 52, 120);
  add("machine minimum", same_tool, [](MachineData& m) { m.MinForce = 500; }, 51, 500);
  add("minimum replaces V/t", [](ToolData& t) { t.DieWidth = 50; }, [](MachineData& m) { m.MinForce = 500; }, 51,
      500);
  add("zero punch limit, then minimum", same_tool, [](MachineData& m) { m.PunchLoadLimit = 0; }, 51, 10);
  add("punch limit survives a zero minimum", same_tool,
      [](MachineData& m) { m.PunchLoadLimit = 0; m.MinForce = 0; }, 53, 0);
  add("maximum replaces die limit", same_tool, [](MachineData& m) { m.DieLoadLimit = 140; m.MaxForce = 100; }, 52,
      100);
  for (const Case& c : cases) {
    const Outcome outcome = Calculate(c.material, c.tool, c.machine);
    EXPECT_EQ(outcome.warning, c.warning) << c.name;
    if (c.force >= 0) {
      EXPECT_FLOAT_EQ(outcome.result.Force, c.force) << c.name;
    }
    EXPECT_TRUE(std::isfinite(outcome.result.Depth)) << c.name;
  }
}

TEST(BendCalculator, MaterialNumbersOutsideTheFilesStopTheCalculation) {
  bending_test::TempFolder folder;  // holds no material file
  struct Case {
    float number;
    int warning;
  };
  const Case cases[] = {{0.0f, 0}, {0.9f, 0}, {5.0f, 3}, {-1.0f, 3}, {3.0f, 10}, {1.0f, 10}};
  for (const Case& c : cases) {
    BendCalculator calculator(folder.str());
    ToolData tool = Tool();
    tool.MaterialNumber = c.number;
    BendResult result;
    WarningList warnings{};
    calculator.Calculate(tool, Machine(), result, warnings);
    EXPECT_EQ(warnings[0], c.warning) << "material " << c.number;
    EXPECT_EQ(result.Depth, 0.0f) << "material " << c.number;
    EXPECT_EQ(result.Force, 0.0f) << "material " << c.number;
    EXPECT_EQ(calculator.LoadedMaterial(), 0);
  }
}

TEST(BendCalculator, ReadsTheFileOfItsMaterialNumber) {
  bending_test::TempFolder folder;
  // Materials 2 and 4 differ in springback only.
  bending_test::WriteBytes(folder.path() / "f_2", bending_test::Bytes(bending_test::SteelLike()));
  MaterialFile other = bending_test::SteelLike();
  other.models[0] = Polynomial(4.0f);
  bending_test::WriteBytes(folder.path() / "f_4", bending_test::Bytes(other));
  bending_test::WriteBytes(folder.path() / "f_3", "broken");

  float depth[5] = {};
  for (int number : {2, 3, 4}) {
    BendCalculator calculator(folder.str());
    ToolData tool = Tool();
    tool.MaterialNumber = static_cast<float>(number);
    BendResult result;
    WarningList warnings{};
    calculator.Calculate(tool, Machine(), result, warnings);
    EXPECT_EQ(warnings[0], number == 3 ? 10 : 0) << "material " << number;
    depth[number] = result.Depth;
  }
  EXPECT_GT(depth[4], depth[2] + 0.1f) << "more springback, deeper stroke";
  EXPECT_EQ(depth[3], 0.0f);
}

TEST(BendCalculator, ZeroThicknessEndsWithoutValues) {
  ToolData tool = Tool();
  tool.Thickness = 0;
  const Outcome outcome = Calculate(tool, Machine());
  EXPECT_EQ(outcome.warning, 0);
  EXPECT_EQ(outcome.result.Depth, 0.0f);
  EXPECT_EQ(outcome.result.Force, 0.0f);
}

TEST(BendCalculator, AnglesOutsideTwentyToOneEightyKeepTheBasicForce) {
  struct Case {
    float angle;
    bool calculated;
  };
  const Case cases[] = {{10.0f, false}, {19.99f, false}, {20.0f, true}, {180.0f, true}, {180.5f, false}};
  for (const Case& c : cases) {
    ToolData tool = Tool();
    tool.BendAngle = c.angle;
    const Outcome outcome = Calculate(tool, Machine());
    if (c.calculated) {
      EXPECT_GE(outcome.result.Force, 1.3f * kBasicForce * 10 - 0.01f) << "angle " << c.angle;
    } else {
      EXPECT_EQ(outcome.result.Depth, 0.0f) << "angle " << c.angle;
      EXPECT_NEAR(outcome.result.Force, 1.3f * kBasicForce, 0.001) << "no scale, no limits: angle " << c.angle;
    }
  }
}

TEST(BendCalculator, FlatSheetUsesFiftyThicknessesAsInnerRadius) {
  // Springback 2 degrees: the punch goes to 178. The radius term is then
  // f x 50 t x (1/sin 89 - 1) with f = 1, whatever the inner radius model says.
  ToolData tool = Tool();
  tool.BendAngle = 180;
  const MaterialFile with_effect = File(Polynomial(2.0f), Polynomial(0.4f), Polynomial(0.0f), Polynomial(1.0f));
  const MaterialFile without_effect = File(Polynomial(2.0f), Polynomial(0.4f), Polynomial(0.0f), NoModel());
  const float with = Calculate(with_effect, tool, Machine()).result.Depth;
  const float without = Calculate(without_effect, tool, Machine()).result.Depth;
  const double bulge = 1.0 / std::sin(89.0 * driverwyr::kDegreesToRadians) - 1.0;
  EXPECT_NEAR(without - with, 50 * 2 * bulge, 1e-4);
  EXPECT_GT(without, 0.0f);

  // No springback: the punch goes to 180 itself and has no depth.
  const MaterialFile no_springback = File(Polynomial(0.0f), Polynomial(0.4f), Polynomial(0.0f), NoModel());
  EXPECT_EQ(Calculate(no_springback, tool, Machine()).result.Depth, 0.0f);
}

TEST(BendCalculator, BottomingRaisesTheForceBelowTheDieAngle) {
  // No springback, so the punch goes to the bend angle of 88.
  const MaterialFile material = File(Polynomial(0.0f), Polynomial(0.4f), Polynomial(0.1f), Polynomial(0.85f));
  struct Case {
    float die_angle;
    float factor;  // on 1.3 x F0
  };
  const Case cases[] = {{80.0f, 1.0f}, {87.4f, 1.0f}, {87.5f, 1.3f}, {90.0f, 1.55f}};
  for (const Case& c : cases) {
    ToolData tool = Tool();
    tool.BendAngle = 88;
    tool.DieAngle = c.die_angle;
    MachineData machine = Machine();
    machine.MaxForce = machine.PunchLoadLimit = machine.DieLoadLimit = 1e6f;
    const Outcome outcome = Calculate(material, tool, machine);
    EXPECT_NEAR(outcome.result.Force, 1.3f * kBasicForce * 10 * c.factor, 0.02) << "die angle " << c.die_angle;
  }
}

TEST(BendCalculator, DeflectionCompensationGrowsWithTheLoad) {
  // Load per mm q = 1.3 x 13.24 x 10 / 1000 = 0.17212; capacity 1000 / 1000
  // = 1; r = 1 is limited to 0.6, m = 0.36, p = 0.296841.
  // 0.01 x 1000 x q^2 x p = 0.087941 mm.
  MachineData machine = Machine();
  machine.MaxBendingLength = 1000;
  const float plain = Calculate(Tool(), machine).result.Depth;
  machine.BendingCoefficient = 1000;
  const float compensated = Calculate(Tool(), machine).result.Depth;
  EXPECT_NEAR(compensated - plain, 0.087941, 2e-5);
}

TEST(BendCalculator, UndefinedDivisionsStoreFiniteValues) {
  struct Case {
    const char* name;
    ToolData tool;
    MachineData machine;
    int warning;
  };
  ToolData no_die = Tool();
  no_die.DieWidth = 0;
  no_die.DieAngle = 0;
  no_die.DieRadius = 0;
  MachineData no_length = Machine();
  no_length.MaxBendingLength = 0;
  no_length.BendingCoefficient = 5;
  MachineData no_machine;
  no_machine.PunchLoadLimit = 1000;
  no_machine.DieLoadLimit = 1000;
  no_machine.BendingCoefficient = 5;
  ToolData no_length_bend = Tool();
  no_length_bend.BendLengthM = 0;
  MachineData no_minimum = Machine();
  no_minimum.MinForce = 0;
  const Case cases[] = {
      {"unknown die", no_die, no_minimum, 23},
      {"unknown die, machine minimum", no_die, Machine(), 51},
      {"machine without bending length", Tool(), no_length, 0},
      {"unknown machine", Tool(), no_machine, 52},
      {"bend of no length", no_length_bend, no_minimum, 0},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Calculate(c.tool, c.machine);
    EXPECT_TRUE(std::isfinite(outcome.result.Depth)) << c.name;
    EXPECT_TRUE(std::isfinite(outcome.result.Force)) << c.name;
    EXPECT_EQ(outcome.warning, c.warning) << c.name;
  }
  // Without a bending length the depth is the uncompensated one.
  MachineData plain = Machine();
  EXPECT_EQ(Calculate(Tool(), no_length).result.Depth, Calculate(Tool(), plain).result.Depth);
}

TEST(BendCalculator, ModelsThatOverflowGiveNoValues) {
  // An inner radius of 10^40 thicknesses overflows the float range.
  const MaterialFile absurd = File(Polynomial(1.0f), Polynomial(0.4f), Polynomial(40.0f), Polynomial(0.85f));
  const Outcome outcome = Calculate(absurd, Tool(), Machine());
  EXPECT_EQ(outcome.warning, 10);
  EXPECT_EQ(outcome.result.Depth, 0.0f);
  EXPECT_EQ(outcome.result.Force, 0.0f);
}

TEST(BendZone, StatusOfTheGeometryCheck) {
  struct Case {
    float ratio;
    float neutral;
    float angle;
    int status;
    float ratio_after;  // < 0: unchanged
  };
  const Case cases[] = {
      {1.24f, 0.42f, 90, 0, -1},      // an ordinary air bend
      {0.3f, 0.0f, 30, 7, -1},        // a tight bend: the outer fibre stretches over 50 %
      {0.1f, 0.42f, 90, 1, 0.803485f},  // the radius is too small for the neutral fibre: replaced
      {0.01f, 0.5f, 176, 0, -1},       // flat: nothing is checked
      {2.0f, 1.5f, 90, 4, 2.86959f},   // neutral fibre outside the sheet: radius replaced, then J < 0
  };
  for (const Case& c : cases) {
    const auto zone = driverwyr::CheckBendZone(c.ratio, c.neutral, c.angle);
    EXPECT_EQ(zone.status, c.status) << "D " << c.ratio << " P2 " << c.neutral << " angle " << c.angle;
    EXPECT_NEAR(zone.ratio, c.ratio_after < 0 ? c.ratio : c.ratio_after, 1e-5)
        << "D " << c.ratio << " P2 " << c.neutral << " angle " << c.angle;
  }
}

}  // namespace
