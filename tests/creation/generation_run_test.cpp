// GenerateMachineCodeFile: grouping, one dialog per group, the outcome
// messages, the path copied back to the host, and a run that must never throw.
#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "creation/creation_internal.h"
#include "support/creation_testing.h"
#include "driverwyr/driverwyr.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;

const char kCreated[] = "The program is created, you can now use Linvaro to send it to the control.";
const char kFailed[] = "program created failed !";

class GenerationRunTest : public ::testing::Test {
 protected:
  testing::CreationEnvironment env;
  const fs::path folder = fs::temp_directory_path() /
                          ("driverwyr_run_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  // What the operator does in dialog i: 'C' "Create...", 'X' "Cancel", 'B'
  // "..." and then "Cancel"; "Create..." past the end.
  std::string script;
  // Each dialog as it opened: "file name, total steps, program name".
  std::vector<std::string> seen;
  std::string path_out = std::string(kMaxPathBuffer, 'x');  // the host's buffer

  void SetUp() override {
    fs::remove_all(folder);
    fs::create_directories(folder);
    env.Store().ProgramPath = (folder / "BRACKET.bmf").string();
    env.Store().MaterialType = 1;  // cold rolled steel: the hardness check passes
    env.Store().MaterialThickness = 2.0f;
    env.ui.on_dialog = [this](MemoryDialogWindow& window) {
      seen.push_back(fs::path(window.GetControlText(kIdFileName)).filename().string() + ", " +
                     window.GetControlText(kIdTotalSteps) + ", " + window.GetControlText(kIdProgramName));
      const char action = seen.size() <= script.size() ? script[seen.size() - 1] : 'C';
      if (action == 'B') window.Press(kIdBrowseButton);
      window.Press(action == 'C' ? kIdOk : kIdCancel);
    };
  }
  void TearDown() override { fs::remove_all(folder); }

  bool PathOutUntouched() const { return path_out == std::string(kMaxPathBuffer, 'x'); }
  // The host API's list of the programs the last run wrote.
  static std::vector<std::string> Written() {
    std::vector<std::string> paths;
    for (int i = 0; i < GetWrittenProgramCount(); ++i) paths.push_back(GetWrittenProgramPath(i).str());
    return paths;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : env.messages) texts.push_back(message.text);
    return texts;
  }
};

TEST_F(GenerationRunTest, StepsAreGroupedByAdjacency) {
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 1, 2, 2, 1});
  script = "XXX";
  EXPECT_TRUE(GenerateMachineCodeFile(path_out.data()));
  EXPECT_EQ(seen, (std::vector<std::string>{"BRACKET.S1P1.wyr, 2, 120700", "BRACKET.S2P2.wyr, 2, 120700",
                                            "BRACKET.S1P3.wyr, 1, 120700"}));
  EXPECT_TRUE(env.messages.empty()) << "cancelling is silent";
  EXPECT_TRUE(PathOutUntouched());
  // The store keeps the lowered indexes; a second run lowers them again.
  const int lowered[] = {0, 0, 1, 1, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(env.Store().StepArray[i].GetSetupIndex(), lowered[i]) << i;
  GenerateMachineCodeFile(path_out.data());
  EXPECT_EQ(env.Store().StepArray[0].GetSetupIndex(), -1);
}

TEST_F(GenerationRunTest, CancelContinuesAndEachGroupSeesTheSerialOfTheCreateBeforeIt) {
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 2, 1});
  script = "CXC";
  EXPECT_TRUE(GenerateMachineCodeFile(path_out.data()));
  // A cancelled dialog stores nothing.
  EXPECT_EQ(seen, (std::vector<std::string>{"BRACKET.S1P1.wyr, 1, 120700", "BRACKET.S2P2.wyr, 1, 120701",
                                            "BRACKET.S1P3.wyr, 1, 120701"}));
  EXPECT_EQ(env.settings.Text("Serial Number"), "2");
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kCreated, kCreated}));
  EXPECT_EQ(env.messages[0].style, kMessageOk);
  EXPECT_STREQ(path_out.c_str(), env.Store().ProgramPath.c_str());
  // One step and the closing record.
  EXPECT_EQ(fs::file_size(folder / "BRACKET.S1P1.wyr"), 125u + 2u * 145u);
  EXPECT_FALSE(fs::exists(folder / "BRACKET.S2P2.wyr"));
  EXPECT_TRUE(fs::exists(folder / "BRACKET.S1P3.wyr"));
  EXPECT_EQ(Written(), (std::vector<std::string>{(folder / "BRACKET.S1P1.wyr").string(),
                                                 (folder / "BRACKET.S1P3.wyr").string()}));
  EXPECT_EQ(GetWrittenProgramPath(2).str(), "");
  EXPECT_EQ(GetWrittenProgramPath(-1).str(), "");
  seen.clear();
  script = "XXX";
  GenerateMachineCodeFile(path_out.data());
  EXPECT_TRUE(Written().empty()) << "each run starts a new list";
}

