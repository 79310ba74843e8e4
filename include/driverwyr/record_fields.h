// The fields of the five record classes as one table, for code that handles
// every field alike: readers and writers of records, printers, wrappers for
// other languages.
//
// The header holds nothing but preprocessor lists ("X macros"), so C and C++
// can both expand them; it declares nothing and includes nothing. Each
// DRIVERWYR_<RECORD>_FIELDS list names every field of its class, in the
// class's declaration order, which is also the order in which a host that
// sets every field should call the setters (SetBendType changes CoiningFlag
// and Mode; SetBendingSpeed reads ControlType). A list takes five macros, one
// per kind of field, and expands to one call of the matching macro per field:
//
//   SCALAR(Stem, GetType, SetType, Setter, Check)
//     A number or flag. `GetType Get<Stem>() const` returns the stored value;
//     `void Setter(SetType value)` stores it. The two types differ where the
//     setter converts: SetFingerHLeft(int) stores a double.
//   CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check)
//     A length or speed whose setter takes the unit as well:
//     `void Setter(SetType value, int unit)`, unit 1 for inch and anything
//     else for millimetre; `GetType Get<Stem>() const` returns millimetres.
//     InchDecimals and MmDecimals give the decimals to which the setter
//     truncates the value (TruncateToDecimals) before it multiplies an inch
//     value by 25.4, or before it stores a millimetre value; -1 where it does
//     not truncate. GetType short means that the result is stored as whole
//     millimetres in 16 bits (rounded as the record's header says).
//   STRING(Stem, Setter, Check)
//     A text: `CString Get<Stem>() const` and `void Setter(CString value)`.
//   ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows)
//     A fixed array of Rows rows whose further dimensions are Inner (empty,
//     or bracketed like [2] or [64][3]): the field is `Elem Stem[Rows] Inner`.
//     `void Get<Stem>(Elem (*out) Inner) const` copies the whole array out and
//     `void Setter(const Elem (*in) Inner)` copies it in, so a wrapper can
//     copy through a plain `Elem*` of sizeof(Elem[Rows] Inner) / sizeof(Elem)
//     elements. An Elem of char holds Rows names of the Inner width, each
//     ending at its first NUL or filling its row.
//   INTERNAL(Stem, Type)
//     A field with no public accessor: it has no setter and its getter is
//     protected (BendInnerRadius).
//
// Stem is the accessor stem, spelled exactly as the exported names spell it
// (NumberInSquence, SmallorLarger, SignifcantSpan, clampAtCerter). The getter
// is always Get<Stem>; Setter is the setter's full name, which is Set<Stem>
// except for ToolReverse, whose setter is SetTollReverse. Element and value
// types are C types: int, short, float, double, bool (<stdbool.h> in C),
// char, driverwyr_long (the host's 32-bit long, from driverwyr/export.h);
// CString is the class of driverwyr/cstring.h.
//
// Check tells how `wyr check` lists the field: 0 when it does not, else the
// field's position (1, 2, ...) among the listed fields of its record. An array
// lists its first CheckRows rows: one line per element, per name for char,
// and all flags on one line for bool.
//
// DRIVERWYR_<RECORD>_FIELDLESS_SETTERS(X) lists the setters that store no
// field of their own, as X(Setter, SetType): SetBendingDepth(float) sets Y1 and
// Y2 to 0. DRIVERWYR_RECORDS(X) lists the classes with their two lists, as
// X(Class, FieldsList, FieldlessSettersList).
//
// An example, the names of the tool fields as C strings:
//
//   #define NAME(Stem, ...) #Stem,
//   #define NONE(...)
//   static const char* const kToolFields[] = {
//       DRIVERWYR_TOOL_FIELDS(NAME, NAME, NAME, NAME, NONE)};
#ifndef DRIVERWYR_RECORD_FIELDS_H_
#define DRIVERWYR_RECORD_FIELDS_H_

