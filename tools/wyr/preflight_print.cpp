#include "preflight_print.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "program_text.h"

namespace wyr {
namespace {

using Json = nlohmann::ordered_json;

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

// A float as JSON: its shortest decimal form, or null when it is no number.
Json FloatJson(float value) {
  if (!std::isfinite(value)) return Json(nullptr);
  return Json(std::strtod(ShortestFloat(value).c_str(), nullptr));
}

Json IndexOrNull(int index) { return index >= 0 ? Json(index) : Json(nullptr); }

}  // namespace

void PrintReportText(const PreflightReport& report, OutputBuffer& out) {
  out.Append(fmt::format("pre-flight report: {}, {}, {}\n", Counted(report.Count(Severity::kError), "error"),
                         Counted(report.Count(Severity::kWarning), "warning"),
                         Counted(report.Count(Severity::kNote), "note")));
  for (const Finding& finding : report.findings) {
    out.Append(fmt::format("{} {}: ", SeverityName(finding.severity), finding.code));
    out.AppendEscaped(PlaceOf(finding), '\0', true);
    out.Append(": ");
    out.AppendEscaped(finding.message, '\0', true);
    out.Append('\n');
  }
}

void PrintReportJson(const PreflightReport& report, OutputBuffer& out) {
  Json findings = Json::array();
  for (const Finding& finding : report.findings) {
    Json item = Json::object();
    item["severity"] = SeverityName(finding.severity);
    item["code"] = finding.code;
    item["category"] = finding.category;
    item["group"] = IndexOrNull(finding.group);
    item["step"] = IndexOrNull(finding.step);
    item["number"] = finding.step >= 0 ? Json(finding.number) : Json(nullptr);
    item["record"] = finding.record.empty() ? Json(nullptr) : Json(finding.record);
    item["message"] = finding.message;
    findings.push_back(std::move(item));
  }
  Json calculated = Json::array();
  for (const CalculatedOutcome& step : report.calculated) {
    Json warnings = Json::array();
    for (const int code : step.warnings) {
      if (code != 0) warnings.push_back(code);
    }
    Json item = Json::object();
    item["group"] = step.group;
    item["step"] = step.step;
    item["number"] = step.number;
    item["depth"] = FloatJson(step.depth);
    item["force"] = FloatJson(step.force);
    item["warnings"] = std::move(warnings);
    calculated.push_back(std::move(item));
  }
  Json document = Json::object();
  document["errors"] = report.Count(Severity::kError);
  document["warnings"] = report.Count(Severity::kWarning);
  document["notes"] = report.Count(Severity::kNote);
  document["findings"] = std::move(findings);
  document["calculated"] = std::move(calculated);
  // The job's names are single bytes in the host's code page; bytes that are
  // no UTF-8 are shown as U+FFFD.
  out.Append(document.dump(-1, ' ', false, Json::error_handler_t::replace));
  out.Append('\n');
}

}  // namespace wyr
