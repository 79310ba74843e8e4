// Material data files and the force factor table of the bend calculation.
//
// A material data file (f_1 to f_4 in the data folder) holds four fitted
// models of one material, in this order: springback angle, neutral-fibre
// factor, inner radius, radius effect. Each model is a polynomial in the bend
// angle and the die-width / thickness ratio, or a grid over both, or nothing.
// docs/material-file.md describes the byte layout and the evaluation rules.
//
// Everything here is stateless: the reader works on a byte buffer, so the
// driver, `wyr material` and a host that shows or writes material data share
// it; files are read through a FileSystem (driverwyr/files.h).
//
// A C++ interface: see driverwyr/host.h for the toolchain it asks of a host.
#ifndef DRIVERWYR_MATERIAL_DATA_H_
#define DRIVERWYR_MATERIAL_DATA_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driverwyr/export.h"
#include "driverwyr/files.h"
#include "driverwyr/result.h"

namespace driverwyr {

inline constexpr int kFormPolynomial = 1;
inline constexpr int kFormGrid = 2;

inline constexpr int kModelCount = 4;
inline constexpr int kMaxTerms = 10;
inline constexpr int kFirstTermCode = 2;
inline constexpr int kLastTermCode = 21;
// 17 rows of 11 floats: entry 0 unused, entries 1..10 the column keys (V/t),
// then rows 1..16, each a row key (bend angle) followed by 10 values.
inline constexpr int kGridColumns = 10;
inline constexpr int kGridRows = 16;
inline constexpr int kGridStride = kGridColumns + 1;
inline constexpr int kGridFloats = (kGridRows + 1) * kGridStride;  // 187

// Block sizes in bytes.
inline constexpr std::size_t PolynomialBlockSize(int terms) {
  return 16 + 6 * static_cast<std::size_t>(terms);
}
inline constexpr std::size_t kGridBlockSize = 764;
inline constexpr std::size_t kOtherBlockSize = 4;
// No file of four blocks is longer than this.
inline constexpr std::size_t kMaxMaterialFileSize = 4 * kGridBlockSize;

// One fitted model. Only the fields of its form are meaningful; the others
// stay zero.
struct MaterialModel {
  int form = 0;  // kFormPolynomial, kFormGrid, anything else: no model
  int term_count = 0;                                 // polynomial: 0..10
  std::array<int, kMaxTerms> term_codes{};            // polynomial: 2..21 each
  std::array<float, kMaxTerms + 1> coefficients{};    // polynomial: c0, then one per term
  std::array<float, kGridFloats> grid{};              // grid form

  float ColumnKey(int column) const { return grid[static_cast<std::size_t>(column)]; }  // 1..10
  float RowKey(int row) const { return grid[static_cast<std::size_t>(row * kGridStride)]; }  // 1..16
  float GridValue(int row, int column) const {
    return grid[static_cast<std::size_t>(row * kGridStride + column)];
  }

  bool operator==(const MaterialModel&) const = default;
};

// The four models of a file, in file order.
enum ModelIndex { kSpringback = 0, kNeutralFibre = 1, kInnerRadius = 2, kRadiusEffect = 3 };

struct MaterialFile {
  std::array<MaterialModel, kModelCount> models;
  bool operator==(const MaterialFile&) const = default;
};

// Where one block lies in a file, and its separator words (which carry no
// meaning and are kept only to show them and to write a file back unchanged).
struct MaterialBlockLayout {
  std::size_t offset = 0;
  std::size_t size = 0;
  std::vector<std::uint16_t> separators;
};

struct MaterialFileParse {
  MaterialFile file;
  std::array<MaterialBlockLayout, kModelCount> layout;
  std::size_t used = 0;  // bytes taken by the four blocks; anything after them is ignored
};

// "springback", "neutral fibre", "inner radius", "radius effect".
DRIVERWYR_API std::string_view ModelName(int index);
// "T", "T^2", ..., "T*C^4" for codes 2..21; empty for any other code.
DRIVERWYR_API std::string_view TermName(int code);

// Decodes a material data file. Never reads outside `bytes`. Rejects, with a
// message naming the block and offset: a file that ends inside a block, a term
// count outside 0..10, a term code outside 2..21, a springback block that is
// not polynomial, a coefficient or grid number that is not finite, and grid
// keys that do not ascend strictly. Blocks of a form other than 1 and 2 end
// after their form word and give no model. Bytes after the fourth block are
// ignored (`used` tells where the blocks end).
DRIVERWYR_API Result<MaterialFileParse> ParseMaterialFile(std::span<const std::uint8_t> bytes);

// Reads material data file `path` through `files` (at most
// kMaxMaterialFileSize bytes, which is all that four blocks can need) and
// decodes it, as ParseMaterialFile does but without the separator words
// (the calculation has no use for them). The error, which begins with the
// path, says why when the file is missing, is no regular file, cannot be read
// or is malformed.
// The models go straight into `models`, which holds nothing usable when the
// read fails. `bytes`, when given, receives the bytes read (emptied when the
// file cannot be read); its capacity is reused.
DRIVERWYR_API Status ReadMaterialFile(FileSystem& files, const std::string& path, MaterialFile& models,
                                      std::string* bytes = nullptr);

// Encodes a material file. `separators`, when given, supplies each block's
// separator words (missing ones are 0); otherwise every separator is 0. The
// models must be well formed (term counts 0..10).
DRIVERWYR_API std::vector<std::uint8_t> EncodeMaterialFile(
    const MaterialFile& file,
    const std::array<std::vector<std::uint16_t>, kModelCount>* separators = nullptr);

// The path of material data file `number` in `data_path`: the folder, the
// platform's path separator, "f_" and the digit. Built at full length.
DRIVERWYR_API std::string MaterialFilePath(std::string_view data_path, int number);

// The polynomial form at bend angle `angle` (degrees) and ratio r = V/t,
// whatever form the model declares. Outside 4 <= r <= 20 the value is
// extrapolated linearly from the samples at r = 4 and 6 (below) or 16 and 20
// (above).
DRIVERWYR_API float EvaluatePolynomial(const MaterialModel& model, float angle, float ratio);

// The grid form at `angle` and ratio r; nothing when the angle lies outside
// the grid's row range (below the first row key less 10, or at or above the
// last row key). Outside 4 <= r <= 20 the grid is sampled at r = 4 and 6 or
// 16 and 20 and extrapolated linearly in r, as the polynomial form is.
DRIVERWYR_API std::optional<float> EvaluateGrid(const MaterialModel& model, float angle, float ratio);

// The model's value in the form it declares, at `angle` and the ratio
// die_width / thickness (rounded to float); nothing for a model of neither
// form, for a grid angle out of range, or when the ratio is not a number.
DRIVERWYR_API std::optional<float> EvaluateModel(const MaterialModel& model, float angle, float die_width,
                                   float thickness);
// The same, with the ratio given.
DRIVERWYR_API std::optional<float> EvaluateModelAtRatio(const MaterialModel& model, float angle, float ratio);

// The force factor k of air bending over x = die width / thickness,
// interpolated linearly in a fixed table from x = 2.5 (k = 1.59) to x = 30
// (k = 1.165). Outside the table the end values hold: k = 1.59 below 2.5,
// 1.165 from 30 up (extending the end segments would make k negative for
// wide dies).
DRIVERWYR_API float ForceFactor(float x);

}  // namespace driverwyr

#endif  // DRIVERWYR_MATERIAL_DATA_H_
