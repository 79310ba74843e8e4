#include "calibration/test_bends.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "driverwyr/units.h"
#include "util/text.h"

namespace driverwyr::calibration {
namespace {

enum Column {
  kThickness,
  kDieWidth,
  kTargetAngle,
  kMeasuredAngle,
  kInnerRadius,
  kDieRadius,
  kDieAngle,
  kProgram,
  kStep,
  kLot,
  kNote,
  kColumnCount
};

constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "thickness", "die_width", "target_angle", "measured_angle", "inner_radius", "die_radius",
    "die_angle", "program",   "step",         "lot",            "note"};
constexpr int kRequiredColumns = 4;  // the first four

bool IsLength(int column) {
  return column == kThickness || column == kDieWidth || column == kInnerRadius || column == kDieRadius;
}

// A cell and where it stands.
struct Cell {
  std::string text;
  int column = 0;  // from 1
};

// Splits one record (a line, or several when a quoted cell holds line
// breaks) starting at `at`; advances `at` past its line end and counts the
// lines it spans into `line`.
Status SplitRecord(std::string_view text, std::size_t& at, int& line, std::vector<Cell>& cells) {
  cells.clear();
  const int first_line = line;
  Cell cell;
  cell.column = 1;
  bool quoted = false;
  bool was_quoted = false;
  while (at < text.size()) {
    const char c = text[at];
    if (quoted) {
      ++at;
      if (c == '"') {
        if (at < text.size() && text[at] == '"') {
          cell.text += '"';
          ++at;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        cell.text += c;
      }
      continue;
    }
    if (c == '\n' || c == '\r') {
      ++at;
      if (c == '\r' && at < text.size() && text[at] == '\n') ++at;
      ++line;
      cells.push_back(std::move(cell));
      return Status::Ok();
    }
    ++at;
    if (c == ',') {
      cells.push_back(std::move(cell));
      cell = Cell();
      cell.column = static_cast<int>(cells.size()) + 1;
      was_quoted = false;
      continue;
    }
    if (c == '"' && std::string_view(Trim(cell.text)).empty() && !was_quoted) {
      cell.text.clear();
      quoted = true;
      was_quoted = true;
      continue;
    }
    cell.text += c;
  }
  if (quoted) {
    return Status::Invalid("line " + std::to_string(first_line) + ", column " + std::to_string(cell.column) +
                           ": the quoted cell is never closed");
  }
  ++line;
  cells.push_back(std::move(cell));
  return Status::Ok();
}

std::string Place(int line, const Cell& cell, std::string_view name) {
  return "line " + std::to_string(line) + ", column " + std::to_string(cell.column) + " (" + std::string(name) + ")";
}

Result<double> ParseNumber(std::string_view cell) {
  std::string_view text = Trim(cell);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range && end == text.data() + text.size()) {
    return Status::Invalid("\"" + std::string(Trim(cell)) + "\" is not a finite number");
  }
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return Status::Invalid("\"" + std::string(Trim(cell)) + "\" is not a number");
  }
  if (!std::isfinite(value)) return Status::Invalid("\"" + std::string(Trim(cell)) + "\" is not a finite number");
  return value;
}

bool IsBlankRecord(const std::vector<Cell>& cells) {
  return cells.size() == 1 && Trim(cells[0].text).empty();
}

}  // namespace

