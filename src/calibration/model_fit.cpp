#include "calibration/model_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "calibration/report_numbers.h"
#include "util/text.h"

namespace driverwyr::calibration {
namespace {

// Auto choice: a term is taken only when it lowers the leave-one-out RMS by
// at least this fraction, so that noise does not buy terms.
constexpr double kAutoGain = 0.01;

Design MakeDesign(const std::vector<ModelSample>& samples, const std::vector<int>& codes) {
  Design design;
  design.rows = static_cast<int>(samples.size());
  design.columns = static_cast<int>(codes.size()) + 1;
  design.values.resize(static_cast<std::size_t>(design.rows) * static_cast<std::size_t>(design.columns));
  for (int r = 0; r < design.rows; ++r) {
    const ModelSample& sample = samples[static_cast<std::size_t>(r)];
    design.at(r, 0) = 1.0;
    for (std::size_t j = 0; j < codes.size(); ++j) {
      design.at(r, static_cast<int>(j) + 1) = TermValue(codes[j], sample.angle, sample.ratio);
    }
  }
  return design;
}

std::vector<double> Observed(const std::vector<ModelSample>& samples) {
  std::vector<double> values;
  values.reserve(samples.size());
  for (const ModelSample& sample : samples) values.push_back(sample.value);
  return values;
}

std::size_t DistinctCount(const std::vector<ModelSample>& samples, bool angles) {
  std::set<float> seen;
  for (const ModelSample& sample : samples) seen.insert(angles ? sample.angle : sample.ratio);
  return seen.size();
}

std::string Plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The leave-one-out RMS of a fit on `codes`, or infinity when the samples
// cannot support it.
double Score(const std::vector<ModelSample>& samples, const std::vector<int>& codes) {
  if (samples.size() < codes.size() + 2) return std::numeric_limits<double>::infinity();
  const Design design = MakeDesign(samples, codes);
  if (DesignRank(design) < design.columns) return std::numeric_limits<double>::infinity();
  return RootMeanSquare(SolveLeastSquares(design, Observed(samples)).loo_residuals);
}

std::vector<int> ChooseTerms(const std::vector<ModelSample>& samples) {
  std::vector<int> chosen;
  double current = Score(samples, chosen);
  while (static_cast<int>(chosen.size()) < kMaxTerms) {
    int best_code = 0;
    double best = current;
    for (int code = kFirstTermCode; code <= kLastTermCode; ++code) {
      if (std::find(chosen.begin(), chosen.end(), code) != chosen.end()) continue;
      std::vector<int> trial = chosen;
      trial.push_back(code);
      const double score = Score(samples, trial);
      if (score < best) {
        best = score;
        best_code = code;
      }
    }
    if (best_code == 0 || !(best < current * (1.0 - kAutoGain))) break;
    chosen.push_back(best_code);
    current = best;
  }
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

}  // namespace

Result<std::vector<int>> ParseTermList(std::string_view list) {
  std::vector<int> codes;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view name = Trim(list.substr(start, comma - start));
    start = comma + 1;
    if (name.empty()) return Status::Invalid("--terms: an empty term name in \"" + std::string(list) + "\"");
    int code = 0;
    for (int c = kFirstTermCode; c <= kLastTermCode; ++c) {
      if (EqualIgnoringCase(name, TermName(c)) || name == std::to_string(c)) code = c;
    }
    if (code == 0) {
      return Status::Invalid("--terms: \"" + std::string(name) +
                             "\" is no term (T, T^2 .. T^5, C, C^2 .. C^5, T*C, T*C^2, T^2*C, T^2*C^2, T*C^3, "
                             "T^3*C, T^2*C^3, T^3*C^2, T^4*C, T*C^4)");
    }
    if (std::find(codes.begin(), codes.end(), code) != codes.end()) {
      return Status::Invalid("--terms: " + std::string(TermName(code)) + " is named twice");
    }
    codes.push_back(code);
  }
  if (static_cast<int>(codes.size()) > kMaxTerms) {
    return Status::Invalid("--terms: " + std::to_string(codes.size()) + " terms, a model holds at most " +
                           std::to_string(kMaxTerms));
  }
  return codes;
}

double TermValue(int code, float angle, float ratio) {
  if (code == 0) return 1.0;
  MaterialModel unit;
  unit.form = kFormPolynomial;
  unit.term_count = 1;
  unit.term_codes[0] = code;
  unit.coefficients[1] = 1.0f;
  return EvaluatePolynomial(unit, angle, ratio);
}

std::string TermNames(const std::vector<int>& codes) {
  std::string names;
  for (int code : codes) {
    if (!names.empty()) names += ", ";
    names += TermName(code);
  }
  return names.empty() ? "(the constant alone)" : names;
}

double ModelValue(const std::vector<int>& codes, const std::vector<double>& coefficients, float angle, float ratio) {
  double value = coefficients.empty() ? 0.0 : coefficients[0];
  for (std::size_t j = 0; j < codes.size() && j + 1 < coefficients.size(); ++j) {
    value += coefficients[j + 1] * TermValue(codes[j], angle, ratio);
  }
  return value;
}

Result<ModelFitResult> FitModel(std::string_view model_name, const std::vector<ModelSample>& samples,
                                const std::vector<int>& given, TermChoice choice, double value_limit) {
  const std::string name(model_name);
  const std::vector<int> codes = choice == TermChoice::kAuto ? ChooseTerms(samples) : given;
  if (samples.size() < codes.size() + 2) {
    return Status::Invalid("the " + name + " model has " + Plural(codes.size(), "term", "terms") + " (" +
                           TermNames(codes) + "), so its fit needs at least " + std::to_string(codes.size() + 2) +
                           " bends; there " + (samples.size() == 1 ? "is " : "are ") +
                           std::to_string(samples.size()));
  }
  const Design design = MakeDesign(samples, codes);
  const std::vector<int> undetermined = UndeterminedColumns(design);
  if (!undetermined.empty()) {
    std::vector<int> named;
    for (int column : undetermined) named.push_back(column == 0 ? 0 : codes[static_cast<std::size_t>(column - 1)]);
    return Status::Invalid("the bends cannot determine the " + name + " terms " + TermNames(named) +
                           ": they cover " + Plural(DistinctCount(samples, true), "angle", "angles") + " and " +
                           Plural(DistinctCount(samples, false), "V/t ratio", "V/t ratios") +
                           "; bend more angles and dies, or name fewer terms with --terms");
  }
  ModelFitResult result;
  result.codes = codes;
  result.fit = SolveLeastSquares(design, Observed(samples));

  const double float_max = std::numeric_limits<float>::max();
  for (double coefficient : result.fit.coefficients) {
    if (!(std::fabs(coefficient) <= float_max)) {
      return Status::Invalid("the fitted " + name + " model has a coefficient (" + Significant(coefficient) +
                             ") outside the range of a float");
    }
  }
  // Its values at every bend and at the corners of the covered domain.
  float lowest_angle = samples.front().angle, highest_angle = lowest_angle;
  float lowest_ratio = samples.front().ratio, highest_ratio = lowest_ratio;
  for (const ModelSample& sample : samples) {
    lowest_angle = std::min(lowest_angle, sample.angle);
    highest_angle = std::max(highest_angle, sample.angle);
    lowest_ratio = std::min(lowest_ratio, sample.ratio);
    highest_ratio = std::max(highest_ratio, sample.ratio);
  }
  std::vector<ModelSample> points = samples;
  for (float angle : {lowest_angle, highest_angle}) {
    for (float ratio : {lowest_ratio, highest_ratio}) points.push_back({angle, ratio, 0.0});
  }
  for (const ModelSample& point : points) {
    const double value = ModelValue(codes, result.fit.coefficients, point.angle, point.ratio);
    if (!(std::fabs(value) <= value_limit)) {
      return Status::Invalid("the fitted " + name + " model gives " + Significant(value) + " at " + Significant(point.angle) +
                             " degrees and V/t " + Significant(point.ratio) +
                             ", outside what a material data file can hold (at most " + Significant(value_limit) +
                             "); check the measurements");
    }
  }

  result.model.form = kFormPolynomial;
  result.model.term_count = static_cast<int>(codes.size());
  for (std::size_t j = 0; j < codes.size(); ++j) result.model.term_codes[j] = codes[j];
  for (std::size_t j = 0; j < result.fit.coefficients.size(); ++j) {
    result.model.coefficients[j] = static_cast<float>(result.fit.coefficients[j]);
  }
  return result;
}

}  // namespace driverwyr::calibration
