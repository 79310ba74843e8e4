// What a host reads after a call through the C interface: what became of each
// group of the last run and why, the message id of each box, and the calling
// thread's last error of every call that failed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "driverwyr/driverwyr_c.h"
#include "support/creation_testing.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// ---- run results ------------------------------------------------------------------

// How a run of the table is set up: what the operator does and what is
// missing.
enum class Setup { kCreate, kCancel, kFolderMissing, kNoUserInterface, kHostCannotShow, kOutOfMemory };

struct GroupExpected {
  int outcome;
  const char* reason;  // a part of the reason; "" for none
};

struct RunCase {
  const char* name;
  Setup setup;
  GroupExpected groups[2];
  const char* last_error;         // a part of it, when the run wrote nothing
  std::vector<int> message_ids;   // the ids of the boxes shown, in order
};

// A user interface of the host's whose dialogs cannot be shown.
driverwyr_user_interface CannotShowDialogs() {
  driverwyr_user_interface ui{};
  ui.show_message_box = [](void*, const char*, unsigned) { return DRIVERWYR_ID_OK; };
  ui.run_dialog = [](void*, int, driverwyr_dialog*) { return -1; };
  ui.browse_for_folder = [](void*, const driverwyr_window*, const char*, const char*, driverwyr_text*) { return 0; };
  return ui;
}

// A user interface whose dialogs run out of memory.
class OutOfMemoryInDialogs final : public UserInterfaceWrapper {
 public:
  using UserInterfaceWrapper::UserInterfaceWrapper;
  int RunDialog(int, DialogHandler&) override { throw std::bad_alloc(); }
};

class CRunResultsTest : public ::testing::Test {
 protected:
  testing::CreationEnvironment env;
  const fs::path folder = fs::temp_directory_path() / "driverwyr_c_results_test";
  std::vector<int> ids;  // CurrentMessageId() of each box, asked while it is shown

  void SetUp() override {
    fs::remove_all(folder);
    fs::create_directories(folder);
    env.AddSetup(0, 2, "S1");
    env.AddSetup(1, 2, "S2");
    env.AddSteps({1, 1, 2});  // two groups: steps 0-1 and step 2
    env.Store().ProgramPath = (folder / "PART.bmf").string();
    env.Store().MaterialType = 1;
    env.Store().MaterialThickness = 2.0f;
    env.ui.on_message = [this](const std::string&, unsigned) {
      ids.push_back(driverwyr_CurrentMessageId());
      return kIdOk;
    };
  }
  void TearDown() override {
    driverwyr_SetUserInterface(nullptr);
    fs::remove_all(folder);
  }
};

