#include "util/run_hold.h"

#include "util/last_error.h"

namespace driverwyr {
namespace {

int runs_in_progress = 0;

}  // namespace

RunHold::RunHold() { ++runs_in_progress; }

RunHold::~RunHold() { --runs_in_progress; }

bool RefusedDuringRun(std::string_view call) noexcept {
  if (runs_in_progress == 0) return false;
  SetLastError({call,
                ": refused while a run is in progress (called from one of the host's callbacks, which may not "
                "change the store, the user interface, the clock or the dry run, nor start a run or a "
                "pre-flight); nothing was changed"});
  return true;
}

}  // namespace driverwyr
