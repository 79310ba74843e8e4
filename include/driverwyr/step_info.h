// CPPStepInfo: one bend step of the sequence a host hands to the driver.
//
// The host builds one record per step with the default constructor and the
// setters, collects them in bending order in a RecordArray and hands them over
// with InitPPSequence. The driver works on its own copies: it groups the steps
// by SetupIndex, fills in the depth (Y1, Y2) and force (TonnageValue) of steps
// whose Mode is 0, and writes one program record per step.
//
// Setters store their argument unchanged except where noted: the setters that
// take a `unit` argument (1 = inch, anything else = millimetre) convert inch to
// millimetres (25.4) after truncating to a fixed number of decimals, and round
// or truncate as documented at each of them. Getters return the stored value.
// A default record has ControlType 2, ODC 251, BendingSpeed 8, DwellEndBend
// 0.2, AuxFunc "000000" and zero or empty everywhere else.
#ifndef DRIVERWYR_STEP_INFO_H_
#define DRIVERWYR_STEP_INFO_H_

#include "driverwyr/cstring.h"
#include "driverwyr/export.h"

class DRIVERWYR_API CPPStepInfo {
 public:
  // Default record (see above).
  CPPStepInfo();
  // Complete copies of every field.
  CPPStepInfo(const CPPStepInfo& other);
  // Copies every field; assigning a record to itself changes nothing.
  const CPPStepInfo& operator=(const CPPStepInfo& other);
  virtual ~CPPStepInfo();

  int GetNumberInSquence() const;
  void SetNumberInSquence(int value);
  CString GetSetUpName() const;
  void SetSetUpName(CString value);
  int GetSetupIndex() const;
  void SetSetupIndex(int value);
  int GetBendType() const;
  // Also sets CoiningFlag and Mode: both 0 for types 0, 1, 3, 5; both 1 for 2, 4, 6;
  // other types leave them as they are.
  void SetBendType(int value);
  int GetControlType() const;
  void SetControlType(int value);
  float GetStepValue() const;
  // inch: TruncateToDecimals(value, 3) x 25.4; millimetre: value truncated to a whole number.
  void SetStepValue(float value, int unit);
  short GetCycleNo() const;
  void SetCycleNo(short value);
  short GetCoiningFlag() const;
  void SetCoiningFlag(short value);
  short GetMode() const;
  void SetMode(short value);
  short GetBendLength() const;
  // Whole millimetres, rounded half up: inch: TruncateToDecimals(value, 1) x 25.4.
  void SetBendLength(float value, int unit);
  float GetBendAngle() const;
  void SetBendAngle(float value);
  float GetY1() const;
  void SetY1(float value);
  float GetY2() const;
  void SetY2(float value);
  // Sets Y1 and Y2 to 0; the value itself is not stored.
  void SetBendingDepth(float value);
  void GetXX(double* out) const;
  void SetXX(const double* in);
  void GetYY(double* out) const;
  void SetYY(const double* in);
  void GetZZ(double* out) const;
  void SetZZ(const double* in);
  float GetBendDeduction() const;
  void SetBendDeduction(float value);
  float GetTonnageValue() const;
  void SetTonnageValue(float value);
  short GetODC() const;
  // Whole millimetres (inch x 25.4), half up for non-negative values, toward zero below.
  void SetODC(float value, int unit);
  float GetRetractStroke() const;
  // inch: TruncateToDecimals(value, 2) x 25.4; millimetre: TruncateToDecimals(value, 1).
  void SetRetractStroke(float value, int unit);
  float GetOffset() const;
  // inch: TruncateToDecimals(value, 2) x 25.4; millimetre: TruncateToDecimals(value, 1).
  void SetOffset(float value, int unit);
  double GetMaterialVPos() const;
  void SetMaterialVPos(double value);
  void GetToolReverse(bool* out) const;
  // The setter of ToolReverse (exported under this name).
  void SetTollReverse(const bool* in);
  void GetToolID(char (*out)[32]) const;
  // Copies all 6 x 32 bytes as they are; a name ends at its NUL or fills 32 bytes.
  void SetToolID(const char (*in)[32]);
  void GetRayID(driverwyr_long* out) const;
  void SetRayID(const driverwyr_long* in);
  float GetPinchPointValue() const;
  void SetPinchPointValue(float value);
  short GetFlagAutoCompen() const;
  void SetFlagAutoCompen(short value);
  short GetBGRetractFlag() const;
  void SetBGRetractFlag(short value);
  short GetBendingSpeed() const;
  // ControlType 0: truncated. Otherwise (inch x 25.4) + 0.00001, rounded half up.
  // Depends on the ControlType in force at the call.
  void SetBendingSpeed(double value, int unit);
  short GetReturnSpeed() const;
  void SetReturnSpeed(short value);
  float GetDwellBG() const;
  void SetDwellBG(float value);
  float GetDwellEndBend() const;
  void SetDwellEndBend(float value);
  float GetY1Compen() const;
  void SetY1Compen(float value);
  float GetY2Compen() const;
  void SetY2Compen(float value);
  float GetX1Compen() const;
  void SetX1Compen(float value);
  float GetX2Compen() const;
  void SetX2Compen(float value);
  float GetR1Compen() const;
  void SetR1Compen(float value);
  float GetR2Compen() const;
  void SetR2Compen(float value);
  float GetZ1Compen() const;
  void SetZ1Compen(float value);
  float GetZ2Compen() const;
  void SetZ2Compen(float value);
  float GetAngleCompen() const;
  void SetAngleCompen(float value);
  short GetBendNoBGPos() const;
  void SetBendNoBGPos(short value);
  CString GetAuxFunc() const;
  void SetAuxFunc(CString value);
  short GetFlagSheetMove() const;
  void SetFlagSheetMove(short value);
  short GetSequenceOrder() const;
  void SetSequenceOrder(short value);
  float GetFlangeLength() const;
  void SetFlangeLength(float value);

