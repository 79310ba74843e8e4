// The one escaper of outside texts: which bytes each kind of output keeps,
// and that no escaped text can end a line or start one of its own.
#include "driverwyr/escape.h"

#include <gtest/gtest.h>

#include <string>

namespace driverwyr {
namespace {

TEST(EscapeTest, EachOutputKeepsItsBytes) {
  const std::string kAll = std::string("a\"\\\x01\n\r\x7F\xC3\xA9", 9);
  const struct {
    EscapeOptions options;
    std::string want;
  } kCases[] = {
      // A program file's texts (wyr dump, the set-up sheet): printable ASCII only.
      {{.quote = '"'}, R"(a\"\\\x01\x0A\x0D\x7F\xC3\xA9)"},
      // Listings of the job (wyr check): names in UTF-8 stay readable.
      {{.quote = '"', .keep_high_bytes = true}, R"(a\"\\\x01\x0A\x0D\x7F)" "\xC3\xA9"},
      // Inside a JSON string: every escape's backslash doubled, the quote JSON's own.
      {{.quote = '"', .json = true}, R"(a\"\\\\\\x01\\x0A\\x0D\\x7F\\xC3\\xA9)"},
      // The lines of wyr run: Windows paths keep their backslashes.
      {{.keep_high_bytes = true, .keep_backslash = true}, "a\"\\\\x01\\x0A\\x0D\\x7F\xC3\xA9"},
      {{.quote = '"', .keep_backslash = true, .json = true}, R"(a\"\\\\x01\\x0A\\x0D\\x7F\\xC3\\xA9)"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Escaped(kAll, c.options), c.want)
        << "quote " << int{c.options.quote} << " high " << c.options.keep_high_bytes << " backslash "
        << c.options.keep_backslash << " json " << c.options.json;
  }
}

// Whatever the options, no byte that a line-reading program takes for a line
// end survives: the ASCII ones, and U+0085, U+2028, U+2029 where UTF-8 is kept.
TEST(EscapeTest, NothingEndsALine) {
  const std::string kLineEnds[] = {"\n", "\r", "\v", "\f", std::string(1, '\0'), "\x1C", "\x1D", "\x1E",
                                   "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"};
  for (const bool high : {false, true}) {
    for (const bool backslash : {false, true}) {
      for (const std::string& end : kLineEnds) {
        const std::string text = "out/A" + end + "done: B";
        const std::string shown = Escaped(text, {.keep_high_bytes = high, .keep_backslash = backslash});
        for (const char c : shown) {
          const auto byte = static_cast<unsigned char>(c);
          EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << text << " shown as " << shown;
        }
        EXPECT_EQ(shown.find("\xC2\x85"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("\xE2\x80\xA8"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("\xE2\x80\xA9"), std::string::npos) << shown;
      }
    }
  }
  // Other characters of more than one byte stay whole, even right after a line end.
  EXPECT_EQ(Escaped("\xE2\x80\xA8\xE2\x80\xA6\xC2\xA0", {.keep_high_bytes = true}),
            "\\xE2\\x80\\xA8\xE2\x80\xA6\xC2\xA0");
  // A line end cut short at the end of the text is kept byte by byte.
  EXPECT_EQ(Escaped("x\xE2\x80", {.keep_high_bytes = true}), "x\xE2\x80");
}

}  // namespace
}  // namespace driverwyr
