// The whole run through the library: GenerateMachineCodeFile on 1,000, 10,000
// and 100,000 steps, one setup (and so one group and one program) per 32,766
// steps at most, the operator pressing "Create..." in an in-memory dialog and
// the programs going to a temporary folder. Every step is a 90° bend of 2 mm
// mild steel, calculated (Mode 0) from the example material file f_1 with a
// punch, a die and one machine; the variant without calculation (Mode 1)
// writes the steps as they are. Reports steps per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "bench_tooling.h"
#include "driverwyr/driverwyr.h"
#include "support/creation_testing.h"

namespace driverwyr {
namespace {

// The longest group that fits a program file, less the closing record.
constexpr int kGroupSteps = 32766;

void RunSteps(benchmark::State& state, short mode) {
  const int steps = static_cast<int>(state.range(0));
  const int groups = (steps + kGroupSteps - 1) / kGroupSteps;
  testing::CreationEnvironment env;
  env.ui.on_dialog = [](MemoryDialogWindow& window) { window.Press(kIdOk); };
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "driverwyr_bench_run";
  std::filesystem::create_directories(folder);

  SetUnit(0);
  SetPathNames(CString((folder / "BENCH.bmf").string()), CString(EXAMPLES_DIR "/materials"), CString(""));
  SetMaterial_1(2.0f, 40.0f, 1);
  bench_tooling::InitToolsAndMachine();
  RecordArray<CPPSetup> setups;
  setups.SetSize(groups);
  for (int g = 0; g < groups; ++g) {
    setups[g].SetSetupName(CString("S" + std::to_string(g + 1)));
    setups[g].SetSetupIndex(g);
    setups[g].SetUserMachineName(bench_tooling::kMachine);
  }
  InitSetupInfo(&setups);

  RecordArray<CPPStepInfo> sequence;
  sequence.SetSize(steps);
  for (int i = 0; i < steps; ++i) {
    CPPStepInfo& step = sequence[i];
    step.SetNumberInSquence(i + 1);
    step.SetSetupIndex(i / kGroupSteps + 1);
    step.SetBendAngle(90.0f);
    step.SetBendLength(1000, 0);
    step.SetMode(mode);
    step.SetToolID(bench_tooling::kToolIds);
  }

  char path_out[kMaxPathBuffer] = {};
  int written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // The run lowers every stored SetupIndex: each round starts from the host's steps.
    InitPPSequence(&sequence);
    env.messages.clear();
    path_out[0] = '\0';
    state.ResumeTiming();

    benchmark::DoNotOptimize(GenerateMachineCodeFile(path_out));
    written = GetWrittenProgramCount();
  }
  state.SetItemsProcessed(state.iterations() * steps);
  const bool warned = std::any_of(env.messages.begin(), env.messages.end(),
                                  [](const testing::MessageBoxShown& m) { return m.style != kMessageOk; });
  state.SetLabel(std::to_string(written) + " of " + std::to_string(groups) + " programs written" +
                 (warned ? ", with warnings" : ""));
  std::filesystem::remove_all(folder);
}

void BM_RunCalculated(benchmark::State& state) { RunSteps(state, 0); }
void BM_RunWithoutCalculation(benchmark::State& state) { RunSteps(state, 1); }

BENCHMARK(BM_RunCalculated)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunWithoutCalculation)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace driverwyr
