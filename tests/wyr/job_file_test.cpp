// Unit tests of the job-file reader (ParseJob, LoadJobFile, ApplyJob), of the
// store description that `wyr check` prints (DescribeStore) and of the
// listings' output buffer. Linux only: LoadJobFile is tried on a FIFO and a
// device.
#include "job_file.h"

#include "output_buffer.h"
#include "program_path.h"
#include "store_printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace wyr {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::filesystem::path kFolder = std::filesystem::path("/jobs") / "bracket";

// The reader's message, or "" when the job reads.
std::string Parse(const std::string& text, Job& job) {
  driverwyr::Result<Job> parsed = ParseJob(text, kFolder);
  if (!parsed.ok()) return parsed.error();
  job = std::move(*parsed);
  return "";
}

// Unit conversion, declaration order of the setters and material selection
// are covered end to end by the check tests.

TEST(ParseJobTest, ShortArraysArePaddedAndPathsResolved) {
  Job job;
  ASSERT_EQ(Parse(R"({"steps": [{"ToolID": ["P88", "D24"]}],
                      "tools": [{"Profile": [[1, 2], [3]]}],
                      "machines": [{"UpBeamProfile": [[], [[1, 2, 3]]]}],
                      "paths": {"program": "out/BRACKET.bmf", "data": "/abs/materials"}})",
                  job),
            "");
  char ids[6][32];
  std::memset(ids, 'x', sizeof ids);
  job.steps[0].GetToolID(ids);
  EXPECT_STREQ(ids[1], "D24");
  for (int i = 2; i < 6; ++i) EXPECT_EQ(std::string(ids[i], 32), std::string(32, '\0')) << "entry " << i;
  double profile[64][2] = {};
  job.tools[0].GetProfile(profile);
  EXPECT_EQ(profile[1][0], 3.0);
  EXPECT_EQ(profile[1][1], 0.0);
  auto beams = std::make_unique<double[][64][3]>(32);
  job.machines[0].GetUpBeamProfile(beams.get());
  EXPECT_EQ(beams[1][0][2], 3.0);
  EXPECT_TRUE(job.machines[0].GetclampAtCerter()) << "keys not given keep their defaults";

  EXPECT_EQ(job.program_path, (kFolder / "out/BRACKET.bmf").make_preferred().string());
  EXPECT_EQ(job.data_path, std::filesystem::path("/abs/materials").make_preferred().string());
  EXPECT_EQ(job.conversion_path, "");  // missing keys pass the empty string
  EXPECT_FALSE(job.material.has_value());
}

TEST(ParseJobTest, OperatorScript) {
  Job job;
  ASSERT_EQ(Parse(R"({"operator": ["cancel", [
        {"type": "PartReference", "text": "BRACKET-2"}, {"type": 1084, "text": "45"},
        {"select": "AL1"}, {"browse": "out2"}, {"browse": null}, {"browse": ""},
        {"press": "cancel"}], "create", []]})",
                  job),
            "");
  using E = OperatorEntry::Kind;
  std::vector<E> entries;
  for (const OperatorEntry& entry : job.operator_script) entries.push_back(entry.kind);
  EXPECT_EQ(entries, (std::vector<E>{E::kCancel, E::kActions, E::kCreate, E::kActions}));
  const std::vector<OperatorAction>& a = job.operator_script[1].actions;
  ASSERT_EQ(a.size(), 7u);
  EXPECT_EQ(a[0].kind, OperatorAction::Kind::kType);
  EXPECT_EQ(a[0].control, 1081);
  EXPECT_EQ(a[0].text, "BRACKET-2");
  EXPECT_EQ(a[1].control, 1084);
  EXPECT_EQ(a[2].kind, OperatorAction::Kind::kSelect);
  EXPECT_EQ(a[2].text, "AL1");
  EXPECT_EQ(a[3].folder, (kFolder / "out2").make_preferred().string());
  EXPECT_EQ(a[4].folder, std::nullopt);
  EXPECT_EQ(a[5].folder, std::optional<std::string>(""));
  EXPECT_EQ(a[6].kind, OperatorAction::Kind::kPress);
  EXPECT_EQ(a[6].button, 2);
}

