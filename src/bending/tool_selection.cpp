#include "bending/tool_selection.h"

#include "driver/ppdb.h"

namespace driverwyr {
StepRecords FindStepRecords(const CPPStepInfo& step, const CPPSetup& setup) {
  char names[6][32] = {};
  step.GetToolID(names);
  StepRecords records;
  records.punch = FindStoredToolById(names[kToolIdPunch]);
  records.die = FindStoredToolById(names[kToolIdDie]);
  records.machine = FindSetupMachine(setup);
  return records;
}

ToolData CollectToolData(const ProgramData& program, const CPPStepInfo& step, const StepRecords& records) {
  ToolData data;
  data.MaterialNumber = static_cast<float>(program.MaterialNumber);
  data.Thickness = program.Thickness;
  data.Hardness = program.Hardness;
  if (records.die != nullptr) {
    data.DieWidth = static_cast<float>(records.die->GetVWidth());
    data.DieAngle = static_cast<float>(records.die->GetAngle());
    data.DieRadius = static_cast<float>(records.die->GetRadius());
  }
  data.BendLengthM = static_cast<float>(step.GetBendLength() * 0.001);
  data.BendAngle = step.GetBendAngle();
  return data;
}

MachineData CollectMachineData(const CPPSetup& setup, const StepRecords& records) {
  MachineData data;
  if (records.machine != nullptr) {
    data.MaxForce = MachineForceLimit(records.machine->GetTonnage());
    data.MinForce = MachineForceLimit(records.machine->GetMinTonnage());
    data.MaxBendingLength = static_cast<float>(records.machine->GetMaxBendingLength());
  }
  data.BendingCoefficient = setup.GetBendingCoefficient();
  if (records.punch != nullptr) data.PunchLoadLimit = LoadLimitPerMetre(records.punch->GetPunchResistance());
  if (records.die != nullptr) data.DieLoadLimit = LoadLimitPerMetre(records.die->GetDieResistance());
  return data;
}

}  // namespace driverwyr
