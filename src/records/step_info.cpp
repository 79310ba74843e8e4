#include "driverwyr/step_info.h"

#include <climits>
#include <cstring>
#include <utility>

#include "util/truncate.h"
#include "util/units.h"
#include "records/record_copy.h"

CPPStepInfo::CPPStepInfo() = default;

CPPStepInfo::CPPStepInfo(const CPPStepInfo& other) : CPPStepInfo() { *this = other; }

const CPPStepInfo& CPPStepInfo::operator=(const CPPStepInfo& other) {
  if (this != &other) {
    Fields& to = fields_;
    const Fields& from = other.fields_;
    DRIVERWYR_COPY_FIELDS(DRIVERWYR_STEP_FIELDS)
  }
  return *this;
}

CPPStepInfo::~CPPStepInfo() = default;

int CPPStepInfo::GetNumberInSquence() const { return fields_.NumberInSquence_; }
void CPPStepInfo::SetNumberInSquence(int value) { fields_.NumberInSquence_ = value; }

CString CPPStepInfo::GetSetUpName() const { return fields_.SetUpName_; }
void CPPStepInfo::SetSetUpName(CString value) { fields_.SetUpName_ = std::move(value); }

int CPPStepInfo::GetSetupIndex() const { return fields_.SetupIndex_; }
void CPPStepInfo::SetSetupIndex(int value) { fields_.SetupIndex_ = value; }

int CPPStepInfo::GetBendType() const { return fields_.BendType_; }

int CPPStepInfo::GetControlType() const { return fields_.ControlType_; }
void CPPStepInfo::SetControlType(int value) { fields_.ControlType_ = value; }

float CPPStepInfo::GetStepValue() const { return fields_.StepValue_; }

short CPPStepInfo::GetCycleNo() const { return fields_.CycleNo_; }
void CPPStepInfo::SetCycleNo(short value) { fields_.CycleNo_ = value; }

short CPPStepInfo::GetCoiningFlag() const { return fields_.CoiningFlag_; }
void CPPStepInfo::SetCoiningFlag(short value) { fields_.CoiningFlag_ = value; }

short CPPStepInfo::GetMode() const { return fields_.Mode_; }
void CPPStepInfo::SetMode(short value) { fields_.Mode_ = value; }

short CPPStepInfo::GetBendLength() const { return fields_.BendLength_; }

float CPPStepInfo::GetBendAngle() const { return fields_.BendAngle_; }
void CPPStepInfo::SetBendAngle(float value) { fields_.BendAngle_ = value; }

float CPPStepInfo::GetY1() const { return fields_.Y1_; }
void CPPStepInfo::SetY1(float value) { fields_.Y1_ = value; }

float CPPStepInfo::GetY2() const { return fields_.Y2_; }
void CPPStepInfo::SetY2(float value) { fields_.Y2_ = value; }

void CPPStepInfo::GetXX(double* out) const { std::memcpy(out, fields_.XX_, sizeof(fields_.XX_)); }
void CPPStepInfo::SetXX(const double* in) { std::memcpy(fields_.XX_, in, sizeof(fields_.XX_)); }

void CPPStepInfo::GetYY(double* out) const { std::memcpy(out, fields_.YY_, sizeof(fields_.YY_)); }
void CPPStepInfo::SetYY(const double* in) { std::memcpy(fields_.YY_, in, sizeof(fields_.YY_)); }

void CPPStepInfo::GetZZ(double* out) const { std::memcpy(out, fields_.ZZ_, sizeof(fields_.ZZ_)); }
void CPPStepInfo::SetZZ(const double* in) { std::memcpy(fields_.ZZ_, in, sizeof(fields_.ZZ_)); }

float CPPStepInfo::GetBendInnerRadius() const { return fields_.BendInnerRadius_; }

float CPPStepInfo::GetBendDeduction() const { return fields_.BendDeduction_; }
void CPPStepInfo::SetBendDeduction(float value) { fields_.BendDeduction_ = value; }

float CPPStepInfo::GetTonnageValue() const { return fields_.TonnageValue_; }
void CPPStepInfo::SetTonnageValue(float value) { fields_.TonnageValue_ = value; }

short CPPStepInfo::GetODC() const { return fields_.ODC_; }

float CPPStepInfo::GetRetractStroke() const { return fields_.RetractStroke_; }

float CPPStepInfo::GetOffset() const { return fields_.Offset_; }

double CPPStepInfo::GetMaterialVPos() const { return fields_.MaterialVPos_; }
void CPPStepInfo::SetMaterialVPos(double value) { fields_.MaterialVPos_ = value; }

void CPPStepInfo::GetToolReverse(bool* out) const { std::memcpy(out, fields_.ToolReverse_, sizeof(fields_.ToolReverse_)); }
void CPPStepInfo::SetTollReverse(const bool* in) { std::memcpy(fields_.ToolReverse_, in, sizeof(fields_.ToolReverse_)); }

