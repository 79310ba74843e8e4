// The local date on Windows: the time zone Windows is set to, with the rules
// of the instant's year, as the system clock (GetLocalTime) applies it. The C
// runtime's own TZ parser knows no zone names and is not used.
#include <windows.h>

#include "run_platform.h"

namespace wyr {

std::optional<driverwyr::CalendarDate> LocalDateOf(std::int64_t seconds) {
  // FILETIME counts 100-nanosecond intervals from 1601-01-01T00:00:00Z.
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  constexpr std::int64_t kLastSecond = 0x7FFFFFFFFFFFFFFF / 10000000 - kSecondsFrom1601To1970;
  if (seconds < 0 || seconds > kLastSecond) return std::nullopt;
  const ULONGLONG ticks = static_cast<ULONGLONG>(seconds + kSecondsFrom1601To1970) * 10000000ULL;
  FILETIME file_time;
  file_time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFULL);
  file_time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  SYSTEMTIME utc;
  if (!FileTimeToSystemTime(&file_time, &utc)) return std::nullopt;

  // The zone's rules for that year where the system has them; otherwise the
  // rules in force now.
  DYNAMIC_TIME_ZONE_INFORMATION zone_name{};
  TIME_ZONE_INFORMATION zone{};
  const TIME_ZONE_INFORMATION* rules = nullptr;
  if (GetDynamicTimeZoneInformation(&zone_name) != TIME_ZONE_ID_INVALID &&
      GetTimeZoneInformationForYear(utc.wYear, &zone_name, &zone)) {
    rules = &zone;
  }
  SYSTEMTIME local;
  if (!SystemTimeToTzSpecificLocalTime(rules, &utc, &local)) return std::nullopt;
  return driverwyr::CalendarDate{local.wYear, local.wMonth, local.wDay};
}

}  // namespace wyr
