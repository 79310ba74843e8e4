// The shell's folder browser on Windows.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "platform/win32/win32_ui.h"

namespace driverwyr::win32 {
namespace {

// One run of the shell's folder browser. Owns the item list the shell returns
// and frees it with the shell's allocator.
class FolderBrowser {
 public:
  // `callback` gets `callback_data` with every notice of the browser.
  // `title` must outlive the browser.
  FolderBrowser(HWND owner, UINT flags, BFFCALLBACK callback, LPARAM callback_data, int image,
                const char* title) {
    request_.hwndOwner = owner;
    request_.pidlRoot = nullptr;  // the desktop
    request_.pszDisplayName = display_name_;
    request_.lpszTitle = title;
    request_.ulFlags = flags;
    request_.lpfn = callback;
    request_.lParam = callback_data;
    request_.iImage = image;
  }
  ~FolderBrowser() {
    if (items_ != nullptr) {
      CoTaskMemFree(items_);
    }
  }
  FolderBrowser(const FolderBrowser&) = delete;
  FolderBrowser& operator=(const FolderBrowser&) = delete;

  // Runs the browser: IDOK when a folder was chosen, IDCANCEL when the
  // operator cancelled.
  int Browse() {
    items_ = SHBrowseForFolderA(&request_);
    return items_ != nullptr ? IDOK : IDCANCEL;
  }

  // The file-system path of the chosen item; empty when it has none.
  std::string Path() const {
    char path[MAX_PATH] = {};
    if (items_ == nullptr || !SHGetPathFromIDListA(items_, path)) {
      return std::string();
    }
    path[MAX_PATH - 1] = '\0';
    return std::string(path);
  }

 private:
  char display_name_[MAX_PATH] = {};  // filled by the shell, not used
  LPITEMIDLIST items_ = nullptr;
  BROWSEINFOA request_{};
};

// Selects the initial folder once the browser is up. The data is the folder's
// text itself, kept alive by the caller for the whole run, so a folder of any
// length is handed over as it is; the browser ignores one it cannot find.
int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM /*parameter*/, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  }
  return 0;
}

// COM for the current thread while in scope, released only if this scope
// took it.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) {
      CoUninitialize();
    }
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

std::string BrowserStartFolder(const std::string& folder) {
  std::size_t end = folder.size();
  while (end > 0 && folder[end - 1] == '\\') --end;
  // A root keeps its backslash: "C:\" (a drive), "\" (the current drive).
  if (end == 0 && !folder.empty()) return "\\";
  if (end == 2 && folder[1] == ':' && end < folder.size()) return folder.substr(0, 3);
  return folder.substr(0, end);
}

// Shows the folder browser over `owner`, starting at `initial_folder`.
// Nothing when the operator cancelled, the empty string when the chosen item
// is no file-system folder, else its path.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title,
                                           const std::string& initial_folder) {
  // The shell needs COM on this thread; a host that has it already keeps it
  // as it was.
  const ComScope com;
  std::optional<std::string> result;
  // The driver's folders end in a backslash, which the browser would not
  // find; the text lives until the browser has closed.
  const std::string start = BrowserStartFolder(initial_folder);
  FolderBrowser browser(owner, 0, SelectInitialFolder,
                        start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str()), 0, title.c_str());
  if (browser.Browse() == IDOK) {
    result = browser.Path();
  }
  return result;
}

}  // namespace driverwyr::win32
