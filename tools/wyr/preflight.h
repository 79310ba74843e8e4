// The pre-flight report of a job (`wyr check`, `wyr run --strict`): what a
// run of the job would meet, found without writing anything and without
// moving the serial counter.
//
// The report is the run itself, dry: the job goes to the driver as `wyr run`
// hands it over, and the driver's dry run (driverwyr::SetDryRun) shows every
// dialog and message box and calculates every step as a run does, with the
// job's operator script played on the in-memory window, so that typed values,
// chosen materials and folders are those the run would use. Its message boxes
// give the calculation's warnings word for word. Checks of the records
// (names, duplicates, material data, plausibility) add what the run would not
// say. docs/wyr.md lists every finding with its severity.
#ifndef DRIVERWYR_TOOLS_WYR_PREFLIGHT_H_
#define DRIVERWYR_TOOLS_WYR_PREFLIGHT_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "driverwyr/host.h"
#include "job_file.h"

namespace wyr {

// error: the program would be wrong or the run would fail (a step without
//        depth, a tool or machine the job does not have, a create refused);
// warning: the run goes on, but someone should look (the run's own warning
//        boxes, a shadowed record, tool names left unconverted);
// note: worth knowing, nothing wrong (a group the script cancels).
enum class Severity { kError, kWarning, kNote };

// "error", "warning", "note".
std::string_view SeverityName(Severity severity);

struct Finding {
  Severity severity = Severity::kNote;
  std::string code;      // short and stable, for tools: "unknown-die", "vt-below-4"
  std::string category;  // "names", "material", "calculation", "plausibility", "dialog", "script"
  int group = -1;        // the dialog's position in the run, from 0; -1: the job as a whole
  int step = -1;         // index into the job's steps; -1: no one step
  int number = 0;        // the step's NumberInSquence, when `step` is given
  std::string record;    // the record or setting it concerns ("tools[2]", "paths.data"); empty: none
  std::string message;   // one sentence; the calculation's are the driver's own texts
};

// A step that the run would calculate, with what it would write.
struct CalculatedOutcome {
  int group = 0;
  int step = 0;    // index into the job's steps
  int number = 0;  // its NumberInSquence
  float depth = 0.0f;  // mm, the negative of the Y1 written
  float force = 0.0f;  // the TonnageValue before it is cut to 16 bits
  std::array<int, 16> warnings{};  // the codes of its warning box, 0 for none
};

struct PreflightReport {
  // The job as a whole first, then group by group and step by step.
  std::vector<Finding> findings;
  std::vector<CalculatedOutcome> calculated;  // in the order the run calculates them

  int Count(Severity severity) const;
  bool HasErrors() const { return Count(Severity::kError) > 0; }
};

// The report of `job`, which ApplyJob has just handed to the driver; `store`
// is a copy of what the store holds now. Runs the job dry through the driver
// with `clock` (nullptr: the platform's) and the job's operator script;
// `job_name` is the job file as the user named it. Afterwards the store holds
// the job as a run leaves it (its steps' SetupIndex lowered by one).
PreflightReport MakePreflightReport(const Job& job, const driverwyr::StoreCopy& store, const std::string& job_name,
                                    driverwyr::Clock* clock);

// `wyr run --strict`: hands the job to the driver (keeping its records for
// the run), makes its report and, when it has errors, prints them on the
// standard error stream and returns kExitReportErrors; kExitFailed when the
// store cannot be created or read back; kExitOk when the job may run. Prints
// nothing when there are no errors, writes no file and leaves the serial
// counter and its key alone.
int RefuseJobWithErrors(Job& job, const std::string& job_name, driverwyr::Clock* clock);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_PREFLIGHT_H_
