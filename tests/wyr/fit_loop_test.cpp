// The calibration loop through the driver, as a shop runs it: a job is
// programmed with the example material f_1, "bent" on a sheet that springs
// back one degree more than f_1 says, the angles are measured, f_1 is fitted
// to them with `wyr material fit`, and the job is programmed again. The
// bending is simulated from the programs' depths: the punch angle a depth
// stands for is found with the driver's own calculation, and the sheet then
// springs back by the true amount.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fmt/format.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bending/bend_calculator.h"
#include "driverwyr/material_data.h"
#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using driverwyr::MaterialFile;

constexpr double kThickness = 2.0;
constexpr double kDies[] = {12, 16, 24, 32};  // V/t 6, 8, 12, 16
constexpr double kAngles[] = {60, 80, 100, 125, 150};

json LoopJob() {
  json job = json::parse(ReadFile(fs::path(EXAMPLES_DIR) / "bracket.json"));
  job["paths"] = {{"program", "out/LOOP.bmf"}, {"data", "materials"}, {"conversion", "tools.cnv"}};
  json tools = json::array({job["tools"][0], job["tools"][3], job["tools"][4]});
  json steps = json::array();
  for (double die : kDies) {
    const std::string name = "D" + std::to_string(static_cast<int>(die));
    // A sharp die, so that no bend reaches it and bottoms out.
    tools.push_back({{"ToolName", name}, {"ToolType", "DIE"}, {"Category", "1V"}, {"VWidth", die}, {"Angle", 30},
                     {"Radius", 2}, {"ToolHeight", 60}, {"DieResistance", 120}});
    for (double angle : kAngles) {
      json step = job["steps"][0];
      step["NumberInSquence"] = step["SequenceOrder"] = static_cast<int>(steps.size()) + 1;
      step["BendAngle"] = angle;
      step["ToolID"] = {"PUNCH88", name, "HOLDER60", "", "SPACER10"};
      steps.push_back(step);
    }
  }
  job["tools"] = tools;
  job["steps"] = steps;
  job["setups"] = json::array({job["setups"][0]});
  job["operator"] = json::array({"create"});
  return job;
}

// Runs the job with the material folder `data`; returns the program's records.
json RunJob(const fs::path& work, const std::string& name) {
  const fs::path folder = work / name;
  fs::create_directories(folder / "out");
  fs::copy(fs::path(EXAMPLES_DIR) / "tools.cnv", folder / "tools.cnv");
  fs::copy(work / ("materials-" + name), folder / "materials", fs::copy_options::recursive);
  WriteFile(folder / "job.json", LoopJob().dump());
  const WyrResult run = RunWyr({"run", (folder / "job.json").string(), "--now", "2026-12-07T10:00:00Z"},
                               {{"XDG_CONFIG_HOME", (folder / "config").string()}, {"TZ", "UTC"}});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  for (const auto& entry : fs::directory_iterator(folder / "out")) {
    if (entry.path().extension() == ".wyr") {
      fs::copy_file(entry.path(), work / (name + ".wyr"));
      const WyrResult dump = RunWyr({"dump", entry.path().string(), "--json"});
      EXPECT_EQ(dump.status, 0) << dump.err;
      return json::parse(dump.out)["records"];
    }
  }
  ADD_FAILURE() << "no program was written for " << name;
  return json::array();
}

MaterialFile ReadMaterial(const fs::path& path) {
  MaterialFile file;
  const driverwyr::Status read = driverwyr::ReadMaterialFile(driverwyr::DefaultFileSystem(), path.string(), file);
  EXPECT_TRUE(read.ok()) << read.message();
  return file;
}

// The depth the driver programs for `angle` in `die` when the material's
// springback is the constant `springback` (the rest of f_1 unchanged).
float DepthFor(const MaterialFile& f_1, double die, double angle, float springback) {
  MaterialFile constant = f_1;
  constant.models[driverwyr::kSpringback] = driverwyr::MaterialModel();
  constant.models[driverwyr::kSpringback].form = driverwyr::kFormPolynomial;
  constant.models[driverwyr::kSpringback].coefficients[0] = springback;
  driverwyr::BendCalculator calculator("", 1, constant);
  driverwyr::ToolData tool;
  tool.MaterialNumber = 1;
  tool.Thickness = static_cast<float>(kThickness);
  tool.DieWidth = static_cast<float>(die);
  tool.DieAngle = 30;
  tool.DieRadius = 2;
  tool.BendLengthM = 0.5f;
  tool.Hardness = 40;
  tool.BendAngle = static_cast<float>(angle);
  driverwyr::MachineData machine;
  machine.MaxForce = 1000;
  machine.MinForce = 10;
  machine.MaxBendingLength = 3000;
  machine.BendingCoefficient = 1;
  machine.PunchLoadLimit = 1000;
  machine.DieLoadLimit = 1200;
  driverwyr::BendResult result;
  driverwyr::WarningList warnings{};
  calculator.Calculate(tool, machine, result, warnings);
  return result.Depth;
}

// The angle each step of `records` comes out at on the shop's sheet.
std::vector<double> Bend(const json& records, const MaterialFile& f_1, const driverwyr::MaterialModel& truth) {
  std::vector<double> angles;
  std::size_t step = 0;
  for (double die : kDies) {
    for (double angle : kAngles) {
      const float depth = -records[step++]["Y1"].get<float>();
      // The punch angle: the springback for which the driver would program
      // this depth (the depth grows with it), found by bisection.
      float low = -20.0f, high = 40.0f;
      for (int i = 0; i < 80; ++i) {
        const float middle = (low + high) / 2;
        (DepthFor(f_1, die, angle, middle) < depth ? low : high) = middle;
      }
      const double punch = angle - (low + high) / 2;
      const float ratio = static_cast<float>(die / kThickness);
      angles.push_back(punch + driverwyr::EvaluatePolynomial(truth, static_cast<float>(angle), ratio));
    }
  }
  return angles;
}

