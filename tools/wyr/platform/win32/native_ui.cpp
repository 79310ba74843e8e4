// `wyr run --ui native` on Windows: the driver shows its real dialog, message
// boxes and folder browser, and an automation thread plays the operator on
// them as a person at the keyboard would.
//
// The driver's thread runs the modal loops; the forwarding user interface
// tells the automation thread what is about to be shown. The automation
// thread then waits (bounded) for that window to exist and acts on it: it
// types into edit boxes character by character (so the box's own typing limit
// applies), chooses in the combo box with the selection-change notification
// the combo box itself sends, clicks buttons, reads and acknowledges every
// message box and answers the folder browser. Anything that runs the dialog's
// handler is posted, never sent, since the handler may open a modal window
// of its own: the automation thread then answers that window while the
// driver's thread waits in it. Every wait has a time limit; when one runs out,
// the run fails with a message and every window still open is cancelled.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "operator_ui.h"
#include "win32/forwarding_ui.h"
#include "win32/other_windows.h"
#include "win32/ui_events.h"

namespace wyr {
namespace {

using win32::ClassOf;
using win32::ComboEntries;
using win32::ComboEntry;
using win32::EventQueue;
using win32::HasStyle;
using win32::IsFolderBrowser;
using win32::ShellName;
using win32::TextOf;
using win32::TreeChild;
using win32::TreeText;
using win32::UiEvent;
using win32::VisibleDialogs;
using Kind = win32::UiEvent::Kind;
using std::chrono::milliseconds;

// How long a window may take to appear or to go, and a handler to deal
// with a command. Generous: a loaded machine under Wine is slow.
constexpr milliseconds kWindowTimeout{30000};
// How often the windows are looked at while waiting for one.
constexpr milliseconds kPollInterval{10};
// How long the driver may go without showing anything before the automation
// looks for a window nobody announced.
constexpr milliseconds kIdleCheck{5000};

// The static control of a message box that holds its text (the same id on
// Windows and under Wine).
constexpr int kMessageBoxTextId = 0xFFFF;

// Something the automation could not do. Thrown only on the automation
// thread and caught in its loop (Automate), which fails the run with this
// message: it never leaves this file.
class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Waits until `ready` holds, looking every kPollInterval; fails after
// kWindowTimeout with "`what` within 30 s".
void WaitUntil(const std::function<bool()>& ready, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + kWindowTimeout;
  while (!ready()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      throw AutomationError(what + " within " + std::to_string(kWindowTimeout.count() / 1000) + " s");
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

class NativeUi;

// The window actions on the real dialog, done from the automation thread.
class NativeDialog final : public OperatorBackend {
 public:
  NativeDialog(NativeUi& ui, HWND dialog) : ui_(ui), dialog_(dialog) {}

  DialogSnapshot Snapshot() override {
    DialogSnapshot snapshot;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      const std::string kind = ClassOf(child);
      if (kind == "Edit" || kind == "ComboBox") {
        const int id = GetDlgCtrlID(child);
        snapshot.controls.emplace_back(id, ControlText(id));
      }
    }
    std::sort(snapshot.controls.begin(), snapshot.controls.end());
    snapshot.materials = ComboEntries(GetDlgItem(dialog_, kMaterialList));
    const HWND browse = GetDlgItem(dialog_, kBrowseButton);
    snapshot.browse = browse != nullptr && HasStyle(browse, WS_VISIBLE);
    return snapshot;
  }

  std::string ControlText(int id) override {
    const HWND control = GetDlgItem(dialog_, id);
    if (control == nullptr) return std::string();
    if (ClassOf(control) == "ComboBox") {
      const LRESULT selected = SendMessageA(control, CB_GETCURSEL, 0, 0);
      return selected >= 0 ? ComboEntry(control, static_cast<int>(selected)) : std::string();
    }
    return TextOf(control);
  }

  bool Type(int id, const std::string& text) override {
    const HWND box = GetDlgItem(dialog_, id);
    if (box == nullptr || ClassOf(box) != "Edit" || !HasStyle(box, WS_VISIBLE) || HasStyle(box, ES_READONLY)) {
      return false;
    }
    // Into the box, everything selected, Backspace, then the text key by
    // key. None of this runs the dialog's handler, so it is sent.
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    SendMessageA(box, EM_SETSEL, 0, -1);
    SendMessageA(box, WM_CHAR, VK_BACK, 1);
    for (const char c : text) SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 1);
    return true;
  }

  bool Choose(int id, const std::string& entry) override;
  bool Press(int id) override;
  bool IsOpen() override { return open_; }

 private:
  // Waits until the handler has dealt with command `id`, answering every
  // window it opens meanwhile.
  void AwaitCommand(int id, const std::string& what);

  NativeUi& ui_;
  HWND dialog_;
  bool open_ = true;
};

class NativeUi final : public OperatorUi {
 public:
  NativeUi(ScriptPlayer& player, const NativeUiOptions& options)
      : player_(player),
        options_(options),
        forwarding_(driverwyr::PlatformUserInterface(), events_),
        ui_thread_(GetCurrentThreadId()),
        automation_([this] { Automate(); }) {}

