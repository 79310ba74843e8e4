// The material fit on simulated test bends: recovery of a known springback
// model, the refusals, outliers, the report and the writing of the new file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "calibration/fit_material.h"
#include "calibration/report_model.h"
#include "calibration/test_bends.h"
#include "driverwyr/material_data.h"

namespace driverwyr::calibration {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

MaterialFile ExampleSteel() {
  MaterialFile file;
  const Status read = ReadMaterialFile(DefaultFileSystem(), std::string(DRIVERWYR_EXAMPLE_MATERIALS) + "/f_1", file);
  EXPECT_TRUE(read.ok()) << read.message();
  return file;
}

// The shop's steel: it springs back one degree more than the example file
// says, and a little more in wide dies.
MaterialModel TrueSpringback() {
  MaterialModel model = ExampleSteel().models[kSpringback];
  model.coefficients[0] += 1.0f;
  return model;
}

// Bends programmed with `file` and measured on a sheet whose springback is
// `truth`: the punch reaches target - file's springback, and the sheet springs
// back by the true amount, plus measurement noise of `sigma` degrees.
std::vector<TestBend> SimulateBends(const MaterialFile& file, const MaterialModel& truth, int count, double sigma,
                                    unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> angle(60.0, 150.0), ratio(6.0, 16.0);
  std::normal_distribution<double> noise(0.0, sigma);
  const double thicknesses[] = {1.0, 2.0, 3.0};
  std::vector<TestBend> bends;
  for (int i = 0; i < count; ++i) {
    TestBend bend;
    bend.line = i + 2;
    bend.thickness = thicknesses[i % 3];
    bend.die_width = ratio(random) * bend.thickness;
    bend.target_angle = angle(random);
    const float a = static_cast<float>(bend.target_angle);
    const float r = static_cast<float>(bend.die_width) / static_cast<float>(bend.thickness);
    const double punch = bend.target_angle - EvaluatePolynomial(file.models[kSpringback], a, r);
    bend.measured_angle = punch + EvaluatePolynomial(truth, a, r) + (sigma > 0 ? noise(random) : 0.0);
    bends.push_back(bend);
  }
  return bends;
}

MaterialModel DecodedSpringback(const FitOutcome& outcome) {
  const Result<MaterialFileParse> parse = ParseMaterialFile(outcome.material);
  EXPECT_TRUE(parse.ok()) << parse.error();
  return parse.ok() ? parse->file.models[kSpringback] : MaterialModel();
}

// RMS difference of two springback models over angles 60..150 and V/t 6..16.
double DomainRms(const MaterialModel& a, const MaterialModel& b) {
  double sum = 0.0;
  int n = 0;
  for (double angle = 60.0; angle <= 150.0; angle += 5.0) {
    for (double ratio = 6.0; ratio <= 16.0; ratio += 0.5) {
      const double d = EvaluatePolynomial(a, static_cast<float>(angle), static_cast<float>(ratio)) -
                       EvaluatePolynomial(b, static_cast<float>(angle), static_cast<float>(ratio));
      sum += d * d;
      ++n;
    }
  }
  return std::sqrt(sum / n);
}

TEST(FitTest, RecoversAKnownModelFromNoisyBendsWithTheFilesTermsAndWithAutoTerms) {
  const MaterialFile file = ExampleSteel();
  const MaterialModel truth = TrueSpringback();
  for (const char* terms : {"", "auto"}) {
    for (unsigned seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(std::string("terms '") + terms + "', seed " + std::to_string(seed));
      FitRequest request;
      request.terms = terms;
      const Result<FitOutcome> fit = FitMaterialData(file, SimulateBends(file, truth, 40, 0.1, seed), request);
      ASSERT_TRUE(fit.ok()) << fit.error();
      EXPECT_LT(DomainRms(DecodedSpringback(*fit), truth), 0.15);
      EXPECT_GT(fit->report.springback.rms_before, 0.8) << "the old file is about a degree off";
      EXPECT_LT(fit->report.springback.rms_after, 0.15);
      EXPECT_EQ(fit->report.springback.bends_used, 40);
    }
  }
}

TEST(FitTest, WithoutNoiseTheKnownCoefficientsAreFoundToFloatPrecision) {
  const MaterialFile file = ExampleSteel();
  const MaterialModel truth = TrueSpringback();
  const Result<FitOutcome> fit = FitMaterialData(file, SimulateBends(file, truth, 40, 0.0, 7), FitRequest());
  ASSERT_TRUE(fit.ok()) << fit.error();
  const MaterialModel found = DecodedSpringback(*fit);
  ASSERT_EQ(found.term_count, truth.term_count);
  for (int i = 0; i <= truth.term_count; ++i) {
    const float expected = truth.coefficients[static_cast<std::size_t>(i)];
    EXPECT_NEAR(found.coefficients[static_cast<std::size_t>(i)], expected, 4e-6f * std::max(1.0f, std::fabs(expected)))
        << "coefficient " << i;
    if (i > 0) {
      EXPECT_EQ(found.term_codes[static_cast<std::size_t>(i - 1)], truth.term_codes[static_cast<std::size_t>(i - 1)]);
    }
  }
  // The other models are copied unchanged.
  const Result<MaterialFileParse> parse = ParseMaterialFile(fit->material);
  ASSERT_TRUE(parse.ok());
  for (int model : {kNeutralFibre, kInnerRadius, kRadiusEffect}) {
    EXPECT_EQ(parse->file.models[static_cast<std::size_t>(model)], file.models[static_cast<std::size_t>(model)]);
  }
}

TEST(FitTest, RefusesWhatCannotBeFittedAndSaysWhy) {
  const std::string header = "thickness,die_width,target_angle,measured_angle,inner_radius\n";
  const auto rows = [](int count, bool one_angle, bool one_ratio, const char* radius) {
    std::string csv;
    for (int i = 0; i < count; ++i) {
      const double angle = one_angle ? 90.0 : 60.0 + 7.0 * i;
      const double width = one_ratio ? 16.0 : 12.0 + 2.0 * (i % 5);
      char line[160];
      std::snprintf(line, sizeof line, "2,%g,%g,%g,%s\n", width, angle, angle + 1.0 + 0.01 * (i % 3), radius);
      csv += line;
    }
    return csv;
  };
  const struct {
    std::string csv;
    std::string terms;
    std::string message;
  } cases[] = {
      {header + rows(5, false, false, ""), "", "the springback model has 4 terms (T, C, T*C, C^2), so its fit needs at least 6 bends; there are 5"},
      {header + rows(12, true, false, ""), "", "cannot determine the springback terms T, T*C: they cover 1 angle and 5 V/t ratios"},
      {header + rows(12, false, true, ""), "", "cannot determine the springback terms C, T*C, C^2: they cover 12 angles and 1 V/t ratio"},
      {header + rows(12, false, false, ""), "T,T^2,T^3,T^4,T^5,C,C^2,C^3,C^4,C^5,T*C", "--terms: 11 terms, a model holds at most 10"},
      {header + rows(12, false, false, ""), "T,D", "--terms: \"D\" is no term"},
      {header + rows(12, false, false, "1e300"), "", "the fitted inner radius model gives 299.699 at 60 degrees and V/t 6, outside what a material data file can hold"},
  };
  for (const auto& c : cases) {
    const Result<std::vector<TestBend>> bends = ParseTestBends(c.csv, LengthUnit::kMillimetre);
    ASSERT_TRUE(bends.ok()) << bends.error() << "\n" << c.csv;
    FitRequest request;
    request.terms = c.terms;
    const Result<FitOutcome> fit = FitMaterialData(ExampleSteel(), *bends, request);
    ASSERT_FALSE(fit.ok()) << c.csv;
    EXPECT_THAT(fit.error(), HasSubstr(c.message)) << c.csv;
  }
}

TEST(FitTest, MarksOutliersAndExtrapolatedBendsAndDropsOutliersWhenAsked) {
  const MaterialFile file = ExampleSteel();
  std::vector<TestBend> bends = SimulateBends(file, TrueSpringback(), 40, 0.1, 11);
  bends[5].measured_angle += 3.0;  // a mismeasured piece
  bends[9].die_width = 3.0 * bends[9].thickness;  // a narrow die, V/t 3
  bends[9].measured_angle = bends[9].target_angle + 1.0;
  for (bool drop : {false, true}) {
    FitRequest request;
    request.drop_outliers = drop;
    const Result<FitOutcome> fit = FitMaterialData(file, bends, request);
    ASSERT_TRUE(fit.ok()) << fit.error();
    const FitReport& report = fit->report;
    EXPECT_TRUE(report.bends[5].outlier);
    EXPECT_EQ(report.bends[5].dropped, drop);
    EXPECT_TRUE(report.bends[9].extrapolated);
    EXPECT_FALSE(report.bends[9].dropped);
    EXPECT_EQ(report.springback.bends_used, drop ? 40 - report.outliers : 40);
    EXPECT_EQ(report.outliers_dropped, drop);
    if (drop) {
      EXPECT_LT(report.springback.rms_after, 0.2);
    }
    EXPECT_THAT(ReportText(report), HasSubstr("outlier"));
    EXPECT_THAT(report.notes.front(), HasSubstr("outside V/t 4..20"));
  }
}

TEST(FitTest, InnerRadiusIsFittedWhenTheBendsCarryIt) {
  const MaterialFile file = ExampleSteel();
  std::vector<TestBend> bends = SimulateBends(file, TrueSpringback(), 40, 0.0, 5);
  // The sheet's inner radius: 10^(0.3 + 0.2 C) thicknesses.
  for (TestBend& bend : bends) {
    const double c = (bend.die_width / bend.thickness - 10.0) * 0.1;
    bend.inner_radius = std::pow(10.0, 0.3 + 0.2 * c) * bend.thickness;
  }
  const Result<FitOutcome> fit = FitMaterialData(file, bends, FitRequest());
  ASSERT_TRUE(fit.ok()) << fit.error();
  ASSERT_TRUE(fit->report.inner_radius.has_value());
  EXPECT_LT(fit->report.inner_radius->rms_after, 1e-4);
  const Result<MaterialFileParse> parse = ParseMaterialFile(fit->material);
  ASSERT_TRUE(parse.ok());
  const MaterialModel& radius = parse->file.models[kInnerRadius];
  EXPECT_NEAR(EvaluatePolynomial(radius, 90.0f, 15.0f), 0.3 + 0.2 * 0.5, 1e-4);
}

TEST(FitTest, ReportsRenderEveryBendAndTheCharts) {
  const MaterialFile file = ExampleSteel();
  std::vector<TestBend> bends = SimulateBends(file, TrueSpringback(), 12, 0.1, 3);
  bends[0].note = "<script>";
  const Result<FitOutcome> fit = FitMaterialData(file, bends, FitRequest());
  ASSERT_TRUE(fit.ok()) << fit.error();
  const std::string html = ReportHtml(fit->report);
  EXPECT_THAT(html, HasSubstr("&lt;script&gt;"));
  EXPECT_THAT(html, ::testing::Not(HasSubstr("<script>")));
  std::size_t plots = 0;
  for (std::size_t at = html.find("<svg class=\"plot\""); at != std::string::npos; at = html.find("<svg class=\"plot\"", at + 1)) {
    ++plots;
  }
  EXPECT_EQ(plots, 3u);
  const std::string json = ReportJson(fit->report);
  EXPECT_THAT(json, HasSubstr("\"rms_after\""));
  EXPECT_THAT(fit->description, HasSubstr("\"springback\""));
}

// Writing: refused over the old file and an existing one, nothing silent
// when the disk fails.
class FailingReplace : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  Result<std::unique_ptr<FileReplacement>> BeginReplace(const std::string&) override {
    return Status::IoError("the disk is full");
  }
};

