// The subcommands of wyr. Each Add...Command registers its subcommand on the
// application; when it runs, it stores its exit status in `status`.
#ifndef DRIVERWYR_TOOLS_WYR_COMMANDS_H_
#define DRIVERWYR_TOOLS_WYR_COMMANDS_H_

#include <CLI/CLI.hpp>

namespace wyr {

// Exit statuses shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // a create failed or a dialog had to be cancelled
inline constexpr int kExitInvalid = 2;  // invalid job file, script or command line
inline constexpr int kExitReportErrors = 3;  // the pre-flight report has errors (check, run --strict)

void AddCheckCommand(CLI::App& app, int& status);
void AddRunCommand(CLI::App& app, int& status);
void AddDumpCommand(CLI::App& app, int& status);
void AddMaterialCommand(CLI::App& app, int& status);
void AddSheetCommand(CLI::App& app, int& status);
void AddDiffCommand(CLI::App& app, int& status);
// `wyr material fit`, under the material command.
void AddMaterialFitCommand(CLI::App& material, int& status);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_COMMANDS_H_
