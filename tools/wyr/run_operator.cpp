#include "run_operator.h"

#include <fmt/format.h>

#include <algorithm>
#include <exception>
#include <nlohmann/json.hpp>
#include <utility>

namespace wyr {
namespace {

using driverwyr::ControlKind;
using driverwyr::kIdCancel;
using driverwyr::kIdOk;
using driverwyr::MemoryControl;
using driverwyr::MemoryDialogWindow;
using Json = nlohmann::ordered_json;

constexpr int kMaterialList = DRIVERWYR_IDC_MATERIAL_LIST;
constexpr int kBrowseButton = DRIVERWYR_IDC_BROWSE;

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
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return path + ": cannot be created";
  return std::nullopt;
}

void Transcript::WriteLine(const std::string& line) {
  if (file_ == nullptr) return;
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fputc('\n', file_) == EOF ||
      std::fflush(file_) != 0) {
    failed_ = true;
  }
}

void Transcript::Dialog(int group, const MemoryDialogWindow& window) {
  if (file_ == nullptr) return;
  // Every edit box and combo box with an id, visible or not, by ascending id;
  // a combo box shows its selected entry.
  std::vector<int> ids;
  for (const MemoryControl& control : window.Controls()) {
    if (control.id >= 0 && (control.kind == ControlKind::kEdit || control.kind == ControlKind::kComboBox)) {
      ids.push_back(control.id);
    }
  }
  std::sort(ids.begin(), ids.end());
  Json controls = Json::object();
  for (int id : ids) controls[std::to_string(id)] = window.GetControlText(id);
  Json materials = Json::array();
  if (const MemoryControl* list = window.Find(kMaterialList)) {
    for (const std::string& entry : list->entries) materials.push_back(entry);
  }
  const MemoryControl* browse = window.Find(kBrowseButton);
  Json event = Json::object();
  event["event"] = "dialog";
  event["group"] = group;
  event["controls"] = std::move(controls);
  event["materials"] = std::move(materials);
  event["browse"] = browse != nullptr && browse->visible;
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
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

// --- the operator --------------------------------------------------------------

ScriptedOperator::ScriptedOperator(const std::vector<OperatorEntry>& script, Transcript& transcript,
                                   std::string job_name)
    : script_(script), transcript_(transcript), job_name_(std::move(job_name)) {
  // The driver calls these from inside GenerateMachineCodeFile: nothing may
  // escape them. A failure to print or record ends up as a failed run.
  on_dialog = [this](MemoryDialogWindow& window) {
    try {
      Play(window);
    } catch (const std::exception& e) {
      fmt::print(stderr, "wyr: {}: {}\n", job_name_, e.what());
      run_failed_ = true;
    }
    window_ = nullptr;
  };
  on_message = [this](const std::string& text, unsigned style) {
    try {
      return AnswerMessage(text, style);
    } catch (const std::exception& e) {
      fmt::print(stderr, "wyr: {}: {}\n", job_name_, e.what());
      run_failed_ = true;
      return kIdOk;
    }
  };
  on_browse = [this](const std::string& /*title*/, const std::string& /*initial_folder*/) {
    try {
      return AnswerBrowser();
    } catch (const std::exception& e) {
      fmt::print(stderr, "wyr: {}: {}\n", job_name_, e.what());
      run_failed_ = true;
      return std::optional<std::string>();
    }
  };
}

int ScriptedOperator::RunDialog(int template_id, driverwyr::DialogHandler& handler) {
  // A create that closed the previous dialog and was never reported as done.
  if (awaiting_outcome_) run_failed_ = true;
  awaiting_outcome_ = false;
  ++group_;
  scripted_cancel_ = false;
  const int result = MemoryUserInterface::RunDialog(template_id, handler);
  transcript_.Closed(group_, result);
  fmt::print("closed {}: {}\n", group_,
             result == kIdOk ? "Create..." : result == kIdCancel ? "Cancel" : fmt::format("{}", result));
  if (result == kIdOk) {
    awaiting_outcome_ = true;
  } else if (result != kIdCancel || !scripted_cancel_) {
    run_failed_ = true;
  }
  return result;
}

void ScriptedOperator::Finish() {
  if (awaiting_outcome_) run_failed_ = true;
  awaiting_outcome_ = false;
}

void ScriptedOperator::Play(MemoryDialogWindow& window) {
  window_ = &window;
  validations_reported_ = 0;
  transcript_.Dialog(group_, window);
  fmt::print("dialog {}: program {}, file {}\n", group_, window.GetControlText(DRIVERWYR_IDC_PROGRAM_NAME),
             window.GetControlText(DRIVERWYR_IDC_FILE_NAME));

  // After a script error the remaining dialogs are cancelled unseen.
  if (script_failed_) return PressCancel(window);

  const OperatorEntry entry =
      static_cast<std::size_t>(group_) < script_.size() ? script_[static_cast<std::size_t>(group_)] : OperatorEntry{};
  switch (entry.kind) {
    case OperatorEntry::Kind::kCreate:
      window.Press(kIdOk);
      break;
    case OperatorEntry::Kind::kCancel:
      window.Press(kIdCancel);
      scripted_cancel_ = !window.IsOpen();
      break;
    case OperatorEntry::Kind::kActions:
      PlayActions(window, entry.actions);
      break;
  }
  ReportValidations();
  if (script_failed_) return PressCancel(window);

  // The script has run out with the dialog open: "Create..." once more, and
  // "Cancel" when the fields still do not pass.
  if (window.IsOpen()) {
    window.Press(kIdOk);
    ReportValidations();
  }
  if (window.IsOpen()) PressCancel(window);
}

void ScriptedOperator::PlayActions(MemoryDialogWindow& window, const std::vector<OperatorAction>& actions) {
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const std::string place = fmt::format("operator[{}][{}]", group_, i);
    if (!window.IsOpen()) {
      fmt::print(stderr, "wyr: {}: {}: the dialog is closed already; the remaining actions are ignored\n",
                 job_name_, place);
      return;
    }
    const OperatorAction& action = actions[i];
    switch (action.kind) {
      case OperatorAction::Kind::kType:
        if (!window.Type(action.control, action.text)) {
          ScriptError(place + ".type",
                      fmt::format("box {} cannot be typed into: it is hidden or read-only", action.control));
        }
        break;
      case OperatorAction::Kind::kSelect:
        if (!window.Choose(kMaterialList, action.text)) {
          std::string entries;
          if (const MemoryControl* list = window.Find(kMaterialList)) {
            for (const std::string& entry : list->entries) entries += (entries.empty() ? "" : ", ") + Quote(entry);
          }
          ScriptError(place + ".select",
                      fmt::format("{} is not in the material list ({})", Quote(action.text),
                                  entries.empty() ? std::string("the list is empty") : entries));
        }
        break;
      case OperatorAction::Kind::kBrowse:
        browse_answer_ = action.folder;
        if (!window.Press(kBrowseButton)) {
          ScriptError(place + ".browse", "the \"...\" button is hidden: this dialog keeps its folder");
        }
        browse_answer_.reset();
        break;
      case OperatorAction::Kind::kPress:
        window.Press(action.button);
        if (action.button == kIdCancel && !window.IsOpen()) scripted_cancel_ = true;
        break;
    }
    ReportValidations();
    if (script_failed_) return;
  }
}

void ScriptedOperator::ScriptError(const std::string& place, const std::string& message) {
  script_failed_ = true;
  fmt::print(stderr, "wyr: {}: {}: {}\n", job_name_, place, message);
}

void ScriptedOperator::ReportValidations() {
  if (window_ == nullptr) return;
  const auto& notices = window_->Validations();
  for (; validations_reported_ < notices.size(); ++validations_reported_) {
    const driverwyr::ValidationNotice& notice = notices[validations_reported_];
    transcript_.Validation(group_, notice.control_id, notice.text);
    fmt::print("validation {}: {}\n", notice.control_id, notice.text);
  }
}

int ScriptedOperator::AnswerMessage(const std::string& text, unsigned style) {
  ReportValidations();
  transcript_.Message(text, style);
  fmt::print("message: {}\n", text);
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
  return kIdOk;
}

std::optional<std::string> ScriptedOperator::AnswerBrowser() {
  // The dialog reads its fields back before it opens the browser; their
  // messages come first.
  ReportValidations();
  return browse_answer_;
}

void ScriptedOperator::PressCancel(MemoryDialogWindow& window) {
  if (window.IsOpen()) window.Press(kIdCancel);
  ReportValidations();
}

}  // namespace wyr