TEST(FitTest, WritingRefusesTheOldFileAndExistingFilesUnlessForcedAndReportsFailures) {
  const fs::path folder = fs::temp_directory_path() / "driverwyr_fit_write_test";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string old_path = (folder / "f_1").string();
  fs::copy_file(std::string(DRIVERWYR_EXAMPLE_MATERIALS) + "/f_1", old_path);
  FitRequest request;
  request.material_path = old_path;
  const Result<FitOutcome> fit =
      FitMaterialData(ExampleSteel(), SimulateBends(ExampleSteel(), TrueSpringback(), 20, 0.1, 1), request);
  ASSERT_TRUE(fit.ok());
  FileSystem& files = DefaultFileSystem();
  const std::string new_path = (folder / "f_1.new").string();

  Status status = WriteFittedMaterialFile(files, request, *fit, old_path, false);
  EXPECT_THAT(status.message(), HasSubstr("is the material file the fit started from; give --force"));
  FailingReplace failing(files);
  status = WriteFittedMaterialFile(failing, request, *fit, new_path, false);
  EXPECT_EQ(status.code(), Status::Code::kIoError);
  EXPECT_THAT(status.message(), HasSubstr("the disk is full"));
  EXPECT_FALSE(fs::exists(new_path));
  ASSERT_TRUE(WriteFittedMaterialFile(files, request, *fit, new_path, false).ok());
  EXPECT_EQ(fs::file_size(new_path), fit->material.size());
  status = WriteFittedMaterialFile(files, request, *fit, new_path, false);
  EXPECT_THAT(status.message(), HasSubstr("already exists; give --force"));
  EXPECT_TRUE(WriteFittedMaterialFile(files, request, *fit, new_path, true).ok());
  EXPECT_TRUE(WriteFittedMaterialFile(files, request, *fit, old_path, true).ok());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace driverwyr::calibration
