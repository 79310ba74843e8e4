// CString: the counted single-byte string of the interface.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "driverwyr/cstring.h"

namespace {

// The bytes of a string, its length included.
std::string Bytes(const CString& s) { return std::string(s.GetString(), static_cast<std::size_t>(s.GetLength())); }

void ExpectEmpty(const CString& s) {
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_TRUE(s.IsEmpty());
  ASSERT_NE(s.GetString(), nullptr);
  EXPECT_STREQ(s.GetString(), "");
}

TEST(CStringTest, EmptyStringsHaveAReadableText) {
  ExpectEmpty(CString());
  ExpectEmpty(CString(static_cast<const char*>(nullptr)));
  ExpectEmpty(CString(""));
  ExpectEmpty(CString("abc", 0));
  ExpectEmpty(CString("abc", -4));      // a negative length gives no bytes
  ExpectEmpty(CString(nullptr, 5));     // nor does a null text with a length
  CString assigned("x");
  assigned = static_cast<const char*>(nullptr);
  ExpectEmpty(assigned);
}

TEST(CStringTest, CountedConstructionKeepsEmbeddedNulAndTextStopsAtIt) {
  const char text[] = {'a', 'b', '\0', 'c', 'd'};
  const CString s(text, 5);
  EXPECT_EQ(s.GetLength(), 5);
  EXPECT_EQ(std::memcmp(s.GetString(), text, 5), 0);
  EXPECT_EQ(s.GetString()[5], '\0');  // always terminated after the counted bytes
  EXPECT_EQ(s.str(), std::string(text, 5));
  EXPECT_EQ(s.view().size(), 5u);
  // Only `length` bytes are read: the text need not be terminated.
  const char unterminated[3] = {'x', 'y', 'z'};
  EXPECT_EQ(Bytes(CString(unterminated, 2)), "xy");
  EXPECT_EQ(Bytes(CString("ab\0cd")), "ab");
}

TEST(CStringTest, CopiesAndMovesAreIndependent) {
  const std::string bytes("key\0value", 9);
  CString original(bytes);
  CString copy(original);
  EXPECT_NE(copy.GetString(), original.GetString());
  CString assigned("something longer than the source");
  assigned = original;
  original = "changed";
  EXPECT_EQ(Bytes(copy), bytes);
  EXPECT_EQ(Bytes(assigned), bytes);

  // A moved-from string stays usable and empty.
  CString target(std::move(copy));
  EXPECT_EQ(Bytes(target), bytes);
  ExpectEmpty(copy);  // NOLINT(bugprone-use-after-move)
  assigned = std::move(target);
  EXPECT_EQ(Bytes(assigned), bytes);
  ExpectEmpty(target);  // NOLINT(bugprone-use-after-move)
}

TEST(CStringTest, SelfAssignmentKeepsTheText) {
  const std::string bytes("self\0ish", 8);
  CString s(bytes);
  const CString& alias = s;
  s = alias;
  EXPECT_EQ(Bytes(s), bytes);
  CString& moving_alias = s;
  s = std::move(moving_alias);
  EXPECT_EQ(Bytes(s), bytes);
  // Assigning the string's own text: the text is read before it is released.
  s = s.GetString();
  EXPECT_EQ(Bytes(s), "self");
}

TEST(CStringTest, EqualityComparesEveryCountedByte) {
  const struct {
    CString a;
    CString b;
    bool equal;
  } cases[] = {
      {"abc", "abc", true}, {"", CString(), true}, {"abc", "abd", false}, {"abc", "ab", false},
      {"ab", "abc", false}, {"Abc", "abc", false}, {CString("a\0b", 3), CString("a\0c", 3), false},
      {CString("a\0b", 3), CString("a", 1), false}, {CString("a\0b", 3), CString("a\0b", 3), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << '"' << c.a.str() << "\" vs \"" << c.b.str() << '"';
  }
}

}  // namespace
