#include "driverwyr/material_data.h"

#include <cmath>
#include <limits>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bending_test_support.h"

namespace {

using namespace bending_test;
using namespace driverwyr;
using ::testing::HasSubstr;
using writer_test::F32;
using writer_test::I16;

std::string Patched(std::string bytes, std::size_t at, const std::string& with) {
  return bytes.replace(at, with.size(), with);
}

// Blocks: a polynomial of 2 terms (28 bytes), a grid at 28, a polynomial of
// 3 terms at 792, a grid at 826.
MaterialFile MixedForms() {
  return File(Polynomial(1.5f, {{2, -1.5f}, {7, 0.75f}}),
              Grid([](float a, float r) { return 0.4f + 0.001f * a + 0.01f * r; }),
              Polynomial(0.19f, {{7, 0.43f}, {8, -0.23f}, {9, 0.19f}}),
              Grid([](float a, float r) { return 0.02f * r - 0.001f * a; }));
}

// --- Layout -----------------------------------------------------------------

TEST(MaterialFileLayout, BlockSizesFollowTheFormsAndFilesReadBack) {
  const MaterialFile ten_terms =
      File(Polynomial(1.0f, {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}, {11, 1}}),
           NoModel(0), NoModel(7), NoModel(-1));
  const struct {
    MaterialFile file;
    std::vector<std::size_t> sizes;
  } cases[] = {
      {File(Polynomial(1.0f), Polynomial(0.4f), Polynomial(0.1f), Polynomial(0.9f)), {16, 16, 16, 16}},
      {MixedForms(), {28, 764, 34, 764}},
      {ten_terms, {76, 4, 4, 4}},
      // A block of unknown form ends after its form word; the next is read on.
      {File(Polynomial(1.0f), NoModel(7), Polynomial(0.1f, {{7, 0.5f}}), Polynomial(0.9f)), {16, 4, 22, 16}},
  };
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    const std::string bytes = Bytes(cases[n].file);
    const auto parse = ParseMaterialFile(Span(bytes));
    ASSERT_TRUE(parse.ok()) << "case " << n << ": " << parse.error();
    std::size_t offset = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(parse->layout[i].offset, offset) << "case " << n << ", block " << i + 1;
      EXPECT_EQ(parse->layout[i].size, cases[n].sizes[i]) << "case " << n << ", block " << i + 1;
      offset += cases[n].sizes[i];
    }
    EXPECT_EQ(parse->used, offset) << "case " << n;
    EXPECT_EQ(bytes.size(), offset) << "case " << n;
    EXPECT_EQ(parse->file, cases[n].file) << "case " << n;
  }
  EXPECT_FALSE(EvaluateModelAtRatio(NoModel(7), 90, 10).has_value()) << "unknown form";
  const std::string trailing = Bytes(MixedForms()) + "trailing";
  const auto parse = ParseMaterialFile(Span(trailing));
  ASSERT_TRUE(parse.ok()) << parse.error();
  EXPECT_EQ(parse->used, trailing.size() - 8) << "bytes after the fourth block are ignored";
}

TEST(MaterialFileLayout, FieldsSitAtTheirOffsets) {
  // Separator, form 1, separator, n = 2, separator, codes 7 and 12,
  // separator, c0..c2; then three blocks of no model.
  std::string bytes;
  for (const int word : {0x1111, 1, 0x2222, 2, 0x3333, 7, 12, 0x4444}) bytes += I16(word);
  for (const float coefficient : {1.25f, -0.5f, 3.0f}) bytes += F32(coefficient);
  bytes += std::string(12, '\0');
  const auto parse = ParseMaterialFile(Span(bytes));
  ASSERT_TRUE(parse.ok()) << parse.error();
  EXPECT_EQ(parse->file.models[0], Polynomial(1.25f, {{7, -0.5f}, {12, 3.0f}}));
  EXPECT_THAT(parse->layout[0].separators, ::testing::ElementsAre(0x1111, 0x2222, 0x3333, 0x4444));
  std::array<std::vector<std::uint16_t>, 4> separators;
  for (std::size_t i = 0; i < 4; ++i) separators[i] = parse->layout[i].separators;
  const auto again = EncodeMaterialFile(parse->file, &separators);
  EXPECT_EQ(std::string(again.begin(), again.end()), bytes) << "written back with its separators";

  // Grid floats come in chunks of 32, each after a separator word: entry 31
  // ends the first chunk, entry 32 starts the second.
  const MaterialFile mixed = MixedForms();
  const std::string grid = Bytes(mixed).substr(28, 764);
  for (const auto& [entry, offset] : {std::pair<std::size_t, std::size_t>{31, 130}, {32, 136}, {186, 760}}) {
    EXPECT_EQ(grid.substr(offset, 4), F32(mixed.models[1].grid[entry])) << "entry " << entry;
  }
}

