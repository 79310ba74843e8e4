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
#include "program_file_reader.h"
#include "sheet_html.h"
#include "sheet_input.h"
#include "sheet_job.h"
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

// Writes `html` to `path` as one replacement: a failed write never leaves
// half a sheet in place of a whole one.
Status WriteSheetFile(const std::string& path, const std::string& html) {
  return driverwyr::ReplaceFileContents(driverwyr::DefaultFileSystem(), path, html);
}

// The sheet of one program file; the job, when given, must match it. The
// error's message starts with the file it concerns.
driverwyr::Result<std::string> MakeSheet(const std::string& program, const Job* job, const std::string& job_path) {
  const driverwyr::Result<driverwyr::ProgramFile> file = ReadProgramFile(program);
  if (!file.ok()) return file.status().WithContext(program);
  sheet::SheetInput input = sheet::MakeSheetInput(*file, FileNameOf(program));
  if (job != nullptr) {
    const Status added = sheet::AddJobToSheet(input, *job, program, FileNameOf(job_path));
    if (!added.ok()) return added.WithContext(job_path);
  }
  return sheet::RenderSheetHtml(input);
}

int RunSheet(const SheetOptions& options) {
  if (SameFile(options.output, options.program) || (!options.job.empty() && SameFile(options.output, options.job))) {
    fmt::print(stderr, "wyr: -o {}: is the program or job file itself; the sheet needs a file of its own\n",
               options.output);
    return kExitInvalid;
  }
  Job job;
  if (!options.job.empty()) {
    const Status loaded = sheet::LoadSheetJob(options.job, job);
    if (!loaded.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", options.job, loaded.message());
      return kExitInvalid;
    }
  }
  const driverwyr::Result<std::string> html =
      MakeSheet(options.program, options.job.empty() ? nullptr : &job, options.job);
  if (!html.ok()) {
    fmt::print(stderr, "wyr: {}\n", html.error());
    return kExitInvalid;
  }
  const Status written = WriteSheetFile(options.output, *html);
  if (!written.ok()) {
    fmt::print(stderr, "wyr: {}: {}\n", options.output, written.message());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

driverwyr::Status CheckSheetFolder(const std::string& folder) {
  std::error_code error;
  const fs::path path(folder);
  if (fs::exists(path, error) && !fs::is_directory(path, error)) return Status::Refused("is not a folder");
  return Status::Ok();
}

bool WriteRunSheets(const std::string& folder, const Job& job, const std::string& job_path) {
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
  bool ok = true;
  for (const std::string& program : programs) {
    const std::string output = (fs::path(folder) / fs::path(program).stem()).string() + ".html";
    const driverwyr::Result<std::string> html = MakeSheet(program, &job, job_path);
    if (!html.ok()) {
      fmt::print(stderr, "wyr: --sheet: {}\n", html.error());
      ok = false;
      continue;
    }
    if (const Status written = WriteSheetFile(output, *html); !written.ok()) {
      fmt::print(stderr, "wyr: --sheet: {}: {}\n", output, written.message());
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