// Every error names its place; the message must start with it.
TEST(ParseJobTest, ErrorsNameThePlace) {
  const struct { std::string json, message_start; } kCases[] = {
      {"", "not valid JSON: parse error at line 1, column 1"},
      {"{\"unit\": 0,}", "not valid JSON: parse error at line 1, column 12"},
      {"[1]", "a job file holds a JSON object"},
      {R"({"unit": 1e999})", "not valid JSON: number overflow"},
      {R"({"units": 0})", "units: unknown key"},
      {R"({"unit": 1.5})", "unit: expected an integer, got a number with a fraction"},
      {R"({"unit": 0, "unit": 1})", "unit: key given twice"},
      {R"({"steps": [{}, {"BendAngle": 1, "BendAngle": 2}]})", "steps[1].BendAngle: key given twice"},
      {R"({"steps": {}})", "steps: expected an array, got an object"},
      {R"({"steps": [3]})", "steps[0]: expected an object, got an integer"},
      {R"({"steps": [{"BendInnerRadius": 1}]})", "steps[0].BendInnerRadius: unknown key"},
      {R"({"steps": [{"SetTollReverse": [true]}]})", "steps[0].SetTollReverse: unknown key"},
      {R"({"steps": [{"BendingDepth": 3}]})", "steps[0].BendingDepth: unknown key"},
      {R"({"steps": [{"bend angle": 3}]})", "steps[0][\"bend angle\"]: unknown key"},
      {R"({"steps": [{"BendAngle": 1e39}]})", "steps[0].BendAngle: 1e+39 is beyond the range"},
      {R"({"steps": [{"SequenceOrder": -32769}]})", "steps[0].SequenceOrder: -32769 is outside the range"},
      {R"({"steps": [{"SetupIndex": 2147483648}]})", "steps[0].SetupIndex: 2147483648 is outside the range"},
      {R"({"steps": [{"RayID": [0, 18446744073709551615]}]})", "steps[0].RayID[1]: 18446744073709551615 is outside"},
      {R"({"steps": [{"Mode": true}]})", "steps[0].Mode: expected an integer, got a boolean"},
      {R"({"steps": [{"ToolReverse": [1]}]})", "steps[0].ToolReverse[0]: expected true or false"},
      {R"({"steps": [{"XX": 1}]})", "steps[0].XX: expected an array of at most 4 elements"},
      {R"({"steps": [{"ToolID": ["A\u0000B"]}]})", "steps[0].ToolID[0]: name contains a NUL byte"},
      {R"({"steps": [{"ToolID": ["", "", "", "", "", "", ""]}]})", "steps[0].ToolID: 7 names given"},
      {R"({"steps": [{"BendLength": 40000}]})", "steps[0].BendLength: 40000 is outside the range of the field"},
      {R"({"unit": 1, "steps": [{"ODC": 1300}]})", "steps[0].ODC: 1300 is outside the range of the field"},
      {R"({"steps": [{"StepValue": 3e9}]})", "steps[0].StepValue: 3000000000.0 is too large"},
      {R"({"tools": [{"Reverse": 1}]})", "tools[0].Reverse: expected true or false"},
      {R"({"tools": [{"Profile": [[1, 2, 3]]}]})", "tools[0].Profile[0]: 3 elements given, at most 2 fit"},
      {R"({"machines": [{"UpBeamProfile": [[[1, 2, 3, 4]]]}]})", "machines[0].UpBeamProfile[0][0]: 4 elements"},
      {R"({"machines": [{"NumUpBeamPoint": [1.5]}]})", "machines[0].NumUpBeamPoint[0]: expected an integer"},
      {R"({"setups": [{"SetupName": 1}]})", "setups[0].SetupName: expected a string"},
      {R"({"bgauges": [{"FingerHLeft": 1.5}]})", "bgauges[0].FingerHLeft: expected an integer"},
      {R"({"paths": {"program": "x", "log": 3}})", "paths.log: unknown key"},
      {R"({"paths": {"program": 3}})", "paths.program: expected a string"},
      {R"({"paths": {"data": "a\u0000b"}})", "paths.data: path contains a NUL byte"},
      {R"({"material": {"thickness": 2, "tensile": 40}})", "material: give either \"type\" or \"name\""},
      {R"({"material": {"tensile": 40, "type": 1}})", "material.thickness: missing"},
      {R"({"material": {"thickness": 2, "tensile": 40, "type": 1.0}})", "material.type: expected an integer"},
      {R"({"material": {"thickness": 2, "tensile": 40, "grade": 1}})", "material.grade: unknown key"},
      {R"({"operator": "create"})", "operator: expected an array"},
      {R"({"operator": ["create", "creat"]})", "operator[1]: expected \"create\", \"cancel\" or a list"},
      {R"({"operator": [[{"type": 1001, "text": "x"}]]})", "operator[0][0].type: 1001 is not an editable box"},
      {R"({"operator": [[{"type": "Thickness", "text": "x"}]]})", "operator[0][0].type: \"Thickness\" is not"},
      {R"({"operator": [[{"type": "1080", "text": "x"}]]})", "operator[0][0].type: \"1080\" is not"},
      {R"({"operator": [[{"type": 1080}]]})", "operator[0][0].text: missing"},
      {R"({"operator": [[{"type": 1080, "text": 5}]]})", "operator[0][0].text: expected a string"},
      {R"({"operator": [[{"select": "AL1", "text": "x"}]]})", "operator[0][0].text: only a \"type\" action"},
      {R"({"operator": [[{"press": "create", "select": "AL1"}]]})", "operator[0][0]: one action per object"},
      {R"({"operator": [[{"browse": 3}]]})", "operator[0][0].browse: expected a string"},
      {R"({"operator": [[{"click": 1}]]})", "operator[0][0].click: unknown key"},
      {R"({"operator": [[{}]]})", "operator[0][0]: expected an action"},
      {std::string(40, '[') + std::string(40, ']'), "not a job file: nested more than"},
      // Read in one pass: the first fault of the contents is kept, but a fault
      // of the text found later wins, and a long array is counted to its end.
      {R"({"units": 0, "steps": [{"BendAngle": )", "not valid JSON: parse error at line 1, column 38"},
      {R"({"steps": [{"Bogus": 1}], "x": )" + std::string(20, '['), "not a job file: nested more than 16"},
      {R"({"steps": [{"Bogus": 1}], "units": 2})", "steps[0].Bogus: unknown key"},
      {R"({"steps": [{"XX": [1, 2, 3, 4, 5, "x", [1, 2]]}]})", "steps[0].XX: 7 elements given, at most 4 fit"},
      {R"({"steps": [{"ToolID": ["", "", "", "", "", "", [], {}]}]})", "steps[0].ToolID: 8 names given"},
      {R"({"steps": [{"XX": [1], "XX": []}]})", "steps[0].XX: key given twice"},
      // Converting setters whose unit comes later in the file are checked then.
      {R"({"steps": [{}, {"ODC": 1300}], "unit": 1})", "steps[1].ODC: 1300 is outside the range of the field"},
      {R"({"steps": [{"RetractStroke": 3e7}], "unit": 1})", "steps[0].RetractStroke: 30000000.0 is too large "
                                                          "for the field (at most 21474836 in magnitude)"},
      {R"({"steps": [{"RetractStroke": 3e7}], "unit": 1.5})", "unit: expected an integer"},
      {R"({"operator": [[{"press": "create", "press": "cancel"}]]})", "operator[0][0].press: key given twice"},
      {R"({"operator": [[{"select": ["AL1"]}]]})", "operator[0][0].select: expected a string, got an array"},
      {R"({"operator": [{"press": "create"}]})", "operator[0]: expected \"create\", \"cancel\" or a list of "
                                                 "actions, got an object"},
  };
  for (const auto& c : kCases) {
    Job job;
    EXPECT_THAT(Parse(c.json, job), StartsWith(c.message_start)) << c.json;
  }
}

