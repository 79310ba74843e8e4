// Gathers what the bend calculation needs for one step: the program's
// material, the step, its punch and die, the group's setup and the setup's
// machine. Tools and machines are found by exact name in the store; a name
// that matches nothing leaves a default-constructed record (zeros), whose
// consequences show as warnings of the calculation.
#ifndef DRIVERWYR_BENDING_TOOL_SELECTION_H_
#define DRIVERWYR_BENDING_TOOL_SELECTION_H_

#include "bending/bend_calculator.h"
#include "driverwyr/setup.h"
#include "driverwyr/step_info.h"
#include "program_file/program_data.h"

namespace driverwyr {

// Material number, thickness and hardness of the program; the die (ToolID
// entry 1) of the step; the step's bend length and angle.
ToolData CollectToolData(const ProgramData& program, const CPPStepInfo& step);

// Forces and bending length of the setup's machine (found by the setup's
// UserMachineName), the setup's bending coefficient, and the load limits of
// the step's punch (ToolID entry 0) and die (entry 1).
MachineData CollectMachineData(const CPPStepInfo& step, const CPPSetup& setup);

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_TOOL_SELECTION_H_
