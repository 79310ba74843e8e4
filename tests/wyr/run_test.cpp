// End-to-end tests of `wyr run`: real jobs through the real driver, checked
// through the transcript, the exit status, the files written and the serial
// counter file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "corpus.h"
#include "wyr_runner.h"

namespace wyr_test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::HasSubstr;

constexpr const char* kCreated = "The program is created, you can now use Linvaro to send it to the control.";

// The cases of the job corpus (tests/wyr/jobs/runs.json), each laid out in a
// fresh folder as the corpus says and run there with its instants and time
// zones. The Wine comparison runs the very same cases with wyr.exe.
class RunCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("wyr-run-test");
    job_file_ = dir_ / "job.json";
    transcript_ = dir_ / "transcript.jsonl";
    counter_file_ = CounterFileIn(dir_);
    cases_ = CorpusCases();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Lays out case `name` afresh: its job, its folders and its serial counter.
  void Prepare(const std::string& name) {
    case_ = cases_.at(name);
    for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
    LayOutCase(case_, dir_);
  }
  // Runs entry `run` of the case's runs with a transcript.
  WyrResult Run(std::size_t run = 0) {
    const json runs = case_.value("runs", json::parse(R"([{"now": "2026-12-07T10:00:00Z", "tz": "UTC"}])"));
    const json& at = runs.at(run);
    return RunWyr({"run", job_file_.string(), "--transcript", transcript_.string(), "--now", at.at("now")},
                  {{"XDG_CONFIG_HOME", (dir_ / "config").string()}, {"TZ", at.at("tz")}});
  }
  std::size_t RunCount() const { return case_.contains("runs") ? case_.at("runs").size() : 1; }

  std::vector<json> Transcript() const {
    std::vector<json> events;
    std::istringstream lines(ReadFile(transcript_));
    for (std::string line; std::getline(lines, line);) events.push_back(json::parse(line));
    return events;
  }
  std::vector<std::string> EventKinds() const {
    std::vector<std::string> kinds;
    for (const json& event : Transcript()) kinds.push_back(event["event"]);
    return kinds;
  }
  static std::string Streamed(const WyrResult& result) {
    return "status " + std::to_string(result.status) + "\nstdout:\n" + result.out + "stderr:\n" + result.err;
  }

  fs::path dir_, job_file_, transcript_, counter_file_;
  json cases_, case_;
};

TEST_F(RunCommandTest, ScriptedCreateIsRecordedEventByEvent) {
  Prepare("scripted_create");
  const WyrResult result = Run();
  ASSERT_EQ(result.status, 0) << Streamed(result);

  ASSERT_EQ(EventKinds(), (std::vector<std::string>{"dialog", "validation", "closed", "message", "done"}))
      << ReadFile(transcript_);
  const std::vector<json> events = Transcript();
  const json& dialog = events[0];
  EXPECT_EQ(dialog["group"], 0);
  const json& controls = dialog["controls"];
  std::vector<std::string> ids;
  for (const auto& item : controls.items()) ids.push_back(item.key());
  EXPECT_EQ(ids, (std::vector<std::string>{"1000", "1001", "1002", "1003", "1009", "1011", "1012", "1013",
                                           "1014", "1080", "1081", "1082", "1083", "1084", "1085", "1086",
                                           "1087", "1088", "1089", "1094", "1100", "1109", "1110", "1111"}));
  const std::pair<const char*, std::string> filled[] = {
      {"1000", "S1"}, {"1001", (dir_ / "out" / "PART.wyr").string()}, {"1080", "120700"}, {"1081", "PART"},
      {"1089", "2"},  {"1084", "40"}, {"1100", "12/07/26"}, {"1009", "C.R.S."}};
  for (const auto& [id, text] : filled) EXPECT_EQ(controls[id], text) << id;
  EXPECT_EQ(dialog["materials"], json::parse(R"(["C.R.S.", "AL1", "AL2", "S.S."])"));
  EXPECT_EQ(dialog["browse"], true);

  EXPECT_EQ(events[1]["group"], 0);
  EXPECT_EQ(events[1]["control"], 1084);
  EXPECT_FALSE(events[1]["message"].get<std::string>().empty());
  const std::string path = (dir_ / "out" / "PART.bmf").string();
  EXPECT_EQ(events[4], (json{{"event", "done"}, {"path", path}}));
  // Keys in the order of the contract, line for line.
  EXPECT_THAT(ReadFile(transcript_),
              HasSubstr("{\"event\":\"closed\",\"group\":0,\"result\":1}\n"
                        "{\"event\":\"message\",\"text\":\"" + std::string(kCreated) + "\",\"style\":0}\n"));
  EXPECT_THAT(result.out, HasSubstr("message: " + std::string(kCreated) + "\n"));
  EXPECT_THAT(result.out, HasSubstr("done: " + path + "\n"));
  EXPECT_TRUE(fs::exists(dir_ / "out" / "PART.wyr"));
}

