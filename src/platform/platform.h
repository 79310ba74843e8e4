// The platform seam. Everything the driver needs from the operating system or
// the host's user interface goes through one of these roles:
//
//   UserInterface  message boxes, the modal dialog window, the folder browser
//                  (public, driverwyr/host.h: a host may supply its own)
//   Clock          today's UTC and local date (public likewise)
//   SettingsStore  the current user's settings key that holds the serial counter
//   StringTable    message texts by id
//   FileSystem     reading outside data, replacing files (platform/files.h)
//
// Each operating system provides a default for every role (win32/ or posix/,
// chosen by the build). Platform::Current() holds the role objects in force;
// a host or a test may replace any of them. Replaced objects are not owned:
// they must outlive their installation. The defaults are owned by the
// Platform and destroyed when the library unloads.
#ifndef DRIVERWYR_PLATFORM_PLATFORM_H_
#define DRIVERWYR_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driverwyr/files.h"
#include "driverwyr/host.h"
#include "driverwyr/result.h"

namespace driverwyr {

// The separator of folders in paths: where the driver looks for the last
// separator of a path or joins a folder and a name, it uses this character.
// The longest path the platform handles, terminating NUL included: the size of
// the caller's buffer that GenerateMachineCodeFile fills.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
inline constexpr std::size_t kMaxPathBuffer = 260;  // MAX_PATH
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::size_t kMaxPathBuffer = 4096;  // PATH_MAX on Linux
#endif

// One value of a settings key: its name and exactly the bytes stored.
struct SettingsValue {
  std::string name;
  std::string data;
};

// One open settings key (a registry key on Windows).
class SettingsKey {
 public:
  virtual ~SettingsKey() = default;
  // Copies at most `size` bytes of value `name` into `buffer`, which the
  // caller has zero-filled. The value's type is ignored; the data need not
  // end in NUL. On failure the buffer is untouched: NotFound when the key has
  // no such value; another error when the key cannot be read or holds what
  // cannot be understood (the POSIX settings file: a read error, a line that
  // is no value). The message says what is wrong, not which key.
  virtual Status ReadValue(const std::string& name, char* buffer, std::size_t size) = 0;
  // Stores value `name` as text data of exactly `size` bytes. Returns false
  // when it could not be stored.
  virtual bool WriteValue(const std::string& name, const char* data, std::size_t size) = 0;
  // Stores every value of `values` (as WriteValue does) in one step where the
  // key allows it, so that readers see all of them or none: the POSIX
  // settings file is replaced once. The default stores them one by one, in
  // order, and stops at the first that fails (the registry, whose writers
  // hold the key's lock).
  virtual Status WriteValues(const std::vector<SettingsValue>& values);
  // Where the operator finds the key, for messages: the POSIX settings
  // file's path, say. Empty by default: the key's path names it.
  virtual std::string Location() const { return {}; }
};

// The lock of a settings key, held while the object lives.
class SettingsLock {
 public:
  virtual ~SettingsLock() = default;
};

// Answer of the 32-bit-on-64-bit probe.
enum class Wow64Answer { kNo, kYes, kProbeFailed };

// The settings role: the current user's keys.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Opens the existing key `path` under the current user (backslash-separated,
  // "Software\...") for reading or writing. Never creates it. Returns null
  // when it does not exist or cannot be opened.
  virtual std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) = 0;
  // Creates the key `path` under the current user, empty, when it does not
  // exist yet; an existing key is left as it is. This is what a host's
  // installation does: the driver itself only opens keys. Fails when the key
  // cannot be created or something else stands in its place.
  virtual Status CreateUserKey(const std::string& path) = 0;
  // Takes the lock of key `path` that every host on this machine honours
  // (a named mutex of the session on Windows, an advisory lock on the
  // settings file elsewhere), waiting a few seconds at most while another
  // host holds it. Whoever reads a value, decides on it and writes it back
  // holds the lock throughout, so that two hosts never both take the same
  // value. Fails when the lock cannot be taken (the POSIX key does not exist,
  // another host holds it too long).
  virtual Result<std::unique_ptr<SettingsLock>> LockUserKey(const std::string& path) = 0;
  // Whether the process is a 32-bit process on 64-bit Windows, whose
  // per-user keys live under "Software\Wow6432Node\". kProbeFailed when the
  // system has the probe but it failed.
  virtual Wow64Answer ProbeWow64() = 0;
};

