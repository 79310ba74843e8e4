// Placeholder: the check subcommand.
#include "commands.h"

namespace wyr {

void AddCheckCommand(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace wyr
