#include "driverwyr/program_text.h"

#include <fmt/format.h>

#include "driverwyr/escape.h"

namespace driverwyr {

std::string PrintableBytes(std::string_view text, char quote) {
  return Escaped(text, EscapeOptions{.quote = quote});
}

std::string ShortestFloat(float value) { return fmt::format("{}", value); }

}  // namespace driverwyr
