// The current user's settings key on POSIX: a text file,
// ${XDG_CONFIG_HOME:-$HOME/.config}/Ostrel/TorvaneCommon/Default, that stands
// for the key "Software\Ostrel\TorvaneCommon\Default". One value a line,
// NAME=TEXT. Like the registry key, the file is opened but never created: a
// missing file is a missing key.
//
// The file is read as a person may have edited it: a UTF-8 byte-order mark at
// its start, lines ending in LF, CRLF or CR, blanks around the name and the
// text, blank lines and comment lines (starting with '#' or ';'). Any other
// line, or a NUL byte, makes the file one that cannot be understood: reading
// a value from it fails (it is never taken for a key without values), and
// it is not rewritten.
#include "platform/posix/posix_settings.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "driverwyr/files.h"
#include "platform/platform.h"
#include "platform/serial_key.h"
#include "util/text.h"

namespace driverwyr {
namespace posix {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Value and key names compare without regard to letter case, as in the registry.
bool SameName(std::string_view a, std::string_view b) { return EqualIgnoringCase(a, b); }

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

struct Line {
  std::string_view whole;  // without its line end
  std::string_view end;    // "\n", "\r\n", "\r", or empty for a last line without one
  std::string_view name;   // empty for a line that holds no value
  std::string_view text;
  bool understood = true;  // blank, a comment or a value
};

// Splits `rest` at its first line end; returns false when nothing is left.
bool NextLine(std::string_view& rest, Line& line) {
  if (rest.empty()) {
    return false;
  }
  const std::size_t end = rest.find_first_of("\r\n");
  line.whole = rest.substr(0, end);
  std::size_t end_size = 0;
  if (end != std::string_view::npos) {
    end_size = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n' ? 2 : 1;
  }
  line.end = end == std::string_view::npos ? std::string_view() : rest.substr(end, end_size);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + end_size);

  line.name = {};
  line.text = {};
  const std::string_view body = TrimBlanks(line.whole);
  const std::size_t equals = body.find('=');
  if (body.empty() || body.front() == '#' || body.front() == ';') {
    line.understood = true;
  } else if (equals == std::string_view::npos || TrimBlanks(body.substr(0, equals)).empty()) {
    line.understood = false;
  } else {
    line.understood = true;
    line.name = TrimBlanks(body.substr(0, equals));
    line.text = TrimBlanks(body.substr(equals + 1));
  }
  if (line.whole.find('\0') != std::string_view::npos) line.understood = false;
  return true;
}

// `contents` without the byte-order mark that may open it.
std::string_view WithoutByteOrderMark(std::string_view contents) {
  if (contents.starts_with(kByteOrderMark)) contents.remove_prefix(kByteOrderMark.size());
  return contents;
}

// The error of line `number`, which is not understood.
Status LineError(std::size_t number, const Line& line) {
  const bool nul = line.whole.find('\0') != std::string_view::npos;
  return Status::Invalid("line " + std::to_string(number) +
                         (nul ? " holds a NUL byte" : " is neither NAME=VALUE, blank nor a comment"));
}

}  // namespace

Result<std::optional<std::string_view>> FindSettingsValue(std::string_view contents, std::string_view name) {
  contents = WithoutByteOrderMark(contents);
  std::optional<std::string_view> found;
  Line line;
  for (std::size_t number = 1; NextLine(contents, line); ++number) {
    if (!line.understood) return LineError(number, line);
    if (!found && !line.name.empty() && SameName(line.name, name)) found = line.text;
  }
  return found;
}

Status CheckSettingsFile(std::string_view contents) {
  return FindSettingsValue(contents, {}).status();
}

