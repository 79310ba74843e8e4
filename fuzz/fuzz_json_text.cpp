// libFuzzer target of the job reader's JSON tokeniser, against nlohmann-json's
// parser as a second opinion: any bytes are taken by both or refused by both,
// and a text both take gives the same values in the same order. The one
// difference allowed is a NUL byte outside the strings, which nlohmann-json
// reads as the end of the text and the tokeniser refuses.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "json_sax.h"

namespace {

std::string FloatEvent(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return "f" + std::to_string(bits);
}

class Tokens final : public wyr::JsonHandler {
 public:
  std::vector<std::string> events;
  bool Null() override { return Add("null"); }
  bool Boolean(bool value) override { return Add(value ? "true" : "false"); }
  bool Integer(std::int64_t value) override { return Add("i" + std::to_string(value)); }
  bool Unsigned(std::uint64_t value) override { return Add("u" + std::to_string(value)); }
  bool Float(double value) override { return Add(FloatEvent(value)); }
  bool String(std::string_view value) override { return Add("s" + std::string(value)); }
  bool Key(std::string_view key) override { return Add("k" + std::string(key)); }
  bool StartObject() override { return Add("{"); }
  bool EndObject() override { return Add("}"); }
  bool StartArray() override { return Add("["); }
  bool EndArray() override { return Add("]"); }

 private:
  bool Add(std::string event) {
    events.push_back(std::move(event));
    return true;
  }
};

struct Nlohmann : nlohmann::json_sax<nlohmann::json> {
  std::vector<std::string> events;
  bool null() override { return Add("null"); }
  bool boolean(bool value) override { return Add(value ? "true" : "false"); }
  bool number_integer(number_integer_t value) override { return Add("i" + std::to_string(value)); }
  bool number_unsigned(number_unsigned_t value) override { return Add("u" + std::to_string(value)); }
  bool number_float(number_float_t value, const string_t&) override { return Add(FloatEvent(value)); }
  bool string(string_t& value) override { return Add("s" + value); }
  bool binary(binary_t&) override { return false; }
  bool start_object(std::size_t) override { return Add("{"); }
  bool key(string_t& key) override { return Add("k" + key); }
  bool end_object() override { return Add("}"); }
  bool start_array(std::size_t) override { return Add("["); }
  bool end_array() override { return Add("]"); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  bool Add(std::string event) {
    events.push_back(std::move(event));
    return true;
  }
};

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Tokens tokens;
  const driverwyr::Status status = wyr::ReadJson(text, tokens);
  if (!status.ok() && !StartsWith(status.message(), "parse error at line ") &&
      !StartsWith(status.message(), "number overflow at line ")) {
    __builtin_trap();  // every fault says where it is
  }

  Nlohmann other;
  const bool other_ok = nlohmann::json::sax_parse(text.begin(), text.end(), &other);
  if (text.find('\0') != std::string_view::npos) {
    // nlohmann-json stops at the NUL: the tokeniser may only be stricter.
    if (status.ok() && (!other_ok || other.events != tokens.events)) __builtin_trap();
    return 0;
  }
  if (status.ok() != other_ok) __builtin_trap();
  if (status.ok() && other.events != tokens.events) __builtin_trap();
  return 0;
}
