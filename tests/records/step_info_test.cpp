// The bend step setters that convert inches, round or derive other fields.
// Expected values are the single-precision results that reach the program
// file, compared exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <ostream>

#include "driverwyr/step_info.h"

namespace {

constexpr int kMm = 0;
constexpr int kInch = 1;

template <class Result>
struct UnitCase {
  float value;
  int unit;
  Result expected;
};

template <class Result>
std::ostream& operator<<(std::ostream& os, const UnitCase<Result>& c) {
  return os << "value " << c.value << (c.unit == kInch ? " inch" : " (unit " + std::to_string(c.unit) + ")");
}

TEST(StepSetters, BendLengthRoundsHalfUpToWholeMillimetres) {
  const UnitCase<short> cases[] = {
      {100.25f, kMm, 100},
      {100.5f, kMm, 101},
      {100.49f, kMm, 100},
      {0.0f, kMm, 0},
      {-2.7f, kMm, -2},     // -2.2 truncated toward zero
      {100.5f, 2, 101},     // any unit but 1 is millimetre
      {3.96f, kInch, 99},   // 3.9 x 25.4 = 99.06, + 0.5 truncated
      {4.0f, kInch, 102},   // 101.6 + 0.5
      {3.99f, kInch, 99},   // decimals beyond the first are dropped before converting
      {1e9f, kMm, 32767},   // beyond a short: the largest length, not a wrapped one
      {-1e9f, kMm, -32768},
      {std::numeric_limits<float>::quiet_NaN(), kMm, 0},
  };
  for (const auto& c : cases) {
    CPPStepInfo step;
    step.SetBendLength(c.value, c.unit);
    EXPECT_EQ(step.GetBendLength(), c.expected) << c;
  }
}

TEST(StepSetters, StepValueTruncates) {
  const UnitCase<float> cases[] = {
      {12.7f, kMm, 12.0f},
      {-12.7f, kMm, -12.0f},
      {0.5009f, kInch, 12.7f},   // 0.500 x 25.4
      {1.0f, kInch, 25.4f},
      // 0.01 x 25.4 formed in single precision is just below 0.254f.
      {0.0101f, kInch, 0.25399998f},
  };
  for (const auto& c : cases) {
    CPPStepInfo step;
    step.SetStepValue(c.value, c.unit);
    EXPECT_EQ(step.GetStepValue(), c.expected) << c;
  }
}

TEST(StepSetters, RetractStrokeAndOffsetTruncate) {
  const UnitCase<float> cases[] = {
      {10.19f, kMm, 10.1f},
      {-10.19f, kMm, -10.1f},
      {0.7f, kMm, 0.6f},          // 0.7f lies just below 0.7
      {1.237f, kInch, 31.242f},   // 1.23 x 25.4
      {0.0f, kInch, 0.0f},
  };
  for (const auto& c : cases) {
    CPPStepInfo step;
    step.SetRetractStroke(c.value, c.unit);
    step.SetOffset(c.value, c.unit);
    EXPECT_EQ(step.GetRetractStroke(), c.expected) << "RetractStroke, " << c;
    EXPECT_EQ(step.GetOffset(), c.expected) << "Offset, " << c;
  }
}

TEST(StepSetters, OdcRoundsHalfUpAndTruncatesNegatives) {
  const UnitCase<short> cases[] = {
      {250.5f, kMm, 251},
      {250.49f, kMm, 250},
      {10.0f, kInch, 254},
      {9.85f, kInch, 250},      // 250.19
      {-3.7f, kMm, -3},
      {-3.2f, kMm, -3},
      {0.0f, kMm, 0},
      {32767.4f, kMm, 32767},
      // Beyond a short the stored value stays at the largest one instead of
      // wrapping to -32768.
      {1e6f, kMm, 32767},
      {2000.0f, kInch, 32767},
      {-1e6f, kMm, -32768},
      {std::numeric_limits<float>::quiet_NaN(), kMm, 0},
  };
  for (const auto& c : cases) {
    CPPStepInfo step;
    step.SetODC(c.value, c.unit);
    EXPECT_EQ(step.GetODC(), c.expected) << c;
  }
}

TEST(StepSetters, BendingSpeedDependsOnControlTypeAtTheCall) {
  struct Case {
    int control_type;
    double value;
    int unit;
    short expected;
  };
  const Case cases[] = {
      {0, 7.9, kMm, 7},
      {0, 7.9, kInch, 7},     // control type 0 ignores the unit
      {0, -7.9, kMm, -7},
      {2, 7.9, kMm, 8},
      {2, 7.4, kMm, 7},
      {7, 7.5, kMm, 8},
      {2, 0.3, kInch, 8},     // 7.62 mm
      {2, 0.25, kInch, 6},    // 6.35 mm
      {2, -7.9, kMm, -7},
      {0, 1e6, kMm, 32767},
      // Beyond a short: the largest speed, not a wrapped negative one.
      {2, 1e6, kMm, 32767},
      {2, 40000.0, kInch, 32767},
      {2, std::numeric_limits<double>::quiet_NaN(), kMm, 0},
  };
  for (const auto& c : cases) {
    CPPStepInfo step;
    step.SetControlType(c.control_type);
    step.SetBendingSpeed(c.value, c.unit);
    EXPECT_EQ(step.GetBendingSpeed(), c.expected)
        << "control type " << c.control_type << ", speed " << c.value << ", unit " << c.unit;
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
  struct Case {
    int type;
    short flags;  // expected CoiningFlag and Mode
  };
  constexpr short kUntouched = 7;
  const Case cases[] = {
      {0, 0}, {1, 0}, {2, 1}, {3, 0}, {4, 1}, {5, 0}, {6, 1},
      {7, kUntouched}, {9, kUntouched}, {-1, kUntouched}, {100, kUntouched},
  };
  for (const auto& c : cases) {
    CPPStepInfo step;
    step.SetCoiningFlag(kUntouched);
    step.SetMode(kUntouched);
    step.SetBendType(c.type);
    EXPECT_EQ(step.GetBendType(), c.type);
    EXPECT_EQ(step.GetCoiningFlag(), c.flags) << "bend type " << c.type;
    EXPECT_EQ(step.GetMode(), c.flags) << "bend type " << c.type;
  }
}

TEST(StepSetters, FlagsSetAfterBendTypeWin) {
  CPPStepInfo step;
  step.SetBendType(4);
  step.SetMode(0);
  EXPECT_EQ(step.GetBendType(), 4);
  EXPECT_EQ(step.GetMode(), 0);
  EXPECT_EQ(step.GetCoiningFlag(), 1);

  step.SetBendType(3);
  EXPECT_EQ(step.GetCoiningFlag(), 0);
  EXPECT_EQ(step.GetMode(), 0);
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
  for (int row = 0; row < 6; ++row) {
    for (int col = 0; col < 32; ++col) in[row][col] = static_cast<char>(0x80 + row * 32 + col / 2);
  }
  std::strcpy(in[0], "PUNCH 88");
  std::strcpy(in[1], "DIE V12");
  in[3][0] = '\0';                          // an empty name with bytes after it
  std::memset(in[5], 'Z', sizeof(in[5]));   // a name that fills its 32 bytes, no NUL
  CPPStepInfo step;
  step.SetToolID(in);

  char out[6][32];
  std::memset(out, 0, sizeof(out));
  step.GetToolID(out);
  EXPECT_EQ(std::memcmp(in, out, sizeof(in)), 0);

  const CPPStepInfo copy(step);
  std::memset(out, 0, sizeof(out));
  copy.GetToolID(out);
  EXPECT_EQ(std::memcmp(in, out, sizeof(in)), 0);
}

}  // namespace
