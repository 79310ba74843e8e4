// Windows defaults of the platform roles: message boxes, the dialog from the
// DLL's resources, the shell's folder browser, the clock and the string table
// of the DLL's resources.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/win32/module.h"
#include "platform/win32/win32_ui.h"

namespace driverwyr {

namespace {

class Win32UserInterface final : public UserInterface {
 public:
  int ShowMessageBox(const std::string& text, unsigned style) override {
    return MessageBoxA(GetActiveWindow(), text.c_str(), win32::MessageBoxCaption().c_str(), style);
  }
  int RunDialog(int template_id, DialogHandler& handler) override {
    return win32::RunResourceDialog(template_id, handler);
  }
  std::optional<std::string> BrowseForFolder(DialogWindow& owner, const std::string& title,
                                             const std::string& initial_folder) override {
    // A dialog window of another kind (a host's own) has no window to own
    // the browser; the active window does then.
    HWND owner_window = win32::DialogWindowHandle(owner);
    if (owner_window == nullptr) {
      owner_window = GetActiveWindow();
    }
    return win32::BrowseForFolder(owner_window, title, initial_folder);
  }
};

class SystemClock final : public Clock {
 public:
  CalendarDate UtcToday() const override {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return CalendarDate{now.wYear, now.wMonth, now.wDay};
  }
  // Local time in the time zone Windows is set to.
  CalendarDate LocalToday() const override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return CalendarDate{now.wYear, now.wMonth, now.wDay};
  }
};

class ResourceStringTable final : public StringTable {
 public:
  std::string LoadText(int id) override {
    // LoadStringA copies at most the buffer less one and always terminates.
    char buffer[1024];
    const int length = LoadStringA(win32::ResourceModule(), static_cast<UINT>(id), buffer,
                                   static_cast<int>(sizeof buffer));
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
  }
};

}  // namespace

namespace win32 {

const std::string& MessageBoxCaption() {
  static const std::string caption = [] {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length < MAX_PATH ? length : 0);
    const std::size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
  }();
  return caption;
}

}  // namespace win32

std::unique_ptr<UserInterface> MakeDefaultUserInterface() {
  return std::make_unique<Win32UserInterface>();
}

std::unique_ptr<Clock> MakeDefaultClock() { return std::make_unique<SystemClock>(); }

std::unique_ptr<StringTable> MakeDefaultStringTable() {
  return std::make_unique<ResourceStringTable>();
}

}  // namespace driverwyr
