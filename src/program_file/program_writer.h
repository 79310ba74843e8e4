// The program file writer: one ".wyr" file per setup group.
#ifndef DRIVERWYR_PROGRAM_FILE_PROGRAM_WRITER_H_
#define DRIVERWYR_PROGRAM_FILE_PROGRAM_WRITER_H_

#include <functional>

#include "driverwyr/record_array.h"
#include "driverwyr/step_info.h"
#include "program_file/program_data.h"

namespace driverwyr {

// Fills in the depth and force of one step before its record is written.
using StepCalculation = std::function<void(CPPStepInfo& step)>;

// Writes data.FileName: the 125-byte header and data.RecordCount records of 145
// bytes, one per element of `steps` (the group's steps and the closing
// record). Converts the header values and the steps in place, and calls
// `calculate` for every step but the closing one whose Mode is 0, after the
// records before it were written. Returns true when the file was written
// completely; false when it could not be opened ("Open file fails!" is shown)
// or a write failed, in which case no truncated file is left in its place.
bool WriteProgramFile(ProgramData& data, RecordArray<CPPStepInfo>& steps,
                      const StepCalculation& calculate);

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_FILE_PROGRAM_WRITER_H_
