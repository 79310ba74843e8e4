// The POSIX settings file that stands for the current user's key.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "creation/serial_counter.h"
#include "platform/platform.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;

constexpr char kKey[] = "Software\\Ostrel\\TorvaneCommon\\Default";

std::optional<std::string> GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Spit(const fs::path& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
}

class PosixSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_home_ = GetEnv("HOME");
    saved_config_ = GetEnv("XDG_CONFIG_HOME");
    std::string pattern = (fs::temp_directory_path() / "posix_settings_test.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("HOME", (root_ / "home").c_str(), 1);
    file_ = root_ / "config" / "Ostrel" / "TorvaneCommon" / "Default";
    store_ = MakeDefaultSettingsStore();
  }
  void TearDown() override {
    Platform::Current().ReplaceSettings(nullptr);
    RestoreEnv("HOME", saved_home_);
    RestoreEnv("XDG_CONFIG_HOME", saved_config_);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  void MakeFile(const std::string& contents) {
    fs::create_directories(file_.parent_path());
    Spit(file_, contents);
  }

  // The 3-byte read of `name` as the serial counter does it, or "<none>".
  std::string Read3(const std::string& name) {
    const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(kKey, false);
    if (key == nullptr) return "<no key>";
    char buffer[3] = {0, 0, 0};
    if (!key->ReadValue(name, buffer, sizeof buffer)) return "<none>";
    return std::string(buffer, sizeof buffer);
  }

  std::optional<std::string> saved_home_, saved_config_;
  fs::path root_, file_;
  std::unique_ptr<SettingsStore> store_;
};

TEST_F(PosixSettingsTest, MissingFileIsAMissingKeyAndIsNeverCreated) {
  EXPECT_EQ(store_->OpenUserKey(kKey, false), nullptr);
  EXPECT_EQ(store_->OpenUserKey(kKey, true), nullptr);

  Platform::Current().ReplaceSettings(store_.get());
  int serial = 3, month = 4, day = 5;
  EXPECT_FALSE(ReadSerialCounter(serial, month, day));
  EXPECT_EQ(serial, 3);
  EXPECT_FALSE(WriteSerialCounter(1, 2, 3));
  EXPECT_FALSE(fs::exists(root_ / "config"));

  // A folder where the file should be is no key either.
  fs::create_directories(file_);
  EXPECT_EQ(store_->OpenUserKey(kKey, false), nullptr);
}

