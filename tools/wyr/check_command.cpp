// wyr check JOB.json: loads and validates a job, hands it to the driver's
// store and prints what the store holds, read back through the driver. Calls
// no entry point that writes a file or shows a dialog.
#include <fmt/format.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "commands.h"
#include "job_file.h"

namespace wyr {
namespace {

int RunCheck(const std::string& file) {
  Job job;
  try {
    LoadJobFile(file, job);
  } catch (const JobError& e) {
    fmt::print(stderr, "wyr: {}: {}\n", file, e.what());
    return kExitInvalid;
  }
  driverwyr::StoreCopy store;
  try {
    ApplyJob(job);
  } catch (const std::exception& e) {
    fmt::print(stderr, "wyr: {}: {}\n", file, e.what());
    return kExitFailed;
  }
  if (!driverwyr::CopyStore(store)) {
    fmt::print(stderr, "wyr: {}: the driver's store could not be read back\n", file);
    return kExitFailed;
  }
  const std::string text = DescribeStore(store);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
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
