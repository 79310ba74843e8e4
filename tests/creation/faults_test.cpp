// Faults of the outside world during a run, injected through forwarding
// wrappers of the platform roles: what the operator is shown, what is on disk
// and what the serial counter holds afterwards.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driverwyr/driverwyr.h"
#include "platform/files.h"
#include "support/creation_testing.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;

constexpr char kCreated[] = "The program is created, you can now use Linvaro to send it to the control.";
constexpr char kFailed[] = "program created failed !";
constexpr char kOpenFails[] = "Open file fails!";
constexpr unsigned kInfo = kMessageOk | kMessageIconInformation;
constexpr unsigned kWarn = kMessageOk | kMessageIconWarning;
constexpr unsigned kStop = kMessageOk | kMessageIconStop;
constexpr char kOld[] = "the program of an earlier run";

// Settings whose key can be opened for reading and writing or not, and
// whose writes fail when asked to.
class FaultySettings final : public SettingsStoreWrapper {
 public:
  using SettingsStoreWrapper::SettingsStoreWrapper;
  bool open_fails = false;
  bool write_fails = false;

  std::unique_ptr<SettingsKey> OpenUserKey(const std::string& path, bool for_writing) override {
    if (open_fails) return nullptr;
    std::unique_ptr<SettingsKey> key = SettingsStoreWrapper::OpenUserKey(path, for_writing);
    if (key == nullptr || !for_writing || !write_fails) return key;
    return std::make_unique<RefusingKey>(std::move(key));
  }

 private:
  class RefusingKey final : public SettingsKey {
   public:
    explicit RefusingKey(std::unique_ptr<SettingsKey> base) : base_(std::move(base)) {}
    bool ReadValue(const std::string& name, char* buffer, std::size_t size) override {
      return base_->ReadValue(name, buffer, size);
    }
    bool WriteValue(const std::string&, const char*, std::size_t) override { return false; }
    Status WriteValues(const std::vector<SettingsValue>&) override { return Status::IoError("the disk is full"); }

   private:
    std::unique_ptr<SettingsKey> base_;
  };
};

// Files whose replacement fails at the step asked for.
class FaultyFiles final : public FileSystemWrapper {
 public:
  enum class Fault { kNone, kCreate, kHalfWritten, kRename };
  using FileSystemWrapper::FileSystemWrapper;
  Fault fault = Fault::kNone;

  Result<std::unique_ptr<FileReplacement>> BeginReplace(const std::string& path) override {
    if (fault == Fault::kCreate) return Status::IoError("its folder cannot be written");
    Result<std::unique_ptr<FileReplacement>> real = FileSystemWrapper::BeginReplace(path);
    if (!real.ok() || fault == Fault::kNone) return real;
    return std::unique_ptr<FileReplacement>(std::make_unique<Faulty>(std::move(*real), fault));
  }

 private:
  class Faulty final : public FileReplacement {
   public:
    Faulty(std::unique_ptr<FileReplacement> base, Fault fault) : base_(std::move(base)), fault_(fault) {}
    Status Write(std::string_view bytes) override {
      if (fault_ != Fault::kHalfWritten) return base_->Write(bytes);
      (void)base_->Write(bytes.substr(0, bytes.size() / 2));
      return Status::IoError("the disk is full");
    }
    Status Commit() override {
      return fault_ == Fault::kRename ? Status::Refused("cannot be replaced") : base_->Commit();
    }

   private:
    std::unique_ptr<FileReplacement> base_;
    Fault fault_;
  };
};

// A folder browser that hands back an item without a file-system path.
class PathlessBrowser final : public UserInterfaceWrapper {
 public:
  using UserInterfaceWrapper::UserInterfaceWrapper;
  std::optional<std::string> BrowseForFolder(DialogWindow&, const std::string&, const std::string&) override {
    return std::string();
  }
};

class FaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    env_.SetJob(2, 1, 0, 2.0f);
    env_.Store().ProgramPath = (folder_ / "PART.bmf").string();
    env_.AddSteps({1});
    env_.settings.Put("Serial Number", "4");
    env_.settings.Put("Serial Month", "12");
    env_.settings.Put("Serial Day", "7");
    std::ofstream(program_, std::ios::binary) << kOld;
    Platform::Current().ReplaceSettings(&settings_);
    Platform::Current().ReplaceFiles(&files_);
  }
  void TearDown() override {
    Platform::Current().ReplaceFiles(nullptr);
    Platform::Current().ReplaceUserInterface(nullptr);
    fs::permissions(program_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder_);
  }

  // Runs the job; the operator presses "Create..." (after `before_create`).
  void Run(const std::function<void(MemoryDialogWindow&)>& before_create = {}) {
    env_.ui.on_dialog = [&](MemoryDialogWindow& window) {
      if (before_create) before_create(window);
      window.Press(kIdOk);
    };
    char path[kMaxPathBuffer] = {};
    GenerateMachineCodeFile(path);
  }
  std::vector<std::pair<std::string, unsigned>> Boxes() const {
    std::vector<std::pair<std::string, unsigned>> boxes;
    for (const auto& message : env_.messages) boxes.emplace_back(message.text, message.style);
    return boxes;
  }
  std::string Program() const {
    std::ifstream in(program_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
    return names;
  }

  testing::CreationEnvironment env_;
  FaultySettings settings_{env_.settings};
  FaultyFiles files_{DefaultFileSystem()};
  const fs::path folder_ = fs::temp_directory_path() /
                           ("driverwyr_faults_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  const fs::path program_ = folder_ / "PART.wyr";
};

TEST_F(FaultsTest, ACounterThatCannotBeStoredIsToldAndTheProgramStillWritten) {
  const struct {
    const char* name;
    bool open_fails, write_fails;
    const char* number;  // of the program written
  } cases[] = {{"key cannot be opened", true, false, "120700"}, {"a write fails", false, true, "120704"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    env_.messages.clear();
    settings_.open_fails = c.open_fails;
    settings_.write_fails = c.write_fails;
    Run();
    ASSERT_EQ(Boxes().size(), 2u);
    // The message, then the reason on a line of its own.
    const std::string text = Boxes()[0].first;
    EXPECT_EQ(text.substr(0, text.find('\n')), "The program number " + std::string(c.number) +
                                                   " could not be saved: the next program may get the same number.");
    EXPECT_GT(text.size(), text.find('\n') + 1) << text;
    EXPECT_EQ(Boxes()[0].second, kWarn);
    EXPECT_EQ(Boxes()[1], std::make_pair(std::string(kCreated), kMessageOk));
    EXPECT_EQ(Program().substr(0, 6), c.number);
    EXPECT_EQ(env_.settings.Text("Serial Number"), "4") << "the counter is as it was";
  }
}

TEST_F(FaultsTest, AFailedReplacementLeavesTheOldProgram) {
  const struct {
    const char* name;
    FaultyFiles::Fault fault;
    bool read_only;
    std::vector<std::pair<std::string, unsigned>> boxes;
  } cases[] = {
      {"temporary file cannot be created", FaultyFiles::Fault::kCreate, false, {{kOpenFails, 0}, {kFailed, kStop}}},
      {"write fails half-way", FaultyFiles::Fault::kHalfWritten, false, {{kFailed, kStop}}},
      {"rename fails", FaultyFiles::Fault::kRename, false, {{kOpenFails, 0}, {kFailed, kStop}}},
      {"target read-only", FaultyFiles::Fault::kNone, true, {{kOpenFails, 0}, {kFailed, kStop}}},
  };
  int serial = 4;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    env_.messages.clear();
    files_.fault = c.fault;
    if (c.read_only) fs::permissions(program_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                     fs::perm_options::remove);
    Run();
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Program(), kOld);
    EXPECT_EQ(Entries(), std::vector<std::string>{"PART.wyr"}) << "nothing is left beside it";
    // The number is claimed before the file is written, as the control's
    // numbering requires.
    EXPECT_EQ(env_.settings.Text("Serial Number"), std::to_string(++serial));
  }
}

TEST_F(FaultsTest, TheProgramNumberFollowsTheCounterWhenItMovedMeanwhile) {
  const struct {
    const char* name;
    std::function<void(MemoryDialogWindow&)> before_create;
    std::vector<std::pair<std::string, unsigned>> boxes;
    const char *number, *counter;
  } cases[] = {
      {"another host took 120704 and 120705",
       [&](MemoryDialogWindow&) { env_.settings.Put("Serial Number", "6"); },
       {{"Program number 120704 was taken by another program meanwhile; this program is numbered 120706.", kInfo},
        {kCreated, 0}},
       "120706", "7"},
      {"the date changed", [&](MemoryDialogWindow&) { env_.clock.utc = {2026, 12, 8}; },
       {{"The date changed while the dialog was open; this program is numbered 120800 instead of 120704.", kInfo},
        {kCreated, 0}},
       "120800", "1"},
      {"a name the operator typed is kept",
       [&](MemoryDialogWindow& window) {
         env_.settings.Put("Serial Number", "6");
         window.Type(kIdProgramName, "abc");
       },
       {{kCreated, 0}}, "ABC   ", "7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    env_.messages.clear();
    env_.clock.utc = {2026, 12, 7};
    env_.settings.Put("Serial Number", "4");
    env_.settings.Put("Serial Month", "12");
    env_.settings.Put("Serial Day", "7");
    Run(c.before_create);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Program().substr(0, 6), c.number);
    EXPECT_EQ(env_.settings.Text("Serial Number"), c.counter);
    EXPECT_EQ(env_.settings.locks, 1) << "claimed under the lock";
    env_.settings.locks = 0;
  }
}

TEST_F(FaultsTest, AFolderBrowserItemWithoutPathChangesNothing) {
  PathlessBrowser browser(env_.ui);
  Platform::Current().ReplaceUserInterface(&browser);
  Run([](MemoryDialogWindow& window) { window.Press(kIdBrowseButton); });
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::string, unsigned>>{{"Folder name chosen is not valid.", 0},
                                                                    {kCreated, 0}}));
  EXPECT_EQ(Program().substr(0, 6), "120704");
  EXPECT_EQ(env_.Store().ProgramPath, (folder_ / "PART.bmf").string());
}

}  // namespace
}  // namespace driverwyr
