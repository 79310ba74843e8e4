// The drawing of one step on the set-up sheet: one SVG with three views side
// by side, each to scale with a scale bar of its own:
//   - the die: the V with its shoulders, the punch tip at the step's depth
//     and the sheet bent to the programmed angle, close up;
//   - the side view: die, bent sheet, the flat sheet before the bend
//     (dashed) and the back gauge fingers at their X and R;
//   - the plan view from above: the bend line, the sheet's back flange and
//     the fingers at their Z and X.
// Inside each view a group maps model millimetres onto the paper, so the
// SVG's coordinates of the die, punch, sheet and fingers are those of
// sheet_geometry.h; labels are placed in paper millimetres.
#ifndef DRIVERWYR_SHEET_SHEET_SVG_H_
#define DRIVERWYR_SHEET_SHEET_SVG_H_

#include <string>

#include "sheet/sheet_input.h"

namespace driverwyr::sheet {

// Paper size of a step's drawing, in millimetres.
inline constexpr double kStepDrawingWidth = 144.0;
inline constexpr double kStepDrawingHeight = 26.0;

// The SVG element of step `step` (its position on the sheet, from 1) of a
// program whose sheet thickness is `thickness` millimetres. Element ids are
// prefixed with "s<step>-", so several drawings can share one page.
std::string RenderStepSvg(const SheetStep& values, std::size_t step, double thickness);

// `text` with the characters that mean something in HTML and XML (& < > " ')
// written as references, so that it shows as it is in text and attributes.
std::string EscapeMarkup(std::string_view text);

}  // namespace driverwyr::sheet

#endif  // DRIVERWYR_SHEET_SHEET_SVG_H_
