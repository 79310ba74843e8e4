#include "sheet/sheet_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace driverwyr::sheet {

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

bool Drawable(double value) { return std::isfinite(value) && std::fabs(value) <= kMaxDrawableMillimetres; }

void Include(Box& box, Point point) {
  box.min_x = std::min(box.min_x, point.x);
  box.max_x = std::max(box.max_x, point.x);
  box.min_y = std::min(box.min_y, point.y);
  box.max_y = std::max(box.max_y, point.y);
}

std::optional<DieProfile> MakeDieProfile(double v_width, double shoulder_radius, double angle) {
  if (!Drawable(v_width) || !Drawable(shoulder_radius) || !std::isfinite(angle)) return std::nullopt;
  if (v_width <= 0.0 || shoulder_radius < 0.0 || angle <= 0.0 || angle >= 180.0) return std::nullopt;

  const double half = v_width / 2.0;
  const double half_angle = Radians(angle / 2.0);
  // The shoulder is a radius tangent to the top face and to the flank; from
  // the sharp corner at (V/2, 0) both tangent points lie this far away.
  const double corner_to_tangent = shoulder_radius * std::tan(Radians((180.0 - angle) / 4.0));
  // The radius must leave some of the flank: its tangent point on the flank
  // may reach the V's bottom at x = 0, not pass it.
  if (corner_to_tangent * std::sin(half_angle) > half) return std::nullopt;

  DieProfile die;
  die.v_width = v_width;
  die.shoulder_radius = shoulder_radius;
  die.angle = angle;
  die.effective_half_width = half + corner_to_tangent;
  die.shoulder_centre = {die.effective_half_width, -shoulder_radius};
  die.top_tangent = {die.effective_half_width, 0.0};
  die.flank_tangent = {half - corner_to_tangent * std::sin(half_angle), -corner_to_tangent * std::cos(half_angle)};
  die.v_bottom = {0.0, -half / std::tan(half_angle)};
  return die;
}

Point PunchTip(double thickness, double y1) { return {0.0, thickness + y1}; }

std::optional<SheetProfile> MakeSheetProfile(Point tip, double angle, double thickness, double inner_radius,
                                             double leg_length) {
  if (!Drawable(tip.x) || !Drawable(tip.y) || !Drawable(thickness) || !Drawable(inner_radius) ||
      !Drawable(leg_length) || !std::isfinite(angle)) {
    return std::nullopt;
  }
  if (angle <= 0.0 || angle > 180.0 || thickness <= 0.0 || inner_radius < 0.0 || leg_length < 0.0) {
    return std::nullopt;
  }
  SheetProfile sheet;
  sheet.angle = angle;
  sheet.thickness = thickness;
  sheet.inner_radius = inner_radius;
  sheet.outer_radius = inner_radius + thickness;
  sheet.centre = {tip.x, tip.y + inner_radius};
  sheet.inner_bottom = tip;
  sheet.outer_bottom = {tip.x, tip.y - thickness};
  // Each leg leaves the arc where the arc's tangent points along the leg:
  // the leg runs at half the bend angle from the vertical, so the radius to
  // the tangent point lies at that angle below the horizontal.
  const double half = Radians(angle / 2.0);
  const Point radial{std::cos(half), -std::sin(half)};
  const Point along{std::sin(half), std::cos(half)};
  sheet.inner_tangent = {sheet.centre.x + inner_radius * radial.x, sheet.centre.y + inner_radius * radial.y};
  sheet.outer_tangent = {sheet.centre.x + sheet.outer_radius * radial.x,
                         sheet.centre.y + sheet.outer_radius * radial.y};
  sheet.inner_end = {sheet.inner_tangent.x + leg_length * along.x, sheet.inner_tangent.y + leg_length * along.y};
  sheet.outer_end = {sheet.outer_tangent.x + leg_length * along.x, sheet.outer_tangent.y + leg_length * along.y};
  return sheet;
}

std::array<GaugeFinger, 2> GaugeFingers(const driverwyr::ProgramRecord& record) {
  return {GaugeFinger{-static_cast<double>(record.XX0), record.YY0, record.ZZ0},
          GaugeFinger{record.XX1, record.YY1, record.ZZ1}};
}

BendLine BendLineOf(const driverwyr::ProgramRecord& record) {
  const double half = record.BendLength / 2.0;
  const double centre = record.Offset;
  return {centre - half, centre + half};
}

ViewFit FitView(const Box& model, double left, double top, double width, double height) {
  const double model_width = model.max_x - model.min_x;
  const double model_height = model.max_y - model.min_y;
  ViewFit fit;
  if (model_width > 0.0 && model_height > 0.0 && std::isfinite(model_width) && std::isfinite(model_height)) {
    fit.scale = std::min(width / model_width, height / model_height);
  } else if (model_width > 0.0 && std::isfinite(model_width)) {
    fit.scale = width / model_width;
  } else if (model_height > 0.0 && std::isfinite(model_height)) {
    fit.scale = height / model_height;
  }
  const double centre_x = (model.min_x + model.max_x) / 2.0;
  const double centre_y = (model.min_y + model.max_y) / 2.0;
  fit.offset_x = left + width / 2.0 - fit.scale * centre_x;
  fit.offset_y = top + height / 2.0 + fit.scale * centre_y;
  return fit;
}

double ScaleBarLength(double scale, double max_paper_length) {
  if (!(scale > 0.0) || !(max_paper_length > 0.0) || !std::isfinite(scale)) return 0.0;
  const double longest = max_paper_length / scale;  // model millimetres
  const double power = std::pow(10.0, std::floor(std::log10(longest)));
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= longest) return step * power;
  }
  return power;
}

}  // namespace driverwyr::sheet
