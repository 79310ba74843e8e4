// Builders of material models and files for the bend calculation tests, and
// the scratch folder and recording user interface of the writer tests.
#ifndef DRIVERWYR_TESTS_BENDING_BENDING_TEST_SUPPORT_H_
#define DRIVERWYR_TESTS_BENDING_BENDING_TEST_SUPPORT_H_

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "driverwyr/material_data.h"
#include "program_file/writer_test_support.h"

namespace bending_test {

using driverwyr::MaterialFile;
using driverwyr::MaterialModel;

// c0 + sum of coefficient x term(code).
inline MaterialModel Polynomial(float constant, std::initializer_list<std::pair<int, float>> terms = {}) {
  MaterialModel model;
  model.form = driverwyr::kFormPolynomial;
  model.coefficients[0] = constant;
  for (const auto& [code, coefficient] : terms) {
    const auto i = static_cast<std::size_t>(model.term_count++);
    model.term_codes[i] = code;
    model.coefficients[i + 1] = coefficient;
  }
  return model;
}

// A grid with rows 30, 40, ..., 180 (angles) and the given column keys (V/t),
// each value given by `value(angle, ratio)`.
inline MaterialModel Grid(const std::function<float(float, float)>& value,
                          const std::vector<float>& columns = {4, 5, 6, 8, 10, 12, 14, 16, 18, 20}) {
  MaterialModel model;
  model.form = driverwyr::kFormGrid;
  for (std::size_t column = 1; column <= columns.size(); ++column) model.grid[column] = columns[column - 1];
  for (int row = 1; row <= driverwyr::kGridRows; ++row) {
    const auto base = static_cast<std::size_t>(row * driverwyr::kGridStride);
    model.grid[base] = 20.0f + 10.0f * static_cast<float>(row);
    for (int column = 1; column <= driverwyr::kGridColumns; ++column) {
      model.grid[base + static_cast<std::size_t>(column)] = value(model.grid[base], model.ColumnKey(column));
    }
  }
  return model;
}

inline MaterialModel NoModel(int form = 0) {
  MaterialModel model;
  model.form = form;
  return model;
}

inline MaterialFile File(MaterialModel springback, MaterialModel neutral, MaterialModel inner,
                         MaterialModel effect) {
  MaterialFile file;
  file.models = {springback, neutral, inner, effect};
  return file;
}

// A mild-steel-like material: springback 1.5 degrees at 90, neutral fibre
// 0.42, inner radius V/6.5, radius effect 0.85.
inline MaterialFile SteelLike() {
  return File(Polynomial(1.5f, {{2, -1.5f}, {7, 0.75f}, {12, -0.75f}}), Polynomial(0.42f, {{7, 0.04f}}),
              Polynomial(0.1903f, {{7, 0.4304f}, {8, -0.2353f}, {9, 0.1892f}, {10, -0.086f}}),
              Polynomial(0.85f));
}

inline std::string Bytes(const MaterialFile& file) {
  const std::vector<std::uint8_t> bytes = driverwyr::EncodeMaterialFile(file);
  return std::string(bytes.begin(), bytes.end());
}

inline std::span<const std::uint8_t> Span(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

using writer_test::RecordingUi;
using writer_test::TempFolder;
using writer_test::WriteBytes;

}  // namespace bending_test

#endif  // DRIVERWYR_TESTS_BENDING_BENDING_TEST_SUPPORT_H_
