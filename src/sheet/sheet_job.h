// The records behind a program on the set-up sheet (the job that made it, as
// the store holds it): which of the setup groups the program holds, the tools
// its steps name and what can be told about each step from them.
//
// A run cuts the job's steps into groups of consecutive steps with equal
// SetupIndex and writes one program per group; with two or more setup records
// the program's file name carries ".S<setup>P<group>". The program is matched
// to a group this way:
//   - a job with two or more setup records: the name must end in
//     ".S<s>P<g>.wyr"; group g (counting from 1, in step order) must exist and
//     its steps must have SetupIndex s;
//   - a job with fewer: the one group whose steps have the program's
//     SequenceOrder and BendLength values, record by record; none or more
//     than one is refused;
//   - always: the group has one step per record but the closing one, and
//     every record's SequenceOrder and BendLength equal its step's.
#ifndef DRIVERWYR_SHEET_SHEET_JOB_H_
#define DRIVERWYR_SHEET_SHEET_JOB_H_

#include <string>

#include "driverwyr/host.h"
#include "driverwyr/result.h"
#include "sheet/sheet_input.h"

namespace driverwyr::sheet {

// Finds the group of the records `job` (steps with SetupIndex as the host
// gave them, tools in the job's unit) that the program at `program_path`
// (whose decoded contents `sheet` holds) was made from and adds what they
// tell: the tools, setup and machine of each step, the header's job tool
// names and the findings of each step. `job_label` names the job on the
// sheet. When the records do not match the program, returns an error saying
// why and leaves `sheet` unchanged.
Status AddJobToSheet(SheetInput& sheet, const StoreCopy& job, const std::string& program_path,
                     std::string job_label);

}  // namespace driverwyr::sheet

#endif  // DRIVERWYR_SHEET_SHEET_JOB_H_
