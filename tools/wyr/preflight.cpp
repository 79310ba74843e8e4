// The pre-flight report put together: the dry run, the checks of the
// records and of what the run showed, in the job's order.
#include "preflight.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdio>

#include "commands.h"
#include "output_buffer.h"
#include "preflight_internal.h"
#include "preflight_print.h"
#include "program_path.h"

namespace wyr {

using preflight::CheckInput;
using preflight::DryRun;
using preflight::FindingList;

std::string_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError: return "error";
    case Severity::kWarning: return "warning";
    case Severity::kNote: return "note";
  }
  return "note";
}

int PreflightReport::Count(Severity severity) const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [severity](const Finding& f) { return f.severity == severity; }));
}

PreflightReport MakePreflightReport(const Job& job, const driverwyr::StoreCopy& store, const std::string& job_name,
                                    driverwyr::Clock* clock) {
  const DryRun dry = preflight::RunDry(job, job_name, clock);
  const CheckInput input(job, store, dry);
  const std::vector<StepGroup>& groups = input.groups;

  FindingList list(store);
  if (const std::optional<std::string> problem = ProgramPathProblem(store.programPath.str())) {
    list.Add(Severity::kError, "program-path", "names", *problem).record = "paths.program";
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

  for (const driverwyr::CalculatedStep& step : dry.calculated) {
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

int RefuseJobWithErrors(Job& job, const std::string& job_name, driverwyr::Clock* clock) {
  driverwyr::StoreCopy store;
  if (const driverwyr::Status status = ApplyJob(job, /*keep_records=*/true); !status.ok()) {
    fmt::print(stderr, "wyr: {}: {}\n", job_name, status.message());
    return kExitFailed;
  }
  if (!driverwyr::CopyStore(store)) {
    fmt::print(stderr, "wyr: {}: the driver's store could not be read back\n", job_name);
    return kExitFailed;
  }
  const PreflightReport report = MakePreflightReport(job, store, job_name, clock);
  if (!report.HasErrors()) return kExitOk;
  std::fflush(stdout);
  fmt::print(stderr, "wyr: {}: --strict: the job is not run, its pre-flight report has errors\n", job_name);
  OutputBuffer out(stderr);
  PrintReportText(report, out);
  if (!out.Finish()) return kExitFailed;
  return kExitReportErrors;
}

}  // namespace wyr
