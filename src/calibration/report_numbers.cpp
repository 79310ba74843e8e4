#include "calibration/report_numbers.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace driverwyr::calibration {

std::string Fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  // No "-0.00".
  std::string out = text;
  if (out.find_first_of("123456789") == std::string::npos && out[0] == '-') out.erase(0, 1);
  return out;
}

std::string Significant(double value) {
  if (std::isnan(value)) return "not a number";
  if (std::isinf(value)) return value > 0 ? "infinity" : "-infinity";
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace driverwyr::calibration
