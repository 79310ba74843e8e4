#include "driverwyr/material_data.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "driverwyr/program_text.h"

namespace driverwyr {
namespace {

constexpr std::string_view kModelNames[kModelCount] = {"springback", "neutral fibre",
                                                       "inner radius", "radius effect"};

constexpr std::string_view kTermNames[kLastTermCode - kFirstTermCode + 1] = {
    "T",     "T^2",   "T^3",   "T^4",     "T^5",   "C",       "C^2",     "C^3",   "C^4",   "C^5",
    "T*C",   "T*C^2", "T^2*C", "T^2*C^2", "T*C^3", "T^3*C",   "T^2*C^3", "T^3*C^2", "T^4*C", "T*C^4"};

// Grid data is stored in chunks of 128 bytes (32 floats), each after its own
// separator word; the sixth chunk holds the last 27 floats.
constexpr int kGridChunkFloats = 32;
constexpr std::size_t kGridChunkStride = 2 + 4 * kGridChunkFloats;  // 130

std::size_t GridEntryOffset(int entry) {
  const auto chunk = static_cast<std::size_t>(entry / kGridChunkFloats);
  const auto within = static_cast<std::size_t>(entry % kGridChunkFloats);
  return 4 + chunk * kGridChunkStride + 2 + 4 * within;
}

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::int16_t SignedWord(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int16_t>(Word(bytes, at));
}

// A little-endian float; one load on a little-endian machine.
float Float(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, bytes.data() + at, sizeof bits);
  if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap32(bits);
  return std::bit_cast<float>(bits);
}

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutFloat(std::vector<std::uint8_t>& out, float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

std::string BlockName(int index, std::size_t offset) {
  return "block " + std::to_string(index + 1) + " (" + std::string(kModelNames[index]) +
         ") at offset " + std::to_string(offset);
}

// One block of a material file as decoded.
struct ParsedBlock {
  MaterialModel model;
  MaterialBlockLayout layout;
};

// Decodes one block starting at `at`. Fails (Invalid) when the block is
// malformed or does not fit.
Result<ParsedBlock> ParseBlock(std::span<const std::uint8_t> bytes, int index, std::size_t at,
                               bool keep_separators) {
  ParsedBlock block;
  MaterialModel& model = block.model;
  MaterialBlockLayout& layout = block.layout;
  const std::size_t remaining = bytes.size() - at;
  const auto ends_early = [&](std::size_t needed, std::string_view what) {
    return Status::Invalid("the file ends early: " + BlockName(index, at) + " needs " + std::to_string(needed) +
                           " bytes for " + std::string(what) + ", only " + std::to_string(remaining) +
                           " remain");
  };
  if (remaining < kOtherBlockSize) return ends_early(kOtherBlockSize, "its separator and form");
  layout.offset = at;
  // The separator words carry no meaning: only a reader that shows them or
  // writes the file back keeps them (the calculation reads every step).
  const auto separator = [&](std::size_t offset) {
    if (keep_separators) layout.separators.push_back(Word(bytes, offset));
  };
  layout.separators.clear();
  separator(at);
  model = MaterialModel();
  model.form = SignedWord(bytes, at + 2);

  if (index == kSpringback && model.form != kFormPolynomial) {
    return Status::Invalid(BlockName(index, at) + ": form " + std::to_string(model.form) +
                           " (byte " + std::to_string(at + 2) +
                           "); the springback model must be polynomial (form 1)");
  }

  if (model.form == kFormPolynomial) {
    if (remaining < 8) return ends_early(8, "its term count");
    const int terms = SignedWord(bytes, at + 6);
    if (terms < 0 || terms > kMaxTerms) {
      return Status::Invalid(BlockName(index, at) + ": term count " + std::to_string(terms) + " (byte " +
                             std::to_string(at + 6) + ") is outside 0..10");
    }
    const std::size_t size = PolynomialBlockSize(terms);
    if (remaining < size) {
      return ends_early(size, "a polynomial of " + std::to_string(terms) + " terms");
    }
    model.term_count = terms;
    separator(at + 4);
    separator(at + 8);
    std::size_t pos = at + 10;
    for (int i = 0; i < terms; ++i, pos += 2) {
      const int code = SignedWord(bytes, pos);
      if (code < kFirstTermCode || code > kLastTermCode) {
        return Status::Invalid(BlockName(index, at) + ": term " + std::to_string(i + 1) + " has code " +
                               std::to_string(code) + " (byte " + std::to_string(pos) + "), outside 2..21");
      }
      model.term_codes[static_cast<std::size_t>(i)] = code;
    }
    separator(pos);
    pos += 2;
    for (int i = 0; i <= terms; ++i, pos += 4) {
      const float value = Float(bytes, pos);
      if (!std::isfinite(value)) {
        return Status::Invalid(BlockName(index, at) + ": coefficient c" + std::to_string(i) + " (byte " +
                               std::to_string(pos) + ") is not a finite number");
      }
      model.coefficients[static_cast<std::size_t>(i)] = value;
    }
    layout.size = size;
    return block;
  }

  if (model.form == kFormGrid) {
    if (remaining < kGridBlockSize) return ends_early(kGridBlockSize, "a grid");
    for (std::size_t chunk = 0; chunk < 6; ++chunk) {
      separator(at + 4 + chunk * kGridChunkStride);
    }
    for (int entry = 0; entry < kGridFloats; ++entry) {
      const std::size_t pos = at + GridEntryOffset(entry);
      const float value = Float(bytes, pos);
      // Entry 0 is unused and may hold anything.
      if (entry != 0 && !std::isfinite(value)) {
        return Status::Invalid(BlockName(index, at) + ": grid entry " + std::to_string(entry) + " (byte " +
                               std::to_string(pos) + ") is not a finite number");
      }
      model.grid[static_cast<std::size_t>(entry)] = value;
    }
    for (int column = 2; column <= kGridColumns; ++column) {
      if (!(model.ColumnKey(column) > model.ColumnKey(column - 1))) {
        return Status::Invalid(BlockName(index, at) + ": column key " + std::to_string(column) + " (" +
                               ShortestFloat(model.ColumnKey(column)) + ") is not above column key " +
                               std::to_string(column - 1) + " (" + ShortestFloat(model.ColumnKey(column - 1)) + ")");
      }
    }
    for (int row = 2; row <= kGridRows; ++row) {
      if (!(model.RowKey(row) > model.RowKey(row - 1))) {
        return Status::Invalid(BlockName(index, at) + ": row key " + std::to_string(row) + " (" +
                               ShortestFloat(model.RowKey(row)) + ") is not above row key " +
                               std::to_string(row - 1) + " (" + ShortestFloat(model.RowKey(row - 1)) + ")");
      }
    }
    layout.size = kGridBlockSize;
    return block;
  }

  // Any other form: no model, and the block ends after its form word.
  layout.size = kOtherBlockSize;
  return block;
}

// The polynomial sum c0 + sum(ci * term(code_i)), added up in a float.
float PolynomialSum(const MaterialModel& model, float t_value, float c_value) {
  const double t = t_value;
  const double c = c_value;
  float sum = model.coefficients[0];
  for (int i = 0; i < model.term_count && i < kMaxTerms; ++i) {
    double term = 0.0;
    switch (model.term_codes[static_cast<std::size_t>(i)]) {
      case 2: term = t; break;
      case 3: term = t * t; break;
      case 4: term = t * t * t; break;
      case 5: term = t * t * t * t; break;
      case 6: term = t * t * t * t * t; break;
      case 7: term = c; break;
      case 8: term = c * c; break;
      case 9: term = c * c * c; break;
      case 10: term = c * c * c * c; break;
      case 11: term = c * c * c * c * c; break;
      case 12: term = t * c; break;
      case 13: term = t * c * c; break;
      case 14: term = t * t * c; break;
      case 15: term = t * t * c * c; break;
      case 16: term = t * c * c * c; break;
      case 17: term = t * t * t * c; break;
      case 18: term = t * t * c * c * c; break;
      case 19: term = t * t * t * c * c; break;
      case 20: term = t * t * t * t * c; break;
      case 21: term = t * c * c * c * c; break;
      default: term = 0.0; break;  // the reader admits no other code
    }
    const double product = static_cast<double>(model.coefficients[static_cast<std::size_t>(i) + 1]) * term;
    sum = static_cast<float>(static_cast<double>(sum) + product);
  }
  return sum;
}

// The grid at ratio x itself (no extrapolation rule in r).
std::optional<float> GridAt(const MaterialModel& model, float angle, float x) {
  int j = kGridColumns - 1;
  if (x < model.ColumnKey(1)) {
    j = 1;
  } else {
    for (int k = 1; k <= kGridColumns - 2; ++k) {
      if (model.ColumnKey(k + 1) >= x) {
        j = k;
        break;
      }
    }
  }
  const double left_key = model.ColumnKey(j);
  const double right_key = model.ColumnKey(j + 1);
  const float u = static_cast<float>((x - left_key) / (right_key - left_key));

  if (angle < static_cast<float>(model.RowKey(1) - 10.0f) || angle >= model.RowKey(kGridRows)) {
    return std::nullopt;
  }
  int i = kGridRows - 1;
  for (int k = 1; k <= kGridRows - 1; ++k) {
    if (model.RowKey(k + 1) >= angle) {
      i = k;
      break;
    }
  }
  const auto along_row = [&](int row) {
    const double left = model.GridValue(row, j);
    const double right = model.GridValue(row, j + 1);
    return static_cast<float>(left + u * (right - left));
  };
  const float lower = along_row(i);
  const float upper = along_row(i + 1);
  const double lower_key = model.RowKey(i);
  const double upper_key = model.RowKey(i + 1);
  const float w = static_cast<float>((angle - lower_key) / (upper_key - lower_key));
  return static_cast<float>(lower + static_cast<double>(w) * (static_cast<double>(upper) - lower));
}

// Linear extrapolation in r through the samples (r1, p) and (r2, q).
float Extrapolate(double p, double q, double r1, double r2, double r) {
  return static_cast<float>(p + (q - p) * (r - r1) / (r2 - r1));
}

}  // namespace

std::string_view ModelName(int index) {
  return index >= 0 && index < kModelCount ? kModelNames[index] : std::string_view();
}

std::string_view TermName(int code) {
  return code >= kFirstTermCode && code <= kLastTermCode ? kTermNames[code - kFirstTermCode]
                                                         : std::string_view();
}

namespace {

// Decodes the four blocks into `file` and `layout`; `used` gets the bytes
// they take.
Status ParseBlocks(std::span<const std::uint8_t> bytes, bool keep_separators, MaterialFile& file,
                   std::array<MaterialBlockLayout, kModelCount>& layout, std::size_t& used) {
  std::size_t at = 0;
  for (std::size_t index = 0; index < kModelCount; ++index) {
    Result<ParsedBlock> block = ParseBlock(bytes, static_cast<int>(index), at, keep_separators);
    if (!block.ok()) return block.status();
    file.models[index] = block->model;
    layout[index] = std::move(block->layout);
    at += layout[index].size;
  }
  used = at;
  return Status::Ok();
}

}  // namespace

Result<MaterialFileParse> ParseMaterialFile(std::span<const std::uint8_t> bytes) {
  MaterialFileParse result;
  if (Status parsed = ParseBlocks(bytes, true, result.file, result.layout, result.used); !parsed.ok()) return parsed;
  return result;
}

Status ReadMaterialFile(FileSystem& files, const std::string& path, MaterialFile& models, std::string* bytes) {
  // No file of four blocks needs more; what follows them is never read.
  std::array<char, kMaxMaterialFileSize> buffer;
  const Result<std::size_t> read = ReadFilePrefix(files, path, buffer);
  if (bytes != nullptr) bytes->assign(buffer.data(), read.ok() ? *read : 0);
  if (!read.ok()) return read.status().WithContext(path);
  std::array<MaterialBlockLayout, kModelCount> layout;
  std::size_t used = 0;
  return ParseBlocks(std::span(reinterpret_cast<const std::uint8_t*>(buffer.data()), *read), false, models, layout,
                     used)
      .WithContext(path);
}

std::vector<std::uint8_t> EncodeMaterialFile(
    const MaterialFile& file, const std::array<std::vector<std::uint16_t>, kModelCount>* separators) {
  std::vector<std::uint8_t> out;
  for (int index = 0; index < kModelCount; ++index) {
    const MaterialModel& model = file.models[static_cast<std::size_t>(index)];
    std::size_t next_separator = 0;
    const auto separator = [&]() -> std::uint16_t {
      if (separators == nullptr) return 0;
      const auto& words = (*separators)[static_cast<std::size_t>(index)];
      return next_separator < words.size() ? words[next_separator++] : 0;
    };
    PutWord(out, separator());
    PutWord(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(model.form)));
    if (model.form == kFormPolynomial) {
      const int terms = model.term_count < 0 ? 0 : (model.term_count > kMaxTerms ? kMaxTerms : model.term_count);
      PutWord(out, separator());
      PutWord(out, static_cast<std::uint16_t>(terms));
      PutWord(out, separator());
      for (int i = 0; i < terms; ++i) {
        PutWord(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(model.term_codes[static_cast<std::size_t>(i)])));
      }
      PutWord(out, separator());
      for (int i = 0; i <= terms; ++i) PutFloat(out, model.coefficients[static_cast<std::size_t>(i)]);
    } else if (model.form == kFormGrid) {
      for (int entry = 0; entry < kGridFloats; ++entry) {
        if (entry % kGridChunkFloats == 0) PutWord(out, separator());
        PutFloat(out, model.grid[static_cast<std::size_t>(entry)]);
      }
    }
  }
  return out;
}

