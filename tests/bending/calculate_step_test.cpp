#include "bending/calculate_step.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bending/bend_warnings.h"
#include "bending/program_materials.h"
#include "bending/tool_selection.h"
#include "bending_test_support.h"
#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"
#include "platform/platform.h"

namespace {

using namespace bending_test;
using namespace driverwyr;

constexpr const char* kMaterialNotSupported = "The material is not supported.";
constexpr const char* kAboveMaximum = "The calculated force is greater than machine maximum tonnage";
constexpr const char* kRatioBelowFour = "The Die V width / Thickness is less than 4";
constexpr const char* kNoDie = "The die is not in the tool list.";
constexpr const char* kNoPunch = "The punch is not in the tool list.";

// A tool with an 88-degree V of 2 mm shoulders, where it has a V.
CPPTool MakeTool(const char* name, double v_width, float punch, float die) {
  CPPTool tool;
  tool.SetToolName(name);
  tool.SetVWidth(v_width);
  tool.SetAngle(v_width == 0 ? 0 : 88);
  tool.SetRadius(v_width == 0 ? 0 : 2);
  tool.SetPunchResistance(punch);
  tool.SetDieResistance(die);
  return tool;
}

// The fields of a record of floats, in their order, for comparison.
template <typename Record>
std::array<float, sizeof(Record) / sizeof(float)> Fields(const Record& record) {
  return std::bit_cast<std::array<float, sizeof(Record) / sizeof(float)>>(record);
}

// One step of 1 m at 90 degrees with punch P1 and die D16 on machine PB100
// (100 t, 3 m), 2 mm sheet of strength 40, material 1 from a data folder.
class CalculateBendDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Platform::Current().ReplaceUserInterface(&ui_);
    WriteBytes(folder_ / "f_1", Bytes(SteelLike()));
    Reset();
  }

  // The step above in a fresh store, and no boxes.
  void Reset() {
    ResetStoreForTesting();
    SetPathNames(CString("program"), CString(folder_.path.string().c_str()), CString(""));
    // The first of a name wins: D16 is 16 mm wide.
    SetTools({MakeTool("P1", 0, 100, 0), MakeTool("D16", 16, 0, 100), MakeTool("D6", 6, 0, 100),
              MakeTool("D16", 50, 0, 100)});
    SetMachine(100, 0, 3000);
    setup_ = CPPSetup();
    setup_.SetUserMachineName("PB100");
    program_ = ProgramData();
    program_.MaterialNumber = 1;
    program_.Thickness = 2;
    program_.Hardness = 40;
    step_ = CPPStepInfo();
    step_.SetNumberInSquence(4);
    step_.SetBendAngle(90);
    step_.SetBendLength(1000, 0);
    UseTools("P1", "D16");
    ui_.boxes.clear();
  }

  void TearDown() override {
    Platform::Current().ReplaceUserInterface(nullptr);
    ResetStoreForTesting();
  }

  static void SetTools(std::initializer_list<CPPTool> list) {
    RecordArray<CPPTool> tools;
    for (const CPPTool& tool : list) tools.Add(tool);
    InitToolInfo(&tools);
  }

  // Machine PB100 of `tonnage` t with a minimum of `minimum` t, a bending
  // length of `length` mm and a stroke of `stroke` mm (0: none given).
  static void SetMachine(double tonnage, double minimum, double length, double stroke = 0) {
    RecordArray<CPPMachine> machines;
    machines.SetSize(1);
    machines[0].SetUserMachineName("PB100");
    machines[0].SetTonnage(tonnage);
    machines[0].SetMinTonnage(minimum);
    machines[0].SetMaxBendingLength(length);
    machines[0].SetMaxStrokeHeight(stroke);
    InitMachineInfo(&machines);
  }

  void UseTools(const char* punch, const char* die) {
    char names[6][32] = {};
    std::strncpy(names[0], punch, 31);
    std::strncpy(names[1], die, 31);
    step_.SetToolID(names);
  }

  void Calculate() { CalculateBendData(program_, &setup_, step_); }

  // The boxes since the last call: none when `line` is null, else one with
  // this line and the OK style.
  void ExpectBox(const char* line) {
    ASSERT_EQ(ui_.boxes.size(), line != nullptr ? 1u : 0u);
    if (line != nullptr) {
      EXPECT_EQ(ui_.boxes[0].text, "Please note: [for step number: 4]\n" + std::string(line) + "\n");
      EXPECT_EQ(ui_.boxes[0].style, kMessageOk);
    }
    ui_.boxes.clear();
  }

  TempFolder folder_;
  RecordingUi ui_;
  ProgramData program_;
  CPPSetup setup_;
  CPPStepInfo step_;
};

