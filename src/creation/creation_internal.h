// Text helpers shared by the creation dialog's parts: how values are shown in
// and read back from edit boxes, and the string normalisations of the names.
#ifndef DRIVERWYR_CREATION_CREATION_INTERNAL_H_
#define DRIVERWYR_CREATION_CREATION_INTERNAL_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace driverwyr {

// A float as an edit box shows it: six significant digits, like C's "%.6g".
std::string FormatFloat(float value);

// The float that an edit box's text stands for: blanks around the number are
// allowed; anything else that is not a finite number gives nothing.
std::optional<float> ParseFloat(std::string_view text);

// The whole number that an edit box's text stands for, when it lies in
// [min, max]: blanks around it and a sign are allowed; anything else gives
// nothing.
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

// Copies `path` into a caller's buffer of kMaxPathBuffer bytes: a longer path
// is cut to fit, and the copy always ends in NUL. A null buffer is left alone.
void CopyPathToHost(const std::string& path, char* buffer);

// White space as the C library's isspace knows it in the "C" locale.
bool IsBlank(char c);
// `text` without its trailing white space.
std::string TrimRight(std::string_view text);
// `text` with the letters a to z made upper case; other bytes stay.
std::string ToUpperAscii(std::string_view text);

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_CREATION_INTERNAL_H_
