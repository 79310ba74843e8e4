#include "run_operator.h"

#include <fmt/format.h>

#include <cerrno>
#include <exception>
#include <nlohmann/json.hpp>
#include <utility>

#include "standard_output.h"

namespace wyr {
namespace {

using driverwyr::kIdCancel;
using driverwyr::kIdOk;
using Json = nlohmann::ordered_json;


// JSON text of `value` on one line. The driver's strings are single bytes in
// the host's code page; bytes that are no UTF-8 are shown as U+FFFD.
std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string Quote(const std::string& text) { return Dump(Json(text)); }

}  // namespace

// --- the transcript ------------------------------------------------------------

Transcript::~Transcript() { Close(); }

std::optional<std::string> Transcript::Open(const std::string& path) {
  Close();
  failed_ = false;
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return OutsideText(path) + ": cannot be created (" + LastErrorText() + ")";
  return std::nullopt;
}

void Transcript::WriteLine(const std::string& line) {
  if (file_ == nullptr) return;
  if (!WriteStream(file_, line + '\n') && !failed_) {
    failed_ = true;
    reason_ = LastErrorText();
  }
}

void Transcript::Dialog(int group, const DialogSnapshot& dialog) {
  if (file_ == nullptr) return;
  Json controls = Json::object();
  for (const auto& [id, text] : dialog.controls) controls[std::to_string(id)] = text;
  Json event = Json::object();
  event["event"] = "dialog";
  event["group"] = group;
  event["controls"] = std::move(controls);
  event["materials"] = dialog.materials;
  event["browse"] = dialog.browse;
  WriteLine(Dump(event));
}

void Transcript::Validation(int group, int control, const std::string& message) {
  Json event = Json::object();
  event["event"] = "validation";
  event["group"] = group;
  event["control"] = control;
  event["message"] = message;
  WriteLine(Dump(event));
}

void Transcript::Closed(int group, int result) {
  Json event = Json::object();
  event["event"] = "closed";
  event["group"] = group;
  event["result"] = result;
  WriteLine(Dump(event));
}

void Transcript::Message(const std::string& text, unsigned style) {
  Json event = Json::object();
  event["event"] = "message";
  event["text"] = text;
  event["style"] = style;
  WriteLine(Dump(event));
}

void Transcript::Done(const std::optional<std::string>& path) {
  Json event = Json::object();
  event["event"] = "done";
  event["path"] = path ? Json(*path) : Json(nullptr);
  WriteLine(Dump(event));
}

bool Transcript::Close() {
  if (file_ == nullptr) return !failed_;
  errno = 0;
  if (std::fclose(file_) != 0 && !failed_) {
    failed_ = true;
    reason_ = LastErrorText();
  }
  file_ = nullptr;
  return !failed_;
}

// --- the operator --------------------------------------------------------------

ScriptPlayer::ScriptPlayer(const std::vector<OperatorEntry>& script, Transcript& transcript,
                           std::string job_name, PlayObserver* observer)
    : script_(script), transcript_(transcript), job_name_(std::move(job_name)), observer_(observer) {}

void ScriptPlayer::DialogStarts() {
  // A create that closed the previous dialog and was never reported as done.
  if (awaiting_outcome_) run_failed_ = true;
  AwaitOutcome(false);
  ++group_;
  scripted_cancel_ = false;
}

void ScriptPlayer::DialogClosed(int result) {
  transcript_.Closed(group_, result);
  if (observer_ != nullptr) {
    observer_->DialogClosed(group_, result, result == kIdCancel && scripted_cancel_);
  } else {
    PrintLine("closed {}: {}", group_,
               result == kIdOk ? "Create..." : result == kIdCancel ? "Cancel" : fmt::format("{}", result));
  }
  if (result == kIdOk) {
    AwaitOutcome(true);
  } else if (result != kIdCancel || !scripted_cancel_) {
    run_failed_ = true;
  }
}

void ScriptPlayer::AwaitOutcome(bool awaiting) {
  if (awaiting == awaiting_outcome_) return;
  awaiting_outcome_ = awaiting;
  if (hold_ != nullptr) hold_(awaiting);
}

void ScriptPlayer::Finish() {
  if (awaiting_outcome_) run_failed_ = true;
  AwaitOutcome(false);
}

void ScriptPlayer::PlayDialog(OperatorBackend& dialog) {
  const DialogSnapshot filled = dialog.Snapshot();
  transcript_.Dialog(group_, filled);
  if (observer_ != nullptr) {
    observer_->DialogShown(group_, filled);
  } else {
    PrintLine("dialog {}: program {}, file {}", group_, OutsideText(dialog.ControlText(kProgramNameBox)),
              OutsideText(dialog.ControlText(kFileNameBox)));
  }

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
      SayProblem(place + ": the dialog is closed already; the remaining actions are ignored", false);
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
  SayProblem(place + ": " + message, true);
}

void ScriptPlayer::Fail(const std::string& message) {
  run_failed_ = true;
  SayProblem(message, true);
}

void ScriptPlayer::SayProblem(const std::string& text, bool fails) {
  if (observer_ != nullptr) {
    observer_->Problem(text, fails);
  } else {
    fmt::print(stderr, "wyr: {}: {}\n", job_name_, text);
  }
}

void ScriptPlayer::Validation(int control, const std::string& text) {
  transcript_.Validation(group_, control, text);
  if (observer_ != nullptr) {
    observer_->Validation(group_, control, text);
  } else {
    PrintLine("validation {}: {}", control, OutsideText(text));
  }
}

void ScriptPlayer::Message(const std::string& text, unsigned style) {
  transcript_.Message(text, style);
  if (observer_ != nullptr) {
    observer_->Message(group_, text, style);
  } else {
    PrintLine("message: {}", OutsideText(text));
  }
  // The driver's texts that tell the outcome of a create.
  if (text == driverwyr::GetMessageText(DRIVERWYR_MSG_CREATE_FAILED).view()) {
    run_failed_ = true;
    AwaitOutcome(false);
  } else if (text == driverwyr::GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED).view()) {
    AwaitOutcome(false);
  }
  // The driver marks with the warning icon what went wrong although the
  // program was written: a program number that could not be saved.
  if ((style & driverwyr::kMessageIconMask) == driverwyr::kMessageIconWarning) run_failed_ = true;
}

void ScriptPlayer::PressCreate(OperatorBackend& dialog) {
  if (observer_ != nullptr) observer_->CreatePressed(group_, dialog.Snapshot());
  dialog.Press(kIdOk);
}

void ScriptPlayer::PressCancel(OperatorBackend& dialog) {
  if (dialog.IsOpen()) dialog.Press(kIdCancel);
}

}  // namespace wyr
