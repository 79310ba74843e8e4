// Placeholder: the run subcommand is not available yet.
#include "commands.h"

namespace wyr {

void AddRunCommand(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace wyr
