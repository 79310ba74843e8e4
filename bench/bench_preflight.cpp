// The pre-flight report (driverwyr/preflight.h): the job handed to the driver, run dry
// with its operator script, and every check, on jobs of 1,000 to 100,000
// calculated steps. "one group": consecutive steps share a setup (one
// program per 32,766 steps); "a group a step": the steps alternate between
// two setups, so every step has a dialog of its own; "warned": every step's
// die is 6 mm wide for 2 mm sheet, so every step shows a V/t warning box and
// gets a finding. Handing the job over is not timed. Reports steps per
// second.
#include <benchmark/benchmark.h>

#include <string>

#include "driverwyr/host.h"
#include "job_file.h"
#include "driverwyr/preflight.h"

namespace {

constexpr int kGroupSteps = 32766;

std::string JobText(int steps, bool group_a_step, bool warned) {
  const int setups = group_a_step ? 2 : (steps + kGroupSteps - 1) / kGroupSteps;
  std::string text = R"({"unit": 0, "paths": {"program": "out/BENCH.bmf", "data": "materials"},)"
                     R"("material": {"thickness": 2.0, "tensile": 40.0, "type": 1}, "steps": [)";
  for (int i = 0; i < steps; ++i) {
    text += i == 0 ? "\n" : ",\n";
    const int setup = group_a_step ? i % 2 + 1 : i / kGroupSteps + 1;
    text += R"({"NumberInSquence": )" + std::to_string(i + 1) + R"(, "SetupIndex": )" + std::to_string(setup) +
            R"(, "BendAngle": 90, "BendLength": 1000, "ToolID": ["P88", ")" + (warned ? "D6" : "D16") + "\"]}";
  }
  text += R"(], "tools": [{"ToolName": "P88", "Angle": 88, "Radius": 0.8, "PunchResistance": 100},)"
          R"({"ToolName": "D16", "VWidth": 16, "Angle": 88, "Radius": 2.5, "DieResistance": 120},)"
          R"({"ToolName": "D6", "VWidth": 6, "Angle": 88, "Radius": 1, "DieResistance": 60}], "setups": [)";
  for (int s = 0; s < setups; ++s) {
    text += (s == 0 ? "" : ",") + std::string(R"({"SetupName": "S", "SetupIndex": )") + std::to_string(s) +
            R"(, "UserMachineName": "PB100"})";
  }
  text += R"(], "machines": [{"UserMachineName": "PB100", "Tonnage": 100, "MinTonnage": 1,)"
          R"( "MaxBendingLength": 3000}], "operator": []})";
  return text;
}

void Report(benchmark::State& state, bool group_a_step, bool warned) {
  driverwyr::Result<wyr::Job> parsed =
      wyr::ParseJob(JobText(static_cast<int>(state.range(0)), group_a_step, warned), EXAMPLES_DIR);
  if (!parsed.ok()) {
    state.SkipWithError("the job does not read");
    return;
  }
  wyr::Job& job = *parsed;
  std::size_t findings = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (!wyr::ApplyJob(job, /*keep_records=*/true).ok()) {
      state.SkipWithError("the job cannot be handed over");
      return;
    }
    state.ResumeTiming();
    driverwyr::PreflightReport report;
    driverwyr::PreflightOptions options;
    options.script = &job.operator_script;
    if (!driverwyr::RunPreflight(report, options)) {
      state.SkipWithError("the report cannot be made");
      return;
    }
    findings = report.findings.size();
    benchmark::DoNotOptimize(findings);
  }
  state.counters["findings"] = static_cast<double>(findings);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PreflightOneGroup(benchmark::State& state) { Report(state, false, false); }
void BM_PreflightOneGroupWarned(benchmark::State& state) { Report(state, false, true); }
void BM_PreflightGroupAStep(benchmark::State& state) { Report(state, true, false); }
BENCHMARK(BM_PreflightOneGroup)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreflightOneGroupWarned)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreflightGroupAStep)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
