// The program file writer: whole files against hand-checked golden files,
// conversions by their bytes, the calculation order, and failed writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "writer_test_support.h"

namespace {

using driverwyr::ProgramData;
using driverwyr::Status;
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
  // Existing files are replaced whole; a file of the temporary's name that is
  // not the writer's own is left alone.
  WriteBytes(folder_ / "mm_one_step.wyr", std::string(2000, 'x'));
  WriteBytes(folder_ / "mm_one_step.wyr.tmp", "not ours");
  for (auto& c : cases) {
    ASSERT_TRUE(Write(c.data, c.steps, std::string(c.name) + ".wyr", FixedCalculation).ok()) << c.name;
    const std::string actual = ReadBytes(c.data.FileName);
    const std::string expected = ReadBytes(std::string(GOLDEN_DIR) + "/" + c.name + ".wyr");
    EXPECT_EQ(actual.size(), kHeader + kRecord * (c.steps.size() + 1)) << c.name;
    const auto differ = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first;
    EXPECT_EQ(actual, expected) << c.name << ": first difference at offset " << differ - actual.begin();
  }
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_EQ(ReadBytes(folder_ / "mm_one_step.wyr.tmp"), "not ours");
  EXPECT_EQ(FolderEntries().size(), std::size(cases) + 1);
}

TEST_F(ProgramWriterTest, FieldConversions) {
  const auto xx = [](double x0, double x1) {
    return [=](auto&, CPPStepInfo& s) {
      const double values[4] = {x0, x1, 0, 0};
      s.SetXX(values);
    };
  };
  const auto multi_hit = [](short cycles, float angle, float pitch = 0.0f) {
    return [=](auto& d, CPPStepInfo& s) {
      s.SetBendType(3);
      s.SetCycleNo(cycles);
      s.SetBendAngle(angle);
      if (pitch != 0.0f) s.SetStepValue(pitch, d.Unit);
    };
  };
  constexpr std::size_t r = kHeader;  // record 0
  struct Case {
    const char* what;
    int unit;
    std::function<void(ProgramData&, CPPStepInfo&)> change;
    std::size_t offset;
    std::string expected;
  } cases[] = {
      // 1.15f lies just below 1.15: truncated, not rounded.
      {"thickness 1.15 mm", kMm, [](auto& d, auto&) { d.Thickness = 1.15f; }, 19, F32(1.14f)},
      {"thickness 0.0598 inch", kInch, [](auto& d, auto&) { d.Thickness = 0.0598f; }, 19, F32(1.4986f)},
      {"hardness 57.84 in an inch dialog", kInch, [](auto& d, auto&) { d.Hardness = 57.84f; }, 29, I16(40)},
      {"hardness rounds half up", kMm, [](auto& d, auto&) { d.Hardness = 39.5f; }, 29, I16(40)},
      {"hardness beyond 16 bits", kMm, [](auto& d, auto&) { d.Hardness = 1e6f; }, 29, I16(32767)},
      {"program name cut", kMm, [](auto& d, auto&) { d.ProgramName = "1234567"; }, 0, "123456"},
      {"part reference cut at 13 characters", kMm, [](auto& d, auto&) { d.PartReference = "ABCDEFGHIJKLMN"; }, 6,
       "ABCDEFGHIJKLM" + F32(2.0f)},
      {"tool name trimmed", kMm, [](auto& d, auto&) { d.ControlPunchName = " \tP 8 \r\n"; }, 35, "P 8   "},
      {"date cut short", kMm, [](auto& d, auto&) { d.CreationDate = "12/3"; }, 61, "\x00\x0C\x03"s},
      {"flange length -5.7", kMm, [](auto&, auto& s) { s.SetFlangeLength(-5.7f); }, r + 12, I32(-5)},
      {"flange length beyond 32 bits", kMm, [](auto&, auto& s) { s.SetFlangeLength(3e9f); }, r + 12,
       I32(std::numeric_limits<std::int32_t>::max())},
      {"tonnage 123.9", kMm, [](auto&, auto& s) { s.SetTonnageValue(123.9f); }, r + 60, I16(123)},
      // A force must not reach the press wrapped into a smaller or negative one.
      {"tonnage 40000", kMm, [](auto&, auto& s) { s.SetTonnageValue(40000.0f); }, r + 60, I16(32767)},
      {"tonnage -40000", kMm, [](auto&, auto& s) { s.SetTonnageValue(-40000.0f); }, r + 60, I16(-32768)},
      {"XX[0] 250.12345 mm", kMm, xx(250.12345, 0), r + 44, F32(-250.123f)},
      {"XX[0] 1 inch", kInch, xx(1.0, 1.23456), r + 44, F32(-25.4f) + F32(31.3563f)},
      // 1.111 x 25.4 in double precision is 28.2168617f; with the float
      // constant 25.4f the product would be 28.2168598f.
      {"XX[1] 1.111 inch, multiplied in double", kInch, xx(0.0, 1.111), r + 48, F32(28.2168617f)},
      {"multi-hit angle in 2 hits", kMm, multi_hit(2, 91.37f), r + 16, F32(135.6f)},
      {"multi-hit with no cycles is one hit", kMm, multi_hit(0, 90.0f), r + 16, F32(90.0f)},
      // Held as 12.7f (just below 12.7) millimetres: no second factor 25.4.
      {"multi-hit pitch 0.5 inch", kInch, multi_hit(3, 90.0f, 0.5f), r + 2, F32(-12.699f)},
      {"other bend types keep pitch and angle", kMm,
       [](auto&, auto& s) { s.SetBendType(1); s.SetCycleNo(3); s.SetStepValue(2.5f, kMm); }, r + 2,
       F32(2.0f) + I16(1) + I16(0) + I16(500) + I32(35) + F32(90.0f)},
  };
  for (const auto& c : cases) {
    ProgramData data = StandardData(c.unit);
    CPPStepInfo step = StandardStep(c.unit);
    c.change(data, step);
    ASSERT_TRUE(Write(data, {step}, "fields.wyr").ok()) << c.what;
    EXPECT_EQ(Hex(ReadBytes(data.FileName).substr(c.offset, c.expected.size())), Hex(c.expected)) << c.what;
  }
}

