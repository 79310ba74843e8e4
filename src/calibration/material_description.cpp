// The readable description of a material data file, in the format that
// `wyr material build` reads (docs/material-file.md).
#include <nlohmann/json.hpp>

#include <string>

#include "calibration/fit_material.h"
#include "calibration/report_numbers.h"
#include "driverwyr/program_text.h"

namespace driverwyr::calibration {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kModelKeys[kModelCount] = {"springback", "neutral_fibre", "inner_radius", "radius_effect"};

Json DescribeModel(const MaterialModel& model) {
  Json out;
  if (model.form == kFormPolynomial) {
    out["form"] = "polynomial";
    out["constant"] = ShortestFloatValue(model.coefficients[0]);
    Json terms = Json::array();
    for (int i = 0; i < model.term_count; ++i) {
      const int code = model.term_codes[static_cast<std::size_t>(i)];
      terms.push_back({{"term", std::string(TermName(code))},
                       {"code", code},
                       {"coefficient", ShortestFloatValue(model.coefficients[static_cast<std::size_t>(i) + 1])}});
    }
    out["terms"] = terms;
  } else if (model.form == kFormGrid) {
    out["form"] = "grid";
    Json columns = Json::array();
    for (int column = 1; column <= kGridColumns; ++column) columns.push_back(ShortestFloatValue(model.ColumnKey(column)));
    out["columns"] = columns;
    Json rows = Json::array();
    for (int row = 1; row <= kGridRows; ++row) {
      Json values = Json::array();
      for (int column = 1; column <= kGridColumns; ++column) values.push_back(ShortestFloatValue(model.GridValue(row, column)));
      rows.push_back({{"angle", ShortestFloatValue(model.RowKey(row))}, {"values", values}});
    }
    out["rows"] = rows;
  } else {
    out["form"] = "none";
  }
  return out;
}

}  // namespace

std::string DescribeMaterial(const MaterialFile& file, std::string_view material, std::string_view notes) {
  Json out;
  if (!material.empty()) out["material"] = std::string(material);
  if (!notes.empty()) out["notes"] = std::string(notes);
  for (int index = 0; index < kModelCount; ++index) {
    out[kModelKeys[index]] = DescribeModel(file.models[static_cast<std::size_t>(index)]);
  }
  // Texts from outside (paths) may hold bytes that are no UTF-8: escape them.
  return out.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace driverwyr::calibration
