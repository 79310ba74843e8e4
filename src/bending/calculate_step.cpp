#include "bending/calculate_step.h"

#include <cmath>
#include <cstdlib>

#include "bending/bend_calculator.h"
#include "bending/bend_warnings.h"
#include "bending/tool_selection.h"
#include "driver/ppdb.h"
#include "util/truncate.h"
#include "driverwyr/machine.h"

namespace driverwyr {

void CalculateBendData(const ProgramData& program, const CPPSetup* setup, CPPStepInfo& step) {
  PPDB* store = GetPPDBInstance();
  if (store == nullptr) return;
  const CPPSetup default_setup;
  const CPPSetup& group_setup = setup != nullptr ? *setup : default_setup;

  BendCalculator calculator(store->DataPath);
  const ToolData tool = CollectToolData(program, step);
  const MachineData machine = CollectMachineData(step, group_setup);
  BendResult result;
  WarningList warnings{};
  calculator.Calculate(tool, machine, result, warnings);

  step.SetY1(-result.Depth);
  step.SetY2(-result.Depth);
  step.SetTonnageValue(result.Force);

  // Off-centre correction: a bend away from the middle of the machine loads
  // one cylinder more, so the force grows by (Lmax + e) / Lmax with
  // e = |trunc(2 x Offset)|. A machine without a bending length (an unknown
  // machine) gets no correction, where the factor would be undefined.
  CPPMachine found;
  FindMachineByName(found, group_setup.GetUserMachineName());
  const double max_length = found.GetMaxBendingLength();
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

  ShowBendWarnings(step.GetNumberInSquence(), warnings);
}

}  // namespace driverwyr
