// The serial counter's rules on a recording settings store.
#include "creation/serial_counter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace driverwyr {
namespace {

constexpr char kPlainPath[] = "Software\\Ostrel\\TorvaneCommon\\Default";
constexpr char kWow64Path[] = "Software\\Wow6432Node\\Ostrel\\TorvaneCommon\\Default";

// Keys by path, each a map of value name to stored bytes. Records every open.
class FakeSettings final : public SettingsStore {
 public:
  using Values = std::map<std::string, std::string>;

  std::map<std::string, Values> keys;
  Wow64Answer probe = Wow64Answer::kNo;
  std::vector<std::pair<std::string, bool>> opens;  // path, for_writing

  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    opens.emplace_back(path, for_writing);
    const auto it = keys.find(path);
    if (it == keys.end()) {
      return nullptr;
    }
    return std::make_unique<Key>(it->second);
  }
  Wow64Answer ProbeWow64() override { return probe; }

 private:
  class Key final : public SettingsKey {
   public:
    explicit Key(Values& values) : values_(values) {}
    bool ReadValue(const std::string& name, char* buffer, std::size_t size) override {
      const auto it = values_.find(name);
      if (it == values_.end()) {
        return false;
      }
      std::memcpy(buffer, it->second.data(), std::min(size, it->second.size()));
      return true;
    }
    bool WriteValue(const std::string& name, const char* data, std::size_t size) override {
      values_[name] = std::string(data, size);
      return true;
    }

   private:
    Values& values_;
  };
};

class RecordingUi final : public UserInterface {
 public:
  std::vector<std::pair<std::string, unsigned>> messages;
  int ShowMessageBox(const std::string& text, unsigned style) override {
    messages.emplace_back(text, style);
    return kIdOk;
  }
  int RunDialog(int, DialogHandler&) override { return -1; }
  std::optional<std::string> BrowseForFolder(DialogWindow&, const std::string&,
                                             const std::string&) override {
    return std::nullopt;
  }
};

class SerialCounterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Platform::Current().ReplaceSettings(&settings_);
    Platform::Current().ReplaceUserInterface(&ui_);
  }
  void TearDown() override {
    Platform::Current().ReplaceSettings(nullptr);
    Platform::Current().ReplaceUserInterface(nullptr);
  }

  FakeSettings::Values& Key(const char* path = kPlainPath) { return settings_.keys[path]; }

  FakeSettings settings_;
  RecordingUi ui_;
};

TEST_F(SerialCounterTest, MissingKeyLeavesOutputsAndCreatesNothing) {
  int serial = 7, month = 8, day = 9;
  EXPECT_FALSE(ReadSerialCounter(serial, month, day));
  EXPECT_EQ(serial, 7);
  EXPECT_EQ(month, 8);
  EXPECT_EQ(day, 9);

  EXPECT_FALSE(WriteSerialCounter(4, 12, 7));
  EXPECT_TRUE(settings_.keys.empty());
  ASSERT_EQ(settings_.opens.size(), 2u);
  EXPECT_FALSE(settings_.opens[0].second);
  EXPECT_TRUE(settings_.opens[1].second);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SerialCounterTest, KeyPathFollowsTheWow64Probe) {
  struct Case {
    Wow64Answer probe;
    const char* path;
    bool message;
  };
  const Case cases[] = {
      {Wow64Answer::kNo, kPlainPath, false},
      {Wow64Answer::kYes, kWow64Path, false},
      {Wow64Answer::kProbeFailed, kPlainPath, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    settings_.opens.clear();
    ui_.messages.clear();
    settings_.probe = c.probe;
    int serial = 0, month = 0, day = 0;
    ReadSerialCounter(serial, month, day);
    WriteSerialCounter(1, 2, 3);
    ASSERT_EQ(settings_.opens.size(), 2u);
    EXPECT_EQ(settings_.opens[0].first, c.path);
    EXPECT_EQ(settings_.opens[1].first, c.path);
    // One message per access, OK button alone, no icon.
    ASSERT_EQ(ui_.messages.size(), c.message ? 2u : 0u);
    for (const auto& [text, style] : ui_.messages) {
      EXPECT_EQ(text, "Please upgrade to Windows XP SP2 or later.");
      EXPECT_EQ(style, kMessageOk);
    }
  }
}

TEST_F(SerialCounterTest, ParsesAtMostThreeBytesOfEachValue) {
  struct Case {
    std::string serial, month, day;  // stored bytes; "-" means the value is missing
    int want_serial, want_month, want_day;
  };
  const Case cases[] = {
      {std::string("4\0\0", 3), std::string("12\0", 3), std::string("7\0\0", 3), 4, 12, 7},
      // Three digits fill the value: no NUL, nothing beyond is read.
      {"999", "123", "100", 999, 123, 100},
      {"99", "12", "31", 99, 12, 31},
      // Longer stored data is cut to 3 bytes by the key.
      {"12345", "0123", "7", 123, 12, 7},
      {" 5", "  9", "+3", 5, 9, 3},
      {"-5", "-12", "--1", -5, -12, 0},
      {"abc", "1x2", " -", 0, 1, 0},
      // An empty serial makes all three zero, whatever month and day hold.
      {"", "12", "7", 0, 0, 0},
      {std::string("\0" "12", 3), "12", "7", 0, 0, 0},
      {"-", "12", "7", 0, 0, 0},
      // Missing month or day read as 0.
      {"5", "-", "-", 5, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "serial=\"" << c.serial << "\" month=\"" << c.month
                                      << "\" day=\"" << c.day << "\"");
    FakeSettings::Values& values = Key();
    values.clear();
    if (c.serial != "-") values["Serial Number"] = c.serial;
    if (c.month != "-") values["Serial Month"] = c.month;
    if (c.day != "-") values["Serial Day"] = c.day;
    int serial = -100, month = -100, day = -100;
    ASSERT_TRUE(ReadSerialCounter(serial, month, day));
    EXPECT_EQ(serial, c.want_serial);
    EXPECT_EQ(month, c.want_month);
    EXPECT_EQ(day, c.want_day);
  }
}

TEST_F(SerialCounterTest, WritesDecimalTextCutToThreeBytes) {
  struct Case {
    int serial, month, day;
    std::string want_serial, want_month, want_day;
  };
  const Case cases[] = {
      {5, 12, 7, std::string("5\0\0", 3), std::string("12\0", 3), std::string("7\0\0", 3)},
      {0, 1, 31, std::string("0\0\0", 3), std::string("1\0\0", 3), std::string("31\0", 3)},
      {100, 1234, -5, "100", "123", std::string("-5\0", 3)},
      {-123, -1, 99, "-12", std::string("-1\0", 3), std::string("99\0", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.serial << " " << c.month << " " << c.day);
    Key().clear();
    ASSERT_TRUE(WriteSerialCounter(c.serial, c.month, c.day));
    EXPECT_EQ(Key()["Serial Number"], c.want_serial);
    EXPECT_EQ(Key()["Serial Month"], c.want_month);
    EXPECT_EQ(Key()["Serial Day"], c.want_day);
  }
  EXPECT_EQ(settings_.keys.size(), 1u);
}

}  // namespace
}  // namespace driverwyr
