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
#include "util/text.h"

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

// The dialogs below are for material type 9, which no control knows: the
// tensile value 40 stays as hardness.
constexpr int kUnknownMaterial = 9;

TEST(ProgramCreationDialogTest, TheFirstMatchingSetupOrADefaultOne) {
  testing::CreationEnvironment env;
  env.AddSetup(1, 7, "OTHER");
  env.AddSetup(0, 0, "WANTED");
  env.AddSetup(0, 2, "SECOND");
  const testing::DialogUnderTest found;
  EXPECT_EQ(&found.dialog.Setup(), &env.Store().SetupArray[1]);
  EXPECT_EQ(found.dialog.ControlTypeName(), "EX");
  EXPECT_EQ(found.dialog.SetupCount(), 3);
  // No setup with value 4: a default setup (type 2, no names) stands in.
  const testing::DialogUnderTest missing(1, 4);
  EXPECT_FALSE(missing.dialog.SetupFound());
  EXPECT_EQ(missing.dialog.ControlTypeName(), "Talvenor");
  EXPECT_EQ(missing.dialog.SetupName(), "");
}

TEST(ProgramCreationDialogTest, OpeningShowsTheGroupAndInchValuesForInchJobs) {
  const struct {
    int control_type, unit;
    const char *thickness, *hardness;
  } cases[] = {{2, 0, "2.54", "40"}, {2, 1, "0.1", "57.84"}, {7, 1, "0.1", "57.84"},
               {0, 1, "0.1", "40"},  {5, 1, "0.1", "40"}};
  for (const auto& c : cases) {
    testing::JobDialog d(c.control_type, kUnknownMaterial, c.unit, 3);
    ASSERT_TRUE(d.window.Open());
    SCOPED_TRACE("type " + std::to_string(c.control_type) + ", unit " + std::to_string(c.unit));
    EXPECT_EQ(d.window.GetControlText(kIdThickness), c.thickness);
    EXPECT_EQ(d.window.GetControlText(kIdHardness), c.hardness);
    EXPECT_EQ(d.window.GetControlText(kIdTotalSteps), "3");
    EXPECT_EQ(d.steps.GetSize() * 10 + d.dialog.Data().RecordCount, 44) << "the closing step is appended";
    EXPECT_EQ(d.window.GetControlText(kIdFileName), "BRACKET.wyr");
    EXPECT_TRUE(d.window.Find(kIdBrowseButton)->visible);
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
    testing::JobDialog d(type, kUnknownMaterial);
    ASSERT_TRUE(d.window.Open());
    for (std::size_t i = 0; i < limits.size(); ++i) {
      EXPECT_EQ(d.window.Find(ids[i])->text_limit, limits[i]) << "type " << type << ", control " << ids[i];
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
    testing::JobDialog d(c.control_type, kUnknownMaterial, c.unit);
    ASSERT_TRUE(d.window.Open());
    SCOPED_TRACE(c.name);
    for (const auto& [id, text] : c.typed) ASSERT_TRUE(d.window.Type(id, text));
    for (const auto& [id, text] : c.forced) d.window.SetControlText(id, text);
    d.window.FocusControl(kIdCancel);
    ASSERT_TRUE(d.window.Press(kIdOk));
    std::vector<std::pair<int, std::string>> shown;
    for (const ValidationNotice& notice : d.window.Validations()) shown.emplace_back(notice.control_id, notice.text);
    EXPECT_EQ(shown, (c.failing_control == 0 ? decltype(shown){} : decltype(shown){{c.failing_control, c.message}}));
    EXPECT_EQ(d.window.Result(), c.failing_control == 0 ? kIdOk : -1) << "a failed check keeps the dialog open";
    EXPECT_EQ(d.window.FocusedControl(), c.failing_control == 0 ? kIdCancel : c.failing_control);
  }
}

TEST(ProgramCreationDialogTest, CreateReadsEveryFieldBackThroughItsText) {
  testing::JobDialog d(2, kUnknownMaterial, 0, 1, 1.23456789f);
  ASSERT_TRUE(d.window.Open());
  ASSERT_TRUE(d.window.Type(kIdProgramName, "p1"));
  ASSERT_TRUE(d.window.Type(kIdHardness, "45.5"));
  ASSERT_TRUE(d.window.Press(kIdOk));
  EXPECT_EQ(d.dialog.Data().ProgramName, "p1");
  EXPECT_EQ(d.dialog.Data().Hardness, 45.5f);
  // The read-only thickness comes back as the six digits it showed.
  EXPECT_EQ(d.dialog.Data().Thickness, 1.23457f);
}

TEST(ProgramCreationDialogTest, CreateProgramNormalisesTheNamesAndRefusesOtherControls) {
  for (const int type : {0, 7, 5}) {
    testing::JobDialog d(type, kUnknownMaterial);
    ASSERT_TRUE(d.window.Open());
    d.window.SetControlText(kIdProgramName, " ab ");
    d.window.SetControlText(kIdPartReference, " part-1\t ");
    ASSERT_TRUE(d.window.Press(kIdOk));
    EXPECT_FALSE(d.dialog.CreateProgram().ok()) << type;
    EXPECT_EQ(d.dialog.Data().ProgramName, " AB") << type;
    EXPECT_EQ(d.dialog.Data().PartReference, " PART-1") << type;
    EXPECT_EQ(d.settings.Writes(), 0) << type << ": the counter does not move";
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
  testing::DialogUnderTest d;
  EXPECT_FALSE(d.dialog.CreateProgram().ok());
  EXPECT_EQ(env.settings.Text("Serial Number") + "/" + env.settings.Text("Serial Month") + "/" +
                env.settings.Text("Serial Day"),
            "5/12/7");
}

TEST(ProgramCreationDialogTest, AGroupBeyondTheHeadersRecordCountIsRefused) {
  // 32767 steps and the closing record do not fit the 16-bit record count.
  testing::JobDialog d(2, kUnknownMaterial, 0, std::numeric_limits<std::int16_t>::max());
  EXPECT_FALSE(d.dialog.CreateProgram().ok());
  EXPECT_EQ(d.settings.Writes(), 0);
}

}  // namespace
}  // namespace driverwyr
