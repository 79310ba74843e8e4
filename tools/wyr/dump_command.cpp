// Placeholder: the dump subcommand is not available yet.
#include "commands.h"

namespace wyr {

void AddDumpCommand(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace wyr
