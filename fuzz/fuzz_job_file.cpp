// libFuzzer target of the job-file reader: any bytes either give a job or an
// error that names its fault, never a crash, a leak or undefined behaviour. A
// job that reads is also handed to the store and listed, as `wyr check` does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "job_file.h"
#include "output_buffer.h"
#include "store_printer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  driverwyr::Result<wyr::Job> parsed = wyr::ParseJob(text, "/fuzz/jobs");
  if (!parsed.ok()) {
    if (parsed.error().empty()) __builtin_trap();  // every error says what is wrong
    return 0;
  }
  wyr::Job& job = *parsed;
  if (!wyr::ApplyJob(job).ok()) __builtin_trap();
  driverwyr::StoreCopy store;
  if (driverwyr::CopyStore(store)) {
    wyr::OutputBuffer listing;
    wyr::DescribeStore(store, listing);
    if (listing.text().empty()) __builtin_trap();
  }
  return 0;
}
