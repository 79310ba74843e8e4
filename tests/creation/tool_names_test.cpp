// Tool names of the creation dialog: which step's tools are shown, their
// orientation codes, and their translation through the conversion file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "creation/tool_names.h"
#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"

namespace driverwyr {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Fields = std::vector<std::string>;

struct ToolDef {
  std::string name, category = {};
  int sectional = 0, small_or_larger = 0;
};

// Punch, die, die holder and spacer of one step (ToolID entries 0, 1, 2, 4),
// and the reverse flags of entries 0 to 2.
struct StepDef {
  std::string punch, die, holder, spacer = {};
  bool punch_rev = false, die_rev = false, holder_rev = false;
};

// Host names, control names, then PunchRev, DieRev, DieHolderRev.
Fields FieldsOf(const ToolNames& n) {
  return {n.HostPunchName,    n.HostDieName,    n.HostDieHolderName,    n.HostSpacerName,
          n.ControlPunchName, n.ControlDieName, n.ControlDieHolderName, n.ControlSpacerName,
          n.PunchRev,         n.DieRev,         n.DieHolderRev};
}

// A conversion's name, or its error after "error: ".
std::string Text(const Result<std::string>& converted) {
  return converted.ok() ? *converted : "error: " + converted.error();
}

struct ConvertCase {
  std::string file, host;
  int sectional;
  std::string expected;
};

class ToolNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStoreForTesting();
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
    ResetStoreForTesting();
  }

  void WriteConversion(const std::string& bytes) {
    ASSERT_TRUE(std::ofstream(conversion_path_, std::ios::binary) << bytes) << conversion_path_;
  }
  // The name, or the error with the file's path left out.
  std::string Convert(const std::string& host, int sectional) {
    std::string text = Text(ConvertToolName(host, sectional, conversion_path_));
    const std::string path = conversion_path_ + ": ";
    if (text.find(path) != std::string::npos) text.erase(text.find(path), path.size());
    return text;
  }
  void ExpectConversions(const std::vector<ConvertCase>& cases) {
    for (const ConvertCase& c : cases) {
      WriteConversion(c.file);
      EXPECT_EQ(Convert(c.host, c.sectional), c.expected)
          << "file " << ::testing::PrintToString(c.file.substr(0, 200)) << " (" << c.file.size() << " bytes), host \""
          << c.host << "\", sectional " << c.sectional;
    }
  }

  static void StoreTools(std::initializer_list<ToolDef> defs) {
    RecordArray<CPPTool> tools;
    for (const ToolDef& def : defs) {
      CPPTool tool;
      tool.SetToolName(CString(std::string_view(def.name)));
      tool.SetCategory(CString(std::string_view(def.category)));
      tool.SetSectional(def.sectional);
      tool.SetSmallorLarger(def.small_or_larger);
      tools.Add(tool);
    }
    InitToolInfo(&tools);
  }

  // The names of a group of the given steps and the closing default step.
  ToolNames Fill(std::initializer_list<StepDef> defs, int control_type = 2) {
    RecordArray<CPPStepInfo> group;
    for (const StepDef& def : defs) {
      char ids[6][32] = {};
      def.punch.copy(ids[0], 32);  // no NUL when the name fills the entry
      def.die.copy(ids[1], 32);
      def.holder.copy(ids[2], 32);
      def.spacer.copy(ids[4], 32);
      const bool reverse[6] = {def.punch_rev, def.die_rev, def.holder_rev, true, false, true};
      CPPStepInfo step;
      step.SetToolID(ids);
      step.SetTollReverse(reverse);
      group.Add(step);
    }
    group.SetSize(group.GetSize() + 1);
    return FillToolNames(group, control_type, conversion_path_);
  }

  const fs::path dir_ = fs::temp_directory_path() /
                        ("driverwyr_tool_names_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                         "_" + std::to_string(std::random_device{}()));
  std::string conversion_path_ = (dir_ / "tools.cnv").string();
};

// --- the conversion file -----------------------------------------------------

