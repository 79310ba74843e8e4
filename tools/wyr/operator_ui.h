// The user interfaces on which `wyr run` plays the operator (`--ui`):
//   memory  the in-memory dialog window (driverwyr/memory_dialog.h), the
//           default, on every platform;
//   native  the platform's real windows: on Windows the driver's own dialog
//           from its resources, its message boxes and the shell's folder
//           browser, played by an automation thread as an operator would.
#ifndef DRIVERWYR_TOOLS_WYR_OPERATOR_UI_H_
#define DRIVERWYR_TOOLS_WYR_OPERATOR_UI_H_

#include <memory>
#include <string>

#include "driverwyr/host.h"
#include "run_operator.h"

namespace wyr {

// One run's user interface. Install Interface() with driverwyr::SetUserInterface
// for the length of the GenerateMachineCodeFile call, and call Finish() once
// it has returned.
class OperatorUi {
 public:
  virtual ~OperatorUi() = default;
  virtual driverwyr::UserInterface& Interface() = 0;
  // Waits until everything the run showed has been answered and reported.
  virtual void Finish() = 0;
};

struct NativeUiOptions {
  // How long the filled dialog stays on the screen before the script plays.
  int hold_milliseconds = 0;
};

// The in-memory window, played by `player` on the driver's thread.
std::unique_ptr<OperatorUi> MakeMemoryUi(ScriptPlayer& player);

// The platform's real windows, played by `player` on a thread of its own.
// Nothing, with the reason in *why_not, when this platform has none.
std::unique_ptr<OperatorUi> MakeNativeUi(ScriptPlayer& player, const NativeUiOptions& options,
                                         std::string* why_not);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_OPERATOR_UI_H_
