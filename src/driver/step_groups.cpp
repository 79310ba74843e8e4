#include "driver/step_groups.h"

namespace driverwyr {

std::vector<StepGroup> GroupsOf(const RecordArray<CPPStepInfo>& steps) {
  std::vector<StepGroup> groups;
  for (int i = 0; i < steps.GetSize(); ++i) {
    if (groups.empty() || steps[i].GetSetupIndex() != groups.back().setup_value) {
      groups.push_back({i, 0, steps[i].GetSetupIndex()});
    }
    ++groups.back().count;
  }
  return groups;
}

int SetupRecordIndexOf(const StepGroup& group) {
  return static_cast<int>(static_cast<unsigned>(group.setup_value) - 1u);
}

GroupSetup FindGroupSetup(const StepGroup& group, const RecordArray<CPPSetup>& setups,
                          const RecordArray<CPPMachine>& machines) {
  GroupSetup found;
  const int wanted = SetupRecordIndexOf(group);
  for (int i = 0; i < setups.GetSize() && found.setup < 0; ++i) {
    if (setups[i].GetSetupIndex() == wanted) found.setup = i;
  }
  if (found.setup < 0) return found;
  const CString name = setups[found.setup].GetUserMachineName();
  for (int i = 0; i < machines.GetSize() && found.machine < 0; ++i) {
    if (machines[i].GetUserMachineName() == name) found.machine = i;
  }
  return found;
}

}  // namespace driverwyr
