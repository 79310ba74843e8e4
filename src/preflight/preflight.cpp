// The pre-flight report put together: the dry run, the checks of the
// records and of what the run showed, in the job's order.
#include "driverwyr/preflight.h"

#include <algorithm>
#include <exception>
#include <new>

#include "preflight/preflight_internal.h"
#include "preflight/program_path.h"
#include "util/last_error.h"
#include "util/run_hold.h"

namespace driverwyr {

using preflight::CheckInput;
using preflight::DryRun;
using preflight::FindingList;

namespace {

// The report of the store's job, whose copy is `store`.
PreflightReport MakeReport(const PreflightOptions& options, const StoreCopy& store) {
  const DryRun dry = preflight::RunDry(options);
  const CheckInput input(options.material_given, store, dry);
  const std::vector<StepGroup>& groups = input.groups;

  FindingList list(store);
  if (const Status path = CheckProgramPath(store.programPath.str()); !path.ok()) {
    list.Add(Severity::kError, "program-path", "names", path.message()).record = "paths.program";
  }
  preflight::CheckRecords(input, list);
  preflight::CheckDryRun(input, list);

  // Each step's findings belong to its group; the job as a whole comes
  // first, then each group with what concerns it as a whole before its
  // steps, in step order. Findings of one place keep the order they were
  // made in.
  std::vector<int> group_of_step(static_cast<std::size_t>(store.steps.GetSize()), -1);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (int i = groups[g].first; i < groups[g].first + groups[g].count; ++i) {
      group_of_step[static_cast<std::size_t>(i)] = static_cast<int>(g);
    }
  }
  PreflightReport report;
  report.findings = std::move(list.findings());
  for (Finding& finding : report.findings) {
    if (finding.step >= 0 && finding.group < 0) finding.group = group_of_step[static_cast<std::size_t>(finding.step)];
  }
  std::stable_sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
    return std::pair(a.group, a.step) < std::pair(b.group, b.step);
  });

  for (const CalculatedStep& step : dry.calculated) {
    if (step.group < 0 || static_cast<std::size_t>(step.group) >= groups.size()) continue;
    CalculatedOutcome outcome;
    outcome.group = step.group;
    outcome.step = groups[static_cast<std::size_t>(step.group)].first + step.step;
    outcome.number = step.number;
    outcome.depth = step.depth;
    outcome.force = step.force;
    std::copy(std::begin(step.warnings), std::end(step.warnings), outcome.warnings.begin());
    report.calculated.push_back(outcome);
  }
  return report;
}

}  // namespace

bool RunPreflight(PreflightReport& report, const PreflightOptions& options, std::string* why_not) {
  report = PreflightReport();
  // A pre-flight is a run of its own, with its own user interface and clock.
  if (RefusedDuringRun("RunPreflight")) {
    if (why_not != nullptr) *why_not = LastErrorText();
    return false;
  }
  try {
    StoreCopy store;
    if (!CopyStore(store)) {
      if (why_not != nullptr) *why_not = "the driver's store could not be read";
      return false;
    }
    report = MakeReport(options, store);
    return true;
  } catch (const std::bad_alloc&) {
    report = PreflightReport();
    if (why_not != nullptr) *why_not = "memory is exhausted";
    return false;
  } catch (const std::exception& e) {
    report = PreflightReport();
    if (why_not != nullptr) *why_not = e.what();
    return false;
  }
}

}  // namespace driverwyr
