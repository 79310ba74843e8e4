// Control types and materials: the values the dialog starts with, the
// material list, and what choosing a material does.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/creation_testing.h"
#include "creation/program_creation_dialog.h"

namespace driverwyr {
namespace {

struct Dialog {
  testing::CreationEnvironment env;
  RecordArray<CPPStepInfo> steps;
  std::unique_ptr<ProgramCreationDialog> dialog;
  std::unique_ptr<MemoryDialogWindow> window;

  Dialog(int control_type, int material_type, int unit = 0) {
    env.AddSetup(0, control_type, "SETUP-A", "PB100");
    env.Store().Unit = unit;
    env.Store().MaterialType = material_type;
    env.Store().MaterialTensile = 55.5f;
    env.Store().ProgramPath = "BRACKET.bmf";
    steps.SetSize(1);
    dialog = std::make_unique<ProgramCreationDialog>(0, 0, 1, steps, true);
    window = std::make_unique<MemoryDialogWindow>(kCreationDialogTemplate, *dialog);
  }
};

TEST(MaterialCodesTest, ControlTypeAndMaterialCodeGiveTheStartingValues) {
  // By material type 0 to 9; "" keeps the store's tensile value 55.5.
  const char* ex_names[] = {"", "Mild", "Mild", "Aluminium", "Aluminium", "Stainless", "Stainless",
                            "Mild", "Mild", ""};
  const float ex_hardness[] = {55.5f, 32, 32, 15, 15, 80, 80, 32, 32, 55.5f};
  const char* numbered_names[] = {"", "C.R.S.", "C.R.S.", "AL1", "AL2", "S.S.", "S.S.", "C.R.S.", "C.R.S.", ""};
  const int numbers[] = {0, 1, 1, 2, 3, 4, 4, 1, 1, 0};
  const float numbered_hardness[] = {55.5f, 40, 40, 33, 40, 60, 60, 40, 40, 55.5f};

  for (const int type : {0, 2, 7, 5, -3}) {
    for (int material = 0; material <= 9; ++material) {
      Dialog d(type, material);
      const ProgramData& data = d.dialog->Data();
      SCOPED_TRACE("control type " + std::to_string(type) + ", material type " + std::to_string(material));
      const auto m = static_cast<std::size_t>(material);
      if (type == 0) {
        EXPECT_EQ(d.dialog->ControlTypeName(), "EX");
        EXPECT_EQ(data.MaterialName, ex_names[m]);
        EXPECT_EQ(data.MaterialNumber, 0);
        EXPECT_EQ(data.Hardness, ex_hardness[m]);
      } else if (type == 2 || type == 7) {
        EXPECT_EQ(d.dialog->ControlTypeName(), type == 2 ? "Talvenor" : "BandR");
        EXPECT_EQ(data.MaterialName, numbered_names[m]);
        EXPECT_EQ(data.MaterialNumber, numbers[m]);
        EXPECT_EQ(data.Hardness, numbered_hardness[m]);
      } else {
        EXPECT_EQ(d.dialog->ControlTypeName(), "WYR");
        EXPECT_EQ(data.MaterialName, "");
        EXPECT_EQ(data.Hardness, 55.5f);
      }
      EXPECT_EQ(data.ControlType, type);
      EXPECT_EQ(d.dialog->SetupName(), "SETUP-A");
      EXPECT_EQ(d.dialog->MachineModel(), "PB100");
    }
  }
}

TEST(MaterialCodesTest, MaterialListOfEachControlType) {
  const struct {
    int control_type, material_type;
    std::vector<std::string> entries;
    std::string selected;
  } cases[] = {
      {0, 5, {"Mild", "Stainless", "Aluminium"}, "Stainless"},
      {2, 4, {"C.R.S.", "AL1", "AL2", "S.S."}, "AL2"},
      {7, 1, {"C.R.S.", "AL1", "AL2", "S.S."}, "C.R.S."},
      {5, 1, {}, ""},
  };
  for (const auto& c : cases) {
    Dialog d(c.control_type, c.material_type);
    ASSERT_TRUE(d.window->Open());
    SCOPED_TRACE("control type " + std::to_string(c.control_type));
    EXPECT_EQ(d.window->Find(kIdMaterialList)->entries, c.entries);
    EXPECT_EQ(d.window->GetControlText(kIdMaterialList), c.selected);
  }
}

TEST(MaterialCodesTest, ChoosingAMaterialAppliesItsValues) {
  const struct {
    int control_type, unit;
    const char *choice, *hardness, *number;
  } cases[] = {
      {2, 0, "C.R.S.", "40", "1"}, {2, 0, "AL1", "33", "2"},       {2, 0, "AL2", "40", "3"},
      {2, 0, "S.S.", "60", "4"},   {7, 1, "S.S.", "86.76", "4"},   {2, 1, "AL1", "47.718", "2"},
      // Type 0: hardness only, never the inch factor; the number stays 0.
      {0, 0, "Mild", "32", "0"},   {0, 1, "Stainless", "80", "0"}, {0, 1, "Aluminium", "15", "0"},
  };
  for (const auto& c : cases) {
    Dialog d(c.control_type, 9, c.unit);
    ASSERT_TRUE(d.window->Open());
    // Choosing the same material twice must not apply the inch factor twice.
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(std::string(c.choice) + ", type " + std::to_string(c.control_type) + ", unit " +
                   std::to_string(c.unit) + ", round " + std::to_string(round));
      ASSERT_TRUE(d.window->Choose(kIdMaterialList, c.choice));
      EXPECT_EQ(d.window->GetControlText(kIdHardness), c.hardness);
      EXPECT_EQ(d.window->GetControlText(kIdMaterialName), c.choice);
      EXPECT_EQ(d.window->GetControlText(kIdMaterialNumber), c.number);
    }
  }
}

TEST(MaterialCodesTest, ChoosingAMaterialRefillsEveryControl) {
  Dialog d(2, 1);
  ASSERT_TRUE(d.window->Open());
  ASSERT_TRUE(d.window->Type(kIdProgramName, "ABC"));
  ASSERT_TRUE(d.window->Choose(kIdMaterialList, "AL1"));
  EXPECT_EQ(d.window->GetControlText(kIdProgramName), "120700");
}

}  // namespace
}  // namespace driverwyr
