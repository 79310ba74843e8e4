// Reading the windows of the driver's thread from the automation thread of
// `wyr run --ui native`: class names, texts, combo box entries, the visible
// dialog boxes, and the items of the folder browser's tree.
#include "win32/other_windows.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstddef>

namespace wyr::win32 {
namespace {

BOOL CALLBACK CollectVisibleDialog(HWND window, LPARAM data) {
  if (IsWindowVisible(window) && ClassOf(window) == "#32770") {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  }
  return TRUE;
}

}  // namespace

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The text of a window of another thread: WM_GETTEXT is sent, so the owning
// thread answers it from its message loop.
std::string TextOf(HWND window) {
  if (window == nullptr) return std::string();
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

bool HasStyle(HWND window, LONG style) { return (GetWindowLongA(window, GWL_STYLE) & style) == style; }

std::string ComboEntry(HWND combo, int index) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied =
      SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

std::vector<std::string> ComboEntries(HWND combo) {
  std::vector<std::string> entries;
  const LRESULT count = combo != nullptr ? SendMessageA(combo, CB_GETCOUNT, 0, 0) : 0;
  for (LRESULT i = 0; i < count; ++i) entries.push_back(ComboEntry(combo, static_cast<int>(i)));
  return entries;
}

std::vector<HWND> VisibleDialogs(DWORD thread) {
  std::vector<HWND> found;
  EnumThreadWindows(thread, CollectVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool IsFolderBrowser(HWND window) { return FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr; }

std::string TreeText(HWND tree, HTREEITEM item) {
  char text[MAX_PATH] = {};
  TVITEMA request{};
  request.mask = TVIF_TEXT;
  request.hItem = item;
  request.pszText = text;
  request.cchTextMax = sizeof text;
  if (item == nullptr || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request))) return "";
  text[MAX_PATH - 1] = '\0';
  return text;
}

HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::string& name) {
  if (parent == nullptr || name.empty()) return nullptr;
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                        reinterpret_cast<LPARAM>(parent)));
  while (child != nullptr && lstrcmpiA(TreeText(tree, child).c_str(), name.c_str()) != 0) {
    child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                     reinterpret_cast<LPARAM>(child)));
  }
  return child;
}

std::string ShellName(LPCSTR item, UINT flags) {
  SHFILEINFOA info{};
  return SHGetFileInfoA(item, 0, &info, sizeof info, flags | SHGFI_DISPLAYNAME) != 0 ? info.szDisplayName : "";
}

}  // namespace wyr::win32