 protected:
  float GetBendInnerRadius() const;

 private:
  // The fields in declaration order, with their defaults.
  struct Fields {
    int NumberInSquence_ = 0;
    CString SetUpName_;
    int SetupIndex_ = 0;
    int BendType_ = 0;
    int ControlType_ = 2;
    float StepValue_ = 0.0f;
    short CycleNo_ = 0;
    short CoiningFlag_ = 0;
    short Mode_ = 0;
    short BendLength_ = 0;
    float BendAngle_ = 0.0f;
    float Y1_ = 0.0f;
    float Y2_ = 0.0f;
    double XX_[4] = {};
    double YY_[4] = {};
    double ZZ_[4] = {};
    float BendInnerRadius_ = 0.0f;
    float BendDeduction_ = 0.0f;
    float TonnageValue_ = 0.0f;
    short ODC_ = 251;
    float RetractStroke_ = 0.0f;
    float Offset_ = 0.0f;
    double MaterialVPos_ = 0.0;
    bool ToolReverse_[6] = {};
    char ToolID_[6][32] = {};
    driverwyr_long RayID_[6] = {};
    float PinchPointValue_ = 0.0f;
    short FlagAutoCompen_ = 0;
    short BGRetractFlag_ = 0;
    short BendingSpeed_ = 8;
    short ReturnSpeed_ = 0;
    float DwellBG_ = 0.0f;
    float DwellEndBend_ = 0.2f;
    float Y1Compen_ = 0.0f;
    float Y2Compen_ = 0.0f;
    float X1Compen_ = 0.0f;
    float X2Compen_ = 0.0f;
    float R1Compen_ = 0.0f;
    float R2Compen_ = 0.0f;
    float Z1Compen_ = 0.0f;
    float Z2Compen_ = 0.0f;
    float AngleCompen_ = 0.0f;
    short BendNoBGPos_ = 0;
    CString AuxFunc_ = "000000";
    short FlagSheetMove_ = 0;
    short SequenceOrder_ = 0;
    float FlangeLength_ = 0.0f;
  };
  Fields fields_;
};

// The entries of a step's ToolID that name its tools (ToolID names the
// stored CPPTool records by their ToolName); the driver reads no others.
namespace driverwyr {
inline constexpr int kToolIdPunch = 0;
inline constexpr int kToolIdDie = 1;
inline constexpr int kToolIdDieHolder = 2;
inline constexpr int kToolIdSpacer = 4;
}  // namespace driverwyr

#endif  // DRIVERWYR_STEP_INFO_H_
