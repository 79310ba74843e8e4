// GenerateMachineCodeFile: grouping, one dialog per group, the outcome
// messages, the path copied back to the host, and a run that must never throw.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "creation/creation_internal.h"
#include "support/creation_testing.h"
#include "creation/program_creation_dialog.h"
#include "driverwyr/driverwyr.h"

namespace driverwyr {
namespace {

// What a dialog of the run was built with.
struct DialogSeen {
  int setup_value;
  int group_index;
  int total_steps;
  int array_size;  // the group array, closing step included
  std::string file_name;
  std::string program_name;
};

using Operator = std::function<void(MemoryDialogWindow&)>;

void PressCreate(MemoryDialogWindow& window) { window.Press(kIdOk); }
void PressCancel(MemoryDialogWindow& window) { window.Press(kIdCancel); }

// Runs every dialog in an in-memory window, records what each dialog was
// built with, and plays operators[i] on dialog i ("Create..." by default).
class RecordingUi final : public UserInterface {
 public:
  explicit RecordingUi(MemoryUserInterface& inner) : inner_(inner) {}

  std::vector<DialogSeen> dialogs;
  std::vector<Operator> operators;

  int ShowMessageBox(const std::string& text, unsigned style) override {
    return inner_.ShowMessageBox(text, style);
  }
  int RunDialog(int template_id, DialogHandler& handler) override {
    auto& dialog = dynamic_cast<ProgramCreationDialog&>(handler);
    dialogs.push_back({dialog.GroupSetupIndex(), dialog.GroupIndex(), dialog.TotalSteps(),
                       dialog.Steps().GetSize(), dialog.Data().FileName, dialog.Data().ProgramName});
    const std::size_t n = dialogs.size() - 1;
    inner_.on_dialog = n < operators.size() ? operators[n] : Operator(PressCreate);
    return inner_.RunDialog(template_id, handler);
  }
  std::optional<std::string> BrowseForFolder(DialogWindow& owner, const std::string& title,
                                             const std::string& initial_folder) override {
    return inner_.BrowseForFolder(owner, title, initial_folder);
  }

 private:
  MemoryUserInterface& inner_;
};

class GenerationRunTest : public ::testing::Test {
 protected:
  testing::CreationEnvironment env;
  RecordingUi ui{env.ui};
  std::filesystem::path folder;
  char path_out[kMaxPathBuffer];

  void SetUp() override {
    Platform::Current().ReplaceUserInterface(&ui);
    folder = std::filesystem::temp_directory_path() /
             ("driverwyr_run_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    env.Store().ProgramPath = (folder / "BRACKET.bmf").string();
    // Cold rolled steel: the dialog's hardness passes its check.
    env.Store().MaterialType = 1;
    env.Store().MaterialThickness = 2.0f;
    std::memset(path_out, 'x', sizeof path_out);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  bool PathOutUntouched() const {
    for (const char c : path_out) {
      if (c != 'x') return false;
    }
    return true;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : env.messages) texts.push_back(message.text);
    return texts;
  }
};

const char kCreated[] = "The program is created, you can now use Linvaro to send it to the control.";
const char kFailed[] = "program created failed !";

TEST_F(GenerationRunTest, AnEmptySequenceShowsNothing) {
  env.AddSetup(0, 2);
  EXPECT_TRUE(GenerateMachineCodeFile(path_out));
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_TRUE(env.messages.empty());
  EXPECT_TRUE(PathOutUntouched());
}

TEST_F(GenerationRunTest, StepsAreGroupedByAdjacency) {
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 1, 2, 2, 1});
  ui.operators = {PressCancel, PressCancel, PressCancel};
  EXPECT_TRUE(GenerateMachineCodeFile(path_out));

  ASSERT_EQ(ui.dialogs.size(), 3u);
  const int expected[3][4] = {{0, 0, 2, 3}, {1, 1, 2, 3}, {0, 2, 1, 2}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("dialog " + std::to_string(i));
    EXPECT_EQ(ui.dialogs[i].setup_value, expected[i][0]);
    EXPECT_EQ(ui.dialogs[i].group_index, expected[i][1]);
    EXPECT_EQ(ui.dialogs[i].total_steps, expected[i][2]);
    EXPECT_EQ(ui.dialogs[i].array_size, expected[i][3]);
  }
  EXPECT_EQ(ui.dialogs[2].file_name, (folder / "BRACKET.S1P3.wyr").string());
  EXPECT_TRUE(env.messages.empty()) << "cancelling is silent";
  EXPECT_TRUE(PathOutUntouched());
  // The store keeps the lowered indexes; a second run lowers them again.
  const int lowered[] = {0, 0, 1, 1, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(env.Store().StepArray[i].GetSetupIndex(), lowered[i]) << i;
  GenerateMachineCodeFile(path_out);
  EXPECT_EQ(env.Store().StepArray[0].GetSetupIndex(), -1);
}

TEST_F(GenerationRunTest, CancelContinuesWithTheNextGroup) {
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 2});
  ui.operators = {PressCancel, PressCreate};
  EXPECT_TRUE(GenerateMachineCodeFile(path_out));
  ASSERT_EQ(ui.dialogs.size(), 2u);
  EXPECT_EQ(ui.dialogs[1].group_index, 1);
  ASSERT_EQ(MessageTexts(), std::vector<std::string>{kCreated});
  EXPECT_EQ(env.messages[0].style, kMessageOk);
  EXPECT_STREQ(path_out, env.Store().ProgramPath.c_str());
  // One step and the closing record.
  EXPECT_EQ(std::filesystem::file_size(folder / "BRACKET.S2P2.wyr"), 125u + 2u * 145u);
  EXPECT_FALSE(std::filesystem::exists(folder / "BRACKET.S1P1.wyr"));
}

