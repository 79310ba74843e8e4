#include "driverwyr/tool.h"

#include <cstring>
#include <utility>

#include "records/record_copy.h"

CPPTool::CPPTool() = default;

CPPTool::CPPTool(const CPPTool& other) : CPPTool() { *this = other; }

const CPPTool& CPPTool::operator=(const CPPTool& other) {
  if (this != &other) {
    Fields& to = fields_;
    const Fields& from = other.fields_;
    DRIVERWYR_COPY_FIELDS(DRIVERWYR_TOOL_FIELDS)
  }
  return *this;
}

CPPTool::~CPPTool() = default;

CString CPPTool::GetToolName() const { return fields_.ToolName_; }
void CPPTool::SetToolName(CString value) { fields_.ToolName_ = std::move(value); }

CString CPPTool::GetToolType() const { return fields_.ToolType_; }
void CPPTool::SetToolType(CString value) { fields_.ToolType_ = std::move(value); }

CString CPPTool::GetCategory() const { return fields_.Category_; }
void CPPTool::SetCategory(CString value) { fields_.Category_ = std::move(value); }

void CPPTool::GetProfile(double (*out)[2]) const { std::memcpy(out, fields_.Profile_, sizeof(fields_.Profile_)); }
void CPPTool::SetProfile(const double (*in)[2]) { std::memcpy(fields_.Profile_, in, sizeof(fields_.Profile_)); }

int CPPTool::GetNumProfilePoint() const { return fields_.NumProfilePoint_; }
void CPPTool::SetNumProfilePoint(int value) { fields_.NumProfilePoint_ = value; }

void CPPTool::GetTipPoint(double* out) const { std::memcpy(out, fields_.TipPoint_, sizeof(fields_.TipPoint_)); }
void CPPTool::SetTipPoint(const double* in) { std::memcpy(fields_.TipPoint_, in, sizeof(fields_.TipPoint_)); }

void CPPTool::GetPrmyAttachPoint(double* out) const { std::memcpy(out, fields_.PrmyAttachPoint_, sizeof(fields_.PrmyAttachPoint_)); }
void CPPTool::SetPrmyAttachPoint(const double* in) { std::memcpy(fields_.PrmyAttachPoint_, in, sizeof(fields_.PrmyAttachPoint_)); }

void CPPTool::GetSlaveAttachPoint(double* out) const { std::memcpy(out, fields_.SlaveAttachPoint_, sizeof(fields_.SlaveAttachPoint_)); }
void CPPTool::SetSlaveAttachPoint(const double* in) { std::memcpy(fields_.SlaveAttachPoint_, in, sizeof(fields_.SlaveAttachPoint_)); }

double CPPTool::GetToolHeight() const { return fields_.ToolHeight_; }
void CPPTool::SetToolHeight(double value) { fields_.ToolHeight_ = value; }

double CPPTool::GetToolRealHeight() const { return fields_.ToolRealHeight_; }
void CPPTool::SetToolRealHeight(double value) { fields_.ToolRealHeight_ = value; }

double CPPTool::GetToolWidth() const { return fields_.ToolWidth_; }
void CPPTool::SetToolWidth(double value) { fields_.ToolWidth_ = value; }

double CPPTool::GetEdge2ForceLine() const { return fields_.Edge2ForceLine_; }
void CPPTool::SetEdge2ForceLine(double value) { fields_.Edge2ForceLine_ = value; }

bool CPPTool::GetReverse() const { return fields_.Reverse_; }
void CPPTool::SetReverse(bool value) { fields_.Reverse_ = value; }

int CPPTool::GetSmallorLarger() const { return fields_.SmallorLarger_; }
void CPPTool::SetSmallorLarger(int value) { fields_.SmallorLarger_ = value; }

double CPPTool::GetVWidth() const { return fields_.VWidth_; }
void CPPTool::SetVWidth(double value) { fields_.VWidth_ = value; }

