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
#include "driverwyr/files.h"
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
  bool lock_fails = false;

  FaultySettings& operator=(const FaultySettings& other) {
    open_fails = other.open_fails;
    write_fails = other.write_fails;
    lock_fails = other.lock_fails;
    return *this;
  }
  Result<std::unique_ptr<SettingsLock>> LockUserKey(const std::string& path) override {
    if (lock_fails) return Status::IoError(path + " is kept locked by another program");
    return SettingsStoreWrapper::LockUserKey(path);
  }

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
    Status ReadValue(const std::string& name, char* buffer, std::size_t size) override {
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
    std::string message;
  } cases[] = {
      {"key cannot be opened", true, false, "120700",
       "The program number counter could not be read: this program is numbered 120700, which another program may "
       "have too."},
      {"a write fails", false, true, "120704",
       "The program number 120704 could not be saved: the next program may get the same number."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    env_.messages.clear();
    settings_.open_fails = c.open_fails;
    settings_.write_fails = c.write_fails;
    Run();
    ASSERT_EQ(Boxes().size(), 2u);
    // The message, then the reason on a line of its own.
    const std::string text = Boxes()[0].first;
    EXPECT_EQ(text.substr(0, text.find('\n')), c.message);
    EXPECT_GT(text.size(), text.find('\n') + 1) << text;
    EXPECT_EQ(Boxes()[0].second, kWarn);
    EXPECT_EQ(Boxes()[1], std::make_pair(std::string(kCreated), kMessageOk));
    EXPECT_EQ(Program().substr(0, 6), c.number);
    EXPECT_EQ(env_.settings.Text("Serial Number"), "4") << "the counter is as it was";
  }
}

// Whatever state the counter is in, the programs of one run get numbers of
// their own, and the operator learns what happened to each number.
TEST_F(FaultsTest, NoTwoProgramsOfARunShareANumber) {
  env_.AddSetup(1, 2, "S2");
  const std::string not_read =
      "The program number counter could not be read: this program is numbered %, which another program may have "
      "too.\n";
  const std::string not_saved = "The program number % could not be saved: the next program may get the same number.\n";
  const struct {
    const char* name;
    std::function<void()> prepare;
    std::vector<std::string> numbers;  // of the three programs
    std::string box;                   // the box each program gets, % for its number; its reason follows
    std::string counter;               // "Serial Number" afterwards
  } cases[] = {
      {"the lock is held too long", [&] { settings_.lock_fails = true; }, {"120704", "120705", "120706"}, not_read, "4"},
      {"the key cannot be opened", [&] { settings_.open_fails = true; }, {"120700", "120701", "120702"}, not_read, "4"},
      {"values that are no counter", [&] { env_.settings.Put("Serial Month", "XII"); },
       {"120700", "120701", "120702"}, not_read, "4"},
      {"the counter cannot be stored", [&] { settings_.write_fails = true; }, {"120704", "120705", "120706"},
       not_saved, "4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    env_.messages.clear();
    settings_ = FaultySettings(env_.settings);
    env_.settings.Put("Serial Number", "4");
    env_.settings.Put("Serial Month", "12");
    env_.settings.Put("Serial Day", "7");
    c.prepare();
    // Three groups: the first setup comes back after the second.
    env_.Store().StepArray.RemoveAll();
    env_.AddSteps({1, 2, 1});
    Run();
    std::vector<std::string> numbers;
    for (const char* name : {"PART.S1P1.wyr", "PART.S2P2.wyr", "PART.S1P3.wyr"}) {
      std::ifstream in(folder_ / name, std::ios::binary);
      numbers.push_back(std::string(std::istreambuf_iterator<char>(in), {}).substr(0, 6));
    }
    EXPECT_EQ(numbers, c.numbers);
    ASSERT_EQ(Boxes().size(), 6u);
    for (std::size_t i = 0; i < 3; ++i) {
      std::string want = c.box;
      want.replace(want.find('%'), 1, numbers[i]);
      EXPECT_EQ(Boxes()[2 * i].first.substr(0, want.size()), want);
      EXPECT_GT(Boxes()[2 * i].first.size(), want.size()) << "the reason follows";
      EXPECT_EQ(Boxes()[2 * i].second, kWarn);
      EXPECT_EQ(Boxes()[2 * i + 1], std::make_pair(std::string(kCreated), kMessageOk));
    }
    EXPECT_EQ(env_.settings.Text("Serial Number"), c.counter) << "the counter is as it was";
  }
}

TEST_F(FaultsTest, TheDaysHundredthProgramIsToldThatItsNumberRepeats) {
  env_.AddSetup(1, 2, "S2");
  env_.settings.Put("Serial Number", "99");
  env_.Store().StepArray.RemoveAll();
  env_.AddSteps({1, 2});
  Run();
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::string, unsigned>>{
                         {kCreated, 0},
                         {"Program number 120700 is given a second time today: the day's numbers 00 to 99 are used up "
                          "and start again at 00.",
                          kInfo},
                         {kCreated, 0}}));
  {
    // Closed before the next run replaces them: Windows refuses to replace
    // a file that is open.
    std::ifstream first(folder_ / "PART.S1P1.wyr", std::ios::binary);
    std::ifstream second(folder_ / "PART.S2P2.wyr", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(first), {}).substr(0, 6), "120799");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(second), {}).substr(0, 6), "120700");
  }
  EXPECT_EQ(env_.settings.Text("Serial Number"), "1");
  // A new day starts at 00 without a word.
  env_.messages.clear();
  env_.clock.utc = {2026, 12, 8};
  env_.Store().StepArray.RemoveAll();
  env_.AddSteps({1, 2});
  Run();
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::string, unsigned>>{{kCreated, 0}, {kCreated, 0}}));
}

TEST_F(FaultsTest, AFailedReplacementLeavesTheOldProgram) {
  // The reason in a box of its own before the failure, whose text stays as
  // hosts know it.
  const auto reason = [&](const std::string& why) {
    return std::make_pair("The program file could not be written: " + program_.string() + ": " + why, kStop);
  };
  const struct {
    const char* name;
    FaultyFiles::Fault fault;
    bool read_only;
    std::vector<std::pair<std::string, unsigned>> boxes;
  } cases[] = {
      {"temporary file cannot be created", FaultyFiles::Fault::kCreate, false,
       {{kOpenFails, 0}, reason("its folder cannot be written"), {kFailed, kStop}}},
      {"write fails half-way", FaultyFiles::Fault::kHalfWritten, false,
       {reason("the disk is full"), {kFailed, kStop}}},
      {"rename fails", FaultyFiles::Fault::kRename, false,
       {{kOpenFails, 0}, reason("cannot be replaced"), {kFailed, kStop}}},
      {"target read-only", FaultyFiles::Fault::kNone, true,
       {{kOpenFails, 0}, reason("is read-only"), {kFailed, kStop}}},
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
