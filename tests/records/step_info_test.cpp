// The bend step setters that convert inches, round or derive other fields.
// Expected values are the single-precision results that reach the program
// file, compared exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <ostream>
#include <string_view>

#include "driverwyr/step_info.h"

namespace {

constexpr int kMm = 0;
constexpr int kInch = 1;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct SetterCase {
  std::string_view field;  // "Offset" is checked with every "RetractStroke" case
  double value;            // passed as a float, except to SetBendingSpeed
  int unit;
  double expected;
  int control_type = 2;
};

std::ostream& operator<<(std::ostream& os, const SetterCase& c) {
  return os << c.field << ", value " << c.value << ", unit " << c.unit << ", control type " << c.control_type;
}

// The value the getter returns after the setter was called with `c`.
double Apply(const SetterCase& c, std::string_view field) {
  CPPStepInfo step;
  step.SetControlType(c.control_type);
  const auto value = static_cast<float>(c.value);
  if (field == "BendLength") { step.SetBendLength(value, c.unit); return step.GetBendLength(); }
  if (field == "StepValue") { step.SetStepValue(value, c.unit); return step.GetStepValue(); }
  if (field == "RetractStroke") { step.SetRetractStroke(value, c.unit); return step.GetRetractStroke(); }
  if (field == "Offset") { step.SetOffset(value, c.unit); return step.GetOffset(); }
  if (field == "ODC") { step.SetODC(value, c.unit); return step.GetODC(); }
  if (field == "BendingSpeed") { step.SetBendingSpeed(c.value, c.unit); return step.GetBendingSpeed(); }
  ADD_FAILURE() << "no setter " << field;
  return 0.0;
}

TEST(StepSetters, ConversionsAndRoundings) {
  const SetterCase cases[] = {
      // Whole millimetres, half up; inch values lose the decimals beyond the first.
      {"BendLength", 100.5, kMm, 101}, {"BendLength", 100.49, kMm, 100},
      {"BendLength", -2.7, kMm, -2},      // -2.2 truncated toward zero
      {"BendLength", 100.5, 2, 101},      // any unit but 1 is millimetre
      {"BendLength", 3.96, kInch, 99},    // 3.9 x 25.4 = 99.06
      {"BendLength", 4.0, kInch, 102},    // 101.6
      {"BendLength", 1e9, kMm, 32767},    // beyond a short: the largest length, not a wrapped one
      {"BendLength", -1e9, kMm, -32768}, {"BendLength", kNaN, kMm, 0},
      {"StepValue", 12.7, kMm, 12.0}, {"StepValue", -12.7, kMm, -12.0},
      {"StepValue", 0.5009, kInch, 12.7f},        // 0.500 x 25.4
      {"StepValue", 0.0101, kInch, 0.25399998f},  // 0.01 x 25.4 in single precision
      {"RetractStroke", 10.19, kMm, 10.1f}, {"RetractStroke", -10.19, kMm, -10.1f},
      {"RetractStroke", 0.7, kMm, 0.6f},          // 0.7f lies just below 0.7
      {"RetractStroke", 1.237, kInch, 31.242f},   // 1.23 x 25.4
      // Half up at and above zero, toward zero below; saturates instead of wrapping.
      {"ODC", 250.5, kMm, 251}, {"ODC", 250.49, kMm, 250}, {"ODC", -3.7, kMm, -3},
      {"ODC", 10.0, kInch, 254},
      {"ODC", 9.85, kInch, 250},        // 250.19
      {"ODC", 32767.4, kMm, 32767}, {"ODC", 1e6, kMm, 32767}, {"ODC", 2000.0, kInch, 32767},
      {"ODC", -1e6, kMm, -32768}, {"ODC", kNaN, kMm, 0},
      // Control type 0 truncates and ignores the unit; the others round half up.
      {"BendingSpeed", 7.9, kMm, 7, 0}, {"BendingSpeed", 7.9, kInch, 7, 0},
      {"BendingSpeed", -7.9, kMm, -7, 0}, {"BendingSpeed", 1e6, kMm, 32767, 0},
      {"BendingSpeed", 7.9, kMm, 8}, {"BendingSpeed", 7.4, kMm, 7}, {"BendingSpeed", 7.5, kMm, 8, 7},
      {"BendingSpeed", 0.3, kInch, 8},      // 7.62 mm
      {"BendingSpeed", 0.25, kInch, 6},     // 6.35 mm
      {"BendingSpeed", -7.9, kMm, -7}, {"BendingSpeed", 1e6, kMm, 32767},
      {"BendingSpeed", 40000.0, kInch, 32767}, {"BendingSpeed", kNaN, kMm, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Apply(c, c.field), c.expected) << c;
    if (c.field == "RetractStroke") {
      EXPECT_EQ(Apply(c, "Offset"), c.expected) << "Offset, " << c;
    }
  }
}

TEST(StepSetters, BendingSpeedKeepsItsValueWhenControlTypeChangesLater) {
  CPPStepInfo step;
  step.SetControlType(0);
  step.SetBendingSpeed(7.9, kMm);
  step.SetControlType(2);
  EXPECT_EQ(step.GetBendingSpeed(), 7);
}

TEST(StepSetters, BendTypeSetsCoiningFlagAndMode) {
  constexpr short kUntouched = 7;
  const struct {
    int type;
    short flags;  // expected CoiningFlag and Mode
  } cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 0}, {4, 1}, {5, 0}, {6, 1},
               {7, kUntouched}, {9, kUntouched}, {-1, kUntouched}, {100, kUntouched}};
  for (const auto& c : cases) {
    CPPStepInfo step;
    step.SetCoiningFlag(kUntouched);
    step.SetMode(kUntouched);
    step.SetBendType(c.type);
    EXPECT_EQ(step.GetBendType(), c.type);
    EXPECT_EQ(step.GetCoiningFlag(), c.flags) << "bend type " << c.type;
    EXPECT_EQ(step.GetMode(), c.flags) << "bend type " << c.type;
  }
  // A flag set after the bend type wins.
  CPPStepInfo step;
  step.SetBendType(4);
  step.SetMode(0);
  EXPECT_EQ(step.GetMode(), 0);
  EXPECT_EQ(step.GetCoiningFlag(), 1);
}

TEST(StepSetters, BendingDepthZeroesBothRamAxes) {
  CPPStepInfo step;
  step.SetY1(12.5f);
  step.SetY2(13.5f);
  step.SetBendingDepth(40.0f);
  EXPECT_EQ(step.GetY1(), 0.0f);
  EXPECT_EQ(step.GetY2(), 0.0f);
}

TEST(StepSetters, ToolIdKeepsAll192BytesVerbatim) {
  char in[6][32];
  for (int i = 0; i < 6 * 32; ++i) in[i / 32][i % 32] = static_cast<char>(0x80 + i / 2);
  std::strcpy(in[0], "PUNCH 88");
  in[3][0] = '\0';                          // an empty name with bytes after it
  std::memset(in[5], 'Z', sizeof(in[5]));   // a name that fills its 32 bytes, no NUL
  CPPStepInfo step;
  step.SetToolID(in);
  char out[6][32] = {};
  step.GetToolID(out);
  EXPECT_EQ(std::memcmp(in, out, sizeof(in)), 0);
}

}  // namespace
