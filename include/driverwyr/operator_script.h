// Operator scripts: a program playing the operator of the driver's dialogs.
//
// A host without a person at the screen (a test rig, a batch host, the
// pre-flight report of driverwyr/preflight.h) describes what the operator does
// with each creation dialog as an OperatorEntry: press "Create...", press
// "Cancel", or a list of actions (type into an edit box, choose a material,
// browse for a folder, press a button). A ScriptPlayer plays such a script on
// every dialog the driver shows, acknowledges every message box and answers
// the folder browser, and tells a PlayObserver everything the operator was
// shown.
//
// The player does not care what shows the windows: a backend carries out the
// window actions (OperatorBackend) and reports back to the player. The
// library's own backend is the in-memory window (MakeMemoryOperatorUi); a host
// may write one for real windows.
//
// This is a C++ interface, with the same toolchain requirements as
// driverwyr/host.h. Everything runs on the host's user-interface thread.
#ifndef DRIVERWYR_OPERATOR_SCRIPT_H_
#define DRIVERWYR_OPERATOR_SCRIPT_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driverwyr/dialog.h"
#include "driverwyr/host.h"

namespace driverwyr {

// Controls of the creation dialog that the operator uses by id.
inline constexpr int kMaterialList = DRIVERWYR_IDC_MATERIAL_LIST;
inline constexpr int kBrowseButton = DRIVERWYR_IDC_BROWSE;
inline constexpr int kProgramNameBox = DRIVERWYR_IDC_PROGRAM_NAME;
inline constexpr int kFileNameBox = DRIVERWYR_IDC_FILE_NAME;

// The dialog's editable boxes, by id, with the name of the dialog member
// bound to each: the boxes a script may type into.
struct EditableBox {
  int id;
  std::string_view name;
};
inline constexpr EditableBox kEditableBoxes[] = {
    {DRIVERWYR_IDC_PROGRAM_NAME, "ProgramName"},
    {DRIVERWYR_IDC_PART_REFERENCE, "PartReference"},
    {DRIVERWYR_IDC_HARDNESS, "Hardness"},
    {DRIVERWYR_IDC_CONTROL_PUNCH_NAME, "ControlPunchName"},
    {DRIVERWYR_IDC_CONTROL_DIE_NAME, "ControlDieName"},
    {DRIVERWYR_IDC_CONTROL_DIE_HOLDER_NAME, "ControlDieHolderName"},
    {DRIVERWYR_IDC_CONTROL_SPACER_NAME, "ControlSpacerName"},
};

// The member name of editable box `id` ("Hardness" for 1084); empty for any
// other id.
constexpr std::string_view EditableBoxName(int id) {
  for (const EditableBox& box : kEditableBoxes) {
    if (box.id == id) return box.name;
  }
  return {};
}

// One action of the operator on an open dialog.
struct OperatorAction {
  enum class Kind { kType, kSelect, kBrowse, kPress };
  Kind kind = Kind::kPress;
  int control = 0;    // kType: the edit box's id
  std::string text;   // kType: the text typed; kSelect: the entry chosen
  // kBrowse: the folder chosen, in the platform's form; nothing cancels the
  // browser; the empty string is an item without a file-system path.
  std::optional<std::string> folder;
  int button = 0;     // kPress: kIdOk ("Create...") or kIdCancel ("Cancel")
};

// What the operator does with one dialog. A script is a list of entries,
// one per dialog in the order the dialogs appear; dialogs beyond its end get
// kCreate. When the actions run out with the dialog still open, the player
// presses "Create..." once more, and "Cancel" when the dialog is still open
// after that.
struct OperatorEntry {
  enum class Kind { kCreate, kCancel, kActions };
  Kind kind = Kind::kCreate;
  std::vector<OperatorAction> actions;  // kActions
};

// What an open dialog shows once it has been filled.
struct DialogSnapshot {
  // Every edit box and combo box with an id, visible or not, by ascending id,
  // with its text (a combo box: its selected entry's text).
  std::vector<std::pair<int, std::string>> controls;
  std::vector<std::string> materials;  // the entries of the material list
  bool browse = false;                 // whether "..." is shown

