#include "driverwyr/memory_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace driverwyr {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

constexpr int kTemplate = 12957;

// A dialog handler that records the commands it receives. By default
// "Create..." and "Cancel" end the dialog with their id, as the framework's
// OnOK and OnCancel do.
class RecordingHandler : public DialogHandler {
 public:
  std::function<void(DialogWindow&)> init = [](DialogWindow&) {};
  bool end_on_buttons = true;
  int init_calls = 0;
  std::vector<std::pair<int, int>> commands;  // (control id, notification)

  bool OnInitDialog(DialogWindow& window) override {
    ++init_calls;
    init(window);
    return true;
  }
  void OnCommand(DialogWindow& window, int control_id, int notification) override {
    commands.emplace_back(control_id, notification);
    if (end_on_buttons && notification == kButtonClicked &&
        (control_id == kIdOk || control_id == kIdCancel)) {
      window.EndDialog(control_id);
    }
  }
};

class MemoryDialogWindowTest : public ::testing::Test {
 protected:
  RecordingHandler handler;
  MemoryDialogWindow window{kTemplate, handler};

  void OpenWindow() { ASSERT_TRUE(window.Open()); }
};

// --- building from the template ---------------------------------------------

TEST_F(MemoryDialogWindowTest, HoldsTheTemplateItemsWithTheirKindsAndFlags) {
  std::vector<int> template_ids;
#define WYR_ITEM(id, kind, style, text, x, y, w, h) template_ids.push_back(id);
#include "dialog_12957.inc"
#undef WYR_ITEM
  ASSERT_EQ(window.Controls().size(), template_ids.size());
  for (std::size_t i = 0; i < template_ids.size(); ++i) {
    EXPECT_EQ(window.Controls()[i].id, template_ids[i]) << "template order, item " << i + 1;
    if (template_ids[i] >= 0) {
      EXPECT_EQ(window.Find(template_ids[i]), &window.Controls()[i]);
    }
  }

  struct Case {
    int id;
    ControlKind kind;
    bool read_only;
    bool visible;
    const char* text;
  };
  const Case cases[] = {
      {kIdOk, ControlKind::kDefaultPushButton, false, true, "Create..."},
      {kIdCancel, ControlKind::kPushButton, false, true, "Cancel"},
      {1005, ControlKind::kPushButton, false, true, "..."},
      {1080, ControlKind::kEdit, false, true, ""},
      {1084, ControlKind::kEdit, false, true, ""},
      {1014, ControlKind::kEdit, false, true, ""},
      {1009, ControlKind::kComboBox, false, true, ""},
      {1001, ControlKind::kEdit, true, true, ""},
      {1111, ControlKind::kEdit, true, true, ""},
      {1083, ControlKind::kEdit, true, false, ""},
      {1094, ControlKind::kEdit, true, false, ""},
      {1007, ControlKind::kLabel, false, true, "            Hardness"},
      {1008, ControlKind::kLabel, false, false, "Material Number"},
      {1019, ControlKind::kGroupBox, false, true, "Convert Torvane tools names to Talvenor tools names"},
  };
  for (const Case& c : cases) {
    const MemoryControl* control = window.Find(c.id);
    ASSERT_NE(control, nullptr) << c.id;
    EXPECT_EQ(control->kind, c.kind) << c.id;
    EXPECT_EQ(control->read_only, c.read_only) << c.id;
    EXPECT_EQ(control->visible, c.visible) << c.id;
    EXPECT_EQ(window.GetControlText(c.id), c.text) << c.id;
  }
  EXPECT_EQ(window.Find(-1), nullptr) << "controls without an id are not reachable";
  EXPECT_EQ(window.Find(4242), nullptr);
  EXPECT_EQ(window.GetControlText(4242), "");
}

TEST(MemoryDialogWindowTemplates, AnUnknownTemplateHasNoControls) {
  RecordingHandler handler;
  MemoryDialogWindow window(4711, handler);
  EXPECT_TRUE(window.Controls().empty());
}

// --- the window's state -------------------------------------------------------

