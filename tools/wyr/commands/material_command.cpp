// wyr material: builds material data files from readable descriptions, dumps
// them field by field and evaluates their models.
//
//   wyr material build DESC.json -o f_N
//   wyr material dump f_N [--json]
//   wyr material eval f_N --angle A --ratio R [--json]
//
// The description format and the binary layout are in docs/material-file.md.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <fmt/ranges.h>
#include <nlohmann/json.hpp>

#include "driverwyr/material_data.h"
#include "driverwyr/files.h"
#include "driverwyr/program_text.h"
#include "commands.h"
#include "standard_output.h"

namespace wyr {
namespace {

using driverwyr::kFormGrid;
using driverwyr::kFormPolynomial;
using driverwyr::kGridColumns;
using driverwyr::kGridRows;
using driverwyr::kGridStride;
using driverwyr::kModelCount;
using driverwyr::MaterialFile;
using driverwyr::MaterialFileParse;
using driverwyr::MaterialModel;
using driverwyr::ShortestFloat;
using nlohmann::json;

// Keys of the description, in file order of the models.
constexpr const char* kModelKeys[kModelCount] = {"springback", "neutral_fibre", "inner_radius",
                                                 "radius_effect"};

// A problem with a description, naming the place in it.
class DescriptionError : public std::runtime_error {
 public:
  DescriptionError(const std::string& where, const std::string& what)
      : std::runtime_error(where + ": " + what) {}
};

std::string FormName(int form) {
  if (form == kFormPolynomial) return "polynomial";
  if (form == kFormGrid) return "grid";
  return "none";
}

// A float for JSON output that prints as its shortest text.
double JsonFloat(float value) { return driverwyr::ShortestFloatValue(value); }

void CheckKeys(const json& object, const std::string& where, const std::set<std::string>& allowed) {
  for (const auto& [key, value] : object.items()) {
    if (allowed.count(key) == 0) throw DescriptionError(where, fmt::format("unknown key \"{}\"", key));
  }
}

const json& Member(const json& object, const std::string& where, const std::string& key) {
  const auto it = object.find(key);
  if (it == object.end()) throw DescriptionError(where, fmt::format("\"{}\" is missing", key));
  return *it;
}

// A JSON number that fits a float.
float Number(const json& value, const std::string& where) {
  if (!value.is_number()) throw DescriptionError(where, "must be a number");
  const double number = value.get<double>();
  if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<float>::max()) {
    throw DescriptionError(where, fmt::format("{} is outside the range of a float", number));
  }
  return static_cast<float>(number);
}

int Integer(const json& value, const std::string& where) {
  if (!value.is_number_integer()) throw DescriptionError(where, "must be an integer");
  const auto number = value.get<std::int64_t>();
  if (number < -32768 || number > 32767) {
    throw DescriptionError(where, fmt::format("{} does not fit a 16-bit integer", number));
  }
  return static_cast<int>(number);
}

const json& Array(const json& value, const std::string& where, std::size_t min_size, std::size_t max_size) {
  if (!value.is_array()) throw DescriptionError(where, "must be an array");
  if (value.size() < min_size || value.size() > max_size) {
    const std::string expected = min_size == max_size
                                     ? fmt::format("{}", min_size)
                                     : fmt::format("{} to {}", min_size, max_size);
    throw DescriptionError(where, fmt::format("needs {} entries, has {}", expected, value.size()));
  }
  return value;
}

void ReadPolynomial(const json& object, const std::string& where, MaterialModel& model) {
  CheckKeys(object, where, {"form", "constant", "terms"});
  model.form = kFormPolynomial;
  model.coefficients[0] = Number(Member(object, where, "constant"), where + ".constant");
  const auto it = object.find("terms");
  if (it == object.end()) return;
  const std::string terms_where = where + ".terms";
  const json& terms = Array(*it, terms_where, 0, driverwyr::kMaxTerms);
  model.term_count = static_cast<int>(terms.size());
  for (std::size_t i = 0; i < terms.size(); ++i) {
    const std::string term_where = fmt::format("{}[{}]", terms_where, i);
    const json& term = terms[i];
    if (!term.is_object()) throw DescriptionError(term_where, "must be an object");
    CheckKeys(term, term_where, {"code", "term", "coefficient"});
    const int code = Integer(Member(term, term_where, "code"), term_where + ".code");
    if (driverwyr::TermName(code).empty()) {
      throw DescriptionError(term_where + ".code",
                             fmt::format("{} is not a term code (2 to 21)", code));
    }
    if (const auto name = term.find("term"); name != term.end()) {
      if (!name->is_string() || name->get<std::string>() != driverwyr::TermName(code)) {
        throw DescriptionError(term_where + ".term",
                               fmt::format("code {} is the term \"{}\", not {}", code,
                                           driverwyr::TermName(code), name->dump()));
      }
    }
    model.term_codes[i] = code;
    model.coefficients[i + 1] = Number(Member(term, term_where, "coefficient"), term_where + ".coefficient");
  }
}

// Floats that must ascend strictly once stored as floats.
void CheckAscending(float previous, float next, const std::string& where) {
  if (!(next > previous)) {
    throw DescriptionError(where, fmt::format("{} is not above the one before ({})", ShortestFloat(next),
                                              ShortestFloat(previous)));
  }
}

void ReadGrid(const json& object, const std::string& where, MaterialModel& model) {
  CheckKeys(object, where, {"form", "columns", "rows"});
  model.form = kFormGrid;
  const std::string columns_where = where + ".columns";
  const json& columns = Array(Member(object, where, "columns"), columns_where, kGridColumns, kGridColumns);
  for (int column = 1; column <= kGridColumns; ++column) {
    const std::string key_where = fmt::format("{}[{}]", columns_where, column - 1);
    model.grid[static_cast<std::size_t>(column)] = Number(columns[static_cast<std::size_t>(column - 1)], key_where);
    if (column > 1) CheckAscending(model.ColumnKey(column - 1), model.ColumnKey(column), key_where);
  }
  const std::string rows_where = where + ".rows";
  const json& rows = Array(Member(object, where, "rows"), rows_where, kGridRows, kGridRows);
  for (int row = 1; row <= kGridRows; ++row) {
    const std::string row_where = fmt::format("{}[{}]", rows_where, row - 1);
    const json& entry = rows[static_cast<std::size_t>(row - 1)];
    if (!entry.is_object()) throw DescriptionError(row_where, "must be an object");
    CheckKeys(entry, row_where, {"angle", "values"});
    const auto base = static_cast<std::size_t>(row * kGridStride);
    model.grid[base] = Number(Member(entry, row_where, "angle"), row_where + ".angle");
    if (row > 1) CheckAscending(model.RowKey(row - 1), model.RowKey(row), row_where + ".angle");
    const std::string values_where = row_where + ".values";
    const json& values = Array(Member(entry, row_where, "values"), values_where, kGridColumns, kGridColumns);
    for (std::size_t column = 0; column < values.size(); ++column) {
      model.grid[base + 1 + column] = Number(values[column], fmt::format("{}[{}]", values_where, column));
    }
  }
}

MaterialFile ReadDescription(const json& description) {
  if (!description.is_object()) throw DescriptionError("description", "must be a JSON object");
  CheckKeys(description, "description",
            {"material", "notes", kModelKeys[0], kModelKeys[1], kModelKeys[2], kModelKeys[3]});
  for (const char* text_key : {"material", "notes"}) {
    const auto it = description.find(text_key);
    if (it != description.end() && !it->is_string()) throw DescriptionError(text_key, "must be a string");
  }
  MaterialFile file;
  for (int index = 0; index < kModelCount; ++index) {
    const std::string where = kModelKeys[index];
    const json& object = Member(description, "description", where);
    if (!object.is_object()) throw DescriptionError(where, "must be an object");
    const json& form = Member(object, where, "form");
    if (!form.is_string()) throw DescriptionError(where + ".form", "must be \"polynomial\", \"grid\" or \"none\"");
    const std::string form_name = form.get<std::string>();
    MaterialModel& model = file.models[static_cast<std::size_t>(index)];
    if (index == driverwyr::kSpringback && form_name != "polynomial") {
      throw DescriptionError(where + ".form", "the springback model must be \"polynomial\"");
    }
    if (form_name == "polynomial") {
      ReadPolynomial(object, where, model);
    } else if (form_name == "grid") {
      ReadGrid(object, where, model);
    } else if (form_name == "none") {
      CheckKeys(object, where, {"form"});
      model.form = 0;
    } else {
      throw DescriptionError(where + ".form",
                             fmt::format("\"{}\" is not \"polynomial\", \"grid\" or \"none\"", form_name));
    }
  }
  return file;
}

// The description of a material (JSON) is a few kilobytes; anything this
// large is not one.
constexpr std::size_t kMaxDescriptionBytes = 16 * 1024 * 1024;

int RunBuild(const std::string& description_path, const std::string& output_path) {
  const driverwyr::Result<std::string> text =
      driverwyr::ReadWholeFile(driverwyr::DefaultFileSystem(), description_path, kMaxDescriptionBytes);
  if (!text.ok()) {
    fmt::print(stderr, "wyr material build: {}: {}\n", description_path, text.error());
    return kExitInvalid;
  }
  // The reader of the description throws DescriptionError, naming the place,
  // from deep inside it; it is caught here, before the command ends.
  MaterialFile file;
  try {
    json description;
    try {
      description = json::parse(*text);
    } catch (const json::parse_error& e) {
      fmt::print(stderr, "wyr material build: {}: not valid JSON: {}\n", description_path, e.what());
      return kExitInvalid;
    }
    file = ReadDescription(description);
  } catch (const DescriptionError& e) {
    fmt::print(stderr, "wyr material build: {}: {}\n", description_path, e.what());
    return kExitInvalid;
  } catch (const std::exception& e) {
    fmt::print(stderr, "wyr material build: {}\n", e.what());
    return kExitInvalid;
  }
  const std::vector<std::uint8_t> bytes = driverwyr::EncodeMaterialFile(file);
  const driverwyr::Status written = driverwyr::ReplaceFileContents(
      driverwyr::DefaultFileSystem(), output_path,
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (!written.ok()) {
    fmt::print(stderr, "wyr material build: {}: {}\n", output_path, written.message());
    return kExitFailed;
  }
  std::vector<std::string> forms;
  for (const MaterialModel& model : file.models) forms.push_back(FormName(model.form));
  PrintLine("{}: {} bytes ({})", OutsideText(output_path), bytes.size(), fmt::join(forms, ", "));
  return kExitOk;
}

// A material file as dump and eval see it: its blocks and its whole size.
struct LoadedMaterialFile {
  MaterialFileParse parse;
  std::uintmax_t size = 0;
};

// Reads and decodes a material file for dump and eval. Fails with why it
// cannot be read or where it is malformed.
driverwyr::Result<LoadedMaterialFile> LoadForCommand(const std::string& path) {
  // The driver reads at most the first kMaxMaterialFileSize bytes; the rest
  // is only counted.
  std::string bytes(driverwyr::kMaxMaterialFileSize + 1, '\0');
  const driverwyr::Result<std::size_t> read = driverwyr::ReadFilePrefix(driverwyr::DefaultFileSystem(), path, bytes);
  if (!read.ok()) return read.status();
  bytes.resize(std::min(*read, driverwyr::kMaxMaterialFileSize));
  std::error_code error;
  const std::uintmax_t file_size = std::filesystem::file_size(path, error);
  driverwyr::Result<MaterialFileParse> decoded = driverwyr::ParseMaterialFile(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  if (!decoded.ok()) return decoded.status();
  return LoadedMaterialFile{std::move(*decoded), error ? *read : file_size};
}

json ModelJson(const MaterialModel& model, const driverwyr::MaterialBlockLayout& layout, int index) {
  json block = {{"index", index + 1},
                {"model", std::string(driverwyr::ModelName(index))},
                {"offset", layout.offset},
                {"size", layout.size},
                {"form", model.form},
                {"form_name", FormName(model.form)},
                {"separators", layout.separators}};
  if (model.form == kFormPolynomial) {
    block["constant"] = JsonFloat(model.coefficients[0]);
    json terms = json::array();
    for (int i = 0; i < model.term_count; ++i) {
      const int code = model.term_codes[static_cast<std::size_t>(i)];
      terms.push_back({{"term", std::string(driverwyr::TermName(code))},
                       {"code", code},
                       {"coefficient", JsonFloat(model.coefficients[static_cast<std::size_t>(i) + 1])}});
    }
    block["terms"] = terms;
  } else if (model.form == kFormGrid) {
    block["unused"] = JsonFloat(model.grid[0]);
    json columns = json::array();
    for (int column = 1; column <= kGridColumns; ++column) columns.push_back(JsonFloat(model.ColumnKey(column)));
    block["columns"] = columns;
    json rows = json::array();
    for (int row = 1; row <= kGridRows; ++row) {
      json values = json::array();
      for (int column = 1; column <= kGridColumns; ++column) {
        values.push_back(JsonFloat(model.GridValue(row, column)));
      }
      rows.push_back({{"angle", JsonFloat(model.RowKey(row))}, {"values", values}});
    }
    block["rows"] = rows;
  }
  return block;
}

void PrintModel(const MaterialModel& model, const driverwyr::MaterialBlockLayout& layout, int index) {
  PrintLine("block {} {}: offset {}, {} bytes, form {} ({})", index + 1, driverwyr::ModelName(index),
             layout.offset, layout.size, model.form,
             model.form == kFormPolynomial || model.form == kFormGrid ? FormName(model.form) : "no model");
  PrintLine("  separators  {}", fmt::join(layout.separators, " "));
  if (model.form == kFormPolynomial) {
    PrintLine("  terms       {}", model.term_count);
    PrintLine("  constant    {}", ShortestFloat(model.coefficients[0]));
    for (int i = 0; i < model.term_count; ++i) {
      const int code = model.term_codes[static_cast<std::size_t>(i)];
      PrintLine("  term {:<2}     code {:<2}  {:<8} {}", i + 1, code, driverwyr::TermName(code),
                 ShortestFloat(model.coefficients[static_cast<std::size_t>(i) + 1]));
    }
  } else if (model.form == kFormGrid) {
    std::vector<std::string> columns;
    for (int column = 1; column <= kGridColumns; ++column) columns.push_back(ShortestFloat(model.ColumnKey(column)));
    PrintLine("  unused      {}", ShortestFloat(model.grid[0]));
    PrintLine("  columns     {}", fmt::join(columns, " "));
    for (int row = 1; row <= kGridRows; ++row) {
      std::vector<std::string> values;
      for (int column = 1; column <= kGridColumns; ++column) {
        values.push_back(ShortestFloat(model.GridValue(row, column)));
      }
      PrintLine("  row {:<2}      angle {}: {}", row, ShortestFloat(model.RowKey(row)), fmt::join(values, " "));
    }
  }
}

int RunDump(const std::string& path, bool as_json) {
  const driverwyr::Result<LoadedMaterialFile> loaded = LoadForCommand(path);
  if (!loaded.ok()) {
    fmt::print(stderr, "wyr material dump: {}: {}\n", path, loaded.error());
    return kExitInvalid;
  }
  const MaterialFileParse& parse = loaded->parse;
  const std::uintmax_t size = loaded->size;
  const std::uintmax_t trailing = size - parse.used;
  if (as_json) {
    json out = {{"file", path}, {"size", size}, {"used", parse.used}, {"trailing_bytes", trailing}};
    json blocks = json::array();
    for (int index = 0; index < kModelCount; ++index) {
      blocks.push_back(ModelJson(parse.file.models[static_cast<std::size_t>(index)],
                                 parse.layout[static_cast<std::size_t>(index)], index));
    }
    out["blocks"] = blocks;
    // A path that is no UTF-8 is shown with U+FFFD, not refused.
    PrintLine("{}", out.dump(2, ' ', false, json::error_handler_t::replace));
    return kExitOk;
  }
  PrintLine("{}: {} bytes, four blocks in {} bytes", OutsideText(path), size, parse.used);
  for (int index = 0; index < kModelCount; ++index) {
    PrintModel(parse.file.models[static_cast<std::size_t>(index)], parse.layout[static_cast<std::size_t>(index)],
               index);
  }
  if (trailing != 0) PrintLine("{} bytes after the fourth block, ignored by the driver", trailing);
  return kExitOk;
}

int RunEval(const std::string& path, double angle_option, double ratio_option, bool as_json) {
  if (!std::isfinite(angle_option) || !std::isfinite(ratio_option)) {
    fmt::print(stderr, "wyr material eval: --angle and --ratio must be finite numbers\n");
    return kExitInvalid;
  }
  const driverwyr::Result<LoadedMaterialFile> loaded = LoadForCommand(path);
  if (!loaded.ok()) {
    fmt::print(stderr, "wyr material eval: {}: {}\n", path, loaded.error());
    return kExitInvalid;
  }
  const MaterialFileParse& parse = loaded->parse;
  const auto angle = static_cast<float>(angle_option);
  const auto ratio = static_cast<float>(ratio_option);
  std::string region = "inside 4..20";
  if (ratio < 4.0f) region = "below 4: extrapolated from r = 4 and 6";
  if (ratio > 20.0f) region = "above 20: extrapolated from r = 16 and 20";

  json models = json::array();
  std::string text = fmt::format("angle {}, ratio {} ({})\n", ShortestFloat(angle), ShortestFloat(ratio), region);
  for (int index = 0; index < kModelCount; ++index) {
    const MaterialModel& model = parse.file.models[static_cast<std::size_t>(index)];
    const std::optional<float> value = driverwyr::EvaluateModelAtRatio(model, angle, ratio);
    const std::string form = FormName(model.form);
    text += fmt::format("{:<14} {:<11} {}\n", driverwyr::ModelName(index), form,
                        value ? ShortestFloat(*value) : "no value");
    models.push_back({{"model", std::string(driverwyr::ModelName(index))},
                      {"form", form},
                      {"value", value ? json(JsonFloat(*value)) : json(nullptr)}});
  }
  if (as_json) {
    const json out = {{"angle", JsonFloat(angle)}, {"ratio", JsonFloat(ratio)}, {"models", models}};
    PrintLine("{}", out.dump(2));
  } else {
    WriteStream(stdout, text);
  }
  return kExitOk;
}

struct MaterialOptions {
  std::string description;
  std::string output;
  std::string file;
  bool json = false;
  double angle = 0.0;
  double ratio = 0.0;
};

}  // namespace

void AddMaterialCommand(CLI::App& app, int& status) {
  auto* material = app.add_subcommand("material", "build, dump, evaluate and fit material data files f_1 to f_4");
  material->require_subcommand(1);
  auto options = std::make_shared<MaterialOptions>();

  auto* build = material->add_subcommand("build", "build a material data file from a JSON description");
  build->add_option("DESC", options->description, "the description (JSON)")->required();
  build->add_option("-o,--output", options->output, "the material data file to write")->required();
  build->callback([options, &status] { status = RunBuild(options->description, options->output); });

  auto* dump = material->add_subcommand("dump", "decode a material data file block by block");
  dump->add_option("FILE", options->file, "the material data file")->required();
  dump->add_flag("--json", options->json, "print JSON");
  dump->callback([options, &status] { status = RunDump(options->file, options->json); });

  auto* eval = material->add_subcommand("eval", "evaluate the four models at a bend angle and V/t ratio");
  eval->add_option("FILE", options->file, "the material data file")->required();
  eval->add_option("--angle", options->angle, "bend angle in degrees (180 is flat)")->required();
  eval->add_option("--ratio", options->ratio, "die width / thickness")->required();
  eval->add_flag("--json", options->json, "print JSON");
  eval->callback([options, &status] {
    status = RunEval(options->file, options->angle, options->ratio, options->json);
  });
  AddMaterialFitCommand(*material, status);
}

}  // namespace wyr
