// Placeholder until the calculation lands: steps keep the host's values.
#include "bending/calculate_step.h"

namespace driverwyr {

void CalculateBendData(const ProgramData& /*program*/, const CPPSetup* /*setup*/, CPPStepInfo& /*step*/) {}

}  // namespace driverwyr
