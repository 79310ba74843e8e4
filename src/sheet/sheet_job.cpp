#include "sheet/sheet_job.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <utility>
#include <regex>
#include <string_view>
#include <vector>

#include "bending/bend_calculator.h"
#include "bending/tool_selection.h"
#include "driver/step_groups.h"
#include "driverwyr/units.h"
#include "sheet/sheet_geometry.h"

namespace driverwyr::sheet {
namespace {

using driverwyr::Status;

using Group = StepGroup;

std::string StepsText(const Group& group) {
  if (group.count == 1) return fmt::format("steps[{}]", group.first);
  return fmt::format("steps[{}] to steps[{}]", group.first, group.first + group.count - 1);
}

// Whether a group and the program's records agree; fails (Invalid) with the
// first difference between them.
Status MatchOf(const Group& group, const RecordArray<CPPStepInfo>& steps, const SheetInput& sheet) {
  if (static_cast<std::size_t>(group.count) != sheet.steps.size()) {
    return Status::Invalid(fmt::format(
        "the program has {} step record{}, the job's {} (SetupIndex {}) {} {}", sheet.steps.size(),
        sheet.steps.size() == 1 ? "" : "s", StepsText(group), group.setup_value, group.count == 1 ? "is" : "are",
        group.count == 1 ? "one step" : std::to_string(group.count) + " steps"));
  }
  for (int i = 0; i < group.count; ++i) {
    const CPPStepInfo& step = steps[group.first + i];
    const driverwyr::ProgramRecord& record = sheet.steps[static_cast<std::size_t>(i)].values;
    if (record.SequenceOrder != step.GetSequenceOrder()) {
      return Status::Invalid(fmt::format("record {} has SequenceOrder {}, steps[{}] has {}", i,
                                         record.SequenceOrder, group.first + i, step.GetSequenceOrder()));
    }
    if (record.BendLength != step.GetBendLength()) {
      return Status::Invalid(fmt::format("record {} has BendLength {}, steps[{}] has {}", i, record.BendLength,
                                         group.first + i, step.GetBendLength()));
    }
  }
  return Status::Ok();
}

// The ".S<s>P<g>" part of a program's file name.
struct NamedGroup {
  long long setup_value = 0;
  long long position = 0;  // from 1
};

std::optional<NamedGroup> NamedGroupOf(const std::string& program_path) {
  std::string name = std::filesystem::path(program_path).filename().string();
  static const std::regex kPattern(R"(^.*\.S(-?[0-9]{1,10})P([0-9]{1,10})\.wyr$)");
  std::smatch match;
  if (!std::regex_match(name, match, kPattern)) return std::nullopt;
  NamedGroup named;
  const std::string setup = match[1].str(), position = match[2].str();
  std::from_chars(setup.data(), setup.data() + setup.size(), named.setup_value);
  std::from_chars(position.data(), position.data() + position.size(), named.position);
  return named;
}

// Picks the group the program holds, by the rules of sheet_job.h; its
// position among the groups, from 0.
driverwyr::Result<std::size_t> MatchGroup(const StoreCopy& job, const std::string& program_path, const SheetInput& sheet) {
  const std::vector<Group> groups = GroupsOf(job.steps);
  if (groups.empty()) return Status::Invalid("does not match the program: the job has no steps");
  const std::string file = std::filesystem::path(program_path).filename().string();

  if (job.setups.GetSize() >= 2) {
    const std::optional<NamedGroup> named = NamedGroupOf(program_path);
    if (!named) {
      return Status::Invalid(fmt::format(
          "does not match the program: the job has {} setups, so its programs are named NAME.S<setup>P<group>.wyr, "
          "and {} is not",
          job.setups.GetSize(), file));
    }
    if (named->position < 1 || named->position > static_cast<long long>(groups.size())) {
      return Status::Invalid(fmt::format("does not match the program: {} is the program of group {}, the job has {} "
                                         "group{}",
                                         file, named->position, groups.size(), groups.size() == 1 ? "" : "s"));
    }
    const Group& group = groups[static_cast<std::size_t>(named->position - 1)];
    if (group.setup_value != named->setup_value) {
      return Status::Invalid(fmt::format(
          "does not match the program: {} is the program of setup {} in group {}, the job's group {} ({}) has "
          "SetupIndex {}",
          file, named->setup_value, named->position, named->position, StepsText(group), group.setup_value));
    }
    if (Status match = MatchOf(group, job.steps, sheet); !match.ok()) {
      return match.WithContext("does not match the program");
    }
    return static_cast<std::size_t>(named->position - 1);
  }

  std::vector<std::size_t> candidates;
  Status first_mismatch;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    Status match = MatchOf(groups[g], job.steps, sheet);
    if (match.ok()) {
      candidates.push_back(g);
    } else if (first_mismatch.ok()) {
      first_mismatch = std::move(match);
    }
  }
  if (candidates.empty()) {
    if (groups.size() == 1) return first_mismatch.WithContext("does not match the program");
    return Status::Invalid(fmt::format(
        "does not match the program: none of the job's {} groups has the program's SequenceOrder and BendLength "
        "values",
        groups.size()));
  }
  if (candidates.size() > 1) {
    std::string list;
    for (const std::size_t g : candidates) list += (list.empty() ? "" : ", ") + std::to_string(g + 1);
    return Status::Invalid(fmt::format(
        "does not match the program: groups {} of the job all have the program's SequenceOrder and BendLength "
        "values, so which of them it holds cannot be told",
        list));
  }
  return candidates.front();
}

// A ToolID entry: up to its NUL, or all 32 bytes.
std::string EntryName(const char (&entry)[32]) {
  const char* end = std::find(entry, entry + 32, '\0');
  return std::string(entry, end);
}

// The first tool of the job with this name, as the driver looks tools up; an
// empty name names no tool.
const CPPTool* FindTool(const RecordArray<CPPTool>& tools, const std::string& name) {
  if (name.empty()) return nullptr;
  for (int i = 0; i < tools.GetSize(); ++i) {
    if (tools[i].GetToolName().view() == name) return &tools[i];
  }
  return nullptr;
}

// A length of a tool in millimetres: tool records hold the host's unit.
double ToolMillimetres(double value, int unit) {
  return unit == driverwyr::kUnitInch ? value * driverwyr::kInchToMillimetres : value;
}

DieTool DieOf(const CPPTool& tool, int unit) {
  return {tool.GetToolName().str(), ToolMillimetres(tool.GetVWidth(), unit), ToolMillimetres(tool.GetRadius(), unit),
          tool.GetAngle(), tool.GetDieResistance()};
}

PunchTool PunchOf(const CPPTool& tool, int unit) {
  const double radius = tool.GetTipRadius() > 0.0 ? tool.GetTipRadius() : tool.GetRadius();
  return {tool.GetToolName().str(), tool.GetAngle(), ToolMillimetres(radius, unit), tool.GetPunchResistance()};
}

// The machine of the group's setup, found as the driver finds them: the
// first setup whose SetupIndex is the steps' value less one, and the first
// machine with that setup's UserMachineName.
struct SetupAndMachine {
  const CPPSetup* setup = nullptr;
  const CPPMachine* machine = nullptr;
};

SetupAndMachine SetupOf(const StoreCopy& job, const Group& group) {
  const GroupSetup indices = FindGroupSetup(group, job.setups, job.machines);
  SetupAndMachine found;
  if (indices.setup >= 0) found.setup = &job.setups[indices.setup];
  if (indices.machine >= 0) found.machine = &job.machines[indices.machine];
  return found;
}

// A force limit as the calculation holds it: a load per metre of bend times
// ten, times the bend length in metres.
float LoadLimit(float resistance, std::int16_t bend_length) {
  return static_cast<float>(bend_length) * 0.001f * LoadLimitPerMetre(resistance);
}

void AddToolFindings(SheetStep& step, float thickness) {
  const int force = step.values.TonnageValue;
  if (step.punch_name.empty()) {
    step.findings.push_back("The step names no punch.");
  } else if (!step.punch) {
    step.findings.push_back(fmt::format("Punch \"{}\" is not among the job's tools.", step.punch_name));
  } else if (!(step.punch->resistance > 0.0f)) {
    step.findings.push_back(fmt::format("Punch {} gives no allowable load (PunchResistance {}).", step.punch->name,
                                        Decimal(step.punch->resistance)));
  } else if (const float limit = LoadLimit(step.punch->resistance, step.values.BendLength);
             force >= std::floor(limit)) {
    step.findings.push_back(fmt::format("Force {} is at or above the punch's allowable load {} for this length.",
                                        force, Decimal(limit)));
  }

  if (step.die_name.empty()) {
    step.findings.push_back("The step names no die: the die is not drawn.");
    return;
  }
  if (!step.die) {
    step.findings.push_back(
        fmt::format("Die \"{}\" is not among the job's tools: the die is not drawn.", step.die_name));
    return;
  }
  const DieTool& die = *step.die;
  if (!MakeDieProfile(die.v_width, die.shoulder_radius, die.angle)) {
    step.findings.push_back(fmt::format("Die {} has no V that can be drawn (V {} mm, radius {} mm, angle {}°): the "
                                        "die is not drawn.",
                                        die.name, Decimal(die.v_width), Decimal(die.shoulder_radius),
                                        Decimal(die.angle)));
  }
  if (!(die.resistance > 0.0f)) {
    step.findings.push_back(
        fmt::format("Die {} gives no allowable load (DieResistance {}).", die.name, Decimal(die.resistance)));
  } else if (const float limit = LoadLimit(die.resistance, step.values.BendLength); force >= std::floor(limit)) {
    step.findings.push_back(
        fmt::format("Force {} is at or above the die's allowable load {} for this length.", force, Decimal(limit)));
  }
  // Single precision, as the calculation divides them.
  const float v = static_cast<float>(die.v_width);
  if (v > 0.0f && thickness > 0.0f && std::isfinite(v) && std::isfinite(thickness)) {
    const float ratio = v / thickness;
    if (ratio < kLowestVRatio || ratio > kHighestVRatio) {
      step.findings.push_back(fmt::format("V/t {} (V {}, t {} mm): {} {}.", Decimal(ratio), Decimal(v),
                                          Decimal(thickness), ratio < kLowestVRatio ? "below" : "above",
                                          ratio < kLowestVRatio ? kLowestVRatio : kHighestVRatio));
    }
  }
}

void AddMachineFindings(SheetStep& step, const CPPMachine& machine) {
  const int force = step.values.TonnageValue;
  const float most = MachineForceLimit(machine.GetTonnage());
  const float least = MachineForceLimit(machine.GetMinTonnage());
  if (most > 0.0f && force >= std::floor(most)) {
    step.findings.push_back(fmt::format("Force {} is at or above the machine's maximum {}.", force, Decimal(most)));
  } else if (least > 0.0f && force <= least) {
    step.findings.push_back(fmt::format("Force {} is at or below the machine's minimum {}.", force, Decimal(least)));
  }
}

// Adds the name a step gives a tool to its header row, once.
void AddJobName(SheetToolRow& row, const char (&entry)[32]) {
  const std::string name = EntryName(entry);
  if (!name.empty() && std::find(row.job_names.begin(), row.job_names.end(), name) == row.job_names.end()) {
    row.job_names.push_back(name);
  }
}

// The setup and machine line of the header, and what is missing of them.
void DescribeSetup(SheetInput& sheet, const SetupAndMachine& found, const Group& group) {
  if (found.setup == nullptr) {
    sheet.setup_label = "no setup record";
    sheet.findings.push_back(fmt::format("No setup record has SetupIndex {}: the machine's limits are not known.",
                                         SetupRecordIndexOf(group)));
    return;
  }
  const std::string setup = found.setup->GetSetupName().str();
  const std::string machine = found.setup->GetUserMachineName().str();
  if (found.machine == nullptr) {
    sheet.setup_label = fmt::format("setup {}, machine {}", setup, machine);
    sheet.findings.push_back(
        fmt::format("Machine \"{}\" is not among the job's machines: its limits are not known.", machine));
    return;
  }
  const std::string name = found.machine->GetMachineName().str();
  sheet.setup_label = fmt::format("setup {}, machine {} ({}{} t)", setup, machine, name.empty() ? "" : name + ", ",
                                  Decimal(found.machine->GetTonnage()));
}

std::string PunchDetails(const CPPTool& tool, int unit) {
  const PunchTool punch = PunchOf(tool, unit);
  return fmt::format("{}: angle {}°, tip radius {} mm, allowable load {} per metre", punch.name,
                     Decimal(punch.angle), Decimal(punch.tip_radius), Decimal(punch.resistance));
}

std::string DieDetails(const CPPTool& tool, int unit) {
  const DieTool die = DieOf(tool, unit);
  return fmt::format("{}: V {} mm, shoulder radius {} mm, angle {}°, allowable load {} per metre", die.name,
                     Decimal(die.v_width), Decimal(die.shoulder_radius), Decimal(die.angle),
                     Decimal(die.resistance));
}

// What the job's records say of the tools of these names, one after another.
std::string ToolDetails(const StoreCopy& job, const std::vector<std::string>& names,
                        std::string (*describe)(const CPPTool&, int)) {
  std::string out;
  for (const std::string& name : names) {
    if (!out.empty()) out += "; ";
    const CPPTool* tool = FindTool(job.tools, name);
    out += tool != nullptr ? describe(*tool, job.unit) : name + ": not among the job's tools";
  }
  return out;
}

}  // namespace

