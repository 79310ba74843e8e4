// A job for the pre-flight's tests, in process and end to end: two steps in
// one setup on the example's material data, with tools whose names the
// conversion file "P88 P88\nD16 D16\nH60 H60\nS10 S10\n" keeps and a die of
// V/t 8: nothing to report.
#ifndef DRIVERWYR_TESTS_SUPPORT_CLEAN_JOB_H_
#define DRIVERWYR_TESTS_SUPPORT_CLEAN_JOB_H_

namespace testing_jobs {

inline constexpr const char* kCleanJob = R"({
  "paths": {"program": "out/PART.bmf", "data": "materials", "conversion": "tools.cnv"},
  "material": {"thickness": 2, "tensile": 40, "type": 1},
  "steps": [
    {"NumberInSquence": 1, "SetupIndex": 1, "BendLength": 500, "BendAngle": 90,
     "ToolID": ["P88", "D16", "H60", "", "S10"], "XX": [100, 100], "ZZ": [-150, 150]},
    {"NumberInSquence": 2, "SetupIndex": 1, "BendLength": 500, "BendAngle": 90,
     "ToolID": ["P88", "D16", "H60", "", "S10"], "XX": [60, 60], "ZZ": [-150, 150]}
  ],
  "tools": [
    {"ToolName": "P88", "Angle": 88, "Radius": 0.8, "PunchResistance": 100},
    {"ToolName": "D16", "VWidth": 16, "Angle": 88, "Radius": 2.5, "DieResistance": 120},
    {"ToolName": "H60"}, {"ToolName": "S10"}
  ],
  "setups": [{"SetupName": "S1", "ControlType": 2, "SetupIndex": 0, "UserMachineName": "PB100",
              "BendingCoefficient": 1}],
  "machines": [{"UserMachineName": "PB100", "Tonnage": 100, "MinTonnage": 1, "MaxBendingLength": 3000,
                "MaxStrokeHeight": 200}],
  "operator": ["create"]
})";

}  // namespace testing_jobs

#endif  // DRIVERWYR_TESTS_SUPPORT_CLEAN_JOB_H_
