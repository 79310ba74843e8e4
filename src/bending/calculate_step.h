// The per-step bend calculation: press depth (Y1, Y2) and force (TonnageValue).
#ifndef DRIVERWYR_BENDING_CALCULATE_STEP_H_
#define DRIVERWYR_BENDING_CALCULATE_STEP_H_

#include "bending/bend_calculator.h"
#include "driverwyr/setup.h"
#include "driverwyr/step_info.h"
#include "program_file/program_data.h"

namespace driverwyr {

// Calculates `step` with the program's MaterialNumber, Thickness and Hardness
// (already converted by the writer) and the group's setup (null when the group
// has none: a default CPPSetup stands in). Stores -depth into Y1 and Y2 and the
// force into TonnageValue, and shows at most one warning box for the step.
// Returns the warning codes of that box (all 0 when none was shown).
WarningList CalculateBendData(const ProgramData& program, const CPPSetup* setup, CPPStepInfo& step);

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_CALCULATE_STEP_H_
