// wyr sheet PROGRAM.wyr [--job JOB.json] -o SHEET.html: writes the set-up
// sheet of a program file, a self-contained HTML page. With the job that made
// the program the sheet also draws the dies and names the tools of each step.
//
// Exit status: 0 when the sheet was written; 1 when it could not be written;
// 2 when the program file, the job or the command line is not usable (the
// job does not match the program, for one).
#include "sheet_command.h"

#include "driverwyr/files.h"

#include <fmt/format.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <system_error>
#include <vector>

#include "commands.h"
#include "driverwyr/host.h"
#include "driverwyr/sheet.h"
#include "standard_output.h"

namespace wyr {
namespace {

namespace fs = std::filesystem;
using driverwyr::Status;

struct SheetOptions {
  std::string program;
  std::string job;
  std::string output;
};

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

// True when `a` and `b` name the same existing file.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(fs::path(a), fs::path(b), error);
}

// Moves the job's records into `records` (empty), as a sheet takes them;
// the job keeps its settings.
void TakeRecords(Job& job, driverwyr::StoreCopy& records) {
  records.unit = job.unit;
  records.steps.Swap(job.steps);
  records.tools.Swap(job.tools);
  records.setups.Swap(job.setups);
  records.machines.Swap(job.machines);
}

// Writes the sheet of `program` to `output`, with the job's records when
// given. Prints what went wrong, with the file it concerns, after `prefix`;
// returns the exit status.
int WriteOneSheet(const std::string& program, const std::string& output, const driverwyr::StoreCopy* records,
                  const std::string& job_path, const std::string& prefix) {
  driverwyr::SheetOptions options;
  options.records = records;
  options.records_label = FileNameOf(job_path);
  driverwyr::SheetError error;
  if (driverwyr::WriteSheet(program, output, options, &error)) return kExitOk;
  switch (error.failure) {
    case driverwyr::SheetFailure::kProgramFile:
      fmt::print(stderr, "{}{}: {}\n", prefix, program, error.message);
      return kExitInvalid;
    case driverwyr::SheetFailure::kRecords:
      fmt::print(stderr, "{}{}: {}\n", prefix, job_path, error.message);
      return kExitInvalid;
    default:
      fmt::print(stderr, "{}{}: {}\n", prefix, output, error.message);
      return kExitFailed;
  }
}

int RunSheet(const SheetOptions& options) {
  if (SameFile(options.output, options.program) || (!options.job.empty() && SameFile(options.output, options.job))) {
    fmt::print(stderr, "wyr: -o {}: is the program or job file itself; the sheet needs a file of its own\n",
               options.output);
    return kExitInvalid;
  }
  Job job;
  if (!options.job.empty()) {
    driverwyr::Result<Job> loaded = LoadJobFile(options.job);
    if (!loaded.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", options.job, loaded.error());
      return kExitInvalid;
    }
    job = std::move(*loaded);
  }
  driverwyr::StoreCopy records;
  TakeRecords(job, records);
  return WriteOneSheet(options.program, options.output, options.job.empty() ? nullptr : &records, options.job,
                       "wyr: ");
}

}  // namespace

driverwyr::Status CheckSheetFolder(const std::string& folder) {
  std::error_code error;
  const fs::path path(folder);
  if (fs::exists(path, error) && !fs::is_directory(path, error)) return Status::Refused("is not a folder");
  return Status::Ok();
}

bool WriteRunSheets(const std::string& folder, Job& job, const std::string& job_path) {
  // With fewer than two setups every group writes the same file; its sheet
  // is that of the program the file holds in the end.
  std::vector<std::string> programs;
  std::set<std::string> seen;
  for (int i = 0; i < driverwyr::GetWrittenProgramCount(); ++i) {
    std::string path = driverwyr::GetWrittenProgramPath(i).str();
    if (seen.insert(path).second) programs.push_back(std::move(path));
  }
  if (programs.empty()) return true;
  std::error_code error;
  fs::create_directories(fs::path(folder), error);
  if (!fs::is_directory(fs::path(folder), error)) {
    fmt::print(stderr, "wyr: --sheet: {}: cannot be created\n", folder);
    return false;
  }
  driverwyr::StoreCopy records;
  TakeRecords(job, records);
  bool ok = true;
  for (const std::string& program : programs) {
    const std::string output = (fs::path(folder) / fs::path(program).stem()).string() + ".html";
    if (WriteOneSheet(program, output, &records, job_path, "wyr: --sheet: ") != kExitOk) {
      ok = false;
      continue;
    }
    PrintLine("sheet: {}", OutsideText(output));
  }
  return ok;
}

void AddSheetCommand(CLI::App& app, int& status) {
  CLI::App* command = app.add_subcommand(
      "sheet", "Write the set-up sheet of a program file (.wyr): an HTML page with a drawing of every step");
  auto options = std::make_shared<SheetOptions>();
  command->add_option("program", options->program, "the program file")->required();
  command->add_option("--job", options->job, "the job file the program was made from (JSON)");
  command->add_option("-o,--output", options->output, "the sheet to write (HTML)")->required();
  command->callback([options, &status] { status = RunSheet(*options); });
}

}  // namespace wyr
