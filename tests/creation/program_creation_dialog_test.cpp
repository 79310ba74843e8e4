// The creation dialog: construction, how it shows and reads back its values,
// the typing limits and checks of each control type, and the create action.
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "creation/creation_internal.h"
#include "support/creation_testing.h"
#include "creation/program_creation_dialog.h"

namespace driverwyr {
namespace {

TEST(DialogTextTest, NumbersShownAndReadBack) {
  const std::pair<float, const char*> shown[] = {
      {0.0f, "0"},      {0.1f, "0.1"},   {57.84f, "57.84"},          {-2.5f, "-2.5"},
      {123456.7f, "123457"}, {1234567.0f, "1.23457e+06"}, {1e-5f, "1e-05"}};
  for (const auto& [value, text] : shown) EXPECT_EQ(FormatFloat(value), text) << value;

  const std::pair<const char*, std::optional<float>> read[] = {
      {" \t12.5  ", 12.5f},    {"+3", 3.0f},           {"1e3", 1000.0f},     {"", std::nullopt},
      {"12.5x", std::nullopt}, {"1 2", std::nullopt},  {"0x10", std::nullopt}, {"inf", std::nullopt},
      {"nan", std::nullopt},   {"1e39", std::nullopt}, {"12,5", std::nullopt}};
  for (const auto& [text, value] : read) EXPECT_EQ(ParseFloat(text), value) << '"' << text << '"';

  EXPECT_EQ(ParseInteger(" -7 ", -32768, 32767), -7);
  EXPECT_EQ(ParseInteger("32768", -32768, 32767), std::nullopt);
  EXPECT_EQ(ParseInteger("1.0", -32768, 32767), std::nullopt);
}

// A dialog for a group of `step_count` steps of a setup of `control_type`,
// with its in-memory window.
struct Dialog {
  testing::CreationEnvironment env;
  RecordArray<CPPStepInfo> steps;
  std::unique_ptr<ProgramCreationDialog> dialog;
  std::unique_ptr<MemoryDialogWindow> window;

