// Tool names of the creation dialog: which step's tools are shown, their
// orientation codes, and their translation through the conversion file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <ostream>
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

// Shows control bytes so that a failing case says which file it read.
std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\0': out += "\\0"; break;
      default: out += c;
    }
  }
  return out.size() > 200 ? out.substr(0, 200) + "...(" + std::to_string(out.size()) + " bytes)" : out;
}

struct ToolDef {
  std::string name;
  std::string category;
  int sectional = 0;
  int small_or_larger = 0;
};

// Punch, die, die holder and spacer of one step (ToolID entries 0, 1, 2, 4),
// and the reverse flags of entries 0 to 2.
struct StepDef {
  std::string punch, die, holder, spacer = {};
  bool punch_rev = false, die_rev = false, holder_rev = false;
};

class ToolNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStoreForTesting();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("driverwyr_tool_names_" + std::string(info->name()) + "_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    conversion_path_ = (dir_ / "tools.cnv").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
    ResetStoreForTesting();
  }

  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
  }
  void WriteConversion(const std::string& bytes) { WriteFile(conversion_path_, bytes); }

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

  // The group as the dialog holds it: the given steps and the closing default step.
  static void BuildGroup(RecordArray<CPPStepInfo>& group, std::initializer_list<StepDef> defs) {
    for (const StepDef& def : defs) {
      char ids[6][32] = {};
      std::memcpy(ids[0], def.punch.data(), std::min<std::size_t>(def.punch.size(), 32));
      std::memcpy(ids[1], def.die.data(), std::min<std::size_t>(def.die.size(), 32));
      std::memcpy(ids[2], def.holder.data(), std::min<std::size_t>(def.holder.size(), 32));
      std::memcpy(ids[4], def.spacer.data(), std::min<std::size_t>(def.spacer.size(), 32));
      const bool reverse[6] = {def.punch_rev, def.die_rev, def.holder_rev, true, false, true};
      CPPStepInfo step;
      step.SetToolID(ids);
      step.SetTollReverse(reverse);
      group.Add(step);
    }
    group.SetSize(group.GetSize() + 1);
  }

  ToolNames Fill(std::initializer_list<StepDef> defs, int control_type = 2) {
    RecordArray<CPPStepInfo> group;
    BuildGroup(group, defs);
    return FillToolNames(group, control_type, conversion_path_);
  }

  fs::path dir_;
  std::string conversion_path_;
};

// Host names, control names, then PunchRev, DieRev, DieHolderRev.
std::vector<std::string> FieldsOf(const ToolNames& n) {
  return {n.HostPunchName,    n.HostDieName,    n.HostDieHolderName,    n.HostSpacerName,
          n.ControlPunchName, n.ControlDieName, n.ControlDieHolderName, n.ControlSpacerName,
          n.PunchRev,         n.DieRev,         n.DieHolderRev};
}

// --- the line syntax -------------------------------------------------------

struct ConvertCase {
  std::string file;
  std::string host;
  int sectional;
  std::string expected;
};

std::ostream& operator<<(std::ostream& os, const ConvertCase& c) {
  return os << "file \"" << Visible(c.file) << "\", host \"" << c.host << "\", sectional " << c.sectional;
}

