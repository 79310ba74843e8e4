// The set-up sheet as one self-contained HTML page: no scripts, no files of
// its own, styles and drawings inline.
//
// The page shows the program header (program number, part reference,
// material, thickness, hardness, date of creation, the tools with their
// control names and orientation codes), then every step in bending order as a
// row with its caption (angle, depth, force, findings) and its drawing
// (sheet_svg.h), and below the steps a table of all of them. On paper (A4)
// every eight steps fill one page; the table follows the last step.
#ifndef DRIVERWYR_SHEET_SHEET_HTML_H_
#define DRIVERWYR_SHEET_SHEET_HTML_H_

#include <cstddef>
#include <string>

#include "sheet/sheet_input.h"

namespace driverwyr::sheet {

inline constexpr std::size_t kStepsPerPage = 8;

// The whole page. Every text from the program file or the job is escaped.
std::string RenderSheetHtml(const SheetInput& sheet);

}  // namespace driverwyr::sheet

#endif  // DRIVERWYR_SHEET_SHEET_HTML_H_
