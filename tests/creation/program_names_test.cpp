// Program naming: folder, base name and file name from the program path, the
// daily program number from the UTC date and the serial counter, the part
// reference, and the shortening for "Talvenor" controls.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "support/creation_testing.h"

namespace driverwyr {
namespace {

using testing::NativePath;

struct NameCase {
  const char* program_path;
  int setups, control_type, setup_value, group_index;
  const char *file_name, *part_reference;
};

TEST(ProgramNamesTest, NamesFromTheProgramPath) {
  const NameCase cases[] = {
      {"C:|Parts|BRACKET.bmf", 1, 2, 0, 0, "C:|Parts|BRACKET.wyr", "BRACKET"},
      {"BRACKET.bmf", 1, 2, 0, 0, "BRACKET.wyr", "BRACKET"},
      {"C:|my.parts|Bracket", 1, 2, 0, 0, "C:|my.parts|Bracket.wyr", "BRACKET"},
      {"|out|a.b.c", 1, 2, 0, 0, "|out|a.b.wyr", "A.B"},
      {"C:|Parts|", 1, 2, 0, 0, "C:|Parts|.wyr", ""},
      {"C:|Parts|BRACKET.bmf", 2, 2, 1, 1, "C:|Parts|BRACKET.S2P2.wyr", "BRACKET"},
      {"C:|Parts|BRACKET.bmf", 3, 0, 0, 11, "C:|Parts|BRACKET.S1P12.wyr", "BRACKET"},
      // Only "Talvenor" (type 2) cuts a part reference longer than 13.
      {"|p|ABCDEFGHIJKLMN.bmf", 1, 2, 0, 0, "|p|ABCDEFGHIJKLMN.wyr", "ABCDEFGHIJKL~"},
      {"|p|ABCDEFGHIJKLM.bmf", 1, 2, 0, 0, "|p|ABCDEFGHIJKLM.wyr", "ABCDEFGHIJKLM"},
      {"|p|ABCDEFGHIJKLMN.bmf", 1, 7, 0, 0, "|p|ABCDEFGHIJKLMN.wyr", "ABCDEFGHIJKLMN"},
  };
  for (const NameCase& c : cases) {
    testing::CreationEnvironment env;
    for (int i = 0; i < c.setups; ++i) env.AddSetup(i, c.control_type);
    env.Store().ProgramPath = NativePath(c.program_path);
    const testing::DialogUnderTest d(1, c.setup_value, c.group_index);
    SCOPED_TRACE(std::string(c.program_path) + ", type " + std::to_string(c.control_type));
    EXPECT_EQ(d.dialog.Data().FileName, NativePath(c.file_name));
    EXPECT_EQ(d.dialog.Data().PartReference, c.part_reference);
  }
}

struct SerialCase {
  const char* name;
  std::optional<const char*> serial;  // nullopt: the key does not exist
  const char *month, *day;
  CalendarDate utc;
  int control_type, group_index;
  const char* program_name;
  int next_serial;
};

TEST(ProgramNamesTest, ProgramNumberFromDateAndSerial) {
  const SerialCase cases[] = {
      {"same day continues", "4", "12", "7", {2026, 12, 7}, 2, 0, "120704", 5},
      {"next day starts at 0", "4", "12", "7", {2026, 12, 8}, 2, 0, "120800", 1},
      {"same day, other month", "4", "11", "7", {2026, 12, 7}, 2, 0, "120700", 1},
      {"same day, other year continues", "4", "12", "7", {2027, 12, 7}, 2, 0, "120704", 5},
      {"99 wraps to 0", "99", "12", "7", {2026, 12, 7}, 2, 0, "120799", 0},
      {"no key", std::nullopt, "", "", {2026, 12, 7}, 2, 0, "120700", 1},
      {"empty serial reads as zeros", "", "12", "7", {2026, 12, 7}, 2, 0, "120700", 1},
      {"single digits", "3", "3", "5", {2026, 3, 5}, 2, 0, "030503", 4},
      // A serial with a sign is no counter: 00 is proposed, and "Create..."
      // tells the operator.
      {"negative", "-5", "12", "7", {2026, 12, 7}, 2, 0, "120700", 1},
      {"negative, BandR", "-1", "12", "7", {2026, 12, 7}, 7, 11, "120700", 1},
      // A serial above 99, which only something else can have stored,
      // counts modulo 100: every name keeps six digits and keeps counting.
      {"100 is 0", "100", "12", "7", {2026, 12, 7}, 2, 0, "120700", 1},
      {"three digits", "999", "12", "7", {2026, 12, 7}, 0, 0, "120799", 0},
  };
  for (const SerialCase& c : cases) {
    testing::CreationEnvironment env;
    env.AddSetup(0, c.control_type);
    env.clock.utc = c.utc;
    env.clock.local = {2026, 1, 1};
    if (!c.serial) env.settings.keys.clear();
    if (c.serial) {
      env.settings.Put("Serial Number", *c.serial);
      env.settings.Put("Serial Month", c.month);
      env.settings.Put("Serial Day", c.day);
    }
    const testing::DialogUnderTest d(1, 0, c.group_index);
    const ProgramCreationDialog& dialog = d.dialog;
    SCOPED_TRACE(c.name);
    EXPECT_EQ(dialog.Data().ProgramName, c.program_name);
    EXPECT_EQ(dialog.NextSerial(), c.next_serial);
    EXPECT_EQ(dialog.SerialMonth(), c.utc.month);
    EXPECT_EQ(dialog.SerialDay(), c.utc.day);
    // The program number follows UTC, the date of creation local time.
    EXPECT_EQ(dialog.Data().CreationDate, "01/01/26");
    EXPECT_EQ(env.settings.Writes(), 0) << "building the names stores nothing";
  }
}

}  // namespace
}  // namespace driverwyr
