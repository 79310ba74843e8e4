// How the fit's reports write numbers: the same digits in text, JSON and
// HTML.
#ifndef DRIVERWYR_CALIBRATION_REPORT_NUMBERS_H_
#define DRIVERWYR_CALIBRATION_REPORT_NUMBERS_H_

#include <string>
#include <string_view>

namespace driverwyr::calibration {

// A float as the double nearest its shortest decimal text, so that JSON
// prints 0.42 rather than 0.41999998688697815 and reads back as the same
// float.
double JsonFloat(float value);

// A value with `decimals` decimals ("1.35", "-0.04"); "-" for NaN or
// infinity.
std::string Fixed(double value, int decimals);

// Six significant digits, as %.6g; "infinity" and "not a number" spelt out.
std::string Significant(double value);

// Text made safe inside HTML: & < > " escaped.
std::string EscapeHtml(std::string_view text);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_REPORT_NUMBERS_H_