TEST_F(ToolNamesTest, ConvertsByTheLineSyntax) {
  const std::string punch_line = "PUNCH88\tP88  P88S\n";
  const ConvertCase cases[] = {
      {punch_line, "PUNCH88", 0, "P88"},
      {punch_line, "PUNCH88", 1, "P88S"},
      {punch_line, "punch88", 0, "P88"},  // host names compare ignoring case
      {punch_line, "Punch88", -3, "P88S"},  // any nonzero flag is sectional
      {"DIE6V D6\n", "DIE6V", 0, "D6"},   // one name serves both kinds
      {"DIE6V D6\n", "DIE6V", 1, "D6"},
      {"DIE16V   \t \nDIE16V D16\n", "DIE16V", 0, "D16"},  // an empty rest: the search goes on
      {"DIE16V\nDIE16V D16\n", "DIE16V", 0, "D16"},          // no blank: no host name
      {"Punches of the 88 series:\n# PUNCH88 P99\nPUNCH88 P88\n", "PUNCH88", 0, "P88"},  // notes
      {"PUNCH888 X\nPUNCH8 Y\nPUNCH88 P88\n", "PUNCH88", 0, "P88"},  // whole first words only
      {"PUNCH88 P88\nPUNCH88 P99\n", "PUNCH88", 0, "P88"},           // the first match wins
      {"  \t PUNCH88 \t P88 \t P88S \t \n", "PUNCH88", 1, "P88S"},   // white space around fields
      {"PUNCH88 P88 P88S EXTRA\n", "PUNCH88", 1, "P88S EXTRA"},      // a fourth field joins the third
      {"PUNCH88 P88 P88S EXTRA\n", "PUNCH88", 0, "P88"},
      {"HOLDER60\vH60\n", "HOLDER60", 0, "HOLDER60"},  // only blanks and tabs separate fields
      {"PUNCH88 P88\fX\n", "PUNCH88", 1, "P88\fX"},     // a rest without blank or tab is one name
      // Line ends: "\r\n", none at the end of the file.
      {"A B\r\nPUNCH88\tP88  P88S\r\n", "PUNCH88", 0, "P88"},
      {"A B\r\nPUNCH88\tP88  P88S\r\n", "PUNCH88", 1, "P88S"},
      {"PUNCH88\r\nPUNCH88 P88\r\n", "PUNCH88", 0, "P88"},
      {"A B\nPUNCH88 P88", "PUNCH88", 0, "P88"},
      {"PUNCH88 P88 P88S", "PUNCH88", 1, "P88S"},
      {"PUNCH88 P88 P88S\r", "PUNCH88", 1, "P88S"},
      // A NUL ends the text of its line; the next line is read as usual.
      {"PUNCH88 P88\0JUNK  X\n"s, "PUNCH88", 1, "P88"},
      {"PUNCH88\0 P99\nPUNCH88 P88\n"s, "PUNCH88", 0, "P88"},
      {"\0PUNCH88 P99\nPUNCH88 P88\n"s, "PUNCH88", 0, "P88"},
      {"PUNCH88 \0 P99\nPUNCH88 P88"s, "PUNCH88", 0, "P88"},
      // No matching line, an empty file, an empty name.
      {"PUNCH89 P89\n", "PUNCH88", 1, "PUNCH88"},
      {"", "PUNCH88", 0, "PUNCH88"},
      {"PUNCH88 P88\n", "", 0, "0"},
      {" P88\n", "", 1, "0"},
  };
  for (const ConvertCase& c : cases) {
    WriteConversion(c.file);
    EXPECT_EQ(ConvertToolName(c.host, c.sectional, conversion_path_), c.expected) << c;
  }
}

TEST_F(ToolNamesTest, ReadsLinesOfAnyLengthAcrossReadBoundaries) {
  const std::string long_note(100000, 'x');
  const std::string long_name(100000, 'S');
  const ConvertCase cases[] = {
      {long_note + "\nPUNCH88\tP88  P88S\n", "PUNCH88", 1, "P88S"},
      {long_note + "\r\nPUNCH88\tP88  P88S", "PUNCH88", 0, "P88"},
      {"PUNCH88 " + long_note + " P88S\n", "PUNCH88", 1, "P88S"},
      {"PUNCH88 P88 " + long_name + "\n", "PUNCH88", 1, long_name},
      {"PUNCH88 " + long_name, "PUNCH88", 0, long_name},
      {std::string(100000, ' ') + "PUNCH88 P88\n", "PUNCH88", 0, "P88"},
  };
  for (const ConvertCase& c : cases) {
    WriteConversion(c.file);
    EXPECT_EQ(ConvertToolName(c.host, c.sectional, conversion_path_), c.expected) << c;
  }
  // The file is read in blocks: every way of cutting the line and its line
  // end apart gives the same names.
  for (std::size_t start = 65536 - 20; start <= 65536 + 2; ++start) {
    const std::string file = std::string(start - 2, 'x') + "\r\nPUNCH88\tP88  P88S\r\nEND E\r\n";
    WriteConversion(file);
    EXPECT_EQ(ConvertToolName("PUNCH88", 0, conversion_path_), "P88") << "line starts at " << start;
    EXPECT_EQ(ConvertToolName("PUNCH88", 1, conversion_path_), "P88S") << "line starts at " << start;
  }
}

