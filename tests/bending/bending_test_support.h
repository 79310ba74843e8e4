// Builders of material models and files, a scratch folder, and a user
// interface that records message boxes, for the bend calculation tests.
#ifndef DRIVERWYR_TESTS_BENDING_BENDING_TEST_SUPPORT_H_
#define DRIVERWYR_TESTS_BENDING_BENDING_TEST_SUPPORT_H_

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bending/material_data.h"
#include "driverwyr/host.h"

namespace bending_test {

using driverwyr::MaterialFile;
using driverwyr::MaterialModel;

// c0 + sum of coefficient x term(code).
inline MaterialModel Polynomial(float constant, std::initializer_list<std::pair<int, float>> terms = {}) {
  MaterialModel model;
  model.form = driverwyr::kFormPolynomial;
  model.coefficients[0] = constant;
  for (const auto& [code, coefficient] : terms) {
    model.term_codes[static_cast<std::size_t>(model.term_count)] = code;
    model.coefficients[static_cast<std::size_t>(model.term_count) + 1] = coefficient;
    ++model.term_count;
  }
  return model;
}

// A grid with the given column keys (V/t) and row keys (angles), each value
// given by `value(angle, ratio)`.
inline MaterialModel Grid(const std::vector<float>& columns, const std::vector<float>& rows,
                          const std::function<float(float, float)>& value) {
  MaterialModel model;
  model.form = driverwyr::kFormGrid;
  for (int column = 1; column <= driverwyr::kGridColumns; ++column) {
    model.grid[static_cast<std::size_t>(column)] = columns.at(static_cast<std::size_t>(column - 1));
  }
  for (int row = 1; row <= driverwyr::kGridRows; ++row) {
    const float angle = rows.at(static_cast<std::size_t>(row - 1));
    const auto base = static_cast<std::size_t>(row * driverwyr::kGridStride);
    model.grid[base] = angle;
    for (int column = 1; column <= driverwyr::kGridColumns; ++column) {
      model.grid[base + static_cast<std::size_t>(column)] = value(angle, model.ColumnKey(column));
    }
  }
  return model;
}

inline const std::vector<float>& StandardColumns() {
  static const std::vector<float> columns = {4, 5, 6, 8, 10, 12, 14, 16, 18, 20};
  return columns;
}

// Rows 30, 40, ..., 180.
inline std::vector<float> StandardRows() {
  std::vector<float> rows;
  for (int row = 0; row < driverwyr::kGridRows; ++row) rows.push_back(30.0f + 10.0f * static_cast<float>(row));
  return rows;
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

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed on destruction.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("driverwyr-bending-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

struct MessageBox {
  std::string text;
  unsigned style = 0;
};

// Records every message box and acknowledges it; shows no dialogs.
class RecordingUserInterface : public driverwyr::UserInterface {
 public:
  int ShowMessageBox(const std::string& text, unsigned style) override {
    boxes.push_back({text, style});
    return driverwyr::kIdOk;
  }
  int RunDialog(int /*template_id*/, driverwyr::DialogHandler& /*handler*/) override { return -1; }
  std::optional<std::string> BrowseForFolder(driverwyr::DialogWindow& /*owner*/, const std::string& /*title*/,
                                             const std::string& /*initial_folder*/) override {
    return std::nullopt;
  }

  std::vector<MessageBox> boxes;
};

}  // namespace bending_test

#endif  // DRIVERWYR_TESTS_BENDING_BENDING_TEST_SUPPORT_H_
