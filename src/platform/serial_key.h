// Where the serial counter of the program numbers is kept: the settings key
// "Ostrel\TorvaneCommon\Default" of the current user, under "Software\", or
// under "Software\Wow6432Node\" for a 32-bit process on 64-bit Windows. The
// counter reads and writes it; the POSIX settings store knows it as the one
// key it keeps a file for.
#ifndef DRIVERWYR_PLATFORM_SERIAL_KEY_H_
#define DRIVERWYR_PLATFORM_SERIAL_KEY_H_

#include <string>
#include <string_view>

namespace driverwyr {

// The key's path below its branch, its parts separated by '\'.
inline constexpr std::string_view kSerialKeyTail = "Ostrel\\TorvaneCommon\\Default";

// The key's path under the current user: in the compatibility branch when
// `wow64`, otherwise in the plain one.
inline std::string SerialKeyPath(bool wow64) {
  return std::string(wow64 ? "Software\\Wow6432Node\\" : "Software\\") + std::string(kSerialKeyTail);
}

}  // namespace driverwyr

#endif  // DRIVERWYR_PLATFORM_SERIAL_KEY_H_
