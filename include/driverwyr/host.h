// Host integration: what a host program can supply to the driver besides the
// entry points, and how it can read back what the store holds.
//
// This is a C++ interface: its classes pass std::string and std::optional and
// are called through vtables, and the record classes and CString follow the
// C++ ABI of the compiler that built the library. Use it only from a host
// built with the same toolchain (GCC or MinGW-w64 g++ of the C++20 library
// the package names) and linked against the same C++ standard library. Every
// other host (Microsoft's compiler, C, C#, Delphi, Python ...) uses
// driverwyr/driverwyr_c.h, which offers all of this with plain C types.
//
// The driver reaches the outside world through a few roles. The platform
// provides a default for each (on Windows the real dialog, message boxes and
// folder browser; on Linux a host must supply the user interface). A host may
// install its own user interface and clock; passing a null pointer restores the
// platform's default. An installed object must stay alive while it is
// installed; the driver never deletes it. All of this runs on the host's
// user-interface thread, like the entry points.
#ifndef DRIVERWYR_HOST_H_
#define DRIVERWYR_HOST_H_

#include <optional>
#include <string>

#include "driverwyr/dialog.h"
#include "driverwyr/driverwyr.h"

namespace driverwyr {

// Message box styles and results used by the driver (the Win32 values; the
// whole dialog contract is in driverwyr/dialog.h).
inline constexpr unsigned kMessageOk = DRIVERWYR_MB_OK;
inline constexpr unsigned kMessageIconStop = DRIVERWYR_MB_ICONSTOP;
inline constexpr unsigned kMessageIconWarning = DRIVERWYR_MB_ICONWARNING;
inline constexpr unsigned kMessageIconInformation = DRIVERWYR_MB_ICONINFORMATION;
inline constexpr unsigned kMessageIconMask = DRIVERWYR_MB_ICONMASK;
inline constexpr int kIdOk = DRIVERWYR_ID_OK;
inline constexpr int kIdCancel = DRIVERWYR_ID_CANCEL;
// Notification of a selection change in a combo box (CBN_SELCHANGE).
inline constexpr int kComboSelectionChanged = DRIVERWYR_CBN_SELCHANGE;
// Notification of a button click (BN_CLICKED).
inline constexpr int kButtonClicked = DRIVERWYR_BN_CLICKED;

// An open modal dialog whose controls are reached by id. The driver's dialog
// logic fills, reads and validates the controls through it; a backend
// (real windows, or an in-memory window) implements it.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  // Text of an edit box or label; for a combo box, the selected entry's text.
  // Unknown ids give the empty string.
  virtual std::string GetControlText(int id) const = 0;
  // Replaces the text of a control. Programmatic: not cut to the typing limit.
  virtual void SetControlText(int id, const std::string& text) = 0;
  // Limits how many characters the operator can type into an edit box; 0
  // lifts the limit.
  virtual void SetTextLimit(int id, int characters) = 0;
  virtual void ShowControl(int id, bool visible) = 0;
  virtual void FocusControl(int id) = 0;
  // Combo box entries: remove all, insert at a position (-1 appends).
  virtual void ClearComboBox(int id) = 0;
  virtual void InsertComboEntry(int id, int index, const std::string& text) = 0;
  // Selects the first entry that begins with `prefix`, ignoring letter case;
  // returns its index, or -1 (selection unchanged) when none does. An empty
  // prefix matches no entry.
  virtual int SelectComboEntry(int id, const std::string& prefix) = 0;
  // Index of the selected entry, or -1.
  virtual int GetComboSelection(int id) const = 0;
  // Text of entry `index`, or the empty string when there is none.
  virtual std::string GetComboEntry(int id, int index) const = 0;
  // Shows the framework's validation message about control `id` (a value that
  // is not a number, or breaks a length or range check). Returns when the
  // operator has acknowledged it.
  virtual void ShowValidationMessage(int id, const std::string& text) = 0;
  // Ends the modal loop; RunDialog returns `result`.
  virtual void EndDialog(int result) = 0;
};

