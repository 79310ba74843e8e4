// The program file writer: whole files against hand-checked golden files,
// conversions by their bytes, the calculation order, and failed writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "writer_test_support.h"

namespace {

using driverwyr::ProgramData;
using namespace std::string_literals;
using namespace writer_test;

constexpr std::size_t kHeader = 125;
constexpr std::size_t kRecord = 145;

class ProgramWriterTest : public WriterTest {};

// tests/program_file/golden/*.wyr were checked byte by byte against the
// layout in docs/program-file.md.
TEST_F(ProgramWriterTest, WholeFilesMatchGoldenFiles) {
  CPPStepInfo multi_hit = StandardStep(kMm);
  multi_hit.SetBendType(3);
  multi_hit.SetCycleNo(3);
  multi_hit.SetStepValue(2.5f, kMm);  // held as 2
  CPPStepInfo short_aux = StandardStep(kMm);
  short_aux.SetAuxFunc("M8");
  CPPStepInfo host_values = StandardStep(kMm);
  host_values.SetSequenceOrder(2);
  host_values.SetAuxFunc("ABCDEFGH");
  host_values.SetMode(1);
  host_values.SetY1(-7.5f);
  host_values.SetY2(-7.25f);
  host_values.SetTonnageValue(123.9f);
  ProgramData other_revs = StandardData(kMm);
  other_revs.PunchRev = "";
  other_revs.DieHolderRev = "Y";
  other_revs.DieRev = "NX";
  struct Case {
    const char* name;
    ProgramData data;
    std::vector<CPPStepInfo> steps;
  } cases[] = {
      {"mm_one_step", StandardData(kMm), {StandardStep(kMm)}},
      {"inch_one_step", StandardData(kInch), {StandardStep(kInch)}},
      {"multi_hit", StandardData(kMm), {multi_hit}},
      {"aux_and_rev", other_revs, {short_aux, host_values}},
  };
  for (auto& c : cases) {
    ASSERT_TRUE(Write(c.data, c.steps, std::string(c.name) + ".wyr", FixedCalculation)) << c.name;
    const std::string actual = ReadBytes(c.data.FileName);
    EXPECT_EQ(actual.size(), kHeader + kRecord * (c.steps.size() + 1)) << c.name;
    const std::string expected = ReadBytes(std::string(GOLDEN_DIR) + "/" + c.name + ".wyr");
    if (actual != expected) {
      std::size_t at = 0;
      while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
      const auto kept = std::filesystem::temp_directory_path() / (std::string(c.name) + ".actual.wyr");
      WriteBytes(kept.string(), actual);
      ADD_FAILURE() << c.name << ": first difference at offset " << at << "; written file kept as " << kept;
    }
  }
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(ProgramWriterTest, HeaderConversions) {
  struct Case {
    const char* what;
    int unit;
    std::function<void(ProgramData&)> adjust;
    std::size_t offset;
    std::string expected;
  } cases[] = {
      // 1.15f lies just below 1.15: truncated, not rounded.
      {"thickness 1.15 mm", kMm, [](ProgramData& d) { d.Thickness = 1.15f; }, 19, F32(1.14f)},
      {"thickness 0.0598 inch", kInch, [](ProgramData& d) { d.Thickness = 0.0598f; }, 19, F32(1.4986f)},
      {"hardness 57.84 in an inch dialog", kInch, [](ProgramData& d) { d.Hardness = 57.84f; }, 29, I16(40)},
      {"hardness rounds half up", kMm, [](ProgramData& d) { d.Hardness = 39.5f; }, 29, I16(40)},
      {"hardness beyond 16 bits", kMm, [](ProgramData& d) { d.Hardness = 1e6f; }, 29, I16(32767)},
      {"program name cut", kMm, [](ProgramData& d) { d.ProgramName = "1234567"; }, 0, "123456"},
      {"13-character part reference", kMm, [](ProgramData& d) { d.PartReference = "ABCDEFGHIJKLM"; }, 6,
       "ABCDEFGHIJKLM"},
      {"14-character part reference", kMm, [](ProgramData& d) { d.PartReference = "ABCDEFGHIJKLMN"; }, 6,
       "ABCDEFGHIJKLM" + F32(2.0f)},
      {"tool name trimmed", kMm, [](ProgramData& d) { d.ControlPunchName = " \tP 8 \r\n"; }, 35, "P 8   "},
      {"date of 6 April 2016", kMm, [](ProgramData& d) { d.CreationDate = "04/06/16"; }, 61, "\x10\x04\x06"},
      {"date cut short", kMm, [](ProgramData& d) { d.CreationDate = "12/3"; }, 61, "\x00\x0C\x03"s},
      {"orientation bytes", kMm,
       [](ProgramData& d) {
         d.PunchRev = "RX";
         d.DieHolderRev = "";
       },
       121, "R\0N\0"s},
  };
  for (const auto& c : cases) {
    ProgramData data = StandardData(c.unit);
    c.adjust(data);
    ASSERT_TRUE(Write(data, {StandardStep(c.unit)}, "header.wyr")) << c.what;
    EXPECT_EQ(Hex(ReadBytes(data.FileName).substr(c.offset, c.expected.size())), Hex(c.expected)) << c.what;
  }
}

TEST_F(ProgramWriterTest, RecordConversions) {
  const auto with_xx = [](double x0, double x1) {
    return [=](CPPStepInfo& s) {
      const double xx[4] = {x0, x1, 0, 0};
      s.SetXX(xx);
    };
  };
  const auto multi_hit = [](short cycles, float angle) {
    return [=](CPPStepInfo& s) {
      s.SetBendType(3);
      s.SetCycleNo(cycles);
      s.SetBendAngle(angle);
    };
  };
  struct Case {
    const char* what;
    int unit;
    std::function<void(CPPStepInfo&)> adjust;
    std::size_t offset;  // within record 0
    std::string expected;
  } cases[] = {
      {"flange length -5.7", kMm, [](CPPStepInfo& s) { s.SetFlangeLength(-5.7f); }, 12, I32(-5)},
      {"flange length beyond 32 bits", kMm, [](CPPStepInfo& s) { s.SetFlangeLength(3e9f); }, 12,
       I32(std::numeric_limits<std::int32_t>::max())},
      {"tonnage 123.9", kMm, [](CPPStepInfo& s) { s.SetTonnageValue(123.9f); }, 60, I16(123)},
      // A force must not reach the press wrapped into a smaller or negative one.
      {"tonnage 40000", kMm, [](CPPStepInfo& s) { s.SetTonnageValue(40000.0f); }, 60, I16(32767)},
      {"tonnage 65536", kMm, [](CPPStepInfo& s) { s.SetTonnageValue(65536.0f); }, 60, I16(32767)},
      {"tonnage -40000", kMm, [](CPPStepInfo& s) { s.SetTonnageValue(-40000.0f); }, 60, I16(-32768)},
      {"XX[0] 250.12345 mm", kMm, with_xx(250.12345, 0), 44, F32(-250.123f)},
      {"XX[0] 1 inch", kInch, with_xx(1.0, 1.23456), 44, F32(-25.4f) + F32(31.3563f)},
      {"aux function M8", kMm, [](CPPStepInfo& s) { s.SetAuxFunc("M8"); }, 52, "M8\0\0\0\0"s},
      {"aux function of 8 characters", kMm, [](CPPStepInfo& s) { s.SetAuxFunc("ABCDEFGH"); }, 52, "ABCDEF"},
      {"multi-hit angle in 2 hits", kMm, multi_hit(2, 91.37f), 16, F32(135.6f)},
      {"multi-hit with no cycles is one hit", kMm, multi_hit(0, 90.0f), 16, F32(90.0f)},
      // Held as 12.7f (just below 12.7) millimetres: no second factor 25.4.
      {"multi-hit pitch 0.5 inch", kInch,
       [=](CPPStepInfo& s) {
         multi_hit(3, 90.0f)(s);
         s.SetStepValue(0.5f, kInch);
       },
       2, F32(-12.699f)},
      {"other bend types keep pitch and angle", kMm,
       [](CPPStepInfo& s) {
         s.SetBendType(1);
         s.SetCycleNo(3);
         s.SetStepValue(2.5f, kMm);
       },
       2, F32(2.0f) + I16(1) + I16(0) + I16(500) + I32(35) + F32(90.0f)},
  };
  for (const auto& c : cases) {
    ProgramData data = StandardData(c.unit);
    CPPStepInfo step = StandardStep(c.unit);
    c.adjust(step);
    ASSERT_TRUE(Write(data, {step}, "record.wyr")) << c.what;
    EXPECT_EQ(Hex(ReadBytes(data.FileName).substr(kHeader + c.offset, c.expected.size())), Hex(c.expected))
        << c.what;
  }
}

// --- the calculation -----------------------------------------------------------

TEST_F(ProgramWriterTest, OnlyModeZeroStepsAreCalculatedInOrder) {
  std::vector<CPPStepInfo> steps;
  for (int n = 1; n <= 4; ++n) {
    CPPStepInfo step = StandardStep(kMm);
    step.SetNumberInSquence(n);
    step.SetMode(n == 2 ? 1 : 0);
    step.SetY1(-1.0f * static_cast<float>(n));
    step.SetY2(-2.0f * static_cast<float>(n));
    step.SetTonnageValue(10.0f * static_cast<float>(n));
    steps.push_back(step);
  }
  ProgramData data = StandardData(kInch);
  std::vector<int> calculated;
  ASSERT_TRUE(Write(data, steps, "order.wyr", [&](CPPStepInfo& step) {
    calculated.push_back(step.GetNumberInSquence());
    // The header values are converted before any step is calculated.
    EXPECT_NEAR(data.Thickness, 1.9812f, 1e-6f);  // 0.078 inch
    EXPECT_NEAR(data.Hardness, 40.0f, 1e-4f);
    step.SetY1(-5.5f);
    step.SetY2(-5.5f);
    step.SetTonnageValue(77.7f);
  }));
  EXPECT_EQ(calculated, (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(data.WrittenHardness, 40);

  const std::string bytes = ReadBytes(data.FileName);
  const std::string calculated_values = F32(-5.5f) + F32(-5.5f);
  const std::string expected[] = {
      calculated_values,
      F32(-2.0f) + F32(-4.0f),  // Mode 1: the host's values
      calculated_values,
      calculated_values,
      F32(0.0f) + F32(0.0f),  // the closing record is never calculated
  };
  const std::string tonnage[] = {I16(77), I16(20), I16(77), I16(77), I16(0)};
  for (std::size_t i = 0; i < 5; ++i) {
    const std::string record = bytes.substr(kHeader + kRecord * i, kRecord);
    EXPECT_EQ(Hex(record.substr(20, 8)), Hex(expected[i])) << "record " << i;
    EXPECT_EQ(Hex(record.substr(60, 2)), Hex(tonnage[i])) << "record " << i;
  }
}

TEST_F(ProgramWriterTest, MultiHitConversionFollowsTheCalculation) {
  CPPStepInfo step = StandardStep(kMm);
  step.SetBendType(3);
  step.SetCycleNo(2);
  step.SetStepValue(4.0f, kMm);
  ProgramData data = StandardData(kMm);
  float seen_angle = 0.0f;
  ASSERT_TRUE(Write(data, {step}, "multi.wyr", [&](CPPStepInfo& s) {
    seen_angle = s.GetBendAngle();
    s.SetBendAngle(100.0f);  // the conversion works on what the calculation left
  }));
  EXPECT_EQ(seen_angle, 90.0f);
  EXPECT_EQ(Hex(ReadBytes(data.FileName).substr(kHeader + 2, 18)),
            Hex(F32(-4.0f) + I16(1) + I16(0) + I16(500) + I32(35) + F32(140.0f)));
}

// --- failures ------------------------------------------------------------------

TEST_F(ProgramWriterTest, MissingFolderShowsOpenFileFails) {
  ProgramData data = StandardData(kMm);
  int calculations = 0;
  EXPECT_FALSE(Write(data, {StandardStep(kMm)}, "missing/part.wyr", [&](CPPStepInfo&) { ++calculations; }));
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].text, "Open file fails!");
  EXPECT_EQ(ui_.boxes[0].style, driverwyr::kMessageOk);
  EXPECT_EQ(calculations, 0) << "nothing is calculated for a file that cannot be created";
  EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(ProgramWriterTest, TargetThatIsAFolderIsLeftAlone) {
  std::filesystem::create_directory(PathOf("part.wyr"));
  WriteBytes(PathOf("part.wyr/inside"), "keep");
  ProgramData data = StandardData(kMm);
  EXPECT_FALSE(Write(data, {StandardStep(kMm)}, "part.wyr", FixedCalculation));
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].text, "Open file fails!");
  EXPECT_EQ(ReadBytes(PathOf("part.wyr/inside")), "keep");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"part.wyr"}) << "the temporary file is removed";
}

