#include "driverwyr/machine.h"

#include <cstring>
#include <utility>

#include "records/record_copy.h"

CPPMachine::CPPMachine() = default;

CPPMachine::CPPMachine(const CPPMachine& other) : CPPMachine() { *this = other; }

const CPPMachine& CPPMachine::operator=(const CPPMachine& other) {
  if (this != &other) {
    Fields& to = fields_;
    const Fields& from = other.fields_;
    DRIVERWYR_COPY_FIELDS(DRIVERWYR_MACHINE_FIELDS)
  }
  return *this;
}

CPPMachine::~CPPMachine() = default;

CString CPPMachine::GetUserMachineName() const { return fields_.UserMachineName_; }
void CPPMachine::SetUserMachineName(CString value) { fields_.UserMachineName_ = std::move(value); }

CString CPPMachine::GetMachineName() const { return fields_.MachineName_; }
void CPPMachine::SetMachineName(CString value) { fields_.MachineName_ = std::move(value); }

CString CPPMachine::GetCtrlSystem() const { return fields_.CtrlSystem_; }
void CPPMachine::SetCtrlSystem(CString value) { fields_.CtrlSystem_ = std::move(value); }

CString CPPMachine::GetFingerType() const { return fields_.FingerType_; }
void CPPMachine::SetFingerType(CString value) { fields_.FingerType_ = std::move(value); }

CString CPPMachine::GetProtocolBoard() const { return fields_.ProtocolBoard_; }
void CPPMachine::SetProtocolBoard(CString value) { fields_.ProtocolBoard_ = std::move(value); }

int CPPMachine::GetCylinderNumber() const { return fields_.CylinderNumber_; }
void CPPMachine::SetCylinderNumber(int value) { fields_.CylinderNumber_ = value; }

bool CPPMachine::GetLengthUnit() const { return fields_.LengthUnit_; }
void CPPMachine::SetLengthUnit(bool value) { fields_.LengthUnit_ = value; }

double CPPMachine::GetTonnage() const { return fields_.Tonnage_; }
void CPPMachine::SetTonnage(double value) { fields_.Tonnage_ = value; }

double CPPMachine::GetMinTonnage() const { return fields_.MinTonnage_; }
void CPPMachine::SetMinTonnage(double value) { fields_.MinTonnage_ = value; }

double CPPMachine::GetFrameTightness() const { return fields_.FrameTightness_; }
void CPPMachine::SetFrameTightness(double value) { fields_.FrameTightness_ = value; }

double CPPMachine::GetOriginPressure() const { return fields_.OriginPressure_; }
void CPPMachine::SetOriginPressure(double value) { fields_.OriginPressure_ = value; }

double CPPMachine::GetMaxPressure() const { return fields_.MaxPressure_; }
void CPPMachine::SetMaxPressure(double value) { fields_.MaxPressure_ = value; }

double CPPMachine::GetMaxBendingLength() const { return fields_.MaxBendingLength_; }
void CPPMachine::SetMaxBendingLength(double value) { fields_.MaxBendingLength_ = value; }

double CPPMachine::GetMaxStrokeHeight() const { return fields_.MaxStrokeHeight_; }
void CPPMachine::SetMaxStrokeHeight(double value) { fields_.MaxStrokeHeight_ = value; }

double CPPMachine::GetOpenHeight() const { return fields_.OpenHeight_; }
void CPPMachine::SetOpenHeight(double value) { fields_.OpenHeight_ = value; }

double CPPMachine::GetSignificantHeight() const { return fields_.SignificantHeight_; }
void CPPMachine::SetSignificantHeight(double value) { fields_.SignificantHeight_ = value; }

double CPPMachine::GetLowerBeamHeight() const { return fields_.LowerBeamHeight_; }
void CPPMachine::SetLowerBeamHeight(double value) { fields_.LowerBeamHeight_ = value; }

