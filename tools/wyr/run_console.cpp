// What `wyr run` shows of the operator's play: the console lines and the
// transcript.
#include "run_console.h"

#include <fmt/format.h>

#include <nlohmann/json.hpp>
#include <utility>

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
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

// --- the console -------------------------------------------------------------

RunConsole::RunConsole(Transcript& transcript, std::string job_name)
    : transcript_(transcript), job_name_(std::move(job_name)) {}

void RunConsole::DialogShown(int group, const DialogSnapshot& dialog) {
  transcript_.Dialog(group, dialog);
  fmt::print("dialog {}: program {}, file {}\n", group, dialog.TextOf(driverwyr::kProgramNameBox),
             dialog.TextOf(driverwyr::kFileNameBox));
}

void RunConsole::DialogClosed(int group, int result, bool /*scripted_cancel*/) {
  transcript_.Closed(group, result);
  fmt::print("closed {}: {}\n", group,
             result == kIdOk ? "Create..." : result == kIdCancel ? "Cancel" : fmt::format("{}", result));
}

void RunConsole::Validation(int group, int control, const std::string& text) {
  transcript_.Validation(group, control, text);
  fmt::print("validation {}: {}\n", control, text);
}

void RunConsole::Message(int /*group*/, const std::string& text, unsigned style) {
  transcript_.Message(text, style);
  fmt::print("message: {}\n", text);
}

void RunConsole::Problem(int /*group*/, const std::string& text, bool /*fails*/) {
  fmt::print(stderr, "wyr: {}: {}\n", job_name_, text);
}

}  // namespace wyr
