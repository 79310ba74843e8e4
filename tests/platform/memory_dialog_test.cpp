#include "driverwyr/memory_dialog.h"

#include "driverwyr/dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace driverwyr {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

constexpr int kTemplate = DRIVERWYR_DIALOG_PROGRAM_CREATION;

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
    if (end_on_buttons && notification == kButtonClicked && (control_id == kIdOk || control_id == kIdCancel)) {
      window.EndDialog(control_id);
    }
  }
};

class MemoryDialogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window.Open()); }
  RecordingHandler handler;
  MemoryDialogWindow window{kTemplate, handler};
};

TEST(MemoryDialogWindowTemplate, HoldsTheTemplateItemsWithTheirKindsAndFlags) {
  RecordingHandler handler;
  MemoryDialogWindow window(kTemplate, handler);
  std::vector<int> template_ids;
#define WYR_ITEM(id, kind, style, text, x, y, w, h) template_ids.push_back(id);
  DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS(WYR_ITEM)
#undef WYR_ITEM
  ASSERT_EQ(window.Controls().size(), template_ids.size());
  for (std::size_t i = 0; i < template_ids.size(); ++i) {
    EXPECT_EQ(window.Controls()[i].id, template_ids[i]) << "template order, item " << i + 1;
    EXPECT_TRUE(template_ids[i] < 0 || window.Find(template_ids[i]) == &window.Controls()[i]) << "item " << i + 1;
  }
  using K = ControlKind;
  const struct { int id; ControlKind kind; bool read_only, visible; const char* text; } cases[] = {
      {kIdOk, K::kDefaultPushButton, false, true, "Create..."}, {kIdCancel, K::kPushButton, false, true, "Cancel"},
      {DRIVERWYR_IDC_BROWSE, K::kPushButton, false, true, "..."},                {DRIVERWYR_IDC_PROGRAM_NAME, K::kEdit, false, true, ""},
      {DRIVERWYR_IDC_HARDNESS, K::kEdit, false, true, ""},                         {DRIVERWYR_IDC_CONTROL_SPACER_NAME, K::kEdit, false, true, ""},
      {DRIVERWYR_IDC_MATERIAL_LIST, K::kComboBox, false, true, ""},                     {DRIVERWYR_IDC_FILE_NAME, K::kEdit, true, true, ""},
      {DRIVERWYR_IDC_DIE_HOLDER_REV, K::kEdit, true, true, ""},                          {DRIVERWYR_IDC_MATERIAL_NAME, K::kEdit, true, false, ""},
      {DRIVERWYR_IDC_MATERIAL_NUMBER, K::kEdit, true, false, ""},     {DRIVERWYR_IDC_HARDNESS_LABEL, K::kLabel, false, true, "            Hardness"},
      {DRIVERWYR_IDC_MATERIAL_NUMBER_LABEL, K::kLabel, false, false, "Material Number"},
      {DRIVERWYR_IDC_TOOL_NAMES_GROUP, K::kGroupBox, false, true, "Convert Torvane tools names to Talvenor tools names"},
  };
  for (const auto& c : cases) {
    const MemoryControl* control = window.Find(c.id);
    ASSERT_NE(control, nullptr) << c.id;
    EXPECT_EQ(std::make_tuple(control->kind, control->read_only, control->visible, window.GetControlText(c.id)),
              std::make_tuple(c.kind, c.read_only, c.visible, std::string(c.text)))
        << c.id;
  }
  EXPECT_EQ(window.Find(-1), nullptr) << "controls without an id are not reachable";
  EXPECT_EQ(window.Find(4242), nullptr);
  EXPECT_EQ(window.GetControlText(4242), "");
}

