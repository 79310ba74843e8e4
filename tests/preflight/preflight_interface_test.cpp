// The pre-flight and the set-up sheet as a host calls them: what the
// pre-flight leaves of the host's settings and store, the C interface's
// walk of the findings, and sheets of a program the host's own run wrote.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "driver/ppdb.h"
#include "driverwyr/driverwyr_c.h"
#include "driverwyr/memory_dialog.h"
#include "driverwyr/preflight.h"
#include "driverwyr/sheet.h"
#include "job_file.h"
#include "platform/platform.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::HasSubstr;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FixedClock final : public Clock {
 public:
  CalendarDate UtcToday() const override { return {2026, 12, 7}; }
  CalendarDate LocalToday() const override { return {2026, 12, 7}; }
};

// A host's own user interface: presses "Create..." on every dialog and
// counts what it was shown.
class HostUi final : public MemoryUserInterface {
 public:
  HostUi() {
    on_dialog = [this](MemoryDialogWindow& window) {
      ++dialogs;
      window.Press(kIdOk);
    };
    on_message = [this](const std::string&, unsigned) {
      ++messages;
      return kIdOk;
    };
  }
  int dialogs = 0;
  int messages = 0;
};

// The example job in a folder of its own, read as wyr reads it and handed
// to the store.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("driverwyr-host-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::copy(EXAMPLES_DIR, dir_, fs::copy_options::recursive);
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");
    setenv("XDG_CONFIG_HOME", (dir_ / "config").string().c_str(), 1);
    ResetStoreForTesting();
    std::ifstream file(dir_ / "bracket.json");
    job_text_ = json::parse(file);
  }
  void TearDown() override {
    SetUserInterface(nullptr);
    SetClock(nullptr);
    ResetStoreForTesting();
    fs::remove_all(dir_);
  }
  void HandOver(wyr::Job& job, const json& text) {
    driverwyr::Result<wyr::Job> parsed = wyr::ParseJob(text.dump(), dir_);
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    job = std::move(*parsed);
    ASSERT_TRUE(wyr::ApplyJob(job, /*keep_records=*/true).ok());
  }

  fs::path dir_;
  json job_text_;
};

TEST_F(HostTest, PreflightLeavesTheHostsRolesStoreAndCounterAsTheyWere) {
  wyr::Job job;
  HandOver(job, job_text_);
  HostUi ui;
  FixedClock clock;
  SetUserInterface(&ui);
  SetClock(&clock);
  StoreCopy before;
  ASSERT_TRUE(CopyStore(before));

  // Twice, as a host that checks again after a change: the second report is
  // the first, so the first left the store as it found it.
  PreflightReport first, second;
  ASSERT_TRUE(RunPreflight(first));
  ASSERT_TRUE(RunPreflight(second));
  EXPECT_EQ(PreflightReportJson(first), PreflightReportJson(second));
  EXPECT_FALSE(first.calculated.empty());

  EXPECT_EQ(Platform::Current().ReplacedUserInterface(), &ui);
  EXPECT_EQ(Platform::Current().ReplacedClock(), &clock);
  EXPECT_EQ(ui.dialogs, 0) << "the pre-flight plays its own window";
  EXPECT_EQ(ui.messages, 0);
  StoreCopy after;
  ASSERT_TRUE(CopyStore(after));
  ASSERT_EQ(after.steps.GetSize(), before.steps.GetSize());
  for (int i = 0; i < after.steps.GetSize(); ++i) {
    EXPECT_EQ(after.steps[i].GetSetupIndex(), before.steps[i].GetSetupIndex()) << "steps[" << i << "]";
  }
  EXPECT_FALSE(fs::exists(dir_ / "config"));
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));

  // The host's own run afterwards is a real one: it writes its program.
  ASSERT_TRUE(CreateSerialCounterKey());
  GenerateMachineCodeFile(nullptr);
  EXPECT_EQ(ui.dialogs, 2) << "the example's two groups";
  EXPECT_EQ(GetWrittenProgramCount(), 2);
}

