// Fitting one polynomial model of a material file (springback, or the log10
// of inner radius / thickness) to values observed at test bends.
//
// Each term's value at a bend comes from the calculation's own evaluation of
// the polynomial form (EvaluatePolynomial with that term's coefficient 1), so
// the fit uses exactly the terms the driver applies, including the straight
// continuation outside V/t 4..20.
#ifndef DRIVERWYR_CALIBRATION_MODEL_FIT_H_
#define DRIVERWYR_CALIBRATION_MODEL_FIT_H_

#include <string>
#include <string_view>
#include <vector>

#include "calibration/least_squares.h"
#include "driverwyr/material_data.h"
#include "driverwyr/result.h"

namespace driverwyr::calibration {

// What a model is fitted to at one bend.
struct ModelSample {
  float angle = 0.0f;  // the target angle
  float ratio = 0.0f;  // V / t as the calculation rounds it
  double value = 0.0;  // what the model should give there
};

// How the terms are chosen.
enum class TermChoice { kFile, kGiven, kAuto };

struct ModelFitResult {
  std::vector<int> codes;  // the terms, in file order
  LeastSquaresFit fit;     // coefficients: the constant, then one per code
  MaterialModel model;     // the fitted model as stored (float coefficients)
};

// The term codes named in `list` ("T, C, T*C"; codes 2..21 by number are
// taken as well). Invalid for an unknown or repeated name, or more than ten.
Result<std::vector<int>> ParseTermList(std::string_view list);

// The value of term `code` at (angle, ratio) as the calculation evaluates it;
// 1 for code 0, the constant.
double TermValue(int code, float angle, float ratio);

// The names of `codes`, joined with ", ".
std::string TermNames(const std::vector<int>& codes);

// Fits `model_name`'s polynomial to `samples` on `codes`, or with
// TermChoice::kAuto on up to ten codes chosen by forward selection on the
// leave-one-out RMS. Refuses (Invalid) fewer samples than terms + 2 and terms
// the samples cannot determine, naming them; and a model whose coefficients,
// or whose values at the corners and samples of the covered domain, exceed
// `value_limit` in magnitude.
Result<ModelFitResult> FitModel(std::string_view model_name, const std::vector<ModelSample>& samples,
                                const std::vector<int>& codes, TermChoice choice, double value_limit);

// The stored model's value at a sample in double precision (no float
// rounding), for checking it against limits.
double ModelValue(const std::vector<int>& codes, const std::vector<double>& coefficients, float angle, float ratio);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_MODEL_FIT_H_
