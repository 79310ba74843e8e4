// Whether a job's program path can name program files. The driver names each
// program after the path's base name (after the last separator, up to the
// last full stop); without one the programs would be hidden files named only
// ".wyr", and with one that starts with a full stop ("out/..bmf") hidden
// files all the same.
#ifndef DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
#define DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_

#include <string>

#include "driverwyr/preflight.h"
#include "driverwyr/result.h"

namespace wyr {

// Succeeds when `program_path` can name program files; fails (Invalid) with
// why it cannot: it is empty, or has no name before its extension.
inline driverwyr::Status CheckProgramPath(const std::string& program_path) {
  std::string why_not;
  if (driverwyr::ProgramPathNamesFiles(program_path, &why_not)) return driverwyr::Status::Ok();
  return driverwyr::Status::Invalid(why_not);
}

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_PROGRAM_PATH_H_
