// The user interfaces on which `wyr run` plays the operator (`--ui`):
//   memory  the in-memory dialog window (driverwyr/memory_dialog.h), the
//           default, on every platform (driverwyr::MakeMemoryOperatorUi);
//   native  the platform's real windows: on Windows the driver's own dialog
//           from its resources, its message boxes and the shell's folder
//           browser, played by an automation thread as an operator would.
#ifndef DRIVERWYR_TOOLS_WYR_OPERATOR_UI_H_
#define DRIVERWYR_TOOLS_WYR_OPERATOR_UI_H_

#include <cstddef>
#include <memory>
#include <string>

#include "driverwyr/host.h"
#include "driverwyr/operator_script.h"
#include "driverwyr/result.h"

namespace wyr {

using driverwyr::DialogSnapshot;
using driverwyr::kBrowseButton;
using driverwyr::kFileNameBox;
using driverwyr::kMaterialList;
using driverwyr::kProgramNameBox;
using driverwyr::OperatorBackend;
using driverwyr::OperatorUi;
using driverwyr::ScriptPlayer;

struct NativeUiOptions {
  // How long the filled dialog stays on the screen before the script plays.
  int hold_milliseconds = 0;
};

// The platform's real windows, played by `player` on a thread of its own.
// Fails (Refused) with the reason when this platform has none.
driverwyr::Result<std::unique_ptr<OperatorUi>> MakeNativeUi(ScriptPlayer& player, const NativeUiOptions& options);

// The caller's buffer of GenerateMachineCodeFile: the driver copies at most
// the platform's longest path (4096 bytes with its NUL) into it.
inline constexpr std::size_t kPathBufferSize = 4096;

// Installs a user interface and, when given, a clock for one run, and
// restores the driver's defaults afterwards, also when the run is left early.
class InstalledRoles {
 public:
  InstalledRoles(driverwyr::UserInterface& ui, driverwyr::Clock* clock) {
    driverwyr::SetUserInterface(&ui);
    if (clock != nullptr) driverwyr::SetClock(clock);
  }
  ~InstalledRoles() {
    driverwyr::SetClock(nullptr);
    driverwyr::SetUserInterface(nullptr);
  }
  InstalledRoles(const InstalledRoles&) = delete;
  InstalledRoles& operator=(const InstalledRoles&) = delete;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_OPERATOR_UI_H_