TEST_F(ToolNamesTest, ConvertsByTheLineSyntax) {
  const std::string punch_line = "PUNCH88\tP88  P88S\n";
  ExpectConversions({
      {punch_line, "PUNCH88", 0, "P88"},
      {punch_line, "PUNCH88", 1, "P88S"},
      {punch_line, "punch88", -3, "P88S"},  // any letter case; any nonzero flag is sectional
      {"DIE6V D6\n", "DIE6V", 0, "D6"},    // one name serves both kinds
      {"DIE6V D6\n", "DIE6V", 1, "D6"},
      {"DIE16V   \t \nDIE16V D16\n", "DIE16V", 0, "D16"},  // an empty rest: the search goes on
      {"DIE16V\nDIE16V D16\n", "DIE16V", 0, "D16"},          // no blank: no host name
      {"Punches of the 88 series:\n# PUNCH88 P99\nPUNCH88 P88\n", "PUNCH88", 0, "P88"},  // notes
      {"PUNCH888 X\nPUNCH8 Y\nPUNCH88 P88\n", "PUNCH88", 0, "P88"},  // whole first words only
      {"PUNCH88 P88\nPUNCH88 P99\n", "PUNCH88", 0, "P88"},           // the first match wins
      {"  \t PUNCH88 \t P88 \t P88S \t \n", "PUNCH88", 1, "P88S"},   // white space around fields
      {"PUNCH88 P88 P88S EXTRA\n", "PUNCH88", 1, "P88S EXTRA"},      // a fourth field joins the third
      {"HOLDER60\vH60\n", "HOLDER60", 0, "HOLDER60"},  // only blanks and tabs separate fields
      {"PUNCH88 P88\fX\n", "PUNCH88", 1, "P88\fX"},     // a rest without blank or tab is one name
      // Line ends: "\r\n", none at the end of the file.
      {"A B\r\nPUNCH88\tP88  P88S\r\n", "PUNCH88", 1, "P88S"},
      {"PUNCH88\r\nPUNCH88 P88\r\n", "PUNCH88", 0, "P88"},
      {"PUNCH88 P88 P88S", "PUNCH88", 1, "P88S"},
      {"PUNCH88 P88 P88S\r", "PUNCH88", 1, "P88S"},
      // A NUL anywhere makes the file unusable, also after the matching line
      // and on lines that match nothing; the error names the NUL's line.
      {"PUNCH88 P88\0JUNK  X\n"s, "PUNCH88", 1, "error: line 1 holds a NUL byte, which no tool name may contain"},
      {"PUNCH88 P8\08\n"s, "PUNCH88", 0, "error: line 1 holds a NUL byte, which no tool name may contain"},
      {"\0PUNCH88 P99\nPUNCH88 P88\n"s, "PUNCH88", 0, "error: line 1 holds a NUL byte, which no tool name may contain"},
      {"PUNCH88 P88\nA B\r\nNOTE \0\n"s, "PUNCH88", 0, "error: line 3 holds a NUL byte, which no tool name may contain"},
      {"\n\n\n\0"s, "PUNCH88", 0, "error: line 4 holds a NUL byte, which no tool name may contain"},
      // No matching line, an empty file, an empty name.
      {"PUNCH89 P89\n", "PUNCH88", 1, "PUNCH88"},
      {"", "PUNCH88", 0, "PUNCH88"},
      {" P88\n", "", 1, "0"},
  });
}

TEST_F(ToolNamesTest, ReadsLinesOfAnyLengthAcrossReadBoundaries) {
  const std::string long_note(100000, 'x'), long_name(100000, 'S');
  ExpectConversions({
      {long_note + "\nPUNCH88\tP88  P88S\n", "PUNCH88", 1, "P88S"},
      {"PUNCH88 " + long_note + " P88S\n", "PUNCH88", 1, "P88S"},
      {"PUNCH88 P88 " + long_name + "\n", "PUNCH88", 1, long_name},
      {"PUNCH88 " + long_name, "PUNCH88", 0, long_name},
      {std::string(100000, ' ') + "PUNCH88 P88\n", "PUNCH88", 0, "P88"},
  });
  // The file is read in blocks: every way of cutting the line and its line
  // end apart gives the same names.
  for (std::size_t start = 65536 - 20; start <= 65536 + 2; ++start) {
    WriteConversion(std::string(start - 2, 'x') + "\r\nPUNCH88\tP88  P88S\r\nEND E\r\n");
    EXPECT_EQ(Convert("PUNCH88", 0) + " " + Convert("PUNCH88", 1), "P88 P88S") << "line starts at " << start;
  }
}

