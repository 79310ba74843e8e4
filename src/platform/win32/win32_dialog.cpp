// The driver's modal dialog on Windows: a real dialog built from a template in
// the driver's resources, run by DialogBoxParamA, whose controls the portable
// dialog logic reaches through DialogWindow.
//
// Messages reach the handler as the application framework would deliver them:
// WM_INITDIALOG once the controls exist, then button clicks and combo box
// selection changes as commands. Esc and the close box arrive as a click on
// IDCANCEL.
#include <windows.h>

#include <exception>
#include <string>

#include "driverwyr/host.h"
#include "platform/win32/module.h"
#include "platform/win32/win32_ui.h"

namespace driverwyr::win32 {
namespace {

class Win32DialogWindow final : public DialogWindow {
 public:
  void Attach(HWND dialog) { dialog_ = dialog; }
  HWND Handle() const { return dialog_; }
  bool Ended() const { return ended_; }

  std::string GetControlText(int id) const override {
    const HWND control = Control(id);
    if (control == nullptr) {
      return std::string();
    }
    // The length may be more than the text (it can count bytes of a
    // conversion); the copy tells how much there is.
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) {
      return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const UINT copied = GetDlgItemTextA(dialog_, id, text.data(), length + 1);
    text.resize(copied < static_cast<UINT>(length) ? copied : static_cast<UINT>(length));
    return text;
  }

  void SetControlText(int id, const std::string& text) override {
    if (Control(id) != nullptr) {
      SetDlgItemTextA(dialog_, id, text.c_str());
    }
  }

  void SetTextLimit(int id, int characters) override {
    // 0 asks the edit box for its largest limit.
    Send(id, EM_LIMITTEXT, static_cast<WPARAM>(characters > 0 ? characters : 0), 0, 0);
  }

  void ShowControl(int id, bool visible) override {
    const HWND control = Control(id);
    if (control != nullptr) {
      ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    }
  }

  void FocusControl(int id) override {
    // As the dialog manager moves the focus: an edit box gets its text
    // selected, and the default button follows.
    const HWND control = Control(id);
    if (control != nullptr) {
      SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
  }

  void ClearComboBox(int id) override { Send(id, CB_RESETCONTENT, 0, 0, 0); }

  void InsertComboEntry(int id, int index, const std::string& text) override {
    Send(id, CB_INSERTSTRING, static_cast<WPARAM>(index < 0 ? -1 : index),
         reinterpret_cast<LPARAM>(text.c_str()), CB_ERR);
  }

  int SelectComboEntry(int id, const std::string& prefix) override {
    // An empty text matches no entry, as the list box itself answers; said
    // here so that every system gives the same answer.
    if (prefix.empty()) {
      return -1;
    }
    // Searching from -1 covers the whole list from its first entry.
    return Index(Send(id, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(prefix.c_str()), CB_ERR));
  }

  int GetComboSelection(int id) const override { return Index(Send(id, CB_GETCURSEL, 0, 0, CB_ERR)); }

  std::string GetComboEntry(int id, int index) const override {
    if (index < 0) {
      return std::string();
    }
    const LRESULT length = Send(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, CB_ERR);
    if (length <= 0) {
      return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        Send(id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()), CB_ERR);
    if (copied <= 0) {
      return std::string();
    }
    text.resize(static_cast<std::size_t>(copied < length ? copied : length));
    return text;
  }

  void ShowValidationMessage(int /*id*/, const std::string& text) override {
    MessageBoxA(dialog_, text.c_str(), MessageBoxCaption().c_str(), MB_OK | MB_ICONEXCLAMATION);
  }

  void EndDialog(int result) override {
    ended_ = true;
    ::EndDialog(dialog_, result);
  }

 private:
  HWND Control(int id) const { return dialog_ != nullptr ? GetDlgItem(dialog_, id) : nullptr; }

  // Sends a message to control `id`; `missing` is the answer when there is no
  // such control (SendDlgItemMessageA would answer 0, a valid index).
  LRESULT Send(int id, UINT message, WPARAM wparam, LPARAM lparam, LRESULT missing) const {
    const HWND control = Control(id);
    return control != nullptr ? SendMessageA(control, message, wparam, lparam) : missing;
  }

  static int Index(LRESULT answer) { return answer < 0 ? -1 : static_cast<int>(answer); }

  HWND dialog_ = nullptr;
  bool ended_ = false;
};

struct DialogContext {
  explicit DialogContext(DialogHandler& h) : handler(h) {}
  DialogHandler& handler;
  Win32DialogWindow window;
  // An exception of the handler: carried past the system's frames, which it
  // cannot cross, and thrown again once the dialog is gone.
  std::exception_ptr failure;
};

bool IsComboBox(HWND control) {
  char name[16] = {};
  return control != nullptr && GetClassNameA(control, name, sizeof name) > 0 &&
         lstrcmpiA(name, "ComboBox") == 0;
}

INT_PTR HandleMessage(DialogContext& context, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return context.handler.OnInitDialog(context.window) ? TRUE : FALSE;
    case WM_COMMAND: {
      const int id = static_cast<int>(LOWORD(wparam));
      const UINT code = HIWORD(wparam);
      if (code == BN_CLICKED) {
        context.handler.OnCommand(context.window, id, kButtonClicked);
        // Cancel always closes, even if the handler forgot to.
        if (id == IDCANCEL && !context.window.Ended()) {
          context.window.EndDialog(IDCANCEL);
        }
        return TRUE;
      }
      if (code == CBN_SELCHANGE && IsComboBox(reinterpret_cast<HWND>(lparam))) {
        context.handler.OnCommand(context.window, id, kComboSelectionChanged);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    reinterpret_cast<DialogContext*>(lparam)->window.Attach(dialog);
  }
  auto* context = reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (context == nullptr || context->failure) {
    return FALSE;
  }
  try {
    return HandleMessage(*context, message, wparam, lparam);
  } catch (...) {
    context->failure = std::current_exception();
    ::EndDialog(dialog, -1);
    return TRUE;
  }
}

}  // namespace

// Runs dialog template `template_id` of the driver's resources modally over
// the thread's active window. Returns the value passed to EndDialog, or -1
// when the dialog could not be created. An exception thrown by the handler
// closes the dialog and is thrown again from here.
int RunResourceDialog(int template_id, DialogHandler& handler) {
  if (template_id <= 0 || template_id > 0xFFFF) {
    return -1;
  }
  DialogContext context(handler);
  const INT_PTR result =
      DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(template_id), GetActiveWindow(), DialogProcedure,
                      reinterpret_cast<LPARAM>(&context));
  if (context.failure) {
    std::rethrow_exception(context.failure);
  }
  return static_cast<int>(result);
}

// The window of a dialog run by RunResourceDialog, or null for a dialog
// window of another kind.
HWND DialogWindowHandle(DialogWindow& window) {
  auto* dialog = dynamic_cast<Win32DialogWindow*>(&window);
  return dialog != nullptr ? dialog->Handle() : nullptr;
}

}  // namespace driverwyr::win32
