// CPPBGauge: one back gauge. Stored and copied by the driver, read by nothing
// in it: the record is carried faithfully for the host.
//
// Profiles hold 64 points of three coordinates and are always copied in full.
// SetFingerHLeft and SetFingerHRight take an int and store it as a double.
#ifndef DRIVERWYR_BGAUGE_H_
#define DRIVERWYR_BGAUGE_H_

#include "driverwyr/cstring.h"
#include "driverwyr/export.h"

class DRIVERWYR_API CPPBGauge {
 public:
  // Default record (see above).
  CPPBGauge();
  // Complete copies of every field.
  CPPBGauge(const CPPBGauge& other);
  // Copies every field; assigning a record to itself changes nothing.
  const CPPBGauge& operator=(const CPPBGauge& other);
  virtual ~CPPBGauge();

  int GetNum() const;
  void SetNum(int value);
  CString GetControlSystem() const;
  void SetControlSystem(CString value);
  CString GetFingerType() const;
  void SetFingerType(CString value);
  int GetNumberOfAxis() const;
  void SetNumberOfAxis(int value);
  int GetAdjustmentMethod() const;
  void SetAdjustmentMethod(int value);
  int GetLengthUnit() const;
  void SetLengthUnit(int value);
  double GetFingerWidth() const;
  void SetFingerWidth(double value);
  double GetFingerThickness() const;
  void SetFingerThickness(double value);
  double GetFingerVLower() const;
  void SetFingerVLower(double value);
  double GetFingerVUpper() const;
  void SetFingerVUpper(double value);
  int GetFingerAdjustLocation() const;
  void SetFingerAdjustLocation(int value);
  int GetFingerAdjustHeight() const;
  void SetFingerAdjustHeight(int value);
  double GetFingerHLeft() const;
  void SetFingerHLeft(int value);
  double GetFingerHRight() const;
  void SetFingerHRight(int value);
  double GetFingerContactMin() const;
  void SetFingerContactMin(double value);
  double GetYRangeMin() const;
  void SetYRangeMin(double value);
  double GetYRangeMax() const;
  void SetYRangeMax(double value);
  double GetZRangeMin() const;
  void SetZRangeMin(double value);
  double GetZRangeMax() const;
  void SetZRangeMax(double value);
  void GetBodyProfile(double (*out)[3]) const;
  void SetBodyProfile(const double (*in)[3]);
  int GetNumBodyPoint() const;
  void SetNumBodyPoint(int value);
  void GetBodyDir(double* out) const;
  void SetBodyDir(const double* in);
  void GetFingerProfile(double (*out)[3]) const;
  void SetFingerProfile(const double (*in)[3]);
  int GetNumFingerPoint() const;
  void SetNumFingerPoint(int value);
  void GetFingerDir(double* out) const;
  void SetFingerDir(const double* in);
  void GetMotorProfile(double (*out)[3]) const;
  void SetMotorProfile(const double (*in)[3]);
  int GetNumMotorPoint() const;
  void SetNumMotorPoint(int value);
  void GetMotorDir(double* out) const;
  void SetMotorDir(const double* in);

 private:
  // The fields in declaration order, with their defaults.
  struct Fields {
    int Num_ = 0;
    CString ControlSystem_;
    CString FingerType_;
    int NumberOfAxis_ = 0;
    int AdjustmentMethod_ = 0;
    int LengthUnit_ = 0;
    double FingerWidth_ = 0.0;
    double FingerThickness_ = 0.0;
    double FingerVLower_ = 0.0;
    double FingerVUpper_ = 0.0;
    int FingerAdjustLocation_ = 0;
    int FingerAdjustHeight_ = 0;
    double FingerHLeft_ = 0.0;
    double FingerHRight_ = 0.0;
    double FingerContactMin_ = 0.0;
    double YRangeMin_ = 0.0;
    double YRangeMax_ = 0.0;
    double ZRangeMin_ = 0.0;
    double ZRangeMax_ = 0.0;
    double BodyProfile_[64][3] = {};
    int NumBodyPoint_ = 0;
    double BodyDir_[3] = {};
    double FingerProfile_[64][3] = {};
    int NumFingerPoint_ = 0;
    double FingerDir_[3] = {};
    double MotorProfile_[64][3] = {};
    int NumMotorPoint_ = 0;
    double MotorDir_[3] = {};
  };
  Fields fields_;
};

#endif  // DRIVERWYR_BGAUGE_H_
