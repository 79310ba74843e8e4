// Comparing two program files (".wyr"), field by field.
//
// The shop's way to see what a change does (another material data file, a
// new tool list): run the job both ways and compare the programs. The header
// is compared field by field, then the step records pairwise in order; each
// field that differs is listed with both values. Field names are those of
// `wyr dump` and docs/program-file.md.
//
// A C++ interface for hosts built with the library's toolchain (see
// driverwyr/host.h); nothing is thrown across it.
#ifndef DRIVERWYR_PROGRAM_COMPARE_H_
#define DRIVERWYR_PROGRAM_COMPARE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "driverwyr/export.h"

namespace driverwyr {

// One field's value as the file holds it.
struct ProgramValue {
  enum class Kind {
    kAbsent,   // the record is not in this file
    kInteger,  // `integer`
    kNumber,   // `number`, a single-precision float
    kText,     // `text`: the field's bytes, padding included; a missing orientation character is ""
  };
  Kind kind = Kind::kAbsent;
  std::int64_t integer = 0;
  float number = 0.0f;
  std::string text;
};

struct ProgramDifference {
  int record = -1;    // -1: the header; otherwise the step record, from 0
  std::string field;  // empty when the whole record is in one file only
  std::string unit;   // "mm", "deg" or empty
  ProgramValue a, b;
  // b - a for two numbers or integers; NaN otherwise.
  double difference = 0.0;
};

// Reads the program files `a_path` and `b_path` and fills *differences with
// every field that differs, in file order: numbers (integers and floats) that
// differ by more than `tolerance` (two NaNs are alike), and texts that differ
// in any byte. Records beyond the shorter file are listed once each, with
// an empty field name, kAbsent on the side that lacks the record and an
// empty kText on the side that holds it. Returns false, with *why_not naming the file, when
// either is missing, is not a regular file or is no program file.
DRIVERWYR_API bool CompareProgramFiles(const std::string& a_path, const std::string& b_path, double tolerance,
                                       std::vector<ProgramDifference>* differences, std::string* why_not);

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_COMPARE_H_