#define DRIVERWYR_RECORDS(X)                                                        \
  X(CPPStepInfo, DRIVERWYR_STEP_FIELDS, DRIVERWYR_STEP_FIELDLESS_SETTERS)           \
  X(CPPTool, DRIVERWYR_TOOL_FIELDS, DRIVERWYR_TOOL_FIELDLESS_SETTERS)               \
  X(CPPSetup, DRIVERWYR_SETUP_FIELDS, DRIVERWYR_SETUP_FIELDLESS_SETTERS)            \
  X(CPPMachine, DRIVERWYR_MACHINE_FIELDS, DRIVERWYR_MACHINE_FIELDLESS_SETTERS)      \
  X(CPPBGauge, DRIVERWYR_BGAUGE_FIELDS, DRIVERWYR_BGAUGE_FIELDLESS_SETTERS)

// CPPStepInfo (driverwyr/step_info.h).
#define DRIVERWYR_STEP_FIELDS(SCALAR, CONVERTED, STRING, ARRAY, INTERNAL)          \
  SCALAR(NumberInSquence, int, int, SetNumberInSquence, 1)                         \
  STRING(SetUpName, SetSetUpName, 2)                                               \
  SCALAR(SetupIndex, int, int, SetSetupIndex, 3)                                   \
  SCALAR(BendType, int, int, SetBendType, 4)                                       \
  SCALAR(ControlType, int, int, SetControlType, 5)                                 \
  CONVERTED(StepValue, float, float, SetStepValue, 3, 0, 6)                        \
  SCALAR(CycleNo, short, short, SetCycleNo, 7)                                     \
  SCALAR(CoiningFlag, short, short, SetCoiningFlag, 8)                             \
  SCALAR(Mode, short, short, SetMode, 9)                                           \
  CONVERTED(BendLength, short, float, SetBendLength, 1, -1, 10)                    \
  SCALAR(BendAngle, float, float, SetBendAngle, 11)                                \
  SCALAR(Y1, float, float, SetY1, 12)                                              \
  SCALAR(Y2, float, float, SetY2, 13)                                              \
  ARRAY(XX, double, 4, , SetXX, 14, 2)                                             \
  ARRAY(YY, double, 4, , SetYY, 15, 2)                                             \
  ARRAY(ZZ, double, 4, , SetZZ, 16, 2)                                             \
  INTERNAL(BendInnerRadius, float)                                                 \
  SCALAR(BendDeduction, float, float, SetBendDeduction, 0)                         \
  SCALAR(TonnageValue, float, float, SetTonnageValue, 17)                          \
  CONVERTED(ODC, short, float, SetODC, -1, -1, 18)                                 \
  CONVERTED(RetractStroke, float, float, SetRetractStroke, 2, 1, 19)               \
  CONVERTED(Offset, float, float, SetOffset, 2, 1, 20)                             \
  SCALAR(MaterialVPos, double, double, SetMaterialVPos, 0)                         \
  ARRAY(ToolReverse, bool, 6, , SetTollReverse, 21, 6)                             \
  ARRAY(ToolID, char, 6, [32], SetToolID, 22, 6)                                   \
  ARRAY(RayID, driverwyr_long, 6, , SetRayID, 0, 0)                                \
  SCALAR(PinchPointValue, float, float, SetPinchPointValue, 23)                    \
  SCALAR(FlagAutoCompen, short, short, SetFlagAutoCompen, 24)                      \
  SCALAR(BGRetractFlag, short, short, SetBGRetractFlag, 25)                        \
  CONVERTED(BendingSpeed, short, double, SetBendingSpeed, -1, -1, 26)              \
  SCALAR(ReturnSpeed, short, short, SetReturnSpeed, 27)                            \
  SCALAR(DwellBG, float, float, SetDwellBG, 28)                                    \
  SCALAR(DwellEndBend, float, float, SetDwellEndBend, 29)                          \
  SCALAR(Y1Compen, float, float, SetY1Compen, 30)                                  \
  SCALAR(Y2Compen, float, float, SetY2Compen, 31)                                  \
  SCALAR(X1Compen, float, float, SetX1Compen, 32)                                  \
  SCALAR(X2Compen, float, float, SetX2Compen, 33)                                  \
  SCALAR(R1Compen, float, float, SetR1Compen, 34)                                  \
  SCALAR(R2Compen, float, float, SetR2Compen, 35)                                  \
  SCALAR(Z1Compen, float, float, SetZ1Compen, 36)                                  \
  SCALAR(Z2Compen, float, float, SetZ2Compen, 37)                                  \
  SCALAR(AngleCompen, float, float, SetAngleCompen, 38)                            \
  SCALAR(BendNoBGPos, short, short, SetBendNoBGPos, 39)                            \
  STRING(AuxFunc, SetAuxFunc, 40)                                                  \
  SCALAR(FlagSheetMove, short, short, SetFlagSheetMove, 41)                        \
  SCALAR(SequenceOrder, short, short, SetSequenceOrder, 42)                        \
  SCALAR(FlangeLength, float, float, SetFlangeLength, 43)

