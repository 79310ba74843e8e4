#include "driverwyr/step_info.h"

#include <climits>
#include <cstring>
#include <utility>

#include "driverwyr/units.h"
#include "records/record_accessors.h"
#include "util/truncate.h"

#define DRIVERWYR_RECORD CPPStepInfo
#define DRIVERWYR_HANDWRITTEN_SetBendType ~, 1
DRIVERWYR_DEFINE_RECORD(DRIVERWYR_STEP_FIELDS)

// ---- Setters that convert or derive ---------------------------------------

namespace {
// The setters convert with the single-precision 25.4, except SetBendingSpeed.
constexpr float kInchF = driverwyr::kInchToMillimetresF;
}  // namespace

void CPPStepInfo::SetBendType(int value) {
  fields_.BendType_ = value;
  switch (value) {
    case 0: case 1: case 3: case 5:
      fields_.CoiningFlag_ = 0;
      fields_.Mode_ = 0;
      break;
    case 2: case 4: case 6:
      fields_.CoiningFlag_ = 1;
      fields_.Mode_ = 1;
      break;
    default:
      break;  // other types leave both flags as they are
  }
}

void CPPStepInfo::SetStepValue(float value, int unit) {
  fields_.StepValue_ = unit == 1 ? driverwyr::TruncateToDecimals(value, 3) * kInchF
                         : driverwyr::TruncateToDecimals(value, 0);
}

void CPPStepInfo::SetBendLength(float value, int unit) {
  const float mm = unit == 1 ? driverwyr::TruncateToDecimals(value, 1) * kInchF : value;
  fields_.BendLength_ = driverwyr::SaturateToInt16(static_cast<double>(mm) + 0.5);
}

void CPPStepInfo::SetODC(float value, int unit) {
  const float v = unit == 1 ? value * kInchF : value;
  const short i = driverwyr::SaturateToInt16(v);
  // Half up, unless the value already saturated at the top of the range.
  fields_.ODC_ = static_cast<double>(v) - i >= 0.5 && i < SHRT_MAX ? static_cast<short>(i + 1) : i;
}

void CPPStepInfo::SetRetractStroke(float value, int unit) {
  fields_.RetractStroke_ = unit == 1 ? driverwyr::TruncateToDecimals(value, 2) * kInchF
                             : driverwyr::TruncateToDecimals(value, 1);
}

void CPPStepInfo::SetOffset(float value, int unit) {
  fields_.Offset_ = unit == 1 ? driverwyr::TruncateToDecimals(value, 2) * kInchF
                      : driverwyr::TruncateToDecimals(value, 1);
}

void CPPStepInfo::SetBendingSpeed(double value, int unit) {
  if (fields_.ControlType_ == 0) {
    fields_.BendingSpeed_ = driverwyr::SaturateToInt16(value);
    return;
  }
  double v = unit == 1 ? value * driverwyr::kInchToMillimetres : value;
  v += 0.00001;
  const short i = driverwyr::SaturateToInt16(v);
  fields_.BendingSpeed_ = v - i >= 0.5 && i < SHRT_MAX ? static_cast<short>(i + 1) : i;
}

void CPPStepInfo::SetBendingDepth(float /*value*/) {
  fields_.Y1_ = 0.0f;
  fields_.Y2_ = 0.0f;
}

