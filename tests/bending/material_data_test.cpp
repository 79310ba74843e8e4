#include "bending/material_data.h"

#include <cmath>
#include <cstring>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bending_test_support.h"

namespace {

using bending_test::Bytes;
using bending_test::File;
using bending_test::Grid;
using bending_test::NoModel;
using bending_test::Polynomial;
using bending_test::Span;
using driverwyr::EvaluateGrid;
using driverwyr::EvaluateModelAtRatio;
using driverwyr::EvaluatePolynomial;
using driverwyr::ForceFactor;
using driverwyr::MaterialFile;
using driverwyr::ParseMaterialFile;
using ::testing::HasSubstr;

void PutWordAt(std::string& bytes, std::size_t at, int value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutFloatAt(std::string& bytes, std::size_t at, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, 4);
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(bits >> (8 * i));
}

MaterialFile MixedForms() {
  return File(Polynomial(1.5f, {{2, -1.5f}, {7, 0.75f}}),
              Grid(bending_test::StandardColumns(), bending_test::StandardRows(),
                   [](float a, float r) { return 0.4f + 0.001f * a + 0.01f * r; }),
              Polynomial(0.19f, {{7, 0.43f}, {8, -0.23f}, {9, 0.19f}}),
              Grid(bending_test::StandardColumns(), bending_test::StandardRows(),
                   [](float a, float r) { return 0.02f * r - 0.001f * a; }));
}

// --- Layout -----------------------------------------------------------------

TEST(MaterialFileLayout, BlockSizesFollowTheForms) {
  struct Case {
    MaterialFile file;
    std::vector<std::size_t> sizes;
  };
  const Case cases[] = {
      {File(Polynomial(1.0f), Polynomial(0.4f), Polynomial(0.1f), Polynomial(0.9f)), {16, 16, 16, 16}},
      {MixedForms(), {16 + 6 * 2, 764, 16 + 6 * 3, 764}},
      {File(Polynomial(1.0f, {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}, {11, 1}}),
            NoModel(0), NoModel(7), NoModel(-1)),
       {76, 4, 4, 4}},
  };
  for (const Case& c : cases) {
    const std::string bytes = Bytes(c.file);
    const auto parse = ParseMaterialFile(Span(bytes));
    ASSERT_TRUE(parse.ok) << parse.error;
    std::size_t offset = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(parse.layout[i].offset, offset) << "block " << i + 1;
      EXPECT_EQ(parse.layout[i].size, c.sizes[i]) << "block " << i + 1;
      offset += c.sizes[i];
    }
    EXPECT_EQ(parse.used, offset);
    EXPECT_EQ(bytes.size(), offset);
    EXPECT_EQ(parse.file, c.file) << "the file reads back as it was written";
  }
}

TEST(MaterialFileLayout, PolynomialBlockFieldsSitAtTheirOffsets) {
  // Separator, form 1, separator, n = 2, separator, codes 7 and 12,
  // separator, c0..c2.
  std::string bytes(28, '\0');
  PutWordAt(bytes, 0, 0x1111);
  PutWordAt(bytes, 2, 1);
  PutWordAt(bytes, 4, 0x2222);
  PutWordAt(bytes, 6, 2);
  PutWordAt(bytes, 8, 0x3333);
  PutWordAt(bytes, 10, 7);
  PutWordAt(bytes, 12, 12);
  PutWordAt(bytes, 14, 0x4444);
  PutFloatAt(bytes, 16, 1.25f);
  PutFloatAt(bytes, 20, -0.5f);
  PutFloatAt(bytes, 24, 3.0f);
  // Three more blocks of no model.
  bytes += std::string(12, '\0');
  const auto parse = ParseMaterialFile(Span(bytes));
  ASSERT_TRUE(parse.ok) << parse.error;
  const auto& model = parse.file.models[0];
  EXPECT_EQ(model.term_count, 2);
  EXPECT_EQ(model.term_codes[0], 7);
  EXPECT_EQ(model.term_codes[1], 12);
  EXPECT_EQ(model.coefficients[0], 1.25f);
  EXPECT_EQ(model.coefficients[1], -0.5f);
  EXPECT_EQ(model.coefficients[2], 3.0f);
  EXPECT_THAT(parse.layout[0].separators, ::testing::ElementsAre(0x1111, 0x2222, 0x3333, 0x4444));
  // Writing back with the separators gives the same bytes.
  std::array<std::vector<std::uint16_t>, 4> separators;
  for (std::size_t i = 0; i < 4; ++i) separators[i] = parse.layout[i].separators;
  const auto again = driverwyr::EncodeMaterialFile(parse.file, &separators);
  EXPECT_EQ(std::string(again.begin(), again.end()), bytes);
}

