// Whether a program path can name program files.
#include "preflight/program_path.h"

#include "driverwyr/preflight.h"

namespace driverwyr {

Status CheckProgramPath(const std::string& program_path) {
  if (program_path.empty()) return Status::Invalid("missing or empty: the program files would have no name");
  const std::size_t separator = program_path.find_last_of("/\\");
  const std::string name = separator == std::string::npos ? program_path : program_path.substr(separator + 1);
  if (name.substr(0, name.rfind('.')).empty()) {
    return Status::Invalid("\"" + program_path + "\" names no file: the program files would have no name");
  }
  return Status::Ok();
}

bool ProgramPathNamesFiles(const std::string& program_path, std::string* why_not) {
  const Status checked = CheckProgramPath(program_path);
  if (!checked.ok() && why_not != nullptr) *why_not = checked.message();
  return checked.ok();
}

}  // namespace driverwyr
