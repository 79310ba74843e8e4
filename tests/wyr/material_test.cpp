// End-to-end tests of wyr material: build, dump and eval.
#include <filesystem>
#include <string>

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "wyr_runner.h"

namespace {

using ::testing::HasSubstr;
using wyr_test::ReadFile;
using wyr_test::RunWyr;
using wyr_test::WriteFile;

const std::filesystem::path kData = TEST_DATA_DIR;
const std::filesystem::path kExamples = std::filesystem::path(EXAMPLES_DIR) / "materials";

// Every test starts with the one-of-each test material built into `file_`.
class WyrMaterialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = wyr_test::MakeTempFolder("wyr-material");
    file_ = (folder_ / "f_1").string();
    const auto result = RunWyr({"material", "build", (kData / "material_one_of_each.json").string(), "-o", file_});
    ASSERT_EQ(result.status, 0) << result.err;
    // 16 + 6 bytes, a grid, 16 bytes and a block of no model.
    EXPECT_EQ(result.out, file_ + ": 806 bytes (polynomial, grid, polynomial, none)\n");
    EXPECT_EQ(ReadFile(file_).size(), 806u);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  std::string file_;
};

TEST_F(WyrMaterialTest, ShippedExamplesAreBuiltFromTheirDescriptions) {
  for (const char* name : {"f_1", "f_2", "f_3", "f_4"}) {
    const std::filesystem::path out = folder_ / name;
    const auto result = RunWyr({"material", "build", (kExamples / (std::string(name) + ".json")).string(), "-o",
                                out.string()});
    ASSERT_EQ(result.status, 0) << name << ": " << result.err;
    EXPECT_EQ(ReadFile(out), ReadFile(kExamples / name)) << name << " differs from a fresh build";
  }
}

TEST_F(WyrMaterialTest, BadDescriptionsAreRejected) {
  const std::string poly = R"({"form": "polynomial", "constant": 1})";
  const auto with = [&](const std::string& springback, const std::string& neutral = R"({"form": "none"})") {
    return R"({"springback": )" + springback + R"(, "neutral_fibre": )" + neutral +
           R"(, "inner_radius": {"form": "none"}, "radius_effect": {"form": "none"}})";
  };
  std::string eleven_terms = R"({"form": "polynomial", "constant": 1, "terms": [)";
  for (int i = 0; i < 11; ++i) eleven_terms += std::string(i ? "," : "") + R"({"code": 2, "coefficient": 1})";
  eleven_terms += "]}";
  const struct { const char* name; std::string text; const char* message; } cases[] = {
      {"not JSON", "{", "not valid JSON"},
      {"not an object", "[]", "description: must be a JSON object"},
      {"model missing", R"({"springback": )" + poly + "}", "\"neutral_fibre\" is missing"},
      {"unknown key", R"({"springbok": 1})", "unknown key \"springbok\""},
      {"springback as grid", with(R"({"form": "grid"})"), "springback.form: the springback model must be \"polynomial\""},
      {"unknown form", with(poly, R"({"form": "table"})"), "neutral_fibre.form: \"table\" is not"},
      {"term code 22", with(R"({"form": "polynomial", "constant": 1, "terms": [{"code": 22, "coefficient": 1}]})"),
       "springback.terms[0].code: 22 is not a term code (2 to 21)"},
      {"term name mismatch",
       with(R"({"form": "polynomial", "constant": 1, "terms": [{"code": 7, "term": "T", "coefficient": 1}]})"),
       "springback.terms[0].term: code 7 is the term \"C\", not \"T\""},
      {"eleven terms", with(eleven_terms), "springback.terms: needs 0 to 10 entries, has 11"},
      {"constant missing", with(R"({"form": "polynomial"})"), "springback: \"constant\" is missing"},
      {"constant not a number", with(R"({"form": "polynomial", "constant": "1"})"), "springback.constant: must be a number"},
      {"beyond float", with(R"({"form": "polynomial", "constant": 1e39})"), "springback.constant: 1e+39 is outside"},
      {"short grid", with(poly, R"({"form": "grid", "columns": [1, 2, 3], "rows": []})"),
       "neutral_fibre.columns: needs 10 entries, has 3"},
      {"falling columns",
       with(poly, R"({"form": "grid", "columns": [4, 5, 6, 8, 10, 9, 14, 16, 18, 20], "rows": []})"),
       "neutral_fibre.columns[5]: 9 is not above the one before (10)"},
  };
  const auto path = folder_ / "desc.json", out = folder_ / "f_9";
  for (const auto& c : cases) {
    WriteFile(path, c.text);
    const auto result = RunWyr({"material", "build", path.string(), "-o", out.string()});
    EXPECT_EQ(result.status, 2) << c.name;
    EXPECT_THAT(result.err, HasSubstr(c.message)) << c.name << "\n" << c.text;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name << ": nothing is written";
  }
}

