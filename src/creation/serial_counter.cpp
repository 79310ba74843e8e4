// The daily serial counter in the current user's settings key.
//
// Each value is a 3-byte text: the decimal digits, then zero bytes up to 3.
// A value of three digits therefore has no terminating NUL, and a value that
// someone else stored may hold anything; the reader never looks past the 3
// bytes it was given.
#include "creation/serial_counter.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "driverwyr/host.h"
#include "platform/platform.h"
#include "platform/serial_key.h"
#include "util/text.h"

namespace driverwyr {
namespace {

constexpr std::size_t kValueBytes = 3;
constexpr char kSerialNumber[] = "Serial Number";
constexpr char kSerialMonth[] = "Serial Month";
constexpr char kSerialDay[] = "Serial Day";
constexpr char kProbeFailedText[] = "Please upgrade to Windows XP SP2 or later.";

using ValueBytes = std::array<char, kValueBytes>;

// The key path under the current user. A 32-bit process on 64-bit Windows
// keeps the key in the compatibility branch. When the probe itself fails the
// operator is told once for this access and the plain path is used.
std::string KeyPath(SettingsStore& settings) {
  switch (settings.ProbeWow64()) {
    case Wow64Answer::kYes:
      return SerialKeyPath(true);
    case Wow64Answer::kProbeFailed:
      ShowMessage(kProbeFailedText, kMessageOk);
      break;
    case Wow64Answer::kNo:
      break;
  }
  return SerialKeyPath(false);
}

// One value as the counter reads it: its first 3 bytes up to the first NUL,
// blanks around them removed. Nothing when the key has no such value.
Result<std::string> ReadValueText(SettingsKey& key, const char* name) {
  ValueBytes bytes{};
  const Status read = key.ReadValue(name, bytes.data(), bytes.size());
  if (read.code() == Status::Code::kNotFound) return std::string();
  if (!read.ok()) return read;
  const std::string_view text(bytes.data(), bytes.size());
  return std::string(Trim(text.substr(0, text.find('\0'))));
}

// The number `text` of value `name` stands for, when it lies in [low, high]:
// decimal digits only (at most three, the value's size).
Result<int> ParseValue(const char* name, const std::string& text, int low, int high, const char* what) {
  if (text.empty()) return Status::Invalid("value \"" + std::string(name) + "\" is missing");
  int number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return Status::Invalid("value \"" + std::string(name) + "\" holds \"" + text + "\", which is no number");
    }
    number = number * 10 + (c - '0');
  }
  if (number < low || number > high) {
    return Status::Invalid("value \"" + std::string(name) + "\" holds " + text + ", which is no " + what);
  }
  return number;
}

// The decimal text of `value` cut to 3 bytes, zero bytes filling the rest.
ValueBytes FormatValue(int value) {
  const std::string text = std::to_string(value);
  ValueBytes bytes{};
  for (std::size_t i = 0; i < bytes.size() && i < text.size(); ++i) {
    bytes[i] = text[i];
  }
  return bytes;
}

// The three values as the key holds them.
Status ReadValues(SettingsStore& settings, const std::string& path, int& serial, int& month, int& day) {
  const std::unique_ptr<SettingsKey> key = settings.OpenUserKey(path, false);
  if (key == nullptr) {
    return Status::NotFound("the key " + path + " cannot be opened");
  }
  // Errors name the key as the operator finds it: the registry path, or
  // the file that stands for the key.
  const std::string location = key->Location();
  const std::string& where = location.empty() ? path : location;
  const Result<std::string> serial_text = ReadValueText(*key, kSerialNumber);
  if (!serial_text.ok()) return serial_text.status().WithContext(where);
  if (serial_text->empty()) {
    // A new key, or one whose counter was emptied: the day starts again.
    serial = 0;
    month = 0;
    day = 0;
    return Status::Ok();
  }
  const Result<std::string> month_text = ReadValueText(*key, kSerialMonth);
  if (!month_text.ok()) return month_text.status().WithContext(where);
  const Result<std::string> day_text = ReadValueText(*key, kSerialDay);
  if (!day_text.ok()) return day_text.status().WithContext(where);
  const Result<int> serial_value = ParseValue(kSerialNumber, *serial_text, 0, 999, "serial");
  if (!serial_value.ok()) return serial_value.status().WithContext(where);
  const Result<int> month_value = ParseValue(kSerialMonth, *month_text, 1, 12, "month");
  if (!month_value.ok()) return month_value.status().WithContext(where);
  const Result<int> day_value = ParseValue(kSerialDay, *day_text, 1, 31, "day of a month");
  if (!day_value.ok()) return day_value.status().WithContext(where);
  serial = *serial_value;
  month = *month_value;
  day = *day_value;
  return Status::Ok();
}

