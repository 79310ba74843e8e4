// CPPMachine: one press brake, found by its UserMachineName.
//
// The driver reads only Tonnage, MinTonnage and MaxBendingLength; everything
// else is carried faithfully for the host. The record is large and of fixed
// size: every array is held inside it and array accessors copy the whole
// capacity, whatever the point counts say. Defaults are zero or empty, except
// LengthUnit and clampAtCerter, which are true.
#ifndef DRIVERWYR_MACHINE_H_
#define DRIVERWYR_MACHINE_H_

#include "driverwyr/cstring.h"
#include "driverwyr/export.h"

namespace driverwyr {
struct RecordKeys;  // the driver's look-ups read the names without copying them
}  // namespace driverwyr

class DRIVERWYR_API CPPMachine {
 public:
  // Default record (see above).
  CPPMachine();
  // Complete copies of every field.
  CPPMachine(const CPPMachine& other);
  // Copies every field; assigning a record to itself changes nothing.
  const CPPMachine& operator=(const CPPMachine& other);
  virtual ~CPPMachine();

  CString GetUserMachineName() const;
  void SetUserMachineName(CString value);
  CString GetMachineName() const;
  void SetMachineName(CString value);
  CString GetCtrlSystem() const;
  void SetCtrlSystem(CString value);
  CString GetFingerType() const;
  void SetFingerType(CString value);
  CString GetProtocolBoard() const;
  void SetProtocolBoard(CString value);
  int GetCylinderNumber() const;
  void SetCylinderNumber(int value);
  bool GetLengthUnit() const;
  void SetLengthUnit(bool value);
  double GetTonnage() const;
  void SetTonnage(double value);
  double GetMinTonnage() const;
  void SetMinTonnage(double value);
  double GetFrameTightness() const;
  void SetFrameTightness(double value);
  double GetOriginPressure() const;
  void SetOriginPressure(double value);
  double GetMaxPressure() const;
  void SetMaxPressure(double value);
  double GetMaxBendingLength() const;
  void SetMaxBendingLength(double value);
  double GetMaxStrokeHeight() const;
  void SetMaxStrokeHeight(double value);
  double GetOpenHeight() const;
  void SetOpenHeight(double value);
  double GetSignificantHeight() const;
  void SetSignificantHeight(double value);
  double GetLowerBeamHeight() const;
  void SetLowerBeamHeight(double value);
  double GetMainBeamSpan() const;
  void SetMainBeamSpan(double value);
  double GetSignifcantSpan() const;
  void SetSignifcantSpan(double value);
  double GetMainBodyDepth() const;
  void SetMainBodyDepth(double value);
  int GetBlockInUpBeam() const;
  void SetBlockInUpBeam(int value);
  int GetBlockInLowBeam() const;
  void SetBlockInLowBeam(int value);
  void GetExtrusionVectorBlockOfUpBeam(float (*out)[3]) const;
  void SetExtrusionVectorBlockOfUpBeam(const float (*in)[3]);
  void GetExtrusionVectorBlockOfLowerBeam(float (*out)[3]) const;
  void SetExtrusionVectorBlockOfLowerBeam(const float (*in)[3]);
  void GetUpBeamProfile(double (*out)[64][3]) const;
  void SetUpBeamProfile(const double (*in)[64][3]);
  void GetNumUpBeamPoint(int* out) const;
  void SetNumUpBeamPoint(const int* in);
  void GetLowBeamProfile(double (*out)[64][3]) const;
  void SetLowBeamProfile(const double (*in)[64][3]);
  void GetNumLowerBeamPoint(int* out) const;
  void SetNumLowerBeamPoint(const int* in);
  void GetUpBeamAttach(double* out) const;
  void SetUpBeamAttach(const double* in);
  void GetLowBeamAttach(double* out) const;
  void SetLowBeamAttach(const double* in);
  bool GetclampAtCerter() const;
  void SetclampAtCerter(bool value);
  double GetClampLength() const;
  void SetClampLength(double value);
  double GetClampPitch() const;
  void SetClampPitch(double value);
  double GetDefaultPHLLength() const;
  void SetDefaultPHLLength(double value);
  double GetDefaultPHLPitch() const;
  void SetDefaultPHLPitch(double value);
  void GetPHLProfile(double (*out)[2]) const;
  void SetPHLProfile(const double (*in)[2]);
  int GetNumPHLPoint() const;
  void SetNumPHLPoint(int value);
  void GetPHLTopAttach(double* out) const;
  void SetPHLTopAttach(const double* in);
  void GetPHLPunchAttach(double (*out)[2]) const;
  void SetPHLPunchAttach(const double (*in)[2]);
  void GetPHLClampAttach(double (*out)[2]) const;
  void SetPHLClampAttach(const double (*in)[2]);
  void GetClampProfile(double (*out)[2]) const;
  void SetClampProfile(const double (*in)[2]);
  int GetNumClampPoint() const;
  void SetNumClampPoint(int value);
  void GetClampAttach(double* out) const;
  void SetClampAttach(const double* in);

 private:
  friend struct driverwyr::RecordKeys;
  // The fields in declaration order, with their defaults.
  struct Fields {
    CString UserMachineName_;
    CString MachineName_;
    CString CtrlSystem_;
    CString FingerType_;
    CString ProtocolBoard_;
    int CylinderNumber_ = 0;
    bool LengthUnit_ = true;
    double Tonnage_ = 0.0;
    double MinTonnage_ = 0.0;
    double FrameTightness_ = 0.0;
    double OriginPressure_ = 0.0;
    double MaxPressure_ = 0.0;
    double MaxBendingLength_ = 0.0;
    double MaxStrokeHeight_ = 0.0;
    double OpenHeight_ = 0.0;
    double SignificantHeight_ = 0.0;
    double LowerBeamHeight_ = 0.0;
    double MainBeamSpan_ = 0.0;
    double SignifcantSpan_ = 0.0;
    double MainBodyDepth_ = 0.0;
    int BlockInUpBeam_ = 0;
    int BlockInLowBeam_ = 0;
    float ExtrusionVectorBlockOfUpBeam_[32][3] = {};
    float ExtrusionVectorBlockOfLowerBeam_[32][3] = {};
    double UpBeamProfile_[32][64][3] = {};
    int NumUpBeamPoint_[32] = {};
    double LowBeamProfile_[32][64][3] = {};
    int NumLowerBeamPoint_[32] = {};
    double UpBeamAttach_[2] = {};
    double LowBeamAttach_[2] = {};
    bool clampAtCerter_ = true;
    double ClampLength_ = 0.0;
    double ClampPitch_ = 0.0;
    double DefaultPHLLength_ = 0.0;
    double DefaultPHLPitch_ = 0.0;
    double PHLProfile_[64][2] = {};
    int NumPHLPoint_ = 0;
    double PHLTopAttach_[2] = {};
    double PHLPunchAttach_[2][2] = {};
    double PHLClampAttach_[2][2] = {};
    double ClampProfile_[64][2] = {};
    int NumClampPoint_ = 0;
    double ClampAttach_[2] = {};
  };
  Fields fields_;
};

#endif  // DRIVERWYR_MACHINE_H_
