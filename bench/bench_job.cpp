// wyr's side of a job: reading a job file of 1,000, 10,000 and 100,000 steps
// (text in memory to records), and the listing `wyr check` prints of a store
// of as many steps (to /dev/null). Reports steps per second and, for the
// reader, bytes per second of JSON.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "driverwyr/host.h"
#include "job_file.h"
#include "output_buffer.h"
#include "store_printer.h"

namespace {

// The steps of the ratio job (bench/make-job), and its tools, setup and machine.
std::string JobText(int steps) {
  std::string text = R"({"unit": 0, "paths": {"program": "out/BENCH.bmf", "data": "materials"},)"
                     R"("material": {"thickness": 2.0, "tensile": 40.0, "type": 1}, "steps": [)";
  for (int i = 0; i < steps; ++i) {
    text += i == 0 ? "\n" : ",\n";
    text += R"({"NumberInSquence": )" + std::to_string(i + 1) + R"(, "SetupIndex": )" +
            std::to_string(i / 32766 + 1) +
            R"(, "BendAngle": 90, "BendLength": 1000, "Mode": 0, "ToolID": ["P88", "D16"]})";
  }
  text += R"(], "tools": [{"ToolName": "P88", "Angle": 88, "Radius": 0.8, "PunchResistance": 100},)"
          R"({"ToolName": "D16", "VWidth": 16, "Angle": 88, "Radius": 2.5, "DieResistance": 120}],)"
          R"("setups": [{"SetupName": "S1", "SetupIndex": 0, "UserMachineName": "PB100"}],)"
          R"("machines": [{"UserMachineName": "PB100", "Tonnage": 100, "MaxBendingLength": 3000}]})";
  return text;
}

void BM_ParseJob(benchmark::State& state) {
  const std::string text = JobText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const driverwyr::Result<wyr::Job> job = wyr::ParseJob(text, "/bench");
    if (!job.ok()) {
      state.SkipWithError(job.error().c_str());
      break;
    }
    benchmark::DoNotOptimize(job->steps.GetSize());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseJob)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ListStore(benchmark::State& state) {
  driverwyr::Result<wyr::Job> parsed = wyr::ParseJob(JobText(static_cast<int>(state.range(0))), "/bench");
  if (!parsed.ok()) {
    state.SkipWithError("the job does not read");
    return;
  }
  wyr::Job& job = *parsed;
  driverwyr::StoreCopy store;
  store.steps.Swap(job.steps);
  store.tools.Swap(job.tools);
  std::size_t bytes = 0;
  {
    wyr::OutputBuffer measured;
    wyr::DescribeStore(store, measured);
    bytes = measured.text().size();
  }
  // Written as `wyr check` writes it: through the buffer, here to /dev/null.
  std::FILE* null = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    wyr::OutputBuffer out(null);
    wyr::DescribeStore(store, out);
    if (!out.Finish()) state.SkipWithError("the listing could not be written");
  }
  std::fclose(null);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ListStore)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
