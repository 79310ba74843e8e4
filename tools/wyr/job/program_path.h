// Whether a job's program path can name program files. The driver names each
// program after the path's base name (after the last separator, up to the
// last full stop); without one the programs would be hidden files named only
// ".wyr", and with one that starts with a full stop ("out/..bmf") hidden
// files all the same.
#ifndef DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
#define DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_

#include <optional>
#include <string>

#include "driverwyr/preflight.h"

namespace wyr {

// Why `program_path` cannot name program files (it is empty, or has no name
// before its extension), or nothing when it can.
inline std::optional<std::string> ProgramPathProblem(const std::string& program_path) {
  std::string why_not;
  if (driverwyr::ProgramPathNamesFiles(program_path, &why_not)) return std::nullopt;
  return why_not;
}

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