// The converting step setters get the job's unit wherever "unit" stands in
// the file, and run after ControlType, which BendingSpeed depends on.
TEST(ParseJobTest, ConvertingSettersGetTheUnitWhereverItStands) {
  const std::string step = R"({"BendLength": 10, "ODC": 10, "StepValue": 0.5, "BendingSpeed": 8.7, "ControlType": 0})";
  for (const std::string& text : {R"({"unit": 1, "steps": [)" + step + "]}", R"({"steps": [)" + step + R"(], "unit": 1})"}) {
    Job job;
    ASSERT_EQ(Parse(text, job), "") << text;
    ASSERT_EQ(job.steps.GetSize(), 1) << text;
    const CPPStepInfo& s = job.steps[0];
    EXPECT_EQ(s.GetBendLength(), 254) << text;
    EXPECT_EQ(s.GetODC(), 254) << text;
    EXPECT_FLOAT_EQ(s.GetStepValue(), 12.7f) << text;
    EXPECT_EQ(s.GetBendingSpeed(), 8) << text << ": ControlType 0 truncates, without conversion";
    EXPECT_EQ(job.unit, 1);
  }
}

// Records are collected in blocks and moved into the job's arrays in the
// end: order and values survive across blocks, also for setters that waited
// for the unit, and each array is sized once.
TEST(ParseJobTest, ManyRecordsKeepTheirOrder) {
  constexpr int kSteps = 5000;
  constexpr int kMachines = 25;
  std::string text = R"({"steps": [)";
  for (int i = 0; i < kSteps; ++i) {
    text += (i == 0 ? "" : ",") + std::string(R"({"NumberInSquence": )") + std::to_string(i) +
            R"(, "BendLength": )" + std::to_string(i % 100) + "}";
  }
  text += R"(], "machines": [)";
  for (int i = 0; i < kMachines; ++i) {
    text += (i == 0 ? "" : ",") + std::string(R"({"UserMachineName": "M)") + std::to_string(i) + "\"}";
  }
  text += R"(], "unit": 1})";
  Job job;
  ASSERT_EQ(Parse(text, job), "");
  ASSERT_EQ(job.steps.GetSize(), kSteps);
  EXPECT_EQ(job.steps.GetCapacity(), kSteps);
  for (int i = 0; i < kSteps; ++i) {
    ASSERT_EQ(job.steps[i].GetNumberInSquence(), i);
    // Whole inches: TruncateToDecimals(n, 1) x 25.4, rounded half up.
    ASSERT_EQ(job.steps[i].GetBendLength(), static_cast<short>(i % 100 * 25.4f + 0.5)) << "step " << i;
  }
  ASSERT_EQ(job.machines.GetSize(), kMachines);
  for (int i = 0; i < kMachines; ++i) EXPECT_EQ(job.machines[i].GetUserMachineName().str(), "M" + std::to_string(i));
}

