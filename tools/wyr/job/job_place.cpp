#include "job_place.h"

#include <nlohmann/json.hpp>

namespace wyr {
namespace {

// True when `key` can be shown after a dot without quoting.
bool IsPlainKey(std::string_view key) {
  if (key.empty() || (key.front() >= '0' && key.front() <= '9')) return false;
  for (const char c : key) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit) return false;
  }
  return true;
}

}  // namespace

std::string QuoteJson(std::string_view text, std::size_t limit) {
  bool cut = false;
  if (text.size() > limit) {
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text = text.substr(0, end);
    cut = true;
  }
  // Bytes that are no UTF-8 are shown as U+FFFD rather than refused.
  std::string quoted = nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  if (cut) quoted.insert(quoted.size() - 1, "...");
  return quoted;
}

void AppendKey(std::string& place, std::string_view key) {
  if (!IsPlainKey(key)) {
    place += '[';
    place += QuoteJson(key);
    place += ']';
    return;
  }
  if (!place.empty()) place += '.';
  place += key;
}

void AppendIndex(std::string& place, std::size_t index) {
  place += '[';
  place += std::to_string(index);
  place += ']';
}

driverwyr::Status ErrorAt(std::string_view place, std::string_view message) {
  if (place.empty()) return driverwyr::Status::Invalid(std::string(message));
  std::string text(place);
  text += ": ";
  text += message;
  return driverwyr::Status::Invalid(std::move(text));
}

}  // namespace wyr