TEST_F(GenerationRunTest, AFailedCreateStopsTheRun) {
  env.AddSetup(0, 2);
  env.AddSetup(1, 0);  // a type 0 control: its programs cannot be created
  env.AddSteps({1, 2, 1});
  EXPECT_TRUE(GenerateMachineCodeFile(path_out.data()));
  EXPECT_EQ(seen.size(), 2u) << "no third dialog";
  ASSERT_EQ(MessageTexts(), (std::vector<std::string>{kCreated, kFailed}));
  EXPECT_EQ(env.messages[1].style, kMessageOk | kMessageIconStop);
  // The path of the first group's success stays in the buffer.
  EXPECT_STREQ(path_out.c_str(), env.Store().ProgramPath.c_str());
  // Each group of the run, as the host reads it afterwards.
  const struct {
    GroupOutcome outcome;
    const char* reason;
    const char* file;
  } expected[] = {{GroupOutcome::kCreated, "", "BRACKET.S1P1.wyr"},
                  {GroupOutcome::kFailed, "control type 0 has no program format: only control type 2 is written",
                   "BRACKET.S2P2.wyr"},
                  {GroupOutcome::kNotRun, "not run: the run ended at an earlier group", ""}};
  ASSERT_EQ(GetRunResultCount(), 3);
  for (int i = 0; i < 3; ++i) {
    GroupResult result;
    ASSERT_TRUE(GetRunResult(i, &result)) << i;
    EXPECT_EQ(result.group, i);
    EXPECT_EQ(result.firstStep, i);
    EXPECT_EQ(result.stepCount, 1);
    EXPECT_EQ(result.outcome, expected[i].outcome) << i;
    EXPECT_EQ(result.reason.str(), expected[i].reason) << i;
    EXPECT_EQ(fs::path(result.programFile.str()).filename().string(), expected[i].file) << i;
  }
  GroupResult untouched;
  untouched.stepCount = 99;
  EXPECT_FALSE(GetRunResult(3, &untouched));
  EXPECT_FALSE(GetRunResult(-1, &untouched));
  EXPECT_EQ(untouched.stepCount, 99);
}

TEST_F(GenerationRunTest, AFolderChosenInOneGroupCarriesOverToTheNext) {
  const fs::path other = folder / "other";
  fs::create_directories(other);
  env.ui.on_browse = [&](const std::string&, const std::string&) { return other.string(); };
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 2});
  script = "BC";  // group 1 moves the folder and is then cancelled
  GenerateMachineCodeFile(path_out.data());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(env.Store().ProgramPath, (other / "BRACKET.bmf").string());
  EXPECT_STREQ(path_out.c_str(), (other / "BRACKET.bmf").string().c_str());
  EXPECT_TRUE(fs::exists(other / "BRACKET.S2P2.wyr"));
  EXPECT_EQ(Written(), std::vector<std::string>{(other / "BRACKET.S2P2.wyr").string()});
}