// Keys in any order, from record to record: each value reaches its own
// field, at every position of a deep array, whatever the key order of the
// record before.
TEST(ParseJobTest, KeysInAnyOrderReachTheirFields) {
  Job job;
  ASSERT_EQ(Parse(R"({"steps": [
        {"BendAngle": 1, "Mode": 1, "CycleNo": 2},
        {"CycleNo": 3, "BendAngle": 4},
        {"Mode": 1, "Y1": 5, "BendAngle": 6, "CycleNo": 7}],
      "machines": [{"UpBeamProfile": [[], [[1, 2, 3]],)" + std::string(29, ' ') + R"(
        [[0, 0, 0], [0, 0, 4]]], "NumLowerBeamPoint": [0, 0, 9]}]})",
                  job),
            "");
  ASSERT_EQ(job.steps.GetSize(), 3);
  const struct { float angle; short cycles; short mode; } kWant[] = {{1, 2, 1}, {4, 3, 0}, {6, 7, 1}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(job.steps[i].GetBendAngle(), kWant[i].angle) << "step " << i;
    EXPECT_EQ(job.steps[i].GetCycleNo(), kWant[i].cycles) << "step " << i;
    EXPECT_EQ(job.steps[i].GetMode(), kWant[i].mode) << "step " << i;
  }
  EXPECT_EQ(job.steps[2].GetY1(), 5.0f);
  auto beams = std::make_unique<double[][64][3]>(32);
  job.machines[0].GetUpBeamProfile(beams.get());
  EXPECT_EQ(beams[1][0][2], 3.0);
  EXPECT_EQ(beams[2][1][2], 4.0);
  EXPECT_EQ(beams[2][1][1], 0.0);
  int points[32] = {};
  job.machines[0].GetNumLowerBeamPoint(points);
  EXPECT_EQ(points[2], 9);
}

// ApplyJob hands the records to the store and releases the job's arrays.
TEST(ParseJobTest, ApplyJobReleasesTheJobsArrays) {
  Job job;
  ASSERT_EQ(Parse(R"({"steps": [{}, {}], "tools": [{"ToolName": "P"}], "operator": ["cancel"]})", job), "");
  ASSERT_TRUE(ApplyJob(job).ok());
  EXPECT_EQ(job.steps.GetSize(), 0);
  EXPECT_EQ(job.steps.GetCapacity(), 0);
  EXPECT_EQ(job.tools.GetCapacity(), 0);
  EXPECT_EQ(job.operator_script.size(), 1u);
  driverwyr::StoreCopy store;
  ASSERT_TRUE(driverwyr::CopyStore(store));
  EXPECT_EQ(store.steps.GetSize(), 2);
  EXPECT_EQ(store.tools[0].GetToolName().str(), "P");
}

