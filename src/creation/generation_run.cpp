// GenerateMachineCodeFile: one program creation dialog per group of
// consecutive steps that share a setup, one program file per group the
// operator creates, and what became of each group for the host to read.
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
#include "util/run_hold.h"

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

// Why a dialog that did not end with "Create..." made no program.
std::string DialogEndReason(int answer) {
  if (answer == kIdCancel) return "the operator cancelled the dialog";
  if (answer != -1) return "the dialog ended with " + std::to_string(answer) + ", not with \"Create...\"";
  if (Platform::Current().ReplacedUserInterface() == nullptr) {
    return "the dialog could not be shown: no user interface is installed, and the platform's own "
           "cannot show dialogs here";
  }
  return "the dialog could not be shown: the user interface's run_dialog returned -1";
}

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

  // Every group is listed before the first dialog, so that a run that ends
  // early still accounts for the groups it did not reach.
  const std::vector<StepGroup> groups = GroupsOf(steps);
  record.groups.reserve(groups.size());
  for (const StepGroup& g : groups) {
    GroupRecord result;
    result.first_step = g.first;
    result.step_count = g.count;
    result.reason = "not run: the run ended at an earlier group";
    record.groups.push_back(std::move(result));
  }

  // Lowering every step by one keeps the groups as they were: their setup
  // values are the lowered ones, the setup records' numbering.
  RecordArray<CPPStepInfo> group;
  for (std::size_t group_index = 0; group_index < groups.size(); ++group_index) {
    const StepGroup& g = groups[group_index];
    GroupRecord& result = record.groups[group_index];
    // Sized once, with room for the closing record the dialog appends.
    group.RemoveAll();
    group.SetSize(g.count + 1);
    group.SetSize(g.count);
    for (int i = 0; i < g.count; ++i) group[i] = steps[g.first + i];

    record.group = static_cast<int>(group_index);
    ProgramCreationDialog dialog(*store, g.setup_value, record.group, group.GetSize(), group, true);
    // What the dialog proposes, and then what the operator left in it.
    result.program_file = dialog.Data().FileName;
    result.program_name = dialog.Data().ProgramName;
    const int answer = Platform::Current().Ui().RunDialog(kCreationDialogTemplate, dialog);
    result.program_file = dialog.Data().FileName;
    result.program_name = dialog.Data().ProgramName;
    if (answer != kIdOk) {
      result.outcome = answer == -1 ? GroupOutcome::kFailed : GroupOutcome::kCancelled;
      result.reason = DialogEndReason(answer);
      continue;
    }
    const Status created = dialog.CreateProgram();
    result.program_file = dialog.Data().FileName;
    result.program_name = dialog.Data().ProgramName;
    if (!created.ok()) {
      result.outcome = GroupOutcome::kFailed;
      result.reason = created.message();
      ShowMessage(kMessageCreateFailed, LoadMessageText(kMessageCreateFailed), kMessageOk | kMessageIconStop);
      return;
    }
    result.outcome = GroupOutcome::kCreated;
    result.reason.clear();
    if (!record.dry_run) record.written.push_back(dialog.Data().FileName);
    ShowMessage(kMessageProgramCreated, LoadMessageText(kMessageProgramCreated), kMessageOk);
    CopyPathToHost(store->ProgramPath, path_out);
  }
}

// The run ended with an exception (memory exhausted): the group it was at
// failed. Nothing is thrown from here.
void RecordRunAborted() noexcept {
  try {
    RunRecord& record = CurrentRun();
    if (record.group < 0 || static_cast<std::size_t>(record.group) >= record.groups.size()) return;
    GroupRecord& result = record.groups[static_cast<std::size_t>(record.group)];
    if (result.outcome != GroupOutcome::kNotRun) return;
    result.outcome = GroupOutcome::kFailed;
    result.reason = "the run ran out of memory";
  } catch (...) {
    // Even the reason did not fit: the group stays listed as not run.
  }
}

}  // namespace

void SetDryRun(bool on) {
  if (!RefusedDuringRun("SetDryRun")) CurrentRun().dry_run = on;
}

int GetCalculatedStepCount() { return static_cast<int>(CurrentRun().calculated.size()); }

bool GetCalculatedStep(int index, CalculatedStep* out) {
  if (out == nullptr || index < 0 || index >= GetCalculatedStepCount()) return false;
  *out = CurrentRun().calculated[static_cast<std::size_t>(index)];
  return true;
}

int GetRunResultCount() { return static_cast<int>(CurrentRun().groups.size()); }

bool GetRunResult(int index, GroupResult* out) {
  if (out == nullptr || index < 0 || index >= GetRunResultCount()) return false;
  try {
    const GroupRecord& group = CurrentRun().groups[static_cast<std::size_t>(index)];
    GroupResult result;
    result.group = index;
    result.firstStep = group.first_step;
    result.stepCount = group.step_count;
    result.outcome = group.outcome;
    result.programFile = CString(group.program_file);
    result.programName = CString(group.program_name);
    result.reason = CString(group.reason);
    *out = std::move(result);
    return true;
  } catch (...) {
    return false;  // out of memory: nothing is thrown to the host
  }
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
  // A run started from a callback of the run in progress would replace the
  // record and the store's steps that run is using.
  if (driverwyr::RefusedDuringRun("GenerateMachineCodeFile")) return true;
  const driverwyr::RunHold hold;
  try {
    driverwyr::RunGeneration(pathOut);
  } catch (...) {
    // Nothing is thrown to the host: a run that runs out of memory ends here.
    driverwyr::RecordRunAborted();
  }
  return true;
}
