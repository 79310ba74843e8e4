#include "bending/bend_calculator.h"

#include <cmath>

#include "platform/platform.h"
#include "util/truncate.h"

namespace driverwyr {
namespace {

// Rounds a value to single precision as it is stored.
inline float Store(double value) { return static_cast<float>(value); }

// Trigonometric functions of an angle in degrees. The result is rounded to
// float, so that a right angle gives a sine of exactly 1 and the flat sheet a
// factor 1 / sin - 1 of exactly 0 even with pi taken as 3.14159.
inline float SinDegrees(double degrees) { return Store(std::sin(degrees * kDegreesToRadians)); }
inline float CosRadians(double radians) { return Store(std::cos(radians)); }
inline float SinRadians(double radians) { return Store(std::sin(radians)); }
inline float TanDegrees(double degrees) { return Store(std::tan(degrees * kDegreesToRadians)); }

// 1 / sin(a/2) - 1: how far the bend zone of an included angle a bulges.
inline float BulgeFactor(float angle) {
  return Store(1.0 / static_cast<double>(SinDegrees(static_cast<double>(angle) / 2.0)) - 1.0);
}

// Depth of a punch that bends a sheet to the included angle `angle` over a
// die of effective half-width `half_width`, for a bend zone radius `radius`.
float PunchDepth(float angle, float half_width, float radius) {
  if (angle == 180.0f) return 0.0f;
  const double tangent = TanDegrees(static_cast<double>(angle) / 2.0);
  const double sine = SinDegrees(static_cast<double>(angle) / 2.0);
  return Store(half_width / tangent - (1.0 / sine - 1.0) * radius);
}

}  // namespace

BendZone CheckBendZone(float inner_radius_ratio, float neutral_fibre, float bend_angle) {
  BendZone zone;
  zone.ratio = inner_radius_ratio;
  if (bend_angle > 175.0f) return zone;  // a flat sheet: nothing to check

  const double p2 = neutral_fibre;
  const float phi = Store((180.0 - bend_angle) / 2.0 * kDegreesToRadians);
  const float c = CosRadians(phi);
  const float s = SinRadians(phi);
  const float q = Store(static_cast<double>(phi) * c / (s - static_cast<double>(phi) * c));

  double d = zone.ratio;
  float z = Store(1.0 - q * (p2 / d) * (p2 / d));
  if (z < 0.0f) {
    zone.status = 1;
    zone.ratio = Store(std::sqrt(static_cast<double>(q)) * p2);
    d = zone.ratio;
    z = 0.0f;
  }
  const float g = Store((1.0 - std::sqrt(static_cast<double>(z))) * d / c);
  if (g < 0.0f) zone.status = 2;
  const float h = Store(d - static_cast<double>(g) * c + p2);  // neutral fibre radius
  if (h < 0.0f) zone.status = 3;
  const float j = Store(h / (1.0 - p2));
  const float k = Store(1.0 + q / ((j + 1.0) * (j + 1.0)));
  if (j < 0.0f || k < 0.0f) zone.status = 4;
  if (k < 0.0f) {
    zone.status = 5;  // the quantities below are undefined
    return zone;
  }
  const float m = Store((std::sqrt(static_cast<double>(k)) - 1.0) * (1.0 + 1.0 / j) * h / c);
  const float n = Store(1.0 - p2 + static_cast<double>(m) * c + h);  // outer fibre radius
  if (n < 0.0f || m < 0.0f) zone.status = 5;

  const float b = Store(static_cast<double>(phi) * h + static_cast<double>(m) * s);
  const double mg = static_cast<double>(m) - g;
  const double balance = b - 0.5 * phi * (static_cast<double>(n) * n - d * d) + mg * d * s +
                         0.5 * mg * mg * s * c;
  if (std::fabs(balance) > 0.001) zone.status = 6;

  const float elongation = Store(100.0 * (static_cast<double>(phi) * n - b) / b);
  if (elongation > 50.0f) zone.status = 7;

  const float x = Store((d + 1.0 - n) * (1.0 - c) / c);
  const float u1 = Store((g - d) - m + n - 1.0);
  const float u2 = Store((static_cast<double>(n) - m - h) + (static_cast<double>(g) + h - d) - 1.0);
  const double closure = std::fabs(static_cast<double>(u2) - u1) + std::fabs(static_cast<double>(x) - u1) +
                         std::fabs(static_cast<double>(u2) - x);
  if (closure > 0.001) zone.status = 8;
  return zone;
}

BendCalculator::BendCalculator(std::string_view data_path) : data_path_(data_path) {}

BendCalculator::BendCalculator(std::string_view data_path, ProgramMaterials& materials)
    : data_path_(data_path), materials_(&materials) {}

BendCalculator::BendCalculator(std::string_view data_path, int number, const MaterialFile& models)
    : BendCalculator(data_path) {
  models_ = models;
  loaded_ = number;
}

void BendCalculator::Calculate(const ToolData& tool, const MachineData& machine, BendResult& result,
                               WarningList& warnings) {
  warnings[0] = 0;
  const int number = SaturateToInt32(tool.MaterialNumber);
  if (number == 0) return;  // no material chosen
  if (number != loaded_) {
    if (number < 1 || number > kMaterialCount) {
      warnings[0] = kWarningMaterialNumber;
      return;
    }
    // A file that is missing, unreadable or malformed gives no material.
    FileSystem& files = Platform::Current().Files();
    const std::string path = MaterialPath(number);
    const Status read = materials_ != nullptr ? materials_->Read(files, path, models_)
                                              : ReadMaterialFile(files, path, models_);
    if (!read.ok()) {
      loaded_ = 0;  // whatever was loaded before is spoilt
      warnings[0] = kWarningMaterialFile;
      return;
    }
    loaded_ = number;
  }
  CalculateLoaded(tool, machine, result, warnings);
  // Extreme models or inputs can overflow; a press must never receive an
  // infinite or undefined depth or force.
  if (!std::isfinite(result.Depth) || !std::isfinite(result.Force)) {
    result.Depth = 0.0f;
    result.Force = 0.0f;
    warnings[0] = kWarningMaterialFile;
  }
}

void BendCalculator::CalculateLoaded(const ToolData& tool, const MachineData& machine,
                                     BendResult& result, WarningList& warnings) const {
  const float t = tool.Thickness;
  const float v = tool.DieWidth;
  const float theta = tool.BendAngle;
  const float alpha = tool.DieAngle;
  const float rd = tool.DieRadius;
  const float length = tool.BendLengthM;
  const float strength = tool.Hardness;
  if (t == 0.0f) return;

  const float ratio = Store(static_cast<double>(v) / t);
  if (ratio < kLowestVRatio) warnings[0] = kWarningRatioLow;
  if (ratio > kHighestVRatio) warnings[0] = kWarningRatioHigh;

  // Basic air-bending force, in tonnes for a strength in kgf/mm2. A die
  // without an opening (an unknown die) has no defined force: it counts as 0,
  // and the limits below then apply as for any other force.
  const float k = ForceFactor(ratio);
  const float f0 = v == 0.0f ? 0.0f
                             : Store((10.0 * strength) * (1000.0 * length) * k * t * t / v * 0.0001);
  result.Force = Store(1.3 * f0);

  // Effective die half-width: the opening plus the shoulder radius where the
  // sheet leaves it.
  const float half_width =
      Store(v * 0.5 + static_cast<double>(rd) * TanDegrees((180.0 - alpha) / 4.0));

  if (theta < 20.0f || theta > 180.0f) return;

  const float k1 = BulgeFactor(theta);
  const MaterialModel& springback = models_.models[kSpringback];
  const MaterialModel& neutral = models_.models[kNeutralFibre];
  const MaterialModel& inner = models_.models[kInnerRadius];
  const MaterialModel& effect = models_.models[kRadiusEffect];

  const float p1 = EvaluatePolynomial(springback, theta, ratio);
  const float p2 = EvaluateModelAtRatio(neutral, theta, ratio).value_or(0.0f);

  float d = 0.0f;  // inner radius / thickness
  if (inner.form == kFormPolynomial) {
    d = Store(std::pow(10.0, static_cast<double>(EvaluatePolynomial(inner, theta, ratio))));
  } else if (inner.form == kFormGrid) {
    const float value = EvaluateGrid(inner, theta, ratio).value_or(0.0f);
    d = k1 == 0.0f ? 50.0f : Store(static_cast<double>(value) / k1);
  }

  const BendZone zone = CheckBendZone(d, p2, theta);
  d = zone.ratio;
  if (zone.status == 7) warnings[0] = kWarningElongation;

  const float inner_radius = theta == 180.0f ? Store(50.0 * t) : Store(static_cast<double>(d) * t);
  // The punch goes to the angle from which the sheet springs back to theta.
  const float theta_c = Store(static_cast<double>(theta) - p1);
  const float k2 = BulgeFactor(theta_c);

  float radius_term = 0.0f;
  if (effect.form == kFormPolynomial) {
    float f = EvaluatePolynomial(effect, theta, ratio);
    if (f > 1.0f) f = 1.0f;
    radius_term = Store(static_cast<double>(f) * inner_radius * k2);
  } else if (effect.form == kFormGrid) {
    const float value = EvaluateGrid(effect, theta_c, ratio).value_or(0.0f);
    radius_term = Store(static_cast<double>(value) * t);
  }

  const float depth =
      Store(static_cast<double>(PunchDepth(theta_c, half_width, Store(static_cast<double>(t) + rd))) -
            radius_term);

  // Bottoming: a punch that goes past the die angle needs more force.
  float bottoming = 1.3f;
  if (static_cast<double>(theta_c) - 0.5 <= alpha) {
    bottoming = Store(1.3 + 0.1 * (static_cast<double>(alpha) - theta_c + 0.5));
    result.Force = Store(static_cast<double>(result.Force) * bottoming);
  }

  // Deflection of the machine under the load: the beams open by a share of
  // the depth that grows with the load per millimetre and the bend length. A
  // machine without a bending length or a force (an unknown machine) gives no
  // compensation, since its capacity per millimetre is undefined; so does a
  // bend of no length, which puts no load on the beams.
  const float length_mm = Store(static_cast<double>(length) * 1000.0);
  float load = length_mm == 0.0f ? 0.0f : Store(static_cast<double>(bottoming) * f0 * 10.0 / length_mm);
  if (load > machine.MaxForce) load = machine.MaxForce;
  result.Depth = depth;
  if (machine.MaxBendingLength != 0.0f) {
    const float capacity = Store(static_cast<double>(machine.MaxForce) / machine.MaxBendingLength);
    float relative = Store(static_cast<double>(length_mm) / machine.MaxBendingLength);
    if (relative > 0.6f) relative = 0.6f;
    const double m = Store(static_cast<double>(relative) * relative);
    const float p = Store(((0.091 * m + 0.696) * m * m + 0.619) * m + 0.04);
    if (capacity != 0.0f) {
      const double share = static_cast<double>(load) / capacity;
      result.Depth = Store(depth + 0.01 * machine.BendingCoefficient * share * share * p);
    }
  }

  // Force at the machine's scale, then the limits in this order.
  result.Force = Store(static_cast<double>(result.Force) * 10.0);
  const float punch_limit = Store(static_cast<double>(length) * machine.PunchLoadLimit);
  if (result.Force > punch_limit) {
    warnings[0] = kWarningAbovePunchLimit;
    result.Force = punch_limit;
  }
  const float die_limit = Store(static_cast<double>(length) * machine.DieLoadLimit);
  if (result.Force > die_limit) {
    warnings[0] = kWarningAboveDieLimit;
    result.Force = die_limit;
  }
  if (result.Force < machine.MinForce) {
    warnings[0] = kWarningBelowMinimum;
    result.Force = machine.MinForce;
  } else if (result.Force > machine.MaxForce) {
    warnings[0] = kWarningAboveMaximum;
    result.Force = machine.MaxForce;
  }
}

}  // namespace driverwyr
