#include "bending/calculate_step.h"

#include <cmath>
#include <cstdlib>

#include "bending/bend_calculator.h"
#include "bending/bend_warnings.h"
#include "bending/tool_selection.h"
#include "driver/ppdb.h"
#include "platform/platform.h"
#include "util/text.h"
#include "util/truncate.h"
#include "driverwyr/machine.h"

namespace driverwyr {

namespace {

// Adds `code` to the first free entry of `warnings`, after the codes there.
void AddWarning(WarningList& warnings, int code) {
  for (int& entry : warnings) {
    if (entry == 0) {
      entry = code;
      return;
    }
  }
}

// Whether a press can take what a step is about to be written with: a depth
// from the top of the sheet down to the machine's stroke (any depth when the
// machine record gives none), and a finite force. Values that are not finite
// are replaced by 0.
bool WithinMachine(CPPStepInfo& step, const CPPMachine* machine) {
  const float depth = -step.GetY1();
  const double stroke = machine != nullptr ? machine->GetMaxStrokeHeight() : 0.0;
  bool within = depth >= 0.0f && !(stroke > 0.0 && static_cast<double>(depth) > stroke);
  if (!std::isfinite(depth)) {
    step.SetY1(0.0f);
    step.SetY2(0.0f);
    within = false;
  }
  if (!std::isfinite(step.GetTonnageValue())) {
    step.SetTonnageValue(0.0f);
    within = false;
  }
  return within;
}

}  // namespace

WarningList CalculateBendData(const ProgramData& program, const CPPSetup* setup, CPPStepInfo& step,
                              ProgramMaterials* materials) {
  PPDB* store = GetPPDBInstance();
  if (store == nullptr) return WarningList{};
  const CPPSetup default_setup;
  const CPPSetup& group_setup = setup != nullptr ? *setup : default_setup;

  const StepRecords records = FindStepRecords(step, group_setup);
  BendResult result;
  WarningList warnings{};
  if (records.die == nullptr || records.punch == nullptr) {
    // Without its die the step has no geometry, and without its punch no
    // load limit: nothing is calculated, the punch stays at the top of the
    // die (depth 0, force 0) and the operator is told which tool is missing.
    std::size_t next = 0;
    if (records.die == nullptr) warnings[next++] = kWarningUnknownDie;
    if (records.punch == nullptr) warnings[next++] = kWarningUnknownPunch;
    step.SetY1(-result.Depth);
    step.SetY2(-result.Depth);
    step.SetTonnageValue(result.Force);
    ShowBendWarnings(step.GetNumberInSquence(), warnings);
    return warnings;
  }

  BendCalculator calculator = materials != nullptr ? BendCalculator(store->DataPath, *materials)
                                                   : BendCalculator(store->DataPath);
  const ToolData tool = CollectToolData(program, step, records);
  const MachineData machine = CollectMachineData(group_setup, records);
  calculator.Calculate(tool, machine, result, warnings);
  // A file that changed since an earlier step of the program ends the
  // program: what this step met in it is not worth a box.
  if (materials != nullptr && materials->changed()) return WarningList{};
  if (materials != nullptr) {
    if (const std::optional<std::string> unusable = materials->TakeUnusable()) {
      ShowMessage(DRIVERWYR_MSG_MATERIAL_FILE_UNUSABLE,
                  FillPlaceholders(LoadMessageText(DRIVERWYR_MSG_MATERIAL_FILE_UNUSABLE), {*unusable}),
                  kMessageOk | kMessageIconWarning);
    }
  }

  step.SetY1(-result.Depth);
  step.SetY2(-result.Depth);
  step.SetTonnageValue(result.Force);

  // Off-centre correction: a bend away from the middle of the machine loads
  // one cylinder more, so the force grows by (Lmax + e) / Lmax with
  // e = |trunc(2 x Offset)|. A machine without a bending length (an unknown
  // machine) gets no correction, where the factor would be undefined.
  const double max_length = records.machine != nullptr ? records.machine->GetMaxBendingLength() : 0.0;
  if (max_length != 0.0) {
    const double offset_term =
        std::fabs(static_cast<double>(SaturateToInt32(2.0 * static_cast<double>(step.GetOffset()))));
    const float corrected =
        static_cast<float>(static_cast<double>(step.GetTonnageValue()) * (max_length + offset_term) / max_length);
    // A factor that overflows the float range keeps the uncorrected force.
    if (std::isfinite(corrected)) step.SetTonnageValue(corrected);
  }

  // The force was raised to the minimum with code 51; once corrected it is
  // no longer below it, so there is nothing to report.
  if (step.GetTonnageValue() >= machine.MinForce && warnings[0] == kWarningBelowMinimum) {
    warnings[0] = 0;
  }

  if (!WithinMachine(step, records.machine)) AddWarning(warnings, kWarningBeyondMachine);
  ShowBendWarnings(step.GetNumberInSquence(), warnings);
  return warnings;
}

}  // namespace driverwyr
