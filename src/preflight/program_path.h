// Whether a program path can name program files. The driver names each
// program after the path's base name (after the last separator, up to the
// last full stop); without one the programs would be hidden files named only
// ".wyr".
#ifndef DRIVERWYR_PREFLIGHT_PROGRAM_PATH_H_
#define DRIVERWYR_PREFLIGHT_PROGRAM_PATH_H_

#include <string>

#include "driverwyr/result.h"

namespace driverwyr {

// Invalid, saying why, when `program_path` cannot name program files (it is
// empty, or has no name before its extension).
Status CheckProgramPath(const std::string& program_path);

}  // namespace driverwyr

#endif  // DRIVERWYR_PREFLIGHT_PROGRAM_PATH_H_