// The string table role.
class StringTable {
 public:
  virtual ~StringTable() = default;
  // The text of message `id`, or the empty string when there is none.
  virtual std::string LoadText(int id) = 0;
};

// Forwarding wrappers of the roles: each passes every call on to another
// object of its role, so that a test overrides the one call that should fail
// (a key that cannot be opened, a write that fails, a folder browser that
// returns no path). The wrapped object must outlive the wrapper.
class SettingsStoreWrapper : public SettingsStore {
 public:
  explicit SettingsStoreWrapper(SettingsStore& base) : base_(base) {}
  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    return base_.OpenUserKey(path, for_writing);
  }
  Status CreateUserKey(const std::string& path) override { return base_.CreateUserKey(path); }
  Result<std::unique_ptr<SettingsLock>> LockUserKey(const std::string& path) override {
    return base_.LockUserKey(path);
  }
  Wow64Answer ProbeWow64() override { return base_.ProbeWow64(); }

 private:
  SettingsStore& base_;
};

class UserInterfaceWrapper : public UserInterface {
 public:
  explicit UserInterfaceWrapper(UserInterface& base) : base_(base) {}
  int ShowMessageBox(const std::string& text, unsigned style) override { return base_.ShowMessageBox(text, style); }
  int RunDialog(int template_id, DialogHandler& handler) override { return base_.RunDialog(template_id, handler); }
  std::optional<std::string> BrowseForFolder(DialogWindow& owner, const std::string& title,
                                             const std::string& initial_folder) override {
    return base_.BrowseForFolder(owner, title, initial_folder);
  }

 private:
  UserInterface& base_;
};

class Platform {
 public:
  // The process-wide instance.
  static Platform& Current();

  UserInterface& Ui() { return ui_ != nullptr ? *ui_ : *default_ui_; }
  Clock& Time() { return clock_ != nullptr ? *clock_ : *default_clock_; }
  SettingsStore& Settings() { return settings_ != nullptr ? *settings_ : *default_settings_; }
  StringTable& Strings() { return strings_ != nullptr ? *strings_ : *default_strings_; }
  FileSystem& Files() { return files_ != nullptr ? *files_ : DefaultFileSystem(); }

  // Replace a role; nullptr restores the default.
  void ReplaceUserInterface(UserInterface* ui) { ui_ = ui; }
  // The user interface and clock a host installed; nullptr: the default.
  UserInterface* ReplacedUserInterface() const { return ui_; }
  Clock* ReplacedClock() const { return clock_; }
  void ReplaceClock(Clock* clock) { clock_ = clock; }
  void ReplaceSettings(SettingsStore* settings) { settings_ = settings; }
  void ReplaceStrings(StringTable* strings) { strings_ = strings; }
  void ReplaceFiles(FileSystem* files) { files_ = files; }

 private:
  Platform();

  std::unique_ptr<UserInterface> default_ui_;
  std::unique_ptr<Clock> default_clock_;
  std::unique_ptr<SettingsStore> default_settings_;
  std::unique_ptr<StringTable> default_strings_;
  UserInterface* ui_ = nullptr;
  Clock* clock_ = nullptr;
  SettingsStore* settings_ = nullptr;
  StringTable* strings_ = nullptr;
  FileSystem* files_ = nullptr;
};

// The defaults of this operating system (win32/ or posix/).
std::unique_ptr<UserInterface> MakeDefaultUserInterface();
std::unique_ptr<Clock> MakeDefaultClock();
std::unique_ptr<SettingsStore> MakeDefaultSettingsStore();

// The portable string table compiled from resources/messages.inc.
std::unique_ptr<StringTable> MakeBuiltinStringTable();
// The default string table: the module's resources on Windows, the built-in
// table elsewhere.
std::unique_ptr<StringTable> MakeDefaultStringTable();

// Shorthands used throughout the core.
inline std::string LoadMessageText(int id) { return Platform::Current().Strings().LoadText(id); }
// Shows the box of message `id` (DRIVERWYR_MSG_...), whose text is the
// string table's text of id, filled in and extended: while the box is shown,
// CurrentMessageId() tells the user interface which message it is.
int ShowMessage(int id, const std::string& text, unsigned style);
// A box whose text is not from the string table (CurrentMessageId() 0).
inline int ShowMessage(const std::string& text, unsigned style) { return ShowMessage(0, text, style); }

}  // namespace driverwyr

#endif  // DRIVERWYR_PLATFORM_PLATFORM_H_
