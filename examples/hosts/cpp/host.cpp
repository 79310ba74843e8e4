// A C++ host for Linux, built with the same toolchain as the library: it
// uses the record classes, RecordArray and the C++ host API of
// driverwyr/host.h and driverwyr/memory_dialog.h. It builds the job of
// ../host_job.json, plays the operator of each dialog with an in-memory
// window ("Create...") and uses a clock that always tells 2026-12-07. Before
// the run it asks for the job's pre-flight report (driverwyr/preflight.h) and
// prints its findings; then it writes the program and, when SHEET is given,
// the program's set-up sheet (driverwyr/sheet.h).
//
//   cpp_host DATA_FOLDER CONVERSION_FILE PROGRAM_PATH [SHEET [DIE]]
//
// DIE names the die of the second step (DIE16V otherwise), to see what the
// pre-flight says of a die the job does not have.
//
// Exit status: 0 when the program (and the sheet) was written, 1 otherwise.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driverwyr/driverwyr.h"
#include "driverwyr/host.h"
#include "driverwyr/memory_dialog.h"
#include "driverwyr/preflight.h"
#include "driverwyr/sheet.h"

namespace {

class FixedClock final : public driverwyr::Clock {
 public:
  driverwyr::CalendarDate UtcToday() const override { return {2026, 12, 7}; }
  driverwyr::CalendarDate LocalToday() const override { return {2026, 12, 7}; }
};

CPPStepInfo Step(int number, double x, float flange, const char* die) {
  CPPStepInfo step;
  const double xx[4] = {x, x, 0, 0}, yy[4] = {0, 0, 0, 0}, zz[4] = {-150, 150, 0, 0};
  char tools[6][32] = {"PUNCH88", "", "HOLDER60", "", "SPACER10", ""};
  std::strncpy(tools[1], die, sizeof tools[1] - 1);
  // The setters in the record's declaration order (SetBendingSpeed reads the
  // control type).
  step.SetNumberInSquence(number);
  step.SetSetUpName("S1");
  step.SetSetupIndex(1);
  step.SetBendType(0);
  step.SetControlType(2);
  step.SetBendLength(500.0f, 0);
  step.SetBendAngle(90.0f);
  step.SetXX(xx);
  step.SetYY(yy);
  step.SetZZ(zz);
  step.SetODC(251.0f, 0);
  step.SetRetractStroke(10.0f, 0);
  step.SetToolID(tools);
  step.SetBendingSpeed(8.0, 0);
  step.SetSequenceOrder(static_cast<short>(number));
  step.SetFlangeLength(flange);
  return step;
}

CPPTool Tool(const char* name, const char* type, const char* category, double v_width, double angle,
             double radius, double height, int small_or_larger, float punch, float die) {
  CPPTool tool;
  tool.SetToolName(name);
  tool.SetToolType(type);
  tool.SetCategory(category);
  tool.SetToolHeight(height);
  tool.SetSmallorLarger(small_or_larger);
  tool.SetVWidth(v_width);
  tool.SetAngle(angle);
  tool.SetRadius(radius);
  tool.SetPunchResistance(punch);
  tool.SetDieResistance(die);
  return tool;
}

// Prints the pre-flight report of the job the store holds, a line a
// finding. False when it could not be made.
bool PrintPreflight() {
  driverwyr::PreflightReport report;
  std::string why_not;
  if (!driverwyr::RunPreflight(report, driverwyr::PreflightOptions(), &why_not)) {
    std::fprintf(stderr, "cpp_host: the pre-flight report: %s\n", why_not.c_str());
    return false;
  }
  std::printf("pre-flight: %d errors, %d warnings, %d notes\n", report.Count(driverwyr::Severity::kError),
              report.Count(driverwyr::Severity::kWarning), report.Count(driverwyr::Severity::kNote));
  for (const driverwyr::Finding& finding : report.findings) {
    const std::string place =
        finding.step >= 0 ? "step " + std::to_string(finding.step) + " (number " + std::to_string(finding.number) + ")"
                          : std::string("job");
    std::printf("finding: %s %s: %s%s%s: %s\n", std::string(driverwyr::SeverityName(finding.severity)).c_str(),
                finding.code.c_str(), place.c_str(), finding.record.empty() ? "" : ", ", finding.record.c_str(),
                finding.message.c_str());
  }
  return true;
}

// Writes the sheet of the last program the run wrote to `sheet`, with the
// store's records, named as the job file that describes them.
bool WriteLastSheet(const char* sheet) {
  const int count = driverwyr::GetWrittenProgramCount();
  if (count == 0) return true;
  driverwyr::StoreCopy records;
  if (!driverwyr::CopyRunRecords(records)) {
    std::fprintf(stderr, "cpp_host: the sheet: the store cannot be read\n");
    return false;
  }
  driverwyr::SheetOptions options;
  options.records = &records;
  options.records_label = "host_job.json";
  driverwyr::SheetError error;
  if (!driverwyr::WriteSheet(driverwyr::GetWrittenProgramPath(count - 1).str(), sheet, options, &error)) {
    std::fprintf(stderr, "cpp_host: the sheet: %s\n", error.message.c_str());
    return false;
  }
  std::printf("sheet: %s\n", sheet);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 6) {
    std::fprintf(stderr, "usage: cpp_host DATA_FOLDER CONVERSION_FILE PROGRAM_PATH [SHEET [DIE]]\n");
    return 2;
  }
  // What an installation does; the driver itself never creates the key.
  CString why_not;
  if (!driverwyr::CreateSerialCounterKey(&why_not)) {
    std::fprintf(stderr, "cpp_host: the serial counter key: %s\n", why_not.GetString());
  }

