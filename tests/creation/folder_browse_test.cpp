// The "..." button: choosing another output folder for the program file.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/creation_testing.h"

namespace driverwyr {
namespace {

using testing::NativePath;

TEST(FolderBrowseTest, ChosenFolderMovesFileNameAndProgramPathAndKeepsTypedText) {
  const struct {
    const char* name;
    const char* program_path;
    int setups;  // 1 or 2
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
    SCOPED_TRACE(c.name);
    testing::CreationEnvironment env;
    std::optional<std::string> answer = c.answer;
    std::vector<std::string> initial_folders;
    env.ui.on_browse = [&](const std::string& title, const std::string& initial) {
      EXPECT_EQ(title, "Select Folder:");
      initial_folders.push_back(initial);
      return answer ? std::optional<std::string>(NativePath(*answer)) : std::nullopt;
    };
    env.SetJob(2, 1);
    if (c.setups == 2) env.AddSetup(1, 2);
    env.Store().ProgramPath = NativePath(c.program_path);
    testing::DialogUnderTest d;
    MemoryDialogWindow& window = d.window;
    const std::string path = NativePath(c.program_path), file_name = NativePath(c.file_name);
    ASSERT_TRUE(window.Open());
    // What was typed is kept, and a failed check does not stop the browser.
    ASSERT_TRUE(window.Type(kIdProgramName, "P7") && window.Type(kIdHardness, "0"));
    ASSERT_TRUE(window.Press(kIdBrowseButton));
    EXPECT_EQ(window.Validations().size(), 1u);
    EXPECT_EQ(window.GetControlText(kIdProgramName), "P7");
    EXPECT_EQ(window.GetControlText(kIdFileName), file_name);
    EXPECT_EQ(env.Store().ProgramPath, NativePath(c.program_path_after));
    EXPECT_EQ(env.messages.size(), c.answer && c.answer->empty() ? 1u : 0u);
    for (const auto& [text, style] : env.messages) {
      EXPECT_EQ(text, "Folder name chosen is not valid.");
      EXPECT_EQ(style, kMessageOk);
    }
    // The next browse starts in the folder of the file name.
    answer.reset();
    ASSERT_TRUE(window.Press(kIdBrowseButton));
    const auto folder = [](const std::string& p) { return p.substr(0, p.rfind(kPathSeparator) + 1); };
    EXPECT_EQ(initial_folders, (std::vector<std::string>{folder(path), folder(file_name)}));
  }
}

}  // namespace
}  // namespace driverwyr
