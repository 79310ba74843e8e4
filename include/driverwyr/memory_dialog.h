// In-memory dialog windows: the driver's dialog without a screen.
//
// MemoryDialogWindow holds the controls of dialog template 12957 (ids, kinds,
// read-only and hidden flags, texts, typing limits, combo box entries, focus)
// and lets a program act as the operator: type into an editable box (cut to
// its typing limit, as a keyboard would), choose a combo box entry, press a
// button. MemoryUserInterface runs every dialog the driver shows in such a
// window and hands it to an operator callback; it also answers message boxes
// and the folder browser through callbacks. Hosts without a screen (wyr, tests)
// install it with driverwyr::SetUserInterface.
#ifndef DRIVERWYR_MEMORY_DIALOG_H_
#define DRIVERWYR_MEMORY_DIALOG_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driverwyr/host.h"

namespace driverwyr {

enum class ControlKind { kPushButton, kDefaultPushButton, kEdit, kComboBox, kLabel, kGroupBox };

struct MemoryControl {
  int id = -1;
  ControlKind kind = ControlKind::kLabel;
  bool read_only = false;
  bool visible = true;
  std::string text;                  // edit boxes, labels, buttons
  int text_limit = 0;                // 0 = no limit
  std::vector<std::string> entries;  // combo boxes
  int selection = -1;                // combo boxes
};

// A validation message shown by the dialog logic.
struct ValidationNotice {
  int control_id = 0;
  std::string text;
};

class DRIVERWYR_API MemoryDialogWindow : public DialogWindow {
 public:
  // The controls of dialog template `template_id` (12957 is the only one),
  // with their initial visibility and empty texts, driven by `handler`.
  MemoryDialogWindow(int template_id, DialogHandler& handler);
  MemoryDialogWindow(const MemoryDialogWindow&) = delete;
  MemoryDialogWindow& operator=(const MemoryDialogWindow&) = delete;
  ~MemoryDialogWindow() override;

  // --- DialogWindow --------------------------------------------------------
  std::string GetControlText(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  void SetTextLimit(int id, int characters) override;
  void ShowControl(int id, bool visible) override;
  void FocusControl(int id) override;
  void ClearComboBox(int id) override;
  void InsertComboEntry(int id, int index, const std::string& text) override;
  int SelectComboEntry(int id, const std::string& prefix) override;
  int GetComboSelection(int id) const override;
  std::string GetComboEntry(int id, int index) const override;
  void ShowValidationMessage(int id, const std::string& text) override;
  void EndDialog(int result) override;

  // --- the operator ---------------------------------------------------------
  // Calls the handler's OnInitDialog; the window is then open.
  bool Open();
  // Replaces the text of edit box `id` as typing would: cut to its typing
  // limit. False (nothing changes) when `id` is no visible, editable edit box
  // or the window is closed.
  bool Type(int id, const std::string& text);
  // Chooses the entry equal to `entry` in combo box `id` and notifies the
  // handler of the selection change. False when there is no such entry.
  bool Choose(int id, const std::string& entry);
  // Presses button `id` (kIdOk, kIdCancel, 1005 ...). False when `id` is no
  // visible button or the window is closed.
  bool Press(int id);

  // --- what happened --------------------------------------------------------
  bool IsOpen() const;
  // The value passed to EndDialog, or -1 while the window is open.
  int Result() const;
  const MemoryControl* Find(int id) const;
  const std::vector<MemoryControl>& Controls() const;
  int FocusedControl() const;
  // Validation messages shown so far, oldest first.
  const std::vector<ValidationNotice>& Validations() const;

 private:
  struct State;
  State* state_;  // owned; keeps the class layout independent of its contents
};

// A user interface without a screen. Every callback is optional:
//  - on_dialog plays the operator of each dialog (the window is open when it is
//    called; when it returns with the window still open, RunDialog presses
//    "Cancel");
//  - on_message answers message boxes (default: kIdOk);
//  - on_browse answers the folder browser with the initial folder it was
//    given (default: cancel).
class DRIVERWYR_API MemoryUserInterface : public UserInterface {
 public:
  std::function<void(MemoryDialogWindow&)> on_dialog;
  std::function<int(const std::string& text, unsigned style)> on_message;
  std::function<std::optional<std::string>(const std::string& title, const std::string& initial_folder)>
      on_browse;

  MemoryUserInterface();
  ~MemoryUserInterface() override;
  int ShowMessageBox(const std::string& text, unsigned style) override;
  int RunDialog(int template_id, DialogHandler& handler) override;
  std::optional<std::string> BrowseForFolder(DialogWindow& owner, const std::string& title,
                                             const std::string& initial_folder) override;
};

}  // namespace driverwyr

#endif  // DRIVERWYR_MEMORY_DIALOG_H_