double CPPTool::GetAngle() const { return fields_.Angle_; }
void CPPTool::SetAngle(double value) { fields_.Angle_ = value; }

double CPPTool::GetRadius() const { return fields_.Radius_; }
void CPPTool::SetRadius(double value) { fields_.Radius_ = value; }

int CPPTool::GetFlag4Die() const { return fields_.Flag4Die_; }
void CPPTool::SetFlag4Die(int value) { fields_.Flag4Die_ = value; }

double CPPTool::GetXAttachOffset() const { return fields_.XAttachOffset_; }
void CPPTool::SetXAttachOffset(double value) { fields_.XAttachOffset_ = value; }

double CPPTool::GetStepHeight() const { return fields_.StepHeight_; }
void CPPTool::SetStepHeight(double value) { fields_.StepHeight_ = value; }

double CPPTool::GetMaxThickness() const { return fields_.MaxThickness_; }
void CPPTool::SetMaxThickness(double value) { fields_.MaxThickness_ = value; }

double CPPTool::GetMinThickness() const { return fields_.MinThickness_; }
void CPPTool::SetMinThickness(double value) { fields_.MinThickness_ = value; }

int CPPTool::GetFollowType() const { return fields_.FollowType_; }
void CPPTool::SetFollowType(int value) { fields_.FollowType_ = value; }

double CPPTool::GetFollowAngle() const { return fields_.FollowAngle_; }
void CPPTool::SetFollowAngle(double value) { fields_.FollowAngle_ = value; }

double CPPTool::GetBackAngle() const { return fields_.BackAngle_; }
void CPPTool::SetBackAngle(double value) { fields_.BackAngle_ = value; }

double CPPTool::GetFrontOffset() const { return fields_.FrontOffset_; }
void CPPTool::SetFrontOffset(double value) { fields_.FrontOffset_ = value; }

double CPPTool::GetBgEdgeMoveIn() const { return fields_.BgEdgeMoveIn_; }
void CPPTool::SetBgEdgeMoveIn(double value) { fields_.BgEdgeMoveIn_ = value; }

double CPPTool::GetMidPointOffset() const { return fields_.MidPointOffset_; }
void CPPTool::SetMidPointOffset(double value) { fields_.MidPointOffset_ = value; }

double CPPTool::GetSecondFollowAngle() const { return fields_.SecondFollowAngle_; }
void CPPTool::SetSecondFollowAngle(double value) { fields_.SecondFollowAngle_ = value; }

double CPPTool::GetTipRadius() const { return fields_.TipRadius_; }
void CPPTool::SetTipRadius(double value) { fields_.TipRadius_ = value; }

double CPPTool::GetTipOffset() const { return fields_.TipOffset_; }
void CPPTool::SetTipOffset(double value) { fields_.TipOffset_ = value; }

double CPPTool::GetVOffset() const { return fields_.VOffset_; }
void CPPTool::SetVOffset(double value) { fields_.VOffset_ = value; }

double CPPTool::GetTipHeightOffset() const { return fields_.TipHeightOffset_; }
void CPPTool::SetTipHeightOffset(double value) { fields_.TipHeightOffset_ = value; }

double CPPTool::GetTipAngle() const { return fields_.TipAngle_; }
void CPPTool::SetTipAngle(double value) { fields_.TipAngle_ = value; }

double CPPTool::GetVAngle() const { return fields_.VAngle_; }
void CPPTool::SetVAngle(double value) { fields_.VAngle_ = value; }

int CPPTool::GetSectional() const { return fields_.Sectional_; }
void CPPTool::SetSectional(int value) { fields_.Sectional_ = value; }

float CPPTool::GetPunchResistance() const { return fields_.PunchResistance_; }
void CPPTool::SetPunchResistance(float value) { fields_.PunchResistance_ = value; }

float CPPTool::GetDieResistance() const { return fields_.DieResistance_; }
void CPPTool::SetDieResistance(float value) { fields_.DieResistance_ = value; }
