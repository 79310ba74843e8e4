#include "win32/forwarding_ui.h"

#include <windows.h>

#include <vector>

namespace wyr::win32 {
namespace {

using driverwyr::DialogHandler;
using driverwyr::DialogWindow;

UiEvent Event(UiEvent::Kind kind) {
  UiEvent event;
  event.kind = kind;
  return event;
}

// The real dialog window as the driver's handler sees it: every call goes to
// the real window; validation messages and the end of the dialog are told to
// the automation thread first.
class WatchedWindow final : public DialogWindow {
 public:
  explicit WatchedWindow(EventQueue& events) : events_(events) {}
  void Attach(DialogWindow& real) { real_ = &real; }
  DialogWindow& Real() const { return *real_; }
  bool Ended() const { return ended_; }

  std::string GetControlText(int id) const override { return real_->GetControlText(id); }
  void SetControlText(int id, const std::string& text) override { real_->SetControlText(id, text); }
  void SetTextLimit(int id, int characters) override { real_->SetTextLimit(id, characters); }
  void ShowControl(int id, bool visible) override { real_->ShowControl(id, visible); }
  void FocusControl(int id) override { real_->FocusControl(id); }
  void ClearComboBox(int id) override { real_->ClearComboBox(id); }
  void InsertComboEntry(int id, int index, const std::string& text) override {
    real_->InsertComboEntry(id, index, text);
  }
  int SelectComboEntry(int id, const std::string& prefix) override { return real_->SelectComboEntry(id, prefix); }
  int GetComboSelection(int id) const override { return real_->GetComboSelection(id); }
  std::string GetComboEntry(int id, int index) const override { return real_->GetComboEntry(id, index); }
  void ShowValidationMessage(int id, const std::string& text) override {
    UiEvent event = Event(UiEvent::Kind::kValidation);
    event.id = id;
    event.text = text;
    events_.Push(std::move(event));
    real_->ShowValidationMessage(id, text);
  }
  void EndDialog(int result) override {
    ended_ = true;
    real_->EndDialog(result);
  }

 private:
  EventQueue& events_;
  DialogWindow* real_ = nullptr;
  bool ended_ = false;
};

struct Search {
  std::vector<HWND> found;
};

BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM data) {
  char name[16] = {};
  if (GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, "#32770") == 0 &&
      (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) == 0) {
    reinterpret_cast<Search*>(data)->found.push_back(window);
  }
  return TRUE;
}

// The dialog being initialised on this thread: while its handler fills it
// the dialog box window is not shown yet, and the driver's modal windows are
// shown one at a time, so it is the thread's only hidden dialog box window.
// Null when that cannot be told.
HWND DialogBeingInitialised() {
  Search search;
  EnumThreadWindows(GetCurrentThreadId(), VisitThreadWindow, reinterpret_cast<LPARAM>(&search));
  return search.found.size() == 1 ? search.found.front() : nullptr;
}

// The driver's handler, watched: the automation thread learns when the
// dialog has been filled and when each command has been dealt with.
class WatchedHandler final : public DialogHandler {
 public:
  WatchedHandler(DialogHandler& handler, EventQueue& events) : handler_(handler), events_(events), window_(events) {}

  bool OnInitDialog(DialogWindow& real) override {
    window_.Attach(real);
    const bool result = handler_.OnInitDialog(window_);
    UiEvent event = Event(UiEvent::Kind::kDialogOpened);
    event.window = DialogBeingInitialised();
    events_.Push(std::move(event));
    return result;
  }

  void OnCommand(DialogWindow& real, int control_id, int notification) override {
    window_.Attach(real);
    try {
      handler_.OnCommand(window_, control_id, notification);
      // "Cancel" always closes: the real dialog would close it anyway.
      if (control_id == IDCANCEL && notification == driverwyr::kButtonClicked && !window_.Ended()) {
        window_.EndDialog(IDCANCEL);
      }
    } catch (...) {
      // The dialog window closes the dialog on the handler's exception.
      CommandDone(control_id, true);
      throw;
    }
    CommandDone(control_id, window_.Ended());
  }

 private:
  void CommandDone(int control_id, bool ended) {
    UiEvent event = Event(UiEvent::Kind::kCommandDone);
    event.id = control_id;
    event.ended = ended;
    events_.Push(std::move(event));
  }

  DialogHandler& handler_;
  EventQueue& events_;
  WatchedWindow window_;
};

}  // namespace

int ForwardingUi::ShowMessageBox(const std::string& text, unsigned style) {
  UiEvent event = Event(UiEvent::Kind::kMessage);
  event.text = text;
  event.style = style;
  events_.Push(std::move(event));
  return platform_.ShowMessageBox(text, style);
}

int ForwardingUi::RunDialog(int template_id, DialogHandler& handler) {
  events_.Push(Event(UiEvent::Kind::kDialogStarts));
  WatchedHandler watched(handler, events_);
  UiEvent closed = Event(UiEvent::Kind::kDialogClosed);
  closed.result = -1;
  try {
    closed.result = platform_.RunDialog(template_id, watched);
  } catch (...) {
    events_.Push(closed);
    throw;
  }
  events_.Push(closed);
  return closed.result;
}

std::optional<std::string> ForwardingUi::BrowseForFolder(DialogWindow& owner, const std::string& title,
                                                         const std::string& initial_folder) {
  events_.Push(Event(UiEvent::Kind::kBrowser));
  // The platform's browser finds its owner window through the real dialog window.
  auto* watched = dynamic_cast<WatchedWindow*>(&owner);
  return platform_.BrowseForFolder(watched != nullptr ? watched->Real() : owner, title, initial_folder);
}

}  // namespace wyr::win32
