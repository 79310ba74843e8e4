// Set-up sheets from wyr: `wyr sheet` and the sheets `wyr run --sheet DIR`
// writes after a run.
#ifndef DRIVERWYR_TOOLS_WYR_SHEET_COMMAND_H_
#define DRIVERWYR_TOOLS_WYR_SHEET_COMMAND_H_

#include <string>

#include "job_file.h"
#include "driverwyr/result.h"

namespace wyr {

// Refuses a --sheet folder that cannot be one: a file or anything else that
// exists and is not a folder. A missing folder is fine; WriteRunSheets
// creates it. Called before a run, so that such a mistake stops the run
// before anything is written.
driverwyr::Status CheckSheetFolder(const std::string& folder);

// Writes the sheet of every program file the last run wrote
// (driverwyr::GetWrittenProgramPath) into `folder`, created with its parents
// when missing, as NAME.html for NAME.wyr, with the job's records, which it
// takes from `job`. Prints "sheet: PATH" on standard output for each and
// every failure on standard error; returns false when any sheet could not be
// written.
bool WriteRunSheets(const std::string& folder, Job& job, const std::string& job_path);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_SHEET_COMMAND_H_
