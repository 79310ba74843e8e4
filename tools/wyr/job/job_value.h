// The values of a job file as the reader meets them, one at a time, and the
// checks that turn one into a field's element: types and ranges.
#ifndef DRIVERWYR_TOOLS_WYR_JOB_VALUE_H_
#define DRIVERWYR_TOOLS_WYR_JOB_VALUE_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "driverwyr/result.h"

namespace wyr {

// A value of the JSON text: a scalar, or the start of an object or array.
struct JsonValue {
  enum class Type : std::uint8_t { kNull, kBoolean, kInteger, kUnsigned, kFloat, kString, kObject, kArray };
  Type type = Type::kNull;
  bool boolean = false;
  std::int64_t integer = 0;     // kInteger: a negative whole number
  std::uint64_t unsigned_ = 0;  // kUnsigned: a whole number from 0 up
  double number = 0.0;          // kFloat: a number with a fraction or an exponent
  std::string_view text;        // kString; valid only while the value is handled

  bool is_number() const { return type == Type::kInteger || type == Type::kUnsigned || type == Type::kFloat; }
  bool is_integer() const { return type == Type::kInteger || type == Type::kUnsigned; }
  // A number as a double.
  double AsDouble() const;
};

// "an integer", "a string", ... for "expected X, got Y".
std::string_view TypeName(const JsonValue& value);
// A number as the job file's JSON shows it ("40000", "1e+39", "3000000000.0").
std::string NumberText(const JsonValue& value);
// "expected <expected>, got <the value's type>".
driverwyr::Status ExpectedError(std::string_view expected, const JsonValue& value);

// The kinds of element a record field is made of.
enum class Element : std::uint8_t {
  kBool,
  kShort,
  kInt,     // int, and driverwyr_long (32 bits as well)
  kFloat,
  kDouble,
  kName,    // a text of fixed width in a char row: shorter than the row, no NUL
  kString,  // std::string
};

// Checks `value` against `element` and stores it at `out`, which points to an
// object of the element's type (a char row of `name_width` bytes for kName).
// On error returns the message without a place.
driverwyr::Status ReadElement(Element element, const JsonValue& value, void* out, std::size_t name_width = 0);

// A path of the job file: empty stays empty; relative paths are resolved
// against the job's folder; the result is in the platform's own form.
driverwyr::Result<std::string> ResolvePath(std::string_view text, const std::filesystem::path& folder);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JOB_VALUE_H_