TEST(MemoryDialogWindowTemplate, OpenCallsOnInitDialogOnceAndEndDialogClosesWithTheFirstResult) {
  RecordingHandler handler;
  MemoryDialogWindow window(kTemplate, handler);
  EXPECT_EQ(window.Result(), -1);
  handler.init = [&](DialogWindow&) { EXPECT_TRUE(window.IsOpen()) << "open during OnInitDialog"; };
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(window.Result(), -1);
  EXPECT_FALSE(window.Open()) << "already open";
  window.EndDialog(7);
  EXPECT_FALSE(window.IsOpen());
  window.EndDialog(kIdCancel);
  EXPECT_EQ(window.Result(), 7) << "a closed window keeps its first result";
  EXPECT_FALSE(window.Open()) << "a closed window cannot be reopened";
  EXPECT_EQ(handler.init_calls, 1);
}

TEST_F(MemoryDialogWindowTest, ProgrammaticChangesAreNotCutButTypingIs) {
  window.SetTextLimit(DRIVERWYR_IDC_PROGRAM_NAME, 6);
  window.SetControlText(DRIVERWYR_IDC_PROGRAM_NAME, "PROGRAM-LONGER-THAN-SIX");
  EXPECT_EQ(window.GetControlText(DRIVERWYR_IDC_PROGRAM_NAME), "PROGRAM-LONGER-THAN-SIX");
  window.SetControlText(DRIVERWYR_IDC_FILE_NAME, "/out/read-only/is/settable.wyr");
  EXPECT_EQ(window.GetControlText(DRIVERWYR_IDC_FILE_NAME), "/out/read-only/is/settable.wyr");
  const struct { int limit; std::string typed, shown; } cases[] = {
      {6, "1207001", "120700"}, {6, "ABCDEF", "ABCDEF"}, {6, "", ""},
      {0, std::string(300, 'x'), std::string(300, 'x')}, {-3, "no limit", "no limit"},
      {1, "\xE9t\xE9", "\xE9"},
  };
  for (const auto& c : cases) {
    window.SetTextLimit(DRIVERWYR_IDC_PROGRAM_NAME, c.limit);
    EXPECT_TRUE(window.Type(DRIVERWYR_IDC_PROGRAM_NAME, c.typed)) << "limit " << c.limit << ", typed " << c.typed;
    EXPECT_EQ(window.GetControlText(DRIVERWYR_IDC_PROGRAM_NAME), c.shown) << "limit " << c.limit << ", typed " << c.typed;
    EXPECT_EQ(window.FocusedControl(), DRIVERWYR_IDC_PROGRAM_NAME);
  }
}

TEST_F(MemoryDialogWindowTest, TypingIntoBoxesTheOperatorCannotEditIsRefused) {
  for (int id : {DRIVERWYR_IDC_FILE_NAME, DRIVERWYR_IDC_MATERIAL_NAME, DRIVERWYR_IDC_PART_REFERENCE}) window.SetControlText(id, "kept");
  window.ShowControl(DRIVERWYR_IDC_PART_REFERENCE, false);
  // read-only, read-only and hidden, hidden, a label, a combo box, a button, unknown, no id
  for (int id : {DRIVERWYR_IDC_FILE_NAME, DRIVERWYR_IDC_MATERIAL_NAME, DRIVERWYR_IDC_PART_REFERENCE, DRIVERWYR_IDC_HARDNESS_LABEL, DRIVERWYR_IDC_MATERIAL_LIST, kIdOk, 4242, -1}) {
    EXPECT_FALSE(window.Type(id, "typed")) << id;
    if (window.Find(id) != nullptr && window.Find(id)->kind == ControlKind::kEdit) {
      EXPECT_EQ(window.GetControlText(id), "kept") << id;
    }
  }
  window.ShowControl(DRIVERWYR_IDC_PART_REFERENCE, true);
  EXPECT_TRUE(window.Type(DRIVERWYR_IDC_PART_REFERENCE, "typed"));
  window.EndDialog(kIdCancel);
  EXPECT_FALSE(window.Type(DRIVERWYR_IDC_PROGRAM_NAME, "after close"));
  EXPECT_EQ(window.GetControlText(DRIVERWYR_IDC_PROGRAM_NAME), "");
}