TEST(MaterialFileLayout, GridFloatsSkipTheSeparatorWords) {
  const MaterialFile file = MixedForms();
  const std::string bytes = Bytes(file);
  const std::size_t block = 28;  // the grid is block 2
  // Entry 31 ends the first chunk; entry 32 starts the second, after a word.
  float entry31 = 0;
  float entry32 = 0;
  float entry186 = 0;
  std::memcpy(&entry31, bytes.data() + block + 4 + 2 + 31 * 4, 4);
  std::memcpy(&entry32, bytes.data() + block + 4 + 130 + 2, 4);
  std::memcpy(&entry186, bytes.data() + block + 760, 4);
  EXPECT_EQ(entry31, file.models[1].grid[31]);
  EXPECT_EQ(entry32, file.models[1].grid[32]);
  EXPECT_EQ(entry186, file.models[1].grid[186]);
}

TEST(MaterialFileLayout, BytesAfterTheFourthBlockAreIgnored) {
  const std::string bytes = Bytes(MixedForms()) + "trailing";
  const auto parse = ParseMaterialFile(Span(bytes));
  ASSERT_TRUE(parse.ok) << parse.error;
  EXPECT_EQ(parse.used, bytes.size() - 8);
}

TEST(MaterialFileLayout, UnknownFormEndsTheBlockAfterItsFormWord) {
  MaterialFile file = MixedForms();
  file.models[1] = NoModel(7);
  const std::string bytes = Bytes(file);
  const auto parse = ParseMaterialFile(Span(bytes));
  ASSERT_TRUE(parse.ok) << parse.error;
  EXPECT_EQ(parse.layout[1].size, 4u);
  EXPECT_EQ(parse.layout[2].offset, 28u + 4u);
  EXPECT_EQ(parse.file.models[2], file.models[2]);
  EXPECT_FALSE(EvaluateModelAtRatio(parse.file.models[1], 90, 10).has_value());
}

TEST(MaterialFilePath, JoinsFolderAndNameAtFullLength) {
  const std::string folder(300, 'x');
  const std::string path = driverwyr::MaterialFilePath(folder, 3);
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
    ASSERT_FALSE(parse.ok) << "length " << length;
    EXPECT_THAT(parse.error, HasSubstr("the file ends early")) << "length " << length;
  }
}

TEST(MaterialFileErrors, MalformedFieldsAreNamed) {
  struct Case {
    const char* name;
    std::size_t offset;  // of a 16-bit word in the MixedForms file
    int value;
    const char* message;
  };
  const Case cases[] = {
      {"term count 11", 6, 11, "block 1 (springback) at offset 0: term count 11 (byte 6) is outside 0..10"},
      {"term count -1", 6, -1, "term count -1 (byte 6) is outside 0..10"},
      {"term code 1", 10, 1, "term 1 has code 1 (byte 10), outside 2..21"},
      {"term code 22", 12, 22, "term 2 has code 22 (byte 12), outside 2..21"},
      {"term code 0 in block 3", 28 + 764 + 12, 0, "block 3 (inner radius) at offset 792: term 2 has code 0"},
      {"springback as grid", 2, 2, "the springback model must be polynomial"},
      {"springback of unknown form", 2, 9, "form 9 (byte 2); the springback model must be polynomial"},
  };
  for (const Case& c : cases) {
    std::string bytes = Bytes(MixedForms());
    PutWordAt(bytes, c.offset, c.value);
    const auto parse = ParseMaterialFile(Span(bytes));
    EXPECT_FALSE(parse.ok) << c.name;
    EXPECT_THAT(parse.error, HasSubstr(c.message)) << c.name;
  }
}