TEST(MaterialFilePath, JoinsFolderAndNameAtFullLength) {
  const std::string folder(300, 'x');
  const std::string path = MaterialFilePath(folder, 3);
  ASSERT_EQ(path.size(), 304u);
  EXPECT_EQ(path.substr(0, 300), folder);
  EXPECT_TRUE(path[300] == '/' || path[300] == '\\') << path;
  EXPECT_EQ(path.substr(301), "f_3");
}

// --- Error paths ------------------------------------------------------------

TEST(MaterialFileErrors, CutShortAtEveryLength) {
  const std::string bytes = Bytes(MixedForms());
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    // A copy of exactly `length` bytes, so that a read past the end is caught
    // by the sanitizers.
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    const auto parse = ParseMaterialFile(cut);
    ASSERT_FALSE(parse.ok()) << "length " << length;
    EXPECT_THAT(parse.error(), HasSubstr("the file ends early")) << "length " << length;
  }
}

TEST(MaterialFileErrors, MalformedFieldsAreNamed) {
  const std::string mixed = Bytes(MixedForms());
  const std::size_t grid = 28 + 6;  // grid entry 0 of block 2
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  const std::pair<std::string, const char*> cases[] = {
      {Patched(mixed, 6, I16(11)), "block 1 (springback) at offset 0: term count 11 (byte 6) is outside 0..10"},
      {Patched(mixed, 6, I16(-1)), "term count -1 (byte 6) is outside 0..10"},
      {Patched(Bytes(File(Polynomial(1.0f), NoModel(), NoModel(), NoModel())), 6, I16(10)),
       "needs 76 bytes for a polynomial of 10 terms, only 28 remain"},
      {Patched(mixed, 10, I16(1)), "term 1 has code 1 (byte 10), outside 2..21"},
      {Patched(mixed, 12, I16(22)), "term 2 has code 22 (byte 12), outside 2..21"},
      {Patched(mixed, 792 + 12, I16(0)), "block 3 (inner radius) at offset 792: term 2 has code 0"},
      {Patched(mixed, 2, I16(2)), "form 2 (byte 2); the springback model must be polynomial"},
      {Patched(mixed, 2, I16(9)), "form 9 (byte 2); the springback model must be polynomial"},
      {Patched(mixed, 16, F32(infinity)), "coefficient c0 (byte 16) is not a finite number"},
      {Patched(mixed, 24, F32(nan)), "coefficient c2 (byte 24) is not a finite number"},
      {Patched(mixed, grid + 12 * 4, F32(nan)), "grid entry 12"},
      {Patched(mixed, grid + 3 * 4, F32(5.0f)), "column key 3 (5) is not above column key 2 (5)"},
      {Patched(mixed, grid + 22 * 4, F32(10.0f)), "row key 2 (10) is not above row key 1 (30)"},
  };
  for (const auto& [bytes, message] : cases) {
    const auto parse = ParseMaterialFile(Span(bytes));
    EXPECT_FALSE(parse.ok()) << message;
    EXPECT_THAT(parse.error(), HasSubstr(message));
  }
}

// --- Evaluation -------------------------------------------------------------

