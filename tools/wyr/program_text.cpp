#include "program_text.h"

#include <fmt/format.h>

#include "driverwyr/escape.h"

namespace wyr {

std::string PrintableBytes(std::string_view text, char quote) {
  return driverwyr::Escaped(text, driverwyr::EscapeOptions{.quote = quote});
}

std::string ShortestFloat(float value) { return fmt::format("{}", value); }

}  // namespace wyr