TEST_F(MemoryDialogWindowTest, OpenCallsOnInitDialogOnceAndEndDialogClosesWithTheFirstResult) {
  EXPECT_FALSE(window.IsOpen());
  EXPECT_EQ(window.Result(), -1);
  handler.init = [this](DialogWindow&) { EXPECT_TRUE(window.IsOpen()) << "open during OnInitDialog"; };
  OpenWindow();
  EXPECT_EQ(handler.init_calls, 1);
  EXPECT_TRUE(window.IsOpen());
  EXPECT_EQ(window.Result(), -1);
  EXPECT_FALSE(window.Open()) << "already open";

  window.EndDialog(7);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_EQ(window.Result(), 7);
  window.EndDialog(kIdCancel);
  EXPECT_EQ(window.Result(), 7) << "a closed window keeps its result";
  EXPECT_FALSE(window.Open()) << "a closed window cannot be reopened";
  EXPECT_EQ(handler.init_calls, 1);
}

TEST_F(MemoryDialogWindowTest, ProgrammaticChangesAreNotCutButTypingIs) {
  OpenWindow();
  window.SetTextLimit(1080, 6);
  window.SetControlText(1080, "PROGRAM-LONGER-THAN-SIX");
  EXPECT_EQ(window.GetControlText(1080), "PROGRAM-LONGER-THAN-SIX");
  window.SetControlText(1001, "/out/read-only/is/settable.wyr");
  EXPECT_EQ(window.GetControlText(1001), "/out/read-only/is/settable.wyr");

  struct Case {
    int limit;
    std::string typed;
    std::string shown;
  };
  const Case cases[] = {
      {6, "1207001", "120700"}, {6, "ABCDEF", "ABCDEF"}, {6, "", ""},
      {0, std::string(300, 'x'), std::string(300, 'x')}, {-3, "no limit", "no limit"},
      {50, std::string(51, 'N'), std::string(50, 'N')}, {1, "\xE9t\xE9", "\xE9"},
  };
  for (const Case& c : cases) {
    window.SetTextLimit(1080, c.limit);
    EXPECT_TRUE(window.Type(1080, c.typed)) << "limit " << c.limit << ", typed " << c.typed;
    EXPECT_EQ(window.GetControlText(1080), c.shown) << "limit " << c.limit << ", typed " << c.typed;
    EXPECT_EQ(window.FocusedControl(), 1080);
  }
}