TEST(PolynomialForm, EachTermCodeHasItsPowersOfTAndC) {
  // T = (a - 90) / 90 = 1/2 at a = 135 and C = (r - 10) / 10 = 1/4 at
  // r = 12.5, so T^i C^j = 2^-(i + 2j): codes 2..21 are T, T^2, T^3, T^4,
  // T^5, C, C^2, C^3, C^4, C^5, TC, TC^2, T^2C, T^2C^2, TC^3, T^3C, T^2C^3,
  // T^3C^2, T^4C, TC^4.
  const int halvings[] = {1, 2, 3, 4, 5, 2, 4, 6, 8, 10, 3, 5, 4, 6, 7, 5, 8, 7, 6, 9};
  for (int code = 2; code <= 21; ++code) {
    const float term = std::ldexp(1.0f, -halvings[code - 2]);
    EXPECT_FLOAT_EQ(EvaluatePolynomial(Polynomial(1.0f, {{code, 2.0f}}), 135.0f, 12.5f), 1.0f + 2.0f * term)
        << "code " << code;
  }
}

TEST(PolynomialForm, RatioOutsideFourToTwentyIsExtrapolated) {
  // 1 + 2 C^2: at r itself inside 4..20; outside, along the straight line
  // through r = 4 and 6 (1.72, 1.32) or r = 16 and 20 (1.72, 3.0).
  const struct {
    float ratio;
    float expected;
  } cases[] = {{4.0f, 1.72f}, {20.0f, 3.0f}, {10.0f, 1.0f}, {3.0f, 1.92f}, {2.0f, 2.12f}, {22.0f, 3.64f}};
  for (const auto& c : cases) {
    EXPECT_NEAR(EvaluatePolynomial(Polynomial(1.0f, {{8, 2.0f}}), 90.0f, c.ratio), c.expected, 1e-5)
        << "ratio " << c.ratio;
  }
}

TEST(GridForm, InterpolatesBetweenKeysAndExtrapolatesBeyondThem) {
  // Values linear in angle and ratio are reproduced exactly, between keys and
  // beyond them (outside the columns inside 4..20, and along r outside it).
  const auto plane = [](float a, float r) { return 0.01f * a + 0.1f * r; };
  const auto model = Grid(plane);
  const auto narrow = Grid(plane, {6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
  const struct {
    const char* name;
    const MaterialModel& model;
    float angle;
    float ratio;
  } cases[] = {
      {"on keys", model, 90, 10},         {"between keys", model, 95, 11}, {"last columns", model, 33, 19.5f},
      {"r = 4", model, 90, 4},            {"r = 20", model, 170, 20},      {"r = 3", model, 90, 3},
      {"r = 25", model, 90, 25},          {"below first column", narrow, 90, 4.5f},
      {"above last column", narrow, 90, 19}, {"10 below the first row", model, 20, 10},
      {"between rows 15 and 16", model, 175, 8},
  };
  for (const auto& c : cases) {
    const auto value = EvaluateGrid(c.model, c.angle, c.ratio);
    ASSERT_TRUE(value.has_value()) << c.name;
    const float expected = plane(c.angle, c.ratio);
    EXPECT_NEAR(*value, expected, 1e-5f * std::fabs(expected) + 1e-6f) << c.name;
  }
}

TEST(GridForm, RowRangeGivesNoValueOutside) {
  // Rows run from 30 to 180: values from 20 (first key - 10), none at the last key.
  const auto model = Grid([](float, float) { return 1.0f; });
  for (const auto& [angle, has_value] :
       {std::pair{20.0f, true}, {19.99f, false}, {179.99f, true}, {180.0f, false}, {181.0f, false}}) {
    EXPECT_EQ(EvaluateGrid(model, angle, 10).has_value(), has_value) << "angle " << angle;
    EXPECT_EQ(EvaluateGrid(model, angle, 2).has_value(), has_value) << "angle " << angle << ", r 2";
  }
}

TEST(ForceFactor, TableWithClampedEnds) {
  const std::pair<float, float> cases[] = {{2.5f, 1.59f},    {10.0f, 1.27f},  {11.25f, 1.25f}, {6.2f, 1.40f},
                                           {8.0f, 1.324f},   {12.0f, 1.238f}, {29.0f, 1.168f}, {30.0f, 1.165f},
                                           {100.0f, 1.165f}, {2.0f, 1.59f},   {0.0f, 1.59f},   {-3.0f, 1.59f}};
  for (const auto& [x, k] : cases) EXPECT_FLOAT_EQ(ForceFactor(x), k) << "x " << x;
}

}  // namespace
