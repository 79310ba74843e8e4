// Every accessor of the five record classes, visited in declaration order.
//
// A visitor walks the fields of a record through its public Get/Set pairs.
// Fill gives every field (every element of every array, to the last slot of
// each capacity) its own value derived from a seed; ExpectFilled checks that a
// record holds exactly the values Fill gave for that seed. So a copy that
// skips, truncates or swaps any field, or an accessor pair that stores in the
// wrong place, shows up with the field's name and element index.
// ExpectDefaultExcept checks that every field but the named ones is zero,
// false or empty, whole arrays included.
#ifndef DRIVERWYR_TESTS_RECORDS_RECORD_FIELDS_H_
#define DRIVERWYR_TESTS_RECORDS_RECORD_FIELDS_H_

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>

#include "driverwyr/driverwyr.h"

// Lets GoogleTest print CString values in failure messages.
inline void PrintTo(const CString& s, std::ostream* os) {
  *os << '"' << s.str() << "\" (" << s.GetLength() << " bytes)";
}

namespace records_testing {

// Field lists. Each record's list follows the declaration order of its
// members. The step setters that take a unit are visited as Converted: they
// are filled with whole millimetre values, which every one of them keeps.
// SetBendType comes before CoiningFlag and Mode and gets a value that leaves
// both flags alone. BendInnerRadius has no public accessor.
template <class V>
void VisitFields(V& v, const CPPStepInfo*) {
  using C = CPPStepInfo;
  v.Scalar("NumberInSquence", &C::GetNumberInSquence, &C::SetNumberInSquence);
  v.Scalar("SetUpName", &C::GetSetUpName, &C::SetSetUpName);
  v.Scalar("SetupIndex", &C::GetSetupIndex, &C::SetSetupIndex);
  v.Scalar("BendType", &C::GetBendType, &C::SetBendType);
  v.Scalar("ControlType", &C::GetControlType, &C::SetControlType);
  v.Converted("StepValue", &C::GetStepValue, &C::SetStepValue);
  v.Scalar("CycleNo", &C::GetCycleNo, &C::SetCycleNo);
  v.Scalar("CoiningFlag", &C::GetCoiningFlag, &C::SetCoiningFlag);
  v.Scalar("Mode", &C::GetMode, &C::SetMode);
  v.Converted("BendLength", &C::GetBendLength, &C::SetBendLength);
  v.Scalar("BendAngle", &C::GetBendAngle, &C::SetBendAngle);
  v.Scalar("Y1", &C::GetY1, &C::SetY1);
  v.Scalar("Y2", &C::GetY2, &C::SetY2);
  v.Array("XX", &C::GetXX, &C::SetXX, 4);
  v.Array("YY", &C::GetYY, &C::SetYY, 4);
  v.Array("ZZ", &C::GetZZ, &C::SetZZ, 4);
  v.Scalar("BendDeduction", &C::GetBendDeduction, &C::SetBendDeduction);
  v.Scalar("TonnageValue", &C::GetTonnageValue, &C::SetTonnageValue);
  v.Converted("ODC", &C::GetODC, &C::SetODC);
  v.Converted("RetractStroke", &C::GetRetractStroke, &C::SetRetractStroke);
  v.Converted("Offset", &C::GetOffset, &C::SetOffset);
  v.Scalar("MaterialVPos", &C::GetMaterialVPos, &C::SetMaterialVPos);
  v.Array("ToolReverse", &C::GetToolReverse, &C::SetTollReverse, 6);
  v.Array("ToolID", &C::GetToolID, &C::SetToolID, 6);
  v.Array("RayID", &C::GetRayID, &C::SetRayID, 6);
  v.Scalar("PinchPointValue", &C::GetPinchPointValue, &C::SetPinchPointValue);
  v.Scalar("FlagAutoCompen", &C::GetFlagAutoCompen, &C::SetFlagAutoCompen);
  v.Scalar("BGRetractFlag", &C::GetBGRetractFlag, &C::SetBGRetractFlag);
  v.Converted("BendingSpeed", &C::GetBendingSpeed, &C::SetBendingSpeed);
  v.Scalar("ReturnSpeed", &C::GetReturnSpeed, &C::SetReturnSpeed);
  v.Scalar("DwellBG", &C::GetDwellBG, &C::SetDwellBG);
  v.Scalar("DwellEndBend", &C::GetDwellEndBend, &C::SetDwellEndBend);
  v.Scalar("Y1Compen", &C::GetY1Compen, &C::SetY1Compen);
  v.Scalar("Y2Compen", &C::GetY2Compen, &C::SetY2Compen);
  v.Scalar("X1Compen", &C::GetX1Compen, &C::SetX1Compen);
  v.Scalar("X2Compen", &C::GetX2Compen, &C::SetX2Compen);
  v.Scalar("R1Compen", &C::GetR1Compen, &C::SetR1Compen);
  v.Scalar("R2Compen", &C::GetR2Compen, &C::SetR2Compen);
  v.Scalar("Z1Compen", &C::GetZ1Compen, &C::SetZ1Compen);
  v.Scalar("Z2Compen", &C::GetZ2Compen, &C::SetZ2Compen);
  v.Scalar("AngleCompen", &C::GetAngleCompen, &C::SetAngleCompen);
  v.Scalar("BendNoBGPos", &C::GetBendNoBGPos, &C::SetBendNoBGPos);
  v.Scalar("AuxFunc", &C::GetAuxFunc, &C::SetAuxFunc);
  v.Scalar("FlagSheetMove", &C::GetFlagSheetMove, &C::SetFlagSheetMove);
  v.Scalar("SequenceOrder", &C::GetSequenceOrder, &C::SetSequenceOrder);
  v.Scalar("FlangeLength", &C::GetFlangeLength, &C::SetFlangeLength);
}

template <class V>
void VisitFields(V& v, const CPPTool*) {
  using C = CPPTool;
  v.Scalar("ToolName", &C::GetToolName, &C::SetToolName);
  v.Scalar("ToolType", &C::GetToolType, &C::SetToolType);
  v.Scalar("Category", &C::GetCategory, &C::SetCategory);
  v.Array("Profile", &C::GetProfile, &C::SetProfile, 64);
  v.Scalar("NumProfilePoint", &C::GetNumProfilePoint, &C::SetNumProfilePoint);
  v.Array("TipPoint", &C::GetTipPoint, &C::SetTipPoint, 2);
  v.Array("PrmyAttachPoint", &C::GetPrmyAttachPoint, &C::SetPrmyAttachPoint, 2);
  v.Array("SlaveAttachPoint", &C::GetSlaveAttachPoint, &C::SetSlaveAttachPoint, 2);
  v.Scalar("ToolHeight", &C::GetToolHeight, &C::SetToolHeight);
  v.Scalar("ToolRealHeight", &C::GetToolRealHeight, &C::SetToolRealHeight);
  v.Scalar("ToolWidth", &C::GetToolWidth, &C::SetToolWidth);
  v.Scalar("Edge2ForceLine", &C::GetEdge2ForceLine, &C::SetEdge2ForceLine);
  v.Scalar("Reverse", &C::GetReverse, &C::SetReverse);
  v.Scalar("SmallorLarger", &C::GetSmallorLarger, &C::SetSmallorLarger);
  v.Scalar("VWidth", &C::GetVWidth, &C::SetVWidth);
  v.Scalar("Angle", &C::GetAngle, &C::SetAngle);
  v.Scalar("Radius", &C::GetRadius, &C::SetRadius);
  v.Scalar("Flag4Die", &C::GetFlag4Die, &C::SetFlag4Die);
  v.Scalar("XAttachOffset", &C::GetXAttachOffset, &C::SetXAttachOffset);
  v.Scalar("StepHeight", &C::GetStepHeight, &C::SetStepHeight);
  v.Scalar("MaxThickness", &C::GetMaxThickness, &C::SetMaxThickness);
  v.Scalar("MinThickness", &C::GetMinThickness, &C::SetMinThickness);
  v.Scalar("FollowType", &C::GetFollowType, &C::SetFollowType);
  v.Scalar("FollowAngle", &C::GetFollowAngle, &C::SetFollowAngle);
  v.Scalar("BackAngle", &C::GetBackAngle, &C::SetBackAngle);
  v.Scalar("FrontOffset", &C::GetFrontOffset, &C::SetFrontOffset);
  v.Scalar("BgEdgeMoveIn", &C::GetBgEdgeMoveIn, &C::SetBgEdgeMoveIn);
  v.Scalar("MidPointOffset", &C::GetMidPointOffset, &C::SetMidPointOffset);
  v.Scalar("SecondFollowAngle", &C::GetSecondFollowAngle, &C::SetSecondFollowAngle);
  v.Scalar("TipRadius", &C::GetTipRadius, &C::SetTipRadius);
  v.Scalar("TipOffset", &C::GetTipOffset, &C::SetTipOffset);
  v.Scalar("VOffset", &C::GetVOffset, &C::SetVOffset);
  v.Scalar("TipHeightOffset", &C::GetTipHeightOffset, &C::SetTipHeightOffset);
  v.Scalar("TipAngle", &C::GetTipAngle, &C::SetTipAngle);
  v.Scalar("VAngle", &C::GetVAngle, &C::SetVAngle);
  v.Scalar("Sectional", &C::GetSectional, &C::SetSectional);
  v.Scalar("PunchResistance", &C::GetPunchResistance, &C::SetPunchResistance);
  v.Scalar("DieResistance", &C::GetDieResistance, &C::SetDieResistance);
}

template <class V>
void VisitFields(V& v, const CPPMachine*) {
  using C = CPPMachine;
  v.Scalar("UserMachineName", &C::GetUserMachineName, &C::SetUserMachineName);
  v.Scalar("MachineName", &C::GetMachineName, &C::SetMachineName);
  v.Scalar("CtrlSystem", &C::GetCtrlSystem, &C::SetCtrlSystem);
  v.Scalar("FingerType", &C::GetFingerType, &C::SetFingerType);
  v.Scalar("ProtocolBoard", &C::GetProtocolBoard, &C::SetProtocolBoard);
  v.Scalar("CylinderNumber", &C::GetCylinderNumber, &C::SetCylinderNumber);
  v.Scalar("LengthUnit", &C::GetLengthUnit, &C::SetLengthUnit);
  v.Scalar("Tonnage", &C::GetTonnage, &C::SetTonnage);
  v.Scalar("MinTonnage", &C::GetMinTonnage, &C::SetMinTonnage);
  v.Scalar("FrameTightness", &C::GetFrameTightness, &C::SetFrameTightness);
  v.Scalar("OriginPressure", &C::GetOriginPressure, &C::SetOriginPressure);
  v.Scalar("MaxPressure", &C::GetMaxPressure, &C::SetMaxPressure);
  v.Scalar("MaxBendingLength", &C::GetMaxBendingLength, &C::SetMaxBendingLength);
  v.Scalar("MaxStrokeHeight", &C::GetMaxStrokeHeight, &C::SetMaxStrokeHeight);
  v.Scalar("OpenHeight", &C::GetOpenHeight, &C::SetOpenHeight);
  v.Scalar("SignificantHeight", &C::GetSignificantHeight, &C::SetSignificantHeight);
  v.Scalar("LowerBeamHeight", &C::GetLowerBeamHeight, &C::SetLowerBeamHeight);
  v.Scalar("MainBeamSpan", &C::GetMainBeamSpan, &C::SetMainBeamSpan);
  v.Scalar("SignifcantSpan", &C::GetSignifcantSpan, &C::SetSignifcantSpan);
  v.Scalar("MainBodyDepth", &C::GetMainBodyDepth, &C::SetMainBodyDepth);
  v.Scalar("BlockInUpBeam", &C::GetBlockInUpBeam, &C::SetBlockInUpBeam);
  v.Scalar("BlockInLowBeam", &C::GetBlockInLowBeam, &C::SetBlockInLowBeam);
  v.Array("ExtrusionVectorBlockOfUpBeam", &C::GetExtrusionVectorBlockOfUpBeam,
          &C::SetExtrusionVectorBlockOfUpBeam, 32);
  v.Array("ExtrusionVectorBlockOfLowerBeam", &C::GetExtrusionVectorBlockOfLowerBeam,
          &C::SetExtrusionVectorBlockOfLowerBeam, 32);
  v.Array("UpBeamProfile", &C::GetUpBeamProfile, &C::SetUpBeamProfile, 32);
  v.Array("NumUpBeamPoint", &C::GetNumUpBeamPoint, &C::SetNumUpBeamPoint, 32);
  v.Array("LowBeamProfile", &C::GetLowBeamProfile, &C::SetLowBeamProfile, 32);
  v.Array("NumLowerBeamPoint", &C::GetNumLowerBeamPoint, &C::SetNumLowerBeamPoint, 32);
  v.Array("UpBeamAttach", &C::GetUpBeamAttach, &C::SetUpBeamAttach, 2);
  v.Array("LowBeamAttach", &C::GetLowBeamAttach, &C::SetLowBeamAttach, 2);
  v.Scalar("clampAtCerter", &C::GetclampAtCerter, &C::SetclampAtCerter);
  v.Scalar("ClampLength", &C::GetClampLength, &C::SetClampLength);
  v.Scalar("ClampPitch", &C::GetClampPitch, &C::SetClampPitch);
  v.Scalar("DefaultPHLLength", &C::GetDefaultPHLLength, &C::SetDefaultPHLLength);
  v.Scalar("DefaultPHLPitch", &C::GetDefaultPHLPitch, &C::SetDefaultPHLPitch);
  v.Array("PHLProfile", &C::GetPHLProfile, &C::SetPHLProfile, 64);
  v.Scalar("NumPHLPoint", &C::GetNumPHLPoint, &C::SetNumPHLPoint);
  v.Array("PHLTopAttach", &C::GetPHLTopAttach, &C::SetPHLTopAttach, 2);
  v.Array("PHLPunchAttach", &C::GetPHLPunchAttach, &C::SetPHLPunchAttach, 2);
  v.Array("PHLClampAttach", &C::GetPHLClampAttach, &C::SetPHLClampAttach, 2);
  v.Array("ClampProfile", &C::GetClampProfile, &C::SetClampProfile, 64);
  v.Scalar("NumClampPoint", &C::GetNumClampPoint, &C::SetNumClampPoint);
  v.Array("ClampAttach", &C::GetClampAttach, &C::SetClampAttach, 2);
}

template <class V>
void VisitFields(V& v, const CPPBGauge*) {
  using C = CPPBGauge;
  v.Scalar("Num", &C::GetNum, &C::SetNum);
  v.Scalar("ControlSystem", &C::GetControlSystem, &C::SetControlSystem);
  v.Scalar("FingerType", &C::GetFingerType, &C::SetFingerType);
  v.Scalar("NumberOfAxis", &C::GetNumberOfAxis, &C::SetNumberOfAxis);
  v.Scalar("AdjustmentMethod", &C::GetAdjustmentMethod, &C::SetAdjustmentMethod);
  v.Scalar("LengthUnit", &C::GetLengthUnit, &C::SetLengthUnit);
  v.Scalar("FingerWidth", &C::GetFingerWidth, &C::SetFingerWidth);
  v.Scalar("FingerThickness", &C::GetFingerThickness, &C::SetFingerThickness);
  v.Scalar("FingerVLower", &C::GetFingerVLower, &C::SetFingerVLower);
  v.Scalar("FingerVUpper", &C::GetFingerVUpper, &C::SetFingerVUpper);
  v.Scalar("FingerAdjustLocation", &C::GetFingerAdjustLocation, &C::SetFingerAdjustLocation);
  v.Scalar("FingerAdjustHeight", &C::GetFingerAdjustHeight, &C::SetFingerAdjustHeight);
  v.Scalar("FingerHLeft", &C::GetFingerHLeft, &C::SetFingerHLeft);
  v.Scalar("FingerHRight", &C::GetFingerHRight, &C::SetFingerHRight);
  v.Scalar("FingerContactMin", &C::GetFingerContactMin, &C::SetFingerContactMin);
  v.Scalar("YRangeMin", &C::GetYRangeMin, &C::SetYRangeMin);
  v.Scalar("YRangeMax", &C::GetYRangeMax, &C::SetYRangeMax);
  v.Scalar("ZRangeMin", &C::GetZRangeMin, &C::SetZRangeMin);
  v.Scalar("ZRangeMax", &C::GetZRangeMax, &C::SetZRangeMax);
  v.Array("BodyProfile", &C::GetBodyProfile, &C::SetBodyProfile, 64);
  v.Scalar("NumBodyPoint", &C::GetNumBodyPoint, &C::SetNumBodyPoint);
  v.Array("BodyDir", &C::GetBodyDir, &C::SetBodyDir, 3);
  v.Array("FingerProfile", &C::GetFingerProfile, &C::SetFingerProfile, 64);
  v.Scalar("NumFingerPoint", &C::GetNumFingerPoint, &C::SetNumFingerPoint);
  v.Array("FingerDir", &C::GetFingerDir, &C::SetFingerDir, 3);
  v.Array("MotorProfile", &C::GetMotorProfile, &C::SetMotorProfile, 64);
  v.Scalar("NumMotorPoint", &C::GetNumMotorPoint, &C::SetNumMotorPoint);
  v.Array("MotorDir", &C::GetMotorDir, &C::SetMotorDir, 3);
}

template <class V>
void VisitFields(V& v, const CPPSetup*) {
  using C = CPPSetup;
  v.Scalar("SetupName", &C::GetSetupName, &C::SetSetupName);
  v.Scalar("ControlType", &C::GetControlType, &C::SetControlType);
  v.Scalar("MachineModel", &C::GetMachineModel, &C::SetMachineModel);
  v.Scalar("SetupIndex", &C::GetSetupIndex, &C::SetSetupIndex);
  v.Scalar("UserMachineName", &C::GetUserMachineName, &C::SetUserMachineName);
  v.Scalar("BendingCoefficient", &C::GetBendingCoefficient, &C::SetBendingCoefficient);
}

// The value Fill gives element `element` of the k-th scalar of a record.
// Numbers are distinct per field and seed and exact in a float; strings carry
// a NUL in the middle, so a copy that stops at the first NUL is caught; each
// 32-byte tool name has a NUL at byte 5 followed by non-zero bytes.
template <class T>
T SampleValue(const char* name, int seed, int k, int element) {
  if constexpr (std::is_same_v<T, CString>) {
    std::string text = std::string(name) + '\0' + std::to_string(seed);
    return CString(text.data(), static_cast<int>(text.size()));
  } else if constexpr (std::is_same_v<T, bool>) {
    return (seed + k) % 3 != 0;
  } else if constexpr (std::is_same_v<T, char>) {
    return element % 32 == 5 ? '\0' : static_cast<char>(0x21 + (seed * 7 + k) % 200);
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<T>(seed * 1000 + k);
  } else {
    return static_cast<T>(seed * 100000 + k) + static_cast<T>(0.25);
  }
}

template <class C>
class Filler {
 public:
  Filler(C& record, int seed) : record_(record), seed_(seed) {}

