// The job reader's JSON tokeniser: what it hands over, what it refuses and
// where it says the fault is.
#include "json_sax.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace wyr {
namespace {

// Writes the events down as one line: "[ u1 i-2 f0.5 s:a null ]".
class Recorder final : public JsonHandler {
 public:
  std::string events;
  int stop_after = -1;  // stop at the event of this number (from 0)

  bool Null() override { return Add("null"); }
  bool Boolean(bool value) override { return Add(value ? "true" : "false"); }
  bool Integer(std::int64_t value) override { return Add("i" + std::to_string(value)); }
  bool Unsigned(std::uint64_t value) override { return Add("u" + std::to_string(value)); }
  bool Float(double value) override {
    char text[40];
    std::snprintf(text, sizeof text, "f%.17g", value);
    return Add(text);
  }
  bool String(std::string_view value) override { return Add("s:" + std::string(value)); }
  bool Key(std::string_view key) override { return Add("k:" + std::string(key)); }
  bool StartObject() override { return Add("{"); }
  bool EndObject() override { return Add("}"); }
  bool StartArray() override { return Add("["); }
  bool EndArray() override { return Add("]"); }

 private:
  int count_ = 0;
  bool Add(const std::string& event) {
    if (!events.empty()) events += ' ';
    events += event;
    return count_++ != stop_after;
  }
};

TEST(JsonSaxTest, HandsOverEveryValueWithItsKind) {
  const struct { std::string text, events; } kCases[] = {
      {"0", "u0"},
      {"-0", "i0"},
      {" \t\r\n-17 ", "i-17"},
      {"18446744073709551615", "u18446744073709551615"},
      {"18446744073709551616", "f1.8446744073709552e+19"},
      {"-9223372036854775808", "i-9223372036854775808"},
      {"-9223372036854775809", "f-9.2233720368547758e+18"},
      {"1.5", "f1.5"},
      {"1E+2", "f100"},
      {"2.5e-3", "f0.0025000000000000001"},
      {"0.1", "f0.10000000000000001"},
      {"1e-400", "f0"},
      {"4.9406564584124654e-324", "f4.9406564584124654e-324"},
      {"true", "true"},
      {"false", "false"},
      {"null", "null"},
      {R"("")", "s:"},
      {R"("plain")", "s:plain"},
      {R"("\"\\\/\b\f\n\r\t")", "s:\"\\/\b\f\n\r\t"},
      {R"("a\u00e9\u20AC")", "s:a\xC3\xA9\xE2\x82\xAC"},
      {R"("\ud83d\ude00")", "s:\xF0\x9F\x98\x80"},
      {"\"caf\xC3\xA9 \xF4\x8F\xBF\xBF\"", "s:caf\xC3\xA9 \xF4\x8F\xBF\xBF"},
      {R"("A\u0000B")", std::string("s:A\0B", 5)},
      {"[]", "[ ]"},
      {"{}", "{ }"},
      {R"([1, [], {"a": [true, null]}, "x"])", "[ u1 [ ] { k:a [ true null ] } s:x ]"},
      {R"({"a": {"b": {}}, "a": 2})", "{ k:a { k:b { } } k:a u2 }"},
      {"\xEF\xBB\xBF{}", "{ }"},
  };
  for (const auto& c : kCases) {
    Recorder recorder;
    const driverwyr::Status status = ReadJson(c.text, recorder);
    EXPECT_TRUE(status.ok()) << c.text << ": " << status.message();
    EXPECT_EQ(recorder.events, c.events) << c.text;
  }
}

