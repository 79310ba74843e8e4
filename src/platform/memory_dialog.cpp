// In-memory dialog windows: the controls of a dialog template held as plain
// data, filled and read by the driver's dialog logic and acted on by a program
// in place of an operator. The window follows what the real controls do where
// the dialog logic can see it: typing is cut to the typing limit, hidden or
// read-only boxes cannot be typed into, hidden buttons cannot be pressed, a
// combo box selects by prefix ignoring letter case, and programmatic changes
// (SetControlText) are not cut.
#include "driverwyr/memory_dialog.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "driverwyr/dialog.h"
#include "util/text.h"

namespace driverwyr {
namespace {

// The only dialog template of the driver.
constexpr int kCreationDialogTemplate = DRIVERWYR_DIALOG_PROGRAM_CREATION;

std::vector<MemoryControl> BuildTemplateControls(int template_id) {
  std::vector<MemoryControl> controls;
  if (template_id != kCreationDialogTemplate) return controls;
  struct Style {
    bool read_only;
    bool visible;
  };
  constexpr Style WYR_TAB{false, true};
  constexpr Style WYR_RO{true, true};
  constexpr Style WYR_RO_HIDDEN{true, false};
  constexpr Style WYR_PLAIN{false, true};
  constexpr Style WYR_PLAIN_HIDDEN{false, false};
  constexpr ControlKind WYR_PUSH = ControlKind::kPushButton;
  constexpr ControlKind WYR_DEFPUSH = ControlKind::kDefaultPushButton;
  constexpr ControlKind WYR_EDIT = ControlKind::kEdit;
  constexpr ControlKind WYR_COMBO = ControlKind::kComboBox;
  constexpr ControlKind WYR_LABEL = ControlKind::kLabel;
  constexpr ControlKind WYR_GROUP = ControlKind::kGroupBox;
  const auto add = [&controls](int id, ControlKind kind, Style style, const char* text) {
    MemoryControl control;
    control.id = id;
    control.kind = kind;
    control.read_only = style.read_only;
    control.visible = style.visible;
    // Buttons, labels and group boxes carry the template's text; edit and
    // combo boxes start empty.
    if (kind != ControlKind::kEdit && kind != ControlKind::kComboBox) control.text = text;
    controls.push_back(std::move(control));
  };
#define WYR_ITEM(id, kind, style, text, x, y, w, h) add(id, kind, style, text);
  DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS(WYR_ITEM)
#undef WYR_ITEM
  return controls;
}

bool IsButton(const MemoryControl& control) {
  return control.kind == ControlKind::kPushButton || control.kind == ControlKind::kDefaultPushButton;
}

}  // namespace

struct MemoryDialogWindow::State {
  DialogHandler* handler = nullptr;
  std::vector<MemoryControl> controls;
  bool open = false;
  int result = -1;
  int focus = -1;
  std::vector<ValidationNotice> validations;