  int created = 0;
  bool failed = false;
  driverwyr::MemoryUserInterface ui;
  ui.on_dialog = [](driverwyr::MemoryDialogWindow& window) {
    std::printf("dialog: program %s\n", window.GetControlText(DRIVERWYR_IDC_PROGRAM_NAME).c_str());
    window.Press(DRIVERWYR_ID_OK);  // "Cancel" follows by itself when a field does not pass
  };
  ui.on_message = [&](const std::string& text, unsigned style) {
    std::printf("message (style %u): %s\n", style, text.c_str());
    if (text == driverwyr::GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED).view()) ++created;
    if (text == driverwyr::GetMessageText(DRIVERWYR_MSG_CREATE_FAILED).view() ||
        (style & DRIVERWYR_MB_ICONMASK) == DRIVERWYR_MB_ICONWARNING) {
      failed = true;
    }
    return DRIVERWYR_ID_OK;
  };
  FixedClock clock;
  driverwyr::SetUserInterface(&ui);
  driverwyr::SetClock(&clock);

  RecordArray<CPPStepInfo> steps;
  steps.Add(Step(1, 120.5, 122.0f, "DIE16V"));
  steps.Add(Step(2, 60.0, 62.0f, argc > 5 ? argv[5] : "DIE16V"));
  RecordArray<CPPTool> tools;
  tools.Add(Tool("PUNCH88", "PUNCH", "PUNCH", 0, 88, 0.8, 120, 0, 100, 0));
  tools.Add(Tool("DIE16V", "DIE", "2V-16", 16, 88, 2.5, 60, 1, 0, 120));
  tools.Add(Tool("HOLDER60", "DIEHOLDER", "HOLDER", 0, 0, 0, 60, 0, 0, 0));
  tools.Add(Tool("SPACER10", "SPACER", "SPACER", 0, 0, 0, 10, 0, 0, 0));
  RecordArray<CPPSetup> setups;
  CPPSetup setup;
  setup.SetSetupName("S1");
  setup.SetControlType(2);
  setup.SetMachineModel("PB-100");
  setup.SetSetupIndex(0);
  setup.SetUserMachineName("PB100");
  setup.SetBendingCoefficient(1.0f);
  setups.Add(setup);
  RecordArray<CPPMachine> machines;
  CPPMachine machine;
  machine.SetUserMachineName("PB100");
  machine.SetMachineName("Press brake 100 t");
  machine.SetTonnage(100);
  machine.SetMinTonnage(1);
  machine.SetMaxBendingLength(3000);
  machine.SetMaxStrokeHeight(200);
  machine.SetOpenHeight(420);
  machines.Add(machine);
  RecordArray<CPPBGauge> gauges;

  CreatePPDBInstance();
  SetUnit(0);
  SetPathNames(argv[3], argv[1], argv[2]);
  SetMaterial_1(2.0f, 40.0f, 1);
  InitPPSequence(&steps);
  InitToolInfo(&tools);
  InitSetupInfo(&setups);
  InitMachineInfo(&machines);
  InitBkGaugeInfo(&gauges);
  if (!PrintPreflight()) return 1;
  std::vector<char> path(4096, '\0');  // the longest path on Linux
  GenerateMachineCodeFile(path.data());
  std::printf("done: %s\n", path[0] != '\0' ? path.data() : "nothing created");
  for (int i = 0; i < driverwyr::GetWrittenProgramCount(); ++i) {
    std::printf("written: %s\n", driverwyr::GetWrittenProgramPath(i).GetString());
  }
  const bool sheet_written = argc < 5 || WriteLastSheet(argv[4]);
  DestroyPPDBInstance();
  driverwyr::SetUserInterface(nullptr);
  driverwyr::SetClock(nullptr);
  return created > 0 && !failed && sheet_written ? 0 : 1;
}
