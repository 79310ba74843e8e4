// The real dialog, message boxes and folder browser (under Wine with a
// virtual display in the cross build). A thread timer plays the operator: it
// fires inside the modal loops and acts on the windows it finds, step by step.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_ui.h"

namespace driverwyr {
namespace {

constexpr int kTemplate = 12957;
constexpr char kCaption[] = "Postprocessor Program Creation Dialog:";
// Message boxes carry the host application's name: this program's.
constexpr char kHostName[] = "win32_dialog_test";

// ---------------------------------------------------------------------------
// The operator: steps run one per timer tick until each reports done.

struct Script {
  std::vector<std::function<bool()>> steps;
  std::size_t next = 0;
  int ticks = 0;
  bool busy = false;
  bool timed_out = false;
};

Script* g_script = nullptr;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct Search {
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (ClassOf(window) == "#32770" && IsWindowVisible(window) && (*search->match)(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The first visible dialog box window of this thread that `match` accepts.
HWND FindThreadDialog(const std::function<bool(HWND)>& match) {
  Search search{&match, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), VisitThreadWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND OurDialog() { return FindWindowA("#32770", kCaption); }

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script* script = g_script;
  if (script == nullptr || script->busy) {
    return;
  }
  if (++script->ticks > 300) {
    // Something never appeared: close whatever is open so the test ends.
    script->timed_out = true;
    if (HWND open = FindThreadDialog([](HWND) { return true; })) {
      PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return;
  }
  if (script->next < script->steps.size()) {
    script->busy = true;
    const bool done = script->steps[script->next]();
    script->busy = false;
    if (done) {
      ++script->next;
    }
  }
}

// Runs `script` on a 30 ms thread timer while in scope.
class Operator {
 public:
  explicit Operator(Script& script) : script_(script) {
    g_script = &script;
    timer_ = SetTimer(nullptr, 0, 30, Tick);
  }
  ~Operator() {
    KillTimer(nullptr, timer_);
    g_script = nullptr;
  }
  bool Finished() const { return !script_.timed_out && script_.next == script_.steps.size(); }

 private:
  Script& script_;
  UINT_PTR timer_;
};

void TypeInto(HWND control, const std::string& text) {
  for (char c : text) {
    SendMessageA(control, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
  }
}

// ---------------------------------------------------------------------------
// A handler that records the commands and runs caller-supplied reactions.

class RecordingHandler : public DialogHandler {
 public:
  std::function<void(DialogWindow&)> on_init;
  std::function<void(DialogWindow&, int id, int notification)> on_command;
  std::vector<std::pair<int, int>> commands;
  DialogWindow* window = nullptr;

  bool OnInitDialog(DialogWindow& w) override {
    window = &w;
    if (on_init) on_init(w);
    return true;
  }
  void OnCommand(DialogWindow& w, int id, int notification) override {
    commands.emplace_back(id, notification);
    if (on_command) on_command(w, id, notification);
  }
};

class Win32DialogTest : public ::testing::Test {
 protected:
  std::unique_ptr<UserInterface> ui_ = MakeDefaultUserInterface();
};

// ---------------------------------------------------------------------------

enum ItemKind { WYR_PUSH, WYR_DEFPUSH, WYR_EDIT, WYR_COMBO, WYR_LABEL, WYR_GROUP };
enum ItemStyle { WYR_TAB, WYR_RO, WYR_RO_HIDDEN, WYR_PLAIN, WYR_PLAIN_HIDDEN };
struct TemplateItem {
  int id;
  ItemKind kind;
  ItemStyle style;
  const char* text;
};
const TemplateItem kItems[] = {
#define WYR_ITEM(id, kind, style, text, x, y, w, h) {id, kind, style, text},
    DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS(WYR_ITEM)
#undef WYR_ITEM
};

TEST_F(Win32DialogTest, TemplateHoldsEveryItemInOrderWithItsStyle) {
  struct Child {
    int id;
    LONG style, ex_style;
    std::string class_name, text;
  };
  RecordingHandler handler;
  std::vector<Child> children;
  handler.on_init = [&](DialogWindow& window) {
    const HWND dialog = OurDialog();
    ASSERT_NE(dialog, nullptr);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back({GetDlgCtrlID(child), GetWindowLongA(child, GWL_STYLE),
                          GetWindowLongA(child, GWL_EXSTYLE), ClassOf(child), TextOf(child)});
    }
    window.EndDialog(kIdCancel);
  };
  ASSERT_EQ(ui_->RunDialog(kTemplate, handler), kIdCancel);

  ASSERT_EQ(children.size(), std::size(kItems));
  for (std::size_t i = 0; i < children.size(); ++i) {
    const TemplateItem& item = kItems[i];
    const Child& child = children[i];
    SCOPED_TRACE(::testing::Message() << "item " << i + 1 << " id " << item.id << " \"" << item.text << "\"");
    const LONG style = child.style;
    EXPECT_EQ(child.id, item.id == -1 ? 0xFFFF : item.id);
    const bool hidden = item.style == WYR_RO_HIDDEN || item.style == WYR_PLAIN_HIDDEN;
    EXPECT_EQ((style & WS_VISIBLE) != 0, !hidden);
    EXPECT_EQ((style & WS_TABSTOP) != 0, item.style == WYR_TAB);
    switch (item.kind) {
      case WYR_PUSH:
      case WYR_DEFPUSH:
        EXPECT_EQ(child.class_name, "Button");
        EXPECT_EQ(style & 0x0F, item.kind == WYR_DEFPUSH ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        EXPECT_EQ(child.text, item.text);
        break;
      case WYR_GROUP:
        EXPECT_EQ(child.class_name, "Button");
        EXPECT_EQ(style & 0x0F, BS_GROUPBOX);
        EXPECT_EQ(child.text, item.text);
        break;
      case WYR_EDIT:
        EXPECT_EQ(child.class_name, "Edit");
        EXPECT_EQ((style & ES_READONLY) != 0, item.style != WYR_TAB);
        EXPECT_NE(style & ES_AUTOHSCROLL, 0);
        // The system draws the border of an edit box in a dialog as a
        // sunken edge.
        EXPECT_TRUE((style & WS_BORDER) != 0 || (child.ex_style & WS_EX_CLIENTEDGE) != 0);
        break;
      case WYR_COMBO:
        EXPECT_EQ(child.class_name, "ComboBox");
        EXPECT_EQ(style & 0x03, CBS_DROPDOWNLIST);
        break;
      case WYR_LABEL:
        EXPECT_EQ(child.class_name, "Static");
        EXPECT_EQ(child.text, item.text);
        break;
    }
  }
}

TEST_F(Win32DialogTest, OperatorTypesChoosesAndCreates) {
  RecordingHandler handler;
  std::vector<std::string> seen;
  handler.on_init = [](DialogWindow& w) {
    w.SetControlText(1000, "S1");
    w.SetTextLimit(1080, 6);
    w.SetTextLimit(1081, 3);
    w.SetTextLimit(1081, 0);  // lifted again
    w.ClearComboBox(1009);
    w.InsertComboEntry(1009, -1, "Mild");
    w.InsertComboEntry(1009, -1, "Stainless");
    w.InsertComboEntry(1009, 0, "Aluminium");
    w.ShowControl(1005, false);
  };
  handler.on_command = [&](DialogWindow& w, int id, int notification) {
    if (id == kIdOk && notification == kButtonClicked) {
      for (int control : {1000, 1080, 1081, 1009}) seen.push_back(w.GetControlText(control));
      w.EndDialog(kIdOk);
    }
  };

  Script script;
  const std::string long_text(5000, 'L');
  std::vector<std::string> failures;
  auto check = [&](bool ok, const char* what) {
    if (!ok) failures.push_back(what);
  };
  script.steps.push_back([&] {
    const HWND dialog = OurDialog();
    if (dialog == nullptr) return false;
    DialogWindow& w = *handler.window;
    check(w.SelectComboEntry(1009, "mi") == 1, "prefix selects Mild");
    check(w.SelectComboEntry(1009, "") == -1, "an empty prefix selects nothing");
    check(w.SelectComboEntry(1009, "Steel") == -1, "no entry for Steel");
    check(w.GetComboSelection(1009) == 1, "selection kept after a failed search");
    check(w.GetComboEntry(1009, 0) == "Aluminium", "entry 0");
    check(w.GetComboEntry(1009, 3).empty() && w.GetComboEntry(1009, -1).empty(), "no entry 3 or -1");
    check(w.GetControlText(4242).empty() && w.SelectComboEntry(4242, "A") == -1 &&
              w.GetComboSelection(4242) == -1,
          "unknown ids");
    check(!IsWindowVisible(GetDlgItem(dialog, 1005)), "1005 hidden");
    w.SetControlText(1001, long_text);
    check(w.GetControlText(1001) == long_text, "long text read back whole");
    w.FocusControl(1084);
    check(GetFocus() == GetDlgItem(dialog, 1084), "focus on 1084");

    TypeInto(GetDlgItem(dialog, 1080), "abcdefghij");
    TypeInto(GetDlgItem(dialog, 1081), "0123456789");
    // The operator moves the list selection one down with the keyboard.
    const HWND combo = GetDlgItem(dialog, 1009);
    SetFocus(combo);
    SendMessageA(combo, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return true;
  });
  Operator op(script);
  EXPECT_EQ(ui_->RunDialog(kTemplate, handler), kIdOk);
  EXPECT_TRUE(op.Finished());
  EXPECT_EQ(failures, std::vector<std::string>());
  EXPECT_EQ(seen, (std::vector<std::string>{"S1", "abcdef", "0123456789", "Stainless"}));
  const std::vector<std::pair<int, int>> want = {{1009, kComboSelectionChanged}, {kIdOk, kButtonClicked}};
  EXPECT_EQ(handler.commands, want);
}

TEST_F(Win32DialogTest, EscCloseBoxAndCancelEndWithIdCancel) {
  enum Way { kCancelButton, kEscape, kCloseBox };
  struct Case {
    Way way;
    bool handler_ends;  // a handler that forgets to end on Cancel still closes
    const char* name;
  };
  const Case cases[] = {
      {kCancelButton, true, "Cancel button"}, {kEscape, true, "Esc"},
      {kCloseBox, true, "close box"},         {kCancelButton, false, "Cancel, handler ignores it"},
      {kCloseBox, false, "close box, handler ignores it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingHandler handler;
    handler.on_command = [&](DialogWindow& w, int id, int) {
      if (id == kIdCancel && c.handler_ends) w.EndDialog(kIdCancel);
    };
    Script script;
    script.steps.push_back([&] {
      const HWND dialog = OurDialog();
      if (dialog == nullptr) return false;
      switch (c.way) {
        case kCancelButton:
          SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
          break;
        case kEscape:
          SetFocus(GetDlgItem(dialog, 1080));
          PostMessageA(GetDlgItem(dialog, 1080), WM_KEYDOWN, VK_ESCAPE, 0);
          break;
        case kCloseBox:
          PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
          break;
      }
      return true;
    });
    Operator op(script);
    EXPECT_EQ(ui_->RunDialog(kTemplate, handler), kIdCancel);
    EXPECT_TRUE(op.Finished());
    EXPECT_EQ(handler.commands, (std::vector<std::pair<int, int>>{{kIdCancel, kButtonClicked}}));
  }
}

TEST_F(Win32DialogTest, ValidationMessageWaitsForTheOperator) {
  std::string caption;
  RecordingHandler handler;
  handler.on_command = [&](DialogWindow& w, int id, int) {
    if (id == kIdOk) {
      w.ShowValidationMessage(1084, "Please enter a number.");
      w.EndDialog(kIdOk);
    }
  };
  Script script;
  script.steps.push_back([&] {
    const HWND dialog = OurDialog();
    if (dialog == nullptr) return false;
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return true;
  });
  script.steps.push_back([&] {
    const HWND dialog = OurDialog();
    const HWND box =
        FindThreadDialog([&](HWND w) { return w != dialog && GetWindow(w, GW_OWNER) == dialog; });
    if (box == nullptr) return false;
    bool has_text = false;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      has_text = has_text || TextOf(child) == "Please enter a number.";
    }
    if (!has_text) return false;
    caption = TextOf(box);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
  });
  Operator op(script);
  EXPECT_EQ(ui_->RunDialog(kTemplate, handler), kIdOk);
  EXPECT_TRUE(op.Finished());
  EXPECT_EQ(caption, kHostName);
}

TEST_F(Win32DialogTest, MessageBoxesAreCaptionedWithTheHostsName) {
  EXPECT_EQ(win32::MessageBoxCaption(), kHostName);
  const struct { unsigned style; bool icon; } cases[] = {{kMessageOk, false}, {kMessageIconStop, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    std::string caption, text;
    Script script;
    script.steps.push_back([&] {
      const HWND box = FindThreadDialog([](HWND) { return true; });
      if (box == nullptr) return false;
      caption = TextOf(box);
      text = TextOf(GetDlgItem(box, 0xFFFF));
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return true;
    });
    Operator op(script);
    EXPECT_EQ(ui_->ShowMessageBox("program created failed !", c.style), kIdOk);
    EXPECT_TRUE(op.Finished());
    EXPECT_EQ(caption, kHostName);
    EXPECT_EQ(text, "program created failed !");
  }
}

TEST_F(Win32DialogTest, HandlerExceptionClosesTheDialogAndReachesTheCaller) {
  RecordingHandler in_init;
  in_init.on_init = [](DialogWindow&) { throw std::runtime_error("init"); };
  EXPECT_THROW(ui_->RunDialog(kTemplate, in_init), std::runtime_error);

  RecordingHandler in_command;
  in_command.on_command = [](DialogWindow&, int, int) { throw std::runtime_error("command"); };
  Script script;
  script.steps.push_back([&] {
    const HWND dialog = OurDialog();
    if (dialog == nullptr) return false;
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return true;
  });
  Operator op(script);
  EXPECT_THROW(ui_->RunDialog(kTemplate, in_command), std::runtime_error);
  EXPECT_EQ(OurDialog(), nullptr);
}

TEST_F(Win32DialogTest, MissingTemplateIsReported) {
  RecordingHandler handler;
  EXPECT_EQ(ui_->RunDialog(4711, handler), -1);
  EXPECT_EQ(handler.window, nullptr);
}

TEST_F(Win32DialogTest, FolderBrowserStartsAtTheInitialFolderOfAnyLength) {
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  // A folder as the driver hands it over: with its trailing backslash.
  char temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  std::string temp_folder(temp);
  std::string unix_folder = "Z:\\tmp\\";
  const std::string too_long = std::string("C:\\") + std::string(3000, 'x') + "\\";
  struct Case {
    std::string initial;
    bool choose;
    std::optional<std::string> want;  // nullopt: cancelled
  };
  const Case cases[] = {
      {windows, true, std::string(windows)},
      {std::string(windows) + "\\", true, std::string(windows)},
      {"C:\\", true, std::string("C:\\")},
      {temp_folder, true, temp_folder.substr(0, temp_folder.size() - 1)},
      {unix_folder, true, std::string("Z:\\tmp")},
      {windows, false, std::nullopt},
      {too_long, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.initial.substr(0, 40) << " length " << c.initial.size()
                                      << (c.choose ? " choose" : " cancel"));
    RecordingHandler handler;
    std::optional<std::optional<std::string>> got;
    handler.on_command = [&](DialogWindow& w, int id, int) {
      if (id == 1005) got = ui_->BrowseForFolder(w, "Select Folder:", c.initial);
      if (id == kIdCancel) w.EndDialog(kIdCancel);
    };
    Script script;
    script.steps.push_back([&] {
      const HWND dialog = OurDialog();
      if (dialog == nullptr) return false;
      PostMessageA(GetDlgItem(dialog, 1005), BM_CLICK, 0, 0);
      return true;
    });
    script.steps.push_back([&] {
      const HWND browser = FindThreadDialog(
          [](HWND w) { return FindWindowExA(w, nullptr, "SysTreeView32", nullptr) != nullptr; });
      if (browser == nullptr) return false;
      EXPECT_EQ(GetWindow(browser, GW_OWNER), OurDialog());
      PostMessageA(browser, WM_COMMAND, MAKEWPARAM(c.choose ? IDOK : IDCANCEL, BN_CLICKED), 0);
      return true;
    });
    script.steps.push_back([&] {
      if (!got.has_value()) return false;
      PostMessageA(OurDialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return true;
    });
    Operator op(script);
    EXPECT_EQ(ui_->RunDialog(kTemplate, handler), kIdCancel);
    EXPECT_TRUE(op.Finished());
    ASSERT_TRUE(got.has_value());
    if (c.want) {
      ASSERT_TRUE(got->has_value());
      EXPECT_EQ(lstrcmpiA(got->value().c_str(), c.want->c_str()), 0) << got->value();
    } else {
      EXPECT_FALSE(got->has_value());
    }
  }
}

TEST(BrowserStartFolderTest, DropsTrailingBackslashesButARootKeepsOne) {
  const struct { const char *folder, *start; } cases[] = {
      {"C:\\Out\\", "C:\\Out"},   {"C:\\Out", "C:\\Out"},     {"C:\\Out\\\\", "C:\\Out"},
      {"C:\\", "C:\\"},           {"C:\\\\", "C:\\"},       {"C:", "C:"},
      {"\\\\server\\share\\", "\\\\server\\share"},   {"\\", "\\"},
      {"Out\\", "Out"},           {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(win32::BrowserStartFolder(c.folder), c.start) << c.folder;
}

}  // namespace
}  // namespace driverwyr