TEST_F(ToolNamesTest, FileThatCannotBeOpenedLeavesNamesAsTheyAre) {
  EXPECT_EQ(ConvertToolName("PUNCH88", 0, (dir_ / "missing.cnv").string()), "PUNCH88");
  EXPECT_EQ(ConvertToolName("PUNCH88", 1, ""), "PUNCH88");
  EXPECT_EQ(ConvertToolName("", 1, (dir_ / "missing.cnv").string()), "0");
  EXPECT_EQ(ConvertToolName("PUNCH88", 0, dir_.string()), "PUNCH88");  // a folder

  // A path with a NUL byte names no file, not the file its first part names.
  WriteConversion("PUNCH88 WRONG\n");
  EXPECT_EQ(ConvertToolName("PUNCH88", 0, conversion_path_ + "\0.old"s), "PUNCH88");
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
  ASSERT_EQ(long_path.size(), 300u);

  if (!error) {
    std::ofstream(short_path, std::ios::binary) << "PUNCH88 WRONG\n";
    std::ofstream(long_path, std::ios::binary) << "PUNCH88 P88\n";
  }
  const std::string expected = fs::exists(fs::path(long_path), error) ? "P88" : "PUNCH88";
  EXPECT_EQ(ConvertToolName("PUNCH88", 0, long_path), expected);
}

// --- which tools are shown -------------------------------------------------

TEST_F(ToolNamesTest, ShowsTheLastStepWithAPunchWithoutSectionalTools) {
  StoreTools({{"P1", "", 0, 0}, {"P2", "", 0, 0}, {"D1", "", 0, 0}, {"D2", "", 0, 0},
              {"H1", "", 0, 0}, {"H2", "", 0, 0}, {"H3", "", 0, 0}, {"S1", "", 0, 0}});
  WriteConversion("P1 CP1\nP2 CP2\nD2 CD2\nH2 CH2\n");
  const ToolNames names = Fill({{"P1", "D1", "H1", "S1"},
                                {"P2", "D2", "H2", ""},
                                {"", "D1", "H3", "S1"},           // no punch: not visited
                                {"UNKNOWN", "D1", "H3", "S1"}});  // a punch not in the store
  EXPECT_EQ(names.HostPunchName, "P2");
  EXPECT_EQ(names.HostDieName, "D2");
  EXPECT_EQ(names.HostDieHolderName, "H2");
  EXPECT_EQ(names.HostSpacerName, "");
  EXPECT_EQ(names.ControlPunchName, "CP2");
  EXPECT_EQ(names.ControlDieName, "CD2");
  EXPECT_EQ(names.ControlDieHolderName, "CH2");
  EXPECT_EQ(names.ControlSpacerName, "0");  // an empty name converts to "0"
}

TEST_F(ToolNamesTest, GroupWithoutPunchLeavesEveryFieldEmpty) {
  StoreTools({{"D1", "2V-16", 1, 1}, {"H1", "", 0, 0}, {"S1", "", 0, 0}});
  WriteConversion("D1 CD1\n");
  const ToolNames names = Fill({{"", "D1", "H1", "S1", true, true, true}, {"NOPUNCH", "D1", "H1", "S1"}});
  EXPECT_EQ(FieldsOf(names), std::vector<std::string>(11));
}

