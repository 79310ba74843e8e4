#include "calibration/fit_material.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <system_error>
#include <utility>

#include "calibration/model_fit.h"
#include "calibration/report_numbers.h"
#include "calibration/test_bends.h"

namespace driverwyr::calibration {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where a bend lies as the calculation sees it.
float BendAngle(const TestBend& bend) { return static_cast<float>(bend.target_angle); }
float BendRatio(const TestBend& bend) {
  return static_cast<float>(bend.die_width) / static_cast<float>(bend.thickness);
}

FitPolynomial Describe(const MaterialModel& model) {
  FitPolynomial out;
  out.polynomial = model.form == kFormPolynomial;
  if (!out.polynomial) return out;
  out.constant = model.coefficients[0];
  for (int i = 0; i < model.term_count; ++i) {
    const int code = model.term_codes[static_cast<std::size_t>(i)];
    out.terms.push_back({code, std::string(TermName(code)), model.coefficients[static_cast<std::size_t>(i) + 1]});
  }
  return out;
}

std::vector<int> FileCodes(const MaterialModel& model) {
  std::vector<int> codes;
  if (model.form != kFormPolynomial) return codes;
  for (int i = 0; i < model.term_count; ++i) codes.push_back(model.term_codes[static_cast<std::size_t>(i)]);
  return codes;
}

// One model's fit over the bends that carry its value.
struct ModelRun {
  std::vector<std::size_t> bend_index;  // sample -> bend
  std::vector<ModelSample> samples;
  ModelFitResult result;
  std::vector<bool> outlier;  // per sample
  std::size_t fitted = 0;     // the first `fitted` samples are the ones fitted
};

double LargestMagnitude(const std::vector<double>& values) {
  double largest = 0.0;
  for (double value : values) largest = std::max(largest, std::fabs(value));
  return largest;
}

// Fits, marks outliers, and with `drop` fits once more without them.
Result<ModelRun> RunModel(std::string_view name, ModelRun run, const std::vector<int>& codes, TermChoice choice,
                          double limit, bool drop, std::vector<bool>& dropped) {
  Result<ModelFitResult> first = FitModel(name, run.samples, codes, choice, limit);
  if (!first.ok()) return first.status();
  run.result = std::move(*first);
  run.fitted = run.samples.size();
  const double rms = RootMeanSquare(run.result.fit.loo_residuals);
  run.outlier.assign(run.samples.size(), false);
  bool any = false;
  for (std::size_t i = 0; i < run.samples.size(); ++i) {
    const double residual = run.result.fit.loo_residuals[i];
    run.outlier[i] = std::isfinite(rms) && rms > 0.0 && std::fabs(residual) > kOutlierFactor * rms;
    any = any || run.outlier[i];
  }
  if (!drop || !any) return run;
  ModelRun kept;
  for (std::size_t i = 0; i < run.samples.size(); ++i) {
    if (run.outlier[i]) {
      dropped[run.bend_index[i]] = true;
      continue;
    }
    kept.samples.push_back(run.samples[i]);
    kept.bend_index.push_back(run.bend_index[i]);
  }
  Result<ModelFitResult> second = FitModel(name, kept.samples, run.result.codes, TermChoice::kGiven, limit);
  if (!second.ok()) return second.status().WithContext("without the outliers");
  kept.result = std::move(*second);
  kept.fitted = kept.samples.size();
  kept.outlier.assign(kept.samples.size(), false);
  // The outliers stay marked, on the bends.
  for (std::size_t i = 0; i < run.samples.size(); ++i) {
    if (run.outlier[i]) {
      kept.bend_index.push_back(run.bend_index[i]);
      kept.samples.push_back(run.samples[i]);
      kept.outlier.push_back(true);
    }
  }
  return kept;
}

// The report of one model; fills the bends' after values through `set`.
template <typename Set>
FitModelReport Report(std::string_view name, std::string_view choice, const MaterialModel& before,
                      const ModelRun& run, Set set) {
  FitModelReport report;
  report.model = std::string(name);
  report.term_choice = std::string(choice);
  report.before = Describe(before);
  report.after = Describe(run.result.model);
  report.rank = run.result.fit.rank;
  report.condition = run.result.fit.condition;
  std::vector<double> residual_before, residual_after, residual_fit;
  for (std::size_t i = 0; i < run.samples.size(); ++i) {
    const ModelSample& sample = run.samples[i];
    const bool out = i >= run.fitted;
    const double stored = EvaluatePolynomial(run.result.model, sample.angle, sample.ratio);
    double after = stored;  // a dropped bend: the new model's own prediction
    if (!out) {
      after = sample.value - run.result.fit.loo_residuals[i];
      residual_fit.push_back(sample.value - stored);
    }
    const std::optional<float> old = EvaluateModelAtRatio(before, sample.angle, sample.ratio);
    const double old_value = old ? *old : kNaN;
    set(run.bend_index[i], old_value, after, run.outlier[i]);
    if (out) continue;
    residual_before.push_back(sample.value - old_value);
    residual_after.push_back(sample.value - after);
  }
  report.bends_used = static_cast<int>(run.fitted);
  report.rms_before = RootMeanSquare(residual_before);
  report.largest_before = LargestMagnitude(residual_before);
  report.rms_after = RootMeanSquare(residual_after);
  report.largest_after = LargestMagnitude(residual_after);
  report.rms_fit = RootMeanSquare(residual_fit);
  return report;
}

void AddDomain(FitReport& report) {
  std::map<long, FitDomainRow> by_ratio;
  bool first = true;
  for (const FitBendRow& row : report.bends) {
    const double angle = row.bend.target_angle;
    if (first) {
      report.lowest_angle = report.highest_angle = angle;
      report.lowest_ratio = report.highest_ratio = row.ratio;
      first = false;
    }
    report.lowest_angle = std::min(report.lowest_angle, angle);
    report.highest_angle = std::max(report.highest_angle, angle);
    report.lowest_ratio = std::min(report.lowest_ratio, row.ratio);
    report.highest_ratio = std::max(report.highest_ratio, row.ratio);
    const long key = std::lround(row.ratio * 10.0);
    auto [it, added] = by_ratio.try_emplace(key);
    FitDomainRow& group = it->second;
    if (added) {
      group.ratio = static_cast<double>(key) / 10.0;
      group.lowest_angle = group.highest_angle = angle;
    }
    group.lowest_angle = std::min(group.lowest_angle, angle);
    group.highest_angle = std::max(group.highest_angle, angle);
    ++group.bends;
  }
  for (const auto& [key, group] : by_ratio) report.domain.push_back(group);
}

void AddCurves(FitReport& report, const MaterialModel& before, const MaterialModel& after) {
  std::vector<double> ratios = {report.lowest_ratio};
  const double middle = (report.lowest_ratio + report.highest_ratio) / 2.0;
  if (report.highest_ratio - report.lowest_ratio > 0.5) ratios.push_back(middle);
  if (report.highest_ratio > report.lowest_ratio) ratios.push_back(report.highest_ratio);
  constexpr int kPoints = 25;
  for (double ratio : ratios) {
    FitCurve curve;
    curve.ratio = ratio;
    for (int i = 0; i < kPoints; ++i) {
      const double angle =
          report.lowest_angle + (report.highest_angle - report.lowest_angle) * i / (kPoints - 1);
      curve.angles.push_back(angle);
      curve.before.push_back(EvaluatePolynomial(before, static_cast<float>(angle), static_cast<float>(ratio)));
      curve.after.push_back(EvaluatePolynomial(after, static_cast<float>(angle), static_cast<float>(ratio)));
    }
    report.curves.push_back(std::move(curve));
  }
}

void AddNotes(FitReport& report) {
  int extrapolated = 0;
  for (const FitBendRow& row : report.bends) extrapolated += row.extrapolated ? 1 : 0;
  if (extrapolated > 0) {
    report.notes.push_back(std::to_string(extrapolated) + " of the bends lie outside V/t 4..20, where the "
                           "driver continues each model along a straight line from V/t 4 and 6 or 16 and 20; "
                           "they were fitted on that line.");
  }
  report.notes.push_back("The new model rests on bends from " + Significant(report.lowest_angle) + " to " +
                         Significant(report.highest_angle) + " degrees and V/t " + Significant(report.lowest_ratio) +
                         " to " + Significant(report.highest_ratio) +
                         "; outside that range it extrapolates, and programs there deserve a test bend.");
  if (report.domain.size() == 1) {
    report.notes.push_back("All bends share one V/t ratio: the model says nothing about other dies.");
  }
}

}  // namespace

