// The findings of the pre-flight report that come from the dry run: the
// calculation's warnings of every step, word for word from its box, the
// depth and force the program would get, and what the dialogs and the script
// met.
#include <fmt/format.h>

#include <cmath>
#include <algorithm>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bending/bend_calculator.h"
#include "driverwyr/dialog.h"
#include "driverwyr/files.h"
#include "platform/platform.h"
#include "preflight/preflight_internal.h"
#include "util/text.h"

namespace driverwyr::preflight {
namespace {

// The largest force the program's 16-bit TonnageValue field holds; a larger
// one is written as this.
constexpr float kLargestForce = 32767.0f;
// No press brake strokes a metre: the bound of a depth where the machine
// record gives no MaxStrokeHeight.
constexpr double kLongestStroke = 1000.0;

// What the report makes of a warning code.
struct CodeMeaning {
  int code;
  const char* name;
  Severity severity;
};
// The calculation ended without a depth (it is 0) for codes 3 to 12; for the
// others the step got its depth and the box only informs.
constexpr CodeMeaning kCodes[] = {
    {kWarningMaterialNumber, "material-not-supported", Severity::kError},
    {kWarningMaterialFile, "material-data-unusable", Severity::kError},
    {kWarningUnknownPunch, "unknown-punch", Severity::kError},
    {kWarningUnknownDie, "unknown-die", Severity::kError},
    {kWarningElongation, "elongation-over-50", Severity::kWarning},
    {kWarningRatioLow, "vt-below-4", Severity::kWarning},
    {kWarningRatioHigh, "vt-above-20", Severity::kWarning},
    {kWarningBelowMinimum, "force-below-machine-minimum", Severity::kWarning},
    {kWarningAboveMaximum, "force-over-machine", Severity::kWarning},
    {kWarningAbovePunchLimit, "force-over-punch", Severity::kWarning},
    {kWarningAboveDieLimit, "force-over-die", Severity::kWarning},
    {kWarningBeyondMachine, "beyond-machine", Severity::kWarning},
};

bool EndsWithoutDepth(int code) {
  return code == kWarningMaterialNumber || code == kWarningMaterialFile || code == kWarningUnknownPunch || code == kWarningUnknownDie;
}

// The record a warning code concerns.
std::string RecordOf(int code, const CheckInput& input, int step_index, const GroupSetup& setup) {
  const CPPStepInfo& step = input.store.steps[step_index];
  const auto tool = [&](int entry) {
    const int index = input.FindTool(ToolIdOf(step, entry));
    return index >= 0 ? Place("tools", index) : std::string();
  };
  switch (code) {
    case kWarningMaterialNumber: return "material.type";
    case kWarningMaterialFile: return "paths.data";
    case kWarningUnknownPunch: return Place("steps", step_index) + ".ToolID[0]";
    case kWarningUnknownDie: return Place("steps", step_index) + ".ToolID[1]";
    case kWarningElongation: return "material";
    case kWarningRatioLow:
    case kWarningRatioHigh:
    case kWarningAboveDieLimit: return tool(1);
    case kWarningAbovePunchLimit: return tool(0);
    case kWarningBelowMinimum:
    case kWarningAboveMaximum: return setup.machine >= 0 ? Place("machines", setup.machine) : std::string();
    default: return {};
  }
}

// What a step names as the tool its box says is not in the tool list
// (`role`: a position in kToolRoles), so that the finding tells what to look
// for: ' (the step names the die "D99")'.
std::string NamedTool(const CPPStepInfo& step, int role) {
  const int entry = kToolEntries[role];
  const std::string name = ToolIdOf(step, entry);
  if (name.empty()) return fmt::format(" (the step names no {}: ToolID[{}] is empty)", kToolRoles[role], entry);
  return fmt::format(" (the step names the {} \"{}\")", kToolRoles[role], name);
}

// The box the dry run showed for each calculated step of the run: the
// first box of its group's create that came while as many steps as its
// place in the list had been calculated (a step joins the list after its
// box); none for a step without warnings.
std::vector<const MessageSeen*> BoxesOf(const DryRun& dry) {
  std::vector<const MessageSeen*> boxes(dry.calculated.size(), nullptr);
  // A step's box opens with the step note; other boxes of the create (a
  // material file that cannot be used) are not a step's.
  const std::string note = LoadMessageText(DRIVERWYR_MSG_STEP_NOTE);
  const std::string heading = note.substr(0, note.find("%d"));
  for (const MessageSeen& message : dry.messages) {
    if (message.dialog_open || message.calculated_before < 0) continue;
    if (message.text.compare(0, heading.size(), heading) != 0) continue;
    const auto k = static_cast<std::size_t>(message.calculated_before);
    if (k < boxes.size() && boxes[k] == nullptr && message.group == dry.calculated[k].group) boxes[k] = &message;
  }
  return boxes;
}

// The lines of a warning box after its heading, one a code.
std::vector<std::string> LinesAfterHeading(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = text.find('\n');
  while (start != std::string::npos && start + 1 < text.size()) {
    const std::size_t end = text.find('\n', start + 1);
    lines.push_back(text.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1));
    start = end;
  }
  return lines;
}

// The depth and force a step's record would get, against what a press can
// take. `own` tells that they are the job's (Mode not 0), not calculated.
void CheckDepthAndForce(FindingList& out, int group, int step, float depth, float force, const CPPMachine* machine,
                        int machine_index, bool own) {
  const char* whose = own ? "the job's own " : "";
  const bool stroke_given = machine != nullptr && machine->GetMaxStrokeHeight() > 0.0;
  const double bound = stroke_given ? machine->GetMaxStrokeHeight() : kLongestStroke;
  if (!(std::fabs(static_cast<double>(depth)) <= bound)) {
    Finding& finding = out.AddForStep(
        step, Severity::kError, "depth-out-of-range", "plausibility",
        stroke_given ? fmt::format("{}depth {} mm is beyond the machine's stroke of {} mm (MaxStrokeHeight)", whose,
                                   FormatFloat(depth), bound)
                     : fmt::format("{}depth {} mm is beyond {} mm, which no press brake strokes", whose,
                                   FormatFloat(depth), bound));
    finding.group = group;
    if (stroke_given) finding.record = Place("machines", machine_index);
  } else if (depth < 0.0f) {
    Finding& finding = out.AddForStep(
        step, Severity::kWarning, "depth-negative", "plausibility",
        fmt::format("{}depth is {} mm: the punch would stop above the sheet", whose, FormatFloat(depth)));
    finding.group = group;
  }
  if (!(force >= 0.0f && force <= kLargestForce)) {
    Finding& finding = out.AddForStep(
        step, Severity::kError, "force-out-of-range", "plausibility",
        force < 0.0f ? fmt::format("{}force {} is negative", whose, FormatFloat(force))
                     : fmt::format("{}force {} does not fit the program's 16-bit force field: the control would get "
                                   "{}",
                                   whose, FormatFloat(force), kLargestForce));
    finding.group = group;
  }
}

// Every calculated step: the codes of its box, and whether what it would
// write is something a press can take.
void CheckCalculatedSteps(const CheckInput& input, FindingList& out) {
  const DryRun& dry = input.dry;
  const std::vector<const MessageSeen*> boxes = BoxesOf(dry);
  // A step without depth is told only when nothing else tells why: a
  // material number or thickness missing (once for the whole job), or an
  // error of the step's own (an angle out of range).
  bool no_thickness = false;
  std::set<int> groups_without_material;
  std::vector<bool> step_has_error(static_cast<std::size_t>(input.store.steps.GetSize()), false);
  for (const Finding& finding : out.findings()) {
    no_thickness = no_thickness || finding.code == "thickness-not-positive";
    if (finding.code == "material-number") groups_without_material.insert(finding.group);
    if (finding.step >= 0 && finding.severity == Severity::kError) {
      step_has_error[static_cast<std::size_t>(finding.step)] = true;
    }
  }
  for (std::size_t k = 0; k < dry.calculated.size(); ++k) {
    const CalculatedStep& calculated = dry.calculated[k];
    if (calculated.group < 0 || static_cast<std::size_t>(calculated.group) >= input.groups.size()) continue;
    const StepGroup& group = input.groups[static_cast<std::size_t>(calculated.group)];
    const int index = group.first + calculated.step;
    if (index < 0 || index >= input.store.steps.GetSize()) continue;
    const GroupSetup& setup = input.SetupOf(static_cast<std::size_t>(calculated.group));

    const MessageSeen* box = boxes[k];
    const std::vector<std::string> lines = box != nullptr ? LinesAfterHeading(box->text) : std::vector<std::string>{};
    std::size_t line = 0;
    bool without_depth = false;
    for (const int code : calculated.warnings) {
      if (code == 0) continue;
      without_depth = without_depth || EndsWithoutDepth(code);
      const CodeMeaning* meaning = nullptr;
      for (const CodeMeaning& candidate : kCodes) {
        if (candidate.code == code) meaning = &candidate;
      }
      std::string message = line < lines.size() ? lines[line] : fmt::format("warning code {}", code);
      ++line;
      if (code == kWarningUnknownPunch || code == kWarningUnknownDie) {
        message += NamedTool(input.store.steps[index], code == kWarningUnknownPunch ? 0 : 1);
      }
      Finding& finding =
          out.AddForStep(index, meaning != nullptr ? meaning->severity : Severity::kWarning,
                         meaning != nullptr ? meaning->name : fmt::format("calculation-warning-{}", code),
                         "calculation", std::move(message));
      finding.group = calculated.group;
      finding.record = RecordOf(code, input, index, setup);
    }
    if (without_depth) continue;  // the box says why the step has no depth

    const CPPMachine* machine = setup.machine >= 0 ? &input.store.machines[setup.machine] : nullptr;
    if (calculated.depth == 0.0f) {
      if (no_thickness || groups_without_material.count(calculated.group) > 0 ||
          step_has_error[static_cast<std::size_t>(index)]) {
        continue;
      }
      // Within 20..180 degrees only a thickness the program keeps as 0 is
      // not calculated.
      const float angle = input.store.steps[index].GetBendAngle();
      const bool angle_calculated = angle >= 20.0f && angle <= 180.0f;
      Finding& finding = out.AddForStep(
          index, Severity::kError, "no-depth", "plausibility",
          std::string("the calculation gives this step no depth (0 mm): the punch would not bend the sheet (") +
              (angle_calculated ? "the program keeps the thickness to 0.01 mm or 0.001 inch, and a thinner sheet "
                                  "is not calculated)"
                                : "a bend angle below 20 or above 180 degrees is not calculated)"));
      finding.group = calculated.group;
      continue;
    }
    CheckDepthAndForce(out, calculated.group, index, calculated.depth, calculated.force, machine, setup.machine,
                       false);
  }
}

// Steps whose depth and force the job gives itself (Mode not 0), in the
// programs the run creates.
void CheckOwnDepths(const CheckInput& input, FindingList& out) {
  for (std::size_t g = 0; g < input.groups.size(); ++g) {
    if (input.OutcomeOf(g) != GroupOutcome::kCreated) continue;
    const StepGroup& group = input.groups[g];
    const GroupSetup& setup = input.SetupOf(g);
    const CPPMachine* machine = setup.machine >= 0 ? &input.store.machines[setup.machine] : nullptr;
    for (int i = group.first; i < group.first + group.count; ++i) {
      const CPPStepInfo& step = input.store.steps[i];
      if (step.GetMode() == 0) continue;
      CheckDepthAndForce(out, static_cast<int>(g), i, -step.GetY1(), step.GetTonnageValue(), machine, setup.machine,
                         true);
    }
  }
}

std::string BoxName(int control) {
  const std::string_view name = EditableBoxName(control);
  return name.empty() ? fmt::format("box {}", control) : fmt::format("box {} ({})", control, name);
}

const std::string* ControlText(const DialogSnapshot& dialog, int id) {
  for (const auto& [control, text] : dialog.controls) {
    if (control == id) return &text;
  }
  return nullptr;
}

// The control's tool names that "Create..." refuses, as the dialog held them
// when it was last pressed. Returns the boxes found too long.
std::set<int> CheckControlNames(const CheckInput& input, int group, FindingList& out) {
  std::set<int> too_long;
  const std::optional<DialogSnapshot>& submitted = input.dry.groups[static_cast<std::size_t>(group)].submitted;
  if (!submitted) return too_long;
  for (int role = 0; role < 4; ++role) {
    const std::string* name = ControlText(*submitted, kControlNameBoxes[role]);
    if (name == nullptr || name->size() <= kControlNameWidth) continue;
    too_long.insert(kControlNameBoxes[role]);
    const std::string* host = ControlText(*submitted, kHostNameBoxes[role]);
    const int tool = host != nullptr ? input.FindTool(*host) : -1;
    Finding& finding = out.Add(
        Severity::kError, "control-name-too-long", "dialog",
        fmt::format("the control's name \"{}\" of the {} ({}) has {} characters, more than the {} the control's "
                    "field holds: \"Create...\" refuses it",
                    *name, kToolRoles[role], BoxName(kControlNameBoxes[role]), name->size(), kControlNameWidth));
    finding.group = group;
    if (tool >= 0) finding.record = Place("tools", tool);
  }
  return too_long;
}

// How each dialog ended, and what it refused on the way.
void CheckDialogs(const CheckInput& input, FindingList& out) {
  const DryRun& dry = input.dry;
  // Once the script cannot be played, the player cancels every dialog from
  // there on: the script's finding says why.
  int script_failed_at = std::numeric_limits<int>::max();
  for (const ProblemSeen& problem : dry.problems) {
    if (problem.fails) script_failed_at = std::min(script_failed_at, problem.group);
  }
  std::vector<std::vector<const ValidationSeen*>> validations(input.groups.size());
  for (const ValidationSeen& validation : dry.validations) {
    if (validation.group >= 0 && static_cast<std::size_t>(validation.group) < validations.size()) {
      validations[static_cast<std::size_t>(validation.group)].push_back(&validation);
    }
  }

  for (std::size_t g = 0; g < input.groups.size(); ++g) {
    const int group = static_cast<int>(g);
    const GroupOutcome outcome = input.OutcomeOf(g);
    const GroupSetup& setup = input.SetupOf(g);
    if (outcome == GroupOutcome::kCreateFailed) {
      std::string message = input.FailureOf(g);
      const int type = input.ControlTypeOf(g);
      if (type != 2) {
        message += fmt::format(" ({} has control type {}; only control type 2 takes program files)",
                               Place("setups", setup.setup), type);
      }
      if (g + 1 < input.groups.size()) message += "; the run stops here and shows none of the groups after it";
      Finding& finding = out.Add(Severity::kError, "create-failed", "dialog", std::move(message));
      finding.group = group;
      if (setup.setup >= 0) finding.record = Place("setups", setup.setup);
    } else if (outcome == GroupOutcome::kCancelledByScript) {
      Finding& finding =
          out.Add(Severity::kNote, "cancelled", "dialog", "the operator script cancels this dialog: no program");
      finding.group = group;
    }

    const bool never_passed = outcome == GroupOutcome::kNeverPassed;
    const std::set<int> too_long = never_passed ? CheckControlNames(input, group, out) : std::set<int>{};
    std::set<std::pair<int, std::string>> told;
    for (const ValidationSeen* validation : validations[g]) {
      if (too_long.count(validation->control) > 0) continue;
      if (!told.insert({validation->control, validation->text}).second) continue;
      Finding& finding = out.Add(
          never_passed ? Severity::kError : Severity::kNote, never_passed ? "create-refused" : "input-refused",
          "dialog",
          fmt::format("{}: {}{}", BoxName(validation->control), validation->text,
                      never_passed ? "" : " (the script's input, refused before the dialog passed)"));
      finding.group = group;
    }
    if (never_passed && too_long.empty() && told.empty() && group < script_failed_at) {
      Finding& finding = out.Add(Severity::kError, "create-refused", "dialog",
                                 "the dialog never passes \"Create...\": the run cancels it");
      finding.group = group;
    }
  }
}

// Names go to the control through the conversion file for control types 2
// and 7; without it they go as the job names them.
void CheckConversionFile(const CheckInput& input, FindingList& out) {
  bool converts = false;
  for (std::size_t g = 0; g < input.groups.size() && !converts; ++g) {
    if (input.OutcomeOf(g) == GroupOutcome::kNotShown) continue;
    const int type = input.ControlTypeOf(g);
    converts = type == 2 || type == 7;
  }
  if (!converts) return;
  // Paths are named by their setting, not written out: the report reads the
  // same on every platform.
  const std::string path = input.store.conversionPath.str();
  std::string problem;
  if (path.empty()) {
    problem = "the job names no conversion file";
  } else if (auto file = DefaultFileSystem().OpenForReading(path); !file.ok()) {
    problem = fmt::format("the conversion file cannot be opened ({})", WithoutPath(file.error(), path));
  }
  if (problem.empty()) return;
  Finding& finding = out.Add(Severity::kWarning, "conversion-file", "dialog",
                             problem + ": every tool name goes to the control as the job names it");
  finding.record = "paths.conversion";
}

// A program folder that does not exist (yet) cannot take the program.
void CheckProgramFolders(const CheckInput& input, FindingList& out) {
  std::set<std::string> looked_at;
  for (std::size_t g = 0; g < input.groups.size(); ++g) {
    if (input.OutcomeOf(g) != GroupOutcome::kCreated) continue;
    const std::optional<DialogSnapshot>& submitted = input.dry.groups[g].submitted;
    const std::string* file = submitted ? ControlText(*submitted, kFileNameBox) : nullptr;
    if (file == nullptr || file->empty()) continue;
    const std::filesystem::path folder = std::filesystem::path(*file).parent_path();
    if (folder.empty() || !looked_at.insert(folder.string()).second) continue;
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) continue;
    Finding& finding = out.Add(
        Severity::kWarning, "program-folder", "dialog",
        fmt::format("the program file's folder \"{}\" does not exist: unless it is made before the run, the run "
                    "cannot write the program and stops there",
                    folder.filename().string()));
    finding.group = static_cast<int>(g);
    finding.record = "paths.program";
  }
}

void CheckScript(const CheckInput& input, FindingList& out) {
  for (const ProblemSeen& problem : input.dry.problems) {
    Finding& finding = out.Add(
        problem.fails ? Severity::kError : Severity::kNote, problem.fails ? "operator-script" : "actions-ignored",
        "script", problem.fails ? problem.text + "; the run fails and cancels every dialog from this one on" : problem.text);
    finding.group = problem.group;
    finding.record = "operator";
  }
}

}  // namespace

void CheckDryRun(const CheckInput& input, FindingList& out) {
  CheckScript(input, out);
  CheckCalculatedSteps(input, out);
  CheckOwnDepths(input, out);
  CheckDialogs(input, out);
  CheckConversionFile(input, out);
  CheckProgramFolders(input, out);
}

}  // namespace driverwyr::preflight
