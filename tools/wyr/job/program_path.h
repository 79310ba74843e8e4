// Whether a job's program path can name program files. The driver names each
// program after the path's base name (after the last separator, up to the
// last full stop); without one the programs would be hidden files named only
// ".wyr".
#ifndef DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
#define DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_

#include <optional>
#include <string>

namespace wyr {

// Why `program_path` cannot name program files (it is empty, or has no name
// before its extension), or nothing when it can.
std::optional<std::string> ProgramPathProblem(const std::string& program_path);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