std::string MaterialFilePath(std::string_view data_path, int number) {
  // A folder given in Windows form is joined with a backslash there, a POSIX
  // folder with a slash here.
  constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
  std::string path;
  path.reserve(data_path.size() + 4);
  path += data_path;
  path += kSeparator;
  path += "f_";
  path += std::to_string(number);
  return path;
}

float EvaluatePolynomial(const MaterialModel& model, float angle, float ratio) {
  const float t = static_cast<float>((static_cast<double>(angle) - 90.0) / 90.0);
  const double c = (static_cast<double>(ratio) - 10.0) * 0.1;
  if (ratio < 4.0f) {
    const float p = PolynomialSum(model, t, -0.6f);
    const float q = PolynomialSum(model, t, -0.4f);
    return static_cast<float>(p + (static_cast<double>(q) - p) * (c - (-0.6)) / (-0.4 - (-0.6)));
  }
  if (ratio > 20.0f) {
    const float p = PolynomialSum(model, t, 0.6f);
    const float q = PolynomialSum(model, t, 1.0f);
    return static_cast<float>(p + (static_cast<double>(q) - p) * (c - 0.6) / (1.0 - 0.6));
  }
  return PolynomialSum(model, t, static_cast<float>(c));
}

std::optional<float> EvaluateGrid(const MaterialModel& model, float angle, float ratio) {
  if (ratio < 4.0f || ratio > 20.0f) {
    const bool below = ratio < 4.0f;
    const float r1 = below ? 4.0f : 16.0f;
    const float r2 = below ? 6.0f : 20.0f;
    const std::optional<float> p = GridAt(model, angle, r1);
    const std::optional<float> q = GridAt(model, angle, r2);
    if (!p || !q) return std::nullopt;
    return Extrapolate(*p, *q, r1, r2, ratio);
  }
  return GridAt(model, angle, ratio);
}

