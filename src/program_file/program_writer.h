// The program file writer: one ".wyr" file per setup group.
#ifndef DRIVERWYR_PROGRAM_FILE_PROGRAM_WRITER_H_
#define DRIVERWYR_PROGRAM_FILE_PROGRAM_WRITER_H_

#include <functional>

#include "driverwyr/record_array.h"
#include "driverwyr/result.h"
#include "driverwyr/step_info.h"
#include "program_file/program_data.h"

namespace driverwyr {

// Fills in the depth and force of one step before its record is written. An
// error stops the program: nothing more is calculated and no file is written.
using StepCalculation = std::function<Status(CPPStepInfo& step)>;

// Writes data.FileName: the 125-byte header and data.RecordCount records of 145
// bytes, one per element of `steps` (the group's steps and the closing
// record). Trims the four control tool names and converts Thickness and
// Hardness in place (to millimetres and the control's hardness; sets
// WrittenHardness), and calls `calculate` for every step but the closing one
// whose Mode is 0, after the records before it were encoded; what it stores
// into a step is written. The multi-hit and back gauge conversions go to the
// file only. Succeeds when the file was written completely and put in place.
// Otherwise an existing file of that name is left untouched and the error
// says why, its message starting with the file's path: Refused or NotFound
// when the file cannot be created or replaced ("Open file fails!" is shown),
// IoError when a write fails (the disk is full; nothing shown: the caller
// reports the failure), Invalid when RecordCount is not the number of steps
// (a count that did not fit 16 bits), or the error of a step's calculation.
// kInMemoryOnly does all of it but touch the disk (a dry run): the program is
// encoded, nothing is created or replaced, and the result is success.
enum class WriteMode { kFile, kInMemoryOnly };

Status WriteProgramFile(ProgramData& data, RecordArray<CPPStepInfo>& steps,
                        const StepCalculation& calculate, WriteMode mode = WriteMode::kFile);

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_FILE_PROGRAM_WRITER_H_
