// Rounding helpers shared by the record setters, the program file writer and
// the bend calculation.
#ifndef DRIVERWYR_UTIL_TRUNCATE_H_
#define DRIVERWYR_UTIL_TRUNCATE_H_

#include <cstdint>

namespace driverwyr {

// Truncates `value` toward zero to `decimals` decimals (0 to 4): the value is
// multiplied by 10^decimals, truncated to a 32-bit integer and multiplied by
// the inverse power held in double precision; the result is a float. Any other
// `decimals` returns the value unchanged. 2.999 with 2 gives 2.99, -1.27 with
// 1 gives -1.2. Products beyond the 32-bit range saturate; NaN gives 0.
float TruncateToDecimals(float value, int decimals);

// Truncates toward zero to a 32-bit integer, saturating at the limits of the
// type instead of overflowing; NaN gives 0.
std::int32_t SaturateToInt32(double value);

// Truncates toward zero to a 16-bit integer, saturating likewise.
std::int16_t SaturateToInt16(double value);

}  // namespace driverwyr

#endif  // DRIVERWYR_UTIL_TRUNCATE_H_
