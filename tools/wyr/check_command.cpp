// wyr check JOB.json: loads and validates a job, hands it to the driver's
// store and prints what the store holds, read back through the driver. Calls
// no entry point that writes a file or shows a dialog.
#include <fmt/format.h>

#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "job_file.h"
#include "output_buffer.h"
#include "store_printer.h"

namespace wyr {
namespace {

int RunCheck(const std::string& file) {
  driverwyr::StoreCopy store;
  {
    // The job's arrays are released once the store has them; only the
    // store and its copy are held while the listing is printed.
    Job job;
    if (const driverwyr::Status status = LoadJobFile(file, job); !status.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", file, status.message());
      return kExitInvalid;
    }
    if (const driverwyr::Status status = ApplyJob(job); !status.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", file, status.message());
      return kExitFailed;
    }
  }
  if (!driverwyr::CopyStore(store)) {
    fmt::print(stderr, "wyr: {}: the driver's store could not be read back\n", file);
    return kExitFailed;
  }
  DestroyPPDBInstance();  // the copy is what is printed
  OutputBuffer out(stdout);
  DescribeStore(store, out);
  if (!out.Finish()) {
    fmt::print(stderr, "wyr: {}: the listing could not be written to standard output\n", file);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& status) {
  CLI::App* command = app.add_subcommand(
      "check", "Load and validate a job file and print what the driver's store would hold");
  auto file = std::make_shared<std::string>();
  command->add_option("job", *file, "the job file (JSON)")->required();
  command->callback([file, &status] { status = RunCheck(*file); });
}

}  // namespace wyr
