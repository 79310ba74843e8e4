// The test-bend CSV reader: what it accepts, and each refusal with its line
// and column.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "calibration/test_bends.h"

namespace driverwyr::calibration {
namespace {

using ::testing::HasSubstr;

TEST(TestBendsTest, ReadsColumnsInAnyOrderWithQuotesBlankLinesAndInches) {
  const std::string csv =
      "\xEF\xBB\xBFnote,measured_angle,target_angle,die_width,thickness,inner_radius,lot\r\n"
      "\"first, \"\"good\"\"\",91.5,90,16,2,3.2,A\r\n"
      "\r\n"
      ",135.25,135,0.5,0.0625,,B\n";
  const Result<std::vector<TestBend>> mm = ParseTestBends(csv, LengthUnit::kMillimetre);
  ASSERT_TRUE(mm.ok()) << mm.error();
  ASSERT_EQ(mm->size(), 2u);
  const TestBend& first = (*mm)[0];
  EXPECT_EQ(first.line, 2);
  EXPECT_EQ(first.note, "first, \"good\"");
  EXPECT_EQ(first.lot, "A");
  EXPECT_DOUBLE_EQ(first.measured_angle, 91.5);
  EXPECT_DOUBLE_EQ(first.die_width, 16.0);
  ASSERT_TRUE(first.inner_radius.has_value());
  EXPECT_DOUBLE_EQ(*first.inner_radius, 3.2);
  EXPECT_EQ((*mm)[1].line, 4);
  EXPECT_FALSE((*mm)[1].inner_radius.has_value());

  const Result<std::vector<TestBend>> inch = ParseTestBends(csv, LengthUnit::kInch);
  ASSERT_TRUE(inch.ok()) << inch.error();
  EXPECT_DOUBLE_EQ((*inch)[1].die_width, 12.7);
  EXPECT_DOUBLE_EQ((*inch)[1].thickness, 1.5875);
  EXPECT_DOUBLE_EQ((*inch)[1].target_angle, 135.0) << "angles are not lengths";
}

TEST(TestBendsTest, RefusesMalformedFilesNamingLineAndColumn) {
  const std::string header = "thickness,die_width,target_angle,measured_angle\n";
  const struct {
    std::string csv;
    std::string message;
  } cases[] = {
      {"", "holds no header row"},
      {header, "line 1: the file holds no bends"},
      {"thickness,die_width,target_angle\n2,16,90\n", "line 1: the header names no column measured_angle"},
      {"thickness,die_width,target_angle,measured_angle,angle\n", "line 1, column 5: \"angle\" is no column"},
      {"thickness,die_width,thickness,target_angle,measured_angle\n", "line 1, column 3: the column thickness is named twice"},
      {header + "2,16,90\n", "line 2, column 4: the row has 3 cells, the header 4"},
      {header + "2,16,90,91,5\n", "line 2, column 5: the row has 5 cells"},
      {header + "2,16,90,91\n2,,90,91\n", "line 3, column 2 (die_width): the cell is empty"},
      {header + "2,16,90,abc\n", "line 2, column 4 (measured_angle): \"abc\" is not a number"},
      {header + "2,16,90,nan\n", "line 2, column 4 (measured_angle): \"nan\" is not a finite number"},
      {header + "2,16,inf,91\n", "line 2, column 3 (target_angle): \"inf\" is not a finite number"},
      {header + "2,1e999,90,91\n", "line 2, column 2 (die_width): \"1e999\" is not a finite number"},
      {header + "0,16,90,91\n", "line 2, column 1 (thickness): must be above 0"},
      {header + "2,16,181,182\n", "line 2, column 3 (target_angle): 181 lies outside 0..180 degrees"},
      {header + "2,16,90,-1\n", "line 2, column 4 (measured_angle): -1 lies outside 0..180 degrees"},
      {header + "2,16,90,91,\"open\n", "line 2, column 5: the quoted cell is never closed"},
      {"thickness,die_width,target_angle,measured_angle,inner_radius\n2,16,90,91,0\n",
       "line 2, column 5 (inner_radius): must be above 0"},
      {header + "1e-300,1e300,90,91\n", "line 2: die_width / thickness is not a finite number"},
  };
  for (const auto& c : cases) {
    const Result<std::vector<TestBend>> bends = ParseTestBends(c.csv, LengthUnit::kMillimetre);
    ASSERT_FALSE(bends.ok()) << c.csv;
    EXPECT_THAT(bends.error(), HasSubstr(c.message)) << c.csv;
  }
}

TEST(TestBendsTest, ReadingAFolderOrAMissingFileIsRefusedWithThePath) {
  const Result<std::vector<TestBend>> folder = ReadTestBends(DefaultFileSystem(), DRIVERWYR_EXAMPLE_MATERIALS,
                                                             LengthUnit::kMillimetre);
  ASSERT_FALSE(folder.ok());
  EXPECT_THAT(folder.error(), HasSubstr(DRIVERWYR_EXAMPLE_MATERIALS));
  EXPECT_EQ(folder.status().code(), Status::Code::kRefused);
  const Result<std::vector<TestBend>> missing =
      ReadTestBends(DefaultFileSystem(), "/nonexistent/bends.csv", LengthUnit::kMillimetre);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.status().code(), Status::Code::kNotFound);
}

}  // namespace
}  // namespace driverwyr::calibration