TEST_F(ToolNamesTest, SectionalToolsKeepTheFirstStepThatUsedThem) {
  StoreTools({{"P1", "", 1, 0}, {"P2", "", 1, 0}, {"D1", "", 0, 0}, {"D2", "", 0, 0},
              {"DS1", "", 1, 0}, {"DS2", "", 1, 0}, {"H1", "", 0, 0}, {"H2", "", 0, 0},
              {"H3", "", 0, 0}, {"S1", "", 0, 0}, {"S2", "", 0, 0}});
  WriteConversion("P1 CP1 CP1S\nDS1 CDS1 CDS1S\n");

  // A sectional punch keeps its step; die, holder and spacer follow the last step.
  ToolNames names = Fill({{"P1", "D1", "H1", "S1", true}, {"P2", "D2", "H2", "S2", false, true, true}});
  EXPECT_EQ(names.HostPunchName, "P1");
  EXPECT_EQ(names.ControlPunchName, "CP1S");
  EXPECT_EQ(names.PunchRev, "1");
  EXPECT_EQ(names.HostDieName, "D2");
  EXPECT_EQ(names.DieRev, "1");
  EXPECT_EQ(names.HostDieHolderName, "H2");
  EXPECT_EQ(names.DieHolderRev, "1");
  EXPECT_EQ(names.HostSpacerName, "S2");

  // Once punch and die are both sectional the visit ends: the holder is that step's.
  names = Fill({{"P2", "D1", "H1"}, {"P1", "DS1", "H2", "S1"}, {"P2", "DS2", "H3", "S2", true, true, true}});
  EXPECT_EQ(names.HostPunchName, "P2");
  EXPECT_EQ(names.HostDieName, "DS1");
  EXPECT_EQ(names.ControlDieName, "CDS1S");
  EXPECT_EQ(names.HostDieHolderName, "H2");
  EXPECT_EQ(names.DieHolderRev, "0");
  EXPECT_EQ(names.HostSpacerName, "S1");
  EXPECT_EQ(names.PunchRev, "0");
}

// --- codes -----------------------------------------------------------------

struct DieCase {
  std::string category;
  int small_or_larger;
  bool reverse;
  std::string die_rev;
  std::string control_die;
};

std::ostream& operator<<(std::ostream& os, const DieCase& c) {
  return os << "category \"" << c.category << "\", SmallorLarger " << c.small_or_larger << ", reverse "
            << c.reverse;
}

TEST_F(ToolNamesTest, DieCodes) {
  const DieCase cases[] = {
      {"", 1, false, "0", "D201"},
      {"", 2, true, "1", "D202"},
      {"", 0, false, "0", "D20"},
      {"", 3, false, "0", "D20"},
      {"2V-16", 1, true, "S", "D201"},
      {"2V-16", 0, false, "L", "D20"},
      {"2V", 0, true, "S", "D20"},
      {"2v-16", 0, true, "1", "D20"},  // case-sensitive
      {"12V", 0, true, "1", "D20"},
  };
  WriteConversion("DIE20 D20\n");
  for (const DieCase& c : cases) {
    StoreTools({{"P", "", 0, 0}, {"DIE20", c.category, 0, c.small_or_larger}});
    const ToolNames names = Fill({{"P", "DIE20", "", "", false, c.reverse, false}});
    EXPECT_EQ(names.DieRev, c.die_rev) << c;
    EXPECT_EQ(names.ControlDieName, c.control_die) << c;
  }
}

