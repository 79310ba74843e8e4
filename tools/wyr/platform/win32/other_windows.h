// Reading the windows of the driver's thread from the automation thread of
// `wyr run --ui native`. Texts are read with messages sent to the window, so
// its own thread answers them from its message loop; nothing here changes a
// window, except that TreeChild expands the item it looks into.
#ifndef DRIVERWYR_TOOLS_WYR_WIN32_OTHER_WINDOWS_H_
#define DRIVERWYR_TOOLS_WYR_WIN32_OTHER_WINDOWS_H_

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace wyr::win32 {

// The window's class name ("#32770" for a dialog box, "Edit", ...).
std::string ClassOf(HWND window);

// The window's text; empty for no window.
std::string TextOf(HWND window);

// Whether the window has every bit of `style`.
bool HasStyle(HWND window, LONG style);

// Entry `index` of a combo box's list; empty when there is none.
std::string ComboEntry(HWND combo, int index);

// Every entry of a combo box's list, in order; none for no window.
std::vector<std::string> ComboEntries(HWND combo);

// The visible top-level dialog box windows of a thread.
std::vector<HWND> VisibleDialogs(DWORD thread);

// Whether a dialog box is the shell's folder browser (it holds a tree).
bool IsFolderBrowser(HWND window);

// The text of a tree item; empty for none.
std::string TreeText(HWND tree, HTREEITEM item);

// The child of `parent` shown as `name` (in any case), once `parent` is
// expanded, which lists its children; nullptr when there is none.
HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::string& name);

// The name the shell shows an item by: a path, or an item list with SHGFI_PIDL.
std::string ShellName(LPCSTR item, UINT flags);

}  // namespace wyr::win32

#endif  // DRIVERWYR_TOOLS_WYR_WIN32_OTHER_WINDOWS_H_
