// The geometry of the set-up sheet's drawings, in plain numbers.
//
// Everything here is in millimetres and degrees of the real press, computed
// from the values of one step record (and, when the job is given, its tools);
// the drawing code only turns these numbers into SVG.
//
// Side view coordinates: x runs across the die, 0 at the die's centre line and
// positive towards the back gauge; y runs up, 0 at the top face of the die.
// The flat sheet lies on the die from y = 0 to y = t. The punch's depth (Y1 of
// the record, negative downwards) is its stroke from the point where it
// touches the flat sheet, so the punch tip stands at y = t + Y1; at that
// depth the sheet, bent around the tip, rests on the die shoulders.
//
// Plan view coordinates (seen from above): z runs along the bend line, as the
// back gauge's Z axis counts it; x is the same as in the side view.
#ifndef DRIVERWYR_SHEET_SHEET_GEOMETRY_H_
#define DRIVERWYR_SHEET_SHEET_GEOMETRY_H_

#include <array>
#include <optional>

#include "driverwyr/program_format.h"

namespace driverwyr::sheet {

// Values beyond this many millimetres belong to no press brake; they are not
// drawn (the sheet says so instead).
inline constexpr double kMaxDrawableMillimetres = 100000.0;

// True for a finite value within kMaxDrawableMillimetres of 0.
bool Drawable(double value);

double Radians(double degrees);

struct Point {
  double x = 0.0;
  double y = 0.0;
};

// The die's V in the side view. The right half is given; the left half is its
// mirror image in x = 0.
struct DieProfile {
  double v_width = 0.0;          // V: the opening where the flanks meet the top plane
  double shoulder_radius = 0.0;  // Rd
  double angle = 0.0;            // included angle of the V, degrees
  // V/2 + Rd * tan((180 - angle) / 4): where the shoulder radius starts on the
  // top face, the half width that the bend calculation works with.
  double effective_half_width = 0.0;
  Point shoulder_centre;  // (effective_half_width, -Rd)
  Point top_tangent;      // (effective_half_width, 0): the shoulder meets the top face
  Point flank_tangent;    // the shoulder meets the flank
  Point v_bottom;         // (0, -V/2 / tan(angle/2)): where the flanks meet
};

// The die profile of a V width, shoulder radius and included angle (mm,
// degrees); nothing when these describe no die: V not above 0, a negative
// radius, an angle outside (0, 180), values beyond kMaxDrawableMillimetres, or
// a radius so large that it swallows the whole flank.
std::optional<DieProfile> MakeDieProfile(double v_width, double shoulder_radius, double angle);

// The punch tip of a step: (0, t + Y1).
Point PunchTip(double thickness, double y1);

// The bent sheet in the side view, symmetric about x = 0. The inner surface
// runs around a circle of `inner_radius` whose lowest point is the punch tip,
// the outer surface around the same centre with inner_radius + t; each leg
// leaves its arc at half the bend angle from the vertical and runs straight
// for `leg_length`. The right leg is given; the left is its mirror image.
struct SheetProfile {
  double angle = 0.0;         // included angle between the legs, degrees (180 = flat)
  double thickness = 0.0;
  double inner_radius = 0.0;
  double outer_radius = 0.0;
  Point centre;          // (0, tip.y + inner_radius)
  Point inner_bottom;    // the punch tip
  Point outer_bottom;    // (0, tip.y - t)
  Point inner_tangent;   // the inner arc meets the straight leg
  Point outer_tangent;
  Point inner_end;       // end of the leg, inner surface
  Point outer_end;
};

// The sheet bent to `angle` degrees (0 < angle <= 180) around `tip`; nothing
// when the angle is outside that range, the thickness not above 0 or any
// value not finite or beyond kMaxDrawableMillimetres.
std::optional<SheetProfile> MakeSheetProfile(Point tip, double angle, double thickness, double inner_radius,
                                             double leg_length);

// One back gauge finger: the stop's distance behind the bend line (X), its
// height (R) and its place along the bend line (Z), in millimetres.
struct GaugeFinger {
  double x = 0.0;
  double r = 0.0;
  double z = 0.0;
};

// Fingers 1 and 2 of a record. The file stores finger 1's X with its sign
// inverted (XX0 is the host's X[0] negated); both fingers come out as
// distances behind the bend line.
std::array<GaugeFinger, 2> GaugeFingers(const driverwyr::ProgramRecord& record);

// The stretch of the bend line the sheet covers in the plan view: the bend
// length centred on the step's offset.
struct BendLine {
  double z_from = 0.0;
  double z_to = 0.0;
};
BendLine BendLineOf(const driverwyr::ProgramRecord& record);

// An axis-aligned box in model millimetres.
struct Box {
  double min_x = 0.0;
  double min_y = 0.0;
  double max_x = 0.0;
  double max_y = 0.0;
};

// Grows `box` to hold `point`.
void Include(Box& box, Point point);

// How a view maps model millimetres onto the paper: paper x = offset_x +
// scale * model x; paper y = offset_y - scale * model y (paper y runs down).
struct ViewFit {
  double scale = 1.0;  // paper millimetres per model millimetre
  double offset_x = 0.0;
  double offset_y = 0.0;
  Point ToPaper(Point model) const { return {offset_x + scale * model.x, offset_y - scale * model.y}; }
};

// The largest scale at which `model` fits a paper area of `width` x `height`
// at (`left`, `top`), centred in it. An empty or degenerate box is shown at
// scale 1, centred.
ViewFit FitView(const Box& model, double left, double top, double width, double height);

// The length of a scale bar for a view: the largest of 1, 2 and 5 times a
// power of ten millimetres whose paper length is at most `max_paper_length`.
double ScaleBarLength(double scale, double max_paper_length);

}  // namespace driverwyr::sheet

#endif  // DRIVERWYR_SHEET_SHEET_GEOMETRY_H_
