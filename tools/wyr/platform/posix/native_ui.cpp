// POSIX systems have no native dialog of the driver's: only the in-memory
// window can be played here.
#include "operator_ui.h"

namespace wyr {

driverwyr::Result<std::unique_ptr<OperatorUi>> MakeNativeUi(ScriptPlayer& /*player*/,
                                                            const NativeUiOptions& /*options*/) {
  return driverwyr::Status::Refused("this system has no native dialog of the driver; use --ui memory");
}

}  // namespace wyr
