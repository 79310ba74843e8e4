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

// The number of bytes of the UTF-8 sequence that `lead` begins.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0u) return 4;
  if (lead >= 0xE0u) return 3;
  if (lead >= 0xC0u) return 2;
  return 1;
}

}  // namespace

void SetLastError(std::initializer_list<std::string_view> text) noexcept {
  constexpr std::size_t kRoom = kLastErrorRoom - 1;
  std::size_t length = 0;
  bool cut = false;
  for (const std::string_view part : text) {
    const std::size_t count = part.size() < kRoom - length ? part.size() : kRoom - length;
    if (count > 0) std::memcpy(last_error + length, part.data(), count);
    length += count;
    cut = cut || count < part.size();
  }
  // A cut text ends before a UTF-8 sequence it would split.
  if (cut && length > 0) {
    std::size_t start = length - 1;
    while (start > 0 && (static_cast<unsigned char>(last_error[start]) & 0xC0u) == 0x80u) --start;
    if (start + SequenceLength(static_cast<unsigned char>(last_error[start])) > length) length = start;
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
