// The pre-flight report: what a run of the job the store holds would meet,
// found without its effects.
//
// A host asks for it once it has handed the job over (SetUnit, SetPathNames,
// SetMaterial_..., the Init... entry points) and before it calls
// GenerateMachineCodeFile, to show its planner what the operator's dialogs
// would say. The report is the run itself, dry: every dialog is shown on the
// in-memory window and played with the values it proposes (or with an
// operator script, driverwyr/operator_script.h, where the host has one), and
// every step is calculated as a run calculates it, but no serial number is
// claimed, no program file is written and the serial counter stays as it is.
// The host's own user interface and clock are not used and stay installed,
// and the store holds afterwards what it held before. Its calculation
// findings are the run's warning boxes word for word; checks of the records
// (names, duplicates, material data, plausibility) add what a run would not
// say.
//
// Like GenerateMachineCodeFile, the pre-flight is a run: afterwards
// GetCalculatedStep... tell the steps it calculated and
// GetWrittenProgramCount() is 0.
//
// This is a C++ interface, with the same toolchain requirements as
// driverwyr/host.h; driverwyr/driverwyr_c.h offers the same to every other
// host. The findings, their codes and severities are listed in docs/host.md.
#ifndef DRIVERWYR_PREFLIGHT_H_
#define DRIVERWYR_PREFLIGHT_H_

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "driverwyr/host.h"
#include "driverwyr/operator_script.h"

namespace driverwyr {

// error: the program would be wrong or the run would fail (a step without
//        depth, a tool or machine the job does not have, a create refused);
// warning: the run goes on, but someone should look (the run's own warning
//        boxes, a shadowed record, tool names left unconverted);
// note: worth knowing, nothing wrong (a group the script cancels).
enum class Severity { kError, kWarning, kNote };

// "error", "warning", "note".
constexpr std::string_view SeverityName(Severity severity) {
  return severity == Severity::kError ? "error" : severity == Severity::kWarning ? "warning" : "note";
}

struct Finding {
  Severity severity = Severity::kNote;
  std::string code;      // short and stable, for tools: "unknown-die", "vt-below-4"
  std::string category;  // "names", "material", "calculation", "plausibility", "dialog", "script"
  int group = -1;        // the dialog's position in the run, from 0; -1: the job as a whole
  int step = -1;         // index into the store's steps; -1: no one step
  int number = 0;        // the step's NumberInSquence, when `step` is given
  std::string record;    // the record or setting it concerns ("tools[2]", "paths.data"); empty: none
  std::string message;   // one sentence; the calculation's are the driver's own texts
};

// A step that the run would calculate, with what it would write.
struct CalculatedOutcome {
  int group = 0;
  int step = 0;    // index into the store's steps
  int number = 0;  // its NumberInSquence
  float depth = 0.0f;  // mm, the negative of the Y1 written
  float force = 0.0f;  // the TonnageValue before it is cut to 16 bits
  std::array<int, 16> warnings{};  // the codes of its warning box, 0 for none
};

struct PreflightReport {
  // The job as a whole first, then group by group and step by step.
  std::vector<Finding> findings;
  std::vector<CalculatedOutcome> calculated;  // in the order the run calculates them

  int Count(Severity severity) const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [severity](const Finding& f) { return f.severity == severity; }));
  }
  bool HasErrors() const { return Count(Severity::kError) > 0; }
};

struct PreflightOptions {
  // The operator's script, played on the dialogs; nullptr: every dialog is
  // created with the values it proposes. Must outlive the call.
  const std::vector<OperatorEntry>* script = nullptr;
  // The clock of the dry run; nullptr: the one in force (the host's, when it
  // installed one). Must outlive the call.
  Clock* clock = nullptr;
  // Whether the host set a material (SetMaterial_1 or SetMaterial_2): only
  // the wording of a missing thickness depends on it.
  bool material_given = true;
};

// Makes the report of the job the store holds into `report` (replacing what
// it held). Returns true; false, with the reason in *why_not when given,
// when the store cannot be created or read (memory exhausted), in which
// case the report is empty.
DRIVERWYR_API bool RunPreflight(PreflightReport& report, const PreflightOptions& options = {},
                                std::string* why_not = nullptr);

// Whether `program_path` (as SetPathNames takes it) can name program files:
// the driver names each program after the path's base name, after the last
// separator and up to the last full stop. False, with the reason in *why_not
// when given, for an empty path, one without a name before its extension,
// or one whose name starts with a full stop (the program files would be
// hidden); the reason shows the path with its control bytes escaped. The
// pre-flight reports it as "program-path".
DRIVERWYR_API bool ProgramPathNamesFiles(const std::string& program_path, std::string* why_not = nullptr);

// The report as one line of JSON, without a line end:
// {"errors": E, "warnings": W, "notes": N, "findings": [...], "calculated": [...]}.
// A finding has "severity", "code", "category", "group", "step", "number",
// "record" and "message" (null where the finding has none); a calculated
// step "group", "step", "number", "depth", "force" (null when no number) and
// "warnings" (its codes). Texts are the store's bytes; bytes that are no
// UTF-8 are written as U+FFFD.
DRIVERWYR_API std::string PreflightReportJson(const PreflightReport& report);

}  // namespace driverwyr

#endif  // DRIVERWYR_PREFLIGHT_H_
