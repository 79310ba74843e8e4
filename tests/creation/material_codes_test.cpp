// Control types and materials: the values the dialog starts with, the
// material list, and what choosing a material does.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/creation_testing.h"

namespace driverwyr {
namespace {

// A tensile value of 55.5 is no table's hardness: it shows where none applies.
constexpr float kTensile = 55.5f;

TEST(MaterialCodesTest, ControlTypeAndMaterialCodeGiveTheStartingValues) {
  // By material type 0 to 9; "" keeps the store's tensile value.
  const char* ex_names[] = {"", "Mild", "Mild", "Aluminium", "Aluminium", "Stainless", "Stainless",
                            "Mild", "Mild", ""};
  const float ex_hardness[] = {kTensile, 32, 32, 15, 15, 80, 80, 32, 32, kTensile};
  const char* numbered_names[] = {"", "C.R.S.", "C.R.S.", "AL1", "AL2", "S.S.", "S.S.", "C.R.S.", "C.R.S.", ""};
  const int numbers[] = {0, 1, 1, 2, 3, 4, 4, 1, 1, 0};
  const float numbered_hardness[] = {kTensile, 40, 40, 33, 40, 60, 60, 40, 40, kTensile};

  for (const int type : {0, 2, 7, 5, -3}) {
    for (std::size_t m = 0; m <= 9; ++m) {
      const testing::JobDialog d(type, static_cast<int>(m), 0, 1, 2.54f, kTensile);
      const ProgramData& data = d.dialog.Data();
      SCOPED_TRACE("control type " + std::to_string(type) + ", material type " + std::to_string(m));
      const bool numbered = type == 2 || type == 7;
      const char* names[] = {"EX", "Talvenor", "BandR", "WYR"};
      EXPECT_EQ(d.dialog.ControlTypeName(), names[type == 0 ? 0 : type == 2 ? 1 : type == 7 ? 2 : 3]);
      EXPECT_EQ(data.MaterialName, type == 0 ? ex_names[m] : numbered ? numbered_names[m] : "");
      EXPECT_EQ(data.MaterialNumber, numbered ? numbers[m] : 0);
      EXPECT_EQ(data.Hardness, type == 0 ? ex_hardness[m] : numbered ? numbered_hardness[m] : kTensile);
      EXPECT_EQ(data.ControlType, type);
      EXPECT_EQ(d.dialog.SetupName() + d.dialog.MachineModel(), "S1M1");
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
    testing::JobDialog d(c.control_type, c.material_type);
    ASSERT_TRUE(d.window.Open());
    SCOPED_TRACE("control type " + std::to_string(c.control_type));
    EXPECT_EQ(d.window.Find(kIdMaterialList)->entries, c.entries);
    EXPECT_EQ(d.window.GetControlText(kIdMaterialList), c.selected);
  }
}

TEST(MaterialCodesTest, ChoosingAMaterialAppliesItsValuesAndRefillsEveryControl) {
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
    testing::JobDialog d(c.control_type, 9, c.unit, 1, 2.54f, kTensile);
    ASSERT_TRUE(d.window.Open());
    // Choosing the same material twice must not apply the inch factor twice.
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(std::string(c.choice) + ", type " + std::to_string(c.control_type) + ", unit " +
                   std::to_string(c.unit) + ", round " + std::to_string(round));
      ASSERT_TRUE(d.window.Type(kIdProgramName, "ABC"));
      ASSERT_TRUE(d.window.Choose(kIdMaterialList, c.choice));
      EXPECT_EQ(d.window.GetControlText(kIdHardness), c.hardness);
      EXPECT_EQ(d.window.GetControlText(kIdMaterialName), c.choice);
      EXPECT_EQ(d.window.GetControlText(kIdMaterialNumber), c.number);
      EXPECT_EQ(d.window.GetControlText(kIdProgramName), "120700") << "typed text is replaced";
    }
  }
}

}  // namespace
}  // namespace driverwyr