TEST_F(PosixSettingsTest, KeyPathsThatStandForTheFile) {
  MakeFile("");
  struct Case {
    const char* path;
    bool found;
  };
  const Case cases[] = {
      {"Software\\Ostrel\\TorvaneCommon\\Default", true},
      {"Software\\Wow6432Node\\Ostrel\\TorvaneCommon\\Default", true},
      {"SOFTWARE\\ostrel\\torvanecommon\\default", true},
      {"Software\\Ostrel\\TorvaneCommon", false},
      {"Software\\Ostrel\\TorvaneCommon\\Default\\", false},
      {"Software/Ostrel/TorvaneCommon/Default", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(store_->OpenUserKey(c.path, false) != nullptr, c.found);
    EXPECT_EQ(store_->OpenUserKey(c.path, true) != nullptr, c.found);
  }
  EXPECT_EQ(store_->ProbeWow64(), Wow64Answer::kNo);
}

TEST_F(PosixSettingsTest, ReadsAtMostThreeBytesAndSkipsMalformedLines) {
  struct Case {
    std::string contents;
    std::string name;
    std::string want;  // 3 bytes, or "<none>"
  };
  const Case cases[] = {
      {"Serial Number=4\n", "Serial Number", std::string("4\0\0", 3)},
      {"Serial Number=12", "Serial Number", std::string("12\0", 3)},
      {"Serial Number=123456\n", "Serial Number", "123"},
      {"Serial Number=\n", "Serial Number", std::string(3, '\0')},
      {"Serial Day=7\r\n", "Serial Day", std::string("7\0\0", 3)},
      {"serial month=9\n", "Serial Month", std::string("9\0\0", 3)},
      {"Serial Day=a=b\n", "Serial Day", std::string("a=b", 3)},
      // The first line holding a value wins.
      {"Serial Day=1\nSerial Day=2\n", "Serial Day", std::string("1\0\0", 3)},
      // Lines of any other shape are skipped.
      {"garbage\n=5\n\n\r\nSerial Day\nSerial Day=8\n", "Serial Day", std::string("8\0\0", 3)},
      {std::string("\0\xff\x01=\n", 5) + "Serial Day=6", "Serial Day", std::string("6\0\0", 3)},
      {" Serial Day=6\n", "Serial Day", "<none>"},
      {"Serial Days=6\n", "Serial Day", "<none>"},
      {"", "Serial Day", "<none>"},
      {"\n\n\n", "Serial Day", "<none>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "contents=\"" << c.contents << "\" name=" << c.name);
    MakeFile(c.contents);
    EXPECT_EQ(Read3(c.name), c.want);
  }
}

TEST_F(PosixSettingsTest, WritingKeepsOtherLinesAndThePermissions) {
  MakeFile("# kept\nOther=xyz\nSerial Number=4\nnot a value\nSerial Number=9\r\nSerial Day=3\r\n");
  ::chmod(file_.c_str(), 0600);
  {
    const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(kKey, true);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteValue("Serial Number", "5\0\0", 3));
    EXPECT_TRUE(key->WriteValue("Serial Day", "31\0", 3));
    EXPECT_TRUE(key->WriteValue("Serial Month", "12\0", 3));
  }
  EXPECT_EQ(Slurp(file_),
            "# kept\nOther=xyz\nSerial Number=5\nnot a value\nSerial Number=9\r\nSerial Day=31\n"
            "Serial Month=12\n");
  struct stat info {};
  ASSERT_EQ(::stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  // Nothing is left beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(file_.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(PosixSettingsTest, WritingRefusesWhatATextLineCannotHold) {
  MakeFile("Serial Day=3\n");
  const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(kKey, true);
  ASSERT_NE(key, nullptr);
  EXPECT_FALSE(key->WriteValue("Serial Day", "1\n2", 3));
  EXPECT_FALSE(key->WriteValue("Serial Day", "1\0" "2", 3));
  EXPECT_FALSE(key->WriteValue("Serial=Day", "1", 1));
  EXPECT_FALSE(key->WriteValue("", "1", 1));
  EXPECT_EQ(Slurp(file_), "Serial Day=3\n");

  // A key whose file was removed after opening is not brought back.
  fs::remove(file_);
  EXPECT_FALSE(key->WriteValue("Serial Day", "4", 1));
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(PosixSettingsTest, WritingThroughALinkKeepsTheLink) {
  fs::create_directories(file_.parent_path());
  const fs::path real = root_ / "elsewhere";
  Spit(real, "Serial Day=3\n");
  fs::create_symlink(real, file_);
  const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(kKey, true);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->WriteValue("Serial Day", "4\0\0", 3));
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(Slurp(real), "Serial Day=4\n");
}

TEST_F(PosixSettingsTest, SerialCounterRoundTripThroughTheFile) {
  MakeFile("Owner=someone\n");
  Platform::Current().ReplaceSettings(store_.get());
  struct Case {
    int serial, month, day;
    const char* file;
  };
  const Case cases[] = {
      {5, 12, 7, "Owner=someone\nSerial Number=5\nSerial Month=12\nSerial Day=7\n"},
      {100, 1, 31, "Owner=someone\nSerial Number=100\nSerial Month=1\nSerial Day=31\n"},
      {0, 1234, -5, "Owner=someone\nSerial Number=0\nSerial Month=123\nSerial Day=-5\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(WriteSerialCounter(c.serial, c.month, c.day));
    EXPECT_EQ(Slurp(file_), c.file);
    int serial = -1, month = -1, day = -1;
    ASSERT_TRUE(ReadSerialCounter(serial, month, day));
    EXPECT_EQ(serial, c.serial);
    EXPECT_EQ(month, c.month > 999 ? 123 : c.month);
    EXPECT_EQ(day, c.day);
  }
}

TEST_F(PosixSettingsTest, FileLocationFollowsXdgConfigHomeThenHome) {
  const fs::path home_file = root_ / "home" / ".config" / "Ostrel" / "TorvaneCommon" / "Default";
  fs::create_directories(home_file.parent_path());
  Spit(home_file, "Serial Day=2\n");
  MakeFile("Serial Day=1\n");

  EXPECT_EQ(Read3("Serial Day"), std::string("1\0\0", 3));
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(Read3("Serial Day"), std::string("2\0\0", 3));
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(Read3("Serial Day"), std::string("2\0\0", 3));
  ::unsetenv("HOME");
  EXPECT_EQ(Read3("Serial Day"), "<no key>");
  ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  EXPECT_EQ(Read3("Serial Day"), std::string("1\0\0", 3));
}

}  // namespace
}  // namespace driverwyr
