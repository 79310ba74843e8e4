// Whether a job's program path can name program files: the driver's own rule
// (driverwyr/preflight.h), in wyr's terms.
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
