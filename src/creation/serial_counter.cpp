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

}  // namespace

bool ReadSerialCounter(int& serial, int& month, int& day) {
  SettingsStore& settings = Platform::Current().Settings();
  const std::unique_ptr<SettingsKey> key = settings.OpenUserKey(KeyPath(settings), false);
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

bool WriteSerialCounter(int serial, int month, int day) {
  SettingsStore& settings = Platform::Current().Settings();
  const std::unique_ptr<SettingsKey> key = settings.OpenUserKey(KeyPath(settings), true);
  if (key == nullptr) {
    return false;
  }
  // Each write stands alone, as with the registry: a value that cannot be
  // stored does not stop the others.
  const ValueBytes serial_bytes = FormatValue(serial);
  const ValueBytes month_bytes = FormatValue(month);
  const ValueBytes day_bytes = FormatValue(day);
  key->WriteValue(kSerialNumber, serial_bytes.data(), serial_bytes.size());
  key->WriteValue(kSerialMonth, month_bytes.data(), month_bytes.size());
  key->WriteValue(kSerialDay, day_bytes.data(), day_bytes.size());
  return true;
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
