#include "json_sax.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

namespace wyr {
namespace {

using driverwyr::Status;

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
constexpr unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// A byte as a message shows it: 'x', or its number when it is not printable.
std::string Show(char c) {
  const unsigned char b = Byte(c);
  if (b >= 0x20 && b < 0x7F) return fmt::format("'{}'", c);
  return fmt::format("byte 0x{:02X}", b);
}

// A number's text for a message: a long one is cut to its first 37 bytes.
std::string ShowNumber(std::string_view token) {
  return token.size() <= 40 ? std::string(token) : std::string(token.substr(0, 37)) + "...";
}

// The length of the well-formed UTF-8 sequence of two to four bytes that
// starts at `p`, or 0 when it is not one (RFC 3629: no overlong forms, no
// surrogates, nothing beyond U+10FFFF).
std::size_t Utf8Length(const char* p, const char* end) {
  const unsigned char lead = Byte(*p);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - p) < length) return 0;
  if (Byte(p[1]) < low || Byte(p[1]) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (Byte(p[i]) < 0x80 || Byte(p[i]) > 0xBF) return 0;
  }
  return length;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Reader {
 public:
  Reader(std::string_view text, JsonHandler& handler)
      : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()), handler_(handler) {}

  Status Run();

 private:
  // Each returns false to stop: at a fault, which error_ then holds, or
  // because the handler asked to.
  bool Value(bool& want_value);
  bool Open(bool object, bool& want_value);
  bool Key();
  bool String(std::string_view& out);
  bool StringWithEscapes(const char* start, std::string_view& out);
  bool Escape();
  bool HexQuad(std::uint32_t& code);
  bool Number();
  bool Literal(std::string_view word);

  void SkipSpace() {
    while (p_ != end_ && IsSpace(*p_)) ++p_;
  }
  // What is at the read position, for "unexpected ...".
  std::string Found() const { return p_ == end_ ? std::string("end of input") : Show(*p_); }
  // Records a fault at `at` and returns false.
  bool Fail(const char* at, std::string_view what, std::string_view kind = "parse error");

  const char* const begin_;
  const char* p_;
  const char* const end_;
  JsonHandler& handler_;
  std::vector<bool> open_;  // the containers open, innermost last: true for an object
  std::string buffer_;      // a string with escapes, decoded
  Status error_;
};

bool Reader::Fail(const char* at, std::string_view what, std::string_view kind) {
  const std::string_view before(begin_, static_cast<std::size_t>(at - begin_));
  const std::size_t line_start = before.rfind('\n');
  const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  const std::size_t column = line_start == std::string_view::npos ? before.size() + 1 : before.size() - line_start;
  error_ = Status::Invalid(fmt::format("{} at line {}, column {}: {}", kind, line, column, what));
  return false;
}

Status Reader::Run() {
  if (end_ - p_ >= 3 && Byte(p_[0]) == 0xEF && Byte(p_[1]) == 0xBB && Byte(p_[2]) == 0xBF) p_ += 3;
  // One loop for every level of nesting, so that deep text cannot exhaust
  // the stack: `want_value` after the start, '[', ',' in an array and ':'.
  bool want_value = true;
  for (;;) {
    if (want_value) {
      if (!Value(want_value)) return error_;
      continue;
    }
    // A value has just ended: what follows it?
    SkipSpace();
    if (open_.empty()) {
      if (p_ != end_) Fail(p_, fmt::format("unexpected {} after the value; expected end of input", Found()));
      return error_;
    }
    const bool object = open_.back();
    const std::string_view expected = object ? "expected ',' or '}'" : "expected ',' or ']'";
    if (p_ == end_) {
      Fail(p_, fmt::format("unexpected end of input; {}", expected));
      return error_;
    }
    if (*p_ == ',') {
      ++p_;
      if (object && !Key()) return error_;
      want_value = true;
    } else if (*p_ == (object ? '}' : ']')) {
      ++p_;
      open_.pop_back();
      if (!(object ? handler_.EndObject() : handler_.EndArray())) return error_;
    } else {
      Fail(p_, fmt::format("unexpected {}; {}", Found(), expected));
      return error_;
    }
  }
}

