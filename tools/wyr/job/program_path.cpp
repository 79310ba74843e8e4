#include "program_path.h"

namespace wyr {

std::optional<std::string> ProgramPathProblem(const std::string& program_path) {
  if (program_path.empty()) return std::string("missing or empty: the program files would have no name");
  const std::size_t separator = program_path.find_last_of("/\\");
  const std::string name = separator == std::string::npos ? program_path : program_path.substr(separator + 1);
  if (name.substr(0, name.rfind('.')).empty()) {
    return "\"" + program_path + "\" names no file: the program files would have no name";
  }
  return std::nullopt;
}

}  // namespace wyr
