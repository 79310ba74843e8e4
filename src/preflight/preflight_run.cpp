// The dry run of the pre-flight report: the job that the store holds goes
// through GenerateMachineCodeFile with the driver's dry run on, the operator
// script played on the in-memory window by the script player, and everything
// it shows recorded.
#include <memory>
#include <string>
#include <vector>

#include "creation/run_record.h"
#include "driver/ppdb.h"
#include "platform/platform.h"
#include "preflight/preflight_internal.h"

namespace driverwyr::preflight {
namespace {

// For its lifetime: the driver's dry run on, the pre-flight's user interface
// and clock installed; afterwards, also when left early, the host's own
// settings, roles and steps back in place (a run lowers the steps'
// SetupIndex in the store, which a later run of the host's must not find).
class DryRunScope {
 public:
  DryRunScope(UserInterface& ui, Clock* clock)
      : platform_(Platform::Current()),
        host_ui_(platform_.ReplacedUserInterface()),
        host_clock_(platform_.ReplacedClock()),
        host_dry_run_(CurrentRun().dry_run) {
    if (PPDB* store = GetPPDBInstance()) {
      ReplaceRecords(steps_, &store->StepArray);
      steps_lowered_ = store->StepsLowered;
      saved_steps_ = true;
    }
    SetDryRun(true);
    platform_.ReplaceUserInterface(&ui);
    if (clock != nullptr) platform_.ReplaceClock(clock);
  }
  ~DryRunScope() {
    platform_.ReplaceClock(host_clock_);
    platform_.ReplaceUserInterface(host_ui_);
    SetDryRun(host_dry_run_);
    if (PPDB* store = GetPPDBInstance(); store != nullptr && saved_steps_) {
      store->StepArray.Swap(steps_);
      store->StepsLowered = steps_lowered_;
    }
  }
  DryRunScope(const DryRunScope&) = delete;
  DryRunScope& operator=(const DryRunScope&) = delete;

 private:
  Platform& platform_;
  UserInterface* host_ui_;
  Clock* host_clock_;
  bool host_dry_run_;
  RecordArray<CPPStepInfo> steps_;
  bool steps_lowered_ = false;
  bool saved_steps_ = false;
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
    dry_.messages.push_back({group, open_, GetCalculatedStepCount(), text, style});
  }
  void DialogClosed(int group, int result, bool scripted_cancel) override {
    GroupSeen& seen = Group(group);
    seen.result = result;
    seen.scripted_cancel = scripted_cancel;
    open_ = false;
  }
  void Problem(int /*group*/, const std::string& text, bool fails) override {
    // The group of the last dialog the run showed.
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

DryRun RunDry(const PreflightOptions& options) {
  DryRun dry;
  Recorder recorder(dry);
  static const std::vector<OperatorEntry> kNoScript;  // every dialog: "create"
  ScriptPlayer player(options.script != nullptr ? *options.script : kNoScript, recorder);
  const std::unique_ptr<OperatorUi> ui = MakeMemoryOperatorUi(player);
  // GenerateMachineCodeFile copies the program path into it; the dry run's
  // copy is of no use.
  std::vector<char> path(kMaxPathBuffer, '\0');
  {
    const DryRunScope scope(ui->Interface(), options.clock);
    GenerateMachineCodeFile(path.data());
  }
  ui->Finish();
  player.Finish();

  const int count = GetCalculatedStepCount();
  dry.calculated.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    CalculatedStep step;
    if (GetCalculatedStep(i, &step)) dry.calculated.push_back(step);
  }
  return dry;
}

CheckInput::CheckInput(bool material_given_in, const StoreCopy& store_in, const DryRun& dry_in)
    : material_given(material_given_in), store(store_in), dry(dry_in), groups(GroupsOf(store_in.steps)) {
  setups_.reserve(groups.size());
  for (const StepGroup& group : groups) setups_.push_back(FindGroupSetup(group, store.setups, store.machines));

  // A refused create ends with the stop icon; every other box of a create
  // (the steps' warnings, the success) has none.
  failures_.resize(groups.size());
  for (const MessageSeen& message : dry.messages) {
    if (message.group < 0 || static_cast<std::size_t>(message.group) >= groups.size() || message.dialog_open) continue;
    if ((message.style & kMessageIconMask) == kMessageIconStop) {
      failures_[static_cast<std::size_t>(message.group)] = message.text;
    }
  }
  outcomes_.assign(groups.size(), GroupOutcome::kNotShown);
  for (std::size_t g = 0; g < groups.size() && g < dry.groups.size(); ++g) {
    const GroupSeen& seen = dry.groups[g];
    if (!seen.shown) continue;
    if (seen.result == kIdOk) {
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

}  // namespace driverwyr::preflight
