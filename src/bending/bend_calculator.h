// The air-bending calculation of one step: the punch depth for the target
// angle and the bending force, with warning codes for out-of-range conditions.
//
// Lengths are millimetres, angles degrees. Every value is a single-precision
// float; each named intermediate value is rounded to float when it is stored
// (the arithmetic between two stored values runs in double), so every
// platform gives the same bits. Forces are carried at ten times the machine's
// tonnage scale.
#ifndef DRIVERWYR_BENDING_BEND_CALCULATOR_H_
#define DRIVERWYR_BENDING_BEND_CALCULATOR_H_

#include <array>
#include <string>
#include <string_view>

#include "bending/program_materials.h"
#include "driverwyr/material_data.h"

namespace driverwyr {

// Degrees to radians, with pi taken as 3.14159.
inline constexpr double kDegreesToRadians = 0.01745327777777778;

// Material data files f_1 .. f_4.
inline constexpr int kMaterialCount = 4;

// The range of die opening to sheet thickness (V/t) that the bend checks
// accept; outside it a step warns kWarningRatioLow or kWarningRatioHigh.
inline constexpr float kLowestVRatio = 4.0f;
inline constexpr float kHighestVRatio = 20.0f;

// Warning codes of the calculation.
inline constexpr int kWarningMaterialNumber = 3;    // material number outside 1..4
inline constexpr int kWarningMaterialFile = 10;     // material data file missing or unusable
inline constexpr int kWarningUnknownPunch = 11;     // the step's punch is no stored tool
inline constexpr int kWarningUnknownDie = 12;       // the step's die is no stored tool
inline constexpr int kWarningElongation = 22;       // outer-fibre elongation above 50 %
inline constexpr int kWarningRatioLow = 23;         // V/t below 4
inline constexpr int kWarningRatioHigh = 24;        // V/t above 20
inline constexpr int kWarningBelowMinimum = 51;     // force below the machine minimum
inline constexpr int kWarningAboveMaximum = 52;     // force above the machine maximum
inline constexpr int kWarningAbovePunchLimit = 53;  // force above the punch limit
inline constexpr int kWarningAboveDieLimit = 54;    // force above the die limit
// The depth is negative or deeper than the machine's stroke, or the force is
// not finite: set by the per-step calculation (CalculateBendData) after the
// codes above, in the first free entry, never in place of one of them.
inline constexpr int kWarningBeyondMachine = 55;

// Calculate writes only the first entry; a later condition replaces an
// earlier one.
using WarningList = std::array<int, 16>;

struct ToolData {
  float MaterialNumber = 0.0f;  // selects material data file 1..4
  float Thickness = 0.0f;       // t
  float DieWidth = 0.0f;        // V
  float DieAngle = 0.0f;        // included angle of the die V
  float DieRadius = 0.0f;       // die shoulder radius
  float BendLengthM = 0.0f;     // bend length in metres
  float Hardness = 0.0f;        // tensile strength value of the material
  float BendAngle = 0.0f;       // included angle to reach; 180 is flat
};

struct MachineData {
  float MaxForce = 0.0f;            // machine tonnage x 10
  float MinForce = 0.0f;            // machine minimum tonnage x 10
  float MaxBendingLength = 0.0f;    // mm
  float BendingCoefficient = 0.0f;  // machine deflection coefficient
  float PunchLoadLimit = 0.0f;      // punch resistance x 10, per metre of bend
  float DieLoadLimit = 0.0f;        // die resistance x 10, per metre of bend
};

struct BendResult {
  float Depth = 0.0f;  // punch penetration, mm, positive downwards
  float Force = 0.0f;
};

// Outcome of the bend zone geometry check.
struct BendZone {
  int status = 0;       // 0 consistent; otherwise the number of the last check that fired
  float ratio = 0.0f;   // inner radius / thickness, replaced when status 1 fired
};

// The plastic bend zone model: checks that the inner radius ratio D and the
// neutral-fibre factor P2 fit together for the bend angle and computes the
// outer-fibre elongation. Status 7 means an elongation above 50 %.
BendZone CheckBendZone(float inner_radius_ratio, float neutral_fibre, float bend_angle);

// The force factor table and the models of one material. Built per step; a
// material file is read when Calculate first asks for its number.
class BendCalculator {
 public:
  // A calculator reading f_1 .. f_4 from `data_path`, with no material loaded.
  // The data path must outlive the calculator (the store's, for one step).
  explicit BendCalculator(std::string_view data_path);
  // A calculator with material `number` already loaded from `models`
  // (benchmarks, fuzzing, tests); other numbers are still read from files
  // in `data_path`.
  BendCalculator(std::string_view data_path, int number, const MaterialFile& models);
  // A calculator reading its files through `materials`, which notices a file
  // whose contents differ from those an earlier step of the program read.
  // `materials` must outlive the calculator.
  BendCalculator(std::string_view data_path, ProgramMaterials& materials);
  virtual ~BendCalculator() = default;

  // Fills `result` and the first entry of `warnings` (which the caller
  // cleared). Depth and force stay as they were where the calculation ends
  // before setting them. Both always end finite: a material whose models give
  // no finite depth or force for the step leaves 0 and 0 with code 10.
  void Calculate(const ToolData& tool, const MachineData& machine, BendResult& result,
                 WarningList& warnings);

  // The path of material data file `number` (1..4) in the data folder.
  std::string MaterialPath(int number) const { return MaterialFilePath(data_path_, number); }
  int LoadedMaterial() const { return loaded_; }

 private:
  void CalculateLoaded(const ToolData& tool, const MachineData& machine, BendResult& result,
                       WarningList& warnings) const;

  // The data folder; a file's path is built only when the file is read.
  std::string_view data_path_;
  ProgramMaterials* materials_ = nullptr;  // null: files are read as they are
  MaterialFile models_;
  int loaded_ = 0;  // 0: none
};

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_BEND_CALCULATOR_H_