// Every fault names its line and column; the column is that of the byte at
// fault, or one past the last byte at the end of the text.
TEST(JsonSaxTest, RefusesWhatIsNotJsonAndSaysWhere) {
  const struct { std::string text, message; } kCases[] = {
      {"", "parse error at line 1, column 1: unexpected end of input; expected a value"},
      {"   ", "parse error at line 1, column 4: unexpected end of input"},
      {"[1,]", "parse error at line 1, column 4: unexpected ']'; expected a value"},
      {"[1 2]", "parse error at line 1, column 4: unexpected '2'; expected ',' or ']'"},
      {R"({"a" 1})", "parse error at line 1, column 6: unexpected '1'; expected ':'"},
      {R"({"a": 1,})", "parse error at line 1, column 9: unexpected '}'; expected a key in quotes"},
      {"{1: 2}", "parse error at line 1, column 2: unexpected '1'; expected a key in quotes"},
      {R"({"a": 1 "b": 2})", "parse error at line 1, column 9: unexpected '\"'; expected ',' or '}'"},
      {"[01]", "parse error at line 1, column 3: unexpected '1'; expected ',' or ']'"},
      {"-", "parse error at line 1, column 2: unexpected end of input in a number"},
      {"-a", "parse error at line 1, column 2: unexpected 'a' in a number"},
      {"1.", "parse error at line 1, column 3: unexpected end of input in a number; expected a digit after '.'"},
      {"1.e5", "parse error at line 1, column 3: unexpected 'e' in a number"},
      {"1e", "parse error at line 1, column 3: unexpected end of input in a number; expected a digit of the exponent"},
      {"1e+", "parse error at line 1, column 4: unexpected end of input in a number"},
      {".5", "parse error at line 1, column 1: unexpected '.'; expected a value"},
      {"+1", "parse error at line 1, column 1: unexpected '+'; expected a value"},
      {"tru", "parse error at line 1, column 4: unexpected end of input in a literal; expected \"true\""},
      {"nul1", "parse error at line 1, column 4: unexpected '1' in a literal; expected \"null\""},
      {"True", "parse error at line 1, column 1: unexpected 'T'; expected a value"},
      {"{}x", "parse error at line 1, column 3: unexpected 'x' after the value; expected end of input"},
      {std::string("{}\0", 3), "parse error at line 1, column 3: unexpected byte 0x00 after the value"},
      {"{} {}", "parse error at line 1, column 4: unexpected '{' after the value"},
      {"[1] // note", "parse error at line 1, column 5: unexpected '/' after the value"},
      {"\"abc", "parse error at line 1, column 5: unexpected end of input in a string"},
      {"\"a\tb\"", "parse error at line 1, column 3: control character U+0009 in a string; write it as \\u0009"},
      {"\"a\nb\"", "parse error at line 1, column 3: control character U+000A"},
      {R"("\x")", "parse error at line 1, column 3: 'x' after '\\' is not an escape"},
      {R"("\u12G4")", "parse error at line 1, column 6: unexpected 'G'; '\\u' takes four hex digits"},
      {R"("\ud800")", "parse error at line 1, column 8: \\uD800 must be followed by the second half"},
      {R"("\ud800\u0041")", "parse error at line 1, column 8: \\u0041 is not the second half of a surrogate pair"},
      {R"("\udc00")", "parse error at line 1, column 2: \\uDC00 is the second half of a surrogate pair, without the first"},
      {"\"\xFF\"", "parse error at line 1, column 2: byte 0xFF in a string is not well-formed UTF-8"},
      {"\"\xC0\xAF\"", "parse error at line 1, column 2: byte 0xC0 in a string"},          // overlong '/'
      {"\"\xE0\x80\xAF\"", "parse error at line 1, column 2: byte 0xE0 in a string"},      // overlong '/'
      {"\"\xED\xA0\x80\"", "parse error at line 1, column 2: byte 0xED in a string"},      // a surrogate
      {"\"\xF4\x90\x80\x80\"", "parse error at line 1, column 2: byte 0xF4 in a string"},  // beyond U+10FFFF
      {"\"ab\xC3\"", "parse error at line 1, column 4: byte 0xC3 in a string"},            // cut short
      {"\xC3\xA9", "parse error at line 1, column 1: unexpected byte 0xC3; expected a value"},
      {"{\n  \"a\": 1,\n  \"b\": ]\n}", "parse error at line 3, column 8: unexpected ']'; expected a value"},
      {"[\r\n1,\r\n", "parse error at line 3, column 1: unexpected end of input"},
      {"1e999", "number overflow at line 1, column 1: '1e999' is beyond the range of a double"},
      {"[-1.5e400]", "number overflow at line 1, column 2: '-1.5e400' is beyond the range of a double"},
  };
  for (const auto& c : kCases) {
    Recorder recorder;
    const driverwyr::Status status = ReadJson(c.text, recorder);
    ASSERT_FALSE(status.ok()) << c.text << " gave " << recorder.events;
    EXPECT_EQ(status.message().substr(0, c.message.size()), c.message) << c.text;
  }
}

TEST(JsonSaxTest, DeepTextNeedsNoStackAndStopsWhereTheHandlerSays) {
  // A hundred thousand open arrays: one loop, no recursion.
  const std::string deep(100000, '[');
  Recorder recorder;
  const driverwyr::Status status = ReadJson(deep, recorder);
  EXPECT_EQ(status.message(), "parse error at line 1, column 100001: unexpected end of input; expected a value");

  Recorder stopping;
  stopping.stop_after = 2;
  EXPECT_TRUE(ReadJson(R"([1, {"a": 2}, nonsense)", stopping).ok()) << "stopped before the fault";
  EXPECT_EQ(stopping.events, "[ u1 {");
}

}  // namespace
}  // namespace wyr
