#include "sheet/sheet_html.h"

#include <fmt/format.h>

#include <algorithm>
#include <string_view>

#include "driverwyr/program_text.h"
#include "sheet/sheet_svg.h"

namespace driverwyr::sheet {
namespace {

// Styles of the page and of the drawings. Lengths in millimetres, so that the
// page prints on A4 as it shows on screen.
constexpr std::string_view kStyle = R"(
@page { size: A4 portrait; margin: 10mm 10mm 12mm 10mm;
  @bottom-right { content: "page " counter(page) " of " counter(pages); font: 7pt sans-serif; color: #555; } }
* { box-sizing: border-box; }
html { background: #dfe2e6; }
body { margin: 0; color: #1b1e23; font: 8pt/1.3 "DejaVu Sans", "Liberation Sans", Arial, sans-serif; }
.page { width: 210mm; min-height: 297mm; margin: 6mm auto; padding: 10mm; background: #fff;
  box-shadow: 0 0.5mm 2mm rgba(0,0,0,.25); }
@media print { html { background: none; } .page { width: auto; min-height: 0; margin: 0; padding: 0;
  box-shadow: none; break-after: page; } .page:last-child { break-after: auto; } }
.running { display: flex; justify-content: space-between; border-bottom: 0.4mm solid #1b1e23;
  padding-bottom: 1mm; margin-bottom: 2mm; font-size: 7.5pt; }
.running b { font-size: 9pt; }
h1 { font-size: 13pt; margin: 0 0 1mm; }
h1 .number { font-family: "DejaVu Sans Mono", monospace; letter-spacing: 0.3mm; }
h2 { font-size: 9.5pt; margin: 3mm 0 1mm; }
.facts { display: grid; grid-template-columns: repeat(6, auto); gap: 0.2mm 3mm; margin: 0 0 1.5mm;
  justify-content: start; }
.facts div { display: contents; }
.facts dt { color: #555; } .facts dd { margin: 0; font-weight: bold; }
.facts .wide { grid-column: 2 / span 5; font-weight: normal; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 0.2mm solid #b9bec6; padding: 0.2mm 1mm; text-align: left; vertical-align: top; }
th { background: #eef0f3; font-weight: bold; }
table.tools { margin-bottom: 1.5mm; font-size: 7.5pt; }
table.tools th:nth-child(-n+3), table.tools td:nth-child(-n+3) { white-space: nowrap; }
table.tools td.control { font-family: "DejaVu Sans Mono", monospace; font-weight: bold; }
.findings { color: #a3270f; margin: 0.5mm 0 0; padding: 0; list-style: none; }
.findings li::before { content: "\26A0\FE0E  "; }
.program-findings { margin: 0 0 2mm; }
.step { display: flex; gap: 1mm; min-height: 26.5mm; padding: 0.25mm 0; border-top: 0.2mm solid #b9bec6;
  break-inside: avoid; }
.step .caption { width: 45mm; flex: none; }
.step .caption .name { font-size: 10pt; font-weight: bold; }
.step .caption .where { font-size: 6.5pt; font-weight: normal; color: #555; }
.step .caption .values { display: grid; grid-template-columns: 23mm 20mm; gap: 0.2mm 1mm; margin: 0.3mm 0; }
.step .caption .values dt { color: #555; font-size: 6.5pt; line-height: 1.1; }
.step .caption .values dd { margin: 0; font-weight: bold; font-size: 8.5pt; line-height: 1.2; white-space: nowrap; }
.step .caption .tools { color: #555; font-size: 7pt; }
.step .caption .findings { font-size: 6.8pt; line-height: 1.2; }
.step.flagged .caption .name { color: #a3270f; }
.step svg { flex: none; }
.steps-table { margin-top: 3mm; font-size: 6.5pt; }
.steps-table th, .steps-table td { padding: 0.3mm 0.6mm; }
.steps-table td.n { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
.steps-table td.findings-cell { color: #a3270f; }
.steps-table tr { break-inside: avoid; }
.steps-table thead { display: table-header-group; }
.footnote { color: #555; font-size: 7pt; }
svg .frame { fill: #fbfcfd; stroke: #c3c8cf; stroke-width: 0.2; }
svg .title { font-weight: bold; fill: #1b1e23; }
svg .view-note { fill: #333; }
svg .label { fill: #1b1e23; }
svg .depth { fill: #c0392b; font-weight: bold; }
svg .scale path { fill: none; stroke: #1b1e23; }
svg .scale-label { font-size: 1.9px; fill: #444; }
svg .die { fill: #c5cad2; }
svg .die-v { fill: none; stroke: #3c4350; }
svg .unknown { fill: none; stroke: #8a919c; }
svg .sheet { fill: #4f86d1; stroke: #173f7a; }
svg .sheet-flat { fill: none; stroke: #173f7a; }
svg .sheet-plan { fill: #cfe0f6; stroke: #173f7a; }
svg .punch { fill: #9aa0a8; fill-opacity: 0.7; stroke: #2a2f36; }
svg .punch-axis, svg .centre { stroke: #2a2f36; }
svg .reference { stroke: #6b7380; }
svg .dimension { stroke: #c0392b; }
svg .tip { fill: #d0281a; }
svg .finger { fill: #f0a030; stroke: #7a4600; }
svg .finger-point { fill: #7a4600; }
svg .bend-line { stroke: #2a2f36; }
)";

// A text of the program file for the page: padding removed, bytes that are
// not printable ASCII shown by value as `wyr dump` shows them, then escaped.
std::string ProgramText(const std::string& field) { return EscapeMarkup(PrintableBytes(HeaderText(field))); }

std::string RevText(const std::optional<char>& rev) {
  if (!rev) return "";
  switch (*rev) {
    case '\0': return "none";
    case '0': return "0 (normal)";
    case '1': return "1 (reversed)";
    case 'L': return "L (normal)";
    case 'S': return "S (reversed)";
  }
  return EscapeMarkup(PrintableBytes(std::string_view(&*rev, 1)));
}

// The force as the file holds it, tenths of the machine's tonnage unit.
std::string ForceText(int force) { return fmt::format("{} ({} t)", force, Decimal(force / 10.0, 1)); }

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

void AppendFindings(std::string& out, const std::vector<std::string>& findings, const char* cls = "findings") {
  if (findings.empty()) return;
  out += fmt::format(R"(<ul class="{}">)", cls);
  for (const std::string& finding : findings) out += "<li>" + EscapeMarkup(finding) + "</li>";
  out += "</ul>";
}

void AppendFact(std::string& out, std::string_view term, const std::string& value, const char* cls = "") {
  out += fmt::format(R"(<div><dt>{}</dt><dd class="{}">{}</dd></div>)", term, cls, value);
}

void AppendHeader(std::string& out, const SheetInput& sheet) {
  const driverwyr::ProgramHeader& h = sheet.header;
  out += fmt::format(R"(<h1>Set-up sheet &#8212; program <span class="number">{}</span></h1>)",
                     ProgramText(h.ProgramName));
  out += R"(<dl class="facts">)";
  AppendFact(out, "Part reference", ProgramText(h.PartReference));
  const std::string material = ProgramText(h.MaterialName);
  AppendFact(out, "Material",
             fmt::format("{} (no. {})", material.empty() ? "none" : material, h.MaterialNumber));
  AppendFact(out, "Thickness", Decimal(h.Thickness, 3) + " mm");
  AppendFact(out, "Hardness", std::to_string(h.Hardness));
  AppendFact(out, "Created", fmt::format("{:02}/{:02}/{:02} (MM/DD/YY)", h.Month, h.Day, h.Year));
  AppendFact(out, "Steps",
             fmt::format("{}{}", sheet.steps.size(), sheet.has_closing_record ? " + closing record" : ""));
  AppendFact(out, "Program file", EscapeMarkup(sheet.program_label), "wide");
  if (!sheet.job_label.empty()) {
    AppendFact(out, "Job", EscapeMarkup(sheet.job_label + ", " + sheet.group_label), "wide");
    AppendFact(out, "Setup", EscapeMarkup(sheet.setup_label), "wide");
  } else {
    AppendFact(out, "Job", "not given: the dies are not drawn and the tool names of the job are not known", "wide");
  }
  out += "</dl>";

  out += R"(<table class="tools"><thead><tr><th>Tool</th><th>Control name</th><th>Rev</th>)";
  if (!sheet.job_label.empty()) out += "<th>Job tools</th><th>From the job's tool records</th>";
  out += "</tr></thead><tbody>";
  for (const SheetToolRow& row : sheet.tools) {
    out += fmt::format(R"(<tr><td>{}</td><td class="control">{}</td><td>{}</td>)", row.role,
                       ProgramText(row.control_name), RevText(row.rev));
    if (!sheet.job_label.empty()) {
      out += fmt::format("<td>{}</td><td>{}</td>", EscapeMarkup(Join(row.job_names, ", ")),
                         EscapeMarkup(row.details));
    }
    out += "</tr>";
  }
  out += "</tbody></table>";
  AppendFindings(out, sheet.findings, "findings program-findings");
}

void AppendStep(std::string& out, const SheetInput& sheet, const SheetStep& step, std::size_t number) {
  const driverwyr::ProgramRecord& r = step.values;
  out += fmt::format(R"(<article class="step{}" id="step-{}"><div class="caption">)",
                     step.findings.empty() ? "" : " flagged", number);
  std::string where = fmt::format("seq {}", r.SequenceOrder);
  if (step.job_step) where += fmt::format(" &#183; job no. {}", step.number_in_sequence);
  out += fmt::format(R"(<div class="name">Step {} <span class="where">{}</span></div>)", number, where);
  out += fmt::format(R"(<dl class="values"><div><dt>angle</dt><dd>{}°</dd></div><div><dt>depth Y1</dt>)"
                     R"(<dd>{} mm</dd></div><div><dt>force</dt><dd>{}</dd></div><div><dt>length</dt>)"
                     R"(<dd>{} mm</dd></div></dl>)",
                     Decimal(r.BendAngle), Decimal(r.Y1), ForceText(r.TonnageValue), r.BendLength);
  if (step.job_step) {
    out += fmt::format(R"(<div class="tools">punch {} &#183; die {}</div>)",
                       EscapeMarkup(step.punch_name.empty() ? "none" : step.punch_name),
                       EscapeMarkup(step.die_name.empty() ? "none" : step.die_name));
  }
  AppendFindings(out, step.findings);
  out += "</div>";
  out += RenderStepSvg(step, number, sheet.header.Thickness);
  out += "</article>";
}

void AppendTable(std::string& out, const SheetInput& sheet) {
  out += R"(<table class="steps-table"><caption><h2>All steps</h2></caption><thead><tr>)";
  for (const char* head : {"Step", "Seq", "Angle °", "Y1 mm", "Y2 mm", "Force", "Length mm", "Flange mm", "X1 mm",
                           "X2 mm", "R1 mm", "R2 mm", "Z1 mm", "Z2 mm", "Punch", "Die", "Findings"}) {
    out += fmt::format("<th>{}</th>", head);
  }
  out += "</tr></thead><tbody>";
  for (std::size_t i = 0; i < sheet.steps.size(); ++i) {
    const SheetStep& step = sheet.steps[i];
    const driverwyr::ProgramRecord& r = step.values;
    out += "<tr>";
    const auto cell = [&out](const std::string& text) { out += R"(<td class="n">)" + text + "</td>"; };
    cell(std::to_string(i + 1));
    cell(std::to_string(r.SequenceOrder));
    cell(ShortestFloat(r.BendAngle));
    cell(ShortestFloat(r.Y1));
    cell(ShortestFloat(r.Y2));
    cell(std::to_string(r.TonnageValue));
    cell(std::to_string(r.BendLength));
    cell(std::to_string(r.FlangeLength));
    // Finger 1's X is stored inverted; the table shows both as distances.
    cell(ShortestFloat(-r.XX0));
    cell(ShortestFloat(r.XX1));
    cell(ShortestFloat(r.YY0));
    cell(ShortestFloat(r.YY1));
    cell(ShortestFloat(r.ZZ0));
    cell(ShortestFloat(r.ZZ1));
    out += "<td>" + EscapeMarkup(step.punch_name) + "</td><td>" + EscapeMarkup(step.die_name) +
           R"(</td><td class="findings-cell">)";
    out += EscapeMarkup(Join(step.findings, " ")) + "</td></tr>";
  }
  out += "</tbody></table>";
  out += R"(<p class="footnote">Values exactly as the program file holds them. X1 is the file's XX0 with its sign )"
         R"(turned back: the file stores finger 1's X inverted. Forces are in tenths of the machine's tonnage )"
         R"(unit. Y1 is the punch's stroke from where it touches the flat sheet. Drawings to scale: the die )"
         R"(grey, the sheet blue (dashed: flat, before the bend), the punch grey, the back gauge fingers )"
         R"(orange at X and R (side view) and at Z and X (plan view); red: the punch tip and its depth.</p>)";
}

}  // namespace

std::string RenderSheetHtml(const SheetInput& sheet) {
  const driverwyr::ProgramHeader& h = sheet.header;
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">";
  out += fmt::format("<title>Set-up sheet {} {}</title>", ProgramText(h.ProgramName), ProgramText(h.PartReference));
  out += "<style>";
  out += kStyle;
  out += "</style></head><body>\n";

  const std::size_t count = sheet.steps.size();
  const std::size_t pages = std::max<std::size_t>(1, (count + kStepsPerPage - 1) / kStepsPerPage);
  for (std::size_t page = 0; page < pages; ++page) {
    const std::size_t first = page * kStepsPerPage;
    const std::size_t last = std::min(count, first + kStepsPerPage);
    out += fmt::format(R"(<section class="page" id="page-{}">)", page + 1);
    const std::string steps =
        count == 0 ? std::string("no steps") : fmt::format("steps {}&#8211;{} of {}", first + 1, last, count);
    out += fmt::format(R"(<div class="running"><span><b>{}</b> &#183; {}</span><span>{}</span></div>)",
                       ProgramText(h.ProgramName), ProgramText(h.PartReference), steps);
    if (page == 0) AppendHeader(out, sheet);
    for (std::size_t i = first; i < last; ++i) AppendStep(out, sheet, sheet.steps[i], i + 1);
    if (page + 1 == pages) AppendTable(out, sheet);
    out += "</section>\n";
  }
  out += "</body></html>\n";
  return out;
}

}  // namespace driverwyr::sheet
