// The per-step bend calculation: press depth (Y1, Y2) and force (TonnageValue).
#ifndef DRIVERWYR_BENDING_CALCULATE_STEP_H_
#define DRIVERWYR_BENDING_CALCULATE_STEP_H_

#include "driverwyr/setup.h"
#include "driverwyr/step_info.h"
#include "program_file/program_data.h"

namespace driverwyr {

// Calculates `step` with the program's MaterialNumber, Thickness and Hardness
// (already converted by the writer) and the group's setup (null when the group
// has none: a default CPPSetup stands in). Stores -depth into Y1 and Y2 and the
// force into TonnageValue, and shows at most one warning box for the step.
void CalculateBendData(const ProgramData& program, const CPPSetup* setup, CPPStepInfo& step);

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_CALCULATE_STEP_H_