// A scalar, or the start of an object or array: then `want_value` tells
// whether a first element follows (for an object, its key has been read).
bool Reader::Value(bool& want_value) {
  want_value = false;
  SkipSpace();
  if (p_ == end_) return Fail(p_, "unexpected end of input; expected a value");
  switch (*p_) {
    case '{':
    case '[':
      return Open(*p_ == '{', want_value);
    case '"': {
      std::string_view text;
      return String(text) && handler_.String(text);
    }
    case 't':
      return Literal("true") && handler_.Boolean(true);
    case 'f':
      return Literal("false") && handler_.Boolean(false);
    case 'n':
      return Literal("null") && handler_.Null();
    default:
      if (*p_ == '-' || IsDigit(*p_)) return Number();
      return Fail(p_, fmt::format("unexpected {}; expected a value", Found()));
  }
}

// An object or an array: its start, and its end at once when it is empty.
bool Reader::Open(bool object, bool& want_value) {
  ++p_;
  if (!(object ? handler_.StartObject() : handler_.StartArray())) return false;
  SkipSpace();
  if (p_ != end_ && *p_ == (object ? '}' : ']')) {
    ++p_;
    return object ? handler_.EndObject() : handler_.EndArray();
  }
  open_.push_back(object);
  want_value = true;
  return !object || Key();
}

// A member's key and its colon; the member's value follows.
bool Reader::Key() {
  SkipSpace();
  if (p_ == end_ || *p_ != '"') return Fail(p_, fmt::format("unexpected {}; expected a key in quotes", Found()));
  std::string_view key;
  if (!String(key) || !handler_.Key(key)) return false;
  SkipSpace();
  if (p_ == end_ || *p_ != ':') return Fail(p_, fmt::format("unexpected {}; expected ':'", Found()));
  ++p_;
  return true;
}

bool Reader::Literal(std::string_view word) {
  for (char c : word) {
    if (p_ == end_ || *p_ != c) {
      return Fail(p_, fmt::format("unexpected {} in a literal; expected \"{}\"", Found(), word));
    }
    ++p_;
  }
  return true;
}

bool Reader::String(std::string_view& out) {
  const char* const start = ++p_;  // past the opening quote
  // Plain text, the common case, is handed over where it stands.
  while (p_ != end_) {
    const unsigned char b = Byte(*p_);
    if (b == '"') {
      out = std::string_view(start, static_cast<std::size_t>(p_ - start));
      ++p_;
      return true;
    }
    if (b < 0x20 || b == '\\' || b >= 0x80) return StringWithEscapes(start, out);
    ++p_;
  }
  return Fail(p_, "unexpected end of input in a string; expected '\"'");
}

bool Reader::StringWithEscapes(const char* start, std::string_view& out) {
  buffer_.assign(start, p_);
  while (p_ != end_) {
    const unsigned char b = Byte(*p_);
    if (b == '"') {
      ++p_;
      out = buffer_;
      return true;
    }
    if (b == '\\') {
      if (!Escape()) return false;
    } else if (b < 0x20) {
      return Fail(p_, fmt::format("control character U+{:04X} in a string; write it as \\u{:04X}", b, b));
    } else if (b < 0x80) {
      buffer_ += *p_++;
    } else {
      const std::size_t length = Utf8Length(p_, end_);
      if (length == 0) return Fail(p_, fmt::format("{} in a string is not well-formed UTF-8", Show(*p_)));
      buffer_.append(p_, length);
      p_ += length;
    }
  }
  return Fail(p_, "unexpected end of input in a string; expected '\"'");
}

