// The test-bend file: a CSV file with a header row naming its columns.
//
// Required columns: thickness, die_width, target_angle, measured_angle;
// optional: inner_radius, die_radius, die_angle (numbers) and program, step,
// lot, note (texts, only carried into the report). Columns may come in any
// order; cells may be quoted with double quotes (a doubled quote inside is
// one quote). Blank lines are skipped. Lengths are millimetres, or inches
// when asked, and are returned in millimetres.
#ifndef DRIVERWYR_CALIBRATION_TEST_BENDS_H_
#define DRIVERWYR_CALIBRATION_TEST_BENDS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "driverwyr/calibration.h"
#include "driverwyr/files.h"
#include "driverwyr/result.h"

namespace driverwyr::calibration {

// No test-bend file is anywhere near this large.
inline constexpr std::size_t kMaxTestBendFileSize = 16 * 1024 * 1024;

// Decodes a test-bend file. Every problem is an Invalid status naming the
// line and column ("line 4, column 2 (die_width): ..."): an unknown, repeated
// or missing column, a row with a different number of cells, an unclosed
// quote, a number that is not a finite number, a thickness or die width that
// is not positive, an angle outside 0..180, an inner radius that is not
// positive, a negative die radius. A file
// without any bend is refused as well. Never reads outside `text`.
Result<std::vector<TestBend>> ParseTestBends(std::string_view text, LengthUnit unit);

// Reads the regular file `path` through `files` and decodes it.
Result<std::vector<TestBend>> ReadTestBends(FileSystem& files, const std::string& path, LengthUnit unit);

}  // namespace driverwyr::calibration

#endif  // DRIVERWYR_CALIBRATION_TEST_BENDS_H_
