#include "sheet/sheet_input.h"

#include <fmt/format.h>

#include <cmath>
#include <limits>

#include "sheet/sheet_geometry.h"
#include "util/text.h"

namespace driverwyr::sheet {
namespace {

constexpr std::int16_t kLargestForce = std::numeric_limits<std::int16_t>::max();
constexpr std::int16_t kSmallestForce = std::numeric_limits<std::int16_t>::min();

// What the record alone tells about a step.
void AddRecordFindings(SheetStep& step) {
  const driverwyr::ProgramRecord& r = step.values;
  std::vector<std::string>& out = step.findings;
  if (!Drawable(r.Y1)) {
    out.push_back(fmt::format("Y1 {} mm is no depth a press can reach: the punch is not drawn.", Decimal(r.Y1)));
  } else if (r.Y1 > 0.0f) {
    out.push_back("Y1 is positive: the punch stops above the sheet.");
  }
  if (std::isfinite(r.Y1) && std::isfinite(r.Y2) && r.Y1 != r.Y2) {
    out.push_back(fmt::format("Y2 {} mm differs from Y1 {} mm: the drawing shows Y1.", Decimal(r.Y2), Decimal(r.Y1)));
  }
  if (r.Y1 == 0.0f && r.TonnageValue == 0) {
    out.push_back("Depth and force are both 0: this step does not bend the sheet.");
  } else if (r.Y1 == 0.0f) {
    out.push_back("Depth 0: the punch stops where it touches the sheet.");
  }
  if (r.TonnageValue == kLargestForce || r.TonnageValue == kSmallestForce) {
    out.push_back(fmt::format("Force {} is the limit of the program file's field: the calculated force was "
                              "larger.",
                              r.TonnageValue));
  } else if (r.TonnageValue < 0) {
    out.push_back(fmt::format("Force {} is negative.", r.TonnageValue));
  }
  if (!std::isfinite(r.BendAngle) || r.BendAngle <= 0.0f || r.BendAngle > 180.0f) {
    out.push_back(fmt::format("Bend angle {}° is outside 0..180°: the sheet is not drawn.", Decimal(r.BendAngle)));
  }
  if (r.BendLength <= 0) out.push_back(fmt::format("Bend length {} mm is not above 0.", r.BendLength));
}

SheetToolRow ToolRow(const char* role, const std::string& control_name, std::optional<char> rev) {
  SheetToolRow row;
  row.role = role;
  row.control_name = HeaderText(control_name);
  row.rev = rev;
  return row;
}

}  // namespace

std::string HeaderText(const std::string& field) { return std::string(driverwyr::TrimRight(field)); }

std::string Decimal(double value, int decimals) {
  if (!std::isfinite(value)) return fmt::format("{}", value);
  std::string text = fmt::format("{:.{}f}", value, decimals);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

SheetInput MakeSheetInput(const driverwyr::ProgramFile& file, std::string program_label) {
  SheetInput sheet;
  sheet.program_label = std::move(program_label);
  sheet.header = file.header;
  sheet.has_closing_record = !file.records.empty();
  const std::size_t steps = file.records.empty() ? 0 : file.records.size() - 1;
  for (std::size_t i = 0; i < steps; ++i) {
    SheetStep step;
    step.record = i;
    step.values = file.records[i];
    AddRecordFindings(step);
    sheet.steps.push_back(std::move(step));
  }
  const driverwyr::ProgramHeader& h = file.header;
  sheet.tools.push_back(ToolRow("Punch", h.ControlPunchName, h.PunchRev));
  sheet.tools.push_back(ToolRow("Die", h.ControlDieName, h.DieRev));
  sheet.tools.push_back(ToolRow("Die holder", h.ControlDieHolderName, h.DieHolderRev));
  sheet.tools.push_back(ToolRow("Spacer", h.ControlSpacerName, std::nullopt));
  if (!std::isfinite(h.Thickness) || h.Thickness <= 0.0f) {
    sheet.findings.push_back(
        fmt::format("Thickness {} mm: the sheet is not drawn.", Decimal(h.Thickness, 3)));
  }
  return sheet;
}

}  // namespace driverwyr::sheet