// LoadJobFile reads regular files only, and refuses the others at once:
// a FIFO without a writer must not block the open.
TEST(LoadJobFileTest, OnlyRegularFilesAreRead) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "wyr-load-job-test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "folder.json");
  ASSERT_EQ(::mkfifo((folder / "fifo.json").c_str(), 0600), 0);
  std::ofstream(folder / "job.json") << R"({"unit": 1})";
  // Larger than a job file may be; sparse, so that it costs no disk.
  std::ofstream(folder / "huge.json").close();
  std::filesystem::resize_file(folder / "huge.json", kMaxJobFileSize + 1);
  const struct {
    std::filesystem::path file;
    std::string message;
  } kCases[] = {
      {folder / "job.json", ""},
      {folder / "missing.json", "cannot be opened"},
      {folder / "folder.json", "is a folder, not a job file"},
      {folder / "fifo.json", "is not a regular file, so not a job file"},
      {"/dev/null", "is not a regular file, so not a job file"},
      {folder / "huge.json", "is larger than 1073741824 bytes"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LoadJobFile(c.file).error(), c.message) << c.file;
  }
  const driverwyr::Result<Job> job = LoadJobFile(folder / "job.json");
  ASSERT_TRUE(job.ok());
  EXPECT_EQ(job->unit, 1);
  EXPECT_EQ(job->folder, folder.lexically_normal());
  std::filesystem::remove_all(folder);
}

// The listings' escapes: what `wyr check` keeps (bytes from 0x80 up) and
// what `wyr dump` shows as \xNN, as text and inside JSON strings.
TEST(OutputBufferTest, EscapesAsEachListingShowsBytes) {
  const std::string bytes = std::string("a\"\\\x01\x7F\xC3\xA9", 7);
  const struct {
    bool keep_high_bytes;
    bool json;
    std::string want;
  } kCases[] = {
      {true, false, R"(a\"\\\x01\x7F)" "\xC3\xA9"},
      {false, false, R"(a\"\\\x01\x7F\xC3\xA9)"},
      {false, true, R"(a\"\\\\\\x01\\x7F\\xC3\\xA9)"},
  };
  for (const auto& c : kCases) {
    OutputBuffer out;
    out.AppendEscaped(bytes, '"', c.keep_high_bytes, c.json);
    EXPECT_EQ(out.text(), c.want) << c.keep_high_bytes << c.json;
  }
}

// A listing that cannot be written is a failure, not a silent success.
TEST(OutputBufferTest, WriteFailureIsReported) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  OutputBuffer out(full);
  for (int i = 0; i < 100000; ++i) out.Format(FMT_COMPILE("line {}\n"), i);
  EXPECT_FALSE(out.Finish());
  std::fclose(full);
}

TEST(DescribeStoreTest, ToolIdsEndAtNulOrAfter32BytesAndStringsAreEscaped) {
  driverwyr::StoreCopy store;
  CPPStepInfo step;
  char ids[6][32] = {};
  std::memset(ids[0], 'P', 32);  // no NUL: the name runs to the end of its 32 bytes
  std::memcpy(ids[1], "D24\0junk", 8);
  step.SetToolID(ids);
  store.steps.Add(step);
  CPPTool tool;
  tool.SetToolName("P\"88\n");
  store.tools.Add(tool);
  OutputBuffer out;
  DescribeStore(store, out);
  const std::string text(out.text());
  EXPECT_THAT(text, HasSubstr("steps[0].ToolID[0]: \"" + std::string(32, 'P') + "\"\n"));
  EXPECT_THAT(text, HasSubstr("steps[0].ToolID[1]: \"D24\"\n"));
  EXPECT_THAT(text, HasSubstr("tools[0].ToolName: \"P\\\"88\\x0A\"\n"));
}

// Program paths whose programs would have no name or a hidden one are
// refused, and the path is shown with its control bytes escaped.
TEST(ProgramPathTest, HiddenOrNamelessProgramFilesAreRefused) {
  const struct {
    std::string path;
    std::string problem;  // empty: accepted
  } kCases[] = {
      {"", "missing or empty: the program files would have no name"},
      {"out/", "\"out/\" names no file: the program files would have no name"},
      {"out/.bmf", "\"out/.bmf\" names no file: the program files would have no name"},
      {"out\\.bmf", "\"out\\.bmf\" names no file: the program files would have no name"},
      {"out/..bmf", "\"out/..bmf\" names a file that starts with a full stop: the program files would be hidden"},
      {"out/..", "\"out/..\" names a file that starts with a full stop: the program files would be hidden"},
      {"out/...", "\"out/...\" names a file that starts with a full stop: the program files would be hidden"},
      {"..bmf", "\"..bmf\" names a file that starts with a full stop: the program files would be hidden"},
      {"out/.\n.bmf", "\"out/.\\x0A.bmf\" names a file that starts with a full stop: the program files would be hidden"},
      {"out/BRACKET.bmf", ""},
      {"out/BRACKET", ""},
      {"out/a..bmf", ""},
      {"out.d/.x/BRACKET.bmf", ""},
      {"out/A\nB.bmf", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(CheckProgramPath(c.path).message(), c.problem) << c.path;
  }
}

}  // namespace
}  // namespace wyr