#define DRIVERWYR_STEP_FIELDLESS_SETTERS(X) X(SetBendingDepth, float)

// CPPTool (driverwyr/tool.h).
#define DRIVERWYR_TOOL_FIELDS(SCALAR, CONVERTED, STRING, ARRAY, INTERNAL)          \
  STRING(ToolName, SetToolName, 1)                                                 \
  STRING(ToolType, SetToolType, 0)                                                 \
  STRING(Category, SetCategory, 2)                                                 \
  ARRAY(Profile, double, 64, [2], SetProfile, 0, 0)                                \
  SCALAR(NumProfilePoint, int, int, SetNumProfilePoint, 0)                         \
  ARRAY(TipPoint, double, 2, , SetTipPoint, 0, 0)                                  \
  ARRAY(PrmyAttachPoint, double, 2, , SetPrmyAttachPoint, 0, 0)                    \
  ARRAY(SlaveAttachPoint, double, 2, , SetSlaveAttachPoint, 0, 0)                  \
  SCALAR(ToolHeight, double, double, SetToolHeight, 0)                             \
  SCALAR(ToolRealHeight, double, double, SetToolRealHeight, 0)                     \
  SCALAR(ToolWidth, double, double, SetToolWidth, 0)                               \
  SCALAR(Edge2ForceLine, double, double, SetEdge2ForceLine, 0)                     \
  SCALAR(Reverse, bool, bool, SetReverse, 0)                                       \
  SCALAR(SmallorLarger, int, int, SetSmallorLarger, 7)                             \
  SCALAR(VWidth, double, double, SetVWidth, 3)                                     \
  SCALAR(Angle, double, double, SetAngle, 4)                                       \
  SCALAR(Radius, double, double, SetRadius, 5)                                     \
  SCALAR(Flag4Die, int, int, SetFlag4Die, 0)                                       \
  SCALAR(XAttachOffset, double, double, SetXAttachOffset, 0)                       \
  SCALAR(StepHeight, double, double, SetStepHeight, 0)                             \
  SCALAR(MaxThickness, double, double, SetMaxThickness, 0)                         \
  SCALAR(MinThickness, double, double, SetMinThickness, 0)                         \
  SCALAR(FollowType, int, int, SetFollowType, 0)                                   \
  SCALAR(FollowAngle, double, double, SetFollowAngle, 0)                           \
  SCALAR(BackAngle, double, double, SetBackAngle, 0)                               \
  SCALAR(FrontOffset, double, double, SetFrontOffset, 0)                           \
  SCALAR(BgEdgeMoveIn, double, double, SetBgEdgeMoveIn, 0)                         \
  SCALAR(MidPointOffset, double, double, SetMidPointOffset, 0)                     \
  SCALAR(SecondFollowAngle, double, double, SetSecondFollowAngle, 0)               \
  SCALAR(TipRadius, double, double, SetTipRadius, 0)                               \
  SCALAR(TipOffset, double, double, SetTipOffset, 0)                               \
  SCALAR(VOffset, double, double, SetVOffset, 0)                                   \
  SCALAR(TipHeightOffset, double, double, SetTipHeightOffset, 0)                   \
  SCALAR(TipAngle, double, double, SetTipAngle, 0)                                 \
  SCALAR(VAngle, double, double, SetVAngle, 0)                                     \
  SCALAR(Sectional, int, int, SetSectional, 6)                                     \
  SCALAR(PunchResistance, float, float, SetPunchResistance, 8)                     \
  SCALAR(DieResistance, float, float, SetDieResistance, 9)

