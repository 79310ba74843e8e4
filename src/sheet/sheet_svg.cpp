#include "sheet/sheet_svg.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "sheet/sheet_geometry.h"

namespace driverwyr::sheet {
namespace {

// Layout of the three views, paper millimetres.
struct ViewFrame {
  const char* name;   // class and id suffix
  const char* title;
  double left;
  double width;
};
constexpr ViewFrame kDieView{"die", "Die", 0.0, 44.0};
constexpr ViewFrame kSideView{"side", "Side view", 45.0, 54.0};
constexpr ViewFrame kPlanView{"plan", "Plan view", 100.0, 44.0};
constexpr double kTitleHeight = 3.4;   // title line at the top of a view
constexpr double kFootHeight = 4.2;    // scale bar at the bottom
constexpr double kPad = 1.2;
constexpr double kFontSize = 2.3;
constexpr double kStroke = 0.25;       // paper millimetres
constexpr double kFingerSize = 2.6;    // finger symbol, paper millimetres

// A coordinate for SVG: four decimals at most, no trailing zeros.
std::string N(double value) {
  if (!std::isfinite(value)) return "0";
  return Decimal(value, 4);
}

std::string P(Point p) { return N(p.x) + " " + N(p.y); }

Point Mirror(Point p) { return {-p.x, p.y}; }

// Text of one view, appended in order.
class ViewWriter {
 public:
  ViewWriter(std::string& out, const ViewFit& fit) : out_(out), fit_(fit) {}

