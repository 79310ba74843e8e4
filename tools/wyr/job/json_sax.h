// The JSON text of a job file read in one pass, each value handed to a
// handler as it is met, without building a document.
//
// It takes what RFC 8259 allows and nothing else: no comments, no trailing
// commas, no NUL bytes outside strings, and strings of well-formed UTF-8. A
// UTF-8 byte order mark at the start is skipped. Numbers keep their kind: a
// whole number without a sign is unsigned, one with a minus sign is signed,
// and a number with a fraction or an exponent, or a whole number beyond 64
// bits, is a double (correctly rounded). A number beyond the range of a
// double is an error, not an infinity.
//
// A string without escapes is handed over as a view into the text itself;
// one with escapes is decoded into a buffer the reader reuses. Either view is
// valid only during the call.
#ifndef DRIVERWYR_TOOLS_WYR_JSON_SAX_H_
#define DRIVERWYR_TOOLS_WYR_JSON_SAX_H_

#include <cstdint>
#include <string_view>

#include "driverwyr/result.h"

namespace wyr {

// What the reader hands over, in the order of the text. Each call returns
// false to stop the reading there.
class JsonHandler {
 public:
  virtual ~JsonHandler() = default;
  virtual bool Null() = 0;
  virtual bool Boolean(bool value) = 0;
  virtual bool Integer(std::int64_t value) = 0;    // a whole number with a minus sign
  virtual bool Unsigned(std::uint64_t value) = 0;  // a whole number without one
  virtual bool Float(double value) = 0;
  virtual bool String(std::string_view value) = 0;
  virtual bool Key(std::string_view key) = 0;
  virtual bool StartObject() = 0;
  virtual bool EndObject() = 0;
  virtual bool StartArray() = 0;
  virtual bool EndArray() = 0;
};

// Reads `text` to its end. Text that is not JSON gives an error naming the
// place, "parse error at line 3, column 14: unexpected '}'; expected a value",
// or "number overflow at line 1, column 10: '1e999' is beyond the range of a
// double"; lines and columns count from 1, columns in bytes. The handler has
// seen every value before the fault. A handler that stops the reading gets
// success: the reason is its own to keep.
driverwyr::Status ReadJson(std::string_view text, JsonHandler& handler);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JSON_SAX_H_
