#include "driverwyr/escape.h"

namespace driverwyr {
namespace {

// The length of the UTF-8 line end (U+0085, U+2028, U+2029) at the start of
// `text`, or 0.
std::size_t Utf8LineEndAt(std::string_view text) {
  if (text.starts_with("\xC2\x85")) return 2;
  if (text.starts_with("\xE2\x80\xA8") || text.starts_with("\xE2\x80\xA9")) return 3;
  return 0;
}

void AppendHex(std::string& out, unsigned char byte, std::string_view backslash) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += backslash;
  out += 'x';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text, const EscapeOptions& options) {
  const std::string_view backslash = options.json ? "\\\\" : "\\";
  out.reserve(out.size() + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      // A kept backslash is still one to a JSON reader.
      out += backslash;
      if (!options.keep_backslash) out += backslash;
    } else if (options.quote != '\0' && c == options.quote) {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else if (byte >= 0x80 && options.keep_high_bytes) {
      if (const std::size_t line_end = Utf8LineEndAt(text.substr(i)); line_end != 0) {
        for (std::size_t k = 0; k < line_end; ++k) AppendHex(out, static_cast<unsigned char>(text[i + k]), backslash);
        i += line_end - 1;
      } else {
        out += c;
      }
    } else {
      AppendHex(out, byte, backslash);
    }
  }
}

std::string Escaped(std::string_view text, const EscapeOptions& options) {
  std::string out;
  AppendEscaped(out, text, options);
  return out;
}

}  // namespace driverwyr
