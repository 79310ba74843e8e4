// wyr run JOB.json [--transcript FILE] [--now INSTANT] [--ui memory|native]
// [--hold MS] [--sheet DIR] [--strict]: runs one job through the driver. It loads and
// validates the job, hands it to the driver, plays the operator of every
// dialog and message box (on the in-memory window or on the platform's real
// windows), reports the program created and writes its set-up sheet. Nothing
// that changes anything is called before the job, the command line and the
// transcript file have been accepted.
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
#include "operator_ui.h"
#include "preflight_print.h"
#include "program_path.h"
#include "run_console.h"
#include "run_platform.h"
#include "sheet_command.h"
#include "standard_output.h"

namespace wyr {
namespace {

// `wyr run --strict`: hands the job to the driver (keeping its records for
// the run), makes its report with `clock` (nullptr: the platform's) and,
// when it has errors, prints them on the standard error stream and returns
// kExitReportErrors; kExitFailed when the store cannot be created or the
// report made; kExitOk when the job may run. Prints nothing when there are
// no errors, writes no file and leaves the serial counter and its key alone.
int RefuseJobWithErrors(Job& job, const std::string& job_name, driverwyr::Clock* clock) {
  if (const driverwyr::Status status = ApplyJob(job, /*keep_records=*/true); !status.ok()) {
    fmt::print(stderr, "wyr: {}: {}\n", job_name, status.message());
    return kExitFailed;
  }
  driverwyr::PreflightReport report;
  driverwyr::PreflightOptions options;
  options.script = &job.operator_script;
  options.clock = clock;
  options.material_given = job.material.has_value();
  if (std::string why_not; !driverwyr::RunPreflight(report, options, &why_not)) {
    fmt::print(stderr, "wyr: {}: {}\n", job_name, why_not);
    return kExitFailed;
  }
  if (!report.HasErrors()) return kExitOk;
  std::fflush(stdout);
  fmt::print(stderr, "wyr: {}: --strict: the job is not run, its pre-flight report has errors\n", job_name);
  OutputBuffer out(stderr);
  PrintReportText(report, out);
  if (!out.Finish()) return kExitFailed;
  return kExitReportErrors;
}

struct RunOptions {
  std::string job;
  std::string transcript;
  std::optional<std::string> now;  // given, even empty: then it must be an instant
  std::string ui = "memory";
  int hold_milliseconds = 0;
  std::string sheet;  // folder of the set-up sheets; empty: none
  bool strict = false;
};

int Run(const RunOptions& options) {
  if (options.hold_milliseconds > 0 && options.ui != "native") {
    fmt::print(stderr, "wyr: --hold: only the native user interface holds its dialog (--ui native)\n");
    return kExitInvalid;
  }
  std::optional<FixedClock> clock;
  if (options.now) {
    const std::optional<Instant> instant = ParseUtcInstant(*options.now);
    if (!instant) {
      fmt::print(stderr, "wyr: --now: expected an instant in UTC like 2026-12-07T23:30:00Z, got \"{}\"\n",
                 OutsideText(*options.now));
      return kExitInvalid;
    }
    const std::optional<driverwyr::CalendarDate> local = LocalDateOf(instant->seconds);
    if (!local) {
      fmt::print(stderr, "wyr: --now: {} has no local date in this time zone\n", OutsideText(*options.now));
      return kExitInvalid;
    }
    clock.emplace(instant->utc_date, *local);
  }

  if (!options.sheet.empty()) {
    if (const driverwyr::Status folder = CheckSheetFolder(options.sheet); !folder.ok()) {
      fmt::print(stderr, "wyr: --sheet: {}: {}\n", options.sheet, folder.message());
      return kExitInvalid;
    }
  }

  driverwyr::Result<Job> loaded = LoadJobFile(options.job);
  if (!loaded.ok()) {
    fmt::print(stderr, "wyr: {}: {}\n", options.job, loaded.error());
    return kExitInvalid;
  }
  Job& job = *loaded;

  // The driver names the program files after the program path: without a
  // file name in it they would be hidden files named only ".wyr".
  if (const driverwyr::Status path = CheckProgramPath(job.program_path); !path.ok()) {
    fmt::print(stderr, "wyr: {}: paths.program: {}\n", options.job, path.message());
    return kExitInvalid;
  }
  if (options.strict) {
    if (const int refused = RefuseJobWithErrors(job, options.job, clock ? &*clock : nullptr); refused != kExitOk) {
      return refused;
    }
  }

  Transcript transcript;
  RunConsole console(transcript, options.job, &HoldEndingSignals);
  ScriptPlayer player(job.operator_script, console);
  std::unique_ptr<OperatorUi> ui;
  if (options.ui == "native") {
    driverwyr::Result<std::unique_ptr<OperatorUi>> native =
        MakeNativeUi(player, NativeUiOptions{options.hold_milliseconds});
    if (!native.ok()) {
      fmt::print(stderr, "wyr: --ui native: {}\n", native.error());
      return kExitInvalid;
    }
    ui = std::move(*native);
  } else {
    ui = driverwyr::MakeMemoryOperatorUi(player);
  }

  if (!options.transcript.empty()) {
    if (const driverwyr::Status opened = transcript.Open(options.transcript); !opened.ok()) {
      fmt::print(stderr, "wyr: --transcript: {}: {}\n", OutsideText(options.transcript), opened.message());
      return kExitInvalid;
    }
  }

  // Without the key the driver keeps no serial counter; the run goes on, as
  // it would on a machine whose installation is damaged.
  if (const driverwyr::Status key = EnsureSerialCounterKey(); !key.ok()) {
    fmt::print(stderr, "wyr: warning: the serial counter key could not be created: {}\n", key.message());
  }

  std::vector<char> path(kPathBufferSize, '\0');
  {
    InstalledRoles roles(ui->Interface(), clock ? &*clock : nullptr);
    // The set-up sheets read the job's records after the run.
    if (const driverwyr::Status status = ApplyJob(job, !options.sheet.empty()); !status.ok()) {
      fmt::print(stderr, "wyr: {}: {}\n", options.job, status.message());
      return kExitFailed;
    }
    GenerateMachineCodeFile(path.data());
  }
  ui->Finish();
  player.Finish();
  console.Finish();
  const bool sheets_written = options.sheet.empty() || WriteRunSheets(options.sheet, job, options.job);

  std::optional<std::string> copied;
  const auto end = std::find(path.begin(), path.end(), '\0');
  if (end != path.begin()) copied = std::string(path.begin(), end);
  transcript.Done(copied);
  // "nothing created" only when the driver wrote no program file at all.
  const int written = driverwyr::GetWrittenProgramCount();
  if (copied) {
    PrintLine("done: {}", OutsideText(*copied));
  } else if (written > 0) {
    PrintLine("done: {}", OutsideText(driverwyr::GetWrittenProgramPath(written - 1).str()));
  } else {
    PrintLine("done: nothing created");
  }

  if (const driverwyr::Status closed = transcript.Close(); !closed.ok()) {
    fmt::print(stderr, "wyr: --transcript: {}: {}\n", OutsideText(options.transcript), closed.message());
    if (!player.script_failed()) return kExitFailed;
  }
  if (player.script_failed()) return kExitInvalid;
  return player.run_failed() || !sheets_written ? kExitFailed : kExitOk;
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
  command->add_option("--ui", options->ui,
                      "where the operator plays: memory (the in-memory window, the default) or native "
                      "(the driver's real windows, on Windows)")
      ->check(CLI::IsMember({"memory", "native"}));
  command->add_option("--hold", options->hold_milliseconds,
                      "with --ui native: keep each filled dialog on the screen for MS milliseconds "
                      "before the script plays")
      ->check(CLI::Range(0, 600000));
  command->add_option("--sheet", options->sheet, "write the set-up sheet of every program created into DIR");
  command->add_flag("--strict", options->strict,
                    "refuse to run a job whose pre-flight report (wyr check) has errors: exit status 3, "
                    "nothing written");
  command->callback([options, &status] { status = Run(*options); });
}

}  // namespace wyr