  template <class G, class S>
  void Scalar(const char* name, G (C::*get)() const, void (C::*set)(S)) {
    if constexpr (std::is_same_v<S, bool>) {
      // A flag gets the opposite of its default, so a lost copy shows.
      (record_.*set)(!(C().*get)());
    } else {
      (record_.*set)(SampleValue<S>(name, seed_, k_, 0));
    }
    ++k_;
  }

  template <class G, class F>
  void Converted(const char*, G (C::*)() const, void (C::*set)(F, int)) {
    (record_.*set)(static_cast<F>(seed_ * 1000 + k_), 0);
    ++k_;
  }

  template <class R>
  void Array(const char* name, void (C::*)(R*) const, void (C::*set)(const R*), int rows) {
    using E = std::remove_all_extents_t<R>;
    const std::size_t count = static_cast<std::size_t>(rows) * (sizeof(R) / sizeof(E));
    auto flat = std::make_unique<E[]>(count);
    for (std::size_t i = 0; i < count; ++i) {
      flat[i] = SampleValue<E>(name, seed_, k_++, static_cast<int>(i));
    }
    auto shaped = std::make_unique<R[]>(static_cast<std::size_t>(rows));
    std::memcpy(static_cast<void*>(shaped.get()), flat.get(), count * sizeof(E));
    (record_.*set)(shaped.get());
  }

