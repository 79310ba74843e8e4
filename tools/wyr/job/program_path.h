// Whether a job's program path can name program files. The driver names each
// program after the path's base name (after the last separator, up to the
// last full stop); without one the programs would be hidden files named only
// ".wyr", and with one that starts with a full stop ("out/..bmf") hidden
// files all the same.
#ifndef DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
#define DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_

#include <optional>
#include <string>

namespace wyr {

// Why `program_path` cannot name program files (it is empty, has no name
// before its extension, or that name starts with a full stop), or nothing
// when it can. The path is shown with its control bytes escaped.
std::optional<std::string> ProgramPathProblem(const std::string& program_path);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
