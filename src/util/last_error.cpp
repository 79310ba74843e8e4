#include "util/last_error.h"

#include <cstddef>
#include <cstring>

namespace driverwyr {
namespace {

constexpr std::size_t kLastErrorRoom = 1024;

// Each thread's own text; it lives as long as the thread.
thread_local char last_error[kLastErrorRoom] = "";

// The number of bytes of the UTF-8 sequence that `lead` begins.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0u) return 4;
  if (lead >= 0xE0u) return 3;
  if (lead >= 0xC0u) return 2;
  return 1;
}

}  // namespace

void SetLastError(std::initializer_list<std::string_view> text) noexcept {
  constexpr std::size_t kRoom = kLastErrorRoom - 1;
  std::size_t length = 0;
  bool cut = false;
  for (const std::string_view part : text) {
    const std::size_t count = part.size() < kRoom - length ? part.size() : kRoom - length;
    if (count > 0) std::memcpy(last_error + length, part.data(), count);
    length += count;
    cut = cut || count < part.size();
  }
  // A cut text ends before a UTF-8 sequence it would split.
  if (cut && length > 0) {
    std::size_t start = length - 1;
    while (start > 0 && (static_cast<unsigned char>(last_error[start]) & 0xC0u) == 0x80u) --start;
    if (start + SequenceLength(static_cast<unsigned char>(last_error[start])) > length) length = start;
  }
  last_error[length] = '\0';
}

const char* LastErrorText() noexcept { return last_error; }

}  // namespace driverwyr
