// The comparison of two decoded program files, for CompareProgramFiles
// (driverwyr/program_compare.h) and its tests.
#ifndef DRIVERWYR_PROGRAM_FILE_PROGRAM_COMPARE_FIELDS_H_
#define DRIVERWYR_PROGRAM_FILE_PROGRAM_COMPARE_FIELDS_H_

#include <vector>

#include "driverwyr/program_compare.h"
#include "driverwyr/program_format.h"

namespace driverwyr {

// Every field of `a` and `b` that differs, as CompareProgramFiles lists them.
std::vector<ProgramDifference> ComparePrograms(const ProgramFile& a, const ProgramFile& b, double tolerance);

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_FILE_PROGRAM_COMPARE_FIELDS_H_
