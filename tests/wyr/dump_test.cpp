// wyr dump: decodes a program file written by the driver, as text and JSON,
// and refuses files that are not program files.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
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

// A program far longer than the listing's buffer: the text and the JSON are
// written as they are made, and nothing is lost or repeated where the buffer
// is written out. Every record's SequenceOrder is its position, so each must
// appear once and in order, the same in both.
TEST(WyrDump, LongProgramsAreListedWhole) {
  constexpr int kSteps = 3000;
  const std::filesystem::path folder = MakeTempFolder("wyr-dump-long");
  nlohmann::json job = {{"paths", {{"program", (folder / "LONG.bmf").string()}}},
                        {"material", {{"thickness", 2}, {"tensile", 40}, {"type", 1}}},
                        {"setups", {{{"SetupName", "S1"}, {"SetupIndex", 0}}}},
                        {"steps", nlohmann::json::array()}};
  for (int i = 0; i < kSteps; ++i) job["steps"].push_back({{"SetupIndex", 1}, {"Mode", 1}, {"SequenceOrder", i}});
  WriteFile(folder / "job.json", job.dump());
  const WyrResult run = RunWyr({"run", (folder / "job.json").string(), "--now", "2026-12-07T10:00:00Z"},
                               {{"XDG_CONFIG_HOME", (folder / "config").string()}});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::string program = (folder / "LONG.wyr").string();

  const WyrResult text = RunWyr({"dump", program});
  ASSERT_EQ(text.status, 0) << text.err;
  std::istringstream lines(text.out);
  int next = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find(": SequenceOrder = ") == std::string::npos) continue;
    if (next < kSteps) {
      EXPECT_EQ(line, "record " + std::to_string(next) + ": SequenceOrder = " + std::to_string(next));
    }
    ++next;
  }
  EXPECT_EQ(next, kSteps + 1) << "every step and the closing record";

  const WyrResult json = RunWyr({"dump", program, "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::ordered_json document = nlohmann::ordered_json::parse(json.out);
  ASSERT_EQ(document["records"].size(), static_cast<std::size_t>(kSteps + 1));
  for (int i = 0; i < kSteps; ++i) ASSERT_EQ(document["records"][i]["SequenceOrder"], i) << "record " << i;
  EXPECT_EQ(json.out, document.dump(2) + "\n") << "laid out as nlohmann-json lays out a document";
  std::filesystem::remove_all(folder);
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
      {"a FIFO", (folder / "fifo.wyr").string(), std::nullopt, "is not a regular file\n"},
  };
  ASSERT_EQ(::mkfifo((folder / "fifo.wyr").c_str(), 0600), 0);  // without a writer: must not block
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
