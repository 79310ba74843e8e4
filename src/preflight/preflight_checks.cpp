// The pre-flight checks of the records: what the store holds that no run
// would accept as it stands, whether or not the run says so.
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "driverwyr/files.h"
#include "driverwyr/material_data.h"
#include "preflight/preflight_internal.h"
#include "util/text.h"

namespace driverwyr::preflight {
namespace {


// Positions in kToolRoles.
constexpr int kPunch = 0;
constexpr int kDie = 1;

std::string Quoted(std::string_view text) { return fmt::format("\"{}\"", text); }

// --- names --------------------------------------------------------------------

// Later records whose key equals an earlier one's are never found: the driver
// takes the first.
template <typename Record, typename Key>
void CheckDuplicates(const RecordArray<Record>& records, const char* array, const char* field, Key key,
                     const char* what, FindingList& out) {
  std::map<decltype(key(records[0])), int> first;
  for (int i = 0; i < records.GetSize(); ++i) {
    const auto [at, inserted] = first.emplace(key(records[i]), i);
    if (inserted) continue;
    Finding& finding = out.Add(
        Severity::kWarning, fmt::format("duplicate-{}", what), "names",
        fmt::format("{} has the {} {} of {}, which the driver finds first: {} is never used", Place(array, i), field,
                    fmt::format("{}", at->first), Place(array, at->second), Place(array, i)));
    finding.record = Place(array, i);
  }
}

void CheckDuplicateRecords(const StoreCopy& store, FindingList& out) {
  CheckDuplicates(store.tools, "tools", "ToolName", [](const CPPTool& t) { return Quoted(t.GetToolName().view()); },
                  "tool", out);
  CheckDuplicates(store.machines, "machines", "UserMachineName",
                  [](const CPPMachine& m) { return Quoted(m.GetUserMachineName().view()); }, "machine", out);
  CheckDuplicates(store.setups, "setups", "SetupIndex", [](const CPPSetup& s) { return s.GetSetupIndex(); },
                  "setup", out);
}

// Each group's setup and the setup's machine.
void CheckSetupsAndMachines(const CheckInput& input, FindingList& out) {
  const StoreCopy& store = input.store;
  std::set<int> used_setups;
  for (std::size_t g = 0; g < input.groups.size(); ++g) {
    const StepGroup& group = input.groups[g];
    const GroupSetup& found = input.SetupOf(g);
    if (found.setup >= 0) {
      used_setups.insert(found.setup);
      continue;
    }
    const std::string steps = group.count == 1 ? Place("steps", group.first)
                                               : fmt::format("{} to {}", Place("steps", group.first),
                                                             Place("steps", group.first + group.count - 1));
    Finding& finding = out.AddForStep(
        group.first, Severity::kError, "unknown-setup", "names",
        fmt::format("{} {} SetupIndex {}, and no setup has SetupIndex {}: a default setup stands in (control type 2, "
                    "no machine, bending coefficient 0)",
                    steps, group.count == 1 ? "has" : "have", group.setup_value, SetupRecordIndexOf(group)));
    finding.group = static_cast<int>(g);
  }
  std::set<std::string> machines;
  for (int m = 0; m < store.machines.GetSize(); ++m) machines.insert(store.machines[m].GetUserMachineName().str());
  for (int k = 0; k < store.setups.GetSize(); ++k) {
    const CString name = store.setups[k].GetUserMachineName();
    if (machines.count(name.str()) > 0) continue;
    const bool used = used_setups.count(k) > 0;
    Finding& finding = out.Add(
        used ? Severity::kError : Severity::kNote, "unknown-machine", "names",
        fmt::format("{} runs on the machine {}, which no machine's UserMachineName names: {}", Place("setups", k),
                    Quoted(name.view()),
                    used ? "its steps are calculated without the machine's force limits and bending length"
                         : "no step uses this setup"));
    finding.record = Place("setups", k);
  }
}

// The tools each step names. The punch and die of a step that the run
// calculates are the calculation's to report (its own warning box says it);
// the others are reported here, each name once, at the first step that
// names it.
void CheckStepTools(const CheckInput& input, FindingList& out) {
  std::set<int> calculated;
  for (const CalculatedStep& step : input.dry.calculated) {
    if (step.group >= 0 && static_cast<std::size_t>(step.group) < input.groups.size()) {
      calculated.insert(input.groups[static_cast<std::size_t>(step.group)].first + step.step);
    }
  }
  const StoreCopy& store = input.store;
  struct Told {
    std::size_t finding;  // index into the list: it grows meanwhile
    int more_steps;
  };
  std::map<std::pair<int, std::string>, Told> told;  // by role and name
  for (std::size_t g = 0; g < input.groups.size(); ++g) {
    const StepGroup& group = input.groups[g];
    const int type = input.ControlTypeOf(g);
    const bool converts = TakesMaterialNumbers(type);
    for (int i = group.first; i < group.first + group.count; ++i) {
      for (int role = 0; role < 4; ++role) {
        const int entry = kToolEntries[role];
        const std::string name = ToolIdOf(store.steps[i], entry);
        const bool named_tool = role == kPunch || role == kDie;
        if (named_tool && calculated.count(i) > 0) continue;
        if (!named_tool && name.empty()) continue;  // no die holder or spacer: nothing to name
        if (!name.empty() && input.FindTool(name) >= 0) continue;
        if (const auto it = told.find({role, name}); it != told.end()) {
          ++it->second.more_steps;
          continue;
        }
        std::string code = fmt::format("unknown-{}", kToolRoles[role]);
        std::replace(code.begin(), code.end(), ' ', '-');
        const std::string field = fmt::format("ToolID[{}]", entry);
        std::string message = name.empty() ? fmt::format("the step names no {} ({} is empty)", kToolRoles[role], field)
                                           : fmt::format("the {} {} ({}) is not among the job's tools",
                                                         kToolRoles[role], Quoted(name), field);
        if (role == kPunch) {
          message += ": the dialog takes no tool names from this step";
        } else {
          message += fmt::format(": where the dialog shows this step's tools, it names no {}{}", kToolRoles[role],
                                 converts ? " (the control gets \"0\")" : "");
        }
        Finding& finding = out.AddForStep(i, Severity::kWarning, std::move(code), "names", std::move(message));
        finding.record = Place("steps", i) + "." + field;
        told.emplace(std::pair(role, name), Told{out.findings().size() - 1, 0});
      }
    }
  }
  for (auto& [key, entry] : told) {
    if (entry.more_steps > 0) {
      out.findings()[entry.finding].message += fmt::format("; {} more step{} name{} it", entry.more_steps,
                                            entry.more_steps == 1 ? "" : "s", entry.more_steps == 1 ? "s" : "");
    }
  }
}

// --- material -------------------------------------------------------------------

void CheckMaterial(const CheckInput& input, FindingList& out) {
  const StoreCopy& store = input.store;
  if (!(store.materialThickness > 0.0f)) {
    Finding& finding = out.Add(
        Severity::kError, "thickness-not-positive", "plausibility",
        input.material_given ? fmt::format("the material's thickness is {}: no step can be calculated",
                                         FormatFloat(store.materialThickness))
                           : std::string("the job gives no material (thickness 0): no step can be calculated"));
    finding.record = "material.thickness";
  }

  // The material data file of each created program that has steps to
  // calculate, read as the calculation reads it; each file once.
  std::set<int> files_read;
  for (std::size_t g = 0; g < input.groups.size(); ++g) {
    const GroupOutcome outcome = input.OutcomeOf(g);
    if (outcome != GroupOutcome::kCreated || !HasCalculatedSteps(store, input.groups[g])) continue;
    const std::optional<DialogSnapshot>& submitted = input.dry.groups[g].submitted;
    if (!submitted) continue;
    std::string number_text;
    for (const auto& [id, text] : submitted->controls) {
      if (id == kMaterialNumberBox) number_text = text;
    }
    const std::optional<std::int64_t> number = ParseInteger(number_text, -32768, 32767);
    if (!number || *number < 1 || *number > 4) {
      Finding& finding = out.Add(
          Severity::kError, "material-number", "material",
          fmt::format("the program's material number is {} (material type {} of the job gives the control none of "
                      "1 to 4): {}",
                      number_text.empty() ? "not known" : number_text, store.materialType,
                      number && *number == 0 ? "its steps are not calculated and get depth 0 and force 0"
                                             : "its steps are not calculated"));
      finding.group = static_cast<int>(g);
      finding.record = "material.type";
      continue;
    }
    if (!files_read.insert(static_cast<int>(*number)).second) continue;
    const std::string path = MaterialFilePath(store.dataPath.str(), static_cast<int>(*number));
    MaterialFile models;
    const Status read = ReadMaterialFile(DefaultFileSystem(), path, models);
    if (read.ok()) continue;
    Finding& finding = out.Add(
        Severity::kError, "material-file", "material",
        fmt::format("the material data file f_{}: {}: the steps of material {} are not calculated", *number,
                    WithoutPath(read.message(), path), *number));
    finding.group = static_cast<int>(g);
    finding.record = "paths.data";
  }
}

// --- plausibility -------------------------------------------------------------

// The range of one back gauge axis that a back gauge record gives.
struct AxisRange {
  int gauge = 0;
  double min = 0.0;
  double max = 0.0;
};

std::vector<AxisRange> RangesOf(const StoreCopy& store, bool y_axis) {
  std::vector<AxisRange> ranges;
  for (int k = 0; k < store.gauges.GetSize(); ++k) {
    const CPPBGauge& gauge = store.gauges[k];
    const double min = y_axis ? gauge.GetYRangeMin() : gauge.GetZRangeMin();
    const double max = y_axis ? gauge.GetYRangeMax() : gauge.GetZRangeMax();
    if (max > min) ranges.push_back({k, min, max});  // both 0: the record gives no range
  }
  return ranges;
}

// A back gauge position that no back gauge of the job reaches on its axis.
void CheckAxis(int step, const char* field, const double (&values)[4], const std::vector<AxisRange>& ranges,
               const char* axis, FindingList& out) {
  if (ranges.empty()) return;
  for (int e = 0; e < 2; ++e) {
    const double value = values[e];
    bool reached = false;
    for (const AxisRange& range : ranges) reached = reached || (value >= range.min && value <= range.max);
    if (reached) continue;
    std::string spans;
    for (const AxisRange& range : ranges) {
      spans += fmt::format("{}{} to {}", spans.empty() ? "" : ", ", range.min, range.max);
    }
    Finding& finding = out.AddForStep(
        step, Severity::kError, "back-gauge-out-of-range", "plausibility",
        fmt::format("{}[{}] is {}, beyond the back gauge's {} axis ({}{})", field, e, value, axis,
                    ranges.size() == 1 ? "" : "every back gauge's range: ", spans));
    finding.record = ranges.size() == 1 ? Place("bgauges", ranges[0].gauge) : std::string("bgauges");
  }
}

void CheckPlausibility(const CheckInput& input, FindingList& out) {
  const StoreCopy& store = input.store;
  const std::vector<AxisRange> y_ranges = RangesOf(store, true);
  const std::vector<AxisRange> z_ranges = RangesOf(store, false);
  for (std::size_t g = 0; g < input.groups.size(); ++g) {
    const StepGroup& group = input.groups[g];
    const GroupSetup& found = input.SetupOf(g);
    const CPPMachine* machine = found.machine >= 0 ? &store.machines[found.machine] : nullptr;
    for (int i = group.first; i < group.first + group.count; ++i) {
      const CPPStepInfo& step = store.steps[i];
      const int length = step.GetBendLength();
      if (length <= 0) {
        out.AddForStep(i, Severity::kError, "bend-length-not-positive", "plausibility",
                       fmt::format("the bend length is {} mm", length));
      } else if (machine != nullptr && machine->GetMaxBendingLength() > 0.0 &&
                 length > machine->GetMaxBendingLength()) {
        Finding& finding = out.AddForStep(
            i, Severity::kError, "bend-length-over-machine", "plausibility",
            fmt::format("the bend length of {} mm is longer than the machine's MaxBendingLength of {} mm", length,
                        machine->GetMaxBendingLength()));
        finding.record = Place("machines", found.machine);
      }
      const float angle = step.GetBendAngle();
      if (!(angle >= 0.0f && angle <= 180.0f)) {
        out.AddForStep(i, Severity::kError, "angle-out-of-range", "plausibility",
                       fmt::format("the bend angle {} lies outside 0 to 180 degrees", FormatFloat(angle)));
      }
      double yy[4] = {}, zz[4] = {};
      step.GetYY(yy);
      step.GetZZ(zz);
      CheckAxis(i, "YY", yy, y_ranges, "Y", out);
      CheckAxis(i, "ZZ", zz, z_ranges, "Z", out);
    }
  }
}

}  // namespace

std::string ToolIdOf(const CPPStepInfo& step, int entry) {
  char names[6][32] = {};
  step.GetToolID(names);
  const char* name = names[entry];
  const void* nul = std::memchr(name, '\0', sizeof names[entry]);
  return std::string(name, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - name)
                                          : sizeof names[entry]);
}

