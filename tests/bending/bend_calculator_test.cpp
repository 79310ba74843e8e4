#include "bending/bend_calculator.h"

#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "bending_test_support.h"

namespace {

using namespace bending_test;
using namespace driverwyr;

// Material 1, 2 mm sheet of strength 40 over 1 m in a 16 mm die of 88 degrees
// with 2 mm shoulders, bent to 90 degrees.
constexpr ToolData kTool{1, 2, 16, 88, 2, 1, 40, 90};
// A 100 t machine of 3 m with 1 t minimum; tools allowed 100 t per metre.
constexpr MachineData kMachine{1000, 10, 3000, 0, 1000, 1000};
// F0 = S x L x k x t^2 / V with k = 1.324 at V/t = 8: 13.24 t; the air bend
// needs 1.3 F0, at the machine's scale of 10.
constexpr float kBasicForce = 13.24f;
constexpr float kAnchorForce = 1.3f * kBasicForce * 10;

struct Outcome {
  BendResult result;
  int warning = 0;
};

Outcome Calculate(BendCalculator calculator, const ToolData& tool, const MachineData& machine = kMachine) {
  Outcome outcome;
  WarningList warnings{};
  calculator.Calculate(tool, machine, outcome.result, warnings);
  outcome.warning = warnings[0];
  for (std::size_t i = 1; i < warnings.size(); ++i) EXPECT_EQ(warnings[i], 0) << "only the first code is written";
  return outcome;
}

Outcome Calculate(const MaterialFile& material, const ToolData& tool, const MachineData& machine = kMachine) {
  return Calculate(BendCalculator("", 1, material), tool, machine);
}

Outcome Calculate(const ToolData& tool, const MachineData& machine = kMachine) {
  return Calculate(SteelLike(), tool, machine);
}

TEST(BendCalculator, WarningsLimitsAndInputsOutsideTheModels) {
  // A sheet that cannot take a tight bend (neutral fibre at the inner face,
  // inner radius 0.3 t); one without springback; one whose inner radius of
  // 10^40 thicknesses overflows the float range.
  const MaterialFile brittle = File(Polynomial(1.0f), Polynomial(0.0f), Polynomial(std::log10(0.3f)),
                                    Polynomial(0.85f));
  const MaterialFile rigid = File(Polynomial(0.0f), Polynomial(0.4f), Polynomial(0.1f), Polynomial(0.85f));
  const MaterialFile absurd = File(Polynomial(1.0f), Polynomial(0.4f), Polynomial(40.0f), Polynomial(0.85f));
  const auto tight = [](float width) {
    return [=](ToolData& t, MachineData& m) {
      t.BendAngle = t.DieAngle = 30;
      t.DieWidth = width;
      m.PunchLoadLimit = m.DieLoadLimit = m.MaxForce = 1e6f;
    };
  };
  const auto angle = [](float a) { return [=](ToolData& t, MachineData&) { t.BendAngle = a; }; };
  const auto no_die = [](ToolData& t, MachineData&) { t.DieWidth = t.DieAngle = t.DieRadius = 0; };
  // Bent to 88 over a die of `die_angle` without limits: bottoming past the die angle.
  const auto bottoming = [](float die_angle) {
    return [=](ToolData& t, MachineData& m) {
      t.BendAngle = 88;
      t.DieAngle = die_angle;
      m.PunchLoadLimit = m.DieLoadLimit = m.MaxForce = 1e6f;
    };
  };
  const float unscaled = 1.3f * kBasicForce;
  const struct {
    const char* name;
    std::function<void(ToolData&, MachineData&)> change;
    int warning;
    std::optional<float> force = {};
    std::optional<float> depth = {};
    const MaterialFile* material = nullptr;  // the steel-like one when null
  } cases[] = {
      {"the anchor bend", [](ToolData&, MachineData&) {}, 0, kAnchorForce},
      // Each code from its condition, and which replaces which.
      {"V/t = 3", [](ToolData& t, MachineData&) { t.DieWidth = 6; }, 23},
      {"V/t = 25", [](ToolData& t, MachineData&) { t.DieWidth = 50; }, 24},
      {"V/t = 4 is allowed", [](ToolData& t, MachineData&) { t.DieWidth = 8; }, 0},
      {"V/t = 20 is allowed", [](ToolData& t, MachineData&) { t.DieWidth = 40; }, 0},
      {"elongation", tight(24), 22, {}, {}, &brittle},
      {"elongation replaces V/t = 3", tight(6), 22, {}, {}, &brittle},
      {"punch limit", [](ToolData&, MachineData& m) { m.PunchLoadLimit = 150; }, 53, 150},
      {"die limit", [](ToolData&, MachineData& m) { m.DieLoadLimit = 140; }, 54, 140},
      {"die limit replaces punch limit",
       [](ToolData&, MachineData& m) { m.PunchLoadLimit = 150; m.DieLoadLimit = 140; }, 54, 140},
      {"limits per metre of bend", [](ToolData& t, MachineData& m) { t.BendLengthM = 0.5f; m.PunchLoadLimit = 150; },
       53, 75},
      {"machine maximum", [](ToolData&, MachineData& m) { m.MaxForce = 120; }, 52, 120},
      {"machine minimum", [](ToolData&, MachineData& m) { m.MinForce = 500; }, 51, 500},
      {"minimum replaces V/t", [](ToolData& t, MachineData& m) { t.DieWidth = 50; m.MinForce = 500; }, 51, 500},
      {"zero punch limit, then minimum", [](ToolData&, MachineData& m) { m.PunchLoadLimit = 0; }, 51, 10},
      {"punch limit survives a zero minimum", [](ToolData&, MachineData& m) { m.PunchLoadLimit = m.MinForce = 0; },
       53, 0},
      {"maximum replaces die limit", [](ToolData&, MachineData& m) { m.DieLoadLimit = 140; m.MaxForce = 100; }, 52,
       100},
      // No thickness ends with nothing; angles outside 20..180 keep the basic
      // force, unscaled and unlimited, and get no depth.
      {"no thickness", [](ToolData& t, MachineData&) { t.Thickness = 0; }, 0, 0, 0},
      {"angle 10", angle(10), 0, unscaled, 0},
      {"angle 19.99", angle(19.99f), 0, unscaled, 0},
      {"angle 20", angle(20), 53, 1000},
      {"angle 180", angle(180), 0, kAnchorForce},
      {"angle 180.5", angle(180.5f), 0, unscaled, 0},
      // Divisions the models leave undefined still store finite values.
      {"unknown die", [=](ToolData& t, MachineData& m) { no_die(t, m); m.MinForce = 0; }, 23, 0},
      {"unknown die, machine minimum", no_die, 51, 10},
      {"machine without bending length: no compensation",
       [](ToolData&, MachineData& m) { m.MaxBendingLength = 0; m.BendingCoefficient = 5; }, 0, kAnchorForce,
       Calculate(kTool).result.Depth},
      {"unknown machine", [](ToolData&, MachineData& m) { m = {0, 0, 0, 5, 1000, 1000}; }, 52, 0},
      {"bend of no length", [](ToolData& t, MachineData& m) { t.BendLengthM = 0; m.MinForce = 0; }, 0, 0},
      {"models that overflow", [](ToolData&, MachineData&) {}, 10, 0, 0, &absurd},
      // The force grows by 0.1 per degree the punch goes past the die angle - 0.5.
      {"die angle 80", bottoming(80), 0, kAnchorForce, {}, &rigid},
      {"die angle 87.4", bottoming(87.4f), 0, kAnchorForce, {}, &rigid},
      {"die angle 87.5", bottoming(87.5f), 0, kAnchorForce * 1.3f, {}, &rigid},
      {"die angle 90", bottoming(90), 0, kAnchorForce * 1.55f, {}, &rigid},
  };
  for (const auto& c : cases) {
    ToolData tool = kTool;
    MachineData machine = kMachine;
    c.change(tool, machine);
    const Outcome outcome = Calculate(c.material != nullptr ? *c.material : SteelLike(), tool, machine);
    EXPECT_EQ(outcome.warning, c.warning) << c.name;
    EXPECT_TRUE(std::isfinite(outcome.result.Depth) && std::isfinite(outcome.result.Force)) << c.name;
    if (c.force) {
      EXPECT_NEAR(outcome.result.Force, *c.force, 0.02) << c.name;
    }
    if (c.depth) {
      EXPECT_EQ(outcome.result.Depth, *c.depth) << c.name;
    }
  }
  const float depth = Calculate(kTool).result.Depth;
  EXPECT_TRUE(depth > 5.0f && depth < 7.0f) << depth;
}

TEST(BendCalculator, MaterialNumberSelectsItsFile) {
  TempFolder folder;
  // Materials 2 and 4 differ in springback only; 3 is broken; 1 has no file.
  MaterialFile more_springback = SteelLike();
  more_springback.models[0] = Polynomial(4.0f);
  WriteBytes(folder / "f_2", Bytes(SteelLike()));
  WriteBytes(folder / "f_4", Bytes(more_springback));
  WriteBytes(folder / "f_3", "broken");
  const std::pair<float, int> unusable[] = {{0.0f, 0}, {0.9f, 0}, {5.0f, 3}, {-1.0f, 3}, {3.0f, 10}, {1.0f, 10}};
  const auto from_folder = [&](float number) {
    ToolData tool = kTool;
    tool.MaterialNumber = number;
    return Calculate(BendCalculator(folder.path.string()), tool);
  };
  for (const auto& [number, warning] : unusable) {
    const Outcome outcome = from_folder(number);
    EXPECT_EQ(outcome.warning, warning) << "material " << number;
    EXPECT_EQ(outcome.result.Depth, 0.0f) << "material " << number;
    EXPECT_EQ(outcome.result.Force, 0.0f) << "material " << number;
  }
  const Outcome two = from_folder(2);
  const Outcome four = from_folder(4);
  EXPECT_EQ(two.warning + four.warning, 0);
  EXPECT_GT(four.result.Depth, two.result.Depth + 0.1f) << "more springback, deeper stroke";
}

TEST(BendCalculator, FlatSheetUsesFiftyThicknessesAsInnerRadius) {
  // Springback 2 degrees: the punch goes to 178. The radius term is then
  // f x 50 t x (1/sin 89 - 1) with f = 1, whatever the inner radius model says.
  ToolData tool = kTool;
  tool.BendAngle = 180;
  const auto material = [](float springback, const MaterialModel& effect) {
    return File(Polynomial(springback), Polynomial(0.4f), Polynomial(0.0f), effect);
  };
  const float with = Calculate(material(2, Polynomial(1.0f)), tool).result.Depth;
  const float without = Calculate(material(2, NoModel()), tool).result.Depth;
  EXPECT_NEAR(without - with, 50 * 2 * (1.0 / std::sin(89.0 * kDegreesToRadians) - 1.0), 1e-4);
  EXPECT_GT(without, 0.0f);
  EXPECT_EQ(Calculate(material(0, NoModel()), tool).result.Depth, 0.0f) << "no springback: no depth at 180";
}

TEST(BendCalculator, DeflectionCompensationGrowsWithTheLoad) {
  // Load per mm q = 1.3 x 13.24 x 10 / 1000 = 0.17212; capacity 1000 / 1000
  // = 1; r = 1 is limited to 0.6, m = 0.36, p = 0.296841.
  // 0.01 x 1000 x q^2 x p = 0.087941 mm.
  MachineData machine = kMachine;
  machine.MaxBendingLength = 1000;
  const float plain = Calculate(kTool, machine).result.Depth;
  machine.BendingCoefficient = 1000;
  EXPECT_NEAR(Calculate(kTool, machine).result.Depth - plain, 0.087941, 2e-5);
}

TEST(BendZone, StatusOfTheGeometryCheck) {
  const struct {
    float ratio;
    float neutral;
    float angle;
    int status;
    float ratio_after;  // < 0: unchanged
  } cases[] = {
      {1.24f, 0.42f, 90, 0, -1},        // an ordinary air bend
      {0.3f, 0.0f, 30, 7, -1},          // a tight bend: the outer fibre stretches over 50 %
      {0.1f, 0.42f, 90, 1, 0.803485f},  // the radius is too small for the neutral fibre: replaced
      {0.01f, 0.5f, 176, 0, -1},        // flat: nothing is checked
      {2.0f, 1.5f, 90, 4, 2.86959f},    // neutral fibre outside the sheet: radius replaced, then J < 0
  };
  for (const auto& c : cases) {
    const auto zone = CheckBendZone(c.ratio, c.neutral, c.angle);
    EXPECT_EQ(zone.status, c.status) << "D " << c.ratio << " P2 " << c.neutral << " angle " << c.angle;
    EXPECT_NEAR(zone.ratio, c.ratio_after < 0 ? c.ratio : c.ratio_after, 1e-5)
        << "D " << c.ratio << " P2 " << c.neutral << " angle " << c.angle;
  }
}

}  // namespace
