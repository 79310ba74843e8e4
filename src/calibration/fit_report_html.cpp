// The fit report as a self-contained HTML page: tables, and SVG charts of
// the residuals and of the springback models. It prints on A4.
#include <fmt/format.h>

#include <iterator>
#include <string>

#include "calibration/report_model.h"
#include "calibration/report_numbers.h"
#include "calibration/report_plot.h"

namespace driverwyr::calibration {
namespace {

constexpr const char* kStyle = R"(
@page { size: A4; margin: 14mm; }
* { box-sizing: border-box; }
body { font: 12px/1.35 "DejaVu Sans", Arial, sans-serif; color: #111; margin: 0; background: #fff; }
.page { max-width: 190mm; margin: 0 auto; padding: 8px; }
h1 { font-size: 18px; margin: 0 0 4px; }
h2 { font-size: 14px; margin: 14px 0 6px; border-bottom: 1px solid #999; }
p.sub { margin: 0 0 8px; color: #444; }
table { border-collapse: collapse; margin: 4px 0 8px; }
th, td { border: 1px solid #bbb; padding: 2px 6px; text-align: right; white-space: nowrap; }
th { background: #eee; white-space: normal; }
td.text, th.text { text-align: left; }
table.bends { font-size: 11px; }
table.bends td, table.bends th { padding: 2px 4px; }
tr.outlier td { background: #fde2e2; }
tr.left-out td { color: #777; text-decoration: line-through; }
.plots { display: flex; flex-wrap: wrap; gap: 8px; }
svg.plot { width: 88mm; height: auto; border: 1px solid #ccc; break-inside: avoid; }
svg.plot .title { font-size: 11px; font-weight: bold; }
svg.plot .tick, svg.plot .legend text { font-size: 9px; }
svg.plot .label { font-size: 10px; }
svg.plot .frame { fill: none; stroke: #444; }
svg.plot .grid { stroke: #e2e2e2; }
svg.plot .zero { stroke: #444; stroke-dasharray: 3 2; }
svg.plot .before circle { fill: none; stroke: #c0392b; stroke-width: 1.2; }
svg.plot .after circle { fill: #1f5fa8; }
svg.plot .old polyline, svg.plot .legend.old line { fill: none; stroke: #c0392b; stroke-width: 1.4; stroke-dasharray: 5 3; }
svg.plot .new polyline, svg.plot .legend.new line { fill: none; stroke: #1f5fa8; stroke-width: 1.6; }
.notes li { margin-bottom: 3px; }
@media print { .page { padding: 0; } h2 { break-after: avoid; } tr { break-inside: avoid; } }
)";

void ModelSection(std::string& out, const FitModelReport& model, const char* unit) {
  auto put = std::back_inserter(out);
  fmt::format_to(put, "<h2>{} model</h2>", EscapeHtml(model.model));
  fmt::format_to(put,
                 "<table class=\"summary\"><tr><th class=\"text\"></th><th>before</th><th>after</th></tr>"
                 "<tr><td class=\"text\">RMS residual ({3})</td><td>{0}</td><td>{1}</td></tr>"
                 "<tr><td class=\"text\">largest residual ({3})</td><td>{2}</td><td>{4}</td></tr>"
                 "</table>",
                 Fixed(model.rms_before, 3), Fixed(model.rms_after, 3), Fixed(model.largest_before, 3), unit,
                 Fixed(model.largest_after, 3));
  fmt::format_to(put,
                 "<p class=\"sub\">{} bends fitted; terms: {}. RMS of the new model on those bends: {}; rank {} of "
                 "{}, condition number {}.</p>",
                 model.bends_used,
                 model.term_choice == "file" ? "those of the old file"
                                             : (model.term_choice == "auto" ? "chosen by cross-validation" : "as given"),
                 Fixed(model.rms_fit, 3), model.rank, model.after.terms.size() + 1, Significant(model.condition));
  out += "<table class=\"coefficients\"><tr><th class=\"text\">term</th><th>old</th><th>new</th></tr>";
  for (const CoefficientRow& row : CoefficientRows(model)) {
    fmt::format_to(put, "<tr><td class=\"text\">{}</td><td>{}</td><td>{}</td></tr>", EscapeHtml(row.name),
                   row.before, row.after);
  }
  out += "</table>";
}

std::string Plots(const FitReport& report) {
  PlotSeries before_angle{"before", "old model", false, {}, {}};
  PlotSeries after_angle{"after", "new model", false, {}, {}};
  PlotSeries before_ratio = before_angle, after_ratio = after_angle;
  for (const FitBendRow& row : report.bends) {
    before_angle.x.push_back(row.bend.target_angle);
    before_angle.y.push_back(row.residual_before);
    after_angle.x.push_back(row.bend.target_angle);
    after_angle.y.push_back(row.residual_after);
    before_ratio.x.push_back(row.ratio);
    before_ratio.y.push_back(row.residual_before);
    after_ratio.x.push_back(row.ratio);
    after_ratio.y.push_back(row.residual_after);
  }
  std::string out = "<div class=\"plots\">";
  out += SvgPlot("Residuals over the angle", "target angle (degrees)", "residual (degrees)",
                 {before_angle, after_angle});
  out += SvgPlot("Residuals over V/t", "V/t", "residual (degrees)", {before_ratio, after_ratio});
  std::vector<PlotSeries> curves;
  for (const FitCurve& curve : report.curves) {
    curves.push_back({"old", curves.empty() ? "old" : "", true, curve.angles, curve.before});
    curves.push_back({"new", curves.size() == 1 ? "new" : "", true, curve.angles, curve.after});
  }
  std::string ratios;
  for (const FitCurve& curve : report.curves) ratios += (ratios.empty() ? "" : ", ") + Fixed(curve.ratio, 1);
  out += SvgPlot("Springback at V/t " + ratios, "target angle (degrees)", "springback (degrees)", curves);
  out += "</div>";
  return out;
}

}  // namespace

std::string ReportHtml(const FitReport& report) {
  std::string out;
  auto put = std::back_inserter(out);
  out += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Material fit</title><style>";
  out += kStyle;
  out += "</style></head><body><div class=\"page\">";
  fmt::format_to(put, "<h1>Material fit: {}</h1>", EscapeHtml(report.material_path));
  fmt::format_to(put,
                 "<p class=\"sub\">{} test bends from {}. Residual = measured minus model; \"after\" predicts each "
                 "bend with the fit made without it.</p>",
                 report.bends.size(), EscapeHtml(report.bends_path));
  out += Plots(report);
  ModelSection(out, report.springback, "degrees");
  if (report.inner_radius) ModelSection(out, *report.inner_radius, "log10 r/t");

  out += "<h2>Covered by the bends</h2><table class=\"domain\"><tr><th>V/t</th><th>angles (degrees)</th>"
         "<th>bends</th></tr>";
  for (const FitDomainRow& row : report.domain) {
    fmt::format_to(put, "<tr><td>{}</td><td>{} to {}</td><td>{}</td></tr>", Fixed(row.ratio, 1),
                   Fixed(row.lowest_angle, 1), Fixed(row.highest_angle, 1), row.bends);
  }
  out += "</table>";
  if (!report.notes.empty() || report.outliers > 0) {
    out += "<ul class=\"notes\">";
    if (report.outliers > 0) {
      fmt::format_to(put, "<li>{} bend{} marked as outlier{} (residual above three times the RMS){}.</li>",
                     report.outliers, report.outliers == 1 ? "" : "s", report.outliers == 1 ? "" : "s",
                     report.outliers_dropped ? ", left out of the fit" : "");
    }
    for (const std::string& note : report.notes) fmt::format_to(put, "<li>{}</li>", EscapeHtml(note));
    out += "</ul>";
  }

  out += "<h2>Bends</h2><table class=\"bends\"><tr><th>line</th><th>t</th><th>V</th><th>V/t</th><th>target</th>"
         "<th>measured</th><th>springback old</th><th>springback measured</th><th>springback new</th>"
         "<th>residual old</th><th>residual new</th><th class=\"text\">lot, note</th><th class=\"text\">marks</th></tr>";
  for (const FitBendRow& row : report.bends) {
    const char* css = row.dropped ? " class=\"left-out\"" : (row.outlier ? " class=\"outlier\"" : "");
    std::string about = row.bend.lot;
    if (!row.bend.note.empty()) about += (about.empty() ? "" : ", ") + row.bend.note;
    fmt::format_to(put,
                   "<tr{}><td>{}</td><td>{}</td><td>{}</td><td>{}</td><td>{}</td><td>{}</td><td>{}</td><td>{}</td>"
                   "<td>{}</td><td>{}</td><td>{}</td><td class=\"text\">{}</td><td class=\"text\">{}</td></tr>",
                   css, row.bend.line, Fixed(row.bend.thickness, 2), Fixed(row.bend.die_width, 2),
                   Fixed(row.ratio, 2), Fixed(row.bend.target_angle, 2), Fixed(row.bend.measured_angle, 2),
                   Fixed(row.springback_before, 3), Fixed(row.springback_measured, 3),
                   Fixed(row.springback_after, 3), Fixed(row.residual_before, 3), Fixed(row.residual_after, 3),
                   EscapeHtml(about), BendMarks(row));
  }
  out += "</table></div></body></html>\n";
  return out;
}

}  // namespace driverwyr::calibration
