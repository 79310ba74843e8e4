// Shared pieces of the program file tests, also used by the bend calculation
// tests: a recording user interface, a scratch folder, byte helpers, and a
// standard job with a writer fixture.
#ifndef DRIVERWYR_TESTS_PROGRAM_FILE_WRITER_TEST_SUPPORT_H_
#define DRIVERWYR_TESTS_PROGRAM_FILE_WRITER_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "driverwyr/memory_dialog.h"
#include "platform/platform.h"
#include "program_file/program_writer.h"

namespace writer_test {

constexpr int kMm = 0;
constexpr int kInch = 1;

// Records every message box and acknowledges it; runs no dialogs.
struct RecordingUi : driverwyr::MemoryUserInterface {
  struct Box {
    std::string text;
    unsigned style;
  };
  std::vector<Box> boxes;
  RecordingUi() {
    on_message = [this](const std::string& text, unsigned style) {
      boxes.push_back({text, style});
      return driverwyr::kIdOk;
    };
  }
};

// A fresh folder under the system's temporary folder, removed on destruction.
struct TempFolder {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("driverwyr-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(std::random_device{}()));
  TempFolder() { std::filesystem::create_directories(path); }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Little-endian bytes of file values, for expectations.
inline std::string Le(std::uint32_t value, int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}
inline std::string I16(int value) { return Le(static_cast<std::uint32_t>(value), 2); }
inline std::string I32(std::int32_t value) { return Le(static_cast<std::uint32_t>(value), 4); }
inline std::string F32(float value) { return Le(std::bit_cast<std::uint32_t>(value), 4); }

// Bytes as hex, for readable failure messages.
inline std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) text += {kDigits[(c >> 4) & 15], kDigits[c & 15], ' '};
  return text;
}

// The dialog's data for a typical program, as an inch or millimetre dialog
// hands it over.
inline driverwyr::ProgramData StandardData(int unit) {
  driverwyr::ProgramData data;
  data.Unit = unit;
  data.ControlType = 2;
  data.ProgramName = "040603";
  data.PartReference = "BRACKET";
  data.Thickness = unit == kInch ? 0.0787f : 2.0f;
  data.Hardness = unit == kInch ? 57.84f : 40.0f;
  data.MaterialName = "C.R.S.";
  data.MaterialNumber = 1;
  data.ControlPunchName = " P88 ";
  data.ControlDieName = "D24\t";
  data.ControlDieHolderName = "H1";
  data.PunchRev = "R";
  data.DieRev = "N";
  data.CreationDate = "04/06/16";
  return data;
}

// A right-angle bend as the host sets it up.
inline CPPStepInfo StandardStep(int unit) {
  CPPStepInfo step;
  step.SetNumberInSquence(1);
  step.SetSequenceOrder(1);
  step.SetBendType(0);
  step.SetBendLength(unit == kInch ? 19.685f : 500.0f, unit);
  step.SetBendAngle(90.0f);
  const double xx[4] = {unit == kInch ? 4.744 : 120.5, unit == kInch ? 4.744 : 120.5, 0, 0};
  const double yy[4] = {unit == kInch ? 0.3937 : 10.25, 0, 0, 0};
  const double zz[4] = {unit == kInch ? 11.811 : 300.0, unit == kInch ? -11.811 : -300.0, 0, 0};
  step.SetXX(xx);
  step.SetYY(yy);
  step.SetZZ(zz);
  step.SetRetractStroke(unit == kInch ? 0.4f : 10.19f, unit);
  step.SetDwellBG(0.5f);
  step.SetFlangeLength(35.9f);
  step.SetPinchPointValue(1.5f);
  step.SetOffset(unit == kInch ? 0.1f : 2.57f, unit);
  // Distinct values in the fields a default step leaves at zero, so that the
  // golden files show every field in its place.
  step.SetFlagAutoCompen(1);
  step.SetFlagSheetMove(2);
  step.SetReturnSpeed(5);
  step.SetBGRetractFlag(1);
  step.SetBendNoBGPos(3);
  step.SetY1Compen(0.01f);
  step.SetY2Compen(0.02f);
  step.SetX1Compen(0.03f);
  step.SetX2Compen(0.04f);
  step.SetR1Compen(0.05f);
  step.SetR2Compen(0.06f);
  step.SetZ1Compen(0.07f);
  step.SetZ2Compen(0.08f);
  step.SetAngleCompen(-0.5f);
  return step;
}

// A calculation stand-in: a fixed depth and force.
inline driverwyr::Status FixedCalculation(CPPStepInfo& step) {
  step.SetY1(-12.345f);
  step.SetY2(-12.345f);
  step.SetTonnageValue(35.6f);
  return driverwyr::Status::Ok();
}

// Installs a RecordingUi and gives each test a fresh folder.
class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override { driverwyr::Platform::Current().ReplaceUserInterface(&ui_); }
  void TearDown() override { driverwyr::Platform::Current().ReplaceUserInterface(nullptr); }

  // Writes `steps` and the closing record as the program `name` of the test
  // folder, with RecordCount set to match.
  driverwyr::Status Write(driverwyr::ProgramData& data, const std::vector<CPPStepInfo>& steps, const std::string& name,
             const driverwyr::StepCalculation& calculate = {}) {
    RecordArray<CPPStepInfo> group;
    for (const auto& step : steps) group.Add(step);
    group.SetSize(group.GetSize() + 1);
    data.RecordCount = static_cast<std::int16_t>(group.GetSize());
    data.FileName = folder_ / name;
    return driverwyr::WriteProgramFile(data, group, calculate);
  }

  // Names of the entries of the test folder, sorted.
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  RecordingUi ui_;
  TempFolder folder_;
};

}  // namespace writer_test

#endif  // DRIVERWYR_TESTS_PROGRAM_FILE_WRITER_TEST_SUPPORT_H_
