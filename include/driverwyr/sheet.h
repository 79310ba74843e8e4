// The set-up sheet: a written program drawn for the operator who sets up the
// press.
//
// A sheet is one self-contained HTML page (no scripts, no files of its own;
// it prints on A4): the program's header (program number, part reference,
// material, thickness, hardness, date, the tools with their control names and
// orientation codes), then every step in bending order with its angle, depth
// and force and a drawing to scale of the die, the side view with the back
// gauge fingers and the plan view, and a table of all steps. With the records
// of the job that made the program, the sheet also draws the dies and names
// the tools, setup and machine of each step, and tells what deserves a look
// (a force at the machine's or a tool's limit, a V/t outside 4 to 20, a tool
// that is not among the records).
//
// The records are matched to the program as a run cuts the steps into
// groups: with two or more setup records, by the ".S<setup>P<group>" of the
// program's file name; otherwise by the SequenceOrder and BendLength of each
// record. Records that do not match the program are refused.
//
// This is a C++ interface, with the same toolchain requirements as
// driverwyr/host.h; driverwyr/driverwyr_c.h offers the same to every other
// host.
#ifndef DRIVERWYR_SHEET_H_
#define DRIVERWYR_SHEET_H_

#include <string>

#include "driverwyr/host.h"

namespace driverwyr {

struct SheetOptions {
  // The records of the job that made the program, with the steps' SetupIndex
  // as the host handed them over (CopyRunRecords); nullptr: the program is
  // drawn alone. Must outlive the call.
  const StoreCopy* records = nullptr;
  // How the sheet names the records' source, for example the job file's
  // name; shown only with records.
  std::string records_label;
};

// What went wrong with a sheet.
enum class SheetFailure {
  kNone,
  kProgramFile,  // the program file cannot be read or is no program file
  kRecords,      // the records do not match the program
  kSheetFile,    // the sheet could not be written
  kMemory,       // memory is exhausted
};

struct SheetError {
  SheetFailure failure = SheetFailure::kNone;
  // A sentence fragment saying why, without the file it concerns in front
  // ("is a folder, not a program file", "does not match the program: ...").
  std::string message;
};

// The sheet of the program file at `program_path`, into `html`. Returns
// true; false with `*error` (when given) filled, and `html` unchanged, when
// the program file is unusable or the records do not match it.
DRIVERWYR_API bool RenderSheet(const std::string& program_path, const SheetOptions& options, std::string& html,
                               SheetError* error = nullptr);

// Renders the sheet and writes it to `sheet_path` in one replacement: a
// failed write never leaves half a sheet in place of a whole one, and an
// existing sheet is replaced. Returns true; false with `*error` filled when
// it cannot be rendered or written (the folder does not exist, the path is
// a folder or may not be written), in which case nothing is written.
DRIVERWYR_API bool WriteSheet(const std::string& program_path, const std::string& sheet_path,
                              const SheetOptions& options, SheetError* error = nullptr);

// A copy of the store as the last run found it, for the sheets of the
// programs it wrote: as CopyStore, but with the steps' SetupIndex as the
// host handed them over (a run lowers them by one in the store). Returns
// false when there is no store or memory ran out.
DRIVERWYR_API bool CopyRunRecords(StoreCopy& out);

}  // namespace driverwyr

#endif  // DRIVERWYR_SHEET_H_