Status WriteValues(SettingsStore& settings, const std::string& path, int serial, int month, int day) {
  const std::unique_ptr<SettingsKey> key = settings.OpenUserKey(path, true);
  if (key == nullptr) {
    return Status::NotFound("the key " + path + " cannot be opened for writing");
  }
  const auto value = [](const char* name, int number) {
    const ValueBytes bytes = FormatValue(number);
    return SettingsValue{name, std::string(bytes.data(), bytes.size())};
  };
  return key->WriteValues({value(kSerialNumber, serial), value(kSerialMonth, month), value(kSerialDay, day)});
}

}  // namespace

Status ReadSerialCounter(int& serial, int& month, int& day) {
  SettingsStore& settings = Platform::Current().Settings();
  const std::string path = KeyPath(settings);
  int values[3] = {};
  const Status read = ReadValues(settings, path, values[0], values[1], values[2]);
  if (!read.ok()) return read;
  serial = values[0];
  month = values[1];
  day = values[2];
  return Status::Ok();
}

Status WriteSerialCounter(int serial, int month, int day) {
  SettingsStore& settings = Platform::Current().Settings();
  return WriteValues(settings, KeyPath(settings), serial, month, day);
}

int SerialOfDay(int stored_serial, int stored_month, int stored_day, const CalendarDate& today) {
  if (stored_month != today.month || stored_day != today.day) return 0;
  return ((stored_serial % 100) + 100) % 100;
}

int NextSerial(int serial) { return serial >= 99 ? 0 : serial + 1; }

int RunNumbers::FirstUnused(int serial, const CalendarDate& day) const {
  for (int step = 0; step < 100; ++step) {
    const int candidate = (serial + step) % 100;
    if (!given_.contains(Key(candidate, day))) return candidate;
  }
  return serial;
}

void RunNumbers::Give(int serial, const CalendarDate& day) { given_.insert(Key(serial, day)); }

SerialClaim ClaimSerial(const CalendarDate& today, int fallback, const RunNumbers& run) {
  SerialClaim claim;
  SettingsStore& settings = Platform::Current().Settings();
  const std::string path = KeyPath(settings);
  const Result<std::unique_ptr<SettingsLock>> lock = settings.LockUserKey(path);
  int serial = 0;
  int month = 0;
  int day = 0;
  claim.read = lock.ok() ? ReadValues(settings, path, serial, month, day) : lock.status();
  if (!claim.read.ok()) {
    claim.serial = run.FirstUnused(fallback, today);
    return claim;
  }
  const int counted = SerialOfDay(serial, month, day, today);
  claim.serial = run.FirstUnused(counted, today);
  // The counter went round today: 00 was given before, and is given again.
  claim.repeated = counted == 0 && claim.serial == 0 && month == today.month && day == today.day;
  claim.stored = WriteValues(settings, path, NextSerial(claim.serial), today.month, today.day);
  return claim;
}

Status CreateSerialCounterKeyIfMissing() {
  SettingsStore& settings = Platform::Current().Settings();
  return settings.CreateUserKey(KeyPath(settings));
}

bool CreateSerialCounterKey(CString* why_not) {
  try {
    const Status created = CreateSerialCounterKeyIfMissing();
    if (!created.ok() && why_not != nullptr) *why_not = CString(created.message());
    return created.ok();
  } catch (...) {
    if (why_not != nullptr) *why_not = CString("out of memory");
    return false;
  }
}

}  // namespace driverwyr
