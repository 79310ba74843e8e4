// The program file decoder on arbitrary bytes: it must never read outside the
// input, and whatever it accepts must encode back to the very same bytes
// (every byte of a program file belongs to a field).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "driverwyr/program_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  driverwyr::ProgramFile file;
  if (!driverwyr::DecodeProgramFile(bytes, file).ok()) return 0;
  if (driverwyr::EncodeProgramFile(file) != bytes) std::abort();
  // The field lists used by wyr dump cover every field of what was decoded.
  std::size_t fields = driverwyr::DescribeProgramHeader(file.header).size();
  for (const auto& record : file.records) fields += driverwyr::DescribeProgramRecord(record).size();
  if (fields == 0) std::abort();
  return 0;
}