  // Controls without an id (-1) are never found.
  MemoryControl* Find(int id) {
    if (id < 0) return nullptr;
    for (auto& control : controls) {
      if (control.id == id) return &control;
    }
    return nullptr;
  }
  MemoryControl* FindCombo(int id) {
    MemoryControl* control = Find(id);
    return control != nullptr && control->kind == ControlKind::kComboBox ? control : nullptr;
  }
};

MemoryDialogWindow::MemoryDialogWindow(int template_id, DialogHandler& handler) : state_(new State) {
  state_->handler = &handler;
  state_->controls = BuildTemplateControls(template_id);
}

MemoryDialogWindow::~MemoryDialogWindow() { delete state_; }

std::string MemoryDialogWindow::GetControlText(int id) const {
  const MemoryControl* control = state_->Find(id);
  if (control == nullptr) return std::string();
  if (control->kind == ControlKind::kComboBox) return GetComboEntry(id, control->selection);
  return control->text;
}

void MemoryDialogWindow::SetControlText(int id, const std::string& text) {
  MemoryControl* control = state_->Find(id);
  if (control == nullptr) return;
  if (control->kind == ControlKind::kComboBox) {
    // A drop-down list has no text of its own: setting one selects the entry
    // of that text, if there is one.
    for (std::size_t i = 0; i < control->entries.size(); ++i) {
      if (control->entries[i].size() == text.size() &&
          StartsWithIgnoringCase(control->entries[i], text)) {
        control->selection = static_cast<int>(i);
        return;
      }
    }
    return;
  }
  control->text = text;
}

void MemoryDialogWindow::SetTextLimit(int id, int characters) {
  MemoryControl* control = state_->Find(id);
  if (control == nullptr || control->kind != ControlKind::kEdit) return;
  control->text_limit = characters > 0 ? characters : 0;
}

void MemoryDialogWindow::ShowControl(int id, bool visible) {
  MemoryControl* control = state_->Find(id);
  if (control != nullptr) control->visible = visible;
}

void MemoryDialogWindow::FocusControl(int id) {
  if (state_->Find(id) != nullptr) state_->focus = id;
}

void MemoryDialogWindow::ClearComboBox(int id) {
  MemoryControl* control = state_->FindCombo(id);
  if (control == nullptr) return;
  control->entries.clear();
  control->selection = -1;
}

void MemoryDialogWindow::InsertComboEntry(int id, int index, const std::string& text) {
  MemoryControl* control = state_->FindCombo(id);
  if (control == nullptr) return;
  const int count = static_cast<int>(control->entries.size());
  // As a list box does: -1 appends, a position past the end inserts nothing.
  if (index == -1) index = count;
  if (index < 0 || index > count) return;
  control->entries.insert(control->entries.begin() + index, text);
  // The selected entry stays selected when an entry is inserted before it.
  if (control->selection >= index) ++control->selection;
}

int MemoryDialogWindow::SelectComboEntry(int id, const std::string& prefix) {
  MemoryControl* control = state_->FindCombo(id);
  // An empty prefix matches nothing, as with a real combo box.
  if (control == nullptr || prefix.empty()) return -1;
  for (std::size_t i = 0; i < control->entries.size(); ++i) {
    if (StartsWithIgnoringCase(control->entries[i], prefix)) {
      control->selection = static_cast<int>(i);
      return control->selection;
    }
  }
  return -1;
}

int MemoryDialogWindow::GetComboSelection(int id) const {
  const MemoryControl* control = state_->FindCombo(id);
  return control != nullptr ? control->selection : -1;
}

std::string MemoryDialogWindow::GetComboEntry(int id, int index) const {
  const MemoryControl* control = state_->FindCombo(id);
  if (control == nullptr || index < 0 || index >= static_cast<int>(control->entries.size())) {
    return std::string();
  }
  return control->entries[static_cast<std::size_t>(index)];
}

void MemoryDialogWindow::ShowValidationMessage(int id, const std::string& text) {
  state_->validations.push_back(ValidationNotice{id, text});
}

void MemoryDialogWindow::EndDialog(int result) {
  // Only the first end counts, as with a modal loop that has already ended.
  if (!state_->open) return;
  state_->open = false;
  state_->result = result;
}

bool MemoryDialogWindow::Open() {
  if (state_->open || state_->result != -1) return false;
  state_->open = true;
  return state_->handler->OnInitDialog(*this);
}

bool MemoryDialogWindow::Type(int id, const std::string& text) {
  MemoryControl* control = state_->Find(id);
  if (!state_->open || control == nullptr || control->kind != ControlKind::kEdit ||
      control->read_only || !control->visible) {
    return false;
  }
  const std::size_t limit = static_cast<std::size_t>(control->text_limit);
  control->text = limit > 0 && text.size() > limit ? text.substr(0, limit) : text;
  state_->focus = id;
  return true;
}

bool MemoryDialogWindow::Choose(int id, const std::string& entry) {
  MemoryControl* control = state_->FindCombo(id);
  if (!state_->open || control == nullptr || !control->visible) return false;
  const auto found = std::find(control->entries.begin(), control->entries.end(), entry);
  if (found == control->entries.end()) return false;
  control->selection = static_cast<int>(found - control->entries.begin());
  state_->focus = id;
  state_->handler->OnCommand(*this, id, kComboSelectionChanged);
  return true;
}

bool MemoryDialogWindow::Press(int id) {
  MemoryControl* control = state_->Find(id);
  if (!state_->open || control == nullptr || !IsButton(*control) || !control->visible) return false;
  state_->handler->OnCommand(*this, id, kButtonClicked);
  return true;
}

bool MemoryDialogWindow::IsOpen() const { return state_->open; }

int MemoryDialogWindow::Result() const { return state_->result; }

const MemoryControl* MemoryDialogWindow::Find(int id) const { return state_->Find(id); }

const std::vector<MemoryControl>& MemoryDialogWindow::Controls() const { return state_->controls; }

int MemoryDialogWindow::FocusedControl() const { return state_->focus; }

const std::vector<ValidationNotice>& MemoryDialogWindow::Validations() const {
  return state_->validations;
}

MemoryUserInterface::MemoryUserInterface() = default;

MemoryUserInterface::~MemoryUserInterface() = default;

int MemoryUserInterface::ShowMessageBox(const std::string& text, unsigned style) {
  return on_message ? on_message(text, style) : kIdOk;
}

int MemoryUserInterface::RunDialog(int template_id, DialogHandler& handler) {
  if (template_id != kCreationDialogTemplate) return -1;
  MemoryDialogWindow window(template_id, handler);
  window.Open();
  if (window.IsOpen() && on_dialog) on_dialog(window);
  if (window.IsOpen()) window.Press(kIdCancel);
  // A handler that ignores "Cancel" would leave a real dialog on the screen;
  // here the window is closed as its close box would.
  if (window.IsOpen()) window.EndDialog(kIdCancel);
  return window.Result();
}

std::optional<std::string> MemoryUserInterface::BrowseForFolder(DialogWindow& /*owner*/,
                                                                const std::string& title,
                                                                const std::string& initial_folder) {
  if (!on_browse) return std::nullopt;
  return on_browse(title, initial_folder);
}

}  // namespace driverwyr
