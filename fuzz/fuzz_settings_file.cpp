// libFuzzer target for the reader and rewriter of the POSIX settings file.
// The input is the file's contents. Finding a value must stay inside the
// contents and fail exactly for a file that is not understood, and setting a
// value in an understood file must give one in which the value reads back
// and every other value still reads as before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/posix_settings.h"

namespace {

bool Inside(std::string_view part, std::string_view whole) {
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using driverwyr::posix::CheckSettingsFile;
  using driverwyr::posix::FindSettingsValue;
  using driverwyr::posix::ReplaceSettingsValue;

  const std::string_view contents(reinterpret_cast<const char*>(data), size);
  static constexpr std::string_view kNames[] = {"Serial Number", "Serial Month", "Serial Day", "Other"};

  // A file that is not understood yields no value at all.
  const bool understood = CheckSettingsFile(contents).ok();
  std::optional<std::string_view> before[4];
  for (int i = 0; i < 4; ++i) {
    const auto found = FindSettingsValue(contents, kNames[i]);
    if (found.ok() != understood) std::abort();
    if (!found.ok()) continue;
    before[i] = *found;
    if (before[i] && !Inside(*before[i], contents)) std::abort();
  }
  if (!understood) return 0;

  // Rewriting an understood file gives one: the value reads back, every
  // other value reads as before.
  const std::string rewritten = ReplaceSettingsValue(contents, "Serial Month", "12");
  const auto month = FindSettingsValue(rewritten, "Serial Month");
  if (!month.ok() || !*month || **month != "12") std::abort();
  for (int i = 0; i < 4; ++i) {
    if (kNames[i] == "Serial Month") continue;
    const auto after = FindSettingsValue(rewritten, kNames[i]);
    if (!after.ok() || before[i].has_value() != after->has_value()) std::abort();
    if (*after && *before[i] != **after) std::abort();
  }
  return 0;
}
