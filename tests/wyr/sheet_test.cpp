// End-to-end tests of the set-up sheet: `wyr run --sheet` and `wyr sheet` on
// the example job's programs, what the pages hold and what is refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::HasSubstr;
using ::testing::Not;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// The example job copied into a folder of its own and run once, writing its
// two programs (out/BRACKET.S1P1.wyr and out/BRACKET.S2P2.wyr) and sheets.
class SheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("wyr-sheet-test");
    CopyExample(dir_ / "job");
    job_ = json::parse(ReadFile(dir_ / "job" / "bracket.json"));
  }
  void TearDown() override { fs::remove_all(dir_); }

  WyrResult Run(const std::vector<std::string>& extra = {}) {
    WriteFile(JobFile(), job_.dump(2));
    std::vector<std::string> args = {"run", JobFile(), "--now", "2026-12-07T10:00:00Z"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunWyr(args, {{"XDG_CONFIG_HOME", (dir_ / "config").string()}, {"TZ", "UTC"}});
  }
  std::string JobFile() const { return (dir_ / "job" / "bracket.json").string(); }
  std::string Program(const char* name) const { return (dir_ / "job" / "out" / name).string(); }
  std::string Out(const char* name) const { return (dir_ / name).string(); }

  fs::path dir_;
  json job_;
};

TEST_F(SheetTest, RunWritesTheSheetOfEveryProgramBeforeItIsDone) {
  const WyrResult result = Run({"--sheet", Out("sheets")});
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  const std::string s1 = Out("sheets") + "/BRACKET.S1P1.html", s2 = Out("sheets") + "/BRACKET.S2P2.html";
  EXPECT_THAT(result.out, HasSubstr("sheet: " + s1 + "\nsheet: " + s2 + "\ndone: "));

  const std::string first = ReadFile(s1), second = ReadFile(s2);
  EXPECT_THAT(first, HasSubstr("program <span class=\"number\">120700</span>"));
  EXPECT_THAT(second, HasSubstr("program <span class=\"number\">120701</span>"));
  for (const std::string* page : {&first, &second}) {
    EXPECT_EQ(Count(*page, "<article class=\"step"), 2u);
    EXPECT_EQ(Count(*page, "<svg class=\"step-drawing\""), 2u);
    EXPECT_EQ(Count(*page, "<path class=\"die-v\""), 2u) << "the job gives every die";
    EXPECT_THAT(*page, Not(HasSubstr("<script"))) << "self-contained, nothing to run";
    EXPECT_THAT(*page, Not(HasSubstr("src=")));
  }
  // The run warned of steps 3 and 4 (V/t below 4); so does their sheet.
  EXPECT_THAT(result.out, HasSubstr("[for step number: 3]\nThe Die V width / Thickness is less than 4"));
  EXPECT_EQ(Count(second, "<li>V/t 3 (V 6, t 2 mm): below 4.</li>"), 2u);
  EXPECT_THAT(first, Not(HasSubstr("V/t")));
}

TEST_F(SheetTest, SheetOfOneProgramWithAndWithoutItsJob) {
  ASSERT_EQ(Run().status, 0);
  const WyrResult with = RunWyr({"sheet", Program("BRACKET.S1P1.wyr"), "--job", JobFile(), "-o", Out("with.html")});
  const WyrResult without = RunWyr({"sheet", Program("BRACKET.S1P1.wyr"), "-o", Out("without.html")});
  for (const WyrResult* result : {&with, &without}) {
    EXPECT_EQ(result->status, 0) << result->err;
    EXPECT_EQ(result->out, "");
    EXPECT_EQ(result->err, "");
  }
  const std::string a = ReadFile(Out("with.html")), b = ReadFile(Out("without.html"));
  EXPECT_THAT(a, HasSubstr("bracket.json, group 1 of 2: steps[0] to steps[1], SetupIndex 1"));
  EXPECT_THAT(a, HasSubstr("DIE16V: V 16 mm, shoulder radius 2.5 mm, angle 88°"));
  EXPECT_THAT(a, HasSubstr("punch PUNCH88 &#183; die DIE16V"));
  EXPECT_THAT(b, Not(HasSubstr("class=\"die-v\"")));
  EXPECT_EQ(Count(b, "die not known"), 2u);
  // The punch tip at t + Y1 in both: 2 - 6.437342.
  for (const std::string* page : {&a, &b}) EXPECT_EQ(Count(*page, R"(<circle class="tip" cx="0" cy="-4.4373")"), 2u);
  // The table holds the record's values exactly; finger 1's X turned back.
  EXPECT_THAT(b, HasSubstr(R"(<td class="n">-6.437342</td><td class="n">-6.437342</td><td class="n">86</td>)"
                           R"(<td class="n">500</td><td class="n">122</td><td class="n">120.5</td>)"));
}

