// The POSIX settings file that stands for the current user's key.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>

#include "creation/serial_counter.h"
#include "platform/platform.h"
#include "platform/posix/posix_settings.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;

constexpr char kKey[] = "Software\\Ostrel\\TorvaneCommon\\Default";

std::string Slurp(const fs::path& path) {
  std::ostringstream out;
  out << std::ifstream(path, std::ios::binary).rdbuf();
  return out.str();
}

void Spit(const fs::path& path, const std::string& data) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

// Points XDG_CONFIG_HOME and HOME into a fresh folder, restoring them after.
class PosixSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& [name, value] : saved_env_) {
      if (const char* v = std::getenv(name)) value = v;
    }
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
    for (const auto& [name, value] : saved_env_) value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    fs::remove_all(root_);
  }

  // The 3-byte read of `name` as the serial counter does it.
  std::string Read3(const std::string& name) {
    const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(kKey, false);
    if (key == nullptr) return "<no key>";
    char buffer[3] = {0, 0, 0};
    const Status read = key->ReadValue(name, buffer, sizeof buffer);
    if (read.code() == Status::Code::kNotFound) return "<none>";
    return read.ok() ? std::string(buffer, sizeof buffer) : "<error: " + read.message() + ">";
  }

  std::pair<const char*, std::optional<std::string>> saved_env_[2] = {{"HOME", {}}, {"XDG_CONFIG_HOME", {}}};
  fs::path root_, file_;
  std::unique_ptr<SettingsStore> store_;
};

TEST_F(PosixSettingsTest, MissingFileIsAMissingKeyAndIsNeverCreated) {
  EXPECT_EQ(store_->OpenUserKey(kKey, false), nullptr);
  EXPECT_EQ(store_->OpenUserKey(kKey, true), nullptr);
  Platform::Current().ReplaceSettings(store_.get());
  int serial = 3, month = 4, day = 5;
  EXPECT_EQ(ReadSerialCounter(serial, month, day).code(), Status::Code::kNotFound);
  EXPECT_EQ(serial, 3);
  EXPECT_FALSE(WriteSerialCounter(1, 2, 3).ok());
  EXPECT_FALSE(store_->LockUserKey(kKey).ok());
  EXPECT_FALSE(fs::exists(root_ / "config"));
  // Neither is a folder or a FIFO where the file should be, and nothing waits
  // for a writer of the FIFO.
  fs::create_directories(file_);
  EXPECT_EQ(store_->OpenUserKey(kKey, false), nullptr);
  EXPECT_EQ(store_->LockUserKey(kKey).status().code(), Status::Code::kRefused);
  fs::remove(file_);
  ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0);
  EXPECT_EQ(Read3("Serial Day"), "<no key>");
  EXPECT_FALSE(ReadSerialCounter(serial, month, day).ok());
  EXPECT_EQ(store_->LockUserKey(kKey).status().code(), Status::Code::kRefused);
}

