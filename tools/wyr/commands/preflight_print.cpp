#include "preflight_print.h"

#include <fmt/format.h>

#include <string>

namespace wyr {
namespace {

using driverwyr::Finding;
using driverwyr::Severity;

std::string Counted(int count, const char* noun) {
  return fmt::format("{} {}{}", count, noun, count == 1 ? "" : "s");
}

std::string PlaceOf(const Finding& finding) {
  std::string place = finding.step >= 0    ? fmt::format("steps[{}] (step {})", finding.step, finding.number)
                      : finding.group >= 0 ? fmt::format("group {}", finding.group)
                                           : std::string("job");
  if (!finding.record.empty()) place += ", " + finding.record;
  return place;
}

}  // namespace

void PrintReportText(const driverwyr::PreflightReport& report, OutputBuffer& out) {
  out.Append(fmt::format("pre-flight report: {}, {}, {}\n", Counted(report.Count(Severity::kError), "error"),
                         Counted(report.Count(Severity::kWarning), "warning"),
                         Counted(report.Count(Severity::kNote), "note")));
  for (const Finding& finding : report.findings) {
    out.Append(fmt::format("{} {}: ", driverwyr::SeverityName(finding.severity), finding.code));
    out.AppendEscaped(PlaceOf(finding), '\0', true);
    out.Append(": ");
    out.AppendEscaped(finding.message, '\0', true);
    out.Append('\n');
  }
}

void PrintReportJson(const driverwyr::PreflightReport& report, OutputBuffer& out) {
  out.Append(driverwyr::PreflightReportJson(report));
  out.Append('\n');
}

}  // namespace wyr
