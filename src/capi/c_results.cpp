// What a host reads after a call of the C interface: the calling thread's last
// error, the id of the message box being shown, and what became of each group
// of the last run.
#include "capi/c_support.h"
#include "creation/run_record.h"
#include "driverwyr/driverwyr_c.h"
#include "driverwyr/host.h"
#include "util/last_error.h"

using driverwyr::capi::Failed;
using driverwyr::capi::NullArgument;

DRIVERWYR_API const char* DRIVERWYR_CALL driverwyr_LastError(void) { return driverwyr::LastErrorText(); }

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_CurrentMessageId(void) { return driverwyr::CurrentMessageId(); }

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GetRunResultCount(void) { return driverwyr::GetRunResultCount(); }

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GetRunResult(int index, driverwyr_run_result* out) {
  if (out == nullptr) return NullArgument(__func__);
  const auto& groups = driverwyr::CurrentRun().groups;
  if (index < 0 || static_cast<std::size_t>(index) >= groups.size()) {
    return Failed({__func__, ": no group of that index in the last run"});
  }
  const driverwyr::GroupRecord& group = groups[static_cast<std::size_t>(index)];
  out->group = index;
  out->first_step = group.first_step;
  out->step_count = group.step_count;
  out->outcome = static_cast<int>(group.outcome);
  out->program_file = group.program_file.c_str();
  out->program_name = group.program_name.c_str();
  out->reason = group.reason.c_str();
  return 0;
}

static_assert(DRIVERWYR_GROUP_CREATED == static_cast<int>(driverwyr::GroupOutcome::kCreated) &&
              DRIVERWYR_GROUP_CANCELLED == static_cast<int>(driverwyr::GroupOutcome::kCancelled) &&
              DRIVERWYR_GROUP_FAILED == static_cast<int>(driverwyr::GroupOutcome::kFailed) &&
              DRIVERWYR_GROUP_NOT_RUN == static_cast<int>(driverwyr::GroupOutcome::kNotRun));
