// The in-memory operator backend of a script player: the driver runs every dialog in a
// MemoryDialogWindow, and the player acts on it from inside the driver's call,
// on the driver's thread.

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "driverwyr/memory_dialog.h"
#include "driverwyr/operator_script.h"

namespace driverwyr {
namespace {

// The window actions on a MemoryDialogWindow. The window records validation
// messages as the dialog shows them; they are passed on to the player after
// every action, and before a message box or the browser that comes later.
class MemoryBackend final : public OperatorBackend {
 public:
  MemoryBackend(MemoryDialogWindow& window, ScriptPlayer& player) : window_(window), player_(player) {}

  DialogSnapshot Snapshot() override {
    DialogSnapshot snapshot;
    for (const MemoryControl& control : window_.Controls()) {
      if (control.id >= 0 && (control.kind == ControlKind::kEdit || control.kind == ControlKind::kComboBox)) {
        snapshot.controls.emplace_back(control.id, window_.GetControlText(control.id));
      }
    }
    std::sort(snapshot.controls.begin(), snapshot.controls.end());
    if (const MemoryControl* list = window_.Find(kMaterialList)) snapshot.materials = list->entries;
    const MemoryControl* browse = window_.Find(kBrowseButton);
    snapshot.browse = browse != nullptr && browse->visible;
    return snapshot;
  }
  std::string ControlText(int id) override { return window_.GetControlText(id); }
  bool Type(int id, const std::string& text) override { return Reported(window_.Type(id, text)); }
  bool Choose(int id, const std::string& entry) override { return Reported(window_.Choose(id, entry)); }
  bool Press(int id) override { return Reported(window_.Press(id)); }
  bool IsOpen() override { return window_.IsOpen(); }

  // Passes on the validation messages shown since the last call.
  void ReportValidations() {
    const auto& notices = window_.Validations();
    for (; reported_ < notices.size(); ++reported_) {
      player_.Validation(notices[reported_].control_id, notices[reported_].text);
    }
  }

 private:
  bool Reported(bool result) {
    ReportValidations();
    return result;
  }

  MemoryDialogWindow& window_;
  ScriptPlayer& player_;
  std::size_t reported_ = 0;
};

class MemoryUi final : public OperatorUi, public MemoryUserInterface {
 public:
  explicit MemoryUi(ScriptPlayer& player) : player_(player) {
    // The driver calls these from inside GenerateMachineCodeFile: nothing may
    // escape them. A failure to print or record ends up as a failed run.
    on_dialog = [this](MemoryDialogWindow& window) {
      MemoryBackend backend(window, player_);
      backend_ = &backend;
      Guarded([&] { player_.PlayDialog(backend); });
      backend_ = nullptr;
    };
    on_message = [this](const std::string& text, unsigned style) {
      Guarded([&] {
        if (backend_ != nullptr) backend_->ReportValidations();
        player_.Message(text, style);
      });
      return kIdOk;
    };
    on_browse = [this](const std::string& /*title*/, const std::string& /*initial_folder*/) {
      std::optional<std::string> answer;
      // The dialog reads its fields back before it opens the browser; their
      // messages come first.
      Guarded([&] {
        if (backend_ != nullptr) backend_->ReportValidations();
        answer = player_.BrowseAnswer();
      });
      return answer;
    };
  }

  UserInterface& Interface() override { return *this; }
  void Finish() override {}

  int RunDialog(int template_id, DialogHandler& handler) override {
    Guarded([&] { player_.DialogStarts(); });
    const int result = MemoryUserInterface::RunDialog(template_id, handler);
    Guarded([&] { player_.DialogClosed(result); });
    return result;
  }

 private:
  template <typename Action>
  void Guarded(Action action) {
    try {
      action();
    } catch (const std::exception& e) {
      player_.Fail(e.what());
    }
  }

  ScriptPlayer& player_;
  MemoryBackend* backend_ = nullptr;  // while a dialog is played
};

}  // namespace

std::unique_ptr<OperatorUi> MakeMemoryOperatorUi(ScriptPlayer& player) { return std::make_unique<MemoryUi>(player); }

}  // namespace driverwyr
