#include "bending/tool_selection.h"

#include <cstddef>
#include <cstring>

#include "driver/ppdb.h"
#include "driverwyr/machine.h"
#include "driverwyr/tool.h"

namespace driverwyr {
namespace {

constexpr int kPunchEntry = 0;
constexpr int kDieEntry = 1;

// The tool named in ToolID entry `entry` of the step; a default tool when none
// matches.
CPPTool FindStepTool(const CPPStepInfo& step, int entry) {
  char names[6][32] = {};
  step.GetToolID(names);
  return FindToolById(names[entry]);
}

}  // namespace

ToolData CollectToolData(const ProgramData& program, const CPPStepInfo& step) {
  const CPPTool die = FindStepTool(step, kDieEntry);
  ToolData data;
  data.MaterialNumber = static_cast<float>(program.MaterialNumber);
  data.Thickness = program.Thickness;
  data.Hardness = program.Hardness;
  data.DieWidth = static_cast<float>(die.GetVWidth());
  data.DieAngle = static_cast<float>(die.GetAngle());
  data.DieRadius = static_cast<float>(die.GetRadius());
  data.BendLengthM = static_cast<float>(step.GetBendLength() * 0.001);
  data.BendAngle = step.GetBendAngle();
  return data;
}

MachineData CollectMachineData(const CPPStepInfo& step, const CPPSetup& setup) {
  CPPMachine machine;
  FindMachineByName(machine, setup.GetUserMachineName());
  MachineData data;
  data.MaxForce = static_cast<float>(machine.GetTonnage()) * 10.0f;
  data.MinForce = static_cast<float>(machine.GetMinTonnage()) * 10.0f;
  data.MaxBendingLength = static_cast<float>(machine.GetMaxBendingLength());
  data.BendingCoefficient = setup.GetBendingCoefficient();
  data.PunchLoadLimit = FindStepTool(step, kPunchEntry).GetPunchResistance() * 10.0f;
  data.DieLoadLimit = FindStepTool(step, kDieEntry).GetDieResistance() * 10.0f;
  return data;
}

}  // namespace driverwyr