TEST_F(RunCommandTest, BrowsedFolderHoldsThisAndTheFollowingProgramsAndAnItemWithoutPathIsRefused) {
  Prepare("browse");
  const WyrResult result = Run();
  ASSERT_EQ(result.status, 0) << Streamed(result);
  const std::vector<json> events = Transcript();
  ASSERT_GE(events.size(), 3u) << ReadFile(transcript_);
  EXPECT_EQ(events[1], (json{{"event", "message"}, {"text", "Folder name chosen is not valid."}, {"style", 0}}));
  EXPECT_EQ(events[2]["result"], 1) << "the script ran out: Create... is pressed";
  EXPECT_EQ(events.back()["path"], (dir_ / "elsewhere" / "PART.bmf").string());
  std::vector<std::string> written;
  for (const auto& entry : fs::directory_iterator(dir_ / "elsewhere")) written.push_back(entry.path().filename());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"PART.S1P1.wyr", "PART.S2P2.wyr"})) << ReadFile(transcript_);
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(RunCommandTest, BrowsingReadsTheFieldsBackFirstAndKeepsWhatWasTyped) {
  Prepare("browse_with_invalid_hardness");
  const WyrResult result = Run();
  ASSERT_EQ(result.status, 0) << Streamed(result);
  EXPECT_EQ(EventKinds(), (std::vector<std::string>{"dialog", "validation", "closed", "message", "done"}))
      << ReadFile(transcript_);
  EXPECT_EQ(Transcript().at(1)["control"], 1084) << "the hardness is checked before the browser opens";
  EXPECT_TRUE(fs::exists(dir_ / "elsewhere" / "PART.wyr"));
}

