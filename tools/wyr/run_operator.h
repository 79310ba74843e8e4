// The operator of `wyr run`: plays a job's operator script on every dialog the
// driver shows, acknowledges every message box, answers the folder browser,
// and reports what happened on standard output and in the transcript.
#ifndef DRIVERWYR_TOOLS_WYR_RUN_OPERATOR_H_
#define DRIVERWYR_TOOLS_WYR_RUN_OPERATOR_H_

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "driverwyr/memory_dialog.h"
#include "job_file.h"

namespace wyr {

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

  void Dialog(int group, const driverwyr::MemoryDialogWindow& window);
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

// Plays the operator. Install it with driverwyr::SetUserInterface for the
// length of one GenerateMachineCodeFile call.
class ScriptedOperator final : public driverwyr::MemoryUserInterface {
 public:
  // `script` and `transcript` must outlive the operator. `job_name` prefixes
  // script errors on the standard error stream.
  ScriptedOperator(const std::vector<OperatorEntry>& script, Transcript& transcript, std::string job_name);

  int RunDialog(int template_id, driverwyr::DialogHandler& handler) override;

  // Call once the run has ended: settles a create whose outcome was never
  // reported.
  void Finish();

  // A script that could not be played (an entry not in the material list, a
  // box that cannot be typed into, a hidden "..." button). Every dialog from
  // the faulty one on was cancelled.
  bool script_failed() const { return script_failed_; }
  // A create failed, or a dialog was not ended by a created program or a
  // scripted cancel (its fields never passed validation).
  bool run_failed() const { return run_failed_; }

 private:
  void Play(driverwyr::MemoryDialogWindow& window);
  void PlayActions(driverwyr::MemoryDialogWindow& window, const std::vector<OperatorAction>& actions);
  void ScriptError(const std::string& place, const std::string& message);
  // Reports the validation messages shown since the last call.
  void ReportValidations();
  int AnswerMessage(const std::string& text, unsigned style);
  std::optional<std::string> AnswerBrowser();
  void PressCancel(driverwyr::MemoryDialogWindow& window);

  const std::vector<OperatorEntry>& script_;
  Transcript& transcript_;
  std::string job_name_;

  int group_ = -1;                                    // the dialog being played
  driverwyr::MemoryDialogWindow* window_ = nullptr;   // while it is open
  std::size_t validations_reported_ = 0;
  std::optional<std::string> browse_answer_;          // for the "..." being pressed
  bool scripted_cancel_ = false;                      // the script closed the dialog with Cancel
  bool awaiting_outcome_ = false;                     // "Create..." closed a dialog, no outcome yet
  bool script_failed_ = false;
  bool run_failed_ = false;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_RUN_OPERATOR_H_