#define DRIVERWYR_TOOL_FIELDLESS_SETTERS(X)

// CPPSetup (driverwyr/setup.h).
#define DRIVERWYR_SETUP_FIELDS(SCALAR, CONVERTED, STRING, ARRAY, INTERNAL)         \
  STRING(SetupName, SetSetupName, 1)                                               \
  SCALAR(ControlType, int, int, SetControlType, 2)                                 \
  STRING(MachineModel, SetMachineModel, 3)                                         \
  SCALAR(SetupIndex, int, int, SetSetupIndex, 4)                                   \
  STRING(UserMachineName, SetUserMachineName, 5)                                   \
  SCALAR(BendingCoefficient, float, float, SetBendingCoefficient, 6)

#define DRIVERWYR_SETUP_FIELDLESS_SETTERS(X)

// CPPMachine (driverwyr/machine.h).
#define DRIVERWYR_MACHINE_FIELDS(SCALAR, CONVERTED, STRING, ARRAY, INTERNAL)       \
  STRING(UserMachineName, SetUserMachineName, 1)                                   \
  STRING(MachineName, SetMachineName, 0)                                           \
  STRING(CtrlSystem, SetCtrlSystem, 0)                                             \
  STRING(FingerType, SetFingerType, 0)                                             \
  STRING(ProtocolBoard, SetProtocolBoard, 0)                                       \
  SCALAR(CylinderNumber, int, int, SetCylinderNumber, 0)                           \
  SCALAR(LengthUnit, bool, bool, SetLengthUnit, 0)                                 \
  SCALAR(Tonnage, double, double, SetTonnage, 2)                                   \
  SCALAR(MinTonnage, double, double, SetMinTonnage, 3)                             \
  SCALAR(FrameTightness, double, double, SetFrameTightness, 0)                     \
  SCALAR(OriginPressure, double, double, SetOriginPressure, 0)                     \
  SCALAR(MaxPressure, double, double, SetMaxPressure, 0)                           \
  SCALAR(MaxBendingLength, double, double, SetMaxBendingLength, 4)                 \
  SCALAR(MaxStrokeHeight, double, double, SetMaxStrokeHeight, 0)                   \
  SCALAR(OpenHeight, double, double, SetOpenHeight, 0)                             \
  SCALAR(SignificantHeight, double, double, SetSignificantHeight, 0)               \
  SCALAR(LowerBeamHeight, double, double, SetLowerBeamHeight, 0)                   \
  SCALAR(MainBeamSpan, double, double, SetMainBeamSpan, 0)                         \
  SCALAR(SignifcantSpan, double, double, SetSignifcantSpan, 0)                     \
  SCALAR(MainBodyDepth, double, double, SetMainBodyDepth, 0)                       \
  SCALAR(BlockInUpBeam, int, int, SetBlockInUpBeam, 0)                             \
  SCALAR(BlockInLowBeam, int, int, SetBlockInLowBeam, 0)                           \
  ARRAY(ExtrusionVectorBlockOfUpBeam, float, 32, [3], SetExtrusionVectorBlockOfUpBeam, 0, 0) \
  ARRAY(ExtrusionVectorBlockOfLowerBeam, float, 32, [3], SetExtrusionVectorBlockOfLowerBeam, 0, 0) \
  ARRAY(UpBeamProfile, double, 32, [64][3], SetUpBeamProfile, 0, 0)                \
  ARRAY(NumUpBeamPoint, int, 32, , SetNumUpBeamPoint, 0, 0)                        \
  ARRAY(LowBeamProfile, double, 32, [64][3], SetLowBeamProfile, 0, 0)              \
  ARRAY(NumLowerBeamPoint, int, 32, , SetNumLowerBeamPoint, 0, 0)                  \
  ARRAY(UpBeamAttach, double, 2, , SetUpBeamAttach, 0, 0)                          \
  ARRAY(LowBeamAttach, double, 2, , SetLowBeamAttach, 0, 0)                        \
  SCALAR(clampAtCerter, bool, bool, SetclampAtCerter, 0)                           \
  SCALAR(ClampLength, double, double, SetClampLength, 0)                           \
  SCALAR(ClampPitch, double, double, SetClampPitch, 0)                             \
  SCALAR(DefaultPHLLength, double, double, SetDefaultPHLLength, 0)                 \
  SCALAR(DefaultPHLPitch, double, double, SetDefaultPHLPitch, 0)                   \
  ARRAY(PHLProfile, double, 64, [2], SetPHLProfile, 0, 0)                          \
  SCALAR(NumPHLPoint, int, int, SetNumPHLPoint, 0)                                 \
  ARRAY(PHLTopAttach, double, 2, , SetPHLTopAttach, 0, 0)                          \
  ARRAY(PHLPunchAttach, double, 2, [2], SetPHLPunchAttach, 0, 0)                   \
  ARRAY(PHLClampAttach, double, 2, [2], SetPHLClampAttach, 0, 0)                   \
  ARRAY(ClampProfile, double, 64, [2], SetClampProfile, 0, 0)                      \
  SCALAR(NumClampPoint, int, int, SetNumClampPoint, 0)                             \
  ARRAY(ClampAttach, double, 2, , SetClampAttach, 0, 0)

