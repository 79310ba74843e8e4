// What `wyr run` needs from the operating system beyond the driver: the
// instant given with --now, turned into the dates of a driver clock, and the
// settings key that a host's installation would create. LocalDateOf has one
// implementation per system (win32/, posix/), picked by the build.
#ifndef DRIVERWYR_TOOLS_WYR_RUN_PLATFORM_H_
#define DRIVERWYR_TOOLS_WYR_RUN_PLATFORM_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driverwyr/host.h"
#include "driverwyr/result.h"

namespace wyr {

// An instant: its UTC calendar date and its seconds since 1970-01-01T00:00:00Z.
struct Instant {
  driverwyr::CalendarDate utc_date;
  std::int64_t seconds = 0;
};

// Parses an ISO 8601 instant in UTC, "YYYY-MM-DDTHH:MM:SSZ", optionally with
// a decimal fraction of the second ("...:00.250Z"), years 1970 to 9999.
// Returns nothing when the text is not such an instant or names no real date
// or time of day.
std::optional<Instant> ParseUtcInstant(std::string_view text);

// The local calendar date of `seconds` since the epoch, as the system's clock
// would show it then: on Windows in the time zone Windows is set to (under
// Wine, the one Wine derives from the process's TZ), elsewhere in the time
// zone the C library takes from TZ. Nothing when the system cannot convert it.
std::optional<driverwyr::CalendarDate> LocalDateOf(std::int64_t seconds);

// Readies the process's memory for the large arrays of a job, where the
// system allows it (posix/process_memory.cpp); called first thing by main.
void PrepareProcessMemory();

// Makes writing to a closed pipe a write that fails (and is reported, with
// exit status 1) rather than an end of the process without a word, where the
// system would end it (posix/standard_streams.cpp); called by main.
void PrepareStandardStreams();

// With true, holds back the signals that ask the process to end (on POSIX
// SIGTERM, SIGINT, SIGHUP) until called with false, when one that came
// meanwhile ends it as it would have (posix/standard_streams.cpp). Elsewhere
// nothing is held.
void HoldEndingSignals(bool hold);

// A clock that always answers the dates of one instant.
class FixedClock final : public driverwyr::Clock {
 public:
  FixedClock(driverwyr::CalendarDate utc, driverwyr::CalendarDate local) : utc_(utc), local_(local) {}
  driverwyr::CalendarDate UtcToday() const override { return utc_; }
  driverwyr::CalendarDate LocalToday() const override { return local_; }

 private:
  driverwyr::CalendarDate utc_;
  driverwyr::CalendarDate local_;
};

// Makes sure the current user's settings key of the serial counter exists, as
// a host's installation does (driverwyr::CreateSerialCounterKey): the registry
// key on Windows, the settings file elsewhere, created empty when missing and
// left alone otherwise. Fails, saying why, when the key could not be made.
driverwyr::Status EnsureSerialCounterKey();

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_RUN_PLATFORM_H_