  ~NativeUi() override { Finish(); }

  driverwyr::UserInterface& Interface() override { return forwarding_; }

  void Finish() override {
    if (!automation_.joinable()) return;
    UiEvent ended;
    ended.kind = Kind::kRunEnded;
    events_.Push(std::move(ended));
    automation_.join();
  }

  // --- used by NativeDialog, on the automation thread ------------------------
  std::optional<UiEvent> NextEvent(milliseconds timeout) { return events_.Pop(timeout); }
  void PutBack(UiEvent event) { events_.PushFront(std::move(event)); }

  // Answers a window the driver announced while its handler ran or between
  // dialogs. False for an event that is no such window.
  bool AnswerWindow(const UiEvent& event, HWND dialog) {
    switch (event.kind) {
      case Kind::kValidation:
      case Kind::kMessage:
        AnswerMessageBox(event, dialog);
        return true;
      case Kind::kBrowser:
        AnswerBrowser(dialog);
        return true;
      default:
        return false;
    }
  }

 private:
  void Automate() {
    for (;;) {
      std::optional<UiEvent> event = events_.Pop(rescuing_ ? milliseconds(200) : kIdleCheck);
      if (!event) {
        if (rescuing_) {
          CancelEverything();
        } else if (!VisibleDialogs(ui_thread_).empty()) {
          // A window nobody announced, or one that was left open.
          Rescue("a window of the driver is open that the operator was not told of");
        }
        continue;
      }
      if (event->kind == Kind::kRunEnded) return;
      try {
        if (rescuing_) {
          Cancel(*event);
        } else {
          Handle(*event);
        }
      } catch (const std::exception& e) {
        Rescue(e.what());
      }
    }
  }

  void Handle(const UiEvent& event) {
    switch (event.kind) {
      case Kind::kDialogStarts:
        player_.DialogStarts();
        break;
      case Kind::kDialogOpened: {
        if (event.window == nullptr) throw AutomationError("the dialog's window could not be found");
        WaitUntil([&] { return IsWindowVisible(event.window) != FALSE; }, "the dialog did not appear");
        if (options_.hold_milliseconds > 0) std::this_thread::sleep_for(milliseconds(options_.hold_milliseconds));
        NativeDialog dialog(*this, event.window);
        player_.PlayDialog(dialog);
        break;
      }
      case Kind::kDialogClosed:
        player_.DialogClosed(event.result);
        break;
      case Kind::kCommandDone:
        break;
      default:
        AnswerWindow(event, nullptr);
        break;
    }
  }

  // After a failure: every window the driver still shows or shows from now on
  // is cancelled (a message box acknowledged), so that the run ends.
  void Rescue(const std::string& why) {
    if (!rescuing_) player_.Fail("the native user interface: " + why);
    rescuing_ = true;
    CancelEverything();
  }

  void Cancel(const UiEvent& event) {
    switch (event.kind) {
      case Kind::kDialogStarts:
        player_.DialogStarts();
        break;
      case Kind::kDialogClosed:
        player_.DialogClosed(event.result);
        break;
      default:
        CancelEverything();
        break;
    }
  }

  void CancelEverything() {
    for (HWND window : VisibleDialogs(ui_thread_)) {
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
  }

  // The message box just announced: the visible dialog box window of the
  // driver's thread that is neither the dialog nor a folder browser.
  HWND FindMessageBox(HWND dialog) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
          for (HWND window : VisibleDialogs(ui_thread_)) {
            if (window != dialog && !IsFolderBrowser(window) && GetDlgItem(window, kMessageBoxTextId) != nullptr) {
              box = window;
              return true;
            }
          }
          return false;
        },
        "the message box did not appear");
    return box;
  }

