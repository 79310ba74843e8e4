// The player of operator scripts: what the operator does with each dialog,
// told to an observer as it happens.
#include <fmt/format.h>

#include <nlohmann/json.hpp>
#include <utility>

#include "driverwyr/operator_script.h"

namespace driverwyr {
namespace {

using Json = nlohmann::ordered_json;

// A text in double quotes, as JSON writes it. The driver's strings are single
// bytes in the host's code page; bytes that are no UTF-8 are shown as U+FFFD.
std::string Quote(const std::string& text) { return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace

// --- the operator --------------------------------------------------------------

ScriptPlayer::ScriptPlayer(const std::vector<OperatorEntry>& script, PlayObserver& observer)
    : script_(script), observer_(observer) {}

void ScriptPlayer::DialogStarts() {
  // A create that closed the previous dialog and was never reported as done.
  if (awaiting_outcome_) run_failed_ = true;
  awaiting_outcome_ = false;
  ++group_;
  scripted_cancel_ = false;
}

void ScriptPlayer::DialogClosed(int result) {
  observer_.DialogClosed(group_, result, result == kIdCancel && scripted_cancel_);
  if (result == kIdOk) {
    awaiting_outcome_ = true;
  } else if (result != kIdCancel || !scripted_cancel_) {
    run_failed_ = true;
  }
}

void ScriptPlayer::Finish() {
  if (awaiting_outcome_) run_failed_ = true;
  awaiting_outcome_ = false;
}

void ScriptPlayer::PlayDialog(OperatorBackend& dialog) {
  observer_.DialogShown(group_, dialog.Snapshot());

  // After a script error the remaining dialogs are cancelled unseen.
  if (script_failed_) return PressCancel(dialog);

  const OperatorEntry entry =
      static_cast<std::size_t>(group_) < script_.size() ? script_[static_cast<std::size_t>(group_)] : OperatorEntry{};
  switch (entry.kind) {
    case OperatorEntry::Kind::kCreate:
      PressCreate(dialog);
      break;
    case OperatorEntry::Kind::kCancel:
      dialog.Press(kIdCancel);
      scripted_cancel_ = !dialog.IsOpen();
      break;
    case OperatorEntry::Kind::kActions:
      PlayActions(dialog, entry.actions);
      break;
  }
  if (script_failed_) return PressCancel(dialog);

  // The script has run out with the dialog open: "Create..." once more, and
  // "Cancel" when the fields still do not pass.
  if (dialog.IsOpen()) PressCreate(dialog);
  if (dialog.IsOpen()) PressCancel(dialog);
}

void ScriptPlayer::PlayActions(OperatorBackend& dialog, const std::vector<OperatorAction>& actions) {
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const std::string place = fmt::format("operator[{}][{}]", group_, i);
    if (!dialog.IsOpen()) {
      observer_.Problem(group_, place + ": the dialog is closed already; the remaining actions are ignored", false);
      return;
    }
    const OperatorAction& action = actions[i];
    switch (action.kind) {
      case OperatorAction::Kind::kType:
        if (!dialog.Type(action.control, action.text)) {
          ScriptError(place + ".type",
                      fmt::format("box {} cannot be typed into: it is hidden or read-only", action.control));
        }
        break;
      case OperatorAction::Kind::kSelect:
        if (!dialog.Choose(kMaterialList, action.text)) {
          std::string entries;
          for (const std::string& entry : dialog.Snapshot().materials) {
            entries += (entries.empty() ? "" : ", ") + Quote(entry);
          }
          ScriptError(place + ".select",
                      fmt::format("{} is not in the material list ({})", Quote(action.text),
                                  entries.empty() ? std::string("the list is empty") : entries));
        }
        break;
      case OperatorAction::Kind::kBrowse:
        browse_answer_ = action.folder;
        if (!dialog.Press(kBrowseButton)) {
          ScriptError(place + ".browse", "the \"...\" button is hidden: this dialog keeps its folder");
        }
        browse_answer_.reset();
        break;
      case OperatorAction::Kind::kPress:
        if (action.button == kIdOk) {
          PressCreate(dialog);
        } else {
          dialog.Press(action.button);
        }
        if (action.button == kIdCancel && !dialog.IsOpen()) scripted_cancel_ = true;
        break;
    }
    if (script_failed_) return;
  }
}

void ScriptPlayer::ScriptError(const std::string& place, const std::string& message) {
  script_failed_ = true;
  observer_.Problem(group_, place + ": " + message, true);
}

void ScriptPlayer::Fail(const std::string& message) {
  run_failed_ = true;
  observer_.Problem(group_, message, true);
}

void ScriptPlayer::Validation(int control, const std::string& text) {
  observer_.Validation(group_, control, text);
}

void ScriptPlayer::Message(const std::string& text, unsigned style) {
  observer_.Message(group_, text, style);
  // The driver's texts that tell the outcome of a create.
  if (text == driverwyr::GetMessageText(DRIVERWYR_MSG_CREATE_FAILED).view()) {
    run_failed_ = true;
    awaiting_outcome_ = false;
  } else if (text == driverwyr::GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED).view()) {
    awaiting_outcome_ = false;
  }
  // The driver marks with the warning icon what went wrong although the
  // program was written: a program number that could not be saved.
  if ((style & driverwyr::kMessageIconMask) == driverwyr::kMessageIconWarning) run_failed_ = true;
}

void ScriptPlayer::PressCreate(OperatorBackend& dialog) {
  observer_.CreatePressed(group_, dialog.Snapshot());
  dialog.Press(kIdOk);
}

void ScriptPlayer::PressCancel(OperatorBackend& dialog) {
  if (dialog.IsOpen()) dialog.Press(kIdCancel);
}

}  // namespace driverwyr
