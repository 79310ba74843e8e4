// While a run of program creation (GenerateMachineCodeFile) is in progress it
// holds the store's records, the run's own record and the installed user
// interface and clock. The host's callbacks are called from inside the run,
// and a callback that replaced any of them (an Init... entry point,
// DestroyPPDBInstance, SetPathNames, a second run, a pre-flight, another user
// interface or clock, the dry run switched) would pull them from under it.
// Such calls are refused while the run holds them: they change nothing and
// say why in the calling thread's last error.
#ifndef DRIVERWYR_UTIL_RUN_HOLD_H_
#define DRIVERWYR_UTIL_RUN_HOLD_H_

#include <string_view>

namespace driverwyr {

// Held for the length of a run. The library is used from one thread at a
// time, so the hold is the process's.
class RunHold {
 public:
  RunHold();
  ~RunHold();
  RunHold(const RunHold&) = delete;
  RunHold& operator=(const RunHold&) = delete;
};

// True, with the last error naming `call` and why, when a run is in
// progress: the caller then returns without doing anything.
bool RefusedDuringRun(std::string_view call) noexcept;

}  // namespace driverwyr

#endif  // DRIVERWYR_UTIL_RUN_HOLD_H_