TEST_F(HostTest, CInterfaceWalksTheFindingsOfAnUnknownDie) {
  json text = job_text_;
  text["steps"][1]["ToolID"][1] = "NO-SUCH-DIE";
  wyr::Job job;
  HandOver(job, text);

  driverwyr_preflight_report* report = driverwyr_RunPreflight(1);
  ASSERT_NE(report, nullptr);
  PreflightReport expected;
  ASSERT_TRUE(RunPreflight(expected));
  ASSERT_EQ(driverwyr_preflight_report_size(report), static_cast<int>(expected.findings.size()));
  EXPECT_EQ(driverwyr_preflight_report_count(report, DRIVERWYR_SEVERITY_ERROR), expected.Count(Severity::kError));
  EXPECT_EQ(driverwyr_preflight_report_count(report, 7), 0);

  bool found = false;
  for (int i = 0; i < driverwyr_preflight_report_size(report); ++i) {
    driverwyr_finding finding{};
    ASSERT_EQ(driverwyr_preflight_report_finding(report, i, &finding), 0);
    if (std::string(finding.code) != "unknown-die") continue;
    found = true;
    EXPECT_EQ(finding.severity, DRIVERWYR_SEVERITY_ERROR);
    EXPECT_EQ(finding.step, 1);
    EXPECT_EQ(finding.number, job_text_["steps"][1]["NumberInSquence"].get<int>());
    EXPECT_STREQ(finding.record, "steps[1].ToolID[1]");
    EXPECT_THAT(finding.text, HasSubstr("\"NO-SUCH-DIE\""));
  }
  EXPECT_TRUE(found);
  driverwyr_finding untouched{};
  untouched.step = 42;
  EXPECT_EQ(driverwyr_preflight_report_finding(report, -1, &untouched), -1);
  EXPECT_EQ(driverwyr_preflight_report_finding(report, driverwyr_preflight_report_size(report), &untouched), -1);
  EXPECT_EQ(untouched.step, 42);

  // The JSON is the C++ interface's, cut and terminated as strings out are.
  const std::string whole = PreflightReportJson(expected);
  const int length = driverwyr_preflight_report_json(report, nullptr, 0);
  ASSERT_EQ(length, static_cast<int>(whole.size()));
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  EXPECT_EQ(driverwyr_preflight_report_json(report, buffer.data(), length + 1), length);
  EXPECT_EQ(std::string(buffer.data()), whole);
  driverwyr_preflight_report_free(report);

  EXPECT_EQ(driverwyr_preflight_report_size(nullptr), 0);
  EXPECT_EQ(driverwyr_preflight_report_json(nullptr, nullptr, 0), -1);
  driverwyr_preflight_report_free(nullptr);
}

// A file system whose replacements all fail, as a full disk would.
class FullDisk final : public FileSystemWrapper {
 public:
  FullDisk() : FileSystemWrapper(DefaultFileSystem()) {}
  Result<std::unique_ptr<FileReplacement>> BeginReplace(const std::string&) override {
    return Status::IoError("no space left on the device");
  }
};

TEST_F(HostTest, SheetOfTheHostsOwnRunMatchesTheSheetOfItsRecords) {
  wyr::Job job;
  HandOver(job, job_text_);
  // The records as the host handed them over, before the run lowers the
  // steps' SetupIndex in the store.
  StoreCopy records;
  ASSERT_TRUE(CopyStore(records));
  HostUi ui;
  SetUserInterface(&ui);
  ASSERT_TRUE(CreateSerialCounterKey());
  GenerateMachineCodeFile(nullptr);
  ASSERT_EQ(GetWrittenProgramCount(), 2) << "the example's two groups";

  // Each program's sheet from the store after the run (its steps lowered by
  // the run) and from the records the host handed over.
  const std::string from_store = (dir_ / "store.html").string();
  char why[256] = {};
  std::string html;
  for (int i = 0; i < GetWrittenProgramCount(); ++i) {
    const std::string written = GetWrittenProgramPath(i).str();
    SCOPED_TRACE(written);
    ASSERT_EQ(driverwyr_WriteSheet(written.c_str(), from_store.c_str(), "bracket.json", why, sizeof why), 0) << why;
    SheetOptions options;
    options.records = &records;
    options.records_label = "bracket.json";
    ASSERT_TRUE(RenderSheet(written, options, html));
    EXPECT_EQ(ReadAll(from_store), html);
    EXPECT_THAT(html, HasSubstr("bracket.json"));
  }
  const std::string program = GetWrittenProgramPath(GetWrittenProgramCount() - 1).str();

  // What goes wrong is told, and nothing is written.
  const struct {
    const char* name;
    std::string program;
    const char* label;
    int result;
    const char* says;
  } cases[] = {
      {"no program file", (dir_ / "none.wyr").string(), nullptr, DRIVERWYR_SHEET_PROGRAM_FILE, "none.wyr: "},
      {"a folder", dir_.string(), nullptr, DRIVERWYR_SHEET_PROGRAM_FILE, "is a folder"},
      {"a job file", (dir_ / "bracket.json").string(), nullptr, DRIVERWYR_SHEET_PROGRAM_FILE, "not a program file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path sheet = dir_ / "failed.html";
    EXPECT_EQ(driverwyr_WriteSheet(c.program.c_str(), sheet.string().c_str(), c.label, why, sizeof why), c.result);
    EXPECT_THAT(why, HasSubstr(c.says));
    EXPECT_FALSE(fs::exists(sheet));
  }

  // Records of another job do not match the program.
  DestroyPPDBInstance();
  EXPECT_EQ(driverwyr_WriteSheet(program.c_str(), (dir_ / "failed.html").string().c_str(), "other.json", why,
                                 sizeof why),
            DRIVERWYR_SHEET_RECORDS);
  EXPECT_THAT(why, HasSubstr("other.json: does not match the program"));

  FullDisk disk;
  Platform::Current().ReplaceFiles(&disk);
  SheetError error;
  EXPECT_FALSE(WriteSheet(program, from_store, SheetOptions(), &error));
  Platform::Current().ReplaceFiles(nullptr);
  EXPECT_EQ(error.failure, SheetFailure::kSheetFile);
  EXPECT_EQ(error.message, "no space left on the device");
  EXPECT_EQ(ReadAll(from_store), html) << "the sheet in place stays whole";
  EXPECT_EQ(driverwyr_WriteSheet(nullptr, "x.html", nullptr, why, sizeof why), -1);
}

}  // namespace
}  // namespace driverwyr