TEST_F(SheetTest, EveryTextFromTheProgramAndTheJobIsEscaped) {
  job_["paths"]["program"] = "out/<b>&'q\".bmf";
  ASSERT_EQ(Run().status, 0);
  // The same job with other tool names matches the program all the same.
  job_["steps"][0]["ToolID"][0] = "<i>P</i>";
  job_["tools"][0]["ToolName"] = "<i>P</i>";
  WriteFile(Out("renamed.json"), job_.dump());
  const WyrResult result = RunWyr({"sheet", Program("<b>&'q\".S1P1.wyr"), "--job", Out("renamed.json"), "-o",
                                   Out("sheet.html")});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string page = ReadFile(Out("sheet.html"));
  EXPECT_THAT(page, HasSubstr("&lt;B&gt;&amp;&#39;Q&quot;"));  // the part reference
  EXPECT_THAT(page, HasSubstr("&lt;b&gt;&amp;&#39;q&quot;.S1P1.wyr"));
  EXPECT_THAT(page, HasSubstr("punch &lt;i&gt;P&lt;/i&gt;"));
  EXPECT_THAT(page, Not(HasSubstr("<B>")));
  EXPECT_THAT(page, Not(HasSubstr("<i>")));
}

TEST_F(SheetTest, RefusesWhatIsNoProgramAndAJobThatDoesNotMatch) {
  ASSERT_EQ(Run().status, 0);
  json other = job_;
  other["steps"][2]["SequenceOrder"] = 9;
  WriteFile(Out("other.json"), other.dump());
  WriteFile(Out("broken.json"), "{\"steps\": [");
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {"a job file as the program", {JobFile()}, "wyr: " + JobFile() + ": not a program file: the file has "},
      {"a folder", {dir_.string()}, "wyr: " + dir_.string() + ": is a folder, not a file\n"},
      {"missing", {Out("missing.wyr")}, "wyr: " + Out("missing.wyr") + ": does not exist\n"},
      {"a job of other steps", {Program("BRACKET.S2P2.wyr"), "--job", Out("other.json")},
       "wyr: " + Out("other.json") + ": does not match the program: record 0 has SequenceOrder 3, steps[2] has 9\n"},
      {"a job of one setup", {Program("BRACKET.S2P2.wyr"), "--job", JOBS_DIR "/create.json"},
       "create.json: does not match the program: record 0 has SequenceOrder 3, steps[0] has 0\n"},
      {"a broken job", {Program("BRACKET.S1P1.wyr"), "--job", Out("broken.json")}, "wyr: " + Out("broken.json") + ": "},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"sheet"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"-o", Out("sheet.html")});
    const WyrResult result = RunWyr(args);
    EXPECT_EQ(result.status, 2) << c.what;
    EXPECT_THAT(result.err, HasSubstr(c.message)) << c.what;
    EXPECT_FALSE(fs::exists(Out("sheet.html"))) << c.what;
  }
}

TEST_F(SheetTest, OutputThatCannotBeWrittenLeavesEverythingAsItWas) {
  ASSERT_EQ(Run().status, 0);
  const std::string program = Program("BRACKET.S1P1.wyr");
  const std::string bytes = ReadFile(program);
  fs::create_directories(Out("folder"));
  const struct {
    const char* what;
    std::string output;
    int status;
    std::string message;
  } cases[] = {
      {"missing folder", Out("no/such/sheet.html"), 1, "wyr: " + Out("no/such/sheet.html") + ": its folder does not exist\n"},
      {"a folder", Out("folder"), 1, "wyr: " + Out("folder") + ": is a folder, not a file\n"},
      {"the program itself", program, 2,
       "wyr: -o " + program + ": is the program or job file itself; the sheet needs a file of its own\n"},
  };
  for (const auto& c : cases) {
    const WyrResult result = RunWyr({"sheet", program, "-o", c.output});
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_EQ(result.err, c.message) << c.what;
  }
  EXPECT_EQ(ReadFile(program), bytes);
  EXPECT_TRUE(fs::is_empty(Out("folder")));
}

TEST_F(SheetTest, RunRefusesASheetFolderThatIsAFileBeforeAnythingIsWritten) {
  WriteFile(Out("file"), "x");
  const WyrResult result = Run({"--sheet", Out("file")});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "wyr: --sheet: " + Out("file") + ": is not a folder\n");
  EXPECT_FALSE(fs::exists(Program("BRACKET.S1P1.wyr")));
}

}  // namespace
}  // namespace wyr_test
