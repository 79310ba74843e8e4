// The comparison of two program files: which fields it lists, with what
// values, and what it refuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "driverwyr/program_compare.h"
#include "program_file/program_compare_fields.h"

namespace driverwyr {
namespace {

ProgramFile TwoSteps() {
  ProgramFile file;
  file.header.ProgramName = "P00001";
  file.header.Thickness = 2.0f;
  file.header.RecordCount = 2;
  file.records.resize(2);
  file.records[0].Y1 = file.records[0].Y2 = -5.25f;
  file.records[1].BendAngle = 90.0f;
  return file;
}

std::string Describe(const std::vector<ProgramDifference>& differences) {
  std::string out;
  for (const ProgramDifference& d : differences) {
    out += std::to_string(d.record) + ":" + (d.field.empty() ? "(record)" : d.field) + " ";
  }
  return out;
}

TEST(ProgramCompareTest, ListsEachFieldThatDiffersBeyondTheTolerance) {
  const struct {
    const char* what;
    void (*change)(ProgramFile&);
    double tolerance;
    const char* listed;
  } cases[] = {
      {"nothing", [](ProgramFile&) {}, 0.0, ""},
      {"depths", [](ProgramFile& f) { f.records[0].Y1 = f.records[0].Y2 = -5.5f; }, 0.0, "0:Y1 0:Y2 "},
      {"depths within the tolerance", [](ProgramFile& f) { f.records[0].Y1 = -5.26f; }, 0.02, ""},
      {"a text", [](ProgramFile& f) { f.header.ProgramName = "P00002"; }, 100.0, "-1:ProgramName "},
      {"an integer", [](ProgramFile& f) { f.records[1].TonnageValue = 3; }, 0.0, "1:TonnageValue "},
      {"NaN against a number", [](ProgramFile& f) { f.records[1].Offset = std::numeric_limits<float>::quiet_NaN(); }, 0.0,
       "1:Offset "},
      {"a record more", [](ProgramFile& f) { f.records.emplace_back(); f.header.RecordCount = 3; }, 0.0,
       "-1:RecordCount 2:(record) "},
  };
  for (const auto& c : cases) {
    ProgramFile b = TwoSteps();
    c.change(b);
    EXPECT_EQ(Describe(ComparePrograms(TwoSteps(), b, c.tolerance)), c.listed) << c.what;
  }
  ProgramFile nan = TwoSteps();
  nan.records[1].Offset = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(ComparePrograms(nan, nan, 0.0).empty()) << "two NaNs are alike";
}

TEST(ProgramCompareTest, CarriesBothValuesAndTheDifference) {
  ProgramFile b = TwoSteps();
  b.records[0].Y1 = -5.75f;
  const std::vector<ProgramDifference> differences = ComparePrograms(TwoSteps(), b, 0.0);
  ASSERT_EQ(differences.size(), 1u);
  const ProgramDifference& d = differences[0];
  EXPECT_EQ(d.record, 0);
  EXPECT_EQ(d.field, "Y1");
  EXPECT_EQ(d.unit, "mm");
  EXPECT_EQ(d.a.kind, ProgramValue::Kind::kNumber);
  EXPECT_EQ(d.a.number, -5.25f);
  EXPECT_EQ(d.b.number, -5.75f);
  EXPECT_DOUBLE_EQ(d.difference, -0.5);
}

TEST(ProgramCompareTest, FilesThatAreNoProgramsAreRefusedNamingThem) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "driverwyr_compare_test";
  std::filesystem::create_directories(folder);
  const std::string good = (folder / "good.wyr").string(), bad = (folder / "bad.wyr").string();
  {
    const std::string bytes = EncodeProgramFile(TwoSteps());
    std::FILE* out = std::fopen(good.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    out = std::fopen(bad.c_str(), "wb");
    std::fwrite("short", 1, 5, out);
    std::fclose(out);
  }
  std::vector<ProgramDifference> differences;
  std::string why_not;
  EXPECT_TRUE(CompareProgramFiles(good, good, 0.0, &differences, &why_not)) << why_not;
  EXPECT_TRUE(differences.empty());
  const struct {
    std::string a, b, message;
  } cases[] = {
      {good, bad, bad + ": not a program file"},
      {bad, good, bad + ": not a program file"},
      {good, folder.string(), folder.string() + ": "},
      {(folder / "missing.wyr").string(), good, (folder / "missing.wyr").string() + ": "},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(CompareProgramFiles(c.a, c.b, 0.0, &differences, &why_not)) << c.a << " " << c.b;
    EXPECT_THAT(why_not, ::testing::StartsWith(c.message));
  }
  EXPECT_FALSE(CompareProgramFiles(good, good, -1.0, &differences, &why_not));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace driverwyr
