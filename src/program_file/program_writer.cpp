// Placeholder until the writer lands: writes nothing.
#include "program_file/program_writer.h"

namespace driverwyr {

bool WriteProgramFile(ProgramData& /*data*/, RecordArray<CPPStepInfo>& /*steps*/,
                      const StepCalculation& /*calculate*/) {
  return false;
}

}  // namespace driverwyr
