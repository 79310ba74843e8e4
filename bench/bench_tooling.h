// The tools and the machine of the benchmark jobs (those of bench/make-job),
// handed to the store through the entry points: punch P88, die D16 (16 mm V,
// 88°) and press brake PB100 (100 t, 3 m). Steps name them with kToolIds.
#ifndef DRIVERWYR_BENCH_BENCH_TOOLING_H_
#define DRIVERWYR_BENCH_BENCH_TOOLING_H_

#include "driverwyr/driverwyr.h"

namespace bench_tooling {

inline constexpr char kToolIds[6][32] = {"P88", "D16"};
inline constexpr char kMachine[] = "PB100";

inline void InitToolsAndMachine() {
  RecordArray<CPPTool> tools;
  tools.SetSize(2);
  tools[0].SetToolName("P88");
  tools[0].SetAngle(88);
  tools[0].SetRadius(0.8);
  tools[0].SetPunchResistance(100);
  tools[1].SetToolName("D16");
  tools[1].SetVWidth(16);
  tools[1].SetAngle(88);
  tools[1].SetRadius(2.5);
  tools[1].SetDieResistance(120);
  InitToolInfo(&tools);
  RecordArray<CPPMachine> machines;
  machines.SetSize(1);
  machines[0].SetUserMachineName(kMachine);
  machines[0].SetTonnage(100);
  machines[0].SetMinTonnage(1);
  machines[0].SetMaxBendingLength(3000);
  InitMachineInfo(&machines);
}

}  // namespace bench_tooling

#endif  // DRIVERWYR_BENCH_BENCH_TOOLING_H_