  explicit Dialog(int control_type, int unit = 0, int step_count = 1, float thickness = 2.54f,
                  float tensile = 40.0f) {
    env.AddSetup(0, control_type);
    env.Store().Unit = unit;
    env.Store().MaterialThickness = thickness;
    env.Store().MaterialTensile = tensile;
    env.Store().MaterialType = 9;  // unknown to every control: the tensile value stays
    env.Store().ProgramPath = "BRACKET.bmf";
    steps.SetSize(step_count);
    dialog = std::make_unique<ProgramCreationDialog>(0, 0, step_count, steps, true);
    window = std::make_unique<MemoryDialogWindow>(kCreationDialogTemplate, *dialog);
  }
};

TEST(ProgramCreationDialogTest, ConstructionAppendsTheClosingStep) {
  Dialog d(2, 0, 3);
  ASSERT_EQ(d.steps.GetSize(), 4);
  EXPECT_EQ(d.steps[3].GetODC(), 251) << "the closing step is a default step";
  EXPECT_EQ(d.dialog->TotalSteps(), 3);
  EXPECT_EQ(d.dialog->Data().RecordCount, 4);
  EXPECT_EQ(d.dialog->Data().CreationDate, "12/07/26");
}

TEST(ProgramCreationDialogTest, TheFirstMatchingSetupOrADefaultOne) {
  testing::CreationEnvironment env;
  env.AddSetup(1, 7, "OTHER");
  env.AddSetup(0, 0, "WANTED");
  env.AddSetup(0, 2, "SECOND");
  RecordArray<CPPStepInfo> steps;
  steps.SetSize(1);
  const ProgramCreationDialog found(0, 0, 1, steps, true);
  EXPECT_EQ(&found.Setup(), &env.Store().SetupArray[1]);
  EXPECT_EQ(found.ControlTypeName(), "EX");
  EXPECT_EQ(found.SetupCount(), 3);
  // No setup with value 4: a default setup (type 2, no names) stands in.
  steps.SetSize(1);
  const ProgramCreationDialog missing(4, 0, 1, steps, true);
  EXPECT_FALSE(missing.SetupFound());
  EXPECT_EQ(missing.ControlTypeName(), "Talvenor");
  EXPECT_EQ(missing.SetupName(), "");
}

TEST(ProgramCreationDialogTest, OpeningShowsInchValuesForInchJobs) {
  const struct {
    int control_type, unit;
    const char *thickness, *hardness;
  } cases[] = {{2, 0, "2.54", "40"}, {2, 1, "0.1", "57.84"}, {7, 1, "0.1", "57.84"},
               {0, 1, "0.1", "40"},  {5, 1, "0.1", "40"}};
  for (const auto& c : cases) {
    Dialog d(c.control_type, c.unit, 3);
    ASSERT_TRUE(d.window->Open());
    SCOPED_TRACE("type " + std::to_string(c.control_type) + ", unit " + std::to_string(c.unit));
    EXPECT_EQ(d.window->GetControlText(kIdThickness), c.thickness);
    EXPECT_EQ(d.window->GetControlText(kIdHardness), c.hardness);
    EXPECT_EQ(d.window->GetControlText(kIdTotalSteps), "3");
    EXPECT_EQ(d.window->GetControlText(kIdFileName), "BRACKET.wyr");
    EXPECT_TRUE(d.window->Find(kIdBrowseButton)->visible);
  }
}

TEST(ProgramCreationDialogTest, LengthChecksBecomeTypingLimits) {
  // Limits of 1011, 1012, 1013, 1014, 1080, 1081 by control type; 0 = none.
  // The later check on box 1012 wins: 50 typed characters for type 0.
  const std::pair<int, std::vector<int>> cases[] = {{2, {6, 6, 6, 6, 6, 13}}, {7, {6, 6, 6, 6, 6, 13}},
                                                    {0, {6, 50, 6, 6, 50, 50}}, {5, {6, 6, 6, 6, 0, 0}}};
  const int ids[] = {kIdControlPunchName, kIdControlDieName, kIdControlDieHolderName,
                     kIdControlSpacerName, kIdProgramName, kIdPartReference};
  for (const auto& [type, limits] : cases) {
    Dialog d(type);
    ASSERT_TRUE(d.window->Open());
    for (std::size_t i = 0; i < limits.size(); ++i) {
      EXPECT_EQ(d.window->Find(ids[i])->text_limit, limits[i]) << "type " << type << ", control " << ids[i];
    }
  }
}

struct CheckCase {
  const char* name;
  int control_type, unit;
  std::vector<std::pair<int, std::string>> typed;  // cut to the typing limit
  std::vector<std::pair<int, std::string>> forced;  // set past the limit
  int failing_control;  // 0: all checks pass
  const char* message;
};

TEST(ProgramCreationDialogTest, CreateChecksTheFieldsInExchangeOrder) {
  const std::string fifty(50, 'N');
  const char kMore6[] = "Please enter no more than 6 characters.";
  const CheckCase cases[] = {
      {"empty program name passes", 2, 0, {{kIdProgramName, ""}}, {}, 0, ""},
      {"hardness 0", 2, 0, {{kIdHardness, "0"}}, {}, kIdHardness, "Please enter a number between 1 and 1000."},
      {"hardness 1000 passes", 2, 0, {{kIdHardness, " 1000 "}}, {}, 0, ""},
      {"hardness 1446 in inch passes", 2, 1, {{kIdHardness, "1446"}}, {}, 0, ""},
      {"hardness above 1446 in inch", 2, 1, {{kIdHardness, "1446.5"}}, {}, kIdHardness,
       "Please enter a number between 1 and 1446."},
      {"type 0 in inch keeps 1000", 0, 1, {{kIdHardness, "1001"}}, {}, kIdHardness,
       "Please enter a number between 1 and 1000."},
      {"no range for type 5", 5, 0, {{kIdHardness, "0"}}, {}, 0, ""},
      {"hardness not a number", 5, 0, {{kIdHardness, "12a"}}, {}, kIdHardness, "Please enter a number."},
      {"50-character program name, type 0", 0, 0, {{kIdProgramName, fifty + "X"}}, {}, 0, ""},
      {"51-character program name, type 0", 0, 0, {}, {{kIdProgramName, fifty + "X"}}, kIdProgramName,
       "Please enter no more than 50 characters."},
      {"7-character program name, type 2", 2, 0, {}, {{kIdProgramName, "1234567"}}, kIdProgramName, kMore6},
      {"14-character part reference, type 7", 7, 0, {}, {{kIdPartReference, "ABCDEFGHIJKLMN"}}, kIdPartReference,
       "Please enter no more than 13 characters."},
      {"any length, type 5", 5, 0, {{kIdProgramName, fifty + fifty}}, {}, 0, ""},
      {"die name typed to 50, type 0", 0, 0, {{kIdControlDieName, fifty}}, {}, kIdControlDieName, kMore6},
      {"punch name of 7, type 5", 5, 0, {}, {{kIdControlPunchName, "P88-SEC"}}, kIdControlPunchName, kMore6},
      // Only the first failing field in exchange order is reported.
      {"die name before hardness", 0, 0, {{kIdHardness, "0"}, {kIdControlDieName, fifty}}, {}, kIdControlDieName,
       kMore6},
      {"program name before part reference", 2, 0, {},
       {{kIdPartReference, "ABCDEFGHIJKLMN"}, {kIdProgramName, "1234567"}}, kIdProgramName, kMore6},
  };
  for (const CheckCase& c : cases) {
    Dialog d(c.control_type, c.unit);
    ASSERT_TRUE(d.window->Open());
    SCOPED_TRACE(c.name);
    for (const auto& [id, text] : c.typed) ASSERT_TRUE(d.window->Type(id, text));
    for (const auto& [id, text] : c.forced) d.window->SetControlText(id, text);
    d.window->FocusControl(kIdCancel);
    ASSERT_TRUE(d.window->Press(kIdOk));
    if (c.failing_control == 0) {
      EXPECT_EQ(d.window->Result(), kIdOk);
      EXPECT_TRUE(d.window->Validations().empty());
    } else {
      EXPECT_TRUE(d.window->IsOpen());
      ASSERT_EQ(d.window->Validations().size(), 1u);
      EXPECT_EQ(d.window->Validations()[0].control_id, c.failing_control);
      EXPECT_EQ(d.window->Validations()[0].text, c.message);
      EXPECT_EQ(d.window->FocusedControl(), c.failing_control);
    }
  }
}

TEST(ProgramCreationDialogTest, CreateReadsEveryFieldBackThroughItsText) {
  Dialog d(2, 0, 1, 1.23456789f);
  ASSERT_TRUE(d.window->Open());
  ASSERT_TRUE(d.window->Type(kIdProgramName, "p1"));
  ASSERT_TRUE(d.window->Type(kIdHardness, "45.5"));
  ASSERT_TRUE(d.window->Press(kIdOk));
  EXPECT_EQ(d.dialog->Data().ProgramName, "p1");
  EXPECT_EQ(d.dialog->Data().Hardness, 45.5f);
  // The read-only thickness comes back as the six digits it showed.
  EXPECT_EQ(d.dialog->Data().Thickness, 1.23457f);
}

TEST(ProgramCreationDialogTest, CreateProgramNormalisesTheNamesAndRefusesOtherControls) {
  for (const int type : {0, 7, 5}) {
    Dialog d(type);
    ASSERT_TRUE(d.window->Open());
    d.window->SetControlText(kIdProgramName, " ab ");
    d.window->SetControlText(kIdPartReference, " part-1\t ");
    ASSERT_TRUE(d.window->Press(kIdOk));
    EXPECT_FALSE(d.dialog->CreateProgram()) << type;
    EXPECT_EQ(d.dialog->Data().ProgramName, " AB") << type;
    EXPECT_EQ(d.dialog->Data().PartReference, " PART-1") << type;
    EXPECT_EQ(d.env.settings.writes, 0) << type << ": the counter does not move";
  }
}

TEST(ProgramCreationDialogTest, CreateProgramAdvancesTheCounterBeforeWriting) {
  testing::CreationEnvironment env;
  env.settings.Put("Serial Number", "4");
  env.settings.Put("Serial Month", "12");
  env.settings.Put("Serial Day", "7");
  env.AddSetup(0, 2);
  // A folder that does not exist: the file cannot be opened.
  env.Store().ProgramPath = (std::filesystem::temp_directory_path() / "driverwyr-no-such-folder" / "X.bmf").string();
  RecordArray<CPPStepInfo> steps;
  steps.SetSize(1);
  ProgramCreationDialog dialog(0, 0, 1, steps, true);
  EXPECT_FALSE(dialog.CreateProgram());
  EXPECT_EQ(env.settings.Text("Serial Number"), "5");
  EXPECT_EQ(env.settings.Text("Serial Month"), "12");
  EXPECT_EQ(env.settings.Text("Serial Day"), "7");
}

TEST(ProgramCreationDialogTest, AGroupBeyondTheHeadersRecordCountIsRefused) {
  // 32767 steps and the closing record do not fit the 16-bit record count.
  Dialog d(2, 0, std::numeric_limits<std::int16_t>::max());
  EXPECT_FALSE(d.dialog->CreateProgram());
  EXPECT_EQ(d.env.settings.writes, 0);
}

}  // namespace
}  // namespace driverwyr
