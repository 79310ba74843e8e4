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
#include "util/text.h"

namespace driverwyr {
namespace {

constexpr std::size_t kValueBytes = 3;
constexpr char kKeyTail[] = "Ostrel\\TorvaneCommon\\Default";
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
      return std::string("Software\\Wow6432Node\\") + kKeyTail;
    case Wow64Answer::kProbeFailed:
      ShowMessage(kProbeFailedText, kMessageOk);
      break;
    case Wow64Answer::kNo:
      break;
  }
  return std::string("Software\\") + kKeyTail;
}

// Reads one value into a zero-filled buffer; a value that cannot be read
// leaves the buffer zero-filled.
ValueBytes ReadValueBytes(SettingsKey& key, const char* name) {
  ValueBytes bytes{};
  if (!key.ReadValue(name, bytes.data(), bytes.size())) {
    bytes.fill('\0');
  }
  return bytes;
}

// The decimal value of the text in `bytes`, read as atoi reads it; the text
// ends at the first NUL or after the last byte.
int ParseValue(const ValueBytes& bytes) {
  const std::string_view text(bytes.data(), bytes.size());
  return ParseLeadingInt(text.substr(0, text.find('\0')));
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

// The three values as the key holds them; false when the key cannot be read.
bool ReadValues(SettingsStore& settings, const std::string& path, int& serial, int& month, int& day) {
  const std::unique_ptr<SettingsKey> key = settings.OpenUserKey(path, false);
  if (key == nullptr) {
    return false;
  }
  const ValueBytes serial_bytes = ReadValueBytes(*key, kSerialNumber);
  const ValueBytes month_bytes = ReadValueBytes(*key, kSerialMonth);
  const ValueBytes day_bytes = ReadValueBytes(*key, kSerialDay);
  if (serial_bytes[0] == '\0') {
    serial = 0;
    month = 0;
    day = 0;
  } else {
    serial = ParseValue(serial_bytes);
    month = ParseValue(month_bytes);
    day = ParseValue(day_bytes);
  }
  return true;
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

bool ReadSerialCounter(int& serial, int& month, int& day) {
  SettingsStore& settings = Platform::Current().Settings();
  return ReadValues(settings, KeyPath(settings), serial, month, day);
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

SerialClaim ClaimSerial(const CalendarDate& today, int fallback) {
  SerialClaim claim;
  claim.serial = fallback;
  SettingsStore& settings = Platform::Current().Settings();
  const std::string path = KeyPath(settings);
  const Result<std::unique_ptr<SettingsLock>> lock = settings.LockUserKey(path);
  if (!lock.ok()) {
    claim.stored = lock.status();
    return claim;
  }
  int serial = 0;
  int month = 0;
  int day = 0;
  if (!ReadValues(settings, path, serial, month, day)) {
    claim.stored = Status::NotFound("the key " + path + " cannot be read");
    return claim;
  }
  claim.read = true;
  claim.serial = SerialOfDay(serial, month, day, today);
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