double CPPMachine::GetMainBeamSpan() const { return fields_.MainBeamSpan_; }
void CPPMachine::SetMainBeamSpan(double value) { fields_.MainBeamSpan_ = value; }

double CPPMachine::GetSignifcantSpan() const { return fields_.SignifcantSpan_; }
void CPPMachine::SetSignifcantSpan(double value) { fields_.SignifcantSpan_ = value; }

double CPPMachine::GetMainBodyDepth() const { return fields_.MainBodyDepth_; }
void CPPMachine::SetMainBodyDepth(double value) { fields_.MainBodyDepth_ = value; }

int CPPMachine::GetBlockInUpBeam() const { return fields_.BlockInUpBeam_; }
void CPPMachine::SetBlockInUpBeam(int value) { fields_.BlockInUpBeam_ = value; }

int CPPMachine::GetBlockInLowBeam() const { return fields_.BlockInLowBeam_; }
void CPPMachine::SetBlockInLowBeam(int value) { fields_.BlockInLowBeam_ = value; }

void CPPMachine::GetExtrusionVectorBlockOfUpBeam(float (*out)[3]) const { std::memcpy(out, fields_.ExtrusionVectorBlockOfUpBeam_, sizeof(fields_.ExtrusionVectorBlockOfUpBeam_)); }
void CPPMachine::SetExtrusionVectorBlockOfUpBeam(const float (*in)[3]) { std::memcpy(fields_.ExtrusionVectorBlockOfUpBeam_, in, sizeof(fields_.ExtrusionVectorBlockOfUpBeam_)); }

void CPPMachine::GetExtrusionVectorBlockOfLowerBeam(float (*out)[3]) const { std::memcpy(out, fields_.ExtrusionVectorBlockOfLowerBeam_, sizeof(fields_.ExtrusionVectorBlockOfLowerBeam_)); }
void CPPMachine::SetExtrusionVectorBlockOfLowerBeam(const float (*in)[3]) { std::memcpy(fields_.ExtrusionVectorBlockOfLowerBeam_, in, sizeof(fields_.ExtrusionVectorBlockOfLowerBeam_)); }

void CPPMachine::GetUpBeamProfile(double (*out)[64][3]) const { std::memcpy(out, fields_.UpBeamProfile_, sizeof(fields_.UpBeamProfile_)); }
void CPPMachine::SetUpBeamProfile(const double (*in)[64][3]) { std::memcpy(fields_.UpBeamProfile_, in, sizeof(fields_.UpBeamProfile_)); }

void CPPMachine::GetNumUpBeamPoint(int* out) const { std::memcpy(out, fields_.NumUpBeamPoint_, sizeof(fields_.NumUpBeamPoint_)); }
void CPPMachine::SetNumUpBeamPoint(const int* in) { std::memcpy(fields_.NumUpBeamPoint_, in, sizeof(fields_.NumUpBeamPoint_)); }

void CPPMachine::GetLowBeamProfile(double (*out)[64][3]) const { std::memcpy(out, fields_.LowBeamProfile_, sizeof(fields_.LowBeamProfile_)); }
void CPPMachine::SetLowBeamProfile(const double (*in)[64][3]) { std::memcpy(fields_.LowBeamProfile_, in, sizeof(fields_.LowBeamProfile_)); }

void CPPMachine::GetNumLowerBeamPoint(int* out) const { std::memcpy(out, fields_.NumLowerBeamPoint_, sizeof(fields_.NumLowerBeamPoint_)); }
void CPPMachine::SetNumLowerBeamPoint(const int* in) { std::memcpy(fields_.NumLowerBeamPoint_, in, sizeof(fields_.NumLowerBeamPoint_)); }

void CPPMachine::GetUpBeamAttach(double* out) const { std::memcpy(out, fields_.UpBeamAttach_, sizeof(fields_.UpBeamAttach_)); }
void CPPMachine::SetUpBeamAttach(const double* in) { std::memcpy(fields_.UpBeamAttach_, in, sizeof(fields_.UpBeamAttach_)); }