std::string WithoutPath(const std::string& message, const std::string& path) {
  if (message.rfind(path + ": ", 0) == 0) return message.substr(path.size() + 2);
  return message;
}

std::string Place(const char* array, int index) { return fmt::format("{}[{}]", array, index); }

bool HasCalculatedSteps(const StoreCopy& store, const StepGroup& group) {
  for (int i = group.first; i < group.first + group.count; ++i) {
    if (store.steps[i].GetMode() == 0) return true;
  }
  return false;
}

Finding& FindingList::Add(Severity severity, std::string code, std::string category, std::string message) {
  Finding& finding = findings_.emplace_back();
  finding.severity = severity;
  finding.code = std::move(code);
  finding.category = std::move(category);
  finding.message = std::move(message);
  return finding;
}

Finding& FindingList::AddForStep(int step, Severity severity, std::string code, std::string category,
                                 std::string message) {
  Finding& finding = Add(severity, std::move(code), std::move(category), std::move(message));
  finding.step = step;
  if (step >= 0 && step < store_.steps.GetSize()) finding.number = store_.steps[step].GetNumberInSquence();
  return finding;
}

void CheckRecords(const CheckInput& input, FindingList& out) {
  CheckDuplicateRecords(input.store, out);
  CheckSetupsAndMachines(input, out);
  CheckStepTools(input, out);
  CheckMaterial(input, out);
  CheckPlausibility(input, out);
}

}  // namespace driverwyr::preflight
