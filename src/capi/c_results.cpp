// What a host reads after a call of the C interface: the calling thread's last
// error, the id of the message box being shown, and what became of each group
// of the last run.
#include <cstddef>

#include "capi/c_support.h"
#include "creation/run_record.h"
#include "driverwyr/driverwyr_c.h"
#include "driverwyr/host.h"

namespace driverwyr::capi {

namespace {

constexpr std::size_t kLastErrorRoom = 1024;

// Each thread's own text; it lives as long as the thread.
thread_local char last_error[kLastErrorRoom] = "";

}  // namespace

void SetLastError(std::initializer_list<std::string_view> text) noexcept {
  std::size_t length = 0;
  for (const std::string_view part : text) {
    const std::size_t count = part.size() < kLastErrorRoom - 1 - length ? part.size() : kLastErrorRoom - 1 - length;
    if (count > 0) std::memcpy(last_error + length, part.data(), count);
    length += count;
  }
  // A cut text ends before a UTF-8 sequence it would split.
  if (length == kLastErrorRoom - 1) {
    while (length > 0 && (static_cast<unsigned char>(last_error[length]) & 0xC0u) == 0x80u) --length;
  }
  last_error[length] = '\0';
}

}  // namespace driverwyr::capi

using driverwyr::capi::Failed;
using driverwyr::capi::NullArgument;

DRIVERWYR_API const char* DRIVERWYR_CALL driverwyr_LastError(void) { return driverwyr::capi::last_error; }

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