  // Starts the group whose coordinates are model millimetres.
  void BeginModel(const std::string& clip_id) {
    out_ += fmt::format(R"~(<g clip-path="url(#{})"><g class="model" transform="matrix({} 0 0 {} {} {})">)~",
                        clip_id, N(fit_.scale), N(-fit_.scale), N(fit_.offset_x), N(fit_.offset_y));
    in_model_ = true;
  }
  // Ends the model group; the labels placed meanwhile follow it, in paper
  // coordinates.
  void EndModel() {
    out_ += "</g></g>";
    out_ += labels_;
    labels_.clear();
    in_model_ = false;
  }

  // Stroke width in model units for a paper width.
  std::string Width(double paper) const { return N(paper / fit_.scale); }
  // A dash pattern of `paper` millimetres, as an attribute.
  std::string Dashes(double paper) const {
    return fmt::format(R"( stroke-dasharray="{} {}")", Width(paper), Width(paper * 0.6));
  }

  void Path(const char* cls, const std::string& d, double stroke_paper = kStroke, const char* extra = "") {
    out_ += fmt::format(R"(<path class="{}" d="{}" stroke-width="{}"{}/>)", cls, d, Width(stroke_paper), extra);
  }
  void Line(const char* cls, Point a, Point b, double stroke_paper = kStroke, double dash_paper = 0.0) {
    out_ += fmt::format(R"(<line class="{}" x1="{}" y1="{}" x2="{}" y2="{}" stroke-width="{}"{}/>)", cls, N(a.x),
                        N(a.y), N(b.x), N(b.y), Width(stroke_paper), dash_paper > 0.0 ? Dashes(dash_paper) : "");
  }
  void Circle(const char* cls, Point c, double radius_paper) {
    out_ += fmt::format(R"(<circle class="{}" cx="{}" cy="{}" r="{}"/>)", cls, N(c.x), N(c.y),
                        Width(radius_paper));
  }

  // A label at a model point, in paper units, moved by (dx, dy) paper mm.
  void Label(Point model, double dx, double dy, const std::string& text, const char* anchor = "start") {
    const Point p = fit_.ToPaper(model);
    PaperLabel({p.x + dx, p.y + dy}, text, anchor);
  }
  void PaperLabel(Point paper, const std::string& text, const char* anchor = "start", const char* cls = "label") {
    (in_model_ ? labels_ : out_) += fmt::format(R"(<text class="{}" x="{}" y="{}" text-anchor="{}">{}</text>)", cls, N(paper.x),
                        N(paper.y), anchor, EscapeMarkup(text));
  }

  const ViewFit& fit() const { return fit_; }

 private:
  std::string& out_;
  ViewFit fit_;
  bool in_model_ = false;
  std::string labels_;
};

// The view's frame, title, clip area and scale bar; returns the drawing
// area below the title.
struct Area {
  double left, top, width, height;
};

Area DrawingArea(const ViewFrame& frame) {
  return {frame.left + kPad, kTitleHeight + kPad, frame.width - 2 * kPad,
          kStepDrawingHeight - kTitleHeight - kFootHeight - kPad};
}

void BeginView(std::string& out, const ViewFrame& frame, const std::string& id, const std::string& note) {
  out += fmt::format(R"(<g class="view {0}" id="{1}-{0}">)", frame.name, id);
  out += fmt::format(R"(<rect class="frame" x="{}" y="0.15" width="{}" height="{}"/>)", N(frame.left + 0.15),
                     N(frame.width - 0.3), N(kStepDrawingHeight - 0.3));
  out += fmt::format(R"(<text class="title" x="{}" y="{}">{}</text>)", N(frame.left + kPad), N(kTitleHeight - 0.6),
                     frame.title);
  if (!note.empty()) {
    out += fmt::format(R"(<text class="view-note" x="{}" y="{}" text-anchor="end">{}</text>)",
                       N(frame.left + frame.width - kPad), N(kTitleHeight - 0.6), EscapeMarkup(note));
  }
  out += fmt::format(R"(<clipPath id="{}-{}-clip"><rect x="{}" y="{}" width="{}" height="{}"/></clipPath>)", id,
                     frame.name, N(frame.left + 0.3), N(kTitleHeight), N(frame.width - 0.6),
                     N(kStepDrawingHeight - kTitleHeight - kFootHeight + 0.8));
}

void ScaleBar(std::string& out, const ViewFrame& frame, const ViewFit& fit) {
  const double length = ScaleBarLength(fit.scale, frame.width * 0.35);
  if (!(length > 0.0)) return;
  const double paper = length * fit.scale;
  const double x = frame.left + kPad;
  const double y = kStepDrawingHeight - 1.6;
  out += fmt::format(R"(<g class="scale"><path d="M {0} {1} v -1 M {0} {1} h {2} M {3} {1} v -1" stroke-width="0.2"/>)",
                     N(x), N(y), N(paper), N(x + paper));
  out += fmt::format(R"(<text class="scale-label" x="{}" y="{}">{} mm</text></g>)", N(x + paper + 1.0), N(y),
                     Decimal(length, 3));
}

// The die block and its V: the top face out to `block` either side, the
// shoulders, the flanks; the block reaches down to `bottom`.
std::string DieBlock(const DieProfile& die, double block, double bottom) {
  const Point tl = Mirror(die.top_tangent), fl = Mirror(die.flank_tangent);
  const std::string r = N(die.shoulder_radius);
  return fmt::format("M {} L {} L {} A {} {} 0 0 0 {} L {} L {} A {} {} 0 0 0 {} L {} L {} Z", P({-block, bottom}),
                     P({-block, 0.0}), P(tl), r, r, P(fl), P(die.v_bottom), P(die.flank_tangent), r, r,
                     P(die.top_tangent), P({block, 0.0}), P({block, bottom}));
}

// The V alone, from shoulder to shoulder.
std::string DieOpening(const DieProfile& die) {
  const std::string r = N(die.shoulder_radius);
  return fmt::format("M {} A {} {} 0 0 0 {} L {} L {} A {} {} 0 0 0 {}", P(Mirror(die.top_tangent)), r, r,
                     P(Mirror(die.flank_tangent)), P(die.v_bottom), P(die.flank_tangent), r, r,
                     P(die.top_tangent));
}

// The bent sheet as one closed outline.
std::string SheetOutline(const SheetProfile& s) {
  const std::string ro = N(s.outer_radius), ri = N(s.inner_radius);
  return fmt::format("M {} L {} A {} {} 0 0 1 {} L {} L {} L {} A {} {} 0 0 0 {} L {} Z", P(Mirror(s.outer_end)),
                     P(Mirror(s.outer_tangent)), ro, ro, P(s.outer_tangent), P(s.outer_end), P(s.inner_end),
                     P(s.inner_tangent), ri, ri, P(Mirror(s.inner_tangent)), P(Mirror(s.inner_end)));
}

// The punch: a nose of `radius` at the tip, flanks at half its included
// angle from the vertical for `wedge` millimetres above the tip, straight
// sides above; up to `top`. The job gives the angle and radius only, so the
// wedge's height and the body are a picture, not the tool's own outline.
std::string PunchOutline(Point tip, double angle, double radius, double wedge, double top) {
  const double half = Radians(angle / 2.0);
  const Point centre{tip.x, tip.y + radius};
  const Point tangent{centre.x + radius * std::cos(half), centre.y - radius * std::sin(half)};
  const double rise = std::clamp(tip.y + wedge - tangent.y, 0.0, std::max(top - tangent.y, 0.0));
  const Point shoulder{tangent.x + rise * std::tan(half), tangent.y + rise};
  const std::string r = N(radius);
  return fmt::format("M {} L {} L {} A {} {} 0 0 1 {} L {} L {} Z", P({-shoulder.x, top}), P(Mirror(shoulder)),
                     P(Mirror(tangent)), r, r, P(tangent), P(shoulder), P({shoulder.x, top}));
}

struct StepShapes {
  std::optional<DieProfile> die;
  std::optional<Point> tip;
  std::optional<SheetProfile> sheet_near;  // legs long enough to leave the die view
  std::optional<SheetProfile> sheet_far;   // legs as long as the back flange
  std::array<GaugeFinger, 2> fingers{};
  double flange = 0.0;                     // back flange length drawn
  double thickness = 0.0;
};

StepShapes ShapesOf(const SheetStep& step, double thickness) {
  StepShapes shapes;
  shapes.thickness = thickness;
  if (step.die) shapes.die = MakeDieProfile(step.die->v_width, step.die->shoulder_radius, step.die->angle);
  if (Drawable(step.values.Y1)) shapes.tip = PunchTip(thickness, step.values.Y1);
  shapes.fingers = GaugeFingers(step.values);
  double far = 0.0;
  for (const GaugeFinger& f : shapes.fingers) {
    if (Drawable(f.x)) far = std::max(far, f.x);
  }
  shapes.flange = far > 0.0 ? far : std::max(10.0 * thickness, 20.0);
  if (shapes.tip) {
    const double radius = step.punch ? std::max(step.punch->tip_radius, 0.0) : 0.0;
    const double near_leg = std::max(shapes.die ? shapes.die->effective_half_width * 4.0 : 0.0, 20.0 * thickness);
    shapes.sheet_near = MakeSheetProfile(*shapes.tip, step.values.BendAngle, thickness, radius, near_leg);
    shapes.sheet_far = MakeSheetProfile(*shapes.tip, step.values.BendAngle, thickness, radius, shapes.flange);
  }
  return shapes;
}

// Height of the punch's wedge above its tip in the pictures.
double PunchWedge(const StepShapes& s) {
  return std::max({s.die ? s.die->v_width * 0.9 : 0.0, 6.0 * s.thickness, 10.0});
}

// A punch with the job's angle, or a plain centre line to the tip without it.
void DrawPunch(ViewWriter& w, const SheetStep& step, Point tip, double wedge, double top) {
  const bool known = step.punch && step.punch->angle > 0.0 && step.punch->angle < 180.0;
  if (known) {
    w.Path("punch", PunchOutline(tip, step.punch->angle, std::max(step.punch->tip_radius, 0.0), wedge, top));
  } else {
    w.Line("punch-axis", {tip.x, top}, tip, kStroke, 1.2);
  }
}

void DrawDieView(std::string& out, const SheetStep& step, const StepShapes& s, const std::string& id) {
  const ViewFrame& frame = kDieView;
  std::string note;
  if (s.die) note = fmt::format("V{} R{} {}°", Decimal(s.die->v_width), Decimal(s.die->shoulder_radius),
                                Decimal(s.die->angle));
  else note = step.die ? "die not drawn" : "die not known";
  BeginView(out, frame, id, note);

  const double t = s.thickness;
  const double half_span = s.die ? std::max(s.die->effective_half_width * 1.8, 3.0 * t) : std::max(6.0 * t, 6.0);
  Box box{-half_span, 0.0, half_span, 0.0};
  box.min_y = s.die ? s.die->v_bottom.y - 0.25 * s.die->v_width : -3.0 * t;
  if (s.tip) box.min_y = std::min(box.min_y, s.tip->y - t - 1.0);
  box.max_y = std::max(t, s.tip ? s.tip->y : t) + half_span * 0.45;
  const Area area = DrawingArea(frame);
  const ViewFit fit = FitView(box, area.left, area.top, area.width, area.height);
  ViewWriter w(out, fit);
  w.BeginModel(id + "-" + frame.name + "-clip");
  const double block = half_span * 3.0;
  const double top = box.max_y + half_span;
  if (s.die) {
    w.Path("die", DieBlock(*s.die, block, box.min_y - half_span), 0.0);
    w.Path("die-v", DieOpening(*s.die));
  } else {
    w.Line("die-top unknown", {-block, 0.0}, {block, 0.0}, kStroke, 0.8);
  }
  if (s.tip) DrawPunch(w, step, *s.tip, PunchWedge(s), top);
  if (s.sheet_near) w.Path("sheet", SheetOutline(*s.sheet_near));
  if (s.tip) {
    // The depth: from the top of the flat sheet, where the punch meets it,
    // down to the tip.
    w.Line("reference", {-half_span, t}, {half_span, t}, 0.15, 0.6);
    const double x = half_span * 0.55;
    w.Line("dimension", {x, t}, {x, s.tip->y}, 0.18);
    w.Circle("tip", *s.tip, 0.45);
  }
  w.EndModel();
  if (s.tip) {
    w.PaperLabel({frame.left + frame.width - kPad, kStepDrawingHeight - 1.6}, "Y1 " + Decimal(step.values.Y1) + " mm",
                 "end", "label depth");
  }
  ScaleBar(out, frame, fit);
  out += "</g>";
}

void DrawFinger(ViewWriter& w, Point stop, double size, const std::string& number) {
  // The stop face stands at the finger's X; the symbol lies behind it.
  const double s = size / w.fit().scale;
  w.Path("finger",
         fmt::format("M {} L {} L {} L {} Z", P({stop.x, stop.y - s * 0.4}), P({stop.x + s, stop.y - s * 0.4}),
                     P({stop.x + s, stop.y + s}), P({stop.x, stop.y + s})),
         0.15);
  w.Circle("finger-point", stop, 0.35);
  w.Label(stop, size * 0.5, -size - 0.3, number, "middle");
}

void DrawSideView(std::string& out, const SheetStep& step, const StepShapes& s, const std::string& id) {
  const ViewFrame& frame = kSideView;
  const GaugeFinger& f1 = s.fingers[0];
  const GaugeFinger& f2 = s.fingers[1];
  BeginView(out, frame, id,
            fmt::format("X {}/{}  R {}/{}", Decimal(f1.x), Decimal(f2.x), Decimal(f1.r), Decimal(f2.r)));
  const double t = s.thickness;
  const double reach = s.flange;
  Box box{-reach * 0.5, 0.0, reach, 0.0};
  for (const GaugeFinger& f : s.fingers) {
    if (Drawable(f.x) && Drawable(f.r)) Include(box, {f.x, f.r});
  }
  const double die_depth = s.die ? s.die->v_bottom.y - 0.5 * s.die->v_width : -reach * 0.12;
  box.min_y = std::min(box.min_y, die_depth);
  if (s.sheet_far) box.max_y = std::max({box.max_y, s.sheet_far->outer_end.y, s.sheet_far->inner_end.y});
  box.max_y = std::max(box.max_y, t + reach * 0.1);
  if (s.tip) box.min_y = std::min(box.min_y, s.tip->y - t);
  const double margin = (box.max_x - box.min_x) * 0.06;
  box.max_x += margin + kFingerSize * 0.2;
  box.min_x -= margin;
  const Area area = DrawingArea(frame);
  const ViewFit fit = FitView(box, area.left, area.top, area.width, area.height);
  ViewWriter w(out, fit);
  w.BeginModel(id + "-" + frame.name + "-clip");
  const double block = s.die ? std::max(s.die->effective_half_width * 2.5, reach * 0.08) : reach * 0.08;
  if (s.die) {
    w.Path("die", DieBlock(*s.die, block, box.min_y - reach), 0.0);
  } else {
    w.Path("die unknown", fmt::format("M {} L {} L {} L {} Z", P({-block, 0.0}), P({block, 0.0}),
                                      P({block, box.min_y - reach}), P({-block, box.min_y - reach})),
           0.15);
  }
  // The flat sheet as it lies against the fingers before the bend.
  w.Path("sheet-flat", fmt::format("M {} L {} L {} L {} Z", P({-reach, 0.0}), P({reach, 0.0}), P({reach, t}),
                                   P({-reach, t})),
         0.18, w.Dashes(0.8).c_str());
  if (s.tip) DrawPunch(w, step, *s.tip, PunchWedge(s), box.max_y + reach);
  if (s.sheet_far) w.Path("sheet", SheetOutline(*s.sheet_far), 0.15);
  // Seen from the side, two fingers at the same X and R are one.
  const bool together = f1.x == f2.x && f1.r == f2.r;
  if (Drawable(f1.x) && Drawable(f1.r)) DrawFinger(w, {f1.x, f1.r}, kFingerSize, together ? "1, 2" : "1");
  if (!together && Drawable(f2.x) && Drawable(f2.r)) DrawFinger(w, {f2.x, f2.r}, kFingerSize, "2");
  w.Line("centre", {0.0, box.min_y}, {0.0, box.max_y}, 0.12, 1.5);
  w.EndModel();
  ScaleBar(out, frame, fit);
  out += "</g>";
}

void DrawPlanView(std::string& out, const SheetStep& step, const StepShapes& s, const std::string& id) {
  const ViewFrame& frame = kPlanView;
  const GaugeFinger& f1 = s.fingers[0];
  const GaugeFinger& f2 = s.fingers[1];
  BeginView(out, frame, id, fmt::format("Z {}/{}", Decimal(f1.z), Decimal(f2.z)));
  // Model x is the place along the bend line (Z), model y the distance
  // behind it (X).
  const BendLine line = BendLineOf(step.values);
  Box box{std::min(line.z_from, line.z_to), 0.0, std::max(line.z_from, line.z_to), s.flange};
  for (const GaugeFinger& f : s.fingers) {
    if (Drawable(f.x) && Drawable(f.z)) Include(box, {f.z, f.x});
  }
  const double span = std::max(box.max_x - box.min_x, box.max_y - box.min_y);
  box.min_x -= span * 0.04;
  box.max_x += span * 0.04;
  box.min_y -= span * 0.08;
  box.max_y += span * 0.12;
  const Area area = DrawingArea(frame);
  const ViewFit fit = FitView(box, area.left, area.top, area.width, area.height);
  ViewWriter w(out, fit);
  w.BeginModel(id + "-" + frame.name + "-clip");
  const bool edge_known = Drawable(f1.x) && Drawable(f2.x) && Drawable(f1.z) && Drawable(f2.z);
  if (Drawable(line.z_from) && line.z_to > line.z_from) {
    // The back flange: from the bend line to the edge through both fingers'
    // stops (parallel to the bend line when both stand at one place).
    double edge_from = s.flange, edge_to = s.flange;
    if (edge_known && f1.z != f2.z) {
      const double slope = (f2.x - f1.x) / (f2.z - f1.z);
      edge_from = f1.x + slope * (line.z_from - f1.z);
      edge_to = f1.x + slope * (line.z_to - f1.z);
    }
    w.Path("sheet-plan", fmt::format("M {} L {} L {} L {} Z", P({line.z_from, 0.0}), P({line.z_to, 0.0}),
                                     P({line.z_to, edge_to}), P({line.z_from, edge_from})),
           0.15);
  }
  w.Line("bend-line", {box.min_x, 0.0}, {box.max_x, 0.0}, 0.3, 1.5);
  for (int i = 0; i < 2; ++i) {
    const GaugeFinger& f = s.fingers[static_cast<std::size_t>(i)];
    if (!Drawable(f.x) || !Drawable(f.z)) continue;
    const double size = kFingerSize / fit.scale;
    w.Path("finger", fmt::format("M {} L {} L {} L {} Z", P({f.z - size / 2, f.x}), P({f.z + size / 2, f.x}),
                                 P({f.z + size / 2, f.x + size}), P({f.z - size / 2, f.x + size})),
           0.15);
    w.Circle("finger-point", {f.z, f.x}, 0.35);
    w.Label({f.z, f.x + size}, 0.0, -0.5, std::to_string(i + 1), "middle");
  }
  w.EndModel();
  w.Label({line.z_from, 0.0}, 0.3, 2.6, fmt::format("bend length {} mm", step.values.BendLength));
  ScaleBar(out, frame, fit);
  out += "</g>";
}

}  // namespace

std::string EscapeMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        // Control bytes have no place in markup; they are shown by value.
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7f) {
          out += fmt::format("\\x{:02X}", static_cast<unsigned char>(c));
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string RenderStepSvg(const SheetStep& values, std::size_t step, double thickness) {
  const std::string id = fmt::format("s{}", step);
  const StepShapes shapes = ShapesOf(values, thickness);
  std::string out = fmt::format(
      R"(<svg class="step-drawing" id="{}" xmlns="http://www.w3.org/2000/svg" width="{}mm" height="{}mm" viewBox="0 0 {} {}" font-size="{}">)",
      id, N(kStepDrawingWidth), N(kStepDrawingHeight), N(kStepDrawingWidth), N(kStepDrawingHeight), N(kFontSize));
  out += fmt::format("<title>Step {}</title>", step);
  DrawDieView(out, values, shapes, id);
  DrawSideView(out, values, shapes, id);
  DrawPlanView(out, values, shapes, id);
  out += "</svg>";
  return out;
}

}  // namespace driverwyr::sheet
