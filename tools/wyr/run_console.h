// What `wyr run` shows of the operator's play: a line on standard output for
// every dialog, validation message, message box and close, the script's
// problems on standard error, and the transcript (`--transcript`).
#ifndef DRIVERWYR_TOOLS_WYR_RUN_CONSOLE_H_
#define DRIVERWYR_TOOLS_WYR_RUN_CONSOLE_H_

#include <cstdio>
#include <optional>
#include <string>

#include "driverwyr/operator_script.h"

namespace wyr {

using driverwyr::DialogSnapshot;

// The transcript: one JSON object a line, written as things happen. A
// transcript without a file writes nothing.
class Transcript {
 public:
  Transcript() = default;
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // Creates (or empties) `path`. Returns an explanation when it cannot.
  std::optional<std::string> Open(const std::string& path);

  void Dialog(int group, const DialogSnapshot& dialog);
  void Validation(int group, int control, const std::string& message);
  void Closed(int group, int result);
  void Message(const std::string& text, unsigned style);
  void Done(const std::optional<std::string>& path);

  // Flushes and closes the file. False when anything could not be written.
  bool Close();

 private:
  void WriteLine(const std::string& line);

  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// Watches the play of `wyr run`: writes every event to the transcript and
// prints it; `job_name` prefixes the problems on standard error. The
// transcript must outlive it.
class RunConsole final : public driverwyr::PlayObserver {
 public:
  RunConsole(Transcript& transcript, std::string job_name);

  void DialogShown(int group, const DialogSnapshot& dialog) override;
  void CreatePressed(int /*group*/, const DialogSnapshot& /*dialog*/) override {}
  void Validation(int group, int control, const std::string& text) override;
  void Message(int group, const std::string& text, unsigned style) override;
  void DialogClosed(int group, int result, bool scripted_cancel) override;
  void Problem(int group, const std::string& text, bool fails) override;

 private:
  Transcript& transcript_;
  std::string job_name_;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_RUN_CONSOLE_H_
