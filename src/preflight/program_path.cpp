// Whether a program path can name program files.
#include "preflight/program_path.h"

#include "driverwyr/escape.h"
#include "driverwyr/preflight.h"

namespace driverwyr {

Status CheckProgramPath(const std::string& program_path) {
  if (program_path.empty()) return Status::Invalid("missing or empty: the program files would have no name");
  const std::size_t separator = program_path.find_last_of("/\\");
  const std::string name = separator == std::string::npos ? program_path : program_path.substr(separator + 1);
  const std::string base = name.substr(0, name.rfind('.'));
  // The path as it may stand in one line of a report: control bytes escaped.
  const std::string shown =
      "\"" + Escaped(program_path, EscapeOptions{.keep_high_bytes = true, .keep_backslash = true}) + "\"";
  if (base.empty()) return Status::Invalid(shown + " names no file: the program files would have no name");
  // "..bmf", ".." and "..." leave a base name of "." or "..": the program
  // files would be hidden ("..wyr", "..S1P1.wyr").
  if (base.front() == '.') {
    return Status::Invalid(shown + " names a file that starts with a full stop: the program files would be hidden");
  }
  return Status::Ok();
}

bool ProgramPathNamesFiles(const std::string& program_path, std::string* why_not) {
  const Status checked = CheckProgramPath(program_path);
  if (!checked.ok() && why_not != nullptr) *why_not = checked.message();
  return checked.ok();
}

}  // namespace driverwyr
