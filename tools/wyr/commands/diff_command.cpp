// wyr diff A.wyr B.wyr [--json] [--tolerance X]: what differs between two
// program files, field by field. The comparison is the library's
// (driverwyr/program_compare.h); this command prints it.
//
// Exit status: 0 when the programs are the same within the tolerance, 1 when
// they differ, 2 when a file is no program file or the command line is wrong.
#include <fmt/format.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "commands.h"
#include "driverwyr/program_compare.h"
#include "driverwyr/program_text.h"

namespace wyr {
namespace {

using driverwyr::ProgramDifference;
using driverwyr::ProgramValue;

std::string ValueText(const ProgramValue& value) {
  switch (value.kind) {
    case ProgramValue::Kind::kInteger: return std::to_string(value.integer);
    case ProgramValue::Kind::kNumber: return driverwyr::ShortestFloat(value.number);
    case ProgramValue::Kind::kText: return "\"" + driverwyr::PrintableBytes(value.text, '"') + "\"";
    case ProgramValue::Kind::kAbsent: break;
  }
  return "(none)";
}

nlohmann::json ValueJson(const ProgramValue& value) {
  switch (value.kind) {
    case ProgramValue::Kind::kInteger: return value.integer;
    case ProgramValue::Kind::kNumber:
      return std::isfinite(value.number) ? nlohmann::json(driverwyr::ShortestFloatValue(value.number)) : nlohmann::json();
    case ProgramValue::Kind::kText: return driverwyr::PrintableBytes(value.text);
    case ProgramValue::Kind::kAbsent: break;
  }
  return nullptr;
}

std::string Where(const ProgramDifference& difference) {
  return difference.record < 0 ? "header" : "record " + std::to_string(difference.record);
}

int RunDiff(const std::string& a, const std::string& b, double tolerance, bool json) {
  std::vector<ProgramDifference> differences;
  std::string why_not;
  if (!driverwyr::CompareProgramFiles(a, b, tolerance, &differences, &why_not)) {
    fmt::print(stderr, "wyr diff: {}\n", why_not);
    return kExitInvalid;
  }
  if (json) {
    nlohmann::json list = nlohmann::json::array();
    for (const ProgramDifference& d : differences) {
      nlohmann::json entry = {{"record", d.record < 0 ? nlohmann::json(nullptr) : nlohmann::json(d.record)}};
      if (d.field.empty()) {
        entry["only_in"] = d.a.kind == ProgramValue::Kind::kAbsent ? "b" : "a";
      } else {
        entry["field"] = d.field;
        entry["unit"] = d.unit;
        entry["a"] = ValueJson(d.a);
        entry["b"] = ValueJson(d.b);
        entry["difference"] = std::isfinite(d.difference) ? nlohmann::json(d.difference) : nlohmann::json();
      }
      list.push_back(std::move(entry));
    }
    const nlohmann::json out = {{"a", a}, {"b", b}, {"tolerance", tolerance}, {"same", differences.empty()},
                                {"differences", list}};
    fmt::print("{}\n", out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace));
  } else {
    for (const ProgramDifference& d : differences) {
      if (d.field.empty()) {
        fmt::print("{}: only in {}\n", Where(d), d.a.kind == ProgramValue::Kind::kAbsent ? b : a);
        continue;
      }
      std::string line = fmt::format("{}: {}: {} -> {}", Where(d), d.field, ValueText(d.a), ValueText(d.b));
      if (!d.unit.empty()) line += " " + d.unit;
      if (std::isfinite(d.difference)) line += fmt::format(" ({:+.6g})", d.difference);
      fmt::print("{}\n", line);
    }
    if (differences.empty()) {
      fmt::print("the programs are the same{}\n",
                 tolerance > 0 ? fmt::format(" within {}", tolerance) : std::string());
    } else {
      fmt::print("{} field{} differ\n", differences.size(), differences.size() == 1 ? "" : "s");
    }
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    fmt::print(stderr, "wyr diff: the comparison could not be written to standard output\n");
    return kExitInvalid;
  }
  return differences.empty() ? kExitOk : kExitFailed;
}

struct DiffOptions {
  std::string a, b;
  double tolerance = 0.0;
  bool json = false;
};

}  // namespace

void AddDiffCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<DiffOptions>();
  CLI::App* command = app.add_subcommand(
      "diff", "Compare two program files (.wyr) field by field; exit 0 when alike, 1 when they differ");
  command->add_option("A", options->a, "the first program file")->required();
  command->add_option("B", options->b, "the second program file")->required();
  command->add_option("--tolerance", options->tolerance, "numbers closer than this count as alike (default 0)")
      ->check(CLI::NonNegativeNumber);
  command->add_flag("--json", options->json, "print one JSON object instead of text");
  command->callback([options, &status] {
    status = RunDiff(options->a, options->b, options->tolerance, options->json);
  });
}

}  // namespace wyr