// The driver's side of a modal dialog: the backend calls it.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  // The window exists and its controls are empty: fill them. Returns true.
  virtual bool OnInitDialog(DialogWindow& window) = 0;
  // A command: a button (kIdOk, kIdCancel or another id) with kButtonClicked,
  // or a combo box with kComboSelectionChanged.
  virtual void OnCommand(DialogWindow& window, int control_id, int notification) = 0;
};

// The user interface role: message boxes, modal dialogs and the folder browser.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows `text` (line feeds included) with a Win32 message box style
  // (kMessageOk, kMessageIconStop ...); returns the button that closed it
  // (kIdOk for the driver's boxes).
  virtual int ShowMessageBox(const std::string& text, unsigned style) = 0;
  // Runs dialog template `template_id` modally with `handler`; returns the
  // value passed to EndDialog, or -1 when the dialog could not be shown.
  virtual int RunDialog(int template_id, DialogHandler& handler) = 0;
  // Shows the folder browser over `owner`, titled `title`, starting at
  // `initial_folder`. Returns nothing when the operator cancelled, the empty
  // string when the chosen item has no file-system path, else the folder.
  virtual std::optional<std::string> BrowseForFolder(DialogWindow& owner,
                                                     const std::string& title,
                                                     const std::string& initial_folder) = 0;
};

// A calendar date: full year, month 1..12, day 1..31.
struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// The clock role: today's date in Coordinated Universal Time (program
// numbers and the serial counter) and in local time (date of creation).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual CalendarDate UtcToday() const = 0;
  virtual CalendarDate LocalToday() const = 0;
};

// Installs a user interface or clock; nullptr restores the platform default.
// While a run is in progress (from one of its callbacks) both are refused:
// the installed ones stay, and driverwyr_LastError (driverwyr_c.h) says why.
DRIVERWYR_API void SetUserInterface(UserInterface* ui);
DRIVERWYR_API void SetClock(Clock* clock);

// The platform's own user interface, whichever one is installed: on Windows
// the driver's dialog from its resources (template 12957), message boxes
// captioned with the host application's name and the shell's folder browser;
// elsewhere one that writes message boxes to the standard error stream and
// cannot show dialogs (RunDialog returns -1). A host that installs a user
// interface of its own may forward to it, for example to watch what the
// operator is shown. Its BrowseForFolder wants the DialogWindow that its own
// RunDialog handed to the handler. It lives while the library is loaded.
DRIVERWYR_API UserInterface& PlatformUserInterface();

// A dry run: while it is on, GenerateMachineCodeFile shows every dialog and
// message box a run shows, in the same order, and calculates every step as a
// run does, but claims no serial number (each program keeps the number its
// dialog proposed, which skips the numbers the run gave before, as in a run;
// the counter is left as it is) and writes no program
// file (a create succeeds once the program is complete in memory). For
// pre-flight checks: what a run would meet, without its effects. Off at load.
// Refused, as SetUserInterface is, while a run is in progress.
DRIVERWYR_API void SetDryRun(bool on);

// One step that the last GenerateMachineCodeFile call calculated: where it
// is, what it got and the warnings its message box showed.
struct CalculatedStep {
  int group = 0;            // the dialog's position in the run, from 0
  int step = 0;             // the step's position in its group, from 0
  int number = 0;           // its NumberInSquence (the number the box names)
  int warnings[16] = {};    // the warning codes of its box, 0 for none
  float depth = 0.0f;       // the depth written, mm (the negative of Y1)
  float force = 0.0f;       // the force written (TonnageValue)
};

// How many steps the last call calculated (only steps whose Mode is 0 are),
// in the order it calculated them; and entry `index` of that list, copied
// into *out. GetCalculatedStep returns false, leaving *out alone, for an
// index outside the list.
DRIVERWYR_API int GetCalculatedStepCount();
DRIVERWYR_API bool GetCalculatedStep(int index, CalculatedStep* out);