std::optional<float> EvaluateModelAtRatio(const MaterialModel& model, float angle, float ratio) {
  if (std::isnan(angle) || std::isnan(ratio)) return std::nullopt;
  if (model.form == kFormPolynomial) return EvaluatePolynomial(model, angle, ratio);
  if (model.form == kFormGrid) return EvaluateGrid(model, angle, ratio);
  return std::nullopt;
}

std::optional<float> EvaluateModel(const MaterialModel& model, float angle, float die_width,
                                   float thickness) {
  const float ratio = die_width / thickness;
  return EvaluateModelAtRatio(model, angle, ratio);
}

float ForceFactor(float x) {
  static constexpr float kRatio[11] = {2.5f, 5.0f, 6.2f, 7.5f, 8.75f, 10.0f,
                                       12.5f, 15.0f, 20.0f, 25.0f, 30.0f};
  static constexpr float kFactor[11] = {1.59f, 1.44f, 1.40f, 1.34f, 1.30f, 1.27f,
                                        1.23f, 1.21f, 1.19f, 1.18f, 1.165f};
  if (!(x >= kRatio[0])) return kFactor[0];  // below the table, or not a number
  if (x >= kRatio[10]) return kFactor[10];
  int i = 1;
  while (!(kRatio[i] > x)) ++i;  // the first key above x; exists since x < 30
  const double x0 = kRatio[i - 1];
  const double x1 = kRatio[i];
  const double k0 = kFactor[i - 1];
  const double k1 = kFactor[i];
  return static_cast<float>(k0 + (x - x0) * (k1 - k0) / (x1 - x0));
}

}  // namespace driverwyr
