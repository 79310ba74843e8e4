// wyr dump: decodes a program file written by the driver, as text and JSON,
// and refuses files that are not program files.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "wyr_runner.h"

namespace wyr_test {
namespace {

const std::string kData = TEST_DATA_DIR;
// Three records: a calculated step with AuxFunc "M8", a step with the host's
// own depth and force and an 8-character AuxFunc, and the closing record;
// the punch has no orientation code. As JSON: numbers as numbers, texts as
// strings, a missing orientation byte as null.
const std::string kProgram = kData + "/dump_program.wyr";

TEST(WyrDump, PrintsEveryFieldAsTextAndAsOneJsonObject) {
  for (const char* format : {"txt", "json"}) {
    const WyrResult result = format == std::string("txt") ? RunWyr({"dump", kProgram})
                                                          : RunWyr({"dump", kProgram, "--json"});
    EXPECT_EQ(result.status, 0) << format << ": " << result.err;
    EXPECT_EQ(result.err, "") << format;
    EXPECT_EQ(result.out, ReadFile(kData + "/dump_program." + format)) << format;
  }
}

TEST(WyrDump, RefusesFilesThatAreNotProgramFiles) {
  const std::string good = ReadFile(kProgram);
  ASSERT_EQ(good.size(), 125u + 3 * 145u);
  std::string wrong_count = good;
  wrong_count[59] = 2;
  const std::filesystem::path folder = MakeTempFolder("wyr-dump");
  const std::string bad = (folder / "bad.wyr").string();
  // `bytes` are written to `path` first; the message follows "wyr: <path>: " on the error stream.
  const struct { const char* what; std::string path; std::optional<std::string> bytes; std::string message; } cases[] = {
      {"empty file", bad, "", "not a program file: the file has 0 bytes, fewer than the 125 of a program header\n"},
      {"cut inside a record", bad, good.substr(0, 300),
       "not a program file: the file has 300 bytes, which is not 125 + 145 x n (1 whole record and 30 bytes "
       "follow the header)\n"},
      {"count disagrees", bad, wrong_count,
       "not a program file: the header's RecordCount is 2 but the file holds 3 records\n"},
      {"missing", (folder / "missing.wyr").string(), std::nullopt, "does not exist\n"},
      {"a folder", folder.string(), std::nullopt, "is a folder, not a file\n"},
      {"a device, which could block or never end", "/dev/zero", std::nullopt,
       "is not a regular file\n"},
  };
  for (const auto& c : cases) {
    if (c.bytes) WriteFile(c.path, *c.bytes);
    const WyrResult result = RunWyr({"dump", c.path});
    EXPECT_EQ(result.status, 2) << c.what;
    EXPECT_EQ(result.out, "") << c.what;
    EXPECT_EQ(result.err, "wyr: " + c.path + ": " + c.message) << c.what;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace wyr_test
