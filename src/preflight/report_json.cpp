// The pre-flight report as JSON, for hosts and tools.
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "driverwyr/preflight.h"
#include "driverwyr/program_text.h"

namespace driverwyr {
namespace {

using Json = nlohmann::ordered_json;

// A float as JSON: its shortest decimal form, or null when it is no number.
Json FloatJson(float value) {
  if (!std::isfinite(value)) return Json(nullptr);
  return Json(ShortestFloatValue(value));
}

Json IndexOrNull(int index) { return index >= 0 ? Json(index) : Json(nullptr); }

}  // namespace

std::string PreflightReportJson(const PreflightReport& report) {
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
  // The store's names are single bytes in the host's code page; bytes that
  // are no UTF-8 are shown as U+FFFD.
  return document.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace driverwyr