#define DRIVERWYR_MACHINE_FIELDLESS_SETTERS(X)

// CPPBGauge (driverwyr/bgauge.h).
#define DRIVERWYR_BGAUGE_FIELDS(SCALAR, CONVERTED, STRING, ARRAY, INTERNAL)        \
  SCALAR(Num, int, int, SetNum, 0)                                                 \
  STRING(ControlSystem, SetControlSystem, 0)                                       \
  STRING(FingerType, SetFingerType, 0)                                             \
  SCALAR(NumberOfAxis, int, int, SetNumberOfAxis, 0)                               \
  SCALAR(AdjustmentMethod, int, int, SetAdjustmentMethod, 0)                       \
  SCALAR(LengthUnit, int, int, SetLengthUnit, 0)                                   \
  SCALAR(FingerWidth, double, double, SetFingerWidth, 0)                           \
  SCALAR(FingerThickness, double, double, SetFingerThickness, 0)                   \
  SCALAR(FingerVLower, double, double, SetFingerVLower, 0)                         \
  SCALAR(FingerVUpper, double, double, SetFingerVUpper, 0)                         \
  SCALAR(FingerAdjustLocation, int, int, SetFingerAdjustLocation, 0)               \
  SCALAR(FingerAdjustHeight, int, int, SetFingerAdjustHeight, 0)                   \
  SCALAR(FingerHLeft, double, int, SetFingerHLeft, 0)                              \
  SCALAR(FingerHRight, double, int, SetFingerHRight, 0)                            \
  SCALAR(FingerContactMin, double, double, SetFingerContactMin, 0)                 \
  SCALAR(YRangeMin, double, double, SetYRangeMin, 0)                               \
  SCALAR(YRangeMax, double, double, SetYRangeMax, 0)                               \
  SCALAR(ZRangeMin, double, double, SetZRangeMin, 0)                               \
  SCALAR(ZRangeMax, double, double, SetZRangeMax, 0)                               \
  ARRAY(BodyProfile, double, 64, [3], SetBodyProfile, 0, 0)                        \
  SCALAR(NumBodyPoint, int, int, SetNumBodyPoint, 0)                               \
  ARRAY(BodyDir, double, 3, , SetBodyDir, 0, 0)                                    \
  ARRAY(FingerProfile, double, 64, [3], SetFingerProfile, 0, 0)                    \
  SCALAR(NumFingerPoint, int, int, SetNumFingerPoint, 0)                           \
  ARRAY(FingerDir, double, 3, , SetFingerDir, 0, 0)                                \
  ARRAY(MotorProfile, double, 64, [3], SetMotorProfile, 0, 0)                      \
  SCALAR(NumMotorPoint, int, int, SetNumMotorPoint, 0)                             \
  ARRAY(MotorDir, double, 3, , SetMotorDir, 0, 0)

#define DRIVERWYR_BGAUGE_FIELDLESS_SETTERS(X)

#endif  // DRIVERWYR_RECORD_FIELDS_H_