TEST_F(GenerationRunTest, ADryRunShowsWhatARunShowsAndChangesNothing) {
  // Two groups of steps the driver calculates; their punch and die are not
  // in the (empty) tool list, so each step shows a box.
  env.AddSetup(0, 2);
  env.AddSetup(1, 2);
  env.AddSteps({1, 1, 2});
  for (int i = 0; i < 3; ++i) {
    env.Store().StepArray[i].SetMode(0);
    env.Store().StepArray[i].SetNumberInSquence(i + 1);
  }
  env.settings.Put("Serial Number", "4");
  env.settings.Put("Serial Month", "12");
  env.settings.Put("Serial Day", "7");
  const auto run = [&](bool dry) {
    for (int i = 0; i < 3; ++i) env.Store().StepArray[i].SetSetupIndex(i < 2 ? 1 : 2);
    env.messages.clear();
    seen.clear();
    SetDryRun(dry);
    GenerateMachineCodeFile(path_out.data());
    SetDryRun(false);
    std::vector<std::string> steps;
    for (int i = 0; i < GetCalculatedStepCount(); ++i) {
      CalculatedStep step;
      EXPECT_TRUE(GetCalculatedStep(i, &step));
      steps.push_back(std::to_string(step.group) + "/" + std::to_string(step.step) + " #" +
                      std::to_string(step.number) + ": " + std::to_string(step.warnings[0]) + " " +
                      std::to_string(step.warnings[1]) + ", " + std::to_string(step.depth) + " " +
                      std::to_string(step.force));
    }
    EXPECT_FALSE(GetCalculatedStep(GetCalculatedStepCount(), nullptr));
    return std::make_pair(MessageTexts(), steps);
  };
  const auto dry = run(true);
  EXPECT_TRUE(fs::is_empty(folder)) << "a dry run writes no program";
  EXPECT_EQ(env.settings.Text("Serial Number"), "4") << "nor moves the counter";
  EXPECT_EQ(env.settings.locks, 0);
  EXPECT_TRUE(Written().empty());
  // The counter stays at 4, yet the second program is shown the number a run
  // would give it: no two programs of a run share one.
  EXPECT_EQ(seen, (std::vector<std::string>{"BRACKET.S1P1.wyr, 2, 120704", "BRACKET.S2P2.wyr, 1, 120705"}));
  const auto real = run(false);
  EXPECT_EQ(dry.second, (std::vector<std::string>{"0/0 #1: 12 11, 0.000000 0.000000", "0/1 #2: 12 11, 0.000000 0.000000",
                                                  "1/0 #3: 12 11, 0.000000 0.000000"}));
  EXPECT_EQ(dry, real) << "the same boxes, in the same order, and the same calculations";
  EXPECT_EQ(Written().size(), 2u);
  EXPECT_EQ(env.settings.Text("Serial Number"), "6");
}

TEST_F(GenerationRunTest, NothingIsThrownToTheHost) {
  env.ui.on_dialog = [](MemoryDialogWindow&) { throw std::runtime_error("window system gone"); };
  env.AddSetup(0, 2);
  env.AddSteps({1});
  EXPECT_TRUE(GenerateMachineCodeFile(path_out.data()));
  EXPECT_TRUE(PathOutUntouched());
}

TEST_F(GenerationRunTest, WithoutStepsBufferOrStoreNothingIsWritten) {
  env.AddSetup(0, 2);
  EXPECT_TRUE(GenerateMachineCodeFile(path_out.data()));  // no steps: no dialog, no message
  EXPECT_TRUE(seen.empty());
  env.AddSteps({1});
  EXPECT_TRUE(GenerateMachineCodeFile(nullptr));
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kCreated});

  ResetStoreForTesting();
  SetStoreCreationFailsForTesting(true);
  const bool result = GenerateMachineCodeFile(path_out.data());
  SetStoreCreationFailsForTesting(false);
  EXPECT_TRUE(result);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_TRUE(PathOutUntouched());
}

TEST(CopyPathToHostTest, TheCopyIsBoundedAndTerminated) {
  const std::size_t lengths[] = {0, 1, 20, kMaxPathBuffer - 1, kMaxPathBuffer, kMaxPathBuffer + 1, 5000};
  for (const std::size_t length : lengths) {
    const std::string path(length, 'p');
    std::vector<char> buffer(kMaxPathBuffer + 16, 'x');
    CopyPathToHost(path, buffer.data());
    const std::size_t copied = std::min(length, kMaxPathBuffer - 1);
    EXPECT_EQ(std::string(buffer.data()), path.substr(0, copied)) << "length " << length;
    EXPECT_EQ(std::string(buffer.begin() + kMaxPathBuffer, buffer.end()), std::string(16, 'x'))
        << "length " << length << ": bytes outside the buffer changed";
  }
  CopyPathToHost("abc", nullptr);  // no buffer: nothing to do
}

}  // namespace
}  // namespace driverwyr
