// wyr dump FILE.wyr [--json]: decodes a program file, the header and every
// step record, field by field with names and units.
//
// Text output has one field a line: "header: NAME = VALUE [UNIT]" and
// "record I: NAME = VALUE [UNIT]". JSON output is one object with "header"
// (an object of the header fields) and "records" (an array with one object
// per record). In both, fields come in file order, numbers are printed in
// the shortest form that reads back as the same single-precision value, and
// texts show printable ASCII as it is, a backslash as \\ and any other byte as
// \xNN. See docs/program-file.md.
#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "commands.h"
#include "program_file/program_format.h"
#include "program_file_reader.h"
#include "program_text.h"

namespace wyr {
namespace {

using driverwyr::ProgramField;

std::string ValueText(const ProgramField& field) {
  switch (field.kind) {
    case ProgramField::Kind::kInteger:
      return fmt::format("{}", field.integer);
    case ProgramField::Kind::kFloat:
      return ShortestFloat(field.number);
    case ProgramField::Kind::kText:
      return "\"" + PrintableBytes(field.text, '"') + "\"";
    case ProgramField::Kind::kChar:
      return field.text.empty() ? std::string("null") : "\"" + PrintableBytes(field.text, '"') + "\"";
  }
  return {};
}

void AppendTextFields(std::string& out, std::string_view prefix, const std::vector<ProgramField>& fields) {
  for (const ProgramField& field : fields) {
    out += fmt::format("{}: {} = {}", prefix, field.name, ValueText(field));
    if (!field.unit.empty()) out += fmt::format(" {}", field.unit);
    out += '\n';
  }
}

nlohmann::ordered_json JsonValue(const ProgramField& field) {
  switch (field.kind) {
    case ProgramField::Kind::kInteger:
      return field.integer;
    case ProgramField::Kind::kFloat: {
      // JSON has no NaN or infinity.
      if (!std::isfinite(field.number)) return nullptr;
      // The double nearest to the float's shortest decimal form, so that the
      // JSON shows the same digits as the text output.
      const std::string text = ShortestFloat(field.number);
      double value = 0.0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      return value;
    }
    case ProgramField::Kind::kText:
      return PrintableBytes(field.text, '\0');
    case ProgramField::Kind::kChar:
      if (field.text.empty()) return nullptr;
      return PrintableBytes(field.text, '\0');
  }
  return nullptr;
}

nlohmann::ordered_json JsonObject(const std::vector<ProgramField>& fields) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const ProgramField& field : fields) object[std::string(field.name)] = JsonValue(field);
  return object;
}

int RunDump(const std::string& path, bool json) {
  const driverwyr::Result<driverwyr::ProgramFile> read = ReadProgramFile(path);
  if (!read.ok()) {
    fmt::print(stderr, "wyr: {}: {}\n", path, read.error());
    return kExitInvalid;
  }
  const driverwyr::ProgramFile& file = *read;

  std::string out;
  if (json) {
    nlohmann::ordered_json document = nlohmann::ordered_json::object();
    document["header"] = JsonObject(driverwyr::DescribeProgramHeader(file.header));
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (const auto& record : file.records) records.push_back(JsonObject(driverwyr::DescribeProgramRecord(record)));
    document["records"] = std::move(records);
    out = document.dump(2) + "\n";
  } else {
    AppendTextFields(out, "header", driverwyr::DescribeProgramHeader(file.header));
    for (std::size_t i = 0; i < file.records.size(); ++i) {
      AppendTextFields(out, fmt::format("record {}", i), driverwyr::DescribeProgramRecord(file.records[i]));
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  return kExitOk;
}

}  // namespace

void AddDumpCommand(CLI::App& app, int& status) {
  CLI::App* command = app.add_subcommand(
      "dump", "Decode a program file (.wyr): the header and every step record, field by field");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  command->add_option("file", *file, "the program file")->required();
  command->add_flag("--json", *json, "print one JSON object instead of text");
  command->callback([file, json, &status] { status = RunDump(*file, *json); });
}

}  // namespace wyr
