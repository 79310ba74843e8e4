// What `wyr run` shows of the operator's play: a line on standard output for
// every dialog, validation message, message box and close, the script's
// problems on standard error, and the transcript (`--transcript`).
#ifndef DRIVERWYR_TOOLS_WYR_RUN_CONSOLE_H_
#define DRIVERWYR_TOOLS_WYR_RUN_CONSOLE_H_

#include <cstdio>
#include <optional>
#include <string>

#include "driverwyr/operator_script.h"
#include "driverwyr/result.h"

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

  // Creates (or empties) `path`. Fails with why it cannot ("cannot be
  // created (...)"); the caller names the file.
  driverwyr::Status Open(const std::string& path);

  void Dialog(int group, const DialogSnapshot& dialog);
  void Validation(int group, int control, const std::string& message);
  void Closed(int group, int result);
  void Message(const std::string& text, unsigned style);
  void Done(const std::optional<std::string>& path);

  // Flushes and closes the file. Fails when anything could not be written,
  // with why the first line that failed could not be ("could not be written
  // completely (...)"); the caller names the file.
  driverwyr::Status Close();

 private:
  void WriteLine(const std::string& line);
  // Closes the file, if open, without a word.
  void Release();

  std::FILE* file_ = nullptr;
  bool failed_ = false;
  std::string reason_;
};

// Watches the play of `wyr run`: writes every event to the transcript and
// prints it; `job_name` prefixes the problems on standard error. The
// transcript must outlive it.
//
// `hold`, when given, is called with true when "Create..." has closed a
// dialog (a program may be on its way to the disk) and with false once the
// outcome has been reported (its line printed) or will never be: `wyr run`
// holds back the signals that would end it in between, so that no program is
// left on disk without its line.
class RunConsole final : public driverwyr::PlayObserver {
 public:
  RunConsole(Transcript& transcript, std::string job_name, void (*hold)(bool) = nullptr);
  // The play is over: nothing is awaited any more.
  void Finish() { AwaitOutcome(false); }

  void DialogShown(int group, const DialogSnapshot& dialog) override;
  void CreatePressed(int /*group*/, const DialogSnapshot& /*dialog*/) override {}
  void Validation(int group, int control, const std::string& text) override;
  void Message(int group, const std::string& text, unsigned style) override;
  void DialogClosed(int group, int result, bool scripted_cancel) override;
  void Problem(int group, const std::string& text, bool fails) override;

 private:
  void AwaitOutcome(bool awaiting);

  Transcript& transcript_;
  std::string job_name_;
  void (*hold_)(bool) = nullptr;
  bool awaiting_outcome_ = false;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_RUN_CONSOLE_H_
