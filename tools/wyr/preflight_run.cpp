// The dry run of the pre-flight report: the job that the store holds goes
// through GenerateMachineCodeFile with the driver's dry run on, the job's
// operator script played on the in-memory window by the same player as
// `wyr run`, and everything it shows recorded instead of printed.
#include <memory>
#include <string>
#include <vector>

#include "operator_ui.h"
#include "preflight_internal.h"

namespace wyr::preflight {
namespace {

// Turns the driver's dry run on for its lifetime, also when left early.
class DryRunMode {
 public:
  DryRunMode() { driverwyr::SetDryRun(true); }
  ~DryRunMode() { driverwyr::SetDryRun(false); }
  DryRunMode(const DryRunMode&) = delete;
  DryRunMode& operator=(const DryRunMode&) = delete;
};

class Recorder final : public PlayObserver {
 public:
  explicit Recorder(DryRun& dry) : dry_(dry) {}

  void DialogShown(int group, const DialogSnapshot& /*dialog*/) override {
    Group(group).shown = true;
    open_ = true;
  }
  void CreatePressed(int group, const DialogSnapshot& dialog) override { Group(group).submitted = dialog; }
  void Validation(int group, int control, const std::string& text) override {
    dry_.validations.push_back({group, control, text});
  }
  void Message(int group, const std::string& text, unsigned style) override {
    // The box of a step is shown before the step joins the list of
    // calculated steps: the count tells which step it belongs to.
    dry_.messages.push_back({group, open_, driverwyr::GetCalculatedStepCount(), text, style});
  }
  void DialogClosed(int group, int result, bool scripted_cancel) override {
    GroupSeen& seen = Group(group);
    seen.result = result;
    seen.scripted_cancel = scripted_cancel;
    open_ = false;
  }
  void Problem(const std::string& text, bool fails) override {
    dry_.problems.push_back({static_cast<int>(dry_.groups.size()) - 1, text, fails});
  }

 private:
  GroupSeen& Group(int group) {
    if (group < 0) group = 0;
    if (static_cast<std::size_t>(group) >= dry_.groups.size()) dry_.groups.resize(static_cast<std::size_t>(group) + 1);
    return dry_.groups[static_cast<std::size_t>(group)];
  }

  DryRun& dry_;
  bool open_ = false;
};

}  // namespace

DryRun RunDry(const Job& job, const std::string& job_name, driverwyr::Clock* clock) {
  DryRun dry;
  Recorder recorder(dry);
  Transcript no_transcript;  // opened on no file: writes nothing
  ScriptPlayer player(job.operator_script, no_transcript, job_name, &recorder);
  const std::unique_ptr<OperatorUi> ui = MakeMemoryUi(player);
  // GenerateMachineCodeFile copies the program path into it; the dry run's
  // copy is of no use.
  std::vector<char> path(kPathBufferSize, '\0');
  {
    const DryRunMode dry_mode;
    const InstalledRoles roles(ui->Interface(), clock);
    GenerateMachineCodeFile(path.data());
  }
  ui->Finish();
  player.Finish();

  const int count = driverwyr::GetCalculatedStepCount();
  dry.calculated.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    driverwyr::CalculatedStep step;
    if (driverwyr::GetCalculatedStep(i, &step)) dry.calculated.push_back(step);
  }
  return dry;
}

CheckInput::CheckInput(const Job& job_in, const driverwyr::StoreCopy& store_in, const DryRun& dry_in)
    : job(job_in), store(store_in), dry(dry_in), groups(GroupsOf(store_in.steps)) {
  setups_.reserve(groups.size());
  for (const StepGroup& group : groups) setups_.push_back(FindGroupSetup(group, store.setups, store.machines));

  // A refused create ends with the stop icon; every other box of a create
  // (the steps' warnings, the success) has none.
  failures_.resize(groups.size());
  for (const MessageSeen& message : dry.messages) {
    if (message.group < 0 || static_cast<std::size_t>(message.group) >= groups.size() || message.dialog_open) continue;
    if ((message.style & driverwyr::kMessageIconMask) == driverwyr::kMessageIconStop) {
      failures_[static_cast<std::size_t>(message.group)] = message.text;
    }
  }
  outcomes_.assign(groups.size(), GroupOutcome::kNotShown);
  for (std::size_t g = 0; g < groups.size() && g < dry.groups.size(); ++g) {
    const GroupSeen& seen = dry.groups[g];
    if (!seen.shown) continue;
    if (seen.result == driverwyr::kIdOk) {
      outcomes_[g] = failures_[g].empty() ? GroupOutcome::kCreated : GroupOutcome::kCreateFailed;
    } else {
      outcomes_[g] = seen.scripted_cancel ? GroupOutcome::kCancelledByScript : GroupOutcome::kNeverPassed;
    }
  }

  for (int i = store.tools.GetSize() - 1; i >= 0; --i) tools_[store.tools[i].GetToolName().str()] = i;
}

int CheckInput::ControlTypeOf(std::size_t group) const {
  const int setup = setups_[group].setup;
  return setup >= 0 ? store.setups[setup].GetControlType() : CPPSetup().GetControlType();
}

int CheckInput::FindTool(const std::string& name) const {
  const auto found = tools_.find(name);
  return found != tools_.end() ? found->second : -1;
}

}  // namespace wyr::preflight