 private:
  C& record_;
  int seed_;
  int k_ = 0;
};

template <class C>
class FilledChecker {
 public:
  FilledChecker(const C& record, int seed) : record_(record), seed_(seed) {}

  template <class G, class S>
  void Scalar(const char* name, G (C::*get)() const, void (C::*)(S)) {
    const G actual = (record_.*get)();
    if constexpr (std::is_same_v<S, bool>) {
      EXPECT_EQ(actual, !(C().*get)()) << name << " (seed " << seed_ << ")";
    } else {
      EXPECT_EQ(actual, static_cast<G>(SampleValue<S>(name, seed_, k_, 0)))
          << name << " (seed " << seed_ << ")";
    }
    ++k_;
  }

  template <class G, class F>
  void Converted(const char* name, G (C::*get)() const, void (C::*)(F, int)) {
    EXPECT_EQ((record_.*get)(), static_cast<G>(seed_ * 1000 + k_)) << name << " (seed " << seed_ << ")";
    ++k_;
  }

  template <class R>
  void Array(const char* name, void (C::*get)(R*) const, void (C::*)(const R*), int rows) {
    using E = std::remove_all_extents_t<R>;
    const std::size_t count = static_cast<std::size_t>(rows) * (sizeof(R) / sizeof(E));
    auto shaped = std::make_unique<R[]>(static_cast<std::size_t>(rows));
    std::memset(static_cast<void*>(shaped.get()), 0x5A, count * sizeof(E));  // not a sample value
    (record_.*get)(shaped.get());
    auto flat = std::make_unique<E[]>(count);
    std::memcpy(flat.get(), static_cast<const void*>(shaped.get()), count * sizeof(E));
    int mismatches = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const E expected = SampleValue<E>(name, seed_, k_++, static_cast<int>(i));
      if (flat[i] != expected && ++mismatches <= 3) {
        ADD_FAILURE() << name << "[" << i << "] of " << count << " (seed " << seed_
                      << "): got " << +flat[i] << ", want " << +expected;
      }
    }
    EXPECT_EQ(mismatches, 0) << name << ": elements that differ";
  }

