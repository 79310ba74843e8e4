// Tool names for the creation dialog: the group's punch, die, die holder and
// spacer as the host names them, their names for the control from the
// conversion file, and their orientation codes.
#include "creation/tool_names.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "creation/control_types.h"
#include "creation/conversion_file.h"
#include "driver/ppdb.h"
#include "platform/platform.h"
#include "driverwyr/tool.h"
#include "util/text.h"

namespace driverwyr {
namespace {

// Only blank and tab separate the fields; white space is trimmed.
bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

std::size_t FindSeparator(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsSeparator(text[i])) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string_view ControlNameFromRest(std::string_view rest, bool sectional) {
  rest = Trim(rest);
  const std::size_t split = FindSeparator(rest);
  if (split == std::string_view::npos) return rest;  // one name for both kinds
  return Trim(sectional ? rest.substr(split + 1) : rest.substr(0, split));
}

ConversionSearch::ConversionSearch(std::string_view host_name, bool sectional)
    : host_name_(host_name), sectional_(sectional) {
  // No line holds a NUL, so a host name with one (or an empty one) can never
  // be a line's first word.
  if (host_name.empty() || host_name.find('\0') != std::string_view::npos) state_ = State::kNever;
}

bool ConversionSearch::Feed(const char* data, std::size_t size) {
  if (nul_line_ != 0) return false;
  const void* nul = std::memchr(data, '\0', size);
  const std::size_t clean = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : size;
  lines_ += static_cast<std::size_t>(std::count(data, data + clean, '\n'));
  if (nul != nullptr) {
    nul_line_ = lines_ + 1;
    state_ = State::kNever;
    return false;
  }
  std::size_t i = 0;
  while (i < size) {
    switch (state_) {
      case State::kFound:
      case State::kNever:
        return found();

      case State::kSkip: {
        const void* line_end = std::memchr(data + i, '\n', size - i);
        if (line_end == nullptr) return false;
        i = static_cast<std::size_t>(static_cast<const char*>(line_end) - data) + 1;
        state_ = State::kLeadingSpace;
        break;
      }

      case State::kRest: {
        const char* begin = data + i;
        const void* found_end = std::memchr(begin, '\n', size - i);
        const std::size_t span = found_end != nullptr
                                     ? static_cast<std::size_t>(static_cast<const char*>(found_end) - begin)
                                     : size - i;
        rest_.append(begin, span);
        i += span;
        if (found_end != nullptr) {
          ++i;
          EndMatchingLine();
        }
        break;
      }

      case State::kLeadingSpace: {
        const char c = data[i++];
        if (IsBlank(c)) break;  // a "\n" starts the next line in the same state
        if (UpperAscii(c) == UpperAscii(host_name_[0])) {
          matched_ = 1;
          state_ = State::kHostName;
        } else {
          state_ = State::kSkip;
        }
        break;
      }

      case State::kHostName: {
        const char c = data[i++];
        if (c == '\n') {
          state_ = State::kLeadingSpace;  // the line had no blank or tab after the name
        } else if (matched_ == host_name_.size()) {
          if (IsSeparator(c)) {
            rest_.clear();
            state_ = State::kRest;
          } else {
            state_ = State::kSkip;  // a longer first word
          }
        } else if (UpperAscii(c) == UpperAscii(host_name_[matched_])) {
          ++matched_;
        } else {
          state_ = State::kSkip;
        }
        break;
      }
    }
  }
  return found();
}

bool ConversionSearch::Finish() {
  if (state_ == State::kRest) EndMatchingLine();
  return found();
}

void ConversionSearch::EndMatchingLine() {
  // The "\r" of a "\r\n" line end is white space, trimmed away with the rest.
  const std::string_view name = ControlNameFromRest(rest_, sectional_);
  if (name.empty()) {
    state_ = State::kLeadingSpace;
    return;
  }
  name_.assign(name.data(), name.size());
  state_ = State::kFound;
}

Result<std::string> ConvertToolName(const std::string& host_name, int sectional,
                                    const std::string& conversion_path) {
  if (host_name.empty()) return std::string("0");
  // The path is used at its full length. One with a NUL byte cannot name a
  // file: opening it would open whatever file its first part names.
  if (conversion_path.find('\0') != std::string::npos) return host_name;

  // Read as bytes, so that "\r\n" and "\n" files read alike on every
  // platform; a folder, FIFO or device in the file's place converts nothing.
  const Result<std::unique_ptr<ReadableFile>> file = Platform::Current().Files().OpenForReading(conversion_path);
  if (!file.ok()) return host_name;

  // The whole file is read, also after the name was found, so that a NUL
  // anywhere in it is told.
  ConversionSearch search(host_name, sectional != 0);
  constexpr std::size_t kBlock = 64 * 1024;
  const std::unique_ptr<char[]> buffer(new char[kBlock]);  // not zero-filled: Read fills it
  for (std::size_t total = 0; total < kMaxConversionFileBytes;) {
    const Result<std::size_t> got =
        (*file)->Read(std::span(buffer.get(), std::min(kBlock, kMaxConversionFileBytes - total)));
    if (!got.ok()) return got.status().WithContext(conversion_path);
    if (*got == 0) break;
    total += *got;
    search.Feed(buffer.get(), *got);
    if (search.nul_line() != 0) {
      return Status::Invalid(conversion_path + ": line " + std::to_string(search.nul_line()) +
                             " holds a NUL byte, which no tool name may contain");
    }
  }
  return search.Finish() ? search.name() : host_name;
}

namespace {

// An orientation code: `set` for a reversed tool, `unset` otherwise.
std::string Code(bool reversed, char set, char unset) { return std::string(1, reversed ? set : unset); }

const CPPTool& Or(const CPPTool* found, const CPPTool& fallback) { return found != nullptr ? *found : fallback; }

bool BeginsWith2V(const CString& category) {
  const std::string_view text = category.view();
  return text.size() >= 2 && text[0] == '2' && text[1] == 'V';
}

}  // namespace

ToolNames FillToolNames(const RecordArray<CPPStepInfo>& steps, int control_type,
                        const std::string& conversion_path) {
  // The visit decides which step's tools survive; each surviving name is
  // converted once afterwards (reading the conversion file afresh for it).
  static const CPPTool kNoTool;  // stands in for a name that matches no tool
  const CPPTool* punch = nullptr;  // null until a step with a punch was visited
  const CPPTool* die = &kNoTool;
  const CPPTool* holder = &kNoTool;
  const CPPTool* spacer = &kNoTool;
  ToolNames names;
  bool punch_locked = false;
  bool die_locked = false;
  for (int i = 0; i < steps.GetSize() && !(punch_locked && die_locked); ++i) {
    const CPPStepInfo& step = steps[i];
    char ids[6][32];
    bool reverse[6];
    step.GetToolID(ids);
    step.GetToolReverse(reverse);

    const CPPTool* const step_punch = FindStoredToolById(ids[kToolIdPunch]);
    if (step_punch == nullptr || step_punch->GetToolName().IsEmpty()) continue;
    if (!punch_locked) {
      punch = step_punch;
      names.PunchRev = Code(reverse[0], '1', '0');
      punch_locked = punch->GetSectional() != 0;
    }
    if (!die_locked) {
      die = &Or(FindStoredToolById(ids[kToolIdDie]), kNoTool);
      names.DieRev = BeginsWith2V(die->GetCategory()) ? Code(reverse[1], 'S', 'L') : Code(reverse[1], '1', '0');
      die_locked = die->GetSectional() != 0;
    }
    holder = &Or(FindStoredToolById(ids[kToolIdDieHolder]), kNoTool);
    names.DieHolderRev = Code(reverse[2], '1', '0');
    spacer = &Or(FindStoredToolById(ids[kToolIdSpacer]), kNoTool);
  }
  if (punch == nullptr) return names;  // no step has a punch: every field stays empty

  names.HostPunchName = punch->GetToolName().str();
  names.HostDieName = die->GetToolName().str();
  names.HostDieHolderName = holder->GetToolName().str();
  names.HostSpacerName = spacer->GetToolName().str();
  if (TakesMaterialNumbers(control_type)) {
    // A file that cannot be used supplies no name; its first error is kept.
    const auto convert = [&](const std::string& host_name, int sectional) {
      Result<std::string> name = ConvertToolName(host_name, sectional, conversion_path);
      if (name.ok()) return std::move(*name);
      if (names.conversion.ok()) names.conversion = name.status();
      return host_name;
    };
    names.ControlPunchName = convert(names.HostPunchName, punch->GetSectional());
    names.ControlDieName = convert(names.HostDieName, die->GetSectional());
    if (!names.ControlDieName.empty()) {
      if (die->GetSmallorLarger() == 1) {
        names.ControlDieName += '1';
      } else if (die->GetSmallorLarger() == 2) {
        names.ControlDieName += '2';
      }
    }
    names.ControlDieHolderName = convert(names.HostDieHolderName, 0);
    names.ControlSpacerName = convert(names.HostSpacerName, 0);
  }
  return names;
}

}  // namespace driverwyr