TEST_F(CRunResultsTest, EveryGroupTellsWhatBecameOfItAndWhy) {
  const RunCase cases[] = {
      {"created", Setup::kCreate, {{DRIVERWYR_GROUP_CREATED, ""}, {DRIVERWYR_GROUP_CREATED, ""}}, nullptr,
       {DRIVERWYR_MSG_PROGRAM_CREATED, DRIVERWYR_MSG_PROGRAM_CREATED}},
      {"cancelled", Setup::kCancel,
       {{DRIVERWYR_GROUP_CANCELLED, "the operator cancelled the dialog"},
        {DRIVERWYR_GROUP_CANCELLED, "the operator cancelled the dialog"}},
       "no program was written: the operator cancelled every dialog", {}},
      {"failed create: folder missing", Setup::kFolderMissing,
       {{DRIVERWYR_GROUP_FAILED, "no_such_folder"}, {DRIVERWYR_GROUP_NOT_RUN, "the run ended at an earlier group"}},
       "no program was written: group 1 (",
       {DRIVERWYR_MSG_OPEN_FILE_FAILS, DRIVERWYR_MSG_PROGRAM_NOT_WRITTEN, DRIVERWYR_MSG_CREATE_FAILED}},
      {"no user interface", Setup::kNoUserInterface,
       {{DRIVERWYR_GROUP_FAILED, "no user interface is installed"},
        {DRIVERWYR_GROUP_FAILED, "no user interface is installed"}},
       "no user interface is installed", {}},
      {"the host's dialog cannot be shown", Setup::kHostCannotShow,
       {{DRIVERWYR_GROUP_FAILED, "run_dialog returned -1"}, {DRIVERWYR_GROUP_FAILED, "run_dialog returned -1"}},
       "group 1", {}},
      {"memory runs out in the first dialog", Setup::kOutOfMemory,
       {{DRIVERWYR_GROUP_FAILED, "the run ran out of memory"},
        {DRIVERWYR_GROUP_NOT_RUN, "the run ended at an earlier group"}},
       "group 1 (", {}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.setup == Setup::kNoUserInterface && kPathSeparator != '/') {
      continue;  // the platform's own user interface shows real dialogs here
    }
    ids.clear();
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < env.Store().StepArray.GetSize(); ++i) {
      env.Store().StepArray[i].SetSetupIndex(i < 2 ? 1 : 2);  // every run lowers them
    }
    env.Store().ProgramPath = (folder / (c.setup == Setup::kFolderMissing ? "no_such_folder/PART.bmf" : "PART.bmf")).string();
    env.ui.on_dialog = [&c](MemoryDialogWindow& window) {
      window.Press(c.setup == Setup::kCancel ? kIdCancel : kIdOk);
    };
    const driverwyr_user_interface cannot_show = CannotShowDialogs();
    OutOfMemoryInDialogs out_of_memory(env.ui);
    if (c.setup == Setup::kOutOfMemory) Platform::Current().ReplaceUserInterface(&out_of_memory);
    if (c.setup == Setup::kNoUserInterface) Platform::Current().ReplaceUserInterface(nullptr);
    if (c.setup == Setup::kHostCannotShow) {
      ASSERT_EQ(driverwyr_SetUserInterface(&cannot_show), 0);
    }

    char path[512];
    const int result = driverwyr_GenerateMachineCodeFile(path, sizeof path);
    driverwyr_SetUserInterface(nullptr);
    Platform::Current().ReplaceUserInterface(&env.ui);

    EXPECT_THAT(ids, ElementsAreArray(c.message_ids));
    EXPECT_EQ(driverwyr_CurrentMessageId(), 0) << "no box is shown now";
    if (c.last_error != nullptr) {
      EXPECT_EQ(result, -1);
      EXPECT_THAT(driverwyr_LastError(), HasSubstr(c.last_error));
    } else {
      EXPECT_GT(result, 0);
    }
    ASSERT_EQ(driverwyr_GetRunResultCount(), 2);
    for (int g = 0; g < 2; ++g) {
      SCOPED_TRACE("group " + std::to_string(g));
      driverwyr_run_result r{};
      ASSERT_EQ(driverwyr_GetRunResult(g, &r), 0);
      EXPECT_EQ(r.group, g);
      EXPECT_EQ(r.first_step, g == 0 ? 0 : 2);
      EXPECT_EQ(r.step_count, g == 0 ? 2 : 1);
      EXPECT_EQ(r.outcome, c.groups[g].outcome);
      EXPECT_THAT(r.reason, HasSubstr(c.groups[g].reason));
      if (r.outcome == DRIVERWYR_GROUP_CREATED) {
        EXPECT_STREQ(r.reason, "");
        EXPECT_TRUE(fs::exists(r.program_file)) << r.program_file;
        EXPECT_EQ(std::strlen(r.program_name), 6u) << "the program number";
      }
      if (r.outcome == DRIVERWYR_GROUP_NOT_RUN) {
        EXPECT_STREQ(r.program_file, "");
      } else {
        EXPECT_THAT(r.program_file, HasSubstr(g == 0 ? "PART.S1P1.wyr" : "PART.S2P2.wyr"));
      }
    }
  }
}

TEST_F(CRunResultsTest, AStoreWithoutStepsHasNoGroupsAndSaysSo) {
  env.Store().StepArray.RemoveAll();
  char path[64];
  EXPECT_EQ(driverwyr_GenerateMachineCodeFile(path, sizeof path), -1);
  EXPECT_EQ(driverwyr_GetRunResultCount(), 0);
  EXPECT_THAT(driverwyr_LastError(), HasSubstr("the store holds no steps"));
  driverwyr_run_result r{};
  EXPECT_EQ(driverwyr_GetRunResult(0, &r), -1);
  EXPECT_EQ(driverwyr_GetRunResult(0, nullptr), -1);
}

TEST_F(CRunResultsTest, ADryRunCreatesInMemoryAndSaysWhyNothingWasWritten) {
  env.ui.on_dialog = [](MemoryDialogWindow& window) { window.Press(kIdOk); };
  driverwyr_SetDryRun(1);
  char path[64];
  const int result = driverwyr_GenerateMachineCodeFile(path, sizeof path);
  driverwyr_SetDryRun(0);
  EXPECT_EQ(result, -1);
  EXPECT_THAT(driverwyr_LastError(), HasSubstr("a dry run writes no program file"));
  driverwyr_run_result r{};
  ASSERT_EQ(driverwyr_GetRunResult(1, &r), 0);
  EXPECT_EQ(r.outcome, DRIVERWYR_GROUP_CREATED);
  EXPECT_FALSE(fs::exists(r.program_file));
}