Result<FitOutcome> FitMaterialData(const MaterialFile& file, const std::vector<TestBend>& bends,
                                   const FitRequest& request) {
  TermChoice choice = TermChoice::kFile;
  std::vector<int> given;
  if (request.terms == "auto") {
    choice = TermChoice::kAuto;
  } else if (!request.terms.empty()) {
    Result<std::vector<int>> parsed = ParseTermList(request.terms);
    if (!parsed.ok()) return parsed.status();
    given = std::move(*parsed);
    choice = TermChoice::kGiven;
  }
  const char* choice_name = choice == TermChoice::kAuto ? "auto" : (choice == TermChoice::kGiven ? "given" : "file");
  const MaterialModel& old_springback = file.models[kSpringback];
  const MaterialModel& old_radius = file.models[kInnerRadius];

  FitOutcome outcome;
  FitReport& report = outcome.report;
  report.material_path = request.material_path;
  report.bends_path = request.bends_path;
  report.unit = request.unit;

  ModelRun springback, radius;
  for (std::size_t i = 0; i < bends.size(); ++i) {
    const TestBend& bend = bends[i];
    FitBendRow row;
    row.bend = bend;
    row.ratio = bend.die_width / bend.thickness;
    row.extrapolated = row.ratio < kLowestFitRatio || row.ratio > kHighestFitRatio;
    const float angle = BendAngle(bend), ratio = BendRatio(bend);
    const double old = EvaluatePolynomial(old_springback, angle, ratio);
    row.springback_before = old;
    row.springback_measured = bend.measured_angle - bend.target_angle + old;
    row.residual_before = row.springback_measured - old;
    springback.samples.push_back({angle, ratio, row.springback_measured});
    springback.bend_index.push_back(i);
    if (bend.inner_radius) {
      row.radius_measured = std::log10(*bend.inner_radius / bend.thickness);
      radius.samples.push_back({angle, ratio, *row.radius_measured});
      radius.bend_index.push_back(i);
    }
    report.bends.push_back(std::move(row));
  }

  std::vector<bool> dropped(bends.size(), false);
  const double float_max = std::numeric_limits<float>::max();
  const std::vector<int> springback_codes = choice == TermChoice::kFile ? FileCodes(old_springback) : given;
  Result<ModelRun> fitted = RunModel("springback", std::move(springback), springback_codes, choice, float_max,
                                     request.drop_outliers, dropped);
  if (!fitted.ok()) return fitted.status();
  springback = std::move(*fitted);

  const bool fit_radius = !radius.samples.empty();
  if (fit_radius) {
    // A radius model that is no polynomial has no terms to keep: choose them.
    TermChoice radius_choice = choice;
    if (choice == TermChoice::kFile && old_radius.form != kFormPolynomial) radius_choice = TermChoice::kAuto;
    const std::vector<int> radius_codes = choice == TermChoice::kFile ? FileCodes(old_radius) : given;
    // 10 raised to the model value must stay a float.
    const double limit = std::log10(float_max);
    Result<ModelRun> radius_fit =
        RunModel("inner radius", std::move(radius), radius_codes, radius_choice, limit, request.drop_outliers, dropped);
    if (!radius_fit.ok()) return radius_fit.status();
    radius = std::move(*radius_fit);
  }

  MaterialFile new_file = file;
  new_file.models[kSpringback] = springback.result.model;
  if (fit_radius) new_file.models[kInnerRadius] = radius.result.model;

  for (std::size_t i = 0; i < bends.size(); ++i) report.bends[i].dropped = dropped[i];
  report.springback = Report("springback", choice_name, old_springback, springback,
                             [&](std::size_t bend, double, double after, bool outlier) {
                               FitBendRow& row = report.bends[bend];
                               row.springback_after = after;
                               row.residual_after = row.springback_measured - after;
                               row.outlier = row.outlier || outlier;
                             });
  if (fit_radius) {
    const char* radius_choice_name = choice == TermChoice::kFile && old_radius.form != kFormPolynomial ? "auto" : choice_name;
    report.inner_radius = Report("inner radius", radius_choice_name, old_radius, radius,
                                 [&](std::size_t bend, double before, double after, bool outlier) {
                                   FitBendRow& row = report.bends[bend];
                                   if (std::isfinite(before)) row.radius_before = before;
                                   row.radius_after = after;
                                   row.outlier = row.outlier || outlier;
                                 });
  }
  for (const FitBendRow& row : report.bends) report.outliers += row.outlier ? 1 : 0;
  report.outliers_dropped = request.drop_outliers && report.outliers > 0;
  AddDomain(report);
  AddCurves(report, old_springback, new_file.models[kSpringback]);
  AddNotes(report);

  outcome.material = EncodeMaterialFile(new_file);
  std::string notes = "Fitted to " + std::to_string(report.springback.bends_used) + " test bends";
  if (!request.bends_path.empty()) notes += " from " + request.bends_path;
  if (!request.material_path.empty()) notes += ", starting from " + request.material_path;
  outcome.description = DescribeMaterial(new_file, "", notes + ".");
  return outcome;
}