std::string ReplaceSettingsValue(std::string_view contents, std::string_view name, std::string_view text) {
  std::string out;
  out.reserve(contents.size() + name.size() + text.size() + 2);
  if (contents.starts_with(kByteOrderMark)) out.append(kByteOrderMark);
  contents = WithoutByteOrderMark(contents);
  bool replaced = false;
  Line line;
  while (NextLine(contents, line)) {
    if (!replaced && !line.name.empty() && SameName(line.name, name)) {
      out.append(name).append(1, '=').append(text).append(1, '\n');
      replaced = true;
    } else {
      out.append(line.whole);
      if (line.end.empty()) {
        out.append(1, '\n');
      } else {
        out.append(line.end);
      }
    }
  }
  if (!replaced) {
    out.append(name).append(1, '=').append(text).append(1, '\n');
  }
  return out;
}

// The settings file of the current user, or nothing when neither
// XDG_CONFIG_HOME nor HOME is set.
std::optional<std::string> SettingsFilePath() {
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] != '\0') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      return std::nullopt;
    }
    base = std::string(home) + "/.config";
  }
  std::string tail(kSerialKeyTail);
  std::replace(tail.begin(), tail.end(), '\\', '/');
  return base + "/" + tail;
}

namespace {

class FileSettingsKey final : public SettingsKey {
 public:
  explicit FileSettingsKey(std::string path) : path_(std::move(path)) {}

  Status ReadValue(const std::string& name, char* buffer, std::size_t size) override {
    const Result<std::string> contents = ReadContents();
    if (!contents.ok()) return contents.status();
    const Result<std::optional<std::string_view>> text = FindSettingsValue(*contents, name);
    if (!text.ok()) return text.status();
    if (!*text) return Status::NotFound("value \"" + name + "\" does not exist");
    const std::size_t count = (*text)->size() < size ? (*text)->size() : size;
    if (count > 0) {
      std::memcpy(buffer, (*text)->data(), count);
    }
    return Status::Ok();
  }

  bool WriteValue(const std::string& name, const char* data, std::size_t size) override {
    return WriteValues({SettingsValue{name, std::string(data, size)}}).ok();
  }

  // All values in one replacement of the file, which is flushed to the disk
  // before it takes the old file's place: a reader sees the old values or
  // the new ones, and a full disk or a crash leaves the old file whole. A
  // file that cannot be understood is left for a person to mend, and no file
  // is written that its readers would refuse.
  Status WriteValues(const std::vector<SettingsValue>& values) override {
    Result<std::string> contents = ReadContents();
    if (!contents.ok()) {
      return contents.status().WithContext(path_);
    }
    if (Status understood = CheckSettingsFile(*contents); !understood.ok()) {
      return understood.WithContext(path_);
    }
    std::string updated = std::move(*contents);
    for (const SettingsValue& value : values) {
      const std::string& name = value.name;
      if (name.empty() || name.find_first_of(std::string_view("=\n\r\0", 4)) != std::string::npos ||
          TrimBlanks(name) != name || name.front() == '#' || name.front() == ';') {
        return Status::Invalid("\"" + name + "\" cannot be a value name");
      }
      // Stored as text: the trailing zero bytes of the data are dropped, and
      // what is left must fit on one line.
      std::string_view text(value.data);
      while (!text.empty() && text.back() == '\0') {
        text.remove_suffix(1);
      }
      if (text.find_first_of(std::string_view("\0\n\r", 3)) != std::string_view::npos || TrimBlanks(text) != text) {
        return Status::Invalid("the value of \"" + name + "\" cannot be stored as one line of text");
      }
      updated = ReplaceSettingsValue(updated, name, text);
    }
    if (updated.size() > kMaxSettingsFileBytes) {
      return Status::Refused(path_ + ": would grow past " + std::to_string(kMaxSettingsFileBytes) +
                             " bytes, more than a settings file may hold");
    }
    return ReplaceFileContents(Platform::Current().Files(), path_, updated).WithContext(path_);
  }

  std::string Location() const override { return path_; }

 private:
  // The whole file through the file role: a FIFO, a device or a folder in its
  // place is refused without waiting, a file too big to be ours is not read
  // at all. A file removed since the key was opened is no key without
  // values: it is an error too.
  Result<std::string> ReadContents() const {
    Result<std::string> contents = ReadWholeFile(Platform::Current().Files(), path_, kMaxSettingsFileBytes);
    if (contents.status().code() == Status::Code::kNotFound) return Status::IoError("was removed while it was read");
    return contents;
  }