TEST_F(WyrMaterialTest, DumpShowsEveryBlock) {
  const auto text = RunWyr({"material", "dump", file_});
  ASSERT_EQ(text.status, 0) << text.err;
  for (const char* line : {"block 1 springback: offset 0, 22 bytes, form 1 (polynomial)",
                           "  term 1      code 7   C        1\n",
                           "block 2 neutral fibre: offset 22, 764 bytes, form 2 (grid)",
                           "  columns     4 5 6 8 10 12 14 16 18 20\n", "  row 16      angle 180: 0.22 0.23 0.24",
                           "block 4 radius effect: offset 802, 4 bytes, form 0 (no model)"}) {
    EXPECT_THAT(text.out, HasSubstr(line));
  }

  const auto as_json = RunWyr({"material", "dump", file_, "--json"});
  ASSERT_EQ(as_json.status, 0) << as_json.err;
  const auto dump = nlohmann::json::parse(as_json.out);
  EXPECT_EQ(dump["size"], 806);
  EXPECT_EQ(dump["trailing_bytes"], 0);
  ASSERT_EQ(dump["blocks"].size(), 4u);
  EXPECT_EQ(dump["blocks"][0]["terms"][0]["code"], 7);
  EXPECT_EQ(dump["blocks"][1]["rows"][6]["values"][5], 0.21);
  EXPECT_EQ(dump["blocks"][2]["constant"], 0.1);
  EXPECT_EQ(dump["blocks"][3]["form_name"], "none");
}

TEST_F(WyrMaterialTest, DumpRejectsMalformedFiles) {
  const std::string bytes = ReadFile(file_);
  std::string eleven = bytes;
  eleven[6] = 11;
  const struct { const char* name; std::string bytes; const char* message; } cases[] = {
      {"empty", "", "the file ends early: block 1 (springback) at offset 0 needs 4 bytes"},
      {"cut in the grid", bytes.substr(0, 500),
       "the file ends early: block 2 (neutral fibre) at offset 22 needs 764 bytes for a grid, only 478 remain"},
      {"eleven terms", eleven, "term count 11 (byte 6) is outside 0..10"},
  };
  const std::string path = (folder_ / "bad").string();
  for (const auto& c : cases) {
    WriteFile(path, c.bytes);
    for (const auto& args : {std::vector<std::string>{"material", "dump", path},
                             std::vector<std::string>{"material", "eval", path, "--angle", "90", "--ratio", "10"}}) {
      const auto result = RunWyr(args);
      EXPECT_EQ(result.status, 2) << c.name << " " << args[1];
      EXPECT_THAT(result.err, HasSubstr(c.message)) << c.name << " " << args[1];
    }
  }
  // What is no regular file is refused without waiting for a writer.
  ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
  const std::pair<std::string, const char*> unreadable[] = {
      {"nothing", "nothing: does not exist"}, {"fifo", "fifo: is not a regular file"}, {".", "is a folder"}};
  for (const auto& [name, message] : unreadable) {
    const auto result = RunWyr({"material", "dump", (folder_ / name).string()});
    EXPECT_EQ(result.status, 2) << name;
    EXPECT_THAT(result.err, HasSubstr(message)) << name;
  }
}

TEST_F(WyrMaterialTest, EvalShowsEachModelAndItsForm) {
  const struct { const char *angle, *ratio; std::string out; } cases[] = {
      {"90", "12",
       "angle 90, ratio 12 (inside 4..20)\n"
       "springback     polynomial  2.2\n"
       "neutral fibre  grid        0.21\n"
       "inner radius   polynomial  0.1\n"
       "radius effect  none        no value\n"},
      {"180", "3",
       "angle 180, ratio 3 (below 4: extrapolated from r = 4 and 6)\n"
       "springback     polynomial  1.3\n"
       "neutral fibre  grid        no value\n"
       "inner radius   polynomial  0.1\n"
       "radius effect  none        no value\n"},
  };
  for (const auto& c : cases) {
    const auto result = RunWyr({"material", "eval", file_, "--angle", c.angle, "--ratio", c.ratio});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.out) << c.angle << " " << c.ratio;
  }
  const auto as_json = RunWyr({"material", "eval", file_, "--angle", "90", "--ratio", "12", "--json"});
  ASSERT_EQ(as_json.status, 0) << as_json.err;
  const auto eval = nlohmann::json::parse(as_json.out);
  EXPECT_EQ(eval["models"][1]["value"], 0.21);
  EXPECT_TRUE(eval["models"][3]["value"].is_null());

  for (const char* angle : {"abc", "nan", "inf"}) {
    EXPECT_EQ(RunWyr({"material", "eval", file_, "--angle", angle, "--ratio", "10"}).status, 2) << angle;
  }
  EXPECT_EQ(RunWyr({"material", "eval", file_, "--ratio", "10"}).status, 2) << "--angle is required";
}

}  // namespace
