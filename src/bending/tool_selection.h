// Gathers what the bend calculation needs for one step: the program's
// material, the step, its punch and die, the group's setup and the setup's
// machine. Tools and machines are found by exact name in the store, once per
// step; a name that matches nothing leaves the figures of a default record
// (zeros), and the caller learns that the record is missing.
#ifndef DRIVERWYR_BENDING_TOOL_SELECTION_H_
#define DRIVERWYR_BENDING_TOOL_SELECTION_H_

#include "bending/bend_calculator.h"
#include "driverwyr/machine.h"
#include "driverwyr/setup.h"
#include "driverwyr/step_info.h"
#include "driverwyr/tool.h"
#include "program_file/program_data.h"

namespace driverwyr {

// The stored records a step's calculation reads, as they stand; null where a
// name matches no record.
struct StepRecords {
  const CPPTool* punch = nullptr;       // ToolID entry 0
  const CPPTool* die = nullptr;         // ToolID entry 1
  const CPPMachine* machine = nullptr;  // the setup's UserMachineName
};

// The calculation's forces are ten times the records' scale: a machine's
// force limit from its Tonnage or MinTonnage, and a tool's allowed load per
// metre of bend from its PunchResistance or DieResistance.
inline float MachineForceLimit(double tonnage) { return static_cast<float>(tonnage) * 10.0f; }
inline float LoadLimitPerMetre(float resistance) { return resistance * 10.0f; }

StepRecords FindStepRecords(const CPPStepInfo& step, const CPPSetup& setup);

// Material number, thickness and hardness of the program; the die's opening,
// angle and radius; the step's bend length and angle.
ToolData CollectToolData(const ProgramData& program, const CPPStepInfo& step, const StepRecords& records);

// Forces and bending length of the machine, the setup's bending coefficient,
// and the load limits of the punch and the die.
MachineData CollectMachineData(const CPPSetup& setup, const StepRecords& records);

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_TOOL_SELECTION_H_