  void AwaitGone(HWND window, const std::string& what) {
    WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, what + " did not close");
  }

  void AnswerMessageBox(const UiEvent& event, HWND dialog) {
    const HWND box = FindMessageBox(dialog);
    const std::string text = TextOf(GetDlgItem(box, kMessageBoxTextId));
    if (text != event.text) {
      throw AutomationError("the message box shows \"" + text + "\", not the driver's \"" + event.text + "\"");
    }
    if (event.kind == Kind::kValidation) {
      player_.Validation(event.id, text);
    } else {
      player_.Message(text, event.style);
    }
    // The driver's boxes have only an OK button.
    const HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr) throw AutomationError("the message box \"" + text + "\" has no OK button");
    Click(ok);
    AwaitGone(box, "the message box");
  }

  void AnswerBrowser(HWND dialog) {
    HWND browser = nullptr;
    WaitUntil(
        [&] {
          for (HWND window : VisibleDialogs(ui_thread_)) {
            if (window != dialog && IsFolderBrowser(window)) {
              browser = window;
              return true;
            }
          }
          return false;
        },
        "the folder browser did not appear");
    const std::optional<std::string> answer = player_.BrowseAnswer();
    // "My Computer", which has no file-system path.
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &items)) || items == nullptr) {
      throw AutomationError("the shell has no \"My Computer\" to choose");
    }
    const std::unique_ptr<ITEMIDLIST, decltype(&CoTaskMemFree)> computer(items, &CoTaskMemFree);
    if (!answer) {
      PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else if (answer->empty()) {
      SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer.get()));
      PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    } else {
      SelectFolder(browser, *answer, ShellName(reinterpret_cast<LPCSTR>(computer.get()), SHGFI_PIDL));
      PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    AwaitGone(browser, "the folder browser");
  }

  // Selects `folder` in the browser's tree as the operator clicks to it: "My
  // Computer", the drive, then each folder by its name, each expanded on the
  // way. Only a path without a drive (a network path) is left to the
  // browser's own BFFM_SETSELECTION: Wine's browser compares the folder's
  // item list with the items it listed before byte for byte, modification
  // times included, and so never finds a folder below one that changed since
  // (under Z:\tmp, nearly always).
  void SelectFolder(HWND browser, const std::string& folder, const std::string& computer_name) {
    const HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    std::string path = folder;
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    HTREEITEM wanted = nullptr;
    if (path.size() >= 3 && IsCharAlphaA(path[0]) && path[1] == ':' && path[2] == '\\') {
      const auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
      wanted = TreeChild(tree, TreeChild(tree, root, computer_name), ShellName(path.substr(0, 3).c_str(), 0));
      for (std::size_t start = 3; wanted != nullptr && start < path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) wanted = TreeChild(tree, wanted, path.substr(start, end - start));
        start = end + 1;
      }
    } else {
      // The browser leaves its selection where it was when it cannot find
      // the folder: the selected item must have the folder's name.
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
      wanted = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
      if (lstrcmpiA(TreeText(tree, wanted).c_str(), path.substr(path.find_last_of('\\') + 1).c_str()) != 0) {
        wanted = nullptr;
      }
    }
    if (wanted == nullptr || !SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(wanted))) {
      PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      throw AutomationError("the folder browser could not select " + folder);
    }
  }

  ScriptPlayer& player_;
  NativeUiOptions options_;
  EventQueue events_;
  win32::ForwardingUi forwarding_;
  DWORD ui_thread_;
  bool rescuing_ = false;
  std::thread automation_;  // last: starts once everything above exists
};

bool NativeDialog::Choose(int id, const std::string& entry) {
  const HWND combo = GetDlgItem(dialog_, id);
  if (combo == nullptr || ClassOf(combo) != "ComboBox" || !HasStyle(combo, WS_VISIBLE)) return false;
  const std::vector<std::string> entries = ComboEntries(combo);
  const auto found = std::find(entries.begin(), entries.end(), entry);
  if (found == entries.end()) return false;
  // As a pick from the list: the selection moves, and the combo box tells
  // the dialog once.
  SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(combo), TRUE);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found - entries.begin()), 0);
  PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  AwaitCommand(id, "the choice of " + entry);
  return true;
}

bool NativeDialog::Press(int id) {
  const HWND button = GetDlgItem(dialog_, id);
  if (button == nullptr || ClassOf(button) != "Button" || !HasStyle(button, WS_VISIBLE)) return false;
  Click(button);
  AwaitCommand(id, "the press of button " + std::to_string(id));
  return true;
}

void NativeDialog::AwaitCommand(int id, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + kWindowTimeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
    std::optional<UiEvent> event = ui_.NextEvent(std::max(left, milliseconds(0)));
    if (!event) {
      throw AutomationError("the dialog did not deal with " + what + " within " +
                            std::to_string(kWindowTimeout.count() / 1000) + " s");
    }
    if (event->kind == Kind::kCommandDone) {
      if (event->ended) open_ = false;
      if (event->id == id) return;
      continue;
    }
    if (!ui_.AnswerWindow(*event, dialog_)) {
      ui_.PutBack(std::move(*event));
      throw AutomationError("the dialog went away during " + what);
    }
  }
}

}  // namespace

driverwyr::Result<std::unique_ptr<OperatorUi>> MakeNativeUi(ScriptPlayer& player, const NativeUiOptions& options) {
  return std::unique_ptr<OperatorUi>(std::make_unique<NativeUi>(player, options));
}

}  // namespace wyr