TEST_F(PosixSettingsTest, TheLockHoldsOffAnotherHostUntilReleased) {
  Spit(file_, "Serial Number=1\n");
  std::optional<Result<std::unique_ptr<SettingsLock>>> held(store_->LockUserKey(kKey));
  ASSERT_TRUE(held->ok()) << held->error();
  std::atomic<bool> taken{false};
  std::thread other([&] {
    const auto lock = store_->LockUserKey(kKey);
    taken = lock.ok();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(taken) << "taken while held";
  held.reset();
  other.join();
  EXPECT_TRUE(taken);
}

TEST_F(PosixSettingsTest, KeyPathsThatStandForTheFile) {
  Spit(file_, "");
  const std::pair<const char*, bool> cases[] = {
      {"Software\\Ostrel\\TorvaneCommon\\Default", true},
      {"Software\\Wow6432Node\\Ostrel\\TorvaneCommon\\Default", true},
      {"SOFTWARE\\ostrel\\torvanecommon\\default", true},
      {"Software\\Ostrel\\TorvaneCommon", false},
      {"Software\\Ostrel\\TorvaneCommon\\Default\\", false},
      {"Software/Ostrel/TorvaneCommon/Default", false},
      {"", false},
  };
  for (const auto& [path, found] : cases) {
    EXPECT_EQ(store_->OpenUserKey(path, false) != nullptr, found) << path;
    EXPECT_EQ(store_->OpenUserKey(path, true) != nullptr, found) << path;
  }
  EXPECT_EQ(store_->ProbeWow64(), Wow64Answer::kNo);
}

TEST_F(PosixSettingsTest, ReadsWhatAPersonMayHaveWrittenAndNothingElse) {
  // The value is read into 3 bytes; "<none>" when there is none.
  const std::string not_a_line = "<error: line 1 is neither NAME=VALUE, blank nor a comment>";
  const struct { std::string contents, name, want; } cases[] = {
      {"Serial Number=4\n", "Serial Number", std::string("4\0\0", 3)},
      {"Serial Number=12", "Serial Number", std::string("12\0", 3)},
      {"Serial Number=123456\n", "Serial Number", "123"},
      {"Serial Number=\n", "Serial Number", std::string(3, '\0')},
      {"serial month=9\n", "Serial Month", std::string("9\0\0", 3)},
      {"Serial Day=a=b\n", "Serial Day", std::string("a=b", 3)},
      // The first line holding a value wins.
      {"Serial Day=1\nSerial Day=2\n", "Serial Day", std::string("1\0\0", 3)},
      // Blanks around name and text, a byte-order mark, any line end, blank
      // lines and comments.
      {" Serial Day = 6 \n", "Serial Day", std::string("6\0\0", 3)},
      {"\tSerial Day\t=\t6\t", "Serial Day", std::string("6\0\0", 3)},
      {"\xEF\xBB\xBFSerial Day=6\n", "Serial Day", std::string("6\0\0", 3)},
      {"Serial Day=7\r\n", "Serial Day", std::string("7\0\0", 3)},
      {"Serial Number=1\rSerial Day=6\r", "Serial Day", std::string("6\0\0", 3)},
      {"Serial Number=1\r\n\nSerial Day=6\r", "Serial Day", std::string("6\0\0", 3)},
      {"# the counter\n; kept by hand\n\n \t\nSerial Day=8\n", "Serial Day", std::string("8\0\0", 3)},
      {"Serial Days=6\n", "Serial Day", "<none>"},
      {"", "Serial Day", "<none>"},
      {"\xEF\xBB\xBF", "Serial Day", "<none>"},
      // Anything else makes the whole file one that cannot be understood.
      {"garbage\nSerial Day=8\n", "Serial Day", not_a_line},
      {"=5\nSerial Day=8\n", "Serial Day", not_a_line},
      {"Serial Day=8\nSerial Month\n", "Serial Day", "<error: line 2 is neither NAME=VALUE, blank nor a comment>"},
      {"Serial Day=8\r\rx\r", "Serial Day", "<error: line 3 is neither NAME=VALUE, blank nor a comment>"},
      {std::string("\0\xff\x01=\n", 5) + "Serial Day=6", "Serial Day", "<error: line 1 holds a NUL byte>"},
      {std::string("Serial Day=6\0\n", 14), "Serial Day", "<error: line 1 holds a NUL byte>"},
      {" \xEF\xBB\xBFSerial Day=6\n", "Serial Day", "<none>"},  // a mark inside a line is part of it
  };
  for (const auto& c : cases) {
    Spit(file_, c.contents);
    EXPECT_EQ(Read3(c.name), c.want) << "contents=\"" << c.contents << "\" name=" << c.name;
  }
  // A file too big to be a settings file is no key without values either.
  Spit(file_, "Serial Day=6\n" + std::string(posix::kMaxSettingsFileBytes, '\n'));
  EXPECT_EQ(Read3("Serial Day"), "<error: is larger than 1048576 bytes>");
}

TEST_F(PosixSettingsTest, NeverWritesAFileItCannotReadBack) {
  Platform::Current().ReplaceSettings(store_.get());
  // A file that is not understood is left for a person to mend.
  const std::string garbage = "Serial Number=4\nsomething a person typed\n";
  Spit(file_, garbage);
  Status written = WriteSerialCounter(5, 12, 7);
  EXPECT_EQ(written.code(), Status::Code::kInvalid);
  EXPECT_EQ(written.message(), file_.string() + ": line 2 is neither NAME=VALUE, blank nor a comment");
  EXPECT_EQ(Slurp(file_), garbage);
  // One that would grow past what is read stays as it is.
  const std::string big = "Other=" + std::string(posix::kMaxSettingsFileBytes - 8, 'x') + "\n";
  Spit(file_, big);
  written = WriteSerialCounter(5, 12, 7);
  EXPECT_EQ(written.code(), Status::Code::kRefused);
  EXPECT_EQ(Slurp(file_), big);
  // What a person wrote reads back after the driver's write, its other
  // lines, line ends and byte-order mark kept.
  Spit(file_, "\xEF\xBB\xBF# counter\r\n Serial Number = 4 \r\nSerial Month=12\rSerial Day=7");
  ASSERT_TRUE(WriteSerialCounter(5, 12, 7).ok());
  EXPECT_EQ(Slurp(file_), "\xEF\xBB\xBF# counter\r\nSerial Number=5\nSerial Month=12\nSerial Day=7\n");
  int serial = -1, month = -1, day = -1;
  ASSERT_TRUE(ReadSerialCounter(serial, month, day).ok());
  EXPECT_EQ(std::make_tuple(serial, month, day), std::make_tuple(5, 12, 7));
}

TEST_F(PosixSettingsTest, WritingKeepsOtherLinesAndThePermissions) {
  Spit(file_, "# kept\nOther=xyz\nSerial Number=4\n; a note\nSerial Number=9\r\nSerial Day=3\r\n");
  ::chmod(file_.c_str(), 0600);
  const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(kKey, true);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->WriteValue("Serial Number", "5\0\0", 3));
  EXPECT_TRUE(key->WriteValue("Serial Day", "31\0", 3));
  EXPECT_TRUE(key->WriteValue("Serial Month", "12\0", 3));
  const std::string written =
      "# kept\nOther=xyz\nSerial Number=5\n; a note\nSerial Number=9\r\nSerial Day=31\nSerial Month=12\n";
  EXPECT_EQ(Slurp(file_), written);
  struct stat info {};
  ASSERT_EQ(::stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  // Nothing is left beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(file_.parent_path()), fs::directory_iterator()), 1);

  // What a text line cannot hold is refused.
  EXPECT_FALSE(key->WriteValue("Serial Day", "1\n2", 3));
  EXPECT_FALSE(key->WriteValue("Serial Day", "1\0" "2", 3));
  EXPECT_FALSE(key->WriteValue("Serial=Day", "1", 1));
  EXPECT_FALSE(key->WriteValue("", "1", 1));
  EXPECT_EQ(Slurp(file_), written);

  // A key whose file was removed after opening is not brought back.
  fs::remove(file_);
  EXPECT_FALSE(key->WriteValue("Serial Day", "4", 1));
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(PosixSettingsTest, WritingThroughALinkKeepsTheLink) {
  Spit(root_ / "elsewhere", "Serial Day=3\n");
  fs::create_directories(file_.parent_path());
  fs::create_symlink(root_ / "elsewhere", file_);
  const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(kKey, true);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->WriteValue("Serial Day", "4\0\0", 3));
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(Slurp(root_ / "elsewhere"), "Serial Day=4\n");
}

TEST_F(PosixSettingsTest, SerialCounterRoundTripThroughTheFile) {
  Spit(file_, "Owner=someone\n");
  Platform::Current().ReplaceSettings(store_.get());
  ASSERT_TRUE(WriteSerialCounter(5, 12, 7).ok());
  EXPECT_EQ(Slurp(file_), "Owner=someone\nSerial Number=5\nSerial Month=12\nSerial Day=7\n");
  int serial = -1, month = -1, day = -1;
  ASSERT_TRUE(ReadSerialCounter(serial, month, day).ok());
  EXPECT_EQ(std::make_tuple(serial, month, day), std::make_tuple(5, 12, 7));
}

TEST_F(PosixSettingsTest, FileLocationFollowsXdgConfigHomeThenHome) {
  Spit(root_ / "home" / ".config" / "Ostrel" / "TorvaneCommon" / "Default", "Serial Day=2\n");
  Spit(file_, "Serial Day=1\n");
  const std::string one("1\0\0", 3), two("2\0\0", 3);
  EXPECT_EQ(Read3("Serial Day"), one);
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(Read3("Serial Day"), two);
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(Read3("Serial Day"), two);
  ::unsetenv("HOME");
  EXPECT_EQ(Read3("Serial Day"), "<no key>");
  ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  EXPECT_EQ(Read3("Serial Day"), one);
}

}  // namespace
}  // namespace driverwyr
