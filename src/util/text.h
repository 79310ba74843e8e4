// Text helpers shared by the driver's parts and wyr: the C library's notion of
// white space, trimming, ASCII letter case, and the number formats of the
// dialog's edit boxes and of the stored texts.
//
// Everything works on single bytes in the "C" locale, whatever the process's
// locale: the driver's strings are in the host's code page, and only the ASCII
// letters and digits have a meaning here.
#ifndef DRIVERWYR_UTIL_TEXT_H_
#define DRIVERWYR_UTIL_TEXT_H_

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace driverwyr {

// White space as isspace knows it in the "C" locale: blank, tab, line feed,
// vertical tab, form feed, carriage return.
constexpr bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// `text` without white space at its end, its start, or both.
std::string_view TrimRight(std::string_view text);
std::string_view TrimLeft(std::string_view text);
std::string_view Trim(std::string_view text);

// The letters a to z made upper case (A to Z lower case); other bytes stay.
constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string ToUpperAscii(std::string_view text);

// Byte-wise comparison that ignores the letter case of A to Z.
bool EqualIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// The number at the start of `text` as the C library's atoi reads it: leading
// white space, an optional sign, then decimal digits; anything else ends the
// number, and no digits give 0. Saturates at the limits of int instead of
// overflowing.
int ParseLeadingInt(std::string_view text);

// `text` with each placeholder %1 .. %9 replaced by values[0] .. values[8],
// as plain text (never as a format: message texts are outside data). A
// placeholder without a value stays as it is.
std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> values);

// A float as an edit box shows it: six significant digits, like C's "%.6g".
std::string FormatFloat(float value);

// The float that an edit box's text stands for: white space around the number
// and one leading '+' are allowed; anything else that is not a finite
// single-precision number gives nothing.
std::optional<float> ParseFloat(std::string_view text);

// The whole number that an edit box's text stands for, when it lies in
// [min, max]: white space around it and a sign are allowed; anything else
// gives nothing.
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

}  // namespace driverwyr

#endif  // DRIVERWYR_UTIL_TEXT_H_
