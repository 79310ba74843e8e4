#include "driverwyr/program_text.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

#include "driverwyr/escape.h"

namespace driverwyr {

std::string PrintableBytes(std::string_view text, char quote) {
  return Escaped(text, EscapeOptions{.quote = quote});
}

std::string ShortestFloat(float value) { return fmt::format("{}", value); }

double ShortestFloatValue(float value) {
  if (!std::isfinite(value)) return static_cast<double>(value);
  // No float's shortest text is longer than 16 bytes ("-1.1754944e-38").
  char text[32];
  const char* end = fmt::format_to_n(text, sizeof text, "{}", value).out;
  double out = static_cast<double>(value);
  std::from_chars(text, end, out);
  return out;
}

}  // namespace driverwyr
