// What the renderings of the fit report share: the coefficient table and the
// marks of a bend, and the three renderings themselves.
#ifndef DRIVERWYR_CALIBRATION_REPORT_MODEL_H_
#define DRIVERWYR_CALIBRATION_REPORT_MODEL_H_

#include <string>
#include <vector>

#include "driverwyr/calibration.h"

namespace driverwyr::calibration {

// One line of the coefficient table: the constant, then every term of the
// old or the new model in code order; "" where a model lacks the term, "grid"
// or "none" for an old model of another form.
struct CoefficientRow {
  std::string name, before, after;
};
std::vector<CoefficientRow> CoefficientRows(const FitModelReport& model);

// "outlier", "dropped", "V/t outside 4..20", joined with ", ".
std::string BendMarks(const FitBendRow& row);

std::string ReportText(const FitReport& report);
std::string ReportJson(const FitReport& report);
std::string ReportHtml(const FitReport& report);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_REPORT_MODEL_H_
