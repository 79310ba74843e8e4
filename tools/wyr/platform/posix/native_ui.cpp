// POSIX systems have no native dialog of the driver's: only the in-memory
// window can be played here.
#include "operator_ui.h"

namespace wyr {

std::unique_ptr<OperatorUi> MakeNativeUi(ScriptPlayer& /*player*/, const NativeUiOptions& /*options*/,
                                         std::string* why_not) {
  if (why_not != nullptr) {
    *why_not = "this system has no native dialog of the driver; use --ui memory";
  }
  return nullptr;
}

}  // namespace wyr
