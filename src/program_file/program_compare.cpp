// The comparison of two program files behind driverwyr/program_compare.h.
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "driverwyr/files.h"
#include "driverwyr/program_compare.h"
#include "driverwyr/program_format.h"
#include "program_file/program_compare_fields.h"

namespace driverwyr {
namespace {

ProgramValue ValueOf(const ProgramField& field) {
  ProgramValue value;
  switch (field.kind) {
    case ProgramField::Kind::kInteger:
      value.kind = ProgramValue::Kind::kInteger;
      value.integer = field.integer;
      break;
    case ProgramField::Kind::kFloat:
      value.kind = ProgramValue::Kind::kNumber;
      value.number = field.number;
      break;
    case ProgramField::Kind::kText:
    case ProgramField::Kind::kChar:
      value.kind = ProgramValue::Kind::kText;
      value.text = std::string(field.text);
      break;
  }
  return value;
}

double NumberOf(const ProgramValue& value) {
  return value.kind == ProgramValue::Kind::kInteger ? static_cast<double>(value.integer) : value.number;
}

void CompareFields(int record, const std::vector<ProgramField>& a, const std::vector<ProgramField>& b,
                   double tolerance, std::vector<ProgramDifference>& out) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    ProgramDifference difference;
    difference.record = record;
    difference.field = std::string(a[i].name);
    difference.unit = std::string(a[i].unit);
    difference.a = ValueOf(a[i]);
    difference.b = ValueOf(b[i]);
    difference.difference = std::numeric_limits<double>::quiet_NaN();
    if (difference.a.kind == ProgramValue::Kind::kText) {
      if (difference.a.text == difference.b.text) continue;
    } else {
      const double x = NumberOf(difference.a), y = NumberOf(difference.b);
      if (std::isnan(x) && std::isnan(y)) continue;
      difference.difference = y - x;
      // Also catches one NaN: its difference compares false.
      if (std::fabs(difference.difference) <= tolerance) continue;
    }
    out.push_back(std::move(difference));
  }
}

}  // namespace

std::vector<ProgramDifference> ComparePrograms(const ProgramFile& a, const ProgramFile& b, double tolerance) {
  std::vector<ProgramDifference> out;
  CompareFields(-1, DescribeProgramHeader(a.header), DescribeProgramHeader(b.header), tolerance, out);
  const std::size_t common = std::min(a.records.size(), b.records.size());
  for (std::size_t i = 0; i < common; ++i) {
    CompareFields(static_cast<int>(i), DescribeProgramRecord(a.records[i]), DescribeProgramRecord(b.records[i]),
                  tolerance, out);
  }
  for (std::size_t i = common; i < std::max(a.records.size(), b.records.size()); ++i) {
    ProgramDifference only;
    only.record = static_cast<int>(i);
    only.difference = std::numeric_limits<double>::quiet_NaN();
    (i < a.records.size() ? only.a : only.b).kind = ProgramValue::Kind::kText;
    out.push_back(std::move(only));
  }
  return out;
}

bool CompareProgramFiles(const std::string& a_path, const std::string& b_path, double tolerance,
                         std::vector<ProgramDifference>* differences, std::string* why_not) {
  try {
    const Result<ProgramFile> a = ReadProgramFile(DefaultFileSystem(), a_path);
    const Result<ProgramFile> b = a.ok() ? ReadProgramFile(DefaultFileSystem(), b_path) : Result<ProgramFile>(a.status());
    const std::string* failed = !a.ok() ? &a_path : (!b.ok() ? &b_path : nullptr);
    if (failed != nullptr) {
      if (why_not != nullptr) *why_not = *failed + ": " + (!a.ok() ? a.error() : b.error());
      return false;
    }
    if (!(tolerance >= 0.0)) {
      if (why_not != nullptr) *why_not = "the tolerance must be a number of at least 0";
      return false;
    }
    if (differences != nullptr) *differences = ComparePrograms(*a, *b, tolerance);
    return true;
  } catch (const std::exception& e) {
    if (why_not != nullptr) *why_not = e.what();
    return false;
  }
}

}  // namespace driverwyr
