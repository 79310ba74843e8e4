// A C++ host's use of the file, program-file and material-data interfaces
// (driverwyr/files.h, program_format.h, material_data.h): compiled with the
// public headers alone and linked against the shared library, as a host and
// wyr are, so that a function missing from the library's exports fails the
// link or the load, and what crosses the boundary arrives whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driverwyr/files.h"
#include "driverwyr/material_data.h"
#include "driverwyr/program_format.h"
#include "driverwyr/result.h"

namespace {

namespace fs = std::filesystem;
using driverwyr::Status;

class HostFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("driverwyr_host_formats_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

driverwyr::ProgramFile TwoStepProgram() {
  driverwyr::ProgramFile file;
  file.header.ProgramName = "BRKT  ";
  file.header.PartReference = "BRACKET      ";
  file.header.Thickness = 2.0f;
  file.header.RecordCount = 2;
  file.records.resize(2);
  file.records[0].SequenceOrder = 1;
  file.records[0].BendAngle = 90.0f;
  file.records[0].AuxFunc = std::string("M8\0\0\0\0", 6);
  file.records[1].SequenceOrder = 2;
  file.records[1].Y2 = -7.25f;
  return file;
}

TEST_F(HostFormats, ProgramWrittenAndReadBackThroughTheLibraryKeepsEveryByte) {
  const std::string bytes = driverwyr::EncodeProgramFile(TwoStepProgram());
  ASSERT_EQ(bytes.size(), driverwyr::kProgramHeaderSize + 2 * driverwyr::kProgramRecordSize);
  const std::string path = PathOf("BRKT.wyr");
  ASSERT_TRUE(driverwyr::ReplaceFileContents(driverwyr::DefaultFileSystem(), path, bytes).ok());

  const driverwyr::Result<std::string> read =
      driverwyr::ReadWholeFile(driverwyr::DefaultFileSystem(), path, driverwyr::kMaxProgramFileSize);
  ASSERT_TRUE(read.ok()) << read.error();
  driverwyr::ProgramFile decoded;
  const Status status = driverwyr::DecodeProgramFile(*read, decoded);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(decoded.header.PartReference, "BRACKET      ");
  ASSERT_EQ(decoded.records.size(), 2u);
  EXPECT_EQ(decoded.records[0].AuxFunc, std::string("M8\0\0\0\0", 6));
  EXPECT_EQ(decoded.records[1].Y2, -7.25f);
  EXPECT_EQ(driverwyr::EncodeProgramFile(decoded), bytes);

  // The descriptions point into the decoded structs and cover each block.
  const std::vector<driverwyr::ProgramField> header = driverwyr::DescribeProgramHeader(decoded.header);
  ASSERT_FALSE(header.empty());
  EXPECT_EQ(header.back().offset + header.back().size, driverwyr::kProgramHeaderSize);
  const std::vector<driverwyr::ProgramField> record = driverwyr::DescribeProgramRecord(decoded.records[1]);
  ASSERT_FALSE(record.empty());
  EXPECT_EQ(record.back().offset + record.back().size, driverwyr::kProgramRecordSize);
}

TEST_F(HostFormats, BytesThatAreNoProgramFileAreRefusedWithAReason) {
  const std::string good = driverwyr::EncodeProgramFile(TwoStepProgram());
  std::string wrong_count = good;
  wrong_count[59] = 3;  // RecordCount says three records, the file holds two
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"header cut short", good.substr(0, driverwyr::kProgramHeaderSize - 1)},
      {"record cut short", good.substr(0, good.size() - 1)},
      {"one byte too many", good + '\0'},
      {"count that disagrees with the length", wrong_count},
  };
  for (const auto& c : cases) {
    driverwyr::ProgramFile out;
    const Status status = driverwyr::DecodeProgramFile(c.bytes, out);
    EXPECT_FALSE(status.ok()) << c.what;
    EXPECT_EQ(status.code(), Status::Code::kInvalid) << c.what;
    EXPECT_FALSE(status.message().empty()) << c.what;
  }
}

