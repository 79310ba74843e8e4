// Speed of the bend calculation: one step as the program file writer runs it
// (store look-ups, reading the material file, the calculation), and a long
// program of 10,000 steps.
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_tooling.h"
#include "bending/bend_calculator.h"
#include "bending/calculate_step.h"
#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"
#include "driverwyr/material_data.h"
#include "platform/platform.h"

namespace {

// Counts message boxes instead of showing them.
class SilentUserInterface : public driverwyr::UserInterface {
 public:
  int ShowMessageBox(const std::string&, unsigned) override {
    ++boxes;
    return driverwyr::kIdOk;
  }
  int RunDialog(int, driverwyr::DialogHandler&) override { return -1; }
  std::optional<std::string> BrowseForFolder(driverwyr::DialogWindow&, const std::string&,
                                             const std::string&) override {
    return std::nullopt;
  }
  int boxes = 0;
};

driverwyr::MaterialModel Polynomial(float constant, std::initializer_list<std::pair<int, float>> terms) {
  driverwyr::MaterialModel model;
  model.form = driverwyr::kFormPolynomial;
  model.coefficients[0] = constant;
  for (const auto& [code, coefficient] : terms) {
    model.term_codes[static_cast<std::size_t>(model.term_count)] = code;
    model.coefficients[static_cast<std::size_t>(++model.term_count)] = coefficient;
  }
  return model;
}

// A store with the benchmarks' punch, die and machine, and a mild-steel
// material file in a scratch folder; removed again at the end.
class Fixture {
 public:
  Fixture() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("driverwyr-bench-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    driverwyr::MaterialFile file;
    file.models = {Polynomial(1.5f, {{2, -1.5f}, {7, 0.75f}, {12, -0.75f}, {8, -0.075f}}),
                   Polynomial(0.42f, {{7, 0.04f}, {2, -0.01f}, {8, -0.01f}}),
                   Polynomial(0.1912f, {{7, 0.4304f}, {8, -0.2353f}, {9, 0.1892f}, {10, -0.086f}, {2, 0.01f}}),
                   Polynomial(0.85f, {{7, 0.05f}, {2, -0.03f}})};
    const auto bytes = driverwyr::EncodeMaterialFile(file);
    std::ofstream(folder_ / "f_1", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    driverwyr::ResetStoreForTesting();
    driverwyr::Platform::Current().ReplaceUserInterface(&ui_);
    SetPathNames(CString("program"), CString(folder_.string().c_str()), CString(""));
    bench_tooling::InitToolsAndMachine();
    setup.SetUserMachineName(bench_tooling::kMachine);
    setup.SetBendingCoefficient(1);
    program.MaterialNumber = 1;
    program.Thickness = 2;
    program.Hardness = 40;
    step.SetToolID(bench_tooling::kToolIds);
    step.SetBendLength(1000, 0);
    step.SetBendAngle(90);
  }
  ~Fixture() {
    driverwyr::Platform::Current().ReplaceUserInterface(nullptr);
    driverwyr::ResetStoreForTesting();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  driverwyr::ProgramData program;
  CPPSetup setup;
  CPPStepInfo step;

 private:
  std::filesystem::path folder_;
  SilentUserInterface ui_;
};

void BM_CalculateBendData(benchmark::State& state) {
  Fixture fixture;
  for (auto _ : state) {
    driverwyr::CalculateBendData(fixture.program, &fixture.setup, fixture.step);
    benchmark::DoNotOptimize(fixture.step.GetY1());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CalculateBendData);

// The calculation alone, with the material already loaded.
void BM_CalculateLoaded(benchmark::State& state) {
  driverwyr::MaterialFile file;
  file.models = {Polynomial(1.5f, {{2, -1.5f}, {7, 0.75f}}), Polynomial(0.42f, {{7, 0.04f}}),
                 Polynomial(0.19f, {{7, 0.43f}, {8, -0.23f}}), Polynomial(0.85f, {})};
  driverwyr::BendCalculator calculator("", 1, file);
  driverwyr::ToolData tool{1, 2, 16, 88, 2, 1, 40, 90};
  driverwyr::MachineData machine{1000, 10, 3000, 1, 1000, 1000};
  float angle = 20;
  for (auto _ : state) {
    tool.BendAngle = angle;
    angle = angle >= 179 ? 20 : angle + 1;
    driverwyr::BendResult result;
    driverwyr::WarningList warnings{};
    calculator.Calculate(tool, machine, result, warnings);
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CalculateLoaded);

// A program of 10,000 steps, each calculated as the writer does.
void BM_TenThousandSteps(benchmark::State& state) {
  Fixture fixture;
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i) {
      fixture.step.SetBendAngle(30.0f + static_cast<float>(i % 150));
      driverwyr::CalculateBendData(fixture.program, &fixture.setup, fixture.step);
    }
    benchmark::DoNotOptimize(fixture.step.GetTonnageValue());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_TenThousandSteps)->Unit(benchmark::kMillisecond);

}  // namespace
