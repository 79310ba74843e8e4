// The Windows user interface pieces: the dialog built from the DLL's resource
// template, the caption of the driver's message boxes and the shell's folder
// browser.
#ifndef DRIVERWYR_PLATFORM_WIN32_WIN32_UI_H_
#define DRIVERWYR_PLATFORM_WIN32_WIN32_UI_H_

#include <windows.h>

#include <optional>
#include <string>

#include "driverwyr/host.h"

namespace driverwyr::win32 {

// Runs dialog template `template_id` from the resource module modally with
// `handler`; returns the EndDialog result, or -1 when it cannot be shown.
int RunResourceDialog(int template_id, DialogHandler& handler);

// The window of a dialog run by RunResourceDialog, or null for any other
// DialogWindow.
HWND DialogWindowHandle(DialogWindow& window);

// The caption of every message box the driver shows, as the application
// framework gives it: the host application's name, that is the base name of
// the host's program file without its extension ("wyr" for C:\Tools\wyr.exe).
const std::string& MessageBoxCaption();

// The folder the browser is asked to select first: `folder` without its
// trailing backslashes, which the shell's browser does not accept, except
// for the one of a root ("C:\", "\").
std::string BrowserStartFolder(const std::string& folder);

// Shows the shell's folder browser over `owner`: nothing when cancelled, the
// empty string for an item without a file-system path, else the folder.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title,
                                           const std::string& initial_folder);

}  // namespace driverwyr::win32

#endif  // DRIVERWYR_PLATFORM_WIN32_WIN32_UI_H_
