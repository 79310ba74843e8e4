// CPPTool: one tool of the host's tool library (punch, die, die holder, spacer).
//
// Steps name their tools in ToolID; the driver finds a tool by exact,
// case-sensitive ToolName. No accessor converts or rounds: lengths stay in the
// unit the host sends. A default tool is all zero, false or empty. Array
// accessors copy the whole capacity (Profile: 64 points), whatever
// NumProfilePoint says.
#ifndef DRIVERWYR_TOOL_H_
#define DRIVERWYR_TOOL_H_

#include "driverwyr/cstring.h"
#include "driverwyr/export.h"

namespace driverwyr {
struct RecordKeys;  // the driver's look-ups read the names without copying them
}  // namespace driverwyr

class DRIVERWYR_API CPPTool {
 public:
  // Default record (see above).
  CPPTool();
  // Complete copies of every field.
  CPPTool(const CPPTool& other);
  // Copies every field; assigning a record to itself changes nothing.
  const CPPTool& operator=(const CPPTool& other);
  virtual ~CPPTool();

  CString GetToolName() const;
  void SetToolName(CString value);
  CString GetToolType() const;
  void SetToolType(CString value);
  CString GetCategory() const;
  void SetCategory(CString value);
  void GetProfile(double (*out)[2]) const;
  void SetProfile(const double (*in)[2]);
  int GetNumProfilePoint() const;
  void SetNumProfilePoint(int value);
  void GetTipPoint(double* out) const;
  void SetTipPoint(const double* in);
  void GetPrmyAttachPoint(double* out) const;
  void SetPrmyAttachPoint(const double* in);
  void GetSlaveAttachPoint(double* out) const;
  void SetSlaveAttachPoint(const double* in);
  double GetToolHeight() const;
  void SetToolHeight(double value);
  double GetToolRealHeight() const;
  void SetToolRealHeight(double value);
  double GetToolWidth() const;
  void SetToolWidth(double value);
  double GetEdge2ForceLine() const;
  void SetEdge2ForceLine(double value);
  bool GetReverse() const;
  void SetReverse(bool value);
  int GetSmallorLarger() const;
  void SetSmallorLarger(int value);
  double GetVWidth() const;
  void SetVWidth(double value);
  double GetAngle() const;
  void SetAngle(double value);
  double GetRadius() const;
  void SetRadius(double value);
  int GetFlag4Die() const;
  void SetFlag4Die(int value);
  double GetXAttachOffset() const;
  void SetXAttachOffset(double value);
  double GetStepHeight() const;
  void SetStepHeight(double value);
  double GetMaxThickness() const;
  void SetMaxThickness(double value);
  double GetMinThickness() const;
  void SetMinThickness(double value);
  int GetFollowType() const;
  void SetFollowType(int value);
  double GetFollowAngle() const;
  void SetFollowAngle(double value);
  double GetBackAngle() const;
  void SetBackAngle(double value);
  double GetFrontOffset() const;
  void SetFrontOffset(double value);
  double GetBgEdgeMoveIn() const;
  void SetBgEdgeMoveIn(double value);
  double GetMidPointOffset() const;
  void SetMidPointOffset(double value);
  double GetSecondFollowAngle() const;
  void SetSecondFollowAngle(double value);
  double GetTipRadius() const;
  void SetTipRadius(double value);
  double GetTipOffset() const;
  void SetTipOffset(double value);
  double GetVOffset() const;
  void SetVOffset(double value);
  double GetTipHeightOffset() const;
  void SetTipHeightOffset(double value);
  double GetTipAngle() const;
  void SetTipAngle(double value);
  double GetVAngle() const;
  void SetVAngle(double value);
  int GetSectional() const;
  void SetSectional(int value);
  float GetPunchResistance() const;
  void SetPunchResistance(float value);
  float GetDieResistance() const;
  void SetDieResistance(float value);

 private:
  friend struct driverwyr::RecordKeys;
  // The fields in declaration order, with their defaults.
  struct Fields {
    CString ToolName_;
    CString ToolType_;
    CString Category_;
    double Profile_[64][2] = {};
    int NumProfilePoint_ = 0;
    double TipPoint_[2] = {};
    double PrmyAttachPoint_[2] = {};
    double SlaveAttachPoint_[2] = {};
    double ToolHeight_ = 0.0;
    double ToolRealHeight_ = 0.0;
    double ToolWidth_ = 0.0;
    double Edge2ForceLine_ = 0.0;
    bool Reverse_ = false;
    int SmallorLarger_ = 0;
    double VWidth_ = 0.0;
    double Angle_ = 0.0;
    double Radius_ = 0.0;
    int Flag4Die_ = 0;
    double XAttachOffset_ = 0.0;
    double StepHeight_ = 0.0;
    double MaxThickness_ = 0.0;
    double MinThickness_ = 0.0;
    int FollowType_ = 0;
    double FollowAngle_ = 0.0;
    double BackAngle_ = 0.0;
    double FrontOffset_ = 0.0;
    double BgEdgeMoveIn_ = 0.0;
    double MidPointOffset_ = 0.0;
    double SecondFollowAngle_ = 0.0;
    double TipRadius_ = 0.0;
    double TipOffset_ = 0.0;
    double VOffset_ = 0.0;
    double TipHeightOffset_ = 0.0;
    double TipAngle_ = 0.0;
    double VAngle_ = 0.0;
    int Sectional_ = 0;
    float PunchResistance_ = 0.0f;
    float DieResistance_ = 0.0f;
  };
  Fields fields_;
};

#endif  // DRIVERWYR_TOOL_H_
