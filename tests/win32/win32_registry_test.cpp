// The registry behind the settings role, on a real HKEY_CURRENT_USER (under
// Wine in the cross build). Each test works under a key of its own that the
// test creates and deletes; the store itself never creates one.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "creation/serial_counter.h"
#include "platform/platform.h"

namespace driverwyr {
namespace {

constexpr char kRealKey[] = "Software\\Ostrel\\TorvaneCommon\\Default";

// Sends the serial counter's key to the test's key, so that the real registry
// store serves ReadSerialCounter and WriteSerialCounter without touching the
// user's own counter.
class RedirectedSettings final : public SettingsStore {
 public:
  RedirectedSettings(SettingsStore& base, std::string path) : base_(base), path_(std::move(path)) {}
  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    opened.push_back(path);
    return base_.OpenUserKey(path_, for_writing);
  }
  Status CreateUserKey(const std::string& /*path*/) override { return base_.CreateUserKey(path_); }
  Result<std::unique_ptr<SettingsLock>> LockUserKey(const std::string& /*path*/) override {
    return base_.LockUserKey(path_);
  }
  Wow64Answer ProbeWow64() override { return Wow64Answer::kNo; }
  std::vector<std::string> opened;

 private:
  SettingsStore& base_;
  std::string path_;
};

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = "Software\\DriverWyrTest\\Registry" + std::to_string(GetCurrentProcessId());
    DeleteTestKey();
    store_ = MakeDefaultSettingsStore();
  }
  void TearDown() override {
    Platform::Current().ReplaceSettings(nullptr);
    DeleteTestKey();
  }

  void CreateTestKey() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void DeleteTestKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
  }
  bool TestKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }
  // Stores exactly these bytes with a type, as another program might have.
  // The byte after them is not NUL, so that the system does not add one.
  void Put(const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_WRITE, &key), ERROR_SUCCESS);
    const std::string data = bytes + "\xff";
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  // The type and bytes of a value as the registry holds them.
  std::pair<DWORD, std::string> Get(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return {0, "<no key>"};
    }
    char data[64] = {};
    DWORD type = 0;
    DWORD length = sizeof data;
    const LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return {0, "<none>"};
    return {type, std::string(data, length)};
  }

  std::string path_;
  std::unique_ptr<SettingsStore> store_;
};

TEST_F(Win32RegistryTest, MissingKeyIsNeverCreated) {
  EXPECT_EQ(store_->OpenUserKey(path_, false), nullptr);
  EXPECT_EQ(store_->OpenUserKey(path_, true), nullptr);
  EXPECT_FALSE(TestKeyExists());

  RedirectedSettings redirected(*store_, path_);
  Platform::Current().ReplaceSettings(&redirected);
  int serial = 3, month = 4, day = 5;
  EXPECT_EQ(ReadSerialCounter(serial, month, day).code(), Status::Code::kNotFound);
  EXPECT_EQ(serial, 3);
  EXPECT_FALSE(WriteSerialCounter(1, 2, 3).ok());
  EXPECT_FALSE(TestKeyExists());
}

TEST_F(Win32RegistryTest, WritesTextOfThreeBytes) {
  CreateTestKey();
  {
    const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(path_, true);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteValue("Serial Number", "5\0\0", 3));
    EXPECT_TRUE(key->WriteValue("Serial Month", "100", 3));
  }
  EXPECT_EQ(Get("Serial Number"), std::make_pair(DWORD{REG_SZ}, std::string("5\0\0", 3)));
  EXPECT_EQ(Get("Serial Month"), std::make_pair(DWORD{REG_SZ}, std::string("100")));
}

