// Tool names of a large group: 1,000 steps, each naming a punch, a die, a die
// holder and a spacer, translated through a conversion file of 10,000 lines
// that is read afresh for every name.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "creation/tool_names.h"
#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLines = 10000;
constexpr int kSteps = 1000;
constexpr int kToolsPerKind = 50;

std::string HostName(const char* kind, int number) { return kind + std::to_string(number); }

// A conversion file of kLines lines: a few notes, then one mapping a line.
// The group's tools are spread evenly over the file; the other lines name
// tools of the library that the group does not use.
class Fixture {
 public:
  Fixture() {
    dir_ = fs::temp_directory_path() / ("driverwyr_bench_tool_names_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    path_ = (dir_ / "tools.cnv").string();
    const char* kinds[] = {"PUNCH", "DIE", "HOLDER", "SPACER"};
    std::ofstream out(path_, std::ios::binary);
    out << "# Conversion of the host's tool library for the control\r\n";
    for (int line = 1; line < kLines; ++line) {
      const int slot = line / 4;  // every (kLines / 4 / kToolsPerKind)-th slot is a used tool
      const char* kind = kinds[line % 4];
      const int spread = kLines / 4 / kToolsPerKind;
      const std::string name = slot % spread == 0 && slot / spread < kToolsPerKind
                                   ? HostName(kind, slot / spread)
                                   : HostName("LIBRARY", line);
      out << name << "\t\t" << "T" << line % 100000 << "  T" << line % 100000 << "S\r\n";
    }

    RecordArray<CPPTool> tools;
    for (const char* kind : kinds) {
      for (int i = 0; i < kToolsPerKind; ++i) {
        CPPTool tool;
        tool.SetToolName(CString(std::string_view(HostName(kind, i))));
        tool.SetCategory(i % 2 == 0 ? "2V-16" : "1V");
        tool.SetSmallorLarger(i % 3);
        tools.Add(tool);
      }
    }
    InitToolInfo(&tools);

    for (int s = 0; s < kSteps; ++s) {
      char ids[6][32] = {};
      for (int k = 0; k < 4; ++k) {
        const std::string name = HostName(kinds[k], (s * 7 + k) % kToolsPerKind);
        std::memcpy(ids[k == 3 ? 4 : k], name.c_str(), name.size());
      }
      CPPStepInfo step;
      step.SetToolID(ids);
      group_.Add(step);
    }
    group_.SetSize(group_.GetSize() + 1);
  }
  ~Fixture() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  const RecordArray<CPPStepInfo>& group() const { return group_; }
  const std::string& path() const { return path_; }

 private:
  fs::path dir_;
  std::string path_;
  RecordArray<CPPStepInfo> group_;
};

void BM_FillToolNames(benchmark::State& state) {
  driverwyr::ResetStoreForTesting();
  const Fixture fixture;
  for (auto _ : state) {
    driverwyr::ToolNames names = driverwyr::FillToolNames(fixture.group(), 2, fixture.path());
    benchmark::DoNotOptimize(names);
  }
  state.SetItemsProcessed(state.iterations() * kSteps * 4);  // names converted
  driverwyr::ResetStoreForTesting();
}
BENCHMARK(BM_FillToolNames)->Unit(benchmark::kMillisecond);

// The worst name: on no line, so every one of the 10,000 lines is read.
void BM_ConvertToolNameNotInFile(benchmark::State& state) {
  driverwyr::ResetStoreForTesting();
  const Fixture fixture;
  for (auto _ : state) {
    driverwyr::Result<std::string> name = driverwyr::ConvertToolName("NOSUCHTOOL", 1, fixture.path());
    if (!name.ok()) {
      state.SkipWithError(name.error().c_str());
      break;
    }
    benchmark::DoNotOptimize(*name);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(fixture.path())));
  driverwyr::ResetStoreForTesting();
}
BENCHMARK(BM_ConvertToolNameNotInFile)->Unit(benchmark::kMicrosecond);

}  // namespace
