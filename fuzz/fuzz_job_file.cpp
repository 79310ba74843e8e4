// libFuzzer target of the job-file reader: any bytes either give a job or a
// JobError, never a crash, a leak or undefined behaviour. A job that reads
// is also handed to the store and described, as `wyr check` does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "job_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  wyr::Job job;
  try {
    wyr::ParseJob(text, "/fuzz/jobs", job);
  } catch (const wyr::JobError&) {
    return 0;
  }
  wyr::ApplyJob(job);
  driverwyr::StoreCopy store;
  if (driverwyr::CopyStore(store)) {
    const std::string description = wyr::DescribeStore(store);
    if (description.empty()) __builtin_trap();
  }
  return 0;
}
