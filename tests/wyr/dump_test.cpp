// wyr dump: decodes a program file written by the driver, as text and JSON,
// and refuses files that are not program files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "wyr_runner.h"

namespace {

using wyr_test::ReadFile;
using wyr_test::RunWyr;

const std::string kData = TEST_DATA_DIR;
// Three records: a calculated step with AuxFunc "M8", a step with the host's
// own depth and force and an 8-character AuxFunc, and the closing record;
// the punch has no orientation code.
const std::string kProgram = kData + "/dump_program.wyr";

TEST(WyrDump, PrintsEveryFieldAsText) {
  const auto result = RunWyr({"dump", kProgram});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, ReadFile(kData + "/dump_program.txt"));
}

// Numbers as numbers, texts as strings, a missing orientation byte as null.
TEST(WyrDump, PrintsOneJsonObject) {
  const auto result = RunWyr({"dump", kProgram, "--json"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, ReadFile(kData + "/dump_program.json"));
}

// --- files that are not program files ------------------------------------------

struct BadFileCase {
  const char* what;
  std::string bytes;
  std::string message;  // expected on the standard error stream, after "wyr: <path>: "
};

std::ostream& operator<<(std::ostream& os, const BadFileCase& c) { return os << c.what; }

TEST(WyrDumpErrors, RefusesFilesThatAreNotProgramFiles) {
  const std::string good = ReadFile(kProgram);
  ASSERT_EQ(good.size(), 125u + 3 * 145u);
  std::string wrong_count = good;
  wrong_count[59] = 2;
  const BadFileCase cases[] = {
      {"empty file", "", "not a program file: the file has 0 bytes, fewer than the 125 of a program header\n"},
      {"cut inside a record", good.substr(0, 300),
       "not a program file: the file has 300 bytes, which is not 125 + 145 x n (1 whole record and 30 bytes "
       "follow the header)\n"},
      {"count disagrees", wrong_count,
       "not a program file: the header's RecordCount is 2 but the file holds 3 records\n"},
  };
  const auto folder = wyr_test::MakeTempFolder("wyr-dump");
  for (const auto& c : cases) {
    const std::string path = (folder / "bad.wyr").string();
    wyr_test::WriteFile(path, c.bytes);
    const auto result = RunWyr({"dump", path});
    EXPECT_EQ(result.status, 2) << c;
    EXPECT_EQ(result.out, "") << c;
    EXPECT_EQ(result.err, "wyr: " + path + ": " + c.message) << c;
  }
  const auto missing = RunWyr({"dump", (folder / "missing.wyr").string()});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "wyr: " + (folder / "missing.wyr").string() + ": cannot be opened for reading\n");
  const auto directory = RunWyr({"dump", folder.string()});
  EXPECT_EQ(directory.status, 2);
  EXPECT_EQ(directory.err, "wyr: " + folder.string() + ": is a folder, not a program file\n");
  std::filesystem::remove_all(folder);
}

}  // namespace
