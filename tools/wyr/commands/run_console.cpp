// What `wyr run` shows of the operator's play: the console lines and the
// transcript.
#include "run_console.h"

#include <fmt/format.h>

#include <cerrno>
#include <nlohmann/json.hpp>
#include <utility>

#include "driverwyr/host.h"
#include "standard_output.h"

namespace wyr {
namespace {

using driverwyr::kIdCancel;
using driverwyr::kIdOk;
using Json = nlohmann::ordered_json;

// JSON text of `value` on one line. The driver's strings are single bytes in
// the host's code page; bytes that are no UTF-8 are shown as U+FFFD.
std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace

// --- the transcript ------------------------------------------------------------

// A transcript that is not closed explicitly has no one to tell of a failure:
// the run that opened it reports it through Close.
Transcript::~Transcript() { Release(); }

void Transcript::Release() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

driverwyr::Status Transcript::Open(const std::string& path) {
  Release();
  failed_ = false;
  reason_.clear();
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return driverwyr::Status::IoError("cannot be created (" + LastErrorText() + ")");
  return driverwyr::Status::Ok();
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

driverwyr::Status Transcript::Close() {
  if (file_ != nullptr) {
    errno = 0;
    if (std::fclose(file_) != 0 && !failed_) {
      failed_ = true;
      reason_ = LastErrorText();
    }
    file_ = nullptr;
  }
  if (failed_) return driverwyr::Status::IoError("could not be written completely (" + reason_ + ")");
  return driverwyr::Status::Ok();
}

// --- the console -------------------------------------------------------------

RunConsole::RunConsole(Transcript& transcript, std::string job_name, void (*hold)(bool))
    : transcript_(transcript), job_name_(std::move(job_name)), hold_(hold) {}

void RunConsole::AwaitOutcome(bool awaiting) {
  if (awaiting == awaiting_outcome_) return;
  awaiting_outcome_ = awaiting;
  if (hold_ != nullptr) hold_(awaiting);
}

void RunConsole::DialogShown(int group, const DialogSnapshot& dialog) {
  // A create that closed the previous dialog and was never reported.
  AwaitOutcome(false);
  transcript_.Dialog(group, dialog);
  PrintLine("dialog {}: program {}, file {}", group, OutsideText(dialog.TextOf(driverwyr::kProgramNameBox)),
            OutsideText(dialog.TextOf(driverwyr::kFileNameBox)));
}

void RunConsole::DialogClosed(int group, int result, bool /*scripted_cancel*/) {
  transcript_.Closed(group, result);
  PrintLine("closed {}: {}", group,
            result == kIdOk ? "Create..." : result == kIdCancel ? "Cancel" : fmt::format("{}", result));
  if (result == kIdOk) AwaitOutcome(true);
}

void RunConsole::Validation(int group, int control, const std::string& text) {
  transcript_.Validation(group, control, text);
  PrintLine("validation {}: {}", control, OutsideText(text));
}

void RunConsole::Message(int /*group*/, const std::string& text, unsigned style) {
  transcript_.Message(text, style);
  PrintLine("message: {}", OutsideText(text));
  // The driver's texts that tell the outcome of a create, now printed.
  if (text == driverwyr::GetMessageText(DRIVERWYR_MSG_CREATE_FAILED).view() ||
      text == driverwyr::GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED).view()) {
    AwaitOutcome(false);
  }
}

void RunConsole::Problem(int /*group*/, const std::string& text, bool /*fails*/) {
  fmt::print(stderr, "wyr: {}: {}\n", job_name_, OutsideText(text));
}

}  // namespace wyr
