// End-to-end tests of `wyr run`: real jobs through the real driver, checked
// through the transcript, the exit status, the files written and the serial
// counter file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::HasSubstr;

constexpr const char* kCreated = "The program is created, you can now use Linvaro to send it to the control.";
constexpr const char* kCreateFailed = "program created failed !";

class RunCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("wyr-run-test");
    fs::create_directories(dir_ / "out");
    job_ = json::parse(ReadFile(fs::path(TEST_DATA_DIR) / "run_job.json"));
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path JobFile() const { return dir_ / "job.json"; }
  fs::path TranscriptFile() const { return dir_ / "transcript.jsonl"; }
  fs::path CounterFile() const { return dir_ / "config" / "Ostrel" / "TorvaneCommon" / "Default"; }

  // Writes the job and runs it with a transcript, in UTC unless `tz` is given.
  WyrResult Run(const std::string& now = "2026-12-07T10:00:00Z", const std::string& tz = "UTC") {
    WriteFile(JobFile(), job_.dump(2));
    std::vector<std::string> args = {"run", JobFile().string(), "--transcript", TranscriptFile().string()};
    if (!now.empty()) {
      args.push_back("--now");
      args.push_back(now);
    }
    return RunWyr(args, {{"XDG_CONFIG_HOME", (dir_ / "config").string()}, {"TZ", tz}});
  }

  std::vector<json> Transcript() const {
    std::vector<json> events;
    std::istringstream lines(ReadFile(TranscriptFile()));
    for (std::string line; std::getline(lines, line);) events.push_back(json::parse(line));
    return events;
  }

  static std::string Streamed(const WyrResult& result) {
    return "status " + std::to_string(result.status) + "\nstdout:\n" + result.out + "stderr:\n" + result.err;
  }

  std::vector<fs::path> FilesIn(const fs::path& folder) const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().filename());
    return files;
  }

  fs::path dir_;
  json job_;
};

TEST_F(RunCommandTest, ScriptedCreateIsRecordedEventByEvent) {
  job_["operator"] = json::parse(R"([[
      {"type": "ProgramName", "text": "ab12345678"}, {"select": "AL1"},
      {"type": "Hardness", "text": "0"}, {"press": "create"},
      {"type": "Hardness", "text": "45.5"}, {"press": "create"}]])");
  const WyrResult result = Run();
  ASSERT_EQ(result.status, 0) << Streamed(result);

  const std::vector<json> events = Transcript();
  ASSERT_EQ(events.size(), 5u) << ReadFile(TranscriptFile());
  const json& dialog = events[0];
  EXPECT_EQ(dialog["event"], "dialog");
  EXPECT_EQ(dialog["group"], 0);
  const json& controls = dialog["controls"];
  std::vector<std::string> ids;
  for (const auto& item : controls.items()) ids.push_back(item.key());
  EXPECT_EQ(ids, (std::vector<std::string>{"1000", "1001", "1002", "1003", "1009", "1011", "1012", "1013",
                                           "1014", "1080", "1081", "1082", "1083", "1084", "1085", "1086",
                                           "1087", "1088", "1089", "1094", "1100", "1109", "1110", "1111"}));
  EXPECT_EQ(controls["1000"], "S1");
  EXPECT_EQ(controls["1001"], (dir_ / "out" / "PART.wyr").string());
  EXPECT_EQ(controls["1080"], "120700");
  EXPECT_EQ(controls["1081"], "PART");
  EXPECT_EQ(controls["1089"], "2");
  EXPECT_EQ(controls["1084"], "40");
  EXPECT_EQ(controls["1100"], "12/07/26");
  EXPECT_EQ(controls["1009"], "C.R.S.");
  EXPECT_EQ(dialog["materials"], json::parse(R"(["C.R.S.", "AL1", "AL2", "S.S."])"));
  EXPECT_EQ(dialog["browse"], true);

  EXPECT_EQ(events[1]["event"], "validation");
  EXPECT_EQ(events[1]["group"], 0);
  EXPECT_EQ(events[1]["control"], 1084);
  EXPECT_FALSE(events[1]["message"].get<std::string>().empty());
  EXPECT_EQ(events[2], json::parse(R"({"event": "closed", "group": 0, "result": 1})"));
  EXPECT_EQ(events[3], (json{{"event", "message"}, {"text", kCreated}, {"style", 0}}));
  const std::string path = (dir_ / "out" / "PART.bmf").string();
  EXPECT_EQ(events[4], (json{{"event", "done"}, {"path", path}}));
  // Keys in the order of the contract, line for line.
  EXPECT_THAT(ReadFile(TranscriptFile()),
              HasSubstr("{\"event\":\"closed\",\"group\":0,\"result\":1}\n"
                        "{\"event\":\"message\",\"text\":\"" + std::string(kCreated) + "\",\"style\":0}\n"));

  EXPECT_THAT(result.out, HasSubstr("message: " + std::string(kCreated) + "\n"));
  EXPECT_THAT(result.out, HasSubstr("done: " + path + "\n"));
  EXPECT_TRUE(fs::exists(dir_ / "out" / "PART.wyr"));
}

