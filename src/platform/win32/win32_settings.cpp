// The current user's settings keys on Windows: the registry under
// HKEY_CURRENT_USER, reached with the single-byte (...A) calls. Keys are
// opened, never created.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace driverwyr {
namespace {

class RegistryKey final : public SettingsKey {
 public:
  RegistryKey(HKEY key, std::string path) : key_(key), path_(std::move(path)) {}
  ~RegistryKey() override { RegCloseKey(key_); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  Status ReadValue(const std::string& name, char* buffer, std::size_t size) override {
    // The query goes to a buffer of our own, grown to the value's size when
    // it does not fit: the caller gets the value's first `size` bytes, and
    // its buffer stays as it was when the value cannot be read.
    std::vector<BYTE> data(size > 0 ? size : 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
      if (data.size() > MAXDWORD) break;
      DWORD type = 0;
      DWORD length = static_cast<DWORD>(data.size());
      const LONG result = RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &length);
      if (result == ERROR_SUCCESS) {
        const std::size_t count = length < data.size() ? length : data.size();
        std::memcpy(buffer, data.data(), count < size ? count : size);
        return Status::Ok();
      }
      if (result == ERROR_FILE_NOT_FOUND) return Status::NotFound("value \"" + name + "\" does not exist");
      if (result != ERROR_MORE_DATA || length <= data.size()) {
        return Status::IoError("value \"" + name + "\" cannot be read (error " + std::to_string(result) + ")");
      }
      data.resize(length);  // the value changed size meanwhile: try again
    }
    return Status::IoError("value \"" + name + "\" keeps changing its size");
  }

  std::string Location() const override { return "HKEY_CURRENT_USER\\" + path_; }

  bool WriteValue(const std::string& name, const char* data, std::size_t size) override {
    if (size >= MAXDWORD) {
      return false;
    }
    // Text data that does not end in NUL has its length stretched by the
    // system when the byte after it is NUL (a repair for a forgotten
    // terminator), which also reads one byte past the caller's data. A copy
    // followed by a non-NUL byte keeps the stored length exactly `size`.
    std::vector<BYTE> copy(data, data + size);
    copy.push_back(0xFF);
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ, copy.data(), static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
  }

 private:
  HKEY key_;
  std::string path_;
};

// The lock of a key: a mutex of the session named after the key, which every
// host of this user's session opens under the same name.
class MutexLock final : public SettingsLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  HANDLE mutex_;
};

// How long a host waits for another to release the lock before it gives up.
constexpr DWORD kLockPatienceMs = 10000;

// "Local\DriverWyr.Software/Ostrel/TorvaneCommon/Default": kernel object
// names take no backslash after the namespace; key names ignore letter case.
std::string MutexName(const std::string& path) {
  std::string name = "Local\\DriverWyr.";
  for (const char c : path) name += c == '\\' ? '/' : (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  return name;
}

class RegistrySettingsStore final : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, for_writing ? KEY_WRITE : KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return nullptr;
    }
    return std::make_unique<RegistryKey>(key, path);
  }

  Status CreateUserKey(const std::string& path) override {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
      return Status::IoError("HKEY_CURRENT_USER\\" + path + ": cannot be created (error " +
                             std::to_string(result) + ")");
    }
    RegCloseKey(key);
    return Status::Ok();
  }

  Result<std::unique_ptr<SettingsLock>> LockUserKey(const std::string& path) override {
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(path).c_str());
    if (mutex == nullptr) {
      return Status::IoError("the lock of HKEY_CURRENT_USER\\" + path + " cannot be made (error " +
                             std::to_string(GetLastError()) + ")");
    }
    // An abandoned mutex belonged to a host that ended while holding it: the
    // values it guards were written by single calls, so they are whole.
    const DWORD waited = WaitForSingleObject(mutex, kLockPatienceMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
      CloseHandle(mutex);
      return Status::IoError("HKEY_CURRENT_USER\\" + path + " is kept locked by another program");
    }
    return std::unique_ptr<SettingsLock>(std::make_unique<MutexLock>(mutex));
  }

  // IsWow64Process is looked up at run time: systems before Windows XP SP2
  // do not have it, and there the process is no 32-bit process on 64-bit
  // Windows.
  Wow64Answer ProbeWow64() override {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleA("kernel32");
    if (kernel == nullptr) {
      return Wow64Answer::kNo;
    }
    const FARPROC found = GetProcAddress(kernel, "IsWow64Process");
    if (found == nullptr) {
      return Wow64Answer::kNo;
    }
    // Through the generic function pointer type, so that the compiler accepts
    // the change of signature.
    const auto is_wow64_process =
        reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void (*)()>(found));
    BOOL wow64 = FALSE;
    if (!is_wow64_process(GetCurrentProcess(), &wow64)) {
      return Wow64Answer::kProbeFailed;
    }
    return wow64 ? Wow64Answer::kYes : Wow64Answer::kNo;
  }
};

}  // namespace

std::unique_ptr<SettingsStore> MakeDefaultSettingsStore() {
  return std::make_unique<RegistrySettingsStore>();
}

}  // namespace driverwyr
