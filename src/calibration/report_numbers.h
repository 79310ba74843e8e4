// How the fit's reports write numbers: the same digits in text, JSON and
// HTML.
#ifndef DRIVERWYR_CALIBRATION_REPORT_NUMBERS_H_
#define DRIVERWYR_CALIBRATION_REPORT_NUMBERS_H_

#include <string>
#include <string_view>

namespace driverwyr::calibration {

// A value with `decimals` decimals ("1.35", "-0.04"); "-" for NaN or
// infinity.
std::string Fixed(double value, int decimals);

// Six significant digits, as %.6g; "infinity" and "not a number" spelt out.
std::string Significant(double value);

// Text made safe inside HTML: & < > " escaped.
std::string EscapeHtml(std::string_view text);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_REPORT_NUMBERS_H_