TEST_F(ProgramWriterTest, RecordCountThatDisagreesWithTheStepsWritesNothing) {
  for (const int count : {0, 1, 3, -32768}) {  // -32768: a group of 32767 steps wrapped
    ProgramData data = StandardData(kMm);
    RecordArray<CPPStepInfo> group;
    group.SetSize(2);
    data.RecordCount = static_cast<std::int16_t>(count);
    data.FileName = PathOf("count.wyr");
    int calculations = 0;
    EXPECT_FALSE(driverwyr::WriteProgramFile(data, group, [&](CPPStepInfo&) { ++calculations; })) << count;
    EXPECT_EQ(calculations, 0) << count;
    EXPECT_TRUE(ui_.boxes.empty()) << count;
    EXPECT_TRUE(FolderEntries().empty()) << count;
  }
}

TEST_F(ProgramWriterTest, ExistingFilesAreReplacedWholeAndOthersLeftAlone) {
  WriteBytes(PathOf("part.wyr"), std::string(2000, 'x'));
  WriteBytes(PathOf("part.wyr.tmp"), "not ours");
  ProgramData data = StandardData(kMm);
  ASSERT_TRUE(Write(data, {StandardStep(kMm)}, "part.wyr", FixedCalculation));
  EXPECT_EQ(ReadBytes(PathOf("part.wyr")), ReadBytes(std::string(GOLDEN_DIR) + "/mm_one_step.wyr"));
  EXPECT_EQ(ReadBytes(PathOf("part.wyr.tmp")), "not ours");
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"part.wyr", "part.wyr.tmp"}));
}

TEST_F(ProgramWriterTest, FailingCalculationLeavesTheOldFile) {
  WriteBytes(PathOf("part.wyr"), "good old program");
  ProgramData data = StandardData(kMm);
  int calls = 0;
  EXPECT_THROW(Write(data, {StandardStep(kMm), StandardStep(kMm)}, "part.wyr",
                     [&](CPPStepInfo&) {
                       if (++calls == 2) throw std::runtime_error("out of memory");
                     }),
               std::runtime_error);
  EXPECT_EQ(ReadBytes(PathOf("part.wyr")), "good old program");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"part.wyr"});
}

}  // namespace
