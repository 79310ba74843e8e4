// POSIX defaults of the platform roles. There is no native dialog here: a host
// supplies the user interface (wyr does). Without one, message boxes go to the
// standard error stream and dialogs cannot be shown.
#include <time.h>

#include <cstdio>
#include <memory>

#include "platform/platform.h"

namespace driverwyr {
namespace {

class StderrUserInterface final : public UserInterface {
 public:
  int ShowMessageBox(const std::string& text, unsigned /*style*/) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return kIdOk;
  }
  int RunDialog(int /*template_id*/, DialogHandler& /*handler*/) override { return -1; }
  std::optional<std::string> BrowseForFolder(DialogWindow& /*owner*/, const std::string& /*title*/,
                                             const std::string& /*initial_folder*/) override {
    return std::nullopt;
  }
};

class SystemClock final : public Clock {
 public:
  CalendarDate UtcToday() const override { return Today(false); }
  CalendarDate LocalToday() const override { return Today(true); }

 private:
  static CalendarDate Today(bool local) {
    const time_t now = time(nullptr);
    struct tm parts {};
    if (local) {
      localtime_r(&now, &parts);
    } else {
      gmtime_r(&now, &parts);
    }
    return CalendarDate{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
  }
};

}  // namespace

std::unique_ptr<UserInterface> MakeDefaultUserInterface() {
  return std::make_unique<StderrUserInterface>();
}

std::unique_ptr<Clock> MakeDefaultClock() { return std::make_unique<SystemClock>(); }

std::unique_ptr<StringTable> MakeDefaultStringTable() { return MakeBuiltinStringTable(); }

}  // namespace driverwyr