// ---- the last error ---------------------------------------------------------------

TEST(CLastError, EveryFailingCallSaysWhyOnItsOwnThread) {
  driverwyr_CPPSetup_array* setups = driverwyr_CPPSetup_array_create();
  driverwyr_user_interface incomplete{};
  driverwyr_clock no_clock{};
  driverwyr_calculated_step step{};
  driverwyr_finding finding{};
  char buffer[16];
  // Each call fails; the last error names it (or says why) right after it.
  const struct {
    const char* text;
    std::function<bool()> fails;
  } calls[] = {
      {"driverwyr_CPPTool_SetToolName: a NULL handle", [] { return driverwyr_CPPTool_SetToolName(nullptr, "x") == -1; }},
      {"driverwyr_CPPTool_GetToolName: a NULL handle",
       [&] { return driverwyr_CPPTool_GetToolName(nullptr, buffer, 16) == -1; }},
      {"driverwyr_CPPStepInfo_SetTollReverse: a NULL",
       [] { return driverwyr_CPPStepInfo_SetTollReverse(nullptr, nullptr) == -1; }},
      {"driverwyr_CPPSetup_copy: a NULL", [] { return driverwyr_CPPSetup_copy(nullptr) == nullptr; }},
      {"driverwyr_CPPSetup_array_at: the index is outside",
       [&] { return driverwyr_CPPSetup_array_at(setups, 0) == nullptr; }},
      {"driverwyr_CPPSetup_array_add: a NULL", [&] { return driverwyr_CPPSetup_array_add(setups, nullptr) == -1; }},
      {"driverwyr_GetWrittenProgramPath: no program",
       [&] { return driverwyr_GetWrittenProgramPath(99, buffer, 16) == -1; }},
      {"driverwyr_GetCalculatedStep: no calculated step",
       [&] { return driverwyr_GetCalculatedStep(99, &step) == -1; }},
      {"driverwyr_SetUserInterface: a callback of the user interface is missing",
       [&] { return driverwyr_SetUserInterface(&incomplete) == -1; }},
      {"driverwyr_SetClock: a callback of the clock is missing", [&] { return driverwyr_SetClock(&no_clock) == -1; }},
      {"driverwyr_dialog_init: a NULL", [] { return driverwyr_dialog_init(nullptr, nullptr) == -1; }},
      {"driverwyr_dialog_command: a NULL", [] { return driverwyr_dialog_command(nullptr, nullptr, 1, 0) == -1; }},
      {"driverwyr_text_set: a NULL", [] { return driverwyr_text_set(nullptr, "x") == -1; }},
      {"driverwyr_store_copy_program_path: a NULL",
       [&] { return driverwyr_store_copy_program_path(nullptr, buffer, 16) == -1; }},
      {"driverwyr_store_copy_tools: a NULL", [] { return driverwyr_store_copy_tools(nullptr) == nullptr; }},
      {"driverwyr_preflight_report_json: a NULL",
       [&] { return driverwyr_preflight_report_json(nullptr, buffer, 16) == -1; }},
      {"driverwyr_preflight_report_finding: a NULL",
       [&] { return driverwyr_preflight_report_finding(nullptr, 0, &finding) == -1; }},
      {"driverwyr_GetRunResult: a NULL", [] { return driverwyr_GetRunResult(0, nullptr) == -1; }},
      {"no program path or no sheet path given",
       [] { return driverwyr_WriteSheet(nullptr, nullptr, nullptr, nullptr, 0) == -1; }},
  };
  for (const auto& call : calls) {
    EXPECT_TRUE(call.fails()) << call.text;
    EXPECT_THAT(driverwyr_LastError(), HasSubstr(call.text));
  }
  driverwyr_CPPSetup_array_free(setups);

  // Another thread's failure leaves this thread's text alone, and a call that
  // succeeds leaves it too.
  std::string other;
  std::thread([&other] {
    driverwyr_CPPTool_SetToolName(nullptr, "x");
    other = driverwyr_LastError();
  }).join();
  EXPECT_THAT(other, HasSubstr("driverwyr_CPPTool_SetToolName"));
  EXPECT_EQ(driverwyr_GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED, buffer, 16) > 0, true);
  EXPECT_THAT(driverwyr_LastError(), HasSubstr("no program path or no sheet path given"));
}

