// The local date on POSIX systems: the C library's time zone, from TZ.
#include <time.h>

#include <limits>

#include "run_platform.h"

namespace wyr {

std::optional<driverwyr::CalendarDate> LocalDateOf(std::int64_t seconds) {
  if (seconds < 0 || static_cast<std::uint64_t>(seconds) >
                         static_cast<std::uint64_t>(std::numeric_limits<time_t>::max())) {
    return std::nullopt;
  }
  const time_t when = static_cast<time_t>(seconds);
  struct tm parts {};
  if (localtime_r(&when, &parts) == nullptr) return std::nullopt;
  return driverwyr::CalendarDate{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

}  // namespace wyr
