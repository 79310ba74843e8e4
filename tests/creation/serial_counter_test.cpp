// The serial counter's rules on an in-memory settings store.
#include "creation/serial_counter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/creation_testing.h"

namespace driverwyr {
namespace {

using testing::kSerialKeyPath;

// Only the plain path's key exists. A key that cannot be opened leaves the
// outputs as they were and is never created.
TEST(SerialCounterTest, KeyPathFollowsTheWow64Probe) {
  const std::string wow64_path = "Software\\Wow6432Node\\Ostrel\\TorvaneCommon\\Default";
  const struct {
    Wow64Answer probe;
    bool key_exists;
    std::string path;
    bool message;
  } cases[] = {{Wow64Answer::kNo, true, kSerialKeyPath, false},
               {Wow64Answer::kNo, false, kSerialKeyPath, false},
               {Wow64Answer::kYes, true, wow64_path, false},
               {Wow64Answer::kProbeFailed, true, kSerialKeyPath, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + (c.key_exists ? "" : ", no key"));
    testing::CreationEnvironment env;
    if (!c.key_exists) env.settings.keys.clear();
    env.settings.probe = c.probe;
    const bool found = c.key_exists && c.path == kSerialKeyPath;
    int serial = 7, month = 8, day = 9;
    const Status read = ReadSerialCounter(serial, month, day);
    EXPECT_EQ(read.code(), found ? Status::Code::kOk : Status::Code::kNotFound);
    EXPECT_EQ(std::vector<int>({serial, month, day}), found ? std::vector<int>(3) : std::vector<int>({7, 8, 9}));
    EXPECT_EQ(WriteSerialCounter(1, 2, 3).ok(), found);
    EXPECT_EQ(env.settings.keys.size(), c.key_exists ? 1u : 0u) << "no key is created";
    EXPECT_EQ(env.settings.opens, (decltype(env.settings.opens){{c.path, false}, {c.path, true}}));
    // One message per access, OK button alone, no icon.
    ASSERT_EQ(env.messages.size(), c.message ? 2u : 0u);
    for (const auto& [text, style] : env.messages) {
      EXPECT_EQ(text, "Please upgrade to Windows XP SP2 or later.");
      EXPECT_EQ(style, kMessageOk);
    }
  }
}

TEST(SerialCounterTest, ReadsWhatAPersonMayHaveWrittenAndRefusesTheRest) {
  const std::string key = kSerialKeyPath + std::string(": ");
  const struct {
    std::string serial, month, day;  // stored bytes; "-" means the value is missing
    std::vector<int> want;           // empty: the read fails with `error`
    std::string error = {};
  } cases[] = {
      {std::string("4\0\0", 3), std::string("12\0", 3), std::string("7\0\0", 3), {4, 12, 7}},
      // Three digits fill the value: no NUL, nothing beyond is read.
      {"999", "012", "031", {999, 12, 31}},
      // Longer stored data is cut to 3 bytes by the key.
      {"12345", "0123", "7", {123, 12, 7}},
      // Blanks around the digits.
      {" 5", " 9 ", "\t3", {5, 9, 3}},
      // An empty serial makes all three zero, whatever month and day hold:
      // a new key, or a counter emptied on purpose.
      {"", "12", "7", {0, 0, 0}},
      {std::string("\0" "12", 3), "xx", "7", {0, 0, 0}},
      {"-", "12", "7", {0, 0, 0}},
      {"  ", "-", "-", {0, 0, 0}},
      // Anything else is no counter, never one that starts the day again.
      {"abc", "12", "7", {}, "value \"Serial Number\" holds \"abc\", which is no number"},
      {"-5", "12", "7", {}, "value \"Serial Number\" holds \"-5\", which is no number"},
      {"+3", "12", "7", {}, "value \"Serial Number\" holds \"+3\", which is no number"},
      {"5", "1x2", "7", {}, "value \"Serial Month\" holds \"1x2\", which is no number"},
      {"5", "13", "7", {}, "value \"Serial Month\" holds 13, which is no month"},
      {"5", "0", "7", {}, "value \"Serial Month\" holds 0, which is no month"},
      {"5", "12", "32", {}, "value \"Serial Day\" holds 32, which is no day of a month"},
      {"5", "-", "7", {}, "value \"Serial Month\" is missing"},
      {"5", "12", "", {}, "value \"Serial Day\" is missing"},
      {std::string("\x05\0\0", 3), "12", "7", {}, "value \"Serial Number\" holds \"\x05\", which is no number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("serial=\"" + c.serial + "\" month=\"" + c.month + "\" day=\"" + c.day + "\"");
    testing::CreationEnvironment env;
    auto& values = env.settings.keys[kSerialKeyPath];
    if (c.serial != "-") values["Serial Number"] = c.serial;
    if (c.month != "-") values["Serial Month"] = c.month;
    if (c.day != "-") values["Serial Day"] = c.day;
    int serial = -100, month = -100, day = -100;
    const Status read = ReadSerialCounter(serial, month, day);
    if (c.want.empty()) {
      EXPECT_EQ(read.code(), Status::Code::kInvalid);
      EXPECT_EQ(read.message(), key + c.error);
      EXPECT_EQ(std::vector<int>({serial, month, day}), std::vector<int>({-100, -100, -100})) << "left as they were";
    } else {
      ASSERT_TRUE(read.ok()) << read.message();
      EXPECT_EQ(std::vector<int>({serial, month, day}), c.want);
    }
  }
}

TEST(SerialCounterTest, NoTwoProgramsOfARunGetOneNumber) {
  RunNumbers numbers;
  const CalendarDate today{2026, 12, 7}, tomorrow{2026, 12, 8};
  EXPECT_EQ(numbers.FirstUnused(4, today), 4);
  numbers.Give(4, today);
  numbers.Give(5, today);
  numbers.Give(99, today);
  EXPECT_EQ(numbers.FirstUnused(4, today), 6);
  EXPECT_EQ(numbers.FirstUnused(98, today), 98);
  EXPECT_EQ(numbers.FirstUnused(99, today), 0) << "after 99 comes 00";
  EXPECT_EQ(numbers.FirstUnused(4, tomorrow), 4) << "each day its own numbers";
  for (int serial = 0; serial < 100; ++serial) numbers.Give(serial, today);
  EXPECT_EQ(numbers.FirstUnused(42, today), 42) << "all hundred given: the number repeats";
  numbers.Clear();
  EXPECT_EQ(numbers.FirstUnused(4, today), 4);
}

TEST(SerialCounterTest, WritesDecimalTextCutToThreeBytes) {
  const struct {
    int serial, month, day;
    std::string want_serial, want_month, want_day;
  } cases[] = {
      {5, 12, 7, std::string("5\0\0", 3), std::string("12\0", 3), std::string("7\0\0", 3)},
      {100, 1234, -5, "100", "123", std::string("-5\0", 3)},
      {-123, -1, 99, "-12", std::string("-1\0", 3), std::string("99\0", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.serial << " " << c.month << " " << c.day);
    testing::CreationEnvironment env;
    ASSERT_TRUE(WriteSerialCounter(c.serial, c.month, c.day).ok());
    EXPECT_EQ(env.settings.keys.size(), 1u);
    const auto& values = env.settings.keys[kSerialKeyPath];
    EXPECT_EQ(values, (testing::MemorySettings::Values{
                          {"Serial Number", c.want_serial}, {"Serial Month", c.want_month}, {"Serial Day", c.want_day}}));
  }
}

}  // namespace
}  // namespace driverwyr
