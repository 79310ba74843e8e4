// The set-up sheet of a large program: the page of 8 to 4,096 steps with the
// job's tools, from a decoded program file to the HTML text. The cost should
// grow with the number of steps and no faster; reports steps per second and
// the fitted complexity.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "driverwyr/host.h"
#include "driverwyr/program_format.h"
#include "sheet/sheet_html.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_job.h"

namespace {

void BM_RenderSheet(benchmark::State& state) {
  const int steps = static_cast<int>(state.range(0));
  driverwyr::ProgramFile file;
  file.header.ProgramName = "120700";
  file.header.PartReference = "BENCH";
  file.header.Thickness = 2.0f;
  driverwyr::StoreCopy job;
  job.steps.SetSize(steps);
  job.setups.SetSize(1);
  job.tools.SetSize(2);
  job.tools[0].SetToolName("P88");
  job.tools[0].SetAngle(88);
  job.tools[1].SetToolName("D16");
  job.tools[1].SetVWidth(16);
  job.tools[1].SetRadius(2.5);
  job.tools[1].SetAngle(88);
  for (int i = 0; i < steps; ++i) {
    driverwyr::ProgramRecord record;
    record.SequenceOrder = static_cast<std::int16_t>(i + 1);
    record.BendLength = 500;
    record.BendAngle = 90.0f + static_cast<float>(i % 90);
    record.Y1 = record.Y2 = -6.4f;
    record.TonnageValue = 86;
    record.XX0 = -120.5f - static_cast<float>(i % 100);
    record.XX1 = 120.5f;
    record.ZZ0 = -150.0f;
    record.ZZ1 = 150.0f;
    file.records.push_back(record);
    CPPStepInfo& step = job.steps[i];
    step.SetSetupIndex(1);
    step.SetSequenceOrder(static_cast<short>(i + 1));
    step.SetBendLength(500.0f, 0);
    char ids[6][32] = {};
    std::strcpy(ids[0], "P88");
    std::strcpy(ids[1], "D16");
    step.SetToolID(ids);
  }
  file.records.emplace_back();  // the closing record

  std::size_t bytes = 0;
  for (auto _ : state) {
    driverwyr::sheet::SheetInput sheet = driverwyr::sheet::MakeSheetInput(file, "BENCH.wyr");
    if (!driverwyr::sheet::AddJobToSheet(sheet, job, "BENCH.wyr", "bench.json").ok()) {
      state.SkipWithError("the job does not match the program");
      break;
    }
    const std::string page = driverwyr::sheet::RenderSheetHtml(sheet);
    bytes = page.size();
    benchmark::DoNotOptimize(page.data());
  }
  state.SetItemsProcessed(state.iterations() * steps);
  state.SetComplexityN(steps);
  state.counters["page_bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_RenderSheet)->RangeMultiplier(8)->Range(8, 4096)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