driverwyr::Status AddJobToSheet(SheetInput& sheet, const StoreCopy& job, const std::string& program_path,
                                std::string job_label) {
  const driverwyr::Result<std::size_t> matched = MatchGroup(job, program_path, sheet);
  if (!matched.ok()) return matched.status();
  const std::vector<Group> groups = GroupsOf(job.steps);
  const Group& group = groups[*matched];

  SheetInput result = sheet;
  result.job_label = std::move(job_label);
  result.group_label = fmt::format("group {} of {}: {}, SetupIndex {}", *matched + 1, groups.size(),
                                   StepsText(group), group.setup_value);
  const SetupAndMachine found = SetupOf(job, group);
  DescribeSetup(result, found, group);

  for (std::size_t i = 0; i < result.steps.size(); ++i) {
    SheetStep& step = result.steps[i];
    const int index = group.first + static_cast<int>(i);
    const CPPStepInfo& source = job.steps[index];
    step.job_step = static_cast<std::size_t>(index);
    step.number_in_sequence = source.GetNumberInSquence();
    step.mode = source.GetMode();
    char ids[6][32] = {};
    source.GetToolID(ids);
    step.punch_name = EntryName(ids[driverwyr::kToolIdPunch]);
    step.die_name = EntryName(ids[driverwyr::kToolIdDie]);
    if (const CPPTool* punch = FindTool(job.tools, step.punch_name)) step.punch = PunchOf(*punch, job.unit);
    if (const CPPTool* die = FindTool(job.tools, step.die_name)) step.die = DieOf(*die, job.unit);
    if (step.mode != 0) {
      step.findings.push_back(fmt::format("Mode {}: depth and force are the job's own, not calculated.", step.mode));
    }
    AddToolFindings(step, result.header.Thickness);
    if (found.machine != nullptr) AddMachineFindings(step, *found.machine);
    AddJobName(result.tools[kPunchRow], ids[driverwyr::kToolIdPunch]);
    AddJobName(result.tools[kDieRow], ids[driverwyr::kToolIdDie]);
    AddJobName(result.tools[kDieHolderRow], ids[driverwyr::kToolIdDieHolder]);
    AddJobName(result.tools[kSpacerRow], ids[driverwyr::kToolIdSpacer]);
  }
  result.tools[kPunchRow].details = ToolDetails(job, result.tools[kPunchRow].job_names, PunchDetails);
  result.tools[kDieRow].details = ToolDetails(job, result.tools[kDieRow].job_names, DieDetails);
  sheet = std::move(result);
  return Status::Ok();
}

}  // namespace driverwyr::sheet
