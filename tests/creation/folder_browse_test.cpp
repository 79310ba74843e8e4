// The "..." button: choosing another output folder for the program file.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/creation_testing.h"
#include "creation/program_creation_dialog.h"

namespace driverwyr {
namespace {

// Paths are written with '|' where the platform's separator goes.
std::string P(std::string path) {
  std::replace(path.begin(), path.end(), '|', kPathSeparator);
  return path;
}

// A dialog whose folder browser answers `answer` and records how it was asked.
struct Dialog {
  testing::CreationEnvironment env;
  RecordArray<CPPStepInfo> steps;
  std::optional<std::string> answer;
  std::vector<std::string> titles, initial_folders;
  std::unique_ptr<ProgramCreationDialog> dialog;
  std::unique_ptr<MemoryDialogWindow> window;

  Dialog(const char* program_path, int setups) {
    env.ui.on_browse = [this](const std::string& title, const std::string& initial) {
      titles.push_back(title);
      initial_folders.push_back(initial);
      return answer ? std::optional<std::string>(P(*answer)) : std::nullopt;
    };
    for (int i = 0; i < setups; ++i) env.AddSetup(i, 2);
    env.Store().ProgramPath = P(program_path);
    env.Store().MaterialType = 1;
    steps.SetSize(1);
    dialog = std::make_unique<ProgramCreationDialog>(0, 0, 1, steps, true);
    window = std::make_unique<MemoryDialogWindow>(kCreationDialogTemplate, *dialog);
  }
};

TEST(FolderBrowseTest, ChosenFolderMovesFileNameAndProgramPath) {
  const struct {
    const char* name;
    const char* program_path;
    int setups;
    std::optional<std::string> answer;
    const char *file_name, *program_path_after;
  } cases[] = {
      {"cancelled", "C:|Out|BRACKET.bmf", 1, std::nullopt, "C:|Out|BRACKET.wyr", "C:|Out|BRACKET.bmf"},
      {"no file-system path", "C:|Out|BRACKET.bmf", 1, "", "C:|Out|BRACKET.wyr", "C:|Out|BRACKET.bmf"},
      {"another folder", "C:|Out|BRACKET.bmf", 1, "D:|New", "D:|New|BRACKET.wyr", "D:|New|BRACKET.bmf"},
      // A root already ends in the separator; the join does not check.
      {"drive root", "C:|Out|BRACKET.bmf", 1, "C:|", "C:||BRACKET.wyr", "C:||BRACKET.bmf"},
      {"numbered file name", "C:|Out|BRACKET.bmf", 2, "D:|New", "D:|New|BRACKET.S1P1.wyr", "D:|New|BRACKET.bmf"},
      {"path without folder", "Part.dxf", 1, "|b", "|b|Part.wyr", "|b|Part.bmf"},
  };
  for (const auto& c : cases) {
    Dialog d(c.program_path, c.setups);
    d.answer = c.answer;
    const std::string directory_before = d.dialog->Directory();
    ASSERT_TRUE(d.window->Open());
    ASSERT_TRUE(d.window->Press(kIdBrowseButton));
    SCOPED_TRACE(c.name);
    EXPECT_EQ(d.titles, std::vector<std::string>{"Select Folder:"});
    EXPECT_EQ(d.initial_folders, std::vector<std::string>{directory_before});
    EXPECT_EQ(d.dialog->Data().FileName, P(c.file_name));
    EXPECT_EQ(d.window->GetControlText(kIdFileName), P(c.file_name));
    EXPECT_EQ(d.env.Store().ProgramPath, P(c.program_path_after));
    EXPECT_EQ(d.dialog->Directory(), directory_before) << "the dialog's folder stays";
    if (c.answer && c.answer->empty()) {
      ASSERT_EQ(d.env.messages.size(), 1u);
      EXPECT_EQ(d.env.messages[0].text, "Folder name chosen is not valid.");
      EXPECT_EQ(d.env.messages[0].style, kMessageOk);
    } else {
      EXPECT_TRUE(d.env.messages.empty());
    }
  }
}

TEST(FolderBrowseTest, TypedTextIsKeptAndAFailedCheckDoesNotStopTheBrowser) {
  Dialog d("C:|Out|BRACKET.bmf", 1);
  d.answer = "D:|New";
  ASSERT_TRUE(d.window->Open());
  ASSERT_TRUE(d.window->Type(kIdProgramName, "P7"));
  ASSERT_TRUE(d.window->Type(kIdHardness, "0"));
  ASSERT_TRUE(d.window->Press(kIdBrowseButton));
  ASSERT_EQ(d.window->Validations().size(), 1u);
  EXPECT_EQ(d.window->Validations()[0].control_id, kIdHardness);
  EXPECT_EQ(d.titles.size(), 1u) << "the browser opens after the message";
  EXPECT_EQ(d.window->GetControlText(kIdProgramName), "P7");
  EXPECT_EQ(d.window->GetControlText(kIdFileName), P("D:|New|BRACKET.wyr"));
  // A second browse starts in the folder of the new file name.
  d.answer = "E:|Last";
  d.window->Type(kIdHardness, "40");
  ASSERT_TRUE(d.window->Press(kIdBrowseButton));
  EXPECT_EQ(d.initial_folders, (std::vector<std::string>{P("C:|Out|"), P("D:|New|")}));
  EXPECT_EQ(d.env.Store().ProgramPath, P("E:|Last|BRACKET.bmf"));
}

}  // namespace
}  // namespace driverwyr