TEST(MaterialFileErrors, TermCountBeyondTheDataEndsEarly) {
  // A count of 10 that the file does not hold is cut short, not read on.
  std::string bytes = Bytes(File(Polynomial(1.0f), NoModel(), NoModel(), NoModel()));
  PutWordAt(bytes, 6, 10);
  const auto parse = ParseMaterialFile(Span(bytes));
  ASSERT_FALSE(parse.ok);
  EXPECT_THAT(parse.error, HasSubstr("needs 76 bytes for a polynomial of 10 terms, only 28 remain"));
}

TEST(MaterialFileErrors, NumbersThatCannotDriveAPress) {
  const float infinity = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    std::size_t offset;  // of a float in the MixedForms file
    float value;
    const char* message;
  };
  const std::size_t grid = 28;
  const Case cases[] = {
      {"infinite c0", 16, infinity, "coefficient c0 (byte 16) is not a finite number"},
      {"NaN c2", 24, nan, "coefficient c2 (byte 24) is not a finite number"},
      {"NaN grid value", grid + 4 + 2 + 12 * 4, nan, "grid entry 12"},
      {"repeated column key", grid + 4 + 2 + 3 * 4, 5.0f, "column key 3 (5) is not above column key 2 (5)"},
      {"falling row key", grid + 4 + 2 + 22 * 4, 10.0f, "row key 2 (10) is not above row key 1 (30)"},
  };
  for (const Case& c : cases) {
    std::string bytes = Bytes(MixedForms());
    PutFloatAt(bytes, c.offset, c.value);
    const auto parse = ParseMaterialFile(Span(bytes));
    EXPECT_FALSE(parse.ok) << c.name;
    EXPECT_THAT(parse.error, HasSubstr(c.message)) << c.name;
  }
}

// --- Evaluation -------------------------------------------------------------

TEST(PolynomialForm, TermsInTAndC) {
  // T = (a - 90) / 90, C = (r - 10) / 10; at a = 135, r = 15: T = C = 0.5.
  struct Case {
    int code;
    float expected;
  };
  const Case cases[] = {{2, 0.5f},        {3, 0.25f},       {4, 0.125f},      {5, 0.0625f},     {6, 0.03125f},
                        {7, 0.5f},        {8, 0.25f},       {9, 0.125f},      {10, 0.0625f},    {11, 0.03125f},
                        {12, 0.25f},      {13, 0.125f},     {14, 0.125f},     {15, 0.0625f},    {16, 0.0625f},
                        {17, 0.0625f},    {18, 0.03125f},   {19, 0.03125f},   {20, 0.03125f},   {21, 0.03125f}};
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(EvaluatePolynomial(Polynomial(1.0f, {{c.code, 2.0f}}), 135.0f, 15.0f), 1.0f + 2.0f * c.expected)
        << "code " << c.code;
  }
  // T and C are told apart: T^2*C and T*C^2 at T = 1/3 (a = 120), C = 0.5.
  EXPECT_FLOAT_EQ(EvaluatePolynomial(Polynomial(0.0f, {{14, 1.0f}}), 120.0f, 15.0f), 1.0f / 18.0f);
  EXPECT_FLOAT_EQ(EvaluatePolynomial(Polynomial(0.0f, {{13, 1.0f}}), 120.0f, 15.0f), 1.0f / 12.0f);
}

