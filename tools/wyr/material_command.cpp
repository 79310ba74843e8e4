// Placeholder: the material subcommand is not available yet.
#include "commands.h"

namespace wyr {

void AddMaterialCommand(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace wyr