TEST(FitLoopTest, AFittedFileBringsEveryBendWithinAFifthOfADegreeAndDiffShowsOnlyTheDepths) {
  const fs::path work = MakeTempFolder("fit_loop");
  fs::copy(fs::path(EXAMPLES_DIR) / "materials", work / "materials-before", fs::copy_options::recursive);
  const MaterialFile f_1 = ReadMaterial(work / "materials-before" / "f_1");
  driverwyr::MaterialModel truth = f_1.models[driverwyr::kSpringback];
  truth.coefficients[0] += 1.0f;

  const json before = RunJob(work, "before");
  ASSERT_EQ(before.size(), std::size(kDies) * std::size(kAngles) + 1) << "every step and the closing record";
  const std::vector<double> measured = Bend(before, f_1, truth);
  std::string csv = "thickness,die_width,target_angle,measured_angle,program,step\n";
  std::size_t step = 0;
  for (double die : kDies) {
    for (double angle : kAngles) {
      SCOPED_TRACE("die " + std::to_string(die) + ", angle " + std::to_string(angle));
      EXPECT_NEAR(measured[step] - angle, 1.0, 0.05) << "one degree open, as the sheet springs back more";
      csv += fmt::format("{},{},{},{:.4f},LOOP,{}\n", kThickness, die, angle, measured[step], step + 1);
      ++step;
    }
  }
  WriteFile(work / "bends.csv", csv);

  fs::copy(work / "materials-before", work / "materials-after", fs::copy_options::recursive);
  const fs::path fitted = work / "f_1.fitted";
  const WyrResult fit = RunWyr({"material", "fit", (work / "materials-before" / "f_1").string(), "--bends",
                                (work / "bends.csv").string(), "-o", fitted.string()});
  ASSERT_EQ(fit.status, 0) << fit.out << fit.err;
  fs::copy_file(fitted, work / "materials-after" / "f_1", fs::copy_options::overwrite_existing);

  const json after = RunJob(work, "after");
  const std::vector<double> again = Bend(after, f_1, truth);
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_NEAR(again[i], kAngles[i % std::size(kAngles)], 0.2) << "step " << i + 1;
  }

  const WyrResult diff = RunWyr({"diff", (work / "before.wyr").string(), (work / "after.wyr").string(), "--json"});
  ASSERT_EQ(diff.status, 1) << diff.out << diff.err;
  const json differences = json::parse(diff.out)["differences"];
  EXPECT_EQ(differences.size(), 2 * again.size()) << "Y1 and Y2 of every step";
  for (const json& d : differences) {
    EXPECT_THAT(d["field"].get<std::string>(), ::testing::AnyOf("Y1", "Y2")) << d.dump();
  }
  const WyrResult same = RunWyr({"diff", (work / "before.wyr").string(), (work / "before.wyr").string()});
  EXPECT_EQ(same.status, 0) << same.out;
  EXPECT_THAT(same.out, ::testing::HasSubstr("the programs are the same"));
  fs::remove_all(work);
}

TEST(FitLoopTest, RefusalsWriteNothingAndExitWithStatus2) {
  const fs::path work = MakeTempFolder("fit_refusals");
  const std::string f_1 = (fs::path(EXAMPLES_DIR) / "materials" / "f_1").string();
  const std::string header = "thickness,die_width,target_angle,measured_angle\n";
  WriteFile(work / "existing", "keep");
  const struct {
    std::string csv, output, message;
  } cases[] = {
      {header + "2,16,90,91\n2,16,100,101\n", "new", "needs at least 6 bends; there are 2"},
      {header + "2,16,90,91\n2,16,x,101\n", "new", "line 3, column 3 (target_angle): \"x\" is not a number"},
      {header + "2,12,60,61\n2,16,80,81\n2,24,100,101\n2,32,125,126\n2,20,150,151\n2,12,150,151\n", "existing",
       "already exists; give --force"},
      {header + "2,12,60,61\n2,16,80,81\n2,24,100,101\n2,32,125,126\n2,20,150,151\n2,12,150,151\n", f_1,
       "is the material file the fit started from"},
  };
  for (const auto& c : cases) {
    WriteFile(work / "bends.csv", c.csv);
    const fs::path output = c.output == f_1 ? fs::path(f_1) : work / c.output;
    const std::string before = ReadFile(output);
    const WyrResult fit = RunWyr({"material", "fit", f_1, "--bends", (work / "bends.csv").string(), "-o",
                                  output.string(), "--report", (work / "report.html").string()});
    EXPECT_EQ(fit.status, 2) << c.csv;
    EXPECT_THAT(fit.err, ::testing::HasSubstr(c.message)) << c.csv;
    EXPECT_THAT(fit.err, ::testing::HasSubstr("nothing was written"));
    EXPECT_EQ(ReadFile(output), before) << c.csv;
    EXPECT_FALSE(fs::exists(work / "report.html"));
  }
  const WyrResult diff = RunWyr({"diff", (work / "existing").string(), f_1});
  EXPECT_EQ(diff.status, 2);
  EXPECT_THAT(diff.err, ::testing::HasSubstr("existing: not a program file"));
  fs::remove_all(work);
}

}  // namespace
}  // namespace wyr_test
