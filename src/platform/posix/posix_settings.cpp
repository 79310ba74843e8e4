// The current user's settings key on POSIX: a text file,
// ${XDG_CONFIG_HOME:-$HOME/.config}/Ostrel/TorvaneCommon/Default, that stands
// for the key "Software\Ostrel\TorvaneCommon\Default". One value a line,
// NAME=TEXT; lines of any other shape are skipped when reading and kept when
// writing. Like the registry key, the file is opened but never created: a
// missing file is a missing key.
#include "platform/posix/posix_settings.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "util/text.h"

namespace driverwyr {
namespace posix {

// A settings file is a few lines; anything bigger is not one of ours and is
// not read at all.
constexpr std::size_t kMaxSettingsFileBytes = 1 << 20;

namespace {

// Value and key names compare without regard to letter case, as in the registry.
bool SameName(std::string_view a, std::string_view b) { return EqualIgnoringCase(a, b); }

struct Line {
  std::string_view whole;  // without its line feed
  std::string_view name;   // empty for a line that is no value
  std::string_view text;
};

// Splits `rest` at its first line feed; returns false when nothing is left.
bool NextLine(std::string_view& rest, Line& line) {
  if (rest.empty()) {
    return false;
  }
  const std::size_t end = rest.find('\n');
  line.whole = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  std::string_view body = line.whole;
  if (!body.empty() && body.back() == '\r') {
    body.remove_suffix(1);  // a file edited on Windows
  }
  const std::size_t equals = body.find('=');
  if (equals == std::string_view::npos || equals == 0) {
    line.name = {};
    line.text = {};
  } else {
    line.name = body.substr(0, equals);
    line.text = body.substr(equals + 1);
  }
  return true;
}

}  // namespace

// The text of the first line that holds value `name`, or nothing.
std::optional<std::string_view> FindSettingsValue(std::string_view contents, std::string_view name) {
  Line line;
  while (NextLine(contents, line)) {
    if (!line.name.empty() && SameName(line.name, name)) {
      return line.text;
    }
  }
  return std::nullopt;
}

// `contents` with value `name` set to `text`: the first line holding the value
// is replaced, or a line is added at the end. Every other line is kept as it
// was. `name` and `text` must not contain line breaks, and `name` no '='.
std::string ReplaceSettingsValue(std::string_view contents, std::string_view name, std::string_view text) {
  std::string out;
  out.reserve(contents.size() + name.size() + text.size() + 2);
  bool replaced = false;
  Line line;
  while (NextLine(contents, line)) {
    if (!replaced && !line.name.empty() && SameName(line.name, name)) {
      out.append(name).append(1, '=').append(text);
      replaced = true;
    } else {
      out.append(line.whole);
    }
    out.append(1, '\n');
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
  return base + "/Ostrel/TorvaneCommon/Default";
}

namespace {

// Reads the whole file; nothing when it is missing, unreadable, not a regular
// file or too big.
std::optional<std::string> ReadFileContents(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return std::nullopt;
  }
  std::optional<std::string> result;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    std::string data;
    char chunk[4096];
    bool ok = true;
    for (;;) {
      const ssize_t got = ::read(fd, chunk, sizeof chunk);
      if (got < 0) {
        if (errno == EINTR) continue;
        ok = false;
        break;
      }
      if (got == 0) break;
      if (data.size() + static_cast<std::size_t>(got) > kMaxSettingsFileBytes) {
        ok = false;
        break;
      }
      data.append(chunk, static_cast<std::size_t>(got));
    }
    if (ok) result = std::move(data);
  }
  ::close(fd);
  return result;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t put = ::write(fd, data.data(), data.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// Replaces the contents of the existing file `path` as one step: the new
// contents go to a temporary file beside it, which then takes its place, so
// that a full disk or a crash leaves the old file whole. A link is followed to
// the file it names. Fails, creating nothing, when the file does not exist.
bool ReplaceFileContents(const std::string& path, std::string_view data) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) {
    return false;
  }
  const std::string target(resolved);
  std::free(resolved);
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  const std::size_t slash = target.rfind('/');
  std::string temp = target.substr(0, slash + 1) + ".Default.XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    return false;
  }
  bool ok = ::fchmod(fd, info.st_mode & 07777) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  // The file must still be there: a key deleted meanwhile stays deleted.
  ok = ok && ::access(target.c_str(), F_OK) == 0 && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
  }
  return ok;
}

class FileSettingsKey final : public SettingsKey {
 public:
  explicit FileSettingsKey(std::string path) : path_(std::move(path)) {}

  bool ReadValue(const std::string& name, char* buffer, std::size_t size) override {
    const std::optional<std::string> contents = ReadFileContents(path_);
    if (!contents) {
      return false;
    }
    const std::optional<std::string_view> text = FindSettingsValue(*contents, name);
    if (!text) {
      return false;
    }
    const std::size_t count = text->size() < size ? text->size() : size;
    if (count > 0) {
      std::memcpy(buffer, text->data(), count);
    }
    return true;
  }

  bool WriteValue(const std::string& name, const char* data, std::size_t size) override {
    if (name.empty() || name.find_first_of("=\n\r") != std::string::npos) {
      return false;
    }
    // Stored as text: the trailing zero bytes of the data are dropped, and
    // what is left must fit on one line.
    std::string_view text(data, size);
    while (!text.empty() && text.back() == '\0') {
      text.remove_suffix(1);
    }
    if (text.find_first_of(std::string_view("\0\n\r", 3)) != std::string_view::npos) {
      return false;
    }
    const std::optional<std::string> contents = ReadFileContents(path_);
    if (!contents) {
      return false;
    }
    return ReplaceFileContents(path_, ReplaceSettingsValue(*contents, name, text));
  }

 private:
  std::string path_;
};

// Only the serial counter's key has a file, under either of its paths.
bool IsSerialCounterKey(std::string_view path) {
  return SameName(path, "Software\\Ostrel\\TorvaneCommon\\Default") ||
         SameName(path, "Software\\Wow6432Node\\Ostrel\\TorvaneCommon\\Default");
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
    struct stat info {};
    if (::stat(file->c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(file->c_str(), for_writing ? W_OK : R_OK) != 0) {
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

  Wow64Answer ProbeWow64() override { return Wow64Answer::kNo; }
};

}  // namespace
}  // namespace posix

std::unique_ptr<SettingsStore> MakeDefaultSettingsStore() {
  return std::make_unique<posix::FileSettingsStore>();
}

}  // namespace driverwyr