void CPPStepInfo::GetToolID(char (*out)[32]) const { std::memcpy(out, fields_.ToolID_, sizeof(fields_.ToolID_)); }
void CPPStepInfo::SetToolID(const char (*in)[32]) { std::memcpy(fields_.ToolID_, in, sizeof(fields_.ToolID_)); }

void CPPStepInfo::GetRayID(driverwyr_long* out) const { std::memcpy(out, fields_.RayID_, sizeof(fields_.RayID_)); }
void CPPStepInfo::SetRayID(const driverwyr_long* in) { std::memcpy(fields_.RayID_, in, sizeof(fields_.RayID_)); }

float CPPStepInfo::GetPinchPointValue() const { return fields_.PinchPointValue_; }
void CPPStepInfo::SetPinchPointValue(float value) { fields_.PinchPointValue_ = value; }

short CPPStepInfo::GetFlagAutoCompen() const { return fields_.FlagAutoCompen_; }
void CPPStepInfo::SetFlagAutoCompen(short value) { fields_.FlagAutoCompen_ = value; }

short CPPStepInfo::GetBGRetractFlag() const { return fields_.BGRetractFlag_; }
void CPPStepInfo::SetBGRetractFlag(short value) { fields_.BGRetractFlag_ = value; }

short CPPStepInfo::GetBendingSpeed() const { return fields_.BendingSpeed_; }

short CPPStepInfo::GetReturnSpeed() const { return fields_.ReturnSpeed_; }
void CPPStepInfo::SetReturnSpeed(short value) { fields_.ReturnSpeed_ = value; }

float CPPStepInfo::GetDwellBG() const { return fields_.DwellBG_; }
void CPPStepInfo::SetDwellBG(float value) { fields_.DwellBG_ = value; }

float CPPStepInfo::GetDwellEndBend() const { return fields_.DwellEndBend_; }
void CPPStepInfo::SetDwellEndBend(float value) { fields_.DwellEndBend_ = value; }

float CPPStepInfo::GetY1Compen() const { return fields_.Y1Compen_; }
void CPPStepInfo::SetY1Compen(float value) { fields_.Y1Compen_ = value; }

float CPPStepInfo::GetY2Compen() const { return fields_.Y2Compen_; }
void CPPStepInfo::SetY2Compen(float value) { fields_.Y2Compen_ = value; }

float CPPStepInfo::GetX1Compen() const { return fields_.X1Compen_; }
void CPPStepInfo::SetX1Compen(float value) { fields_.X1Compen_ = value; }

float CPPStepInfo::GetX2Compen() const { return fields_.X2Compen_; }
void CPPStepInfo::SetX2Compen(float value) { fields_.X2Compen_ = value; }

float CPPStepInfo::GetR1Compen() const { return fields_.R1Compen_; }
void CPPStepInfo::SetR1Compen(float value) { fields_.R1Compen_ = value; }

float CPPStepInfo::GetR2Compen() const { return fields_.R2Compen_; }
void CPPStepInfo::SetR2Compen(float value) { fields_.R2Compen_ = value; }

float CPPStepInfo::GetZ1Compen() const { return fields_.Z1Compen_; }
void CPPStepInfo::SetZ1Compen(float value) { fields_.Z1Compen_ = value; }

float CPPStepInfo::GetZ2Compen() const { return fields_.Z2Compen_; }
void CPPStepInfo::SetZ2Compen(float value) { fields_.Z2Compen_ = value; }

float CPPStepInfo::GetAngleCompen() const { return fields_.AngleCompen_; }
void CPPStepInfo::SetAngleCompen(float value) { fields_.AngleCompen_ = value; }

short CPPStepInfo::GetBendNoBGPos() const { return fields_.BendNoBGPos_; }
void CPPStepInfo::SetBendNoBGPos(short value) { fields_.BendNoBGPos_ = value; }

CString CPPStepInfo::GetAuxFunc() const { return fields_.AuxFunc_; }
void CPPStepInfo::SetAuxFunc(CString value) { fields_.AuxFunc_ = std::move(value); }

short CPPStepInfo::GetFlagSheetMove() const { return fields_.FlagSheetMove_; }
void CPPStepInfo::SetFlagSheetMove(short value) { fields_.FlagSheetMove_ = value; }

short CPPStepInfo::GetSequenceOrder() const { return fields_.SequenceOrder_; }
void CPPStepInfo::SetSequenceOrder(short value) { fields_.SequenceOrder_ = value; }

float CPPStepInfo::GetFlangeLength() const { return fields_.FlangeLength_; }
void CPPStepInfo::SetFlangeLength(float value) { fields_.FlangeLength_ = value; }

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

