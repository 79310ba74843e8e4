#include "calibration/report_model.h"

#include <map>
#include <string>

#include "calibration/report_numbers.h"

namespace driverwyr::calibration {
namespace {

std::string Coefficient(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", value);
  return text;
}

}  // namespace

std::vector<CoefficientRow> CoefficientRows(const FitModelReport& model) {
  std::vector<CoefficientRow> rows;
  const std::string no_model = "(no polynomial)";
  rows.push_back({"constant", model.before.polynomial ? Coefficient(model.before.constant) : no_model,
                  Coefficient(model.after.constant)});
  std::map<int, CoefficientRow> terms;
  for (const FitTerm& term : model.before.terms) terms[term.code] = {term.name, Coefficient(term.coefficient), ""};
  for (const FitTerm& term : model.after.terms) {
    CoefficientRow& row = terms[term.code];
    row.name = term.name;
    row.after = Coefficient(term.coefficient);
  }
  for (const auto& [code, row] : terms) rows.push_back(row);
  return rows;
}

std::string BendMarks(const FitBendRow& row) {
  std::string marks;
  const auto add = [&marks](const char* mark) {
    if (!marks.empty()) marks += ", ";
    marks += mark;
  };
  if (row.outlier) add("outlier");
  if (row.dropped) add("left out");
  if (row.extrapolated) add("V/t outside 4..20");
  return marks;
}

}  // namespace driverwyr::calibration