TEST_F(RunCommandTest, BrowsedFolderMovesTheProgramAndAnItemWithoutPathIsRefused) {
  fs::create_directories(dir_ / "elsewhere");
  job_["operator"] = json::parse(R"([[{"browse": "elsewhere"}, {"browse": null}, {"browse": ""}]])");
  const WyrResult result = Run();
  ASSERT_EQ(result.status, 0) << Streamed(result);
  const std::vector<json> events = Transcript();
  ASSERT_EQ(events.size(), 5u) << ReadFile(TranscriptFile());
  EXPECT_EQ(events[1], (json{{"event", "message"}, {"text", "Folder name chosen is not valid."}, {"style", 0}}));
  EXPECT_EQ(events[2]["result"], 1) << "the script ran out: Create... is pressed";
  EXPECT_EQ(events[4]["path"], (dir_ / "elsewhere" / "PART.bmf").string());
  EXPECT_TRUE(fs::exists(dir_ / "elsewhere" / "PART.wyr"));
  EXPECT_TRUE(FilesIn(dir_ / "out").empty());
}

TEST_F(RunCommandTest, OutcomesGiveTheirExitStatus) {
  struct Case {
    const char* name;
    json operator_script;
    int control_type;
    int status;
    std::vector<std::string> events;  // the "event" of every transcript line
    bool written;
  };
  const std::vector<Case> cases = {
      {"scripted cancel", json::parse(R"(["cancel"])"), 2, 0, {"dialog", "closed", "done"}, false},
      {"cancel pressed in a list", json::parse(R"([[{"type": 1080, "text": "X"}, {"press": "cancel"}]])"), 2, 0,
       {"dialog", "closed", "done"}, false},
      {"validation never passes", json::parse(R"([[{"type": "Hardness", "text": "0"}]])"), 2, 1,
       {"dialog", "validation", "closed", "done"}, false},
      {"create pressed twice then cancelled", json::parse(R"([[{"type": "Hardness", "text": "x"}, {"press": "create"}]])"),
       2, 1, {"dialog", "validation", "validation", "closed", "done"}, false},
      {"control type 0 cannot be created", json::parse(R"(["create"])"), 0, 1,
       {"dialog", "closed", "message", "done"}, false},
      {"missing entries mean create", json::array(), 2, 0, {"dialog", "closed", "message", "done"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");
    job_["operator"] = c.operator_script;
    job_["setups"][0]["ControlType"] = c.control_type;
    const WyrResult result = Run();
    EXPECT_EQ(result.status, c.status) << Streamed(result);
    std::vector<std::string> kinds;
    const std::vector<json> events = Transcript();
    for (const json& event : events) kinds.push_back(event["event"]);
    EXPECT_EQ(kinds, c.events) << ReadFile(TranscriptFile());
    EXPECT_EQ(!FilesIn(dir_ / "out").empty(), c.written);
    if (c.control_type == 0) {
      EXPECT_EQ(events[2], (json{{"event", "message"}, {"text", kCreateFailed}, {"style", 16}}));
      EXPECT_EQ(ReadFile(CounterFile()), "") << "a failed create keeps the counter";
    }
    if (!c.written) {
      EXPECT_EQ(events.back(), json::parse(R"({"event": "done", "path": null})"));
      EXPECT_THAT(result.out, HasSubstr("done: nothing created\n"));
    }
  }
}

TEST_F(RunCommandTest, SerialCountsPerUtcDayAndCreationDateIsLocal) {
  struct Case {
    const char* now;
    const char* tz;
    const char* program;  // control 1080
    const char* created;  // control 1100
  };
  const Case cases[] = {
      {"2026-12-07T10:00:00Z", "UTC", "120700", "12/07/26"},
      {"2026-12-07T23:30:00Z", "XYZ-13", "120701", "12/08/26"},  // UTC+13: already the next day
      {"2026-12-08T00:10:00Z", "XYZ+5", "120800", "12/07/26"},   // UTC-5: still the day before
      {"2026-12-08T09:00:00.5Z", "UTC", "120801", "12/08/26"},
  };
  for (const Case& c : cases) {
    const WyrResult result = Run(c.now, c.tz);
    ASSERT_EQ(result.status, 0) << c.now << "\n" << Streamed(result);
    const json controls = Transcript().at(0)["controls"];
    EXPECT_EQ(controls["1080"], c.program) << c.now << " " << c.tz;
    EXPECT_EQ(controls["1100"], c.created) << c.now << " " << c.tz;
  }
}

TEST_F(RunCommandTest, InvalidInputChangesNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* message;
  };
  const std::string invalid_job = (fs::path(TEST_DATA_DIR) / "run_invalid_job.json").string();
  WriteFile(JobFile(), job_.dump());
  const std::string job = JobFile().string();
  const std::string transcript = TranscriptFile().string();
  const std::vector<Case> cases = {
      {"invalid job", {"run", invalid_job, "--transcript", transcript}, "steps[0]"},
      {"missing job", {"run", (dir_ / "none.json").string()}, "none.json"},
      {"date only", {"run", job, "--now", "2026-12-07", "--transcript", transcript}, "--now"},
      {"no such day", {"run", job, "--now", "2026-02-29T10:00:00Z"}, "--now"},
      {"hour 24", {"run", job, "--now", "2026-12-07T24:00:00Z"}, "--now"},
      {"not UTC", {"run", job, "--now", "2026-12-07T10:00:00+01:00"}, "--now"},
      {"trailing text", {"run", job, "--now", "2026-12-07T10:00:00Zx"}, "--now"},
      {"no job", {"run"}, ""},
  };
  for (const Case& c : cases) {
    const WyrResult result = RunWyr(c.args, {{"XDG_CONFIG_HOME", (dir_ / "config").string()}});
    EXPECT_EQ(result.status, 2) << c.name << "\n" << Streamed(result);
    EXPECT_THAT(result.err, HasSubstr(c.message)) << c.name;
    EXPECT_EQ(result.out, "") << c.name;
    EXPECT_FALSE(fs::exists(CounterFile())) << c.name;
    EXPECT_FALSE(fs::exists(TranscriptFile())) << c.name;
  }
  EXPECT_TRUE(FilesIn(dir_ / "out").empty());
}

TEST_F(RunCommandTest, SelectingAMaterialNotInTheListIsAScriptError) {
  fs::create_directories(CounterFile().parent_path());
  WriteFile(CounterFile(), "Serial Number=5\n");
  job_["operator"] = json::parse(R"([[{"select": "Brass"}, {"press": "create"}], "create"])");
  job_["steps"][1]["SetupIndex"] = 2;  // a second group, which is cancelled unseen
  job_["setups"].push_back(job_["setups"][0]);
  job_["setups"][1]["SetupIndex"] = 1;
  const WyrResult result = Run();
  EXPECT_EQ(result.status, 2) << Streamed(result);
  EXPECT_THAT(result.err, HasSubstr("operator[0][0].select: \"Brass\" is not in the material list"));
  std::vector<json> closed;
  for (const json& event : Transcript()) {
    if (event["event"] == "closed") closed.push_back(event["result"]);
  }
  EXPECT_EQ(closed, (std::vector<json>{2, 2}));
  EXPECT_TRUE(FilesIn(dir_ / "out").empty());
  EXPECT_EQ(ReadFile(CounterFile()), "Serial Number=5\n");
}

}  // namespace
}  // namespace wyr_test
