// wyr dump FILE.wyr [--json]: decodes a program file, the header and every
// step record, field by field with names and units.
//
// Text output has one field a line: "header: NAME = VALUE [UNIT]" and
// "record I: NAME = VALUE [UNIT]". JSON output is one object with "header"
// (an object of the header fields) and "records" (an array with one object
// per record), indented by two spaces a level. In both, fields come in file
// order, numbers are printed in the shortest form that reads back as the same
// single-precision value, and texts show printable ASCII as it is, a
// backslash as \\ and any other byte as \xNN. See docs/program-file.md.
// Either is written as it is made, one record at a time.
#include <fmt/format.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "output_buffer.h"
#include "driverwyr/program_format.h"
#include "driverwyr/program_text.h"

namespace wyr {
namespace {

using driverwyr::ProgramField;

// A field's value: integers in decimal; floats in their shortest form, or in
// JSON as the double nearest to that form, the way nlohmann-json prints
// doubles, so that both show the same digits (JSON has no NaN or infinity:
// null); texts quoted and escaped; a missing character as null.
void AppendValue(OutputBuffer& out, const ProgramField& field, bool json) {
  switch (field.kind) {
    case ProgramField::Kind::kInteger:
      out.Format(FMT_COMPILE("{}"), field.integer);
      return;
    case ProgramField::Kind::kFloat: {
      if (!json) {
        out.Format(FMT_COMPILE("{}"), field.number);  // "90", "1.4986", "-0"
        return;
      }
      if (!std::isfinite(field.number)) {
        out.Append("null");
        return;
      }
      out.Append(nlohmann::json(driverwyr::ShortestFloatValue(field.number)).dump());
      return;
    }
    case ProgramField::Kind::kText:
    case ProgramField::Kind::kChar:
      if (field.kind == ProgramField::Kind::kChar && field.text.empty()) {
        out.Append("null");
        return;
      }
      out.Append('"');
      out.AppendEscaped(field.text, '"', false, json);
      out.Append('"');
      return;
  }
}

// "header: NAME = VALUE [UNIT]" lines.
void WriteTextFields(OutputBuffer& out, std::string_view prefix, const std::vector<ProgramField>& fields) {
  for (const ProgramField& field : fields) {
    out.Format(FMT_COMPILE("{}: {} = "), prefix, field.name);
    AppendValue(out, field, false);
    if (!field.unit.empty()) out.Format(FMT_COMPILE(" {}"), field.unit);
    out.Append('\n');
  }
}

// One JSON object of fields, its closing brace indented by `indent` spaces
// and its members by two more, as nlohmann-json's dump(2) lays out a document.
void WriteJsonObject(OutputBuffer& out, std::size_t indent, const std::vector<ProgramField>& fields) {
  const std::string_view spaces = "                ";
  if (fields.empty()) {
    out.Append("{}");
    return;
  }
  out.Append("{\n");
  for (std::size_t i = 0; i < fields.size(); ++i) {
    out.Format(FMT_COMPILE("{}\"{}\": "), spaces.substr(0, indent + 2), fields[i].name);
    AppendValue(out, fields[i], true);
    out.Append(i + 1 < fields.size() ? ",\n" : "\n");
  }
  out.Append(spaces.substr(0, indent));
  out.Append('}');
}

int RunDump(const std::string& path, bool json) {
  const driverwyr::Result<driverwyr::ProgramFile> read = driverwyr::ReadProgramFile(path);
  if (!read.ok()) {
    fmt::print(stderr, "wyr: {}: {}\n", path, read.error());
    return kExitInvalid;
  }
  const driverwyr::ProgramFile& file = *read;

  OutputBuffer out(stdout);
  if (json) {
    out.Append("{\n  \"header\": ");
    WriteJsonObject(out, 2, driverwyr::DescribeProgramHeader(file.header));
    out.Append(",\n  \"records\": ");
    if (file.records.empty()) {
      out.Append("[]");
    } else {
      out.Append("[\n");
      for (std::size_t i = 0; i < file.records.size(); ++i) {
        out.Append("    ");
        WriteJsonObject(out, 4, driverwyr::DescribeProgramRecord(file.records[i]));
        out.Append(i + 1 < file.records.size() ? ",\n" : "\n");
      }
      out.Append("  ]");
    }
    out.Append("\n}\n");
  } else {
    WriteTextFields(out, "header", driverwyr::DescribeProgramHeader(file.header));
    fmt::memory_buffer prefix;
    for (std::size_t i = 0; i < file.records.size(); ++i) {
      prefix.clear();
      fmt::format_to(fmt::appender(prefix), FMT_COMPILE("record {}"), i);
      WriteTextFields(out, std::string_view(prefix.data(), prefix.size()),
                      driverwyr::DescribeProgramRecord(file.records[i]));
    }
  }
  // Why not is told once for every command (main.cpp).
  if (!out.Finish()) return kExitFailed;
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
