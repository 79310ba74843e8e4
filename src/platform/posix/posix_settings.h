// The POSIX settings file that stands for the current user's key: one value a
// line, NAME=TEXT. The parsing works on the file's bytes so that it can be
// tested and fuzzed without a file.
//
// A file is understood when every line is blank, a comment (its first
// character other than blanks is '#' or ';') or NAME=TEXT, where blanks and
// tabs around NAME and TEXT do not belong to them and NAME is not empty.
// Lines end in LF, CRLF or CR; a UTF-8 byte-order mark may open the file. A
// NUL byte is understood nowhere.
#ifndef DRIVERWYR_PLATFORM_POSIX_POSIX_SETTINGS_H_
#define DRIVERWYR_PLATFORM_POSIX_POSIX_SETTINGS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "driverwyr/result.h"

namespace driverwyr::posix {

// A settings file is a few lines; a bigger one is not one of ours: it is not
// read, and the driver never writes one.
inline constexpr std::size_t kMaxSettingsFileBytes = 1 << 20;

// The text of the first line that holds value `name` (names compare
// ignoring ASCII letter case), or nothing. The result points into
// `contents`. Invalid, naming the line, when a line is not understood.
Result<std::optional<std::string_view>> FindSettingsValue(std::string_view contents, std::string_view name);

// Whether every line of `contents` is understood; the error names the first
// line that is not.
Status CheckSettingsFile(std::string_view contents);

// `contents` with the first line of value `name` replaced by NAME=TEXT and a
// line feed (or such a line added at the end); every other line, and the
// byte-order mark, is kept byte for byte, a last line without line end
// getting a line feed.
std::string ReplaceSettingsValue(std::string_view contents, std::string_view name, std::string_view text);

}  // namespace driverwyr::posix

#endif  // DRIVERWYR_PLATFORM_POSIX_POSIX_SETTINGS_H_