TEST_F(CalculateBendDataTest, ShippedMildSteelNeedsAboutSeventeenTonnes) {
  SetPathNames(CString("program"), CString(DRIVERWYR_EXAMPLE_MATERIALS), CString(""));
  Calculate();
  EXPECT_NEAR(step_.GetTonnageValue(), 172.0f, 3.0f);
  EXPECT_LT(step_.GetY1(), -5.0f);
  EXPECT_GT(step_.GetY1(), -7.0f);
  EXPECT_EQ(step_.GetY1(), step_.GetY2());
  ExpectBox(nullptr);
}

TEST_F(CalculateBendDataTest, EachCaseOfTheStep) {
  // The off-centre factor is (Lmax + |trunc(2 x Offset)|) / Lmax.
  const auto offset = [&](float mm) { return [=, this] { step_.SetOffset(mm, 0); }; };
  const auto material = [&](std::int16_t number) { return [=, this] { program_.MaterialNumber = number; }; };
  const auto no_die = [&] { UseTools("P1", "d16"); };  // names differ in letter case: not found
  const std::string both_unknown = std::string(kNoDie) + "\n" + kNoPunch;
  bool with_setup = true;
  const struct {
    const char* name;
    std::function<void()> change;
    float force;
    const char* box = nullptr;  // the line shown, if any
  } cases[] = {
      {"centred", offset(0), 172.12f},
      {"offset 0.7", offset(0.7f), 172.12f * 3001 / 3000},
      {"offset -0.7", offset(-0.7f), 172.12f * 3001 / 3000},
      {"offset 0.4", offset(0.4f), 172.12f},
      {"offset 1", offset(1), 172.12f * 3002 / 3000},
      {"offset -25", offset(-25), 172.12f * 3050 / 3000},
      {"material 0: none chosen", material(0), 0},
      {"material 3: no file", material(3), 0, kMaterialNotSupported},
      {"material 5: no such number", material(5), 0, kMaterialNotSupported},
      // A step without its die or punch is not calculated: the punch stays at
      // the top of the die, with no force, whatever the machine's minimum.
      {"unknown die", no_die, 0, kNoDie},
      {"unknown die, machine minimum", [&] { no_die(); SetMachine(100, 2, 3000); }, 0, kNoDie},
      {"unknown punch", [&] { UseTools("P2", "D16"); }, 0, kNoPunch},
      {"empty names name no tools", [&] { UseTools("", ""); }, 0, both_unknown.c_str()},
      {"unknown machine: limited to its 0 t",
       [&] { setup_.SetUserMachineName("PB200"); step_.SetOffset(2.5f, 0); }, 0, kAboveMaximum},
      {"no setup: a default one names no machine", [&] { with_setup = false; }, 0, kAboveMaximum},
      {"no bending length: no off-centre factor",
       [&] { SetMachine(100, 1, 0); setup_.SetBendingCoefficient(10); step_.SetOffset(2.5f, 0); }, 172.12f},
      // A punch allowed no load: the force is cut to 0 (53), raised to the
      // machine minimum (51 replaces 53), and 51 is cleared once corrected.
      {"minimum cleared by the off-centre step", [&] {
         SetMachine(100, 5, 3000);
         SetTools({MakeTool("P1", 0, 0, 0), MakeTool("D16", 16, 0, 100)});
         step_.SetOffset(1.5f, 0);
       }, 50.0f * 3003 / 3000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    with_setup = true;
    step_.SetY1(3);
    step_.SetTonnageValue(9);
    c.change();
    CalculateBendData(program_, with_setup ? &setup_ : nullptr, step_);
    EXPECT_NEAR(step_.GetTonnageValue(), c.force, 0.005f);
    EXPECT_TRUE(std::isfinite(step_.GetY1()));
    EXPECT_EQ(step_.GetY1(), step_.GetY2());
    EXPECT_LE(step_.GetY1(), 0.0f) << "the punch never goes up";
    const bool tool_missing = c.box == kNoDie || c.box == kNoPunch || c.box == both_unknown.c_str();
    if (program_.MaterialNumber != 1 || tool_missing) {
      EXPECT_TRUE(step_.GetY1() == 0.0f && std::signbit(step_.GetY1()) && std::signbit(step_.GetY2())) << "-0";
    }
    ExpectBox(c.box);
  }
  // A missing material file is reported for every step.
  program_.MaterialNumber = 3;
  Calculate();
  ExpectBox(kMaterialNotSupported);
}

TEST_F(CalculateBendDataTest, ADepthOrForceBeyondTheMachineIsTold) {
  // Material 2 has an inner radius of 10^1.2 thicknesses: the radius term
  // outgrows the stroke, and the punch would stop above the sheet.
  WriteBytes(folder_ / "f_2", Bytes(File(Polynomial(1.5f), Polynomial(0.42f), Polynomial(1.2f), Polynomial(0.85f))));
  const std::string beyond = "The calculated depth or force is beyond what the machine can take";
  const auto stroke = [&](double mm) { return [=] { SetMachine(100, 0, 3000, mm); }; };
  const struct {
    const char* name;
    std::function<void()> change;
    std::vector<std::string> lines;  // of the box, after its heading
    int sign;                        // of the depth written: 1 down, -1 up, 0 none
  } cases[] = {
      {"within a 200 mm stroke", stroke(200), {}, 1},
      {"no stroke given: any depth down", stroke(0), {}, 1},
      {"a stroke of exactly the depth", [&] {
         Calculate();
         SetMachine(100, 0, 3000, -step_.GetY1());
         ui_.boxes.clear();
       }, {}, 1},
      {"deeper than a 5 mm stroke", stroke(5), {beyond}, 1},
      {"the calculation's own line comes first", [&] { SetMachine(10, 0, 3000, 5); }, {kAboveMaximum, beyond}, 1},
      {"above the sheet", [&] { program_.MaterialNumber = 2; }, {beyond}, -1},
      {"above the sheet, no stroke given", [&] { program_.MaterialNumber = 2; stroke(0)(); }, {beyond}, -1},
      // A step without depth stays at the top of the die: nothing to tell.
      {"no material", [&] { program_.MaterialNumber = 0; stroke(5)(); }, {}, 0},
      {"unknown die", [&] { UseTools("P1", "none"); stroke(5)(); }, {kNoDie}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    c.change();
    const WarningList warnings = CalculateBendData(program_, &setup_, step_);
    const float depth = -step_.GetY1();
    EXPECT_EQ(depth > 0.0f ? 1 : depth < 0.0f ? -1 : 0, c.sign) << depth;
    std::string text;
    for (const std::string& line : c.lines) text += line + "\n";
    const bool told = !c.lines.empty() && c.lines.back() == beyond;
    EXPECT_EQ(warnings[c.lines.size() - (told ? 1 : 0)], told ? kWarningBeyondMachine : 0);
    if (c.lines.empty()) {
      EXPECT_TRUE(ui_.boxes.empty());
      continue;
    }
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Please note: [for step number: 4]\n" + text);
    EXPECT_EQ(ui_.boxes[0].style, told ? kMessageOk | kMessageIconWarning : kMessageOk);
  }
}

// Within one program, a material file that exists but cannot be used is
// named once, with its reason, before the box of the first step it leaves
// uncalculated; a missing file and a good one bring no such box.
TEST_F(CalculateBendDataTest, AnUnusableMaterialFileIsNamedOncePerProgram) {
  const std::string unusable = "The material data file cannot be used: ";
  WriteBytes(folder_ / "f_2", {0x00, 0x00, 0x01});  // cut in its first block
  std::filesystem::create_directory(folder_.path / "f_4");
  const struct {
    const char* name;
    int material;
    bool named;  // the first step's box names the file
  } cases[] = {
      {"malformed", 2, true}, {"a folder in its place", 4, true}, {"missing", 3, false}, {"good", 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    program_.MaterialNumber = static_cast<float>(c.material);
    ProgramMaterials materials;
    for (int step = 0; step < 2; ++step) {
      CalculateBendData(program_, &setup_, step_, &materials);
      const bool named = c.named && step == 0;
      ASSERT_EQ(ui_.boxes.size(), (named ? 1u : 0u) + (c.material == 1 ? 0u : 1u));
      if (named) {
        const std::string path = (folder_.path / ("f_" + std::to_string(c.material))).string();
        EXPECT_EQ(ui_.boxes[0].text.rfind(unusable + path + ": ", 0), 0u) << ui_.boxes[0].text;
        EXPECT_GT(ui_.boxes[0].text.size(), unusable.size() + path.size() + 2) << "a reason follows";
        EXPECT_EQ(ui_.boxes[0].style, kMessageOk | kMessageIconWarning);
      }
      if (c.material != 1) {
        EXPECT_EQ(ui_.boxes.back().text,
                  "Please note: [for step number: 4]\n" + std::string(kMaterialNotSupported) + "\n");
      }
      ui_.boxes.clear();
    }
  }
}

TEST_F(CalculateBendDataTest, CollectsTheValuesOfTheNamedRecords) {
  setup_.SetBendingCoefficient(2.5f);
  SetMachine(100.25, 1.5, 3000.5);
  // The first D16; the step's 1000 mm as metres.
  EXPECT_EQ(Fields(CollectToolData(program_, step_, FindStepRecords(step_, setup_))),
            Fields(ToolData{1, 2, 16, 88, 2, 1, 40, 90}));
  // Tonnages and resistances times 10.
  EXPECT_EQ(Fields(CollectMachineData(setup_, FindStepRecords(step_, setup_))),
            Fields(MachineData{1002.5f, 15, 3000.5f, 2.5f, 1000, 1000}));
  UseTools("P1", "D6");
  EXPECT_EQ(CollectToolData(program_, step_, FindStepRecords(step_, setup_)).DieWidth, 6.0f);
  // Records that are missing give the zeros of default records.
  UseTools("P9", "D9");
  setup_.SetUserMachineName("none");
  const StepRecords missing = FindStepRecords(step_, setup_);
  EXPECT_TRUE(missing.punch == nullptr && missing.die == nullptr && missing.machine == nullptr);
  EXPECT_EQ(Fields(CollectMachineData(setup_, missing)), Fields(MachineData{0, 0, 0, 2.5f, 0, 0}));
}

TEST(BendWarnings, TextForTheCodes) {
  const auto text = [](std::initializer_list<int> codes) {
    WarningList warnings{};
    std::copy(codes.begin(), codes.end(), warnings.begin());
    return BendWarningText(7, warnings);
  };
  const std::pair<int, std::string> lines[] = {
      {3, kMaterialNotSupported},
      {10, kMaterialNotSupported},
      {22, "The elongation is greater than 50%"},
      {23, kRatioBelowFour},
      {24, "The Die V Width / Thickness is greater than 20"},
      {51, "The calculated force is less than machine minimum tonnage"},
      {52, kAboveMaximum},
      {53, "The calculated force is greater than punch allowable tonnage"},
      {54, "The calculated force is greater than die allowable tonnage"},
      {11, kNoPunch},
      {12, kNoDie},
      {55, "The calculated depth or force is beyond what the machine can take"},
  };
  const std::string heading = "Please note: [for step number: 7]\n";
  for (const auto& [code, line] : lines) EXPECT_EQ(text({code}), heading + line + "\n") << "code " << code;
  EXPECT_EQ(text({}), "");
  EXPECT_EQ(text({1, 2, 50, -3}), "") << "codes without a text";
  EXPECT_EQ(text({0, 23, 0, 23}), heading + kRatioBelowFour + "\n" + kRatioBelowFour + "\n");
}

}  // namespace