// The program files that the last GenerateMachineCodeFile call wrote, in the
// order they were written, with the paths they were written to: the ".wyr"
// files themselves, whereas GenerateMachineCodeFile copies into its buffer the
// program path the host gave (".../PART.bmf", moved into the folder the
// operator chose). The list is emptied when the next call starts; it is empty
// when nothing was written.
DRIVERWYR_API int GetWrittenProgramCount();
// Entry `index` (0 to GetWrittenProgramCount() - 1) of that list; the empty
// string for any other index.
DRIVERWYR_API CString GetWrittenProgramPath(int index);

// What became of one group of steps (one dialog) in the last
// GenerateMachineCodeFile call.
enum class GroupOutcome {
  kCreated = 0,    // its program was created (in a dry run: complete in memory)
  kCancelled = 1,  // the operator closed its dialog without creating
  kFailed = 2,     // its dialog could not be shown or its program could not be
                   // created; the run ends there
  kNotRun = 3,     // the run ended at an earlier group
};

// One group of the last run, in the run's order.
struct GroupResult {
  int group = 0;        // the dialog's position in the run, from 0
  int firstStep = 0;    // index of its first step in the store
  int stepCount = 0;    // the number of its steps
  GroupOutcome outcome = GroupOutcome::kNotRun;
  CString programFile;  // the ".wyr" file its dialog named (written when
                        // created, outside a dry run); empty when not run
  CString programName;  // the program number its dialog gave; empty when not run
  CString reason;       // why it failed or was not run; empty otherwise
};

// How many groups the last GenerateMachineCodeFile call found in the store's
// steps (0 before the first call and for a store without steps); and entry
// `index` of that list, copied into *out. GetRunResult returns false, leaving
// *out alone, for an index outside the list or memory exhausted. The list is
// replaced when the next call starts.
DRIVERWYR_API int GetRunResultCount();
DRIVERWYR_API bool GetRunResult(int index, GroupResult* out);

// The DRIVERWYR_MSG_... id of the message box being shown, for a user
// interface's ShowMessageBox to call while it shows the box: tells the
// driver's messages apart without comparing their texts (which carry step
// numbers, file names and extra lines). 0 while no box is shown and for the
// few boxes whose text is not from the string table ("Folder name chosen is
// not valid.").
DRIVERWYR_API int CurrentMessageId();

// The driver's text of message `id` (DRIVERWYR_MSG_... of driverwyr/dialog.h),
// exactly as its message boxes show it, placeholders (%d, %1, %2) unfilled;
// the empty string for an id the string table does not hold. A user interface
// that tells messages apart compares with these texts instead of copying them.
DRIVERWYR_API CString GetMessageText(int id);

// Creates the current user's key of the daily serial counter when it is
// missing, empty, as a host's installation does; the driver itself only opens
// the key and keeps no counter without it. On Windows the key is
// HKEY_CURRENT_USER\Software\Ostrel\TorvaneCommon\Default (under
// Software\Wow6432Node\ for a 32-bit process on 64-bit Windows); elsewhere
// it is the file ${XDG_CONFIG_HOME:-$HOME/.config}/Ostrel/TorvaneCommon/Default,
// created with its folders. An existing key keeps its values. Returns true
// when the key exists afterwards; otherwise false, with the reason in
// *why_not when it is given.
DRIVERWYR_API bool CreateSerialCounterKey(CString* why_not = nullptr);

// A copy of everything the store holds.
struct StoreCopy {
  int unit = 0;
  CString programPath;
  CString dataPath;
  CString conversionPath;
  float materialThickness = 0.0f;
  float materialTensile = 0.0f;
  int materialType = 0;
  RecordArray<CPPStepInfo> steps;
  RecordArray<CPPTool> tools;
  RecordArray<CPPSetup> setups;
  RecordArray<CPPMachine> machines;
  RecordArray<CPPBGauge> gauges;
};

// Fills `out` (which must be empty) with copies of the store's contents,
// creating the store if needed. Returns false when there is no store or memory
// ran out.
DRIVERWYR_API bool CopyStore(StoreCopy& out);

}  // namespace driverwyr

#endif  // DRIVERWYR_HOST_H_
