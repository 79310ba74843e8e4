// The operator of `wyr run`: plays a job's operator script on every dialog the
// driver shows, acknowledges every message box, answers the folder browser,
// and reports what happened on standard output and in the transcript.
//
// The script is played once, here, whatever shows the windows. A backend
// carries out the window actions: the in-memory window or the platform's real
// windows (`--ui`, operator_ui.h). While an action
// runs, the backend tells the player what the operator was shown (validation
// messages, message boxes) and asks it how to answer the folder browser.
#ifndef DRIVERWYR_TOOLS_WYR_RUN_OPERATOR_H_
#define DRIVERWYR_TOOLS_WYR_RUN_OPERATOR_H_

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driverwyr/dialog.h"
#include "driverwyr/host.h"
#include "job_file.h"

namespace wyr {

// Controls of the creation dialog that the operator uses by id.
inline constexpr int kMaterialList = DRIVERWYR_IDC_MATERIAL_LIST;
inline constexpr int kBrowseButton = DRIVERWYR_IDC_BROWSE;
inline constexpr int kProgramNameBox = DRIVERWYR_IDC_PROGRAM_NAME;
inline constexpr int kFileNameBox = DRIVERWYR_IDC_FILE_NAME;

// What an open dialog shows once it has been filled.
struct DialogSnapshot {
  // Every edit box and combo box with an id, visible or not, by ascending id,
  // with its text (a combo box: its selected entry's text).
  std::vector<std::pair<int, std::string>> controls;
  std::vector<std::string> materials;  // the entries of the material list
  bool browse = false;                 // whether "..." is shown
};

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
  // Why the first line that failed could not be written; empty while none has.
  const std::string& failure() const { return reason_; }

 private:
  void WriteLine(const std::string& line);

  std::FILE* file_ = nullptr;
  bool failed_ = false;
  std::string reason_;
};

// The window actions on one open dialog. Each action returns once the dialog
// has handled it; what the operator was shown meanwhile has been reported to
// the player.
class OperatorBackend {
 public:
  virtual ~OperatorBackend() = default;
  virtual DialogSnapshot Snapshot() = 0;
  // The text of a control (a combo box: its selected entry's text).
  virtual std::string ControlText(int id) = 0;
  // Replaces the text of edit box `id` as typing would, cut to its typing
  // limit. False (nothing typed) when `id` is no visible, editable edit box.
  virtual bool Type(int id, const std::string& text) = 0;
  // Chooses the entry equal to `entry` in combo box `id`, so that its
  // selection-change handler runs. False when there is no such entry.
  virtual bool Choose(int id, const std::string& entry) = 0;
  // Presses button `id`. False when it is no visible button.
  virtual bool Press(int id) = 0;
  virtual bool IsOpen() = 0;
};

// Whoever watches the play in place of the console (the pre-flight report):
// while one is given, the player prints nothing on the standard streams and
// tells it instead what the operator was shown. The transcript is written
// either way.
class PlayObserver {
 public:
  virtual ~PlayObserver() = default;
  // The dialog of `group` is open and filled.
  virtual void DialogShown(int group, const DialogSnapshot& dialog) = 0;
  // "Create..." is about to be pressed: what the dialog will read back.
  virtual void CreatePressed(int group, const DialogSnapshot& dialog) = 0;
  virtual void Validation(int group, int control, const std::string& text) = 0;
  virtual void Message(int group, const std::string& text, unsigned style) = 0;
  // `scripted_cancel`: the script's own "Cancel" closed it (not the player,
  // after fields that never passed or a script that could not be played).
  virtual void DialogClosed(int group, int result, bool scripted_cancel) = 0;
  // What the player would have said on the standard error stream, without
  // the job's name in front. `fails` tells whether it fails the run (a
  // script that cannot be played, an operator that could not play) or is a
  // notice (actions ignored because the dialog closed before them).
  virtual void Problem(const std::string& text, bool fails) = 0;
};

// Plays the script. The calls come in the order things happen: DialogStarts,
// then PlayDialog when the dialog is open and filled (not when it could not be
// shown), then DialogClosed; Message for every message box, Validation for
// every validation message, BrowseAnswer when the folder browser is up.
class ScriptPlayer {
 public:
  // `script` and `transcript` (and `observer`, when given) must outlive the
  // player. `job_name` prefixes messages on the standard error stream.
  ScriptPlayer(const std::vector<OperatorEntry>& script, Transcript& transcript, std::string job_name,
               PlayObserver* observer = nullptr);

  void DialogStarts();
  void PlayDialog(OperatorBackend& dialog);
  void DialogClosed(int result);
  void Validation(int control, const std::string& text);
  void Message(const std::string& text, unsigned style);
  // The folder the script chooses for the "..." being pressed: nothing
  // cancels, the empty string is an item without a file-system path.
  std::optional<std::string> BrowseAnswer() const { return browse_answer_; }

  // Something went wrong while playing (a window that never appeared, a
  // transcript that could not be written): reported on the standard error
  // stream, and the run fails.
  void Fail(const std::string& message);

  // Call once the run has ended: settles a create whose outcome was never
  // reported.
  void Finish();

  // `hold` is called with true when "Create..." has closed a dialog (a
  // program may be on its way to the disk) and with false once the outcome
  // has been reported (its line printed) or will never be: `wyr run` holds
  // back signals that would end it in between, so that no program is left on
  // disk without its line.
  void set_outcome_hold(void (*hold)(bool)) { hold_ = hold; }

  int group() const { return group_; }
  // A script that could not be played (an entry not in the material list, a
  // box that cannot be typed into, a hidden "..." button). Every dialog from
  // the faulty one on was cancelled.
  bool script_failed() const { return script_failed_; }
  // A create failed, a dialog was not ended by a created program or a
  // scripted cancel (its fields never passed validation), or the operator
  // could not play.
  bool run_failed() const { return run_failed_; }

 private:
  void PlayActions(OperatorBackend& dialog, const std::vector<OperatorAction>& actions);
  void ScriptError(const std::string& place, const std::string& message);
  void PressCreate(OperatorBackend& dialog);
  void PressCancel(OperatorBackend& dialog);
  void SayProblem(const std::string& text, bool fails);
  void AwaitOutcome(bool awaiting);

  const std::vector<OperatorEntry>& script_;
  Transcript& transcript_;
  std::string job_name_;
  PlayObserver* observer_ = nullptr;
  void (*hold_)(bool) = nullptr;

  int group_ = -1;                            // the dialog being played
  std::optional<std::string> browse_answer_;  // for the "..." being pressed
  bool scripted_cancel_ = false;              // the script closed the dialog with Cancel
  bool awaiting_outcome_ = false;             // "Create..." closed a dialog, no outcome yet
  bool script_failed_ = false;
  bool run_failed_ = false;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_RUN_OPERATOR_H_