void CPPMachine::GetLowBeamAttach(double* out) const { std::memcpy(out, fields_.LowBeamAttach_, sizeof(fields_.LowBeamAttach_)); }
void CPPMachine::SetLowBeamAttach(const double* in) { std::memcpy(fields_.LowBeamAttach_, in, sizeof(fields_.LowBeamAttach_)); }

bool CPPMachine::GetclampAtCerter() const { return fields_.clampAtCerter_; }
void CPPMachine::SetclampAtCerter(bool value) { fields_.clampAtCerter_ = value; }

double CPPMachine::GetClampLength() const { return fields_.ClampLength_; }
void CPPMachine::SetClampLength(double value) { fields_.ClampLength_ = value; }

double CPPMachine::GetClampPitch() const { return fields_.ClampPitch_; }
void CPPMachine::SetClampPitch(double value) { fields_.ClampPitch_ = value; }

double CPPMachine::GetDefaultPHLLength() const { return fields_.DefaultPHLLength_; }
void CPPMachine::SetDefaultPHLLength(double value) { fields_.DefaultPHLLength_ = value; }

double CPPMachine::GetDefaultPHLPitch() const { return fields_.DefaultPHLPitch_; }
void CPPMachine::SetDefaultPHLPitch(double value) { fields_.DefaultPHLPitch_ = value; }

void CPPMachine::GetPHLProfile(double (*out)[2]) const { std::memcpy(out, fields_.PHLProfile_, sizeof(fields_.PHLProfile_)); }
void CPPMachine::SetPHLProfile(const double (*in)[2]) { std::memcpy(fields_.PHLProfile_, in, sizeof(fields_.PHLProfile_)); }

int CPPMachine::GetNumPHLPoint() const { return fields_.NumPHLPoint_; }
void CPPMachine::SetNumPHLPoint(int value) { fields_.NumPHLPoint_ = value; }

void CPPMachine::GetPHLTopAttach(double* out) const { std::memcpy(out, fields_.PHLTopAttach_, sizeof(fields_.PHLTopAttach_)); }
void CPPMachine::SetPHLTopAttach(const double* in) { std::memcpy(fields_.PHLTopAttach_, in, sizeof(fields_.PHLTopAttach_)); }

void CPPMachine::GetPHLPunchAttach(double (*out)[2]) const { std::memcpy(out, fields_.PHLPunchAttach_, sizeof(fields_.PHLPunchAttach_)); }
void CPPMachine::SetPHLPunchAttach(const double (*in)[2]) { std::memcpy(fields_.PHLPunchAttach_, in, sizeof(fields_.PHLPunchAttach_)); }

void CPPMachine::GetPHLClampAttach(double (*out)[2]) const { std::memcpy(out, fields_.PHLClampAttach_, sizeof(fields_.PHLClampAttach_)); }
void CPPMachine::SetPHLClampAttach(const double (*in)[2]) { std::memcpy(fields_.PHLClampAttach_, in, sizeof(fields_.PHLClampAttach_)); }

void CPPMachine::GetClampProfile(double (*out)[2]) const { std::memcpy(out, fields_.ClampProfile_, sizeof(fields_.ClampProfile_)); }
void CPPMachine::SetClampProfile(const double (*in)[2]) { std::memcpy(fields_.ClampProfile_, in, sizeof(fields_.ClampProfile_)); }

int CPPMachine::GetNumClampPoint() const { return fields_.NumClampPoint_; }
void CPPMachine::SetNumClampPoint(int value) { fields_.NumClampPoint_ = value; }

void CPPMachine::GetClampAttach(double* out) const { std::memcpy(out, fields_.ClampAttach_, sizeof(fields_.ClampAttach_)); }
void CPPMachine::SetClampAttach(const double* in) { std::memcpy(fields_.ClampAttach_, in, sizeof(fields_.ClampAttach_)); }
