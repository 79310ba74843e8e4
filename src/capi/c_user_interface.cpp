// The host's user interface and clock as C callbacks: adapters that turn the
// structs of function pointers of driverwyr/driverwyr_c.h into the
// UserInterface, DialogWindow and Clock roles of driverwyr/host.h, and the
// functions by which a host's dialog calls the driver's dialog logic back.
//
// No exception may unwind through the host's C frames: what the driver's
// dialog logic throws inside driverwyr_dialog_init or _command is kept and
// thrown again once the host's run_dialog has returned, so the run ends as it
// would with any other user interface.
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "capi/c_support.h"
#include "driverwyr/driverwyr_c.h"
#include "driverwyr/host.h"
#include "util/run_hold.h"

using driverwyr::capi::Failed;
using driverwyr::capi::Guarded;
using driverwyr::capi::NullArgument;
using driverwyr::capi::TextIn;

struct driverwyr_text {
  std::string value;
};

struct driverwyr_dialog {
  driverwyr::DialogHandler* handler = nullptr;
  std::exception_ptr error;  // what the dialog logic threw, for RunDialog to throw again
};

namespace {

bool Complete(const driverwyr_window& w) {
  return w.get_control_text && w.set_control_text && w.set_text_limit && w.show_control &&
         w.focus_control && w.clear_combo_box && w.insert_combo_entry && w.select_combo_entry &&
         w.get_combo_selection && w.get_combo_entry && w.show_validation_message && w.end_dialog;
}

bool Complete(const driverwyr_user_interface& ui) {
  return ui.show_message_box && ui.run_dialog && ui.browse_for_folder;
}

// The host's window during one call of driverwyr_dialog_init or _command.
class CallbackWindow final : public driverwyr::DialogWindow {
 public:
  explicit CallbackWindow(const driverwyr_window& fns) : fns_(fns) {}
  const driverwyr_window& Fns() const { return fns_; }

  std::string GetControlText(int id) const override {
    driverwyr_text text;
    fns_.get_control_text(fns_.user, id, &text);
    return std::move(text.value);
  }
  void SetControlText(int id, const std::string& text) override {
    fns_.set_control_text(fns_.user, id, text.c_str());
  }
  void SetTextLimit(int id, int characters) override { fns_.set_text_limit(fns_.user, id, characters); }
  void ShowControl(int id, bool visible) override { fns_.show_control(fns_.user, id, visible ? 1 : 0); }
  void FocusControl(int id) override { fns_.focus_control(fns_.user, id); }
  void ClearComboBox(int id) override { fns_.clear_combo_box(fns_.user, id); }
  void InsertComboEntry(int id, int index, const std::string& text) override {
    fns_.insert_combo_entry(fns_.user, id, index, text.c_str());
  }
  int SelectComboEntry(int id, const std::string& prefix) override {
    return fns_.select_combo_entry(fns_.user, id, prefix.c_str());
  }
  int GetComboSelection(int id) const override { return fns_.get_combo_selection(fns_.user, id); }
  std::string GetComboEntry(int id, int index) const override {
    driverwyr_text text;
    fns_.get_combo_entry(fns_.user, id, index, &text);
    return std::move(text.value);
  }
  void ShowValidationMessage(int id, const std::string& text) override {
    fns_.show_validation_message(fns_.user, id, text.c_str());
  }
  void EndDialog(int result) override { fns_.end_dialog(fns_.user, result); }

 private:
  const driverwyr_window& fns_;
};

class CallbackUserInterface final : public driverwyr::UserInterface {
 public:
  explicit CallbackUserInterface(const driverwyr_user_interface& fns) : fns_(fns) {}

  int ShowMessageBox(const std::string& text, unsigned style) override {
    return fns_.show_message_box(fns_.user, text.c_str(), style);
  }
  int RunDialog(int template_id, driverwyr::DialogHandler& handler) override {
    driverwyr_dialog dialog;
    dialog.handler = &handler;
    const int result = fns_.run_dialog(fns_.user, template_id, &dialog);
    if (dialog.error) std::rethrow_exception(dialog.error);
    return result;
  }
  std::optional<std::string> BrowseForFolder(driverwyr::DialogWindow& owner, const std::string& title,
                                             const std::string& initial_folder) override {
    // The driver browses only from inside a command of a dialog this user
    // interface runs, so the owner is the host's window of that command.
    const auto* window = dynamic_cast<const CallbackWindow*>(&owner);
    driverwyr_text folder;
    const int chosen = fns_.browse_for_folder(fns_.user, window != nullptr ? &window->Fns() : nullptr,
                                              title.c_str(), initial_folder.c_str(), &folder);
    if (chosen == 0) return std::nullopt;
    return std::move(folder.value);
  }