Result<FitOutcome> FitMaterialFiles(FileSystem& files, const FitRequest& request) {
  MaterialFile file;
  if (Status read = ReadMaterialFile(files, request.material_path, file); !read.ok()) return read;
  Result<std::vector<TestBend>> bends = ReadTestBends(files, request.bends_path, request.unit);
  if (!bends.ok()) return bends.status();
  return FitMaterialData(file, *bends, request);
}

Status WriteFittedMaterialFile(FileSystem& files, const FitRequest& request, const FitOutcome& outcome,
                               const std::string& new_path, bool force) {
  if (!force) {
    std::error_code error;
    if (std::filesystem::equivalent(new_path, request.material_path, error) && !error) {
      return Status::Refused(new_path + ": is the material file the fit started from; give --force to replace it");
    }
    const std::filesystem::file_status status = std::filesystem::symlink_status(new_path, error);
    if (status.type() != std::filesystem::file_type::not_found) {
      return Status::Refused(new_path + (status.type() == std::filesystem::file_type::none
                                             ? ": cannot be checked: " + error.message()
                                             : ": already exists; give --force to replace it"));
    }
  }
  const std::string_view bytes(reinterpret_cast<const char*>(outcome.material.data()), outcome.material.size());
  return ReplaceFileContents(files, new_path, bytes).WithContext(new_path);
}

}  // namespace driverwyr::calibration