TEST_F(Win32RegistryTest, ReadsTheFirstBytesOfEachValue) {
  CreateTestKey();
  struct Case {
    const char* name;
    DWORD type;
    std::string stored;
    std::string want;  // the 3 bytes after the read
  };
  const Case cases[] = {
      {"Short", REG_SZ, std::string("7\0", 2), std::string("7\0\0", 3)},
      {"Full", REG_SZ, std::string("12\0", 3), std::string("12\0", 3)},
      {"NoNul", REG_SZ, "100", "100"},
      {"Binary", REG_BINARY, "4\x01", std::string("4\x01\0", 3)},
      {"Empty", REG_SZ, "", std::string(3, '\0')},
      // Longer values give their first 3 bytes.
      {"Long", REG_SZ, std::string("1234\0", 5), "123"},
      {"Terminated", REG_SZ, std::string("100\0", 4), "100"},
      {"Big", REG_BINARY, std::string(5000, '7'), "777"},
  };
  for (const Case& c : cases) {
    Put(c.name, c.type, c.stored);
  }
  const std::unique_ptr<SettingsKey> key = store_->OpenUserKey(path_, false);
  ASSERT_NE(key, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    char buffer[3] = {0, 0, 0};
    EXPECT_TRUE(key->ReadValue(c.name, buffer, sizeof buffer).ok());
    EXPECT_EQ(std::string(buffer, 3), c.want);
  }
  char buffer[3] = {'x', 'y', 'z'};
  EXPECT_EQ(key->ReadValue("Missing", buffer, sizeof buffer).code(), Status::Code::kNotFound);
  EXPECT_EQ(std::string(buffer, 3), "xyz");
}

TEST_F(Win32RegistryTest, SerialCounterRoundTrip) {
  CreateTestKey();
  RedirectedSettings redirected(*store_, path_);
  Platform::Current().ReplaceSettings(&redirected);
  ASSERT_TRUE(WriteSerialCounter(42, 12, 7).ok());
  EXPECT_EQ(Get("Serial Number"), std::make_pair(DWORD{REG_SZ}, std::string("42\0", 3)));
  EXPECT_EQ(Get("Serial Day"), std::make_pair(DWORD{REG_SZ}, std::string("7\0\0", 3)));
  int serial = 0, month = 0, day = 0;
  ASSERT_TRUE(ReadSerialCounter(serial, month, day).ok());
  EXPECT_EQ(serial, 42);
  EXPECT_EQ(month, 12);
  EXPECT_EQ(day, 7);
  ASSERT_EQ(redirected.opened.size(), 2u);
  EXPECT_EQ(redirected.opened[0], kRealKey);
}

// What a person may have typed into the key with the registry editor: blanks
// around the digits are read, anything else is refused (the operator is told
// at "Create..."), never read as a counter that starts the day again, and the
// key is not rewritten.
TEST_F(Win32RegistryTest, ValuesThatAreNoCounterAreRefused) {
  CreateTestKey();
  RedirectedSettings redirected(*store_, path_);
  Platform::Current().ReplaceSettings(&redirected);
  const std::string where = "HKEY_CURRENT_USER\\" + path_ + ": ";
  const struct {
    DWORD type;
    std::string serial, month;
    std::string error;  // empty: read as 5, 12, 7
  } cases[] = {
      {REG_SZ, " 5", "12 ", ""},
      {REG_SZ, std::string("5\0", 2), "12", ""},
      {REG_SZ, "abc", "12", "value \"Serial Number\" holds \"abc\", which is no number"},
      {REG_DWORD, std::string("\x05\0\0\0", 4), "12", "value \"Serial Number\" holds \"\x05\", which is no number"},
      {REG_SZ, "5", "13", "value \"Serial Month\" holds 13, which is no month"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial + "/" + c.month);
    Put("Serial Number", c.type, c.serial);
    Put("Serial Month", REG_SZ, c.month);
    Put("Serial Day", REG_SZ, "7");
    int serial = -1, month = -1, day = -1;
    const Status read = ReadSerialCounter(serial, month, day);
    if (c.error.empty()) {
      ASSERT_TRUE(read.ok()) << read.message();
      EXPECT_EQ(std::vector<int>({serial, month, day}), std::vector<int>({5, 12, 7}));
      continue;
    }
    EXPECT_EQ(read.message(), where + c.error);
    // Claiming a number leaves such a key as it is, and gives the fallback.
    const SerialClaim claim = ClaimSerial(CalendarDate{2026, 12, 7}, 3, RunNumbers());
    EXPECT_EQ(claim.read.message(), where + c.error);
    EXPECT_EQ(claim.serial, 3);
    EXPECT_EQ(Get("Serial Number"), std::make_pair(c.type, c.serial));
  }
}

TEST_F(Win32RegistryTest, ProbeAnswersOnThisSystem) {
  // The test runs as a 32-bit process; whether the system is 64-bit depends on
  // the machine, but the probe itself must work here.
  EXPECT_NE(store_->ProbeWow64(), Wow64Answer::kProbeFailed);
}

}  // namespace
}  // namespace driverwyr
