#include "sheet/program_text.h"

#include <fmt/format.h>

namespace driverwyr {

std::string PrintableBytes(std::string_view text, char quote) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || (quote != '\0' && c == quote)) {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte <= 0x7e) {
      out += c;
    } else {
      out += fmt::format("\\x{:02X}", byte);
    }
  }
  return out;
}

std::string ShortestFloat(float value) { return fmt::format("{}", value); }

}  // namespace driverwyr