  std::string path_;
};

// The advisory lock on the settings file. The file is replaced as a whole by
// every write, so a lock taken on a file that has been replaced meanwhile
// guards nothing: the lock is taken again on the file that now has the name.
class FileSettingsLock final : public SettingsLock {
 public:
  explicit FileSettingsLock(int fd) : fd_(fd) {}
  ~FileSettingsLock() override {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
  }
  FileSettingsLock(const FileSettingsLock&) = delete;
  FileSettingsLock& operator=(const FileSettingsLock&) = delete;

 private:
  int fd_;
};

// How long a host waits for another to release the lock before it gives up.
constexpr auto kLockPatience = std::chrono::seconds(10);

Result<std::unique_ptr<SettingsLock>> LockFile(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
  for (;;) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
      return errno == ENOENT ? Status::NotFound(path + ": does not exist")
                             : Status::Refused(path + ": cannot be opened (" + std::strerror(errno) + ")");
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      ::close(fd);
      return Status::Refused(path + ": is not a regular file");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      struct stat named {};
      if (::stat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
        return std::unique_ptr<SettingsLock>(std::make_unique<FileSettingsLock>(fd));
      }
      ::close(fd);  // replaced meanwhile: lock the new file
      continue;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK && error != EINTR) {
      return Status::IoError(path + ": cannot be locked (" + std::strerror(error) + ")");
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return Status::IoError(path + ": another program keeps it locked");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Only the serial counter's key has a file, under either of its paths.
bool IsSerialCounterKey(std::string_view path) {
  return SameName(path, SerialKeyPath(false)) || SameName(path, SerialKeyPath(true));
}

// Creates `folder` and the folders above it that are missing.
Status MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      return Status::IoError(part + ": " + std::strerror(errno));
    }
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return Status::Refused(folder + ": not a folder");
  }
  return Status::Ok();
}

class FileSettingsStore final : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    if (!IsSerialCounterKey(path)) {
      return nullptr;
    }
    std::optional<std::string> file = SettingsFilePath();
    if (!file) {
      return nullptr;
    }
    // A key opened for writing need not be writable yet: its write says why
    // it cannot store a value (a read-only file, a full disk).
    struct stat info {};
    if (::stat(file->c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        (!for_writing && ::access(file->c_str(), R_OK) != 0)) {
      return nullptr;
    }
    return std::make_unique<FileSettingsKey>(std::move(*file));
  }

  Status CreateUserKey(const std::string& path) override {
    if (!IsSerialCounterKey(path)) {
      return Status::Refused(path + ": no such key on this system");
    }
    const std::optional<std::string> file = SettingsFilePath();
    if (!file) {
      return Status::NotFound("neither XDG_CONFIG_HOME nor HOME is set");
    }
    if (const Status made = MakeFolders(file->substr(0, file->rfind('/'))); !made.ok()) {
      return made;
    }
    // Without O_TRUNC: a key that appeared meanwhile keeps its values.
    const int fd = ::open(file->c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) {
      return Status::IoError(*file + ": " + std::strerror(errno));
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular) {
      return Status::Refused(*file + ": not a regular file");
    }
    return Status::Ok();
  }

  Result<std::unique_ptr<SettingsLock>> LockUserKey(const std::string& path) override {
    if (!IsSerialCounterKey(path)) {
      return Status::NotFound(path + ": no such key on this system");
    }
    const std::optional<std::string> file = SettingsFilePath();
    if (!file) {
      return Status::NotFound("neither XDG_CONFIG_HOME nor HOME is set");
    }
    return LockFile(*file);
  }

  Wow64Answer ProbeWow64() override { return Wow64Answer::kNo; }
};

}  // namespace
}  // namespace posix

std::unique_ptr<SettingsStore> MakeDefaultSettingsStore() {
  return std::make_unique<posix::FileSettingsStore>();
}

}  // namespace driverwyr
