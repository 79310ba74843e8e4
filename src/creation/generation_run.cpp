// GenerateMachineCodeFile: one program creation dialog per group of
// consecutive steps that share a setup, and one program file per group the
// operator creates.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "creation/creation_internal.h"
#include "creation/program_creation_dialog.h"
#include "creation/run_record.h"
#include "driver/ppdb.h"
#include "driver/step_groups.h"
#include "driverwyr/driverwyr.h"
#include "driverwyr/host.h"
#include "platform/platform.h"

namespace driverwyr {

void CopyPathToHost(const std::string& path, char* buffer) {
  if (buffer == nullptr) return;
  const std::size_t length = std::min(path.size(), kMaxPathBuffer - 1);
  std::memcpy(buffer, path.data(), length);
  buffer[length] = '\0';
}

RunRecord& CurrentRun() {
  static RunRecord record;
  return record;
}

namespace {

// One less, wrapping like the 32-bit arithmetic of the records instead of
// overflowing.
int Decrement(int value) { return static_cast<int>(static_cast<unsigned>(value) - 1u); }

void RunGeneration(char* path_out) {
  RunRecord& record = CurrentRun();
  record.Start();
  // The numbers the run gave matter only while it runs, also when it ends
  // early (a failed create, memory that ran out).
  struct ForgetNumbers {
    RunRecord& record;
    ~ForgetNumbers() { record.numbers.Clear(); }
  } forget_numbers{record};
  PPDB* store = GetPPDBInstance();
  if (store == nullptr) return;

  RecordArray<CPPStepInfo>& steps = store->StepArray;
  const int count = steps.GetSize();
  // The host numbers the steps' setups from 1, the setup records from 0.
  for (int i = 0; i < count; ++i) steps[i].SetSetupIndex(Decrement(steps[i].GetSetupIndex()));
  store->StepsLowered = true;
  if (count == 0) return;

  // Lowering every step by one keeps the groups as they were: their setup
  // values are the lowered ones, the setup records' numbering.
  const std::vector<StepGroup> groups = GroupsOf(steps);
  RecordArray<CPPStepInfo> group;
  for (int group_index = 0; group_index < static_cast<int>(groups.size()); ++group_index) {
    const StepGroup& cut = groups[static_cast<std::size_t>(group_index)];
    // Sized once, with room for the closing record the dialog appends.
    group.RemoveAll();
    group.SetSize(cut.count + 1);
    group.SetSize(cut.count);
    for (int i = 0; i < cut.count; ++i) group[i] = steps[cut.first + i];

    record.group = group_index;
    ProgramCreationDialog dialog(*store, cut.setup_value, group_index, group.GetSize(), group, true);
    if (Platform::Current().Ui().RunDialog(kCreationDialogTemplate, dialog) == kIdOk) {
      if (!dialog.CreateProgram()) {
        ShowMessage(LoadMessageText(kMessageCreateFailed), kMessageOk | kMessageIconStop);
        return;
      }
      if (!record.dry_run) record.written.push_back(dialog.Data().FileName);
      ShowMessage(LoadMessageText(kMessageProgramCreated), kMessageOk);
      CopyPathToHost(store->ProgramPath, path_out);
    }
  }
}

}  // namespace

void SetDryRun(bool on) { CurrentRun().dry_run = on; }

int GetCalculatedStepCount() { return static_cast<int>(CurrentRun().calculated.size()); }

bool GetCalculatedStep(int index, CalculatedStep* out) {
  if (out == nullptr || index < 0 || index >= GetCalculatedStepCount()) return false;
  *out = CurrentRun().calculated[static_cast<std::size_t>(index)];
  return true;
}

int GetWrittenProgramCount() { return static_cast<int>(CurrentRun().written.size()); }

CString GetWrittenProgramPath(int index) {
  try {
    if (index < 0 || index >= GetWrittenProgramCount()) return CString();
    return CString(CurrentRun().written[static_cast<std::size_t>(index)]);
  } catch (...) {
    return CString();  // out of memory: nothing is thrown to the host
  }
}

}  // namespace driverwyr

extern "C" DRIVERWYR_API bool DRIVERWYR_CALL GenerateMachineCodeFile(char* pathOut) {
  try {
    driverwyr::RunGeneration(pathOut);
  } catch (...) {
    // Nothing is thrown to the host: a run that runs out of memory ends here.
  }
  return true;
}
