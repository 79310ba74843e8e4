// wyr run JOB.json [--transcript FILE] [--now INSTANT]: runs one job through
// the driver. It loads and validates the job, hands it to the driver, plays
// the operator of every dialog and message box, and reports the program
// created. Nothing that changes anything is called before the job, the
// command line and the transcript file have been accepted.
#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "driverwyr/host.h"
#include "job_file.h"
#include "run_operator.h"
#include "run_platform.h"

namespace wyr {
namespace {

// The caller's buffer of GenerateMachineCodeFile: the driver copies at most
// the platform's longest path (4096 bytes with its NUL) into it.
constexpr std::size_t kPathBufferSize = 4096;

struct RunOptions {
  std::string job;
  std::string transcript;
  std::string now;
};

// Installs the operator and clock for one run and restores the driver's
// defaults afterwards, also when the run is left early.
class InstalledRoles {
 public:
  InstalledRoles(driverwyr::UserInterface& ui, driverwyr::Clock* clock) {
    driverwyr::SetUserInterface(&ui);
    if (clock != nullptr) driverwyr::SetClock(clock);
  }
  ~InstalledRoles() {
    driverwyr::SetClock(nullptr);
    driverwyr::SetUserInterface(nullptr);
  }
  InstalledRoles(const InstalledRoles&) = delete;
  InstalledRoles& operator=(const InstalledRoles&) = delete;
};

int Run(const RunOptions& options) {
  std::optional<FixedClock> clock;
  if (!options.now.empty()) {
    const std::optional<Instant> instant = ParseUtcInstant(options.now);
    if (!instant) {
      fmt::print(stderr, "wyr: --now: expected an instant in UTC like 2026-12-07T23:30:00Z, got \"{}\"\n",
                 options.now);
      return kExitInvalid;
    }
    const std::optional<driverwyr::CalendarDate> local = LocalDateOf(instant->seconds);
    if (!local) {
      fmt::print(stderr, "wyr: --now: {} has no local date in this time zone\n", options.now);
      return kExitInvalid;
    }
    clock.emplace(instant->utc_date, *local);
  }

  Job job;
  if (const driverwyr::Status status = LoadJobFile(options.job, job); !status.ok()) {
    fmt::print(stderr, "wyr: {}: {}\n", options.job, status.message());
    return kExitInvalid;
  }

  Transcript transcript;
  if (!options.transcript.empty()) {
    if (const auto error = transcript.Open(options.transcript)) {
      fmt::print(stderr, "wyr: --transcript: {}\n", *error);
      return kExitInvalid;
    }
  }

  // Without the key the driver keeps no serial counter; the run goes on, as
  // it would on a machine whose installation is damaged.
  if (const auto error = EnsureSerialCounterKey()) {
    fmt::print(stderr, "wyr: warning: the serial counter key could not be created: {}\n", *error);
  }

  ScriptedOperator player(job.operator_script, transcript, options.job);
  std::vector<char> path(kPathBufferSize, '\0');
  {
    InstalledRoles roles(player, clock ? &*clock : nullptr);
    if (const driverwyr::Status status = ApplyJob(job); !status.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", options.job, status.message());
      return kExitFailed;
    }
    GenerateMachineCodeFile(path.data());
  }
  player.Finish();

  std::optional<std::string> created;
  const auto end = std::find(path.begin(), path.end(), '\0');
  if (end != path.begin()) created = std::string(path.begin(), end);
  transcript.Done(created);
  if (created) {
    fmt::print("done: {}\n", *created);
  } else {
    fmt::print("done: nothing created\n");
  }
  std::fflush(stdout);

  if (!transcript.Close()) {
    fmt::print(stderr, "wyr: --transcript: {}: could not be written completely\n", options.transcript);
    if (!player.script_failed()) return kExitFailed;
  }
  if (player.script_failed()) return kExitInvalid;
  return player.run_failed() ? kExitFailed : kExitOk;
}

}  // namespace

void AddRunCommand(CLI::App& app, int& status) {
  CLI::App* command =
      app.add_subcommand("run", "Run a job through the driver, playing the operator of its dialogs");
  auto options = std::make_shared<RunOptions>();
  command->add_option("job", options->job, "the job file (JSON)")->required();
  command->add_option("--transcript", options->transcript,
                      "write what happens to FILE, one JSON object a line");
  command->add_option("--now", options->now,
                      "use this instant in UTC as now, for example 2026-12-07T23:30:00Z");
  command->callback([options, &status] { status = Run(*options); });
}

}  // namespace wyr