TEST_F(RunCommandTest, OutcomesGiveTheirExitStatus) {
  // `events` holds the "event" of every transcript line; `refused`: the
  // create was refused ("program created failed !").
  const struct { const char* name; int status; std::vector<std::string> events; bool written, refused; } cases[] = {
      {"cancel", 0, {"dialog", "closed", "done"}, false, false},
      {"cancel_in_list", 0, {"dialog", "closed", "done"}, false, false},
      {"validation_never_passes", 1, {"dialog", "validation", "closed", "done"}, false, false},
      {"create_twice_then_cancelled", 1, {"dialog", "validation", "validation", "closed", "done"}, false, false},
      {"control_type_0", 1, {"dialog", "closed", "message", "done"}, false, true},
      {"missing_entries", 0, {"dialog", "closed", "message", "done"}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(c.name);
    const WyrResult result = Run();
    EXPECT_EQ(result.status, c.status) << Streamed(result);
    EXPECT_EQ(EventKinds(), c.events) << ReadFile(transcript_);
    EXPECT_EQ(!fs::is_empty(dir_ / "out"), c.written);
    if (c.refused) {
      EXPECT_EQ(Transcript().at(2),
                (json{{"event", "message"}, {"text", "program created failed !"}, {"style", 16}}));
      EXPECT_EQ(ReadFile(counter_file_), "") << "a failed create keeps the counter";
    }
    if (!c.written) {
      EXPECT_EQ(Transcript().back(), json::parse(R"({"event": "done", "path": null})"));
      EXPECT_THAT(result.out, HasSubstr("done: nothing created\n"));
    }
  }
}

TEST_F(RunCommandTest, DieNameBoxTakesFiftyCharactersForType0ButChecksSix) {
  Prepare("type_0_long_names");
  const WyrResult result = Run();
  ASSERT_EQ(result.status, 1) << Streamed(result);
  EXPECT_EQ(Transcript().at(0)["controls"]["1003"], "EX");
  // The 60 characters typed into the program name are cut to its 50 and
  // pass; the die name box takes 50 too, but its first check allows 6.
  const json refused = {{"event", "validation"}, {"group", 0}, {"control", 1012},
                        {"message", "Please enter no more than 6 characters."}};
  EXPECT_EQ(Transcript(), (std::vector<json>{Transcript().at(0), refused, refused,
                                             json::parse(R"({"event":"closed","group":0,"result":2})"),
                                             json::parse(R"({"event":"done","path":null})")}))
      << ReadFile(transcript_);
}

TEST_F(RunCommandTest, SerialCountsPerUtcDayAndCreationDateIsLocal) {
  // The program number (control 1080) and the creation date (1100) of each
  // run, in order, each run seeing the counter the one before stored.
  const struct { const char* name; std::vector<std::pair<std::string, std::string>> shown; } cases[] = {
      {"serial_days", {{"120700", "12/07/26"},    // UTC
                       {"120701", "12/08/26"},    // Tokyo, just after midnight
                       {"120800", "12/07/26"},    // New York, the evening before; a new UTC day
                       {"120801", "12/08/26"}}},  // UTC again
      {"serial_wraps", {{"120799", "12/07/26"},   // the last serial of the day
                        {"120700", "12/07/26"},   // Tokyo, a second before midnight; wrapped to 00
                        {"120701", "12/08/26"}}}, // Tokyo, midnight
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(c.name);
    ASSERT_EQ(RunCount(), c.shown.size());
    for (std::size_t i = 0; i < c.shown.size(); ++i) {
      const WyrResult result = Run(i);
      ASSERT_EQ(result.status, 0) << "run " << i << "\n" << Streamed(result);
      const json controls = Transcript().at(0)["controls"];
      EXPECT_EQ(controls["1080"], c.shown[i].first) << "run " << i;
      EXPECT_EQ(controls["1100"], c.shown[i].second) << "run " << i;
    }
  }
}

TEST_F(RunCommandTest, MissingCounterKeyIsCreatedAndHoldsTheCounter) {
  Prepare("no_counter_key");
  ASSERT_FALSE(fs::exists(counter_file_));
  const WyrResult result = Run();
  ASSERT_EQ(result.status, 0) << Streamed(result);
  EXPECT_EQ(Transcript().at(0)["controls"]["1080"], "120700");
  EXPECT_THAT(ReadFile(counter_file_), HasSubstr("Serial Number=1"));
}

TEST_F(RunCommandTest, InvalidInputChangesNothing) {
  Prepare("no_counter_key");
  const std::string invalid_job = (fs::path(TEST_DATA_DIR) / "run_invalid_job.json").string();
  const std::string job = job_file_.string(), transcript = transcript_.string();
  const std::string unwritable = (dir_ / "none" / "t.jsonl").string();
  const struct { const char* name; std::vector<std::string> args; std::string message; } cases[] = {
      {"invalid job", {"run", invalid_job, "--transcript", transcript}, "steps[0]"},
      {"missing job", {"run", (dir_ / "none.json").string()}, "none.json: cannot be opened\n"},
      {"date only", {"run", job, "--now", "2026-12-07", "--transcript", transcript}, "--now"},
      {"no such day", {"run", job, "--now", "2026-02-29T10:00:00Z"}, "--now"},
      {"hour 24", {"run", job, "--now", "2026-12-07T24:00:00Z"}, "--now"},
      {"not UTC", {"run", job, "--now", "2026-12-07T10:00:00+01:00"}, "--now"},
      {"trailing text", {"run", job, "--now", "2026-12-07T10:00:00Zx"}, "--now"},
      {"no job", {"run"}, ""},
      {"unknown user interface", {"run", job, "--ui", "screen", "--transcript", transcript}, "--ui"},
      {"no native dialog here", {"run", job, "--ui", "native", "--transcript", transcript},
       "wyr: --ui native: this system has no native dialog of the driver; use --ui memory\n"},
      {"transcript in no folder", {"run", job, "--transcript", unwritable},
       "wyr: --transcript: " + unwritable + ": cannot be created (No such file or directory)\n"},
      {"hold without native", {"run", job, "--hold", "100", "--transcript", transcript}, "--hold"},
  };
  for (const auto& c : cases) {
    const WyrResult result = RunWyr(c.args, {{"XDG_CONFIG_HOME", (dir_ / "config").string()}});
    EXPECT_EQ(result.status, 2) << c.name << "\n" << Streamed(result);
    EXPECT_THAT(result.err, HasSubstr(c.message)) << c.name;
    EXPECT_EQ(result.out, "") << c.name;
    EXPECT_FALSE(fs::exists(counter_file_)) << c.name;
    EXPECT_FALSE(fs::exists(transcript_)) << c.name;
  }
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(RunCommandTest, SelectingAMaterialNotInTheListIsAScriptError) {
  Prepare("select_not_in_list");  // the second dialog is cancelled without playing the script
  const WyrResult result = Run();
  EXPECT_EQ(result.status, 2) << Streamed(result);
  EXPECT_THAT(result.err, HasSubstr("operator[0][0].select: \"Brass\" is not in the material list"));
  EXPECT_EQ(EventKinds(), (std::vector<std::string>{"dialog", "closed", "dialog", "closed", "done"}))
      << ReadFile(transcript_);
  for (const json& event : Transcript()) EXPECT_TRUE(event["event"] != "closed" || event["result"] == 2) << event;
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
  EXPECT_EQ(ReadFile(counter_file_), "Serial Number=5\n");
}

}  // namespace
}  // namespace wyr_test
