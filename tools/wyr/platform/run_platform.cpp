// The portable part of what `wyr run` needs from the system: the instant of
// --now and the serial counter key. The local date comes from win32/ or posix/.
#include "run_platform.h"

namespace wyr {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysSinceEpoch(int year, int month, int day) {
  const std::int64_t y = month <= 2 ? year - 1 : year;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// Reads exactly `count` decimal digits at `pos`.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count) {
  if (pos + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::optional<Instant> ParseUtcInstant(std::string_view text) {
  // YYYY-MM-DDTHH:MM:SS[.fraction]Z
  const auto year = Digits(text, 0, 4);
  const auto month = Digits(text, 5, 2);
  const auto day = Digits(text, 8, 2);
  const auto hour = Digits(text, 11, 2);
  const auto minute = Digits(text, 14, 2);
  const auto second = Digits(text, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  std::size_t end = 19;
  if (end < text.size() && text[end] == '.') {
    ++end;
    const std::size_t first_digit = end;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == first_digit) return std::nullopt;
  }
  if (end + 1 != text.size() || text[end] != 'Z') return std::nullopt;
  if (*year < 1970 || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month) ||
      *hour > 23 || *minute > 59 || *second > 59) {
    return std::nullopt;
  }
  Instant instant;
  instant.utc_date = driverwyr::CalendarDate{*year, *month, *day};
  instant.seconds = DaysSinceEpoch(*year, *month, *day) * 86400 + *hour * 3600 + *minute * 60 + *second;
  return instant;
}

driverwyr::Status EnsureSerialCounterKey() {
  CString why_not;
  if (driverwyr::CreateSerialCounterKey(&why_not)) return driverwyr::Status::Ok();
  return driverwyr::Status::IoError(why_not.str());
}

}  // namespace wyr
