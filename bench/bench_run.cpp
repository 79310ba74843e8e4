// GenerateMachineCodeFile on one group of 10,000 steps: the operator presses
// "Create..." in an in-memory dialog and the program file goes to a temporary
// folder. Reports steps per second.
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "support/creation_testing.h"
#include "driverwyr/driverwyr.h"

namespace driverwyr {
namespace {

constexpr int kSteps = 10000;

// `mode` is the steps' Mode: 0 has the bend calculation fill in each step,
// 1 writes the steps as they are.
void RunSingleGroup(benchmark::State& state, short mode) {
  testing::CreationEnvironment env;
  env.ui.on_dialog = [](MemoryDialogWindow& window) { window.Press(kIdOk); };
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "driverwyr_bench_run";
  std::filesystem::create_directories(folder);

  PPDB& store = env.Store();
  store.ProgramPath = (folder / "BENCH.bmf").string();
  store.MaterialType = 1;
  store.MaterialThickness = 2.0f;
  store.MaterialTensile = 40.0f;
  env.AddSetup(0, 2);
  for (int i = 0; i < kSteps; ++i) {
    CPPStepInfo step;
    step.SetNumberInSquence(i + 1);
    step.SetBendAngle(90.0f);
    step.SetMode(mode);
    store.StepArray.Add(step);
  }

  char path_out[kMaxPathBuffer] = {};
  bool created = true;
  for (auto _ : state) {
    state.PauseTiming();
    // The run lowers every SetupIndex; start each round from the host's values.
    for (int i = 0; i < kSteps; ++i) store.StepArray[i].SetSetupIndex(1);
    env.messages.clear();
    path_out[0] = '\0';
    state.ResumeTiming();

    benchmark::DoNotOptimize(GenerateMachineCodeFile(path_out));
    created = created && path_out[0] != '\0';
  }
  state.SetItemsProcessed(state.iterations() * kSteps);
  state.SetLabel(created ? "program written" : "no program written");
  std::filesystem::remove_all(folder);
}

void BM_RunWithoutCalculation(benchmark::State& state) { RunSingleGroup(state, 1); }
void BM_RunWithCalculation(benchmark::State& state) { RunSingleGroup(state, 0); }

BENCHMARK(BM_RunWithoutCalculation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunWithCalculation)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace driverwyr
