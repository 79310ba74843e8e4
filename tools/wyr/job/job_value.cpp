#include "job_value.h"

#include <fmt/format.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>


namespace wyr {
namespace {

using driverwyr::Status;

template <typename T>
Status ReadInteger(const JsonValue& value, void* out) {
  if (!value.is_integer()) return ExpectedError("an integer", value);
  constexpr auto kMin = static_cast<std::int64_t>(std::numeric_limits<T>::min());
  constexpr auto kMax = static_cast<std::int64_t>(std::numeric_limits<T>::max());
  const bool fits = value.type == JsonValue::Type::kUnsigned
                        ? value.unsigned_ <= static_cast<std::uint64_t>(kMax)
                        : value.integer >= kMin && value.integer <= kMax;
  if (!fits) return Status::Invalid(fmt::format("{} is outside the range {}..{}", NumberText(value), kMin, kMax));
  const T result = static_cast<T>(value.type == JsonValue::Type::kUnsigned ? static_cast<std::int64_t>(value.unsigned_)
                                                                          : value.integer);
  std::memcpy(out, &result, sizeof result);
  return Status::Ok();
}

// A number as a double; out-of-range numbers are refused.
Status ReadDouble(const JsonValue& value, double& out) {
  if (!value.is_number()) return ExpectedError("a number", value);
  out = value.AsDouble();
  if (!std::isfinite(out)) return Status::Invalid("number too large");
  return Status::Ok();
}

}  // namespace

double JsonValue::AsDouble() const {
  switch (type) {
    case Type::kInteger: return static_cast<double>(integer);
    case Type::kUnsigned: return static_cast<double>(unsigned_);
    default: return number;
  }
}

std::string_view TypeName(const JsonValue& value) {
  switch (value.type) {
    case JsonValue::Type::kNull: return "null";
    case JsonValue::Type::kBoolean: return "a boolean";
    case JsonValue::Type::kInteger:
    case JsonValue::Type::kUnsigned: return "an integer";
    case JsonValue::Type::kFloat: return "a number with a fraction";
    case JsonValue::Type::kString: return "a string";
    case JsonValue::Type::kObject: return "an object";
    case JsonValue::Type::kArray: return "an array";
  }
  return "something else";
}

std::string NumberText(const JsonValue& value) {
  switch (value.type) {
    case JsonValue::Type::kInteger: return std::to_string(value.integer);
    case JsonValue::Type::kUnsigned: return std::to_string(value.unsigned_);
    default: return nlohmann::json(value.number).dump();
  }
}

Status ExpectedError(std::string_view expected, const JsonValue& value) {
  return Status::Invalid(fmt::format("expected {}, got {}", expected, TypeName(value)));
}

Status ReadElement(Element element, const JsonValue& value, void* out, std::size_t name_width) {
  switch (element) {
    case Element::kBool:
      if (value.type != JsonValue::Type::kBoolean) return ExpectedError("true or false", value);
      *static_cast<bool*>(out) = value.boolean;
      return Status::Ok();
    case Element::kShort: return ReadInteger<short>(value, out);
    case Element::kInt: return ReadInteger<int>(value, out);
    case Element::kFloat: {
      double number = 0.0;
      if (Status status = ReadDouble(value, number); !status.ok()) return status;
      if (std::fabs(number) > static_cast<double>(std::numeric_limits<float>::max())) {
        return Status::Invalid(
            fmt::format("{} is beyond the range of a single-precision number", NumberText(value)));
      }
      *static_cast<float*>(out) = static_cast<float>(number);
      return Status::Ok();
    }
    case Element::kDouble: return ReadDouble(value, *static_cast<double*>(out));
    case Element::kName: {
      if (value.type != JsonValue::Type::kString) return ExpectedError("a string", value);
      if (value.text.size() >= name_width) {
        return Status::Invalid(
            fmt::format("name longer than {} bytes ({} bytes)", name_width - 1, value.text.size()));
      }
      if (value.text.find('\0') != std::string_view::npos) return Status::Invalid("name contains a NUL byte");
      char* row = static_cast<char*>(out);
      std::memset(row, 0, name_width);
      std::memcpy(row, value.text.data(), value.text.size());
      return Status::Ok();
    }
    case Element::kString:
      if (value.type != JsonValue::Type::kString) return ExpectedError("a string", value);
      static_cast<std::string*>(out)->assign(value.text);
      return Status::Ok();
  }
  return Status::Invalid("unknown element");
}

driverwyr::Result<std::string> ResolvePath(std::string_view text, const std::filesystem::path& folder) {
  if (text.empty()) return std::string();
  if (text.find('\0') != std::string_view::npos) return Status::Invalid("path contains a NUL byte");
  try {
    // JSON text is UTF-8; the driver takes the path in the system's own form.
    std::filesystem::path path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
    if (path.is_relative()) path = folder / path;
    path.make_preferred();
    return path.string();
  } catch (const std::exception&) {
    return Status::Invalid("cannot be used as a path on this system");
  }
}

}  // namespace wyr