TEST(CLastError, ALongTextIsCutWithinItsRoomAndNeverInsideACharacter) {
  // "é" is two bytes in UTF-8: a path of them cannot end the cut text evenly.
  std::string path = "xy";
  for (int i = 0; i < 700; ++i) path += "\xC3\xA9";
  char why[8];
  EXPECT_EQ(driverwyr_WriteSheet(path.c_str(), "sheet.svg", nullptr, why, sizeof why), DRIVERWYR_SHEET_PROGRAM_FILE);
  const std::string text = driverwyr_LastError();
  EXPECT_EQ(text.size(), 1022u) << "1023 bytes of room, less the half character";
  EXPECT_EQ(text.compare(0, path.size() < text.size() ? path.size() : text.size(), path, 0,
                         path.size() < text.size() ? path.size() : text.size()),
            0);
  EXPECT_EQ(static_cast<unsigned char>(text.back()), 0xA9u) << "ends after a whole character";
}


// A callback of the host's that tries, in the middle of a run, what would pull
// the run's records, record or user interface from under it: each call is
// refused, changes nothing, and says why in the last error; the run goes on
// and writes both programs.
TEST(CRunReentryTest, CallsThatWouldChangeWhatARunHoldsAreRefusedFromItsCallbacks) {
  const std::pair<const char*, std::function<int()>> calls[] = {
      {"driverwyr_DestroyPPDBInstance", [] { return driverwyr_DestroyPPDBInstance(), 0; }},
      {"driverwyr_InitPPSequence", [] { return driverwyr_InitPPSequence(nullptr), 0; }},
      {"driverwyr_InitToolInfo", [] { return driverwyr_InitToolInfo(nullptr), 0; }},
      {"driverwyr_InitSetupInfo", [] { return driverwyr_InitSetupInfo(nullptr), 0; }},
      {"driverwyr_SetPathNames", [] { return driverwyr_SetPathNames("/elsewhere/X.bmf", "", ""), 0; }},
      {"driverwyr_SetUnit", [] { return driverwyr_SetUnit(1), 0; }},
      {"driverwyr_SetMaterial_1", [] { return driverwyr_SetMaterial_1(9.0f, 9.0f, 7), 0; }},
      {"driverwyr_SetDryRun", [] { return driverwyr_SetDryRun(1), 0; }},
      {"driverwyr_GenerateMachineCodeFile", [] { return driverwyr_GenerateMachineCodeFile(nullptr, 0); }},
      {"driverwyr_RunPreflight", [] { return driverwyr_RunPreflight(1) == nullptr ? -1 : 0; }},
      {"driverwyr_SetUserInterface", [] { return driverwyr_SetUserInterface(nullptr); }},
      {"driverwyr_SetClock", [] { return driverwyr_SetClock(nullptr); }},
  };
  const fs::path folder = fs::temp_directory_path() / "driverwyr_c_reentry_test";
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    testing::CreationEnvironment env;
    fs::remove_all(folder);
    fs::create_directories(folder);
    env.AddSetup(0, 2, "S1");
    env.AddSetup(1, 2, "S2");
    env.AddSteps({1, 1, 2});
    const std::string path = (folder / "PART.bmf").string();
    env.Store().ProgramPath = path;
    env.Store().MaterialType = 1;
    env.Store().MaterialThickness = 2.0f;
    int result = 0;
    std::string error;
    env.ui.on_dialog = [](MemoryDialogWindow& window) { window.Press(kIdOk); };
    env.ui.on_message = [&](const std::string&, unsigned) {
      if (error.empty()) {
        result = call();
        error = driverwyr_LastError();
      }
      return kIdOk;
    };
    char out[512];
    ASSERT_GT(driverwyr_GenerateMachineCodeFile(out, sizeof out), 0) << driverwyr_LastError();

    EXPECT_EQ(result == 0 ? -1 : result, -1);
    EXPECT_THAT(error, HasSubstr(std::string(name).substr(std::strlen("driverwyr_"))));
    EXPECT_THAT(error, HasSubstr("refused while a run is in progress"));
    EXPECT_EQ(driverwyr_GetWrittenProgramCount(), 2);
    EXPECT_EQ(env.Store().StepArray.GetSize(), 3);
    EXPECT_EQ(env.Store().ToolArray.GetSize(), 0);
    EXPECT_EQ(env.Store().SetupArray.GetSize(), 2);
    EXPECT_EQ(env.Store().ProgramPath, path);
    EXPECT_EQ(env.Store().Unit, 0);
    EXPECT_EQ(env.Store().MaterialType, 1);
    driverwyr_SetDryRun(0);
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace driverwyr
