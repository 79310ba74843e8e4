// Truncation to decimals and saturating conversions to integers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "util/truncate.h"

namespace {

using driverwyr::SaturateToInt16;
using driverwyr::SaturateToInt32;
using driverwyr::TruncateToDecimals;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(TruncateToDecimalsTest, TruncatesTowardZero) {
  const struct {
    float value;
    int decimals;
    float expected;
  } cases[] = {
      {3.147f, 2, 3.14f}, {7.9f, 0, 7.0f}, {-7.9f, 0, -7.0f}, {2.999f, 2, 2.99f}, {-1.27f, 1, -1.2f},
      {1.15f, 2, 1.14f},        // 1.15f lies just below 1.15
      {0.7f, 1, 0.6f},          // likewise 0.7f
      {1.23456f, 4, 1.2345f}, {12.5f, 1, 12.5f}, {0.0009f, 3, 0.0f},
      {7.9f, 5, 7.9f}, {7.9f, -1, 7.9f},  // out of the 0..4 range: the value unchanged
      // Products beyond a 32-bit integer saturate instead of overflowing.
      {1e10f, 0, 2147483648.0f}, {-1e10f, 0, -2147483648.0f}, {-kInf, 0, -2147483648.0f},
      {1e10f, 2, 21474836.0f},   // 2147483647 x 0.01
      {-1e10f, 2, -21474836.0f}, {kInf, 1, 214748368.0f}, {kNaN, 0, 0.0f}, {kNaN, 2, 0.0f},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TruncateToDecimals(c.value, c.decimals), c.expected)
        << c.value << " to " << c.decimals << " decimals";
  }
  EXPECT_TRUE(std::isnan(TruncateToDecimals(kNaN, 5)));  // out of range: returned as it is
}

TEST(SaturateTest, TruncatesTowardZeroAndSaturates) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const struct {
    double value;
    std::int32_t expected;
  } cases32[] = {
      {1.9, 1}, {-1.9, -1}, {2147483646.9, 2147483646}, {2147483647.0, kMax}, {2147483648.0, kMax},
      {1e300, kMax}, {kInf, kMax}, {-2147483647.9, -2147483647}, {-2147483648.0, kMin},
      {-2147483649.0, kMin}, {-kInf, kMin}, {kNaN, 0},
  };
  for (const auto& c : cases32) EXPECT_EQ(SaturateToInt32(c.value), c.expected) << c.value;
  const struct {
    double value;
    std::int16_t expected;
  } cases16[] = {
      {12.99, 12}, {-0.5, 0}, {-12.99, -12}, {32766.9, 32766}, {32767.0, 32767}, {32767.5, 32767},
      {1e300, 32767}, {-32767.9, -32767}, {-32768.0, -32768}, {-32768.9, -32768}, {-40000.0, -32768},
      {kNaN, 0},
  };
  for (const auto& c : cases16) EXPECT_EQ(SaturateToInt16(c.value), c.expected) << c.value;
}

}  // namespace