TEST_F(HostFormats, MaterialFileWrittenAndReadBackThroughTheLibrary) {
  driverwyr::MaterialFile file;
  driverwyr::MaterialModel& springback = file.models[driverwyr::kSpringback];
  springback.form = driverwyr::kFormPolynomial;
  springback.term_count = 1;
  springback.term_codes[0] = 2;
  springback.coefficients = {1.5f, 0.25f};
  const std::vector<std::uint8_t> bytes = driverwyr::EncodeMaterialFile(file);

  const driverwyr::Result<driverwyr::MaterialFileParse> parsed = driverwyr::ParseMaterialFile(bytes);
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed->file, file);
  EXPECT_EQ(parsed->used, bytes.size());
  EXPECT_EQ(driverwyr::ModelName(driverwyr::kSpringback), "springback");
  EXPECT_EQ(driverwyr::TermName(2), "T");

  const std::string path = driverwyr::MaterialFilePath(folder_.string(), 1);
  EXPECT_EQ(fs::path(path).filename(), "f_1");
  ASSERT_TRUE(driverwyr::ReplaceFileContents(driverwyr::DefaultFileSystem(), path,
                                             std::string(bytes.begin(), bytes.end()))
                  .ok());
  driverwyr::MaterialFile read;
  const Status status = driverwyr::ReadMaterialFile(driverwyr::DefaultFileSystem(), path, read);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(read, file);
  // Evaluated in the form the model declares; the calculation's own tests
  // check the values, this only that they reach the host.
  EXPECT_TRUE(driverwyr::EvaluateModelAtRatio(read.models[driverwyr::kSpringback], 90.0f, 8.0f).has_value());
  EXPECT_EQ(driverwyr::EvaluateModel(read.models[driverwyr::kNeutralFibre], 90.0f, 16.0f, 2.0f), std::nullopt)
      << "a block of neither form gives no value";
}

TEST_F(HostFormats, FilesThatCannotBeReadSayWhy) {
  ASSERT_TRUE(driverwyr::ReplaceFileContents(driverwyr::DefaultFileSystem(), PathOf("big"), "0123456789").ok());
  const struct {
    const char* what;
    std::string path;
    Status::Code code;
  } cases[] = {
      {"missing file", PathOf("missing"), Status::Code::kNotFound},
      {"folder", folder_.string(), Status::Code::kRefused},
      {"larger than the limit", PathOf("big"), Status::Code::kInvalid},
  };
  for (const auto& c : cases) {
    const driverwyr::Result<std::string> read = driverwyr::ReadWholeFile(driverwyr::DefaultFileSystem(), c.path, 4);
    ASSERT_FALSE(read.ok()) << c.what;
    EXPECT_EQ(read.status().code(), c.code) << c.what << ": " << read.error();
    EXPECT_FALSE(read.error().empty()) << c.what;
  }
}

// A host's own failing file system, derived from the library's wrapper: the
// library's readers go through it.
class NoReading : public driverwyr::FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  driverwyr::Result<std::unique_ptr<driverwyr::ReadableFile>> OpenForReading(const std::string&) override {
    return Status::Refused("may not be read");
  }
  driverwyr::Result<std::size_t> ReadPrefix(const std::string&, std::span<char>) override {
    return Status::Refused("may not be read");
  }
};

TEST_F(HostFormats, ReadersGoThroughTheFileSystemTheHostGives) {
  const std::string path = PathOf("f_1");
  ASSERT_TRUE(driverwyr::ReplaceFileContents(driverwyr::DefaultFileSystem(), path, "x").ok());
  NoReading files(driverwyr::DefaultFileSystem());
  const driverwyr::Result<std::string> whole = driverwyr::ReadWholeFile(files, path, 100);
  ASSERT_FALSE(whole.ok());
  EXPECT_NE(whole.error().find("may not be read"), std::string::npos) << whole.error();
  driverwyr::MaterialFile models;
  const Status material = driverwyr::ReadMaterialFile(files, path, models);
  ASSERT_FALSE(material.ok());
  EXPECT_NE(material.message().find(path), std::string::npos) << material.message();
}

}  // namespace