bool Reader::Escape() {
  const char* const escape = p_;
  ++p_;  // past the backslash
  if (p_ == end_) return Fail(p_, "unexpected end of input in an escape");
  const char c = *p_++;
  switch (c) {
    case '"': buffer_ += '"'; return true;
    case '\\': buffer_ += '\\'; return true;
    case '/': buffer_ += '/'; return true;
    case 'b': buffer_ += '\b'; return true;
    case 'f': buffer_ += '\f'; return true;
    case 'n': buffer_ += '\n'; return true;
    case 'r': buffer_ += '\r'; return true;
    case 't': buffer_ += '\t'; return true;
    case 'u': break;
    default: return Fail(p_ - 1, fmt::format("{} after '\\' is not an escape", Show(c)));
  }
  std::uint32_t code = 0;
  if (!HexQuad(code)) return false;
  if (code >= 0xDC00 && code <= 0xDFFF) {
    return Fail(escape, fmt::format("\\u{:04X} is the second half of a surrogate pair, without the first", code));
  }
  if (code >= 0xD800 && code <= 0xDBFF) {
    // The first half of a pair: the second must follow at once.
    if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') {
      return Fail(p_, fmt::format("\\u{:04X} must be followed by the second half of its surrogate pair", code));
    }
    const char* const second = p_;
    p_ += 2;
    std::uint32_t low = 0;
    if (!HexQuad(low)) return false;
    if (low < 0xDC00 || low > 0xDFFF) {
      return Fail(second, fmt::format("\\u{:04X} is not the second half of a surrogate pair", low));
    }
    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
  }
  AppendUtf8(buffer_, code);
  return true;
}

bool Reader::HexQuad(std::uint32_t& code) {
  for (int i = 0; i < 4; ++i) {
    if (p_ == end_) return Fail(p_, "unexpected end of input; '\\u' takes four hex digits");
    const char c = *p_;
    std::uint32_t digit = 0;
    if (IsDigit(c)) {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return Fail(p_, fmt::format("unexpected {}; '\\u' takes four hex digits", Found()));
    }
    code = code * 16 + digit;
    ++p_;
  }
  return true;
}

bool Reader::Number() {
  const char* const start = p_;
  const bool negative = *p_ == '-';
  if (negative) ++p_;
  if (p_ == end_ || !IsDigit(*p_)) return Fail(p_, fmt::format("unexpected {} in a number; expected a digit", Found()));
  // The whole part, read as it goes while it fits 64 bits.
  std::uint64_t magnitude = 0;
  bool fits = true;
  if (*p_ == '0') {
    ++p_;
  } else {
    for (; p_ != end_ && IsDigit(*p_); ++p_) {
      const auto digit = static_cast<std::uint64_t>(*p_ - '0');
      if (magnitude > (UINT64_MAX - digit) / 10) fits = false;
      magnitude = magnitude * 10 + digit;
    }
  }
  bool whole = true;
  if (p_ != end_ && *p_ == '.') {
    whole = false;
    ++p_;
    if (p_ == end_ || !IsDigit(*p_)) {
      return Fail(p_, fmt::format("unexpected {} in a number; expected a digit after '.'", Found()));
    }
    while (p_ != end_ && IsDigit(*p_)) ++p_;
  }
  if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
    whole = false;
    ++p_;
    if (p_ != end_ && (*p_ == '+' || *p_ == '-')) ++p_;
    if (p_ == end_ || !IsDigit(*p_)) {
      return Fail(p_, fmt::format("unexpected {} in a number; expected a digit of the exponent", Found()));
    }
    while (p_ != end_ && IsDigit(*p_)) ++p_;
  }
  if (whole && fits) {
    if (!negative) return handler_.Unsigned(magnitude);
    if (magnitude <= std::uint64_t{1} << 63) {
      // -2^63 itself has no positive counterpart in 64 bits: negate in unsigned.
      return handler_.Integer(static_cast<std::int64_t>(~magnitude + 1));
    }
  }
  const std::string_view token(start, static_cast<std::size_t>(p_ - start));
  double value = 0.0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too small rounds to a subnormal or to zero, as strtod has it; too large
    // is refused rather than read as an infinity.
    const std::string copy(token);
    value = std::strtod(copy.c_str(), nullptr);
    if (value > 1.0 || value < -1.0) {
      return Fail(start, fmt::format("'{}' is beyond the range of a double", ShowNumber(token)), "number overflow");
    }
  } else if (error != std::errc() || end != token.data() + token.size()) {
    return Fail(start, fmt::format("'{}' cannot be read as a number", ShowNumber(token)));
  }
  return handler_.Float(value);
}

}  // namespace

Status ReadJson(std::string_view text, JsonHandler& handler) { return Reader(text, handler).Run(); }

}  // namespace wyr
