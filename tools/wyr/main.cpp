// wyr: the host program that ships with the driver. It runs jobs from JSON
// files through the driver's entry points, decodes program files, writes
// their set-up sheets and works with material data files.
#include <cstdio>
#include <exception>
#include <string>

#include "commands.h"
#include "run_platform.h"
#include "standard_output.h"

namespace {

// Output that did not reach its reader fails the command that made it,
// whichever it was: the operator was not shown what happened.
int WithOutputChecked(int status) {
  if (const driverwyr::Status written = wyr::CheckStandardOutput(); !written.ok()) {
    std::fprintf(stderr, "wyr: standard output could not be written: %s\n", written.message().c_str());
    if (status == wyr::kExitOk || status == wyr::kExitReportErrors) return wyr::kExitFailed;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  wyr::PrepareProcessMemory();
  wyr::PrepareStandardStreams();
  CLI::App app{"wyr: run press-brake program jobs through the DriverWyr driver"};
  app.require_subcommand(1);
  int status = wyr::kExitOk;
  wyr::AddCheckCommand(app, status);
  wyr::AddRunCommand(app, status);
  wyr::AddDumpCommand(app, status);
  wyr::AddMaterialCommand(app, status);
  wyr::AddSheetCommand(app, status);
  wyr::AddDiffCommand(app, status);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return WithOutputChecked(code == 0 ? wyr::kExitOk : wyr::kExitInvalid);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "wyr: %s\n", e.what());
    return WithOutputChecked(wyr::kExitInvalid);
  }
  return WithOutputChecked(status);
}