Result<std::vector<TestBend>> ParseTestBends(std::string_view text, LengthUnit unit) {
  std::size_t at = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") at = 3;  // a UTF-8 byte order mark
  int line = 1;
  std::vector<Cell> cells;
  // The header: the first record that is not blank.
  int header_line = 1;
  do {
    header_line = line;
    if (at >= text.size()) return Status::Invalid("holds no header row and no bends");
    if (Status split = SplitRecord(text, at, line, cells); !split.ok()) return split;
  } while (IsBlankRecord(cells));

  std::array<int, kColumnCount> index{};  // cell index + 1 of each column, 0 when absent
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::string_view name = Trim(cells[i].text);
    int found = -1;
    for (int c = 0; c < kColumnCount; ++c) {
      if (EqualIgnoringCase(name, kColumnNames[static_cast<std::size_t>(c)])) found = c;
    }
    const std::string where = "line " + std::to_string(header_line) + ", column " + std::to_string(i + 1);
    if (found < 0) {
      return Status::Invalid(where + ": \"" + std::string(Trim(cells[i].text)) +
                             "\" is no column of a test-bend file (thickness, die_width, target_angle, "
                             "measured_angle, inner_radius, die_radius, die_angle, program, step, lot, note)");
    }
    if (index[static_cast<std::size_t>(found)] != 0) {
      return Status::Invalid(where + ": the column " + std::string(kColumnNames[static_cast<std::size_t>(found)]) +
                             " is named twice");
    }
    index[static_cast<std::size_t>(found)] = static_cast<int>(i) + 1;
  }
  for (int c = 0; c < kRequiredColumns; ++c) {
    if (index[static_cast<std::size_t>(c)] == 0) {
      return Status::Invalid("line " + std::to_string(header_line) + ": the header names no column " +
                             std::string(kColumnNames[static_cast<std::size_t>(c)]));
    }
  }
  const double scale = unit == LengthUnit::kInch ? kInchToMillimetres : 1.0;
  const std::size_t header_cells = cells.size();

  std::vector<TestBend> bends;
  while (at < text.size()) {
    const int row_line = line;
    if (Status split = SplitRecord(text, at, line, cells); !split.ok()) return split;
    if (IsBlankRecord(cells)) continue;
    // Every row has as many cells as the header.
    if (cells.size() != header_cells) {
      return Status::Invalid("line " + std::to_string(row_line) + ", column " +
                             std::to_string(std::min(cells.size(), header_cells) + 1) + ": the row has " +
                             std::to_string(cells.size()) + " cells, the header " + std::to_string(header_cells));
    }
    TestBend bend;
    bend.line = row_line;
    for (int c = 0; c < kColumnCount; ++c) {
      const int position = index[static_cast<std::size_t>(c)];
      if (position == 0) continue;
      const Cell& cell = cells[static_cast<std::size_t>(position - 1)];
      const std::string_view name = kColumnNames[static_cast<std::size_t>(c)];
      if (c >= kProgram) {
        std::string value(Trim(cell.text));
        if (c == kProgram) bend.program = std::move(value);
        if (c == kStep) bend.step = std::move(value);
        if (c == kLot) bend.lot = std::move(value);
        if (c == kNote) bend.note = std::move(value);
        continue;
      }
      if (Trim(cell.text).empty()) {
        if (c < kRequiredColumns) return Status::Invalid(Place(row_line, cell, name) + ": the cell is empty");
        continue;
      }
      Result<double> number = ParseNumber(cell.text);
      if (!number.ok()) return Status::Invalid(Place(row_line, cell, name) + ": " + number.error());
      double value = *number;
      if ((c == kThickness || c == kDieWidth) && !(value > 0.0)) {
        return Status::Invalid(Place(row_line, cell, name) + ": must be above 0");
      }
      if (c == kInnerRadius && !(value > 0.0)) {
        return Status::Invalid(Place(row_line, cell, name) +
                               ": must be above 0 (the model holds the logarithm of inner radius / thickness)");
      }
      if (c == kDieRadius && value < 0.0) {
        return Status::Invalid(Place(row_line, cell, name) + ": must not be negative");
      }
      if ((c == kTargetAngle || c == kMeasuredAngle || c == kDieAngle) && (value < 0.0 || value > 180.0)) {
        return Status::Invalid(Place(row_line, cell, name) + ": " + std::string(Trim(cell.text)) +
                               " lies outside 0..180 degrees");
      }
      if (IsLength(c)) {
        value *= scale;
        if (!std::isfinite(value)) return Status::Invalid(Place(row_line, cell, name) + ": is too large");
      }
      switch (c) {
        case kThickness: bend.thickness = value; break;
        case kDieWidth: bend.die_width = value; break;
        case kTargetAngle: bend.target_angle = value; break;
        case kMeasuredAngle: bend.measured_angle = value; break;
        case kInnerRadius: bend.inner_radius = value; break;
        case kDieRadius: bend.die_radius = value; break;
        case kDieAngle: bend.die_angle = value; break;
        default: break;
      }
    }
    const double ratio = bend.die_width / bend.thickness;
    if (!std::isfinite(ratio)) {
      return Status::Invalid("line " + std::to_string(row_line) + ": die_width / thickness is not a finite number");
    }
    bends.push_back(std::move(bend));
  }
  if (bends.empty()) return Status::Invalid("line " + std::to_string(header_line) + ": the file holds no bends");
  return bends;
}

Result<std::vector<TestBend>> ReadTestBends(FileSystem& files, const std::string& path, LengthUnit unit) {
  Result<std::string> text = ReadWholeFile(files, path, kMaxTestBendFileSize);
  if (!text.ok()) return text.status().WithContext(path);
  Result<std::vector<TestBend>> bends = ParseTestBends(*text, unit);
  if (!bends.ok()) return bends.status().WithContext(path);
  return bends;
}

}  // namespace driverwyr::calibration
