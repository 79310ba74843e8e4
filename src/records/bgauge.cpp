#include "driverwyr/bgauge.h"

#include <cstring>
#include <utility>

#include "records/record_copy.h"

CPPBGauge::CPPBGauge() = default;

CPPBGauge::CPPBGauge(const CPPBGauge& other) : CPPBGauge() { *this = other; }

const CPPBGauge& CPPBGauge::operator=(const CPPBGauge& other) {
  if (this != &other) {
    Fields& to = fields_;
    const Fields& from = other.fields_;
    DRIVERWYR_COPY_FIELDS(DRIVERWYR_BGAUGE_FIELDS)
  }
  return *this;
}

CPPBGauge::~CPPBGauge() = default;

int CPPBGauge::GetNum() const { return fields_.Num_; }
void CPPBGauge::SetNum(int value) { fields_.Num_ = value; }

CString CPPBGauge::GetControlSystem() const { return fields_.ControlSystem_; }
void CPPBGauge::SetControlSystem(CString value) { fields_.ControlSystem_ = std::move(value); }

CString CPPBGauge::GetFingerType() const { return fields_.FingerType_; }
void CPPBGauge::SetFingerType(CString value) { fields_.FingerType_ = std::move(value); }

int CPPBGauge::GetNumberOfAxis() const { return fields_.NumberOfAxis_; }
void CPPBGauge::SetNumberOfAxis(int value) { fields_.NumberOfAxis_ = value; }

int CPPBGauge::GetAdjustmentMethod() const { return fields_.AdjustmentMethod_; }
void CPPBGauge::SetAdjustmentMethod(int value) { fields_.AdjustmentMethod_ = value; }

int CPPBGauge::GetLengthUnit() const { return fields_.LengthUnit_; }
void CPPBGauge::SetLengthUnit(int value) { fields_.LengthUnit_ = value; }

double CPPBGauge::GetFingerWidth() const { return fields_.FingerWidth_; }
void CPPBGauge::SetFingerWidth(double value) { fields_.FingerWidth_ = value; }

double CPPBGauge::GetFingerThickness() const { return fields_.FingerThickness_; }
void CPPBGauge::SetFingerThickness(double value) { fields_.FingerThickness_ = value; }

double CPPBGauge::GetFingerVLower() const { return fields_.FingerVLower_; }
void CPPBGauge::SetFingerVLower(double value) { fields_.FingerVLower_ = value; }

double CPPBGauge::GetFingerVUpper() const { return fields_.FingerVUpper_; }
void CPPBGauge::SetFingerVUpper(double value) { fields_.FingerVUpper_ = value; }

int CPPBGauge::GetFingerAdjustLocation() const { return fields_.FingerAdjustLocation_; }
void CPPBGauge::SetFingerAdjustLocation(int value) { fields_.FingerAdjustLocation_ = value; }

int CPPBGauge::GetFingerAdjustHeight() const { return fields_.FingerAdjustHeight_; }
void CPPBGauge::SetFingerAdjustHeight(int value) { fields_.FingerAdjustHeight_ = value; }

double CPPBGauge::GetFingerHLeft() const { return fields_.FingerHLeft_; }
void CPPBGauge::SetFingerHLeft(int value) { fields_.FingerHLeft_ = value; }

double CPPBGauge::GetFingerHRight() const { return fields_.FingerHRight_; }
void CPPBGauge::SetFingerHRight(int value) { fields_.FingerHRight_ = value; }

double CPPBGauge::GetFingerContactMin() const { return fields_.FingerContactMin_; }
void CPPBGauge::SetFingerContactMin(double value) { fields_.FingerContactMin_ = value; }

double CPPBGauge::GetYRangeMin() const { return fields_.YRangeMin_; }
void CPPBGauge::SetYRangeMin(double value) { fields_.YRangeMin_ = value; }

double CPPBGauge::GetYRangeMax() const { return fields_.YRangeMax_; }
void CPPBGauge::SetYRangeMax(double value) { fields_.YRangeMax_ = value; }

double CPPBGauge::GetZRangeMin() const { return fields_.ZRangeMin_; }
void CPPBGauge::SetZRangeMin(double value) { fields_.ZRangeMin_ = value; }

double CPPBGauge::GetZRangeMax() const { return fields_.ZRangeMax_; }
void CPPBGauge::SetZRangeMax(double value) { fields_.ZRangeMax_ = value; }

void CPPBGauge::GetBodyProfile(double (*out)[3]) const { std::memcpy(out, fields_.BodyProfile_, sizeof(fields_.BodyProfile_)); }
void CPPBGauge::SetBodyProfile(const double (*in)[3]) { std::memcpy(fields_.BodyProfile_, in, sizeof(fields_.BodyProfile_)); }

int CPPBGauge::GetNumBodyPoint() const { return fields_.NumBodyPoint_; }
void CPPBGauge::SetNumBodyPoint(int value) { fields_.NumBodyPoint_ = value; }

void CPPBGauge::GetBodyDir(double* out) const { std::memcpy(out, fields_.BodyDir_, sizeof(fields_.BodyDir_)); }
void CPPBGauge::SetBodyDir(const double* in) { std::memcpy(fields_.BodyDir_, in, sizeof(fields_.BodyDir_)); }

void CPPBGauge::GetFingerProfile(double (*out)[3]) const { std::memcpy(out, fields_.FingerProfile_, sizeof(fields_.FingerProfile_)); }
void CPPBGauge::SetFingerProfile(const double (*in)[3]) { std::memcpy(fields_.FingerProfile_, in, sizeof(fields_.FingerProfile_)); }

int CPPBGauge::GetNumFingerPoint() const { return fields_.NumFingerPoint_; }
void CPPBGauge::SetNumFingerPoint(int value) { fields_.NumFingerPoint_ = value; }

void CPPBGauge::GetFingerDir(double* out) const { std::memcpy(out, fields_.FingerDir_, sizeof(fields_.FingerDir_)); }
void CPPBGauge::SetFingerDir(const double* in) { std::memcpy(fields_.FingerDir_, in, sizeof(fields_.FingerDir_)); }

void CPPBGauge::GetMotorProfile(double (*out)[3]) const { std::memcpy(out, fields_.MotorProfile_, sizeof(fields_.MotorProfile_)); }
void CPPBGauge::SetMotorProfile(const double (*in)[3]) { std::memcpy(fields_.MotorProfile_, in, sizeof(fields_.MotorProfile_)); }

int CPPBGauge::GetNumMotorPoint() const { return fields_.NumMotorPoint_; }
void CPPBGauge::SetNumMotorPoint(int value) { fields_.NumMotorPoint_ = value; }

void CPPBGauge::GetMotorDir(double* out) const { std::memcpy(out, fields_.MotorDir_, sizeof(fields_.MotorDir_)); }
void CPPBGauge::SetMotorDir(const double* in) { std::memcpy(fields_.MotorDir_, in, sizeof(fields_.MotorDir_)); }