TEST_F(ToolNamesTest, OnlyControlTypes2And7Translate) {
  StoreTools({{"PUNCH88", "", 0, 0}, {"DIE16V", "2V-16", 0, 1}, {"HOLDER60", "", 0, 0}, {"SPACER10", "", 0, 0}});
  WriteConversion("PUNCH88 P88 P88S\nDIE16V D16\nHOLDER60 H60\nSPACER10 SP10\n");
  for (int control_type : {0, 1, 2, 5, 7, -1}) {
    const bool translated = control_type == 2 || control_type == 7;
    const std::string t = translated ? "" : "-";  // marks names left empty
    const ToolNames names = Fill({{"PUNCH88", "DIE16V", "HOLDER60", "SPACER10", true, true, false}}, control_type);
    EXPECT_EQ(FieldsOf(names), (std::vector<std::string>{"PUNCH88", "DIE16V", "HOLDER60", "SPACER10",
                                                         translated ? "P88" : "", translated ? "D161" : "",
                                                         translated ? "H60" : "", translated ? "SP10" : "",
                                                         "1", "S", "0"}))
        << "control type " << control_type;
  }
}

TEST_F(ToolNamesTest, MissingConversionFileKeepsHostNames) {
  StoreTools({{"PUNCH88", "", 0, 0}, {"DIE16V", "", 0, 2}, {"HOLDER60", "", 0, 0}});
  conversion_path_ = (dir_ / "missing.cnv").string();
  const ToolNames names = Fill({{"PUNCH88", "DIE16V", "HOLDER60", ""}});
  EXPECT_EQ(names.ControlPunchName, "PUNCH88");
  EXPECT_EQ(names.ControlDieName, "DIE16V2");
  // Over six characters: the dialog refuses "Create..." until the operator shortens it.
  EXPECT_EQ(names.ControlDieHolderName, "HOLDER60");
  EXPECT_EQ(names.ControlSpacerName, "0");
}

TEST_F(ToolNamesTest, ToolIdEntriesAreReadWithinTheirField) {
  // A 32-byte entry without NUL is a 32-byte name; the next entry is not part of it.
  // An empty entry names no tool: a nameless host tool must not stand in for it.
  const std::string name32(32, 'N');
  StoreTools({{"", "2V-8", 1, 2}, {name32, "", 0, 0}, {name32 + "D", "", 0, 0}, {"DD", "", 0, 0}});
  WriteConversion(name32 + " P32\nDD CDD\n");
  ToolNames names = Fill({{name32, "DD", "", ""}});
  EXPECT_EQ(names.HostPunchName, name32);
  EXPECT_EQ(names.ControlPunchName, "P32");
  EXPECT_EQ(names.HostDieName, "DD");

  names = Fill({{name32, "", "", "", false, true}, {name32, "DD", "", ""}});
  EXPECT_EQ(names.HostDieName, "DD");  // not locked by the nameless sectional tool
  EXPECT_EQ(names.ControlDieName, "CDD");

  names = Fill({{name32, "", "", "", false, true}});
  EXPECT_EQ(names.HostDieName, "");
  EXPECT_EQ(names.ControlDieName, "0");
  EXPECT_EQ(names.DieRev, "1");
}

TEST_F(ToolNamesTest, ExampleConversionFileGivesShortNames) {
  const fs::path example = fs::path(__FILE__).parent_path() / ".." / ".." / "examples" / "tools.cnv";
  if (!fs::exists(example)) GTEST_SKIP() << "no " << example.string();
  conversion_path_ = example.string();
  StoreTools({{"PUNCH88", "", 0, 0}, {"DIE16V", "2V-16", 0, 1}, {"DIE6V", "", 0, 0},
              {"HOLDER60", "", 0, 0}, {"SPACER10", "", 0, 0}});
  for (const char* die : {"DIE16V", "DIE6V"}) {
    const ToolNames names = Fill({{"PUNCH88", die, "HOLDER60", "SPACER10"}});
    for (const std::string* field :
         {&names.ControlPunchName, &names.ControlDieName, &names.ControlDieHolderName, &names.ControlSpacerName}) {
      EXPECT_FALSE(field->empty()) << die;
      EXPECT_LE(field->size(), 6u) << *field;
    }
  }
  EXPECT_EQ(ConvertToolName("PUNCH88", 1, conversion_path_), "P88S");
}

}  // namespace
}  // namespace driverwyr