  // The text of control `id`; empty when the snapshot has no such control.
  std::string TextOf(int id) const {
    for (const auto& [control, text] : controls) {
      if (control == id) return text;
    }
    return {};
  }
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

// Whoever watches the play: told, in the order things happen, what the
// operator was shown and did. The player itself prints nothing.
class PlayObserver {
 public:
  virtual ~PlayObserver() = default;
  // The dialog of `group` (its position in the run, from 0) is open and filled.
  virtual void DialogShown(int group, const DialogSnapshot& dialog) = 0;
  // "Create..." is about to be pressed: what the dialog will read back.
  virtual void CreatePressed(int group, const DialogSnapshot& dialog) = 0;
  virtual void Validation(int group, int control, const std::string& text) = 0;
  virtual void Message(int group, const std::string& text, unsigned style) = 0;
  // `scripted_cancel`: the script's own "Cancel" closed it (not the player,
  // after fields that never passed or a script that could not be played).
  virtual void DialogClosed(int group, int result, bool scripted_cancel) = 0;
  // Something to tell the person who wrote the script. `fails` tells whether
  // it fails the run (a script that cannot be played, an operator that could
  // not play) or is a notice (actions ignored because the dialog closed
  // before them). `group` is the dialog being played, -1 before the first.
  virtual void Problem(int group, const std::string& text, bool fails) = 0;
};

// Plays a script. A backend calls it in the order things happen:
// DialogStarts, then PlayDialog when the dialog is open and filled (not when
// it could not be shown), then DialogClosed; Message for every message box,
// Validation for every validation message, BrowseAnswer when the folder
// browser is up.
class DRIVERWYR_API ScriptPlayer {
 public:
  // `script` and `observer` must outlive the player.
  ScriptPlayer(const std::vector<OperatorEntry>& script, PlayObserver& observer);

  void DialogStarts();
  void PlayDialog(OperatorBackend& dialog);
  void DialogClosed(int result);
  void Validation(int control, const std::string& text);
  void Message(const std::string& text, unsigned style);
  // The folder the script chooses for the "..." being pressed: nothing
  // cancels, the empty string is an item without a file-system path.
  std::optional<std::string> BrowseAnswer() const { return browse_answer_; }

  // Something went wrong while playing (a window that never appeared, a
  // record that could not be kept): reported to the observer, and the run
  // fails.
  void Fail(const std::string& message);

  // Call once the run has ended: settles a create whose outcome was never
  // reported.
  void Finish();

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

  const std::vector<OperatorEntry>& script_;
  PlayObserver& observer_;

  int group_ = -1;                            // the dialog being played
  std::optional<std::string> browse_answer_;  // for the "..." being pressed
  bool scripted_cancel_ = false;              // the script closed the dialog with Cancel
  bool awaiting_outcome_ = false;             // "Create..." closed a dialog, no outcome yet
  bool script_failed_ = false;
  bool run_failed_ = false;
};

// One run's user interface, played by a ScriptPlayer. Install Interface()
// with SetUserInterface for the length of the GenerateMachineCodeFile call,
// and call Finish() once it has returned.
class OperatorUi {
 public:
  virtual ~OperatorUi() = default;
  virtual UserInterface& Interface() = 0;
  // Waits until everything the run showed has been answered and reported.
  virtual void Finish() = 0;
};

// The in-memory window (driverwyr/memory_dialog.h), played by `player` from
// inside the driver's call, on the driver's thread. `player` must outlive
// it. Nothing escapes its callbacks: a failure while playing is reported
// through ScriptPlayer::Fail.
DRIVERWYR_API std::unique_ptr<OperatorUi> MakeMemoryOperatorUi(ScriptPlayer& player);

}  // namespace driverwyr

#endif  // DRIVERWYR_OPERATOR_SCRIPT_H_
