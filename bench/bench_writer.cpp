// The program file writer on a large group: 10,000 steps plus the closing
// record, the calculation doing nothing, written to a temporary folder.
// Reports steps per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "driverwyr/step_info.h"
#include "program_file/program_writer.h"

namespace {

void BM_WriteProgramFile(benchmark::State& state) {
  const int steps = static_cast<int>(state.range(0));
  const auto folder = std::filesystem::temp_directory_path() / "driverwyr-bench-writer";
  std::filesystem::create_directories(folder);

  RecordArray<CPPStepInfo> group;
  group.SetSize(steps + 1);
  for (int i = 0; i < steps; ++i) {
    CPPStepInfo& step = group[i];
    step.SetSequenceOrder(static_cast<short>(i % 30000));
    step.SetBendType(i % 7 == 0 ? 3 : 0);
    step.SetCycleNo(3);
    step.SetBendAngle(90.0f + static_cast<float>(i % 90));
    const double xx[4] = {120.5 + i % 100, 120.5, 0, 0};
    step.SetXX(xx);
    step.SetAuxFunc("M8");
  }
  driverwyr::ProgramData data;
  data.FileName = (folder / "bench.wyr").string();
  data.ProgramName = "040603";
  data.PartReference = "BENCH";
  data.Thickness = 2.0f;
  data.Hardness = 40.0f;
  data.CreationDate = "04/06/16";
  data.RecordCount = static_cast<std::int16_t>(steps + 1);
  const driverwyr::StepCalculation calculate = [](CPPStepInfo&) { return driverwyr::Status::Ok(); };

  for (auto _ : state) {
    if (!driverwyr::WriteProgramFile(data, group, calculate).ok()) {
      state.SkipWithError("the program file could not be written");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * steps);
  std::filesystem::remove_all(folder);
}

BENCHMARK(BM_WriteProgramFile)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
