// A C++ host for Linux, built with the same toolchain as the library: it
// uses the record classes, RecordArray and the C++ host API of
// driverwyr/host.h and driverwyr/memory_dialog.h. It builds the job of
// ../host_job.json, plays the operator of each dialog with an in-memory
// window ("Create..."), uses a clock that always tells 2026-12-07 and
// writes the program.
//
//   cpp_host DATA_FOLDER CONVERSION_FILE PROGRAM_PATH
//
// Exit status: 0 when the program was written, 1 otherwise.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driverwyr/driverwyr.h"
#include "driverwyr/host.h"
#include "driverwyr/memory_dialog.h"

namespace {

class FixedClock final : public driverwyr::Clock {
 public:
  driverwyr::CalendarDate UtcToday() const override { return {2026, 12, 7}; }
  driverwyr::CalendarDate LocalToday() const override { return {2026, 12, 7}; }
};

CPPStepInfo Step(int number, double x, float flange) {
  CPPStepInfo step;
  const double xx[4] = {x, x, 0, 0}, yy[4] = {0, 0, 0, 0}, zz[4] = {-150, 150, 0, 0};
  char tools[6][32] = {"PUNCH88", "DIE16V", "HOLDER60", "", "SPACER10", ""};
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: cpp_host DATA_FOLDER CONVERSION_FILE PROGRAM_PATH\n");
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
  steps.Add(Step(1, 120.5, 122.0f));
  steps.Add(Step(2, 60.0, 62.0f));
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
  std::vector<char> path(4096, '\0');  // the longest path on Linux
  GenerateMachineCodeFile(path.data());
  std::printf("done: %s\n", path[0] != '\0' ? path.data() : "nothing created");
  for (int i = 0; i < driverwyr::GetWrittenProgramCount(); ++i) {
    std::printf("written: %s\n", driverwyr::GetWrittenProgramPath(i).GetString());
  }
  DestroyPPDBInstance();
  driverwyr::SetUserInterface(nullptr);
  driverwyr::SetClock(nullptr);
  return created > 0 && !failed ? 0 : 1;
}
