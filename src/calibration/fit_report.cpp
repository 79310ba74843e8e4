// The fit report as plain text and as JSON.
#include <fmt/format.h>

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "calibration/report_model.h"
#include "calibration/report_numbers.h"
#include "driverwyr/program_text.h"

namespace driverwyr::calibration {
namespace {

using Json = nlohmann::ordered_json;

Json Number(double value) { return std::isfinite(value) ? Json(value) : Json(nullptr); }
Json Optional(const std::optional<double>& value) { return value ? Number(*value) : Json(nullptr); }

Json PolynomialJson(const FitPolynomial& model) {
  if (!model.polynomial) return nullptr;
  Json terms = Json::array();
  for (const FitTerm& term : model.terms) {
    terms.push_back({{"term", term.name}, {"code", term.code}, {"coefficient", ShortestFloatValue(static_cast<float>(term.coefficient))}});
  }
  return {{"constant", ShortestFloatValue(static_cast<float>(model.constant))}, {"terms", terms}};
}

Json ModelJson(const FitModelReport& model) {
  return {{"model", model.model},
          {"term_choice", model.term_choice},
          {"bends_used", model.bends_used},
          {"rms_before", Number(model.rms_before)},
          {"largest_before", Number(model.largest_before)},
          {"rms_after", Number(model.rms_after)},
          {"largest_after", Number(model.largest_after)},
          {"rms_fit", Number(model.rms_fit)},
          {"rank", model.rank},
          {"condition", Number(model.condition)},
          {"before", PolynomialJson(model.before)},
          {"after", PolynomialJson(model.after)}};
}

void AppendModel(std::string& out, const FitModelReport& model, const char* unit) {
  fmt::format_to(std::back_inserter(out), "\n{} model (terms: {})\n", model.model,
                 model.term_choice == "file" ? "those of the file" : model.term_choice);
  fmt::format_to(std::back_inserter(out), "  bends used            {}\n", model.bends_used);
  fmt::format_to(std::back_inserter(out), "  residuals in {}\n", unit);
  fmt::format_to(std::back_inserter(out), "  RMS residual          {} before, {} after\n", Fixed(model.rms_before, 3),
                 Fixed(model.rms_after, 3));
  fmt::format_to(std::back_inserter(out), "  largest residual      {} before, {} after\n",
                 Fixed(model.largest_before, 3), Fixed(model.largest_after, 3));
  fmt::format_to(std::back_inserter(out), "  RMS of the fit itself {}\n", Fixed(model.rms_fit, 3));
  fmt::format_to(std::back_inserter(out), "  rank {} of {}, condition {}\n", model.rank, model.after.terms.size() + 1,
                 Significant(model.condition));
  for (const CoefficientRow& row : CoefficientRows(model)) {
    fmt::format_to(std::back_inserter(out), "  {:<10} {:>14} {:>14}\n", row.name, row.before, row.after);
  }
}

}  // namespace

std::string ReportText(const FitReport& report) {
  std::string out;
  fmt::format_to(std::back_inserter(out), "Material fit of {} to {} test bends from {}\n", report.material_path,
                 report.bends.size(), report.bends_path);
  fmt::format_to(std::back_inserter(out), "Residuals are measured minus model; \"after\" is each bend predicted by "
                                         "the fit made without it.\n");
  AppendModel(out, report.springback, "degrees");
  if (report.inner_radius) AppendModel(out, *report.inner_radius, "log10 of inner radius / thickness");

  fmt::format_to(std::back_inserter(out), "\ncovered: {} to {} degrees, V/t {} to {}\n", Fixed(report.lowest_angle, 1),
                 Fixed(report.highest_angle, 1), Fixed(report.lowest_ratio, 2), Fixed(report.highest_ratio, 2));
  for (const FitDomainRow& row : report.domain) {
    fmt::format_to(std::back_inserter(out), "  V/t {:>6}: {} to {} degrees, {} bend{}\n", Fixed(row.ratio, 1),
                   Fixed(row.lowest_angle, 1), Fixed(row.highest_angle, 1), row.bends, row.bends == 1 ? "" : "s");
  }
  fmt::format_to(std::back_inserter(out), "\n{:>5} {:>7} {:>7} {:>6} {:>7} {:>8} {:>7} {:>7} {:>7} {:>8} {:>8}  {}\n",
                 "line", "t", "V", "V/t", "target", "measured", "sb old", "sb meas", "sb new", "res old", "res new",
                 "marks");
  for (const FitBendRow& row : report.bends) {
    fmt::format_to(std::back_inserter(out), "{:>5} {:>7} {:>7} {:>6} {:>7} {:>8} {:>7} {:>7} {:>7} {:>8} {:>8}  {}\n",
                   row.bend.line, Fixed(row.bend.thickness, 2), Fixed(row.bend.die_width, 2), Fixed(row.ratio, 2),
                   Fixed(row.bend.target_angle, 2), Fixed(row.bend.measured_angle, 2),
                   Fixed(row.springback_before, 3), Fixed(row.springback_measured, 3),
                   Fixed(row.springback_after, 3), Fixed(row.residual_before, 3), Fixed(row.residual_after, 3),
                   BendMarks(row));
  }
  if (report.outliers > 0) {
    fmt::format_to(std::back_inserter(out), "\n{} outlier{} (residual above three times the RMS){}\n", report.outliers,
                   report.outliers == 1 ? "" : "s",
                   report.outliers_dropped ? ", left out of the fit" : "; --drop-outliers fits without them");
  }
  for (const std::string& note : report.notes) fmt::format_to(std::back_inserter(out), "\nnote: {}\n", note);
  return out;
}

std::string ReportJson(const FitReport& report) {
  Json out;
  out["material"] = report.material_path;
  out["bends_file"] = report.bends_path;
  out["unit"] = report.unit == LengthUnit::kInch ? "inch" : "mm";
  out["springback"] = ModelJson(report.springback);
  out["inner_radius"] = report.inner_radius ? ModelJson(*report.inner_radius) : Json(nullptr);
  out["domain"] = {{"lowest_angle", report.lowest_angle},
                   {"highest_angle", report.highest_angle},
                   {"lowest_ratio", report.lowest_ratio},
                   {"highest_ratio", report.highest_ratio},
                   {"by_ratio", Json::array()}};
  for (const FitDomainRow& row : report.domain) {
    out["domain"]["by_ratio"].push_back({{"ratio", row.ratio},
                                         {"lowest_angle", row.lowest_angle},
                                         {"highest_angle", row.highest_angle},
                                         {"bends", row.bends}});
  }
  Json bends = Json::array();
  for (const FitBendRow& row : report.bends) {
    const TestBend& bend = row.bend;
    bends.push_back({{"line", bend.line},
                     {"thickness", bend.thickness},
                     {"die_width", bend.die_width},
                     {"ratio", row.ratio},
                     {"target_angle", bend.target_angle},
                     {"measured_angle", bend.measured_angle},
                     {"springback_before", Number(row.springback_before)},
                     {"springback_measured", Number(row.springback_measured)},
                     {"springback_after", Number(row.springback_after)},
                     {"residual_before", Number(row.residual_before)},
                     {"residual_after", Number(row.residual_after)},
                     {"inner_radius", Optional(bend.inner_radius)},
                     {"radius_measured", Optional(row.radius_measured)},
                     {"radius_before", Optional(row.radius_before)},
                     {"radius_after", Optional(row.radius_after)},
                     {"extrapolated", row.extrapolated},
                     {"outlier", row.outlier},
                     {"dropped", row.dropped},
                     {"program", bend.program},
                     {"step", bend.step},
                     {"lot", bend.lot},
                     {"note", bend.note}});
  }
  out["bends"] = bends;
  out["outliers"] = report.outliers;
  out["outliers_dropped"] = report.outliers_dropped;
  out["notes"] = report.notes;
  return out.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace driverwyr::calibration
