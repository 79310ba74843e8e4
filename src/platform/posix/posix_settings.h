// The POSIX settings file that stands for the current user's key: one value a
// line, NAME=TEXT. The parsing works on the file's bytes so that it can be
// tested and fuzzed without a file.
#ifndef DRIVERWYR_PLATFORM_POSIX_POSIX_SETTINGS_H_
#define DRIVERWYR_PLATFORM_POSIX_POSIX_SETTINGS_H_

#include <optional>
#include <string>
#include <string_view>

namespace driverwyr::posix {

// The text of the first line that holds value `name`, or nothing. The result
// points into `contents`.
std::optional<std::string_view> FindSettingsValue(std::string_view contents, std::string_view name);

// `contents` with the first line of value `name` replaced by NAME=TEXT (or
// such a line added at the end); every other line is kept byte for byte.
std::string ReplaceSettingsValue(std::string_view contents, std::string_view name, std::string_view text);

}  // namespace driverwyr::posix

#endif  // DRIVERWYR_PLATFORM_POSIX_POSIX_SETTINGS_H_