TEST_F(GenerationRunTest, AFailedCreateStopsTheRun) {
  env.AddSetup(0, 2);
  env.AddSetup(1, 0);  // a type 0 control: its programs cannot be created
  env.AddSteps({1, 2, 1});
  EXPECT_TRUE(GenerateMachineCodeFile(path_out));
  ASSERT_EQ(ui.dialogs.size(), 2u) << "no third dialog";
  ASSERT_EQ(MessageTexts(), (std::vector<std::string>{kCreated, kFailed}));
  EXPECT_EQ(env.messages[1].style, kMessageOk | kMessageIconStop);
  // The path of the first group's success stays in the buffer.
  EXPECT_STREQ(path_out, env.Store().ProgramPath.c_str());
}

TEST_F(GenerationRunTest, EachGroupSeesTheSerialOfTheCreateBeforeIt) {
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 2, 1});
  ui.operators = {PressCreate, PressCancel, PressCreate};
  GenerateMachineCodeFile(path_out);
  ASSERT_EQ(ui.dialogs.size(), 3u);
  EXPECT_EQ(ui.dialogs[0].program_name, "120700");
  EXPECT_EQ(ui.dialogs[1].program_name, "120701");
  EXPECT_EQ(ui.dialogs[2].program_name, "120701") << "a cancelled dialog stores nothing";
  EXPECT_EQ(env.settings.Text("Serial Number"), "2");
}

TEST_F(GenerationRunTest, AFolderChosenInOneGroupCarriesOverToTheNext) {
  const std::filesystem::path other = folder / "other";
  std::filesystem::create_directories(other);
  env.ui.on_browse = [&](const std::string&, const std::string&) { return other.string(); };
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 2});
  // Group 1 moves the folder and is then cancelled; group 2 is created.
  ui.operators = {[](MemoryDialogWindow& window) {
                    window.Press(kIdBrowseButton);
                    window.Press(kIdCancel);
                  },
                  PressCreate};
  GenerateMachineCodeFile(path_out);
  ASSERT_EQ(ui.dialogs.size(), 2u);
  EXPECT_EQ(ui.dialogs[1].file_name, (other / "BRACKET.S2P2.wyr").string());
  EXPECT_EQ(env.Store().ProgramPath, (other / "BRACKET.bmf").string());
  EXPECT_STREQ(path_out, (other / "BRACKET.bmf").string().c_str());
  EXPECT_TRUE(std::filesystem::exists(other / "BRACKET.S2P2.wyr"));
}

TEST_F(GenerationRunTest, NothingIsThrownToTheHost) {
  struct ThrowingUi final : UserInterface {
    int ShowMessageBox(const std::string&, unsigned) override { return kIdOk; }
    int RunDialog(int, DialogHandler&) override { throw std::runtime_error("window system gone"); }
    std::optional<std::string> BrowseForFolder(DialogWindow&, const std::string&, const std::string&) override {
      return std::nullopt;
    }
  } throwing;
  Platform::Current().ReplaceUserInterface(&throwing);
  env.AddSetup(0, 2);
  env.AddSteps({1});
  EXPECT_TRUE(GenerateMachineCodeFile(path_out));
  EXPECT_TRUE(PathOutUntouched());
}

TEST_F(GenerationRunTest, WithoutAStoreOrABufferNothingIsWritten) {
  ResetStoreForTesting();
  SetStoreCreationFailsForTesting(true);
  const bool result = GenerateMachineCodeFile(path_out);
  SetStoreCreationFailsForTesting(false);
  EXPECT_TRUE(result);
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_TRUE(PathOutUntouched());

  env.Store().ProgramPath = (folder / "BRACKET.bmf").string();
  env.Store().MaterialType = 1;
  env.AddSetup(0, 2);
  env.AddSteps({1});
  EXPECT_TRUE(GenerateMachineCodeFile(nullptr));
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kCreated});
}

TEST(CopyPathToHostTest, TheCopyIsBoundedAndTerminated) {
  const std::size_t lengths[] = {0, 1, 20, kMaxPathBuffer - 1, kMaxPathBuffer, kMaxPathBuffer + 1, 5000};
  for (const std::size_t length : lengths) {
    const std::string path(length, 'p');
    std::vector<char> buffer(kMaxPathBuffer + 16, 'x');
    CopyPathToHost(path, buffer.data());
    const std::size_t copied = std::min(length, kMaxPathBuffer - 1);
    EXPECT_EQ(std::string(buffer.data()), path.substr(0, copied)) << "length " << length;
    EXPECT_EQ(buffer[copied], '\0') << "length " << length;
    for (std::size_t i = kMaxPathBuffer; i < buffer.size(); ++i) {
      ASSERT_EQ(buffer[i], 'x') << "length " << length << ": byte " << i << " lies outside the buffer";
    }
  }
  CopyPathToHost("abc", nullptr);  // no buffer: nothing to do
}

}  // namespace
}  // namespace driverwyr
