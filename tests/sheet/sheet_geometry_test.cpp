// The set-up sheet's geometry: the die V, the punch tip, the bent sheet and
// the back gauge fingers from a record's values, against values worked out by
// hand, and the shapes it refuses to draw.
#include "sheet/sheet_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace driverwyr::sheet {
namespace {

constexpr double kNear = 1e-6;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

::testing::AssertionResult Near(Point actual, Point expected, double tolerance = kNear) {
  if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ") is not (" << expected.x << ", "
                                       << expected.y << ")";
}

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

TEST(SheetGeometry, DieProfileFromVWidthShoulderRadiusAndAngle) {
  // W = V/2 + Rd tan((180 - a)/4); flank tangent = (V/2, 0) + Rd tan((180 - a)/4)
  // (-sin(a/2), -cos(a/2)); V bottom at -V/2 / tan(a/2).
  const struct {
    double v, radius, angle;
    double half_width;
    Point flank_tangent;
    double bottom;
  } cases[] = {
      {16, 2.5, 88, 9.061187, {7.262838, -0.763354}, -8.284243},  // the example's DIE16V
      {10, 0, 90, 5.0, {5.0, 0.0}, -5.0},                         // sharp shoulders: both tangents at the corner
      {6, 1, 60, 3.577350, {2.711325, -0.5}, -5.196152},
      {50, 4, 30, 28.069308, {24.205605, -2.964724}, -93.301270},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "V " << c.v << ", Rd " << c.radius << ", angle " << c.angle);
    const std::optional<DieProfile> die = MakeDieProfile(c.v, c.radius, c.angle);
    ASSERT_TRUE(die.has_value());
    EXPECT_NEAR(die->effective_half_width, c.half_width, kNear);
    EXPECT_TRUE(Near(die->top_tangent, {c.half_width, 0.0}));
    EXPECT_TRUE(Near(die->shoulder_centre, {c.half_width, -c.radius}));
    EXPECT_TRUE(Near(die->flank_tangent, c.flank_tangent));
    EXPECT_TRUE(Near(die->v_bottom, {0.0, c.bottom}));
    // The shoulder touches the flank: its tangent point lies on the circle
    // and on the line from the sharp corner to the V's bottom.
    EXPECT_NEAR(Distance(die->flank_tangent, die->shoulder_centre), c.radius, kNear);
    const Point corner{c.v / 2.0, 0.0};
    const double cross = (die->flank_tangent.x - corner.x) * (die->v_bottom.y - corner.y) -
                         (die->flank_tangent.y - corner.y) * (die->v_bottom.x - corner.x);
    EXPECT_NEAR(cross, 0.0, kNear);
  }
}

TEST(SheetGeometry, NoDieProfileForValuesThatDescribeNoDie) {
  const struct {
    const char* what;
    double v, radius, angle;
  } cases[] = {
      {"no V", 0, 1, 88},          {"negative V", -16, 1, 88},        {"negative radius", 16, -1, 88},
      {"angle 0", 16, 1, 0},       {"angle 180", 16, 1, 180},         {"angle over 180", 16, 1, 200},
      {"radius swallows the flank", 6, 50, 88},                      {"V not a number", kNan, 1, 88},
      {"angle not a number", 16, 1, kNan}, {"V beyond any press", 1e9, 1, 88},
  };
  for (const auto& c : cases) EXPECT_FALSE(MakeDieProfile(c.v, c.radius, c.angle).has_value()) << c.what;
}

TEST(SheetGeometry, PunchTipStandsAtTheDepthBelowTheTopOfTheFlatSheet) {
  // Y1 is the stroke from where the punch touches the flat sheet (y = t).
  EXPECT_TRUE(Near(PunchTip(2.0, -6.437342), {0.0, -4.437342}));
  EXPECT_TRUE(Near(PunchTip(1.5, 0.0), {0.0, 1.5}));
  EXPECT_TRUE(Near(PunchTip(2.0, -2.0), {0.0, 0.0}));
}

