#include "program_path.h"

#include "standard_output.h"

namespace wyr {

std::optional<std::string> ProgramPathProblem(const std::string& program_path) {
  if (program_path.empty()) return std::string("missing or empty: the program files would have no name");
  const std::size_t separator = program_path.find_last_of("/\\");
  const std::string name = separator == std::string::npos ? program_path : program_path.substr(separator + 1);
  const std::string base = name.substr(0, name.rfind('.'));
  const std::string shown = "\"" + OutsideText(program_path) + "\"";
  if (base.empty()) return shown + " names no file: the program files would have no name";
  // "..bmf", ".." and "..." leave a base name of "." or "..": the program
  // files would be hidden ("..wyr", "..S1P1.wyr").
  if (base.front() == '.') {
    return shown + " names a file that starts with a full stop: the program files would be hidden";
  }
  return std::nullopt;
}

}  // namespace wyr
