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
//
// A depth that is negative (the punch would stop above the sheet) or deeper
// than the machine's MaxStrokeHeight (where it is given), and a force that is
// not finite, add kWarningBeyondMachine after the calculation's own code; its
// box then carries the warning icon. A depth or force that is not finite is
// stored as 0: a press never receives one.
//
// `materials`, when given, reads the material data files for the program and
// notices a file that changed since an earlier step of it (see
// ProgramMaterials); the step then shows no box, since the program ends.
WarningList CalculateBendData(const ProgramData& program, const CPPSetup* setup, CPPStepInfo& step,
                              ProgramMaterials* materials = nullptr);

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_CALCULATE_STEP_H_
