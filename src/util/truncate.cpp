#include "util/truncate.h"

#include <cmath>
#include <limits>

namespace driverwyr {

std::int32_t SaturateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int16_t SaturateToInt16(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 32767.0) return std::numeric_limits<std::int16_t>::max();
  if (value <= -32768.0) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(value);
}

float TruncateToDecimals(float value, int decimals) {
  static constexpr double kPower[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
  static constexpr double kInverse[] = {1.0, 0.1, 0.01, 0.001, 0.0001};
  if (decimals < 0 || decimals > 4) return value;
  if (decimals == 0) return static_cast<float>(SaturateToInt32(value));
  // The product is formed in double precision: 1.15f (just below 1.15) times
  // 100 must truncate to 114, which a product rounded to float would not.
  const double scaled = static_cast<double>(value) * kPower[decimals];
  return static_cast<float>(SaturateToInt32(scaled) * kInverse[decimals]);
}

}  // namespace driverwyr