TEST(SheetGeometry, SheetBentAroundTheTip) {
  const struct {
    Point tip;
    double angle, thickness, radius, leg;
    Point inner_tangent, outer_tangent, inner_end, outer_end;
  } cases[] = {
      {{0, -4}, 90, 2, 1, 10, {0.707107, -3.707107}, {2.121320, -5.121320}, {7.778175, 3.363961},
       {9.192388, 1.949747}},
      {{0, 0}, 180, 2, 0, 5, {0, 0}, {0, -2}, {5, 0}, {5, -2}},  // flat
      {{0, -1}, 60, 1, 0, 10, {0, -1}, {0.866025, -1.5}, {5, 7.660254}, {5.866025, 7.160254}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "angle " << c.angle << ", t " << c.thickness << ", r " << c.radius);
    const std::optional<SheetProfile> sheet = MakeSheetProfile(c.tip, c.angle, c.thickness, c.radius, c.leg);
    ASSERT_TRUE(sheet.has_value());
    EXPECT_TRUE(Near(sheet->inner_bottom, c.tip));
    EXPECT_TRUE(Near(sheet->outer_bottom, {c.tip.x, c.tip.y - c.thickness}));
    EXPECT_TRUE(Near(sheet->inner_tangent, c.inner_tangent));
    EXPECT_TRUE(Near(sheet->outer_tangent, c.outer_tangent));
    EXPECT_TRUE(Near(sheet->inner_end, c.inner_end));
    EXPECT_TRUE(Near(sheet->outer_end, c.outer_end));
    // The legs are the sheet's thickness apart and as long as asked.
    EXPECT_NEAR(Distance(sheet->outer_tangent, sheet->inner_tangent), c.thickness, kNear);
    EXPECT_NEAR(Distance(sheet->inner_end, sheet->inner_tangent), c.leg, kNear);
  }
}

TEST(SheetGeometry, NoSheetForAnglesAndSizesThatCannotBeDrawn) {
  const struct {
    const char* what;
    Point tip;
    double angle, thickness;
  } cases[] = {
      {"angle 0", {0, 0}, 0, 2},          {"negative angle", {0, 0}, -5, 2},  {"over 180", {0, 0}, 181, 2},
      {"no thickness", {0, 0}, 90, 0},    {"angle not a number", {0, 0}, kNan, 2},
      {"tip not a number", {0, kNan}, 90, 2}, {"tip beyond any press", {0, -1e7}, 90, 2},
  };
  for (const auto& c : cases) EXPECT_FALSE(MakeSheetProfile(c.tip, c.angle, c.thickness, 0, 10)) << c.what;
}

TEST(SheetGeometry, FingersAreDistancesBehindTheBendLine) {
  driverwyr::ProgramRecord record;
  record.XX0 = -120.5f;  // the file holds finger 1's X inverted
  record.XX1 = 118.25f;
  record.YY0 = 5.0f;
  record.YY1 = 6.0f;
  record.ZZ0 = -150.0f;
  record.ZZ1 = 150.0f;
  const auto fingers = GaugeFingers(record);
  EXPECT_DOUBLE_EQ(fingers[0].x, 120.5);
  EXPECT_DOUBLE_EQ(fingers[0].r, 5.0);
  EXPECT_DOUBLE_EQ(fingers[0].z, -150.0);
  EXPECT_DOUBLE_EQ(fingers[1].x, 118.25);
  EXPECT_DOUBLE_EQ(fingers[1].r, 6.0);
  EXPECT_DOUBLE_EQ(fingers[1].z, 150.0);

  record.BendLength = 500;
  record.Offset = 20.0f;
  const BendLine line = BendLineOf(record);
  EXPECT_DOUBLE_EQ(line.z_from, -230.0);
  EXPECT_DOUBLE_EQ(line.z_to, 270.0);
}

TEST(SheetGeometry, ViewsFitTheirAreaAndKeepTheScale) {
  const struct {
    Box model;
    double width, height;
    double scale;
    Point corner;  // model (min_x, min_y) on paper
  } cases[] = {
      {{-10, -5, 10, 5}, 40, 20, 2.0, {0, 20}},
      {{0, 0, 100, 10}, 50, 50, 0.5, {0, 27.5}},  // wide box: centred vertically
      {{0, 0, 0, 0}, 40, 20, 1.0, {20, 10}},      // nothing to fit: scale 1, centred
  };
  for (const auto& c : cases) {
    const ViewFit fit = FitView(c.model, 0, 0, c.width, c.height);
    EXPECT_DOUBLE_EQ(fit.scale, c.scale);
    EXPECT_TRUE(Near(fit.ToPaper({c.model.min_x, c.model.min_y}), c.corner));
  }
  const struct {
    double scale, paper, length;
  } bars[] = {{1, 15.4, 10}, {0.2121, 18.9, 50}, {2, 15, 5}, {0.077, 15.4, 200}, {0, 15, 0}};
  for (const auto& b : bars) EXPECT_DOUBLE_EQ(ScaleBarLength(b.scale, b.paper), b.length) << b.scale;
}

}  // namespace
}  // namespace driverwyr::sheet