TEST_F(MemoryDialogWindowTest, ComboBoxEntriesInsertSelectAndChoose) {
  window.InsertComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, -1, "Stainless");
  window.InsertComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, -1, "Aluminium");
  window.InsertComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, 0, "Mild");
  window.InsertComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, 9, "past the end");
  window.InsertComboEntry(DRIVERWYR_IDC_PROGRAM_NAME, -1, "not a combo box");
  EXPECT_EQ(window.Find(DRIVERWYR_IDC_MATERIAL_LIST)->entries, (std::vector<std::string>{"Mild", "Stainless", "Aluminium"}));
  EXPECT_EQ(window.GetComboSelection(DRIVERWYR_IDC_MATERIAL_LIST), -1);
  EXPECT_EQ(window.GetComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, 3), "");
  EXPECT_EQ(window.GetComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, -1), "");

  // The result, and the selection afterwards when not -1.
  const struct { std::string prefix; int index; } cases[] = {{"alu", 2}, {"STAINLESS", 1}, {"m", 0}, {"", -1}, {"Steel", -1}, {"Mildest", -1}};
  int selection = -1;
  for (const auto& c : cases) {
    EXPECT_EQ(window.SelectComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, c.prefix), c.index) << "prefix " << c.prefix;
    if (c.index != -1) selection = c.index;
    EXPECT_EQ(window.GetComboSelection(DRIVERWYR_IDC_MATERIAL_LIST), selection) << "after prefix " << c.prefix;
  }
  EXPECT_THAT(handler.commands, IsEmpty()) << "selecting from the program sends no notification";

  // Inserting before the selected entry keeps that entry selected.
  window.SelectComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, "Stainless");
  window.InsertComboEntry(DRIVERWYR_IDC_MATERIAL_LIST, 0, "Copper");
  EXPECT_EQ(window.GetControlText(DRIVERWYR_IDC_MATERIAL_LIST), "Stainless");

  EXPECT_TRUE(window.Choose(DRIVERWYR_IDC_MATERIAL_LIST, "Aluminium"));
  // The operator chooses an exact entry of a combo box.
  const std::pair<int, const char*> not_choosable[] = {{DRIVERWYR_IDC_MATERIAL_LIST, "aluminium"}, {DRIVERWYR_IDC_MATERIAL_LIST, "Alu"}, {DRIVERWYR_IDC_PROGRAM_NAME, "Aluminium"}};
  for (const auto& [id, entry] : not_choosable) EXPECT_FALSE(window.Choose(id, entry)) << id << " " << entry;
  EXPECT_EQ(window.GetControlText(DRIVERWYR_IDC_MATERIAL_LIST), "Aluminium");
  EXPECT_THAT(handler.commands, ElementsAre(Pair(DRIVERWYR_IDC_MATERIAL_LIST, kComboSelectionChanged)));

  window.ClearComboBox(DRIVERWYR_IDC_MATERIAL_LIST);
  EXPECT_THAT(window.Find(DRIVERWYR_IDC_MATERIAL_LIST)->entries, IsEmpty());
  EXPECT_EQ(window.GetComboSelection(DRIVERWYR_IDC_MATERIAL_LIST), -1);
  EXPECT_FALSE(window.Choose(DRIVERWYR_IDC_MATERIAL_LIST, "Aluminium"));
}

