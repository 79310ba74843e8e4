// The setup groups of the steps, as a run cuts them: consecutive steps with equal
// SetupIndex, one creation dialog and one program each, in step order.
#ifndef DRIVERWYR_DRIVER_STEP_GROUPS_H_
#define DRIVERWYR_DRIVER_STEP_GROUPS_H_

#include <vector>

#include "driverwyr/machine.h"
#include "driverwyr/record_array.h"
#include "driverwyr/setup.h"
#include "driverwyr/step_info.h"

namespace driverwyr {

struct StepGroup {
  int first = 0;        // index of its first step
  int count = 0;        // number of steps
  int setup_value = 0;  // the steps' SetupIndex, as the job gives it
};

// The groups of `steps`, in order; none when there are no steps.
std::vector<StepGroup> GroupsOf(const RecordArray<CPPStepInfo>& steps);

// The SetupIndex of the setup record a group uses: the steps' SetupIndex less
// one (the host numbers the steps' setups from 1, the setup records from 0),
// wrapping as the records' 32-bit arithmetic does.
int SetupRecordIndexOf(const StepGroup& group);

// The records a group's run uses: the first setup whose SetupIndex is
// SetupRecordIndexOf(group), and the first machine whose UserMachineName is
// that setup's. Matching is exact, byte for byte, as the driver's.
struct GroupSetup {
  int setup = -1;    // index into `setups`; -1: none, a default setup stands in
  int machine = -1;  // index into `machines`; -1: none (or no setup)
};
GroupSetup FindGroupSetup(const StepGroup& group, const RecordArray<CPPSetup>& setups,
                          const RecordArray<CPPMachine>& machines);

}  // namespace driverwyr

#endif  // DRIVERWYR_DRIVER_STEP_GROUPS_H_
