// Fuzzes the conversion-file search: the text is fed to ConversionSearch in
// pieces of varying size and the outcome is compared with a plain reading of
// the same text line by line; a text with a NUL byte must be refused, naming
// the NUL's line. Input: a flags byte (bit 0: sectional tool,
// bit 1: swap the letter case of the host name), a byte that picks the line
// whose first word becomes the host name, a seed for the piece sizes, then
// the file's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "creation/conversion_file.h"

namespace {

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsSeparator(char c) { return c == ' ' || c == '\t'; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsWhite(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsWhite(text.back())) text.remove_suffix(1);
  return text;
}

// The lines of the file as a reader sees them: split at "\n", with the "\r"
// of "\r\n" dropped (the file holds no NUL).
std::vector<std::string_view> Lines(std::string_view file) {
  std::vector<std::string_view> lines;
  while (!file.empty()) {
    const std::size_t end = file.find('\n');
    std::string_view line = file.substr(0, end);
    file = end == std::string_view::npos ? std::string_view() : file.substr(end + 1);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

// The line's host name and the rest after it, when the line has one.
std::optional<std::pair<std::string_view, std::string_view>> Split(std::string_view line) {
  while (!line.empty() && IsWhite(line.front())) line.remove_prefix(1);
  std::size_t split = 0;
  while (split < line.size() && !IsSeparator(line[split])) ++split;
  if (split == line.size()) return std::nullopt;
  return std::make_pair(line.substr(0, split), line.substr(split + 1));
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

std::optional<std::string> Expected(const std::vector<std::string_view>& lines, std::string_view host,
                                    bool sectional) {
  for (std::string_view line : lines) {
    const auto fields = Split(line);
    if (!fields || !EqualIgnoringCase(fields->first, host)) continue;
    std::string_view rest = Trim(fields->second);
    if (rest.empty()) continue;
    std::size_t split = 0;
    while (split < rest.size() && !IsSeparator(rest[split])) ++split;
    if (split == rest.size()) return std::string(rest);
    const std::string_view part = Trim(sectional ? rest.substr(split + 1) : rest.substr(0, split));
    if (!part.empty()) return std::string(part);
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const bool sectional = (data[0] & 1) != 0;
  const bool swap_case = (data[0] & 2) != 0;
  const std::size_t pick = data[1];
  std::uint32_t seed = data[2];
  const std::string_view file(reinterpret_cast<const char*>(data + 3), size - 3);

  // The line of the first NUL, counted from 1.
  const std::size_t nul = file.find('\0');
  const std::size_t nul_line =
      nul == std::string_view::npos ? 0 : static_cast<std::size_t>(std::count(file.begin(), file.begin() + nul, '\n')) + 1;
  const std::vector<std::string_view> lines = Lines(file.substr(0, nul));
  std::string host = "X";
  if (!lines.empty()) {
    const auto fields = Split(lines[pick % lines.size()]);
    if (fields && !fields->first.empty()) host.assign(fields->first);
  }
  if (swap_case) {
    for (char& c : host) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
  }

  driverwyr::ConversionSearch search(host, sectional);
  std::size_t at = 0;
  while (at < file.size()) {
    seed = seed * 1103515245u + 12345u;
    const std::size_t piece = std::min<std::size_t>(1 + (seed >> 16) % 64, file.size() - at);
    search.Feed(file.data() + at, piece);
    at += piece;
  }
  search.Finish();

  if (search.nul_line() != nul_line) std::abort();
  if (nul_line != 0) {
    if (search.found()) std::abort();
    return 0;
  }
  const std::optional<std::string> expected = Expected(lines, host, sectional);
  if (search.found() != expected.has_value()) std::abort();
  if (expected && search.name() != *expected) std::abort();
  if (search.found()) {
    const std::string& name = search.name();
    if (name.empty() || name.find('\0') != std::string::npos || IsWhite(name.front()) || IsWhite(name.back())) {
      std::abort();
    }
  }
  return 0;
}