TEST_F(ToolNamesTest, FileThatCannotBeOpenedLeavesHostNames) {
  const std::string missing = (dir_ / "missing.cnv").string();
  EXPECT_EQ(Text(ConvertToolName("PUNCH88", 0, missing)), "PUNCH88");
  EXPECT_EQ(Text(ConvertToolName("PUNCH88", 1, "")), "PUNCH88");
  EXPECT_EQ(Text(ConvertToolName("", 1, missing)), "0");
  EXPECT_EQ(Text(ConvertToolName("PUNCH88", 0, dir_.string())), "PUNCH88");  // a folder
  // A path with a NUL byte names no file, not the file its first part names.
  WriteConversion("PUNCH88 WRONG\n");
  EXPECT_EQ(Text(ConvertToolName("PUNCH88", 0, conversion_path_ + "\0.old"s)), "PUNCH88");
  // The dialog keeps the host names; over six characters, it refuses "Create..."
  // until the operator shortens them.
  StoreTools({{"PUNCH88"}, {"DIE16V", "", 0, 2}, {"HOLDER60"}});
  conversion_path_ = missing;
  EXPECT_EQ(FieldsOf(Fill({{"PUNCH88", "DIE16V", "HOLDER60", ""}})),
            (Fields{"PUNCH88", "DIE16V", "HOLDER60", "", "PUNCH88", "DIE16V2", "HOLDER60", "0", "0", "0", "0"}));
}

TEST_F(ToolNamesTest, FileWithANulConvertsNothingAndKeepsItsError) {
  StoreTools({{"PUNCH88"}, {"DIE16V"}, {"HOLDER60"}});
  WriteConversion("PUNCH88 P88\nDIE16V D16\nHOLDER60 H6\0" "0\n"s);
  const ToolNames names = Fill({{"PUNCH88", "DIE16V", "HOLDER60", ""}});
  EXPECT_EQ(FieldsOf(names),
            (Fields{"PUNCH88", "DIE16V", "HOLDER60", "", "PUNCH88", "DIE16V", "HOLDER60", "0", "0", "0", "0"}));
  EXPECT_EQ(names.conversion.message(),
            conversion_path_ + ": line 3 holds a NUL byte, which no tool name may contain");
}

TEST_F(ToolNamesTest, LongPathIsOpenedAtFullLength) {
  // Two files in one folder: the first 255 characters of the long path name
  // the short one. Only the long one may be read.
  fs::path folder = dir_;
  while (folder.string().size() < 200) folder /= std::string(40, 'f');
  folder = folder.string().substr(0, 200);
  std::error_code error;
  fs::create_directories(folder, error);
  const std::string stem = folder.string() + "/";
  const std::string short_path = stem + std::string(255 - stem.size(), 'c');
  const std::string long_path = short_path + std::string(300 - short_path.size(), 'c');
  if (!error) {
    std::ofstream(short_path, std::ios::binary) << "PUNCH88 WRONG\n";
    std::ofstream(long_path, std::ios::binary) << "PUNCH88 P88\n";
  }
  // Where the file system takes no such path, the name must stay as it is.
  EXPECT_EQ(Text(ConvertToolName("PUNCH88", 0, long_path)), fs::exists(long_path, error) ? "P88" : "PUNCH88");
}

// --- which tools are shown, and their codes -----------------------------------

TEST_F(ToolNamesTest, ShowsTheLastStepWithAPunchWithoutSectionalTools) {
  StoreTools({{"P1"}, {"P2"}, {"D1"}, {"D2"}, {"H1"}, {"H2"}, {"H3"}, {"S1"}});
  WriteConversion("P1 CP1\nP2 CP2\nD2 CD2\nH2 CH2\n");
  const ToolNames names = Fill({{"P1", "D1", "H1", "S1", true, true, true},
                                {"P2", "D2", "H2", ""},
                                {"", "D1", "H3", "S1", true, true, true},           // no punch: not visited
                                {"UNKNOWN", "D1", "H3", "S1", true, true, true}});  // a punch not in the store
  // An empty name converts to "0".
  EXPECT_EQ(FieldsOf(names), (Fields{"P2", "D2", "H2", "", "CP2", "CD2", "CH2", "0", "0", "0", "0"}));
}

TEST_F(ToolNamesTest, GroupWithoutPunchLeavesEveryFieldEmpty) {
  StoreTools({{"D1", "2V-16", 1, 1}, {"H1"}, {"S1"}});
  WriteConversion("D1 CD1\n");
  const ToolNames names = Fill({{"", "D1", "H1", "S1", true, true, true}, {"NOPUNCH", "D1", "H1", "S1"}});
  EXPECT_EQ(FieldsOf(names), Fields(11));
}

TEST_F(ToolNamesTest, SectionalToolsKeepTheFirstStepThatUsedThem) {
  StoreTools({{"P1", "", 1}, {"P2", "", 1}, {"D1"}, {"D2"}, {"DS1", "", 1}, {"DS2", "", 1},
              {"H1"}, {"H2"}, {"H3"}, {"S1"}, {"S2"}});
  WriteConversion("P1 CP1 CP1S\nDS1 CDS1 CDS1S\n");
  // A sectional punch keeps its step; die, holder and spacer follow the last step.
  EXPECT_EQ(FieldsOf(Fill({{"P1", "D1", "H1", "S1", true}, {"P2", "D2", "H2", "S2", false, true, true}})),
            (Fields{"P1", "D2", "H2", "S2", "CP1S", "D2", "H2", "S2", "1", "1", "1"}));
  // Once punch and die are both sectional the visit ends: the holder is that step's.
  EXPECT_EQ(FieldsOf(Fill({{"P2", "D1", "H1"}, {"P1", "DS1", "H2", "S1"}, {"P2", "DS2", "H3", "S2", true, true, true}})),
            (Fields{"P2", "DS1", "H2", "S1", "P2", "CDS1S", "H2", "S1", "0", "0", "0"}));
}

