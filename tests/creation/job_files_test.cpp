// The files a program is made from, changing or damaged during a run: a
// material data file replaced between two steps of one program, and a
// conversion file holding a NUL byte. What the operator is shown, what is on
// disk and what the serial counter holds afterwards.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "driverwyr/driverwyr.h"
#include "driverwyr/files.h"
#include "driverwyr/material_data.h"
#include "support/creation_testing.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;
using Boxes = std::vector<std::pair<std::string, unsigned>>;

constexpr char kCreated[] = "The program is created, you can now use Linvaro to send it to the control.";
constexpr char kFailed[] = "program created failed !";
constexpr unsigned kStop = kMessageOk | kMessageIconStop;

// A material file of constant models; `inner` is log10 of the inner radius
// over the thickness.
std::string Material(float inner) {
  MaterialFile file;
  const float constants[] = {1.5f, 0.42f, inner, 0.85f};
  for (int i = 0; i < kModelCount; ++i) {
    file.models[static_cast<std::size_t>(i)].form = kFormPolynomial;
    file.models[static_cast<std::size_t>(i)].coefficients[0] = constants[i];
  }
  const std::vector<std::uint8_t> bytes = EncodeMaterialFile(file);
  return std::string(bytes.begin(), bytes.end());
}

void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Files that run `after_first_read` once a material file has been read the
// first time.
class ChangingFiles final : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  std::function<void()> after_first_read;
  Result<std::size_t> ReadPrefix(const std::string& path, std::span<char> buffer) override {
    Result<std::size_t> read = FileSystemWrapper::ReadPrefix(path, buffer);
    if (path.ends_with("f_1") && after_first_read) std::exchange(after_first_read, nullptr)();
    return read;
  }
};

// One group of three calculated steps: punch P1, die D16 on a 100 t machine,
// 2 mm sheet of material 1 (the data folder's f_1), bent to 90 degrees.
class JobFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "data");
    env_.SetJob(2, 1, 0, 2.0f);
    PPDB& store = env_.Store();
    store.ProgramPath = (folder_ / "PART.bmf").string();
    store.DataPath = (folder_ / "data").string();
    store.SetupArray[0].SetUserMachineName("PB100");
    CPPTool punch, die;
    punch.SetToolName("P1");
    punch.SetPunchResistance(1000);
    die.SetToolName("D16");
    die.SetVWidth(16);
    die.SetAngle(88);
    die.SetRadius(2);
    die.SetDieResistance(1000);
    store.ToolArray.Add(punch);
    store.ToolArray.Add(die);
    CPPMachine machine;
    machine.SetUserMachineName("PB100");
    machine.SetTonnage(1000);
    machine.SetMaxBendingLength(3000);
    store.MachineArray.Add(machine);
    for (int number = 1; number <= 3; ++number) {
      CPPStepInfo step;
      step.SetSetupIndex(1);
      step.SetNumberInSquence(number);
      step.SetBendAngle(90);
      step.SetBendLength(1000, 0);
      char ids[6][32] = {"P1", "D16"};
      step.SetToolID(ids);
      store.StepArray.Add(step);
    }
    env_.settings.Put("Serial Number", "4");
    env_.settings.Put("Serial Month", "12");
    env_.settings.Put("Serial Day", "7");
    Write(folder_ / "data" / "f_1", Material(0.19f));
    Platform::Current().ReplaceFiles(&files_);
  }
  void TearDown() override {
    Platform::Current().ReplaceFiles(nullptr);
    fs::remove_all(folder_);
  }

  void Run() {
    env_.ui.on_dialog = [](MemoryDialogWindow& window) { window.Press(kIdOk); };
    char path[kMaxPathBuffer] = {};
    GenerateMachineCodeFile(path);
  }
  Boxes Shown() const {
    Boxes boxes;
    for (const auto& message : env_.messages) boxes.emplace_back(message.text, message.style);
    return boxes;
  }

  testing::CreationEnvironment env_;
  ChangingFiles files_{DefaultFileSystem()};
  const fs::path folder_ = fs::temp_directory_path() /
                           ("driverwyr_job_files_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  const fs::path program_ = folder_ / "PART.wyr";
};

TEST_F(JobFilesTest, AProgramIsMadeFromOneVersionOfEachMaterialFile) {
  const fs::path material = folder_ / "data" / "f_1";
  const std::string changed =
      "The material data file " + material.string() +
      " changed while the program was written: its steps would mix two versions of the file. The program is not "
      "created; create it again.";
  const struct {
    const char* name;
    std::function<void()> between_steps;
    bool created;
  } cases[] = {
      {"replaced by other models", [&] { Write(material, Material(0.5f)); }, false},
      {"removed", [&] { fs::remove(material); }, false},
      {"cut short", [&] { Write(material, Material(0.19f).substr(0, 20)); }, false},
      {"written again, the same", [&] { Write(material, Material(0.19f)); }, true},
  };
  int serial = 4;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    env_.messages.clear();
    fs::remove(program_);
    Write(material, Material(0.19f));
    files_.after_first_read = c.between_steps;
    env_.Store().StepArray[0].SetSetupIndex(1);
    for (int i = 0; i < 3; ++i) env_.Store().StepArray[i].SetSetupIndex(1);
    Run();
    ASSERT_FALSE(env_.messages.empty());
    if (c.created) {
      EXPECT_EQ(Shown(), (Boxes{{kCreated, kMessageOk}}));
      EXPECT_EQ(fs::file_size(program_), 125u + 145u * 4u);
    } else {
      EXPECT_EQ(Shown(), (Boxes{{changed, kStop}, {kFailed, kStop}}));
      EXPECT_FALSE(fs::exists(program_));
    }
    // The number was claimed before the steps were calculated.
    EXPECT_EQ(env_.settings.Text("Serial Number"), std::to_string(++serial));
  }
}

TEST_F(JobFilesTest, AConversionFileWithANulIsNoSourceOfToolNames) {
  const fs::path conversion = folder_ / "tools.cnv";
  env_.Store().ConversionPath = conversion.string();
  // "P88" would reach the control as "P8".
  Write(conversion, std::string("D16 D16\nP1 P8\0" "8\n", 15));
  Run();
  EXPECT_EQ(Shown(), (Boxes{{"The tool name conversion file cannot be used: " + conversion.string() +
                                 ": line 2 holds a NUL byte, which no tool name may contain",
                             kStop},
                            {kFailed, kStop}}));
  EXPECT_FALSE(fs::exists(program_));
  EXPECT_EQ(env_.settings.Text("Serial Number"), "4") << "no number is used up";
}

}  // namespace
}  // namespace driverwyr
