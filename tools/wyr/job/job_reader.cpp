#include "job_reader.h"

#include <fmt/format.h>

#include <span>
#include <utility>

namespace wyr {
namespace {

using driverwyr::Status;

// The deepest nesting a job file needs is six levels (machines, a machine, a
// beam profile, a block, a point); anything much deeper is refused.
constexpr int kMaxDepth = 16;

template <std::size_t N>
int FindKey(const std::string_view (&keys)[N], std::string_view key) {
  for (std::size_t i = 0; i < N; ++i) {
    if (keys[i] == key) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

JobReader::JobReader(const std::filesystem::path& folder, Job& job) : folder_(folder), job_(job) {
  job_.folder = folder;
  job_.unit = 0;
  job_.program_path.clear();
  job_.data_path.clear();
  job_.conversion_path.clear();
  job_.material.reset();
  job_.operator_script.clear();
  job_.steps.RemoveAll();
  job_.tools.RemoveAll();
  job_.setups.RemoveAll();
  job_.machines.RemoveAll();
  job_.gauges.RemoveAll();
}

Status JobReader::Read(std::string_view text) {
  if (Status status = ReadJson(text, *this); !status.ok()) {
    text_error_ = Status::Invalid("not valid JSON: " + status.message());
  }
  if (!text_error_.ok()) return text_error_;
  return content_error_;
}

Status JobReader::Finish() {
  if (Status s = steps_.Finish(job_.steps); !s.ok()) return s;
  if (Status s = tools_.Finish(job_.tools); !s.ok()) return s;
  if (Status s = setups_.Finish(job_.setups); !s.ok()) return s;
  if (Status s = machines_.Finish(job_.machines); !s.ok()) return s;
  return gauges_.Finish(job_.gauges);
}

bool JobReader::Key(std::string_view key) {
  if (!failed_) TakeKey(key);
  return true;
}

// --- containers, and the mode after a fault -----------------------------------

bool JobReader::Open(JsonValue::Type type) {
  if (depth_ >= kMaxDepth) {
    text_error_ = Status::Invalid(fmt::format("not a job file: nested more than {} levels deep", kMaxDepth));
    return false;
  }
  if (failed_) {
    CountOverflow();
    ++depth_;
    return true;
  }
  JsonValue value;
  value.type = type;
  Value(value);  // a fault is kept; the text is still read to its end
  ++depth_;
  return true;
}

bool JobReader::Close() {
  --depth_;
  if (failed_) {
    if (overflow_ && depth_ < overflow_->depth) {
      content_error_ = ErrorAt(overflow_->place, fmt::format("{} {} given, at most {} fit", overflow_->count,
                                                             overflow_->noun, overflow_->limit));
      overflow_.reset();
    }
    return true;
  }
  if (Status status = EndFrame(frames_.back()); !status.ok()) {
    Fail(std::move(status));
    return true;
  }
  frames_.pop_back();
  ElementDone();
  return true;
}

bool JobReader::Scalar(const JsonValue& value) {
  if (failed_) {
    CountOverflow();
    return true;
  }
  if (!Value(value)) return true;  // the fault is kept; the text is still read to its end
  ElementDone();
  return true;
}

void JobReader::CountOverflow() {
  if (overflow_ && depth_ == overflow_->depth) ++overflow_->count;
}

bool JobReader::Fail(Status status) {
  if (!failed_) content_error_ = std::move(status);
  failed_ = true;
  return false;
}

// --- places ---------------------------------------------------------------------

std::string JobReader::Here() const { return PlaceText(frames_); }

std::string JobReader::HereOfTop() const {
  return PlaceText(std::span<const Frame>(frames_).first(frames_.size() - 1));
}

std::string JobReader::HereWithKey(std::string_view key) {
  Frame& top = frames_.back();
  const std::string_view saved = top.key;
  top.key = key;
  std::string place = Here();
  top.key = saved;
  return place;
}

void JobReader::Push(Node node, bool object) {
  Frame frame;
  frame.node = node;
  frame.object = object;
  frames_.push_back(frame);
}

// --- keys -----------------------------------------------------------------------

bool JobReader::TakeKey(std::string_view key) {
  Frame& top = frames_.back();
  int number = -1;
  std::string_view name;
  switch (top.node) {
    case Node::kRoot:
      number = FindKey(kRootKeys, key);
      if (number < 0) {
        return Fail(ErrorAt(HereWithKey(key), "unknown key; a job has unit, paths, material, steps, tools, "
                                              "setups, machines, bgauges and operator"));
      }
      name = kRootKeys[number];
      break;
    case Node::kPaths:
      number = FindKey(kPathKeys, key);
      if (number < 0) {
        return Fail(ErrorAt(HereWithKey(key), "unknown key; the paths are \"program\", \"data\" and \"conversion\""));
      }
      name = kPathKeys[number];
      break;
    case Node::kMaterial:
      number = FindKey(kMaterialKeys, key);
      if (number < 0) {
        return Fail(ErrorAt(HereWithKey(key),
                            "unknown key; a material has \"thickness\", \"tensile\" and \"type\" or \"name\""));
      }
      name = kMaterialKeys[number];
      break;
    case Node::kRecord: {
      const bool found = WithRecords(top.records, [&](auto& records) {
        number = records.FindField(key);
        if (number >= 0) name = records.Shape(number).name;
        return number >= 0;
      });
      if (!found) {
        const std::string_view class_name =
            WithRecords(top.records, [](auto& records) { return records.ClassName(); });
        return Fail(ErrorAt(HereWithKey(key), fmt::format("unknown key: no settable field of {}", class_name)));
      }
      break;
    }
    case Node::kAction:
      number = ActionKeys::Find(key);
      if (number < 0) return Fail(ActionKeys::UnknownKey(HereWithKey(key)));
      name = ActionKeys::Name(number);
      break;
    default:  // kSkip
      return true;
  }
  const std::uint64_t bit = std::uint64_t{1} << number;
  if ((top.given & bit) != 0) return Fail(ErrorAt(HereWithKey(name), "key given twice"));
  top.given |= bit;
  top.member = number;
  top.key = name;
  if (top.node == Node::kAction) {
    if (Status status = action_.Take(number, HereOfTop()); !status.ok()) return Fail(std::move(status));
  }
  return true;
}

}  // namespace wyr
