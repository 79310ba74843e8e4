// wyr check JOB.json [--json]: loads and validates a job, hands it to the
// driver's store and prints what the store holds, read back through the
// driver, followed by the job's pre-flight report (driverwyr/preflight.h); with --json
// only the report, as JSON. Writes no file and moves no serial counter.
#include <fmt/format.h>

#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "job_file.h"
#include "driverwyr/preflight.h"
#include "output_buffer.h"
#include "preflight_print.h"
#include "store_printer.h"

namespace wyr {
namespace {

int RunCheck(const std::string& file, bool json) {
  driverwyr::StoreCopy store;
  driverwyr::PreflightReport report;
  {
    // The job's arrays are released once the store has them; only the
    // store and its copy are held while the listing is printed.
    driverwyr::Result<Job> loaded = LoadJobFile(file);
    if (!loaded.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", file, loaded.error());
      return kExitInvalid;
    }
    Job& job = *loaded;
    if (const driverwyr::Status status = ApplyJob(job); !status.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", file, status.message());
      return kExitFailed;
    }
    if (!driverwyr::CopyStore(store)) {
      fmt::print(stderr, "wyr: {}: the driver's store could not be read back\n", file);
      return kExitFailed;
    }
    driverwyr::PreflightOptions options;
    options.script = &job.operator_script;
    options.material_given = job.material.has_value();
    if (std::string why_not; !driverwyr::RunPreflight(report, options, &why_not)) {
      fmt::print(stderr, "wyr: {}: {}\n", file, why_not);
      return kExitFailed;
    }
  }
  DestroyPPDBInstance();  // the copy is what is printed
  OutputBuffer out(stdout);
  if (json) {
    PrintReportJson(report, out);
  } else {
    DescribeStore(store, out);
    PrintReportText(report, out);
  }
  // Why not is told once for every command (main.cpp).
  if (!out.Finish()) return kExitFailed;
  return report.HasErrors() ? kExitReportErrors : kExitOk;
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& status) {
  CLI::App* command = app.add_subcommand(
      "check", "Load and validate a job file, print what the driver's store would hold and the job's pre-flight "
      "report (exit status 3 when it has errors)");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  command->add_option("job", *file, "the job file (JSON)")->required();
  command->add_flag("--json", *json, "print only the pre-flight report, as JSON");
  command->callback([file, json, &status] { status = RunCheck(*file, *json); });
}

}  // namespace wyr
