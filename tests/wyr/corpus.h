// The end-to-end job corpus of wyr run (tests/wyr/jobs/runs.json): each case
// names its job, the folders it needs, the serial counter it starts from and
// the runs to make (see the manifest's "about").
#ifndef DRIVERWYR_TESTS_WYR_CORPUS_H_
#define DRIVERWYR_TESTS_WYR_CORPUS_H_

#include <filesystem>
#include <nlohmann/json.hpp>

namespace wyr_test {

// The manifest's cases, by name.
nlohmann::json CorpusCases();

// The current user's serial counter file of a case laid out in `dir`, with
// XDG_CONFIG_HOME at dir/config.
std::filesystem::path CounterFileIn(const std::filesystem::path& dir);

// Lays out case `entry` of the manifest in the empty folder `dir`: its job as
// dir/job.json, its folders (default: out) and its serial counter.
void LayOutCase(const nlohmann::json& entry, const std::filesystem::path& dir);

}  // namespace wyr_test

#endif  // DRIVERWYR_TESTS_WYR_CORPUS_H_