TEST_F(ProgramWriterTest, OnlyModeZeroStepsAreCalculatedInOrderBeforeTheirConversion) {
  // Step 2 brings its own depth and force (Mode 1); step 4 is a multi-hit
  // bend in 2 hits, converted from the angle the calculation left.
  std::vector<CPPStepInfo> steps;
  for (int n = 1; n <= 4; ++n) {
    CPPStepInfo step = StandardStep(kMm);
    step.SetNumberInSquence(n);
    step.SetBendType(n == 4 ? 3 : 0);  // also sets Mode 0
    step.SetCycleNo(2);
    if (n == 2) {
      step.SetMode(1);
      step.SetY1(-2.0f);
      step.SetY2(-4.0f);
      step.SetTonnageValue(20.0f);
    }
    steps.push_back(step);
  }
  ProgramData data = StandardData(kInch);
  std::vector<int> calculated;
  ASSERT_TRUE(Write(data, steps, "order.wyr", [&](CPPStepInfo& step) {
    calculated.push_back(step.GetNumberInSquence());
    // The header values are converted before any step is calculated.
    EXPECT_NEAR(data.Thickness, 1.9812f, 1e-6f);  // 0.078 inch
    EXPECT_NEAR(data.Hardness, 40.0f, 1e-4f);
    EXPECT_EQ(step.GetBendAngle(), 90.0f);
    step.SetBendAngle(100.0f);
    step.SetY1(-5.5f);
    step.SetY2(-5.5f);
    step.SetTonnageValue(77.7f);
    return Status::Ok();
  }).ok());
  EXPECT_EQ(calculated, (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(data.WrittenHardness, 40);

  const std::string bytes = ReadBytes(data.FileName);
  const std::string calculated_values = F32(-5.5f) + F32(-5.5f);  // Y1, Y2
  const std::string expected[] = {
      F32(100.0f) + calculated_values + I16(77),
      F32(90.0f) + F32(-2.0f) + F32(-4.0f) + I16(20),  // Mode 1: the host's values
      F32(100.0f) + calculated_values + I16(77),
      F32(140.0f) + calculated_values + I16(77),
      F32(0.0f) + F32(0.0f) + F32(0.0f) + I16(0),  // the closing record is never calculated
  };
  for (std::size_t i = 0; i < 5; ++i) {
    const std::string record = bytes.substr(kHeader + kRecord * i, kRecord);
    EXPECT_EQ(Hex(record.substr(16, 12) + record.substr(60, 2)), Hex(expected[i])) << "record " << i;
  }
}

// --- failures ------------------------------------------------------------------

TEST_F(ProgramWriterTest, TargetThatCannotBeWrittenShowsOpenFileFails) {
  // A missing folder, a folder in the target's place and a read-only program
  // are all told before anything is calculated, and left as they were.
  namespace fs = std::filesystem;
  fs::create_directory(folder_ / "part.wyr");
  WriteBytes(folder_ / "part.wyr/inside", "keep");
  WriteBytes(folder_ / "kept.wyr", "read-only program");
  fs::permissions(folder_ / "kept.wyr", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // The reason, for the operator's message of a failed create.
  const std::map<std::string, std::pair<Status::Code, std::string>> reasons = {
      {"missing/part.wyr", {Status::Code::kNotFound, "its folder does not exist"}},
      {"part.wyr", {Status::Code::kRefused, "is a folder, not a file"}},
      {"kept.wyr", {Status::Code::kRefused, "is read-only"}},
  };
  for (const char* name : {"missing/part.wyr", "part.wyr", "kept.wyr"}) {
    ui_.boxes.clear();
    ProgramData data = StandardData(kMm);
    int calculations = 0;
    const Status written = Write(data, {StandardStep(kMm)}, name, [&](CPPStepInfo&) {
      ++calculations;
      return Status::Ok();
    });
    EXPECT_EQ(written.code(), reasons.at(name).first) << name;
    // The path, then the system's words for the reason (Windows words some differently).
    EXPECT_EQ(written.message().rfind((folder_ / name) + ": ", 0), 0u) << written.message();
    ASSERT_EQ(ui_.boxes.size(), 1u) << name;
    EXPECT_EQ(ui_.boxes[0].text, "Open file fails!") << name;
    EXPECT_EQ(ui_.boxes[0].style, driverwyr::kMessageOk) << name;
    EXPECT_EQ(calculations, 0) << name;
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"kept.wyr", "part.wyr"})) << name;
  }
  EXPECT_EQ(ReadBytes(folder_ / "part.wyr/inside"), "keep");
  EXPECT_EQ(ReadBytes(folder_ / "kept.wyr"), "read-only program");
  EXPECT_EQ(fs::status(folder_ / "kept.wyr").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(ProgramWriterTest, RecordCountThatDisagreesWithTheStepsWritesNothing) {
  for (const int count : {0, 1, 3, -32768}) {  // -32768: a group of 32767 steps wrapped
    ProgramData data = StandardData(kMm);
    RecordArray<CPPStepInfo> group;
    group.SetSize(2);
    data.RecordCount = static_cast<std::int16_t>(count);
    data.FileName = folder_ / "count.wyr";
    int calculations = 0;
    const Status written = driverwyr::WriteProgramFile(data, group, [&](CPPStepInfo&) {
      ++calculations;
      return Status::Ok();
    });
    EXPECT_EQ(written.code(), Status::Code::kInvalid) << count;
    EXPECT_EQ(calculations, 0) << count;
    EXPECT_TRUE(ui_.boxes.empty()) << count;
    EXPECT_TRUE(FolderEntries().empty()) << count;
  }
}

TEST_F(ProgramWriterTest, FailingCalculationLeavesTheOldFile) {
  WriteBytes(folder_ / "part.wyr", "good old program");
  ProgramData data = StandardData(kMm);
  int calls = 0;
  const auto fail_second = [&](CPPStepInfo&) -> Status {
    if (++calls == 2) throw std::runtime_error("out of memory");
    return Status::Ok();
  };
  EXPECT_THROW((void)Write(data, {StandardStep(kMm), StandardStep(kMm)}, "part.wyr", fail_second),
               std::runtime_error);
  EXPECT_EQ(ReadBytes(folder_ / "part.wyr"), "good old program");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"part.wyr"});

  // A calculation that fails stops the program where it is: no later step is
  // calculated, and its error is the writer's.
  calls = 0;
  const auto refuse_first = [&](CPPStepInfo&) {
    ++calls;
    return Status::Invalid("f_1: changed");
  };
  const Status written = Write(data, {StandardStep(kMm), StandardStep(kMm)}, "part.wyr", refuse_first);
  EXPECT_EQ(written.message(), "f_1: changed");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ReadBytes(folder_ / "part.wyr"), "good old program");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"part.wyr"});
  EXPECT_TRUE(ui_.boxes.empty());
}

}  // namespace