 private:
  const driverwyr_user_interface fns_;
};

class CallbackClock final : public driverwyr::Clock {
 public:
  explicit CallbackClock(const driverwyr_clock& fns) : fns_(fns) {}
  driverwyr::CalendarDate UtcToday() const override { return Ask(fns_.utc_today); }
  driverwyr::CalendarDate LocalToday() const override { return Ask(fns_.local_today); }

 private:
  driverwyr::CalendarDate Ask(void(DRIVERWYR_CALL* today)(void*, driverwyr_date*)) const {
    driverwyr_date date{0, 0, 0};
    today(fns_.user, &date);
    return driverwyr::CalendarDate{date.year, date.month, date.day};
  }
  const driverwyr_clock fns_;
};

// The installed adapters; the one in force is replaced only once the new one
// has been installed.
std::unique_ptr<CallbackUserInterface>& InstalledUserInterface() {
  static std::unique_ptr<CallbackUserInterface> installed;
  return installed;
}

std::unique_ptr<CallbackClock>& InstalledClock() {
  static std::unique_ptr<CallbackClock> installed;
  return installed;
}

// Runs one call of the dialog logic on the host's window.
template <class Body>
int OnDialog(const char* function, driverwyr_dialog* dialog, const driverwyr_window* window, int success,
             Body&& body) noexcept {
  if (dialog == nullptr || dialog->handler == nullptr || window == nullptr) return NullArgument(function);
  if (!Complete(*window)) return Failed({function, ": a callback of the window is missing (NULL)"});
  if (dialog->error) return Failed({function, ": the dialog has failed already: end it"});
  try {
    CallbackWindow host_window(*window);
    body(*dialog->handler, host_window);
    return success;
  } catch (...) {
    dialog->error = std::current_exception();
    return Failed({function, ": memory exhausted: end the dialog"});
  }
}

}  // namespace

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_text_set(driverwyr_text* text, const char* value) {
  if (text == nullptr) return NullArgument(__func__);
  return Guarded(-1, [&] {
    text->value = TextIn(value);
    return 0;
  });
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_dialog_init(driverwyr_dialog* dialog, const driverwyr_window* window) {
  return OnDialog(__func__, dialog, window, 1, [](driverwyr::DialogHandler& handler, driverwyr::DialogWindow& host_window) {
    handler.OnInitDialog(host_window);
  });
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_dialog_command(driverwyr_dialog* dialog, const driverwyr_window* window,
                                                          int control_id, int notification) {
  return OnDialog(__func__, dialog, window, 0, [=](driverwyr::DialogHandler& handler, driverwyr::DialogWindow& host_window) {
    handler.OnCommand(host_window, control_id, notification);
  });
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_SetUserInterface(const driverwyr_user_interface* ui) {
  // The run in progress is calling the installed one: it stays until the run ends.
  if (driverwyr::RefusedDuringRun(__func__)) return -1;
  if (ui == nullptr) {
    driverwyr::SetUserInterface(nullptr);
    InstalledUserInterface().reset();
    return 0;
  }
  if (!Complete(*ui)) return Failed({__func__, ": a callback of the user interface is missing (NULL)"});
  return Guarded(-1, [&] {
    auto fresh = std::make_unique<CallbackUserInterface>(*ui);
    driverwyr::SetUserInterface(fresh.get());
    InstalledUserInterface() = std::move(fresh);
    return 0;
  });
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_SetClock(const driverwyr_clock* clock) {
  if (driverwyr::RefusedDuringRun(__func__)) return -1;
  if (clock == nullptr) {
    driverwyr::SetClock(nullptr);
    InstalledClock().reset();
    return 0;
  }
  if (!clock->utc_today || !clock->local_today) {
    return Failed({__func__, ": a callback of the clock is missing (NULL)"});
  }
  return Guarded(-1, [&] {
    auto fresh = std::make_unique<CallbackClock>(*clock);
    driverwyr::SetClock(fresh.get());
    InstalledClock() = std::move(fresh);
    return 0;
  });
}