TEST_F(MemoryDialogWindowTest, ButtonsReachTheHandlerOnlyWhenPressable) {
  EXPECT_TRUE(window.Press(DRIVERWYR_IDC_BROWSE));
  window.ShowControl(DRIVERWYR_IDC_BROWSE, false);
  for (int id : {DRIVERWYR_IDC_BROWSE, DRIVERWYR_IDC_PROGRAM_NAME, DRIVERWYR_IDC_HARDNESS_LABEL, 4242}) EXPECT_FALSE(window.Press(id)) << id;  // hidden, edit, label, unknown
  EXPECT_TRUE(window.Press(kIdOk));
  EXPECT_FALSE(window.Press(kIdCancel)) << "closed window";
  EXPECT_EQ(window.Result(), kIdOk);
  EXPECT_THAT(handler.commands, ElementsAre(Pair(DRIVERWYR_IDC_BROWSE, kButtonClicked), Pair(kIdOk, kButtonClicked)));
}

TEST_F(MemoryDialogWindowTest, RecordsValidationMessagesAndFocus) {
  window.ShowValidationMessage(DRIVERWYR_IDC_HARDNESS, "Please enter a number.");
  window.FocusControl(DRIVERWYR_IDC_HARDNESS);
  window.ShowValidationMessage(DRIVERWYR_IDC_PROGRAM_NAME, "Enter no more than 6 characters.");
  window.FocusControl(4242);  // no such control: focus stays
  std::vector<std::pair<int, std::string>> shown;
  for (const ValidationNotice& v : window.Validations()) shown.emplace_back(v.control_id, v.text);
  EXPECT_THAT(shown, ElementsAre(Pair(DRIVERWYR_IDC_HARDNESS, "Please enter a number."), Pair(DRIVERWYR_IDC_PROGRAM_NAME, "Enter no more than 6 characters.")));
  EXPECT_EQ(window.FocusedControl(), DRIVERWYR_IDC_HARDNESS);
}

// --- the user interface -------------------------------------------------------

// Operators, message boxes and the folder browser with callbacks are played by
// the creation tests and by wyr run; these are the cases they do not reach.
TEST(MemoryUserInterfaceTest, DialogsThatAreNotPlayedAndDefaultAnswers) {
  MemoryUserInterface ui;
  bool played = false;
  ui.on_dialog = [&](MemoryDialogWindow&) { played = true; };
  RecordingHandler ends_at_once;
  ends_at_once.init = [](DialogWindow& window) { window.EndDialog(kIdOk); };
  EXPECT_EQ(ui.RunDialog(kTemplate, ends_at_once), kIdOk) << "ended during OnInitDialog";
  EXPECT_THAT(ends_at_once.commands, IsEmpty());
  RecordingHandler unknown;
  EXPECT_THAT(MemoryDialogWindow(4711, unknown).Controls(), IsEmpty());
  EXPECT_EQ(ui.RunDialog(4711, unknown), -1) << "an unknown template cannot be shown";
  EXPECT_EQ(unknown.init_calls, 0);
  EXPECT_FALSE(played);

  MemoryDialogWindow owner(kTemplate, unknown);
  EXPECT_EQ(ui.ShowMessageBox("program created failed !", kMessageOk | kMessageIconStop), kIdOk);
  EXPECT_EQ(ui.BrowseForFolder(owner, "Select Folder:", "/out/"), std::nullopt);
}

TEST(MemoryUserInterfaceTest, PressesCancelWhenTheOperatorLeavesTheWindowOpen) {
  const struct { const char* name; bool with_operator, handler_ends_on_cancel; } cases[] = {
      {"operator leaves it open", true, true}, {"no operator", false, true}, {"handler ignores Cancel", true, false}};
  for (const auto& c : cases) {
    RecordingHandler handler;
    handler.end_on_buttons = c.handler_ends_on_cancel;
    MemoryUserInterface ui;
    if (c.with_operator) ui.on_dialog = [](MemoryDialogWindow& window) { window.Type(DRIVERWYR_IDC_PROGRAM_NAME, "X"); };
    EXPECT_EQ(ui.RunDialog(kTemplate, handler), kIdCancel) << c.name;
    EXPECT_THAT(handler.commands, ElementsAre(Pair(kIdCancel, kButtonClicked))) << c.name;
  }
}

}  // namespace
}  // namespace driverwyr
