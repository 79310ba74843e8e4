// The parts of the pre-flight report: the dry run and what it saw
// (preflight_run.cpp), the findings from it (preflight_run_findings.cpp), the
// checks of the records (preflight_checks.cpp), put together in
// preflight.cpp.
#ifndef DRIVERWYR_PREFLIGHT_PREFLIGHT_INTERNAL_H_
#define DRIVERWYR_PREFLIGHT_PREFLIGHT_INTERNAL_H_

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "creation/control_types.h"
#include "driverwyr/dialog.h"
#include "driverwyr/host.h"
#include "driverwyr/operator_script.h"
#include "driverwyr/preflight.h"
#include "driverwyr/step_info.h"
#include "driver/step_groups.h"

namespace driverwyr::preflight {

// Boxes of the creation dialog that the report reads, by the ids the
// operator script uses: the control's tool names (the right column), the
// host's tool names beside them, and the hidden material number.
inline constexpr int kControlNameBoxes[4] = {DRIVERWYR_IDC_CONTROL_PUNCH_NAME, DRIVERWYR_IDC_CONTROL_DIE_NAME,
                                             DRIVERWYR_IDC_CONTROL_DIE_HOLDER_NAME, DRIVERWYR_IDC_CONTROL_SPACER_NAME};
inline constexpr int kHostNameBoxes[4] = {DRIVERWYR_IDC_HOST_PUNCH_NAME, DRIVERWYR_IDC_HOST_DIE_NAME,
                                          DRIVERWYR_IDC_HOST_DIE_HOLDER_NAME, DRIVERWYR_IDC_HOST_SPACER_NAME};
inline constexpr const char* kToolRoles[4] = {"punch", "die", "die holder", "spacer"};
inline constexpr int kMaterialNumberBox = DRIVERWYR_IDC_MATERIAL_NUMBER;

// The step's ToolID entries of those four tools, in the same order.
inline constexpr int kToolEntries[4] = {kToolIdPunch, kToolIdDie, kToolIdDieHolder,
                                        kToolIdSpacer};

// The control's tool name fields, in the program file and in the dialog's
// check of them.
inline constexpr std::size_t kControlNameWidth = kControlToolNameChars;

// What one group's dialog went through in the dry run.
struct GroupSeen {
  bool shown = false;
  std::optional<DialogSnapshot> submitted;  // the dialog as "Create..." was last pressed
  int result = 0;                           // how it closed: kIdOk, kIdCancel; 0 not closed
  bool scripted_cancel = false;             // the script closed it with "Cancel"
};

struct MessageSeen {
  int group = -1;
  bool dialog_open = false;  // shown while the dialog was open (not by its create)
  int calculated_before = 0;  // steps calculated when it was shown
  std::string text;
  unsigned style = 0;
};

struct ValidationSeen {
  int group = -1;
  int control = 0;
  std::string text;
};

struct ProblemSeen {
  int group = -1;
  std::string text;
  bool fails = false;
};

struct DryRun {
  std::vector<GroupSeen> groups;  // by the dialog's position in the run
  std::vector<MessageSeen> messages;
  std::vector<ValidationSeen> validations;
  std::vector<ProblemSeen> problems;
  std::vector<CalculatedStep> calculated;
};

// Runs the job that the store holds dry, with the script of `options` (or
// the dialogs' own values) on the in-memory window and the clock of
// `options`, and records what it showed. The host's user interface, clock
// and dry-run setting are back in place afterwards, also when it fails.
DryRun RunDry(const PreflightOptions& options);

// The outcome of a group's dialog in the dry run.
enum class GroupOutcome { kNotShown, kCreated, kCreateFailed, kCancelledByScript, kNeverPassed };

// What the checks look at, with the look-ups they share made once, so that
// the report costs time in proportion to the job.
class CheckInput {
 public:
  // Both must outlive the input.
  CheckInput(bool material_given, const StoreCopy& store, const DryRun& dry);

  const bool material_given;  // whether the host set a material
  const StoreCopy& store;
  const DryRun& dry;
  const std::vector<StepGroup> groups;  // of the store's steps, as the run cuts them

  const GroupSetup& SetupOf(std::size_t group) const { return setups_[group]; }
  // The control type of the group's setup; 2 for the default setup that
  // stands in when the group has none.
  int ControlTypeOf(std::size_t group) const;
  GroupOutcome OutcomeOf(std::size_t group) const {
    return group < outcomes_.size() ? outcomes_[group] : GroupOutcome::kNotShown;
  }
  // The text of the box with the stop icon that a refused create showed.
  const std::string& FailureOf(std::size_t group) const { return failures_[group]; }
  // The index of the first tool named `name` (as the driver finds it), or -1.
  int FindTool(const std::string& name) const;

 private:
  std::vector<GroupSetup> setups_;
  std::vector<GroupOutcome> outcomes_;
  std::vector<std::string> failures_;
  std::unordered_map<std::string, int> tools_;
};

// Adds findings to a list, with the step's number filled in.
class FindingList {
 public:
  explicit FindingList(const StoreCopy& store) : store_(store) {}

  Finding& Add(Severity severity, std::string code, std::string category, std::string message);
  // The same about step `step` (index into the store's steps).
  Finding& AddForStep(int step, Severity severity, std::string code, std::string category, std::string message);

  std::vector<Finding>& findings() { return findings_; }

 private:
  const StoreCopy& store_;
  std::vector<Finding> findings_;
};

// Findings from the records alone: names that resolve to no record,
// duplicate names, the material data files and values no press can use.
void CheckRecords(const CheckInput& input, FindingList& out);

// Findings from what the dry run showed: each calculated step's warnings
// (word for word from its box) and the depth and force it would get, the
// dialogs' refusals, failed creates and cancels, the conversion file and the
// script.
void CheckDryRun(const CheckInput& input, FindingList& out);

// Whether `group` has steps that the run calculates (their Mode is 0);
// the others have the depth and force the job gives them.
bool HasCalculatedSteps(const StoreCopy& store, const StepGroup& group);

// ToolID entry `entry` of a step, up to its first NUL (at most 32 bytes).
std::string ToolIdOf(const CPPStepInfo& step, int entry);

// A message of the file role without the path it begins with ("PATH: does
// not exist" gives "does not exist"); the report names files by their
// setting, so that it reads the same on every platform.
std::string WithoutPath(const std::string& message, const std::string& path);

// "steps[3]", "tools[2]".
std::string Place(const char* array, int index);

}  // namespace driverwyr::preflight

#endif  // DRIVERWYR_PREFLIGHT_PREFLIGHT_INTERNAL_H_
