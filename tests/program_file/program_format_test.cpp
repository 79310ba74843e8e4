// The program file layout: field positions, decoding what the writer wrote,
// and the decoder's answers to files that are not program files.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "driverwyr/program_format.h"
#include "writer_test_support.h"

namespace {

using driverwyr::DecodeProgramFile;
using driverwyr::EncodeProgramFile;
using driverwyr::ProgramFile;

std::string Golden(const std::string& name) {
  return writer_test::ReadBytes(std::string(GOLDEN_DIR) + "/" + name);
}

TEST(ProgramLayout, DescribedFieldsCoverHeaderAndRecordWithoutGaps) {
  const std::pair<std::vector<driverwyr::ProgramField>, std::size_t> layouts[] = {
      {driverwyr::DescribeProgramHeader({}), driverwyr::kProgramHeaderSize},
      {driverwyr::DescribeProgramRecord({}), driverwyr::kProgramRecordSize}};
  for (const auto& [fields, size] : layouts) {
    std::size_t next = 0;
    for (const auto& field : fields) {
      EXPECT_EQ(field.offset, next) << field.name;
      next = field.offset + field.size;
    }
    EXPECT_EQ(next, size);
  }
}

TEST(ProgramLayout, DecodesWhatTheWriterWrote) {
  const std::string bytes = Golden("aux_and_rev.wyr");
  ProgramFile file;
  ASSERT_TRUE(DecodeProgramFile(bytes, file).ok());
  EXPECT_EQ(file.header.PartReference, "BRACKET      ") << "texts keep their padding";
  EXPECT_EQ(file.header.Thickness, 2.0f);
  EXPECT_EQ(file.header.Hardness, 40);
  EXPECT_EQ(file.header.Year * 10000 + file.header.Month * 100 + file.header.Day, 160406);
  EXPECT_EQ(file.header.PunchRev, '\0');
  EXPECT_EQ(file.header.DieHolderRev, 'Y');
  ASSERT_EQ(file.records.size(), 3u);
  EXPECT_EQ(file.records[0].AuxFunc, std::string("M8\0\0\0\0", 6));
  EXPECT_EQ(file.records[1].Y2, -7.25f);
  EXPECT_EQ(file.records[1].TonnageValue, 123);
  EXPECT_EQ(file.records[2].ODC, 251);
  EXPECT_EQ(EncodeProgramFile(file), bytes);
}

TEST(ProgramLayout, AnyWellFormedFileEncodesBackToTheSameBytes) {
  // Every byte belongs to a field, reserved ones included: nothing is lost.
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    const std::size_t count = static_cast<std::size_t>(round % 4);
    std::string bytes(125 + 145 * count, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    bytes[59] = static_cast<char>(count);
    bytes[60] = 0;
    ProgramFile decoded;
    ASSERT_TRUE(DecodeProgramFile(bytes, decoded).ok()) << "round " << round;
    ASSERT_EQ(EncodeProgramFile(decoded), bytes) << "round " << round;
  }
}

// --- error paths ---------------------------------------------------------------

std::string WithCount(std::string bytes, int count) { return bytes.replace(59, 2, writer_test::I16(count)); }

TEST(ProgramDecoderErrors, RejectsFilesThatAreNotProgramFiles) {
  const std::string good = Golden("mm_one_step.wyr");  // 415 bytes, 2 records
  ASSERT_EQ(good.size(), 415u);
  const struct {
    const char* what;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"empty file", "", "the file has 0 bytes, fewer than the 125 of a program header"},
      {"header cut short", good.substr(0, 124), "the file has 124 bytes, fewer than the 125 of a program header"},
      {"first record cut short", good.substr(0, 269),
       "the file has 269 bytes, which is not 125 + 145 x n (0 whole records and 144 bytes follow the header)"},
      {"last record cut short", good.substr(0, 414),
       "the file has 414 bytes, which is not 125 + 145 x n (1 whole record and 144 bytes follow the header)"},
      {"a byte too many", good + "x",
       "the file has 416 bytes, which is not 125 + 145 x n (2 whole records and 1 byte follow the header)"},
      {"count too large", WithCount(good, 3), "the header's RecordCount is 3 but the file holds 2 records"},
      {"count too small", WithCount(good, 1), "the header's RecordCount is 1 but the file holds 2 records"},
      {"negative count", WithCount(good, -2), "the header's RecordCount is -2 but the file holds 2 records"},
      {"header alone with a count", good.substr(0, 125), "the header's RecordCount is 2 but the file holds 0 records"},
  };
  for (const auto& c : cases) {
    ProgramFile decoded;
    EXPECT_EQ(DecodeProgramFile(c.bytes, decoded).message(), c.message) << c.what << " (" << c.bytes.size() << " bytes)";
  }
  ProgramFile header_only;
  EXPECT_TRUE(DecodeProgramFile(WithCount(good.substr(0, 125), 0), header_only).ok()) << "no records, count 0";
}

}  // namespace