TEST_F(ToolNamesTest, DieCodes) {
  const struct {
    std::string category;
    int small_or_larger;
    bool reverse;
    std::string die_rev, control_die;
  } cases[] = {
      {"", 1, false, "0", "D201"},     {"", 2, true, "1", "D202"},     {"", 0, false, "0", "D20"},
      {"", 3, false, "0", "D20"},      {"2V-16", 1, true, "S", "D201"}, {"2V-16", 0, false, "L", "D20"},
      {"2V", 0, true, "S", "D20"},     {"2v-16", 0, true, "1", "D20"},  // case-sensitive
      {"12V", 0, true, "1", "D20"},
  };
  WriteConversion("DIE20 D20\n");
  for (const auto& c : cases) {
    StoreTools({{"P"}, {"DIE20", c.category, 0, c.small_or_larger}});
    const ToolNames names = Fill({{"P", "DIE20", "", "", false, c.reverse, false}});
    EXPECT_EQ(names.DieRev + " " + names.ControlDieName, c.die_rev + " " + c.control_die)
        << "category \"" << c.category << "\", SmallorLarger " << c.small_or_larger << ", reverse " << c.reverse;
  }
}

TEST_F(ToolNamesTest, OnlyControlTypes2And7Translate) {
  StoreTools({{"PUNCH88"}, {"DIE16V", "2V-16", 0, 1}, {"HOLDER60"}, {"SPACER10"}});
  WriteConversion("PUNCH88 P88 P88S\nDIE16V D16\nHOLDER60 H60\nSPACER10 SP10\n");
  for (const int control_type : {0, 1, 2, 5, 7, -1}) {
    const bool translated = control_type == 2 || control_type == 7;
    const auto t = [&](const char* name) { return translated ? name : ""; };
    EXPECT_EQ(FieldsOf(Fill({{"PUNCH88", "DIE16V", "HOLDER60", "SPACER10", true, true, false}}, control_type)),
              (Fields{"PUNCH88", "DIE16V", "HOLDER60", "SPACER10", t("P88"), t("D161"), t("H60"), t("SP10"), "1",
                      "S", "0"}))
        << "control type " << control_type;
  }
}

TEST_F(ToolNamesTest, ToolIdEntriesAreReadWithinTheirField) {
  // A 32-byte entry without NUL is a 32-byte name; the next entry is not part of it.
  // An empty entry names no tool: a nameless host tool must not stand in for it.
  const std::string name32(32, 'N');
  StoreTools({{"", "2V-8", 1, 2}, {name32}, {name32 + "D"}, {"DD"}});
  WriteConversion(name32 + " P32\nDD CDD\n");
  ToolNames names = Fill({{name32, "DD", "", ""}});
  EXPECT_EQ(names.HostPunchName + " " + names.ControlPunchName + " " + names.HostDieName, name32 + " P32 DD");
  // The nameless sectional tool locks nothing.
  names = Fill({{name32, "", "", "", false, true}, {name32, "DD", "", ""}});
  EXPECT_EQ(names.HostDieName + " " + names.ControlDieName, "DD CDD");
  names = Fill({{name32, "", "", "", false, true}});
  EXPECT_EQ(names.HostDieName + "|" + names.ControlDieName + "|" + names.DieRev, "|0|1");
}

TEST_F(ToolNamesTest, ExampleConversionFileGivesShortNames) {
  const fs::path example = fs::path(__FILE__).parent_path() / ".." / ".." / "examples" / "tools.cnv";
  if (!fs::exists(example)) GTEST_SKIP() << "no " << example.string();
  // Dies leave room for the size digit.
  for (const char* host : {"PUNCH88", "HOLDER60", "SPACER10", "DIE16V", "DIE6V"}) {
    for (const int sectional : {0, 1}) {
      const std::string name = Text(ConvertToolName(host, sectional, example.string()));
      EXPECT_TRUE(name != host && name.size() <= (host[0] == 'D' ? 5u : 6u)) << host << " gives " << name;
    }
  }
}

}  // namespace
}  // namespace driverwyr