TEST(PolynomialForm, RatioOutsideFourToTwentyIsExtrapolated) {
  // A model curved in C: 1 + 2 C^2. Inside 4..20 it is evaluated at r itself;
  // outside, along the straight line through r = 4 and 6 or 16 and 20.
  const auto model = Polynomial(1.0f, {{8, 2.0f}});
  struct Case {
    float ratio;
    float expected;
  };
  const Case cases[] = {
      {4.0f, 1.72f},                      // C = -0.6, exact
      {20.0f, 3.0f},                      // C = 1.0, exact
      {10.0f, 1.0f},
      {3.0f, 1.72f + (1.32f - 1.72f) * -0.5f},  // C = -0.7 on the line through 1.72 (r 4) and 1.32 (r 6)
      {2.0f, 1.72f + (1.32f - 1.72f) * -1.0f},
      {22.0f, 3.0f + (3.0f - 1.72f) * 0.5f},    // C = 1.2 on the line through 1.72 (r 16) and 3.0 (r 20)
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(EvaluatePolynomial(model, 90.0f, c.ratio), c.expected, 1e-5) << "ratio " << c.ratio;
  }
}

TEST(GridForm, InterpolatesBetweenKeysAndExtrapolatesBeyondThem) {
  // Values linear in angle and ratio are reproduced exactly, between keys and
  // beyond them (outside the columns inside 4..20, and along r outside it).
  const auto plane = [](float a, float r) { return 0.01f * a + 0.1f * r; };
  const auto model = Grid({4, 5, 6, 8, 10, 12, 14, 16, 18, 20}, bending_test::StandardRows(), plane);
  const auto narrow = Grid({6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, bending_test::StandardRows(), plane);
  struct Case {
    const char* name;
    const driverwyr::MaterialModel* model;
    float angle;
    float ratio;
  };
  const Case cases[] = {
      {"on keys", &model, 90, 10},          {"between keys", &model, 95, 11},
      {"last columns", &model, 33, 19.5f},  {"r = 4", &model, 90, 4},
      {"r = 20", &model, 170, 20},          {"r = 3", &model, 90, 3},
      {"r = 25", &model, 90, 25},           {"below first column", &narrow, 90, 4.5f},
      {"above last column", &narrow, 90, 19},
      {"10 below the first row", &model, 20, 10},
      {"between rows 15 and 16", &model, 175, 8},
  };
  for (const Case& c : cases) {
    const auto value = EvaluateGrid(*c.model, c.angle, c.ratio);
    ASSERT_TRUE(value.has_value()) << c.name;
    const float expected = plane(c.angle, c.ratio);
    EXPECT_NEAR(*value, expected, 1e-5f * std::fabs(expected) + 1e-6f) << c.name;
  }
}

TEST(GridForm, RowRangeGivesNoValueOutside) {
  const auto model = Grid(bending_test::StandardColumns(), bending_test::StandardRows(),
                          [](float, float) { return 1.0f; });
  struct Case {
    float angle;
    bool has_value;
  };
  // Rows run from 30 to 180.
  const Case cases[] = {{20.0f, true}, {19.99f, false}, {179.99f, true}, {180.0f, false}, {181.0f, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(EvaluateGrid(model, c.angle, 10).has_value(), c.has_value) << "angle " << c.angle;
    EXPECT_EQ(EvaluateGrid(model, c.angle, 2).has_value(), c.has_value) << "angle " << c.angle << ", r 2";
  }
}

TEST(ForceFactor, TableWithClampedEnds) {
  struct Case {
    float x;
    float k;
  };
  const Case cases[] = {
      {2.5f, 1.59f},   {10.0f, 1.27f},  {11.25f, 1.25f}, {6.2f, 1.40f},    {8.0f, 1.324f},
      {12.0f, 1.238f}, {29.0f, 1.168f}, {30.0f, 1.165f}, {100.0f, 1.165f}, {2.0f, 1.59f},
      {0.0f, 1.59f},   {-3.0f, 1.59f},
  };
  for (const Case& c : cases) EXPECT_FLOAT_EQ(ForceFactor(c.x), c.k) << "x " << c.x;
}

}  // namespace
