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
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <system_error>

#include "commands.h"
#include "program_file/program_format.h"

namespace wyr {
namespace {

using driverwyr::ProgramField;

// The bytes of a text field in printable form; `quote` is escaped as well.
std::string EscapeText(std::string_view text, char quote) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || (quote != '\0' && c == quote)) {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte <= 0x7e) {
      out += c;
    } else {
      out += fmt::format("\\x{:02X}", byte);
    }
  }
  return out;
}

// Shortest form that reads back as the same float ("90", "1.4986", "-0").
std::string FloatText(float value) { return fmt::format("{}", value); }

std::string ValueText(const ProgramField& field) {
  switch (field.kind) {
    case ProgramField::Kind::kInteger:
      return fmt::format("{}", field.integer);
    case ProgramField::Kind::kFloat:
      return FloatText(field.number);
    case ProgramField::Kind::kText:
      return "\"" + EscapeText(field.text, '"') + "\"";
    case ProgramField::Kind::kChar:
      return field.text.empty() ? std::string("null") : "\"" + EscapeText(field.text, '"') + "\"";
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
      const std::string text = FloatText(field.number);
      double value = 0.0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      return value;
    }
    case ProgramField::Kind::kText:
      return EscapeText(field.text, '\0');
    case ProgramField::Kind::kChar:
      if (field.text.empty()) return nullptr;
      return EscapeText(field.text, '\0');
  }
  return nullptr;
}

nlohmann::ordered_json JsonObject(const std::vector<ProgramField>& fields) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const ProgramField& field : fields) object[std::string(field.name)] = JsonValue(field);
  return object;
}

// Reads the whole file, at most one byte more than the largest program file.
// Returns false when it cannot be read.
bool ReadProgramBytes(const std::string& path, std::string& bytes, std::string& error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(std::filesystem::path(path), ignored)) {
    error = "is a folder, not a program file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot be opened for reading";
    return false;
  }
  char buffer[65536];
  while (bytes.size() <= driverwyr::kMaxProgramFileSize) {
    in.read(buffer, sizeof buffer);
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (!in) break;
  }
  if (in.bad()) {
    error = "cannot be read";
    return false;
  }
  if (bytes.size() > driverwyr::kMaxProgramFileSize) {
    error = fmt::format("not a program file: it is larger than the largest program file ({} bytes, {} records)",
                        driverwyr::kMaxProgramFileSize, driverwyr::kMaxProgramRecords);
    return false;
  }
  return true;
}

int RunDump(const std::string& path, bool json) {
  std::string bytes;
  std::string error;
  if (!ReadProgramBytes(path, bytes, error)) {
    fmt::print(stderr, "wyr: {}: {}\n", path, error);
    return kExitInvalid;
  }
  driverwyr::ProgramFile file;
  error = driverwyr::DecodeProgramFile(bytes, file);
  if (!error.empty()) {
    fmt::print(stderr, "wyr: {}: not a program file: {}\n", path, error);
    return kExitInvalid;
  }

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