TEST_F(MemoryDialogWindowTest, TypingIntoBoxesTheOperatorCannotEditIsRefused) {
  OpenWindow();
  window.SetControlText(1001, "kept");
  window.SetControlText(1083, "kept");
  window.SetControlText(1081, "kept");
  window.ShowControl(1081, false);
  struct Case {
    int id;
    const char* why;
  };
  const Case cases[] = {
      {1001, "read-only"}, {1083, "read-only and hidden"}, {1081, "hidden"},
      {1007, "a label"},   {1009, "a combo box"},          {kIdOk, "a button"},
      {4242, "unknown"},   {-1, "no id"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(window.Type(c.id, "typed")) << c.id << " is " << c.why;
    if (window.Find(c.id) != nullptr && window.Find(c.id)->kind == ControlKind::kEdit) {
      EXPECT_EQ(window.GetControlText(c.id), "kept") << c.id;
    }
  }
  window.ShowControl(1081, true);
  EXPECT_TRUE(window.Type(1081, "typed"));

  window.EndDialog(kIdCancel);
  EXPECT_FALSE(window.Type(1080, "after close"));
  EXPECT_EQ(window.GetControlText(1080), "");
}

TEST_F(MemoryDialogWindowTest, ComboBoxEntriesInsertSelectAndChoose) {
  OpenWindow();
  window.InsertComboEntry(1009, -1, "Stainless");
  window.InsertComboEntry(1009, -1, "Aluminium");
  window.InsertComboEntry(1009, 0, "Mild");
  window.InsertComboEntry(1009, 9, "past the end");
  window.InsertComboEntry(1080, -1, "not a combo box");
  EXPECT_EQ(window.Find(1009)->entries, (std::vector<std::string>{"Mild", "Stainless", "Aluminium"}));
  EXPECT_EQ(window.GetComboSelection(1009), -1);
  EXPECT_EQ(window.GetControlText(1009), "");
  EXPECT_EQ(window.GetComboEntry(1009, 3), "");
  EXPECT_EQ(window.GetComboEntry(1009, -1), "");

  struct Case {
    std::string prefix;
    int index;  // the result, and the selection afterwards when not -1
  };
  const Case cases[] = {
      {"alu", 2}, {"STAINLESS", 1}, {"m", 0}, {"", -1}, {"Steel", -1}, {"Mildest", -1},
  };
  int selection = -1;
  for (const Case& c : cases) {
    EXPECT_EQ(window.SelectComboEntry(1009, c.prefix), c.index) << "prefix " << c.prefix;
    if (c.index != -1) selection = c.index;
    EXPECT_EQ(window.GetComboSelection(1009), selection) << "after prefix " << c.prefix;
  }
  EXPECT_TRUE(handler.commands.empty()) << "selecting from the program sends no notification";

  // Inserting before the selected entry keeps that entry selected.
  window.SelectComboEntry(1009, "Stainless");
  window.InsertComboEntry(1009, 0, "Copper");
  EXPECT_EQ(window.GetControlText(1009), "Stainless");

  EXPECT_TRUE(window.Choose(1009, "Aluminium"));
  EXPECT_EQ(window.GetControlText(1009), "Aluminium");
  EXPECT_THAT(handler.commands, ElementsAre(Pair(1009, kComboSelectionChanged)));

  EXPECT_FALSE(window.Choose(1009, "aluminium")) << "the operator chooses an exact entry";
  EXPECT_FALSE(window.Choose(1009, "Alu"));
  EXPECT_FALSE(window.Choose(1080, "Aluminium"));
  EXPECT_EQ(window.GetControlText(1009), "Aluminium");
  EXPECT_EQ(handler.commands.size(), 1u);

  window.ClearComboBox(1009);
  EXPECT_TRUE(window.Find(1009)->entries.empty());
  EXPECT_EQ(window.GetComboSelection(1009), -1);
  EXPECT_FALSE(window.Choose(1009, "Aluminium"));
}

TEST_F(MemoryDialogWindowTest, ButtonsReachTheHandlerOnlyWhenPressable) {
  OpenWindow();
  EXPECT_TRUE(window.Press(1005));
  window.ShowControl(1005, false);
  EXPECT_FALSE(window.Press(1005)) << "hidden button";
  EXPECT_FALSE(window.Press(1080)) << "an edit box";
  EXPECT_FALSE(window.Press(1007)) << "a label";
  EXPECT_FALSE(window.Press(4242)) << "unknown";
  EXPECT_THAT(handler.commands, ElementsAre(Pair(1005, kButtonClicked)));

  EXPECT_TRUE(window.Press(kIdOk));
  EXPECT_EQ(window.Result(), kIdOk);
  EXPECT_FALSE(window.Press(kIdCancel)) << "closed window";
  EXPECT_EQ(window.Result(), kIdOk);
  EXPECT_THAT(handler.commands, ElementsAre(Pair(1005, kButtonClicked), Pair(kIdOk, kButtonClicked)));
}

TEST_F(MemoryDialogWindowTest, RecordsValidationMessagesAndFocus) {
  OpenWindow();
  window.ShowValidationMessage(1084, "Please enter a number.");
  window.FocusControl(1084);
  window.ShowValidationMessage(1080, "Enter no more than 6 characters.");
  window.FocusControl(4242);  // no such control: focus stays
  ASSERT_EQ(window.Validations().size(), 2u);
  EXPECT_EQ(window.Validations()[0].control_id, 1084);
  EXPECT_EQ(window.Validations()[0].text, "Please enter a number.");
  EXPECT_EQ(window.Validations()[1].control_id, 1080);
  EXPECT_EQ(window.Validations()[1].text, "Enter no more than 6 characters.");
  EXPECT_EQ(window.FocusedControl(), 1084);
}

// --- the user interface -------------------------------------------------------

TEST(MemoryUserInterfaceTest, RunsTheOperatorOnTheFilledOpenWindow) {
  RecordingHandler handler;
  handler.init = [](DialogWindow& window) { window.SetControlText(1080, "120700"); };
  MemoryUserInterface ui;
  int dialogs = 0;
  ui.on_dialog = [&](MemoryDialogWindow& window) {
    ++dialogs;
    EXPECT_TRUE(window.IsOpen());
    EXPECT_EQ(window.GetControlText(1080), "120700");
    EXPECT_TRUE(window.Press(kIdOk));
  };
  EXPECT_EQ(ui.RunDialog(kTemplate, handler), kIdOk);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(handler.init_calls, 1);
  EXPECT_THAT(handler.commands, ElementsAre(Pair(kIdOk, kButtonClicked)));
}

TEST(MemoryUserInterfaceTest, PressesCancelWhenTheOperatorLeavesTheWindowOpen) {
  struct Case {
    const char* name;
    bool with_operator;
    bool handler_ends_on_cancel;
  };
  const Case cases[] = {
      {"operator leaves it open", true, true},
      {"no operator", false, true},
      {"handler ignores Cancel", true, false},
  };
  for (const Case& c : cases) {
    RecordingHandler handler;
    handler.end_on_buttons = c.handler_ends_on_cancel;
    MemoryUserInterface ui;
    if (c.with_operator) {
      ui.on_dialog = [](MemoryDialogWindow& window) { window.Type(1080, "X"); };
    }
    EXPECT_EQ(ui.RunDialog(kTemplate, handler), kIdCancel) << c.name;
    EXPECT_THAT(handler.commands, ElementsAre(Pair(kIdCancel, kButtonClicked))) << c.name;
  }
}

TEST(MemoryUserInterfaceTest, ADialogEndedDuringInitIsNotPlayed) {
  RecordingHandler handler;
  handler.init = [](DialogWindow& window) { window.EndDialog(kIdOk); };
  MemoryUserInterface ui;
  bool played = false;
  ui.on_dialog = [&](MemoryDialogWindow&) { played = true; };
  EXPECT_EQ(ui.RunDialog(kTemplate, handler), kIdOk);
  EXPECT_FALSE(played);
  EXPECT_TRUE(handler.commands.empty());
}

TEST(MemoryUserInterfaceTest, AnUnknownTemplateCannotBeShown) {
  RecordingHandler handler;
  MemoryUserInterface ui;
  ui.on_dialog = [](MemoryDialogWindow&) { ADD_FAILURE() << "no window to play"; };
  EXPECT_EQ(ui.RunDialog(4711, handler), -1);
  EXPECT_EQ(handler.init_calls, 0);
}

TEST(MemoryUserInterfaceTest, MessageBoxesAndFolderBrowserUseTheCallbacksOrDefaults) {
  MemoryUserInterface ui;
  RecordingHandler handler;
  MemoryDialogWindow owner(kTemplate, handler);
  EXPECT_EQ(ui.ShowMessageBox("program created failed !", kMessageOk | kMessageIconStop), kIdOk);
  EXPECT_EQ(ui.BrowseForFolder(owner, "Select Folder:", "/out/"), std::nullopt);

  std::vector<std::pair<std::string, unsigned>> boxes;
  ui.on_message = [&](const std::string& text, unsigned style) {
    boxes.emplace_back(text, style);
    return kIdCancel;
  };
  std::vector<std::pair<std::string, std::string>> browsed;
  ui.on_browse = [&](const std::string& title, const std::string& initial) {
    browsed.emplace_back(title, initial);
    return std::optional<std::string>("/new");
  };
  EXPECT_EQ(ui.ShowMessageBox("line one\nline two", kMessageIconWarning), kIdCancel);
  EXPECT_EQ(ui.BrowseForFolder(owner, "Select Folder:", "/out/"), "/new");
  EXPECT_THAT(boxes, ElementsAre(Pair("line one\nline two", kMessageIconWarning)));
  EXPECT_THAT(browsed, ElementsAre(Pair("Select Folder:", "/out/")));
}

}  // namespace
}  // namespace driverwyr