 private:
  const C& record_;
  int seed_;
  int k_ = 0;
};

template <class C>
class DefaultChecker {
 public:
  DefaultChecker(const C& record, std::set<std::string> exceptions)
      : record_(record), exceptions_(std::move(exceptions)) {}

  template <class G, class S>
  void Scalar(const char* name, G (C::*get)() const, void (C::*)(S)) {
    if (exceptions_.count(name) != 0) return;
    const G actual = (record_.*get)();
    if constexpr (std::is_same_v<G, CString>) {
      EXPECT_TRUE(actual.IsEmpty()) << name << " is \"" << actual.str() << "\"";
    } else {
      EXPECT_EQ(actual, G{}) << name;
    }
  }

  template <class G, class F>
  void Converted(const char* name, G (C::*get)() const, void (C::*)(F, int)) {
    if (exceptions_.count(name) == 0) {
      EXPECT_EQ((record_.*get)(), G{}) << name;
    }
  }

  template <class R>
  void Array(const char* name, void (C::*get)(R*) const, void (C::*)(const R*), int rows) {
    using E = std::remove_all_extents_t<R>;
    const std::size_t count = static_cast<std::size_t>(rows) * (sizeof(R) / sizeof(E));
    auto shaped = std::make_unique<R[]>(static_cast<std::size_t>(rows));
    std::memset(static_cast<void*>(shaped.get()), 0x5A, count * sizeof(E));
    (record_.*get)(shaped.get());
    auto flat = std::make_unique<E[]>(count);
    std::memcpy(flat.get(), static_cast<const void*>(shaped.get()), count * sizeof(E));
    int nonzero = 0;
    for (std::size_t i = 0; i < count; ++i) nonzero += flat[i] != E{} ? 1 : 0;
    EXPECT_EQ(nonzero, 0) << name << ": non-zero elements of " << count;
  }

 private:
  const C& record_;
  std::set<std::string> exceptions_;
};

// Gives every field of `record` its sample value for `seed` (seed 1 to 30).
template <class C>
void Fill(C& record, int seed) {
  Filler<C> filler(record, seed);
  VisitFields(filler, static_cast<const C*>(nullptr));
}

// Checks that every field of `record` holds its sample value for `seed`.
template <class C>
void ExpectFilled(const C& record, int seed) {
  FilledChecker<C> checker(record, seed);
  VisitFields(checker, static_cast<const C*>(nullptr));
}

// Checks that every field but `exceptions` is zero, false or empty.
template <class C>
void ExpectDefaultExcept(const C& record, std::set<std::string> exceptions) {
  DefaultChecker<C> checker(record, std::move(exceptions));
  VisitFields(checker, static_cast<const C*>(nullptr));
}

}  // namespace records_testing

#endif  // DRIVERWYR_TESTS_RECORDS_RECORD_FIELDS_H_
