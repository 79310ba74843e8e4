// Reading job files in one pass: nlohmann-json's SAX parser hands over the
// text's values one by one, and a stack of frames (one per open object or
// array) knows what each value is for: a setting, a record's field, an
// element of a field's array, an entry of the operator's script.
//
// After the first fault of the contents the reader goes on to the end of the
// text without looking at the values, so that a fault of the text itself
// (syntax, nesting) found later still wins: a file cut short is reported as
// such, whatever else is wrong with it.
#include <fmt/format.h>

#include <cstdint>
#include <iterator>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "job_fields.h"
#include "job_file.h"
#include "job_operator.h"
#include "job_place.h"
#include "job_value.h"
#include "regular_file.h"

namespace wyr {
namespace {

using driverwyr::Status;

// The deepest nesting a job file needs is six levels (machines, a machine, a
// beam profile, a block, a point); anything much deeper is refused.
constexpr int kMaxDepth = 16;

constexpr std::string_view kRootKeys[] = {"unit",  "paths",    "material", "steps",   "tools",
                                          "setups", "machines", "bgauges",  "operator"};
enum RootKey { kUnit, kPaths, kMaterial, kSteps, kTools, kSetups, kMachines, kBgauges, kOperator };
constexpr std::string_view kPathKeys[] = {"program", "data", "conversion"};
constexpr std::string_view kMaterialKeys[] = {"thickness", "tensile", "type", "name"};
enum MaterialKey { kThickness, kTensile, kType, kName };

template <std::size_t N>
int FindKey(const std::string_view (&keys)[N], std::string_view key) {
  for (std::size_t i = 0; i < N; ++i) {
    if (keys[i] == key) return static_cast<int>(i);
  }
  return -1;
}

// "not valid JSON: parse error at line 1, column 2: ..." from nlohmann's
// "[json.exception.parse_error.101] parse error at line 1, column 2: ...".
std::string DescribeParseError(const std::exception& error) {
  std::string what = error.what();
  const std::size_t bracket = what.find("] ");
  if (what.rfind("[json.exception.", 0) == 0 && bracket != std::string::npos) what.erase(0, bracket + 2);
  return "not valid JSON: " + what;
}

// What an open object or array of the job file is.
enum class Node : std::uint8_t {
  kRoot,        // the job
  kPaths,       // "paths"
  kMaterial,    // "material"
  kRecords,     // "steps", "tools", ...: an array of records
  kRecord,      // one record
  kFieldArray,  // one level of a record field's array
  kOperator,    // "operator"
  kEntry,       // one entry of the script that is a list of actions
  kAction,      // one action
  kSkip,        // inside a value already judged by its type
};

struct Frame : PlaceLevel {
  Node node = Node::kRoot;
  int member = -1;          // objects: the number of the key being read
  std::uint64_t given = 0;  // objects: the keys given so far, by number
  int records = 0;          // records, fields: which array (kSteps ... kBgauges)
  int field = -1;           // field arrays: the field
  int level = 0;            // field arrays: 0 for the outermost
};

// The material as it is being read.
struct MaterialDraft {
  float thickness = 0.0f;
  float tensile = 0.0f;
  int type = 0;
  std::string name;
};

class JobReader {
 public:
  // The types nlohmann's parser talks in.
  using number_integer_t = nlohmann::json::number_integer_t;
  using number_unsigned_t = nlohmann::json::number_unsigned_t;
  using number_float_t = nlohmann::json::number_float_t;
  using string_t = nlohmann::json::string_t;
  using binary_t = nlohmann::json::binary_t;

  JobReader(const std::filesystem::path& folder, Job& job) : folder_(folder), job_(job) {
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

  // Reads the whole text; records wait in the reader until Finish.
  Status Read(std::string_view text) {
    nlohmann::json::sax_parse(text.data(), text.data() + text.size(), this);
    if (!text_error_.ok()) return text_error_;
    return content_error_;
  }

  // Completes the records (converting setters that waited for the unit) and
  // moves them into the job.
  Status Finish() {
    if (Status s = steps_.Finish(job_.steps); !s.ok()) return s;
    if (Status s = tools_.Finish(job_.tools); !s.ok()) return s;
    if (Status s = setups_.Finish(job_.setups); !s.ok()) return s;
    if (Status s = machines_.Finish(job_.machines); !s.ok()) return s;
    return gauges_.Finish(job_.gauges);
  }

  // --- the parser's events ---------------------------------------------------
  bool null() { return Scalar(JsonValue{}); }
  bool boolean(bool b) {
    JsonValue value;
    value.type = JsonValue::Type::kBoolean;
    value.boolean = b;
    return Scalar(value);
  }
  bool number_integer(number_integer_t i) {
    JsonValue value;
    value.type = JsonValue::Type::kInteger;
    value.integer = i;
    return Scalar(value);
  }
  bool number_unsigned(number_unsigned_t u) {
    JsonValue value;
    value.type = JsonValue::Type::kUnsigned;
    value.unsigned_ = u;
    return Scalar(value);
  }
  bool number_float(number_float_t d, const string_t&) {
    JsonValue value;
    value.type = JsonValue::Type::kFloat;
    value.number = d;
    return Scalar(value);
  }
  bool string(string_t& s) {
    JsonValue value;
    value.type = JsonValue::Type::kString;
    value.text = s;
    return Scalar(value);
  }
  bool binary(binary_t&) { return Fail(Status::Invalid("not valid JSON: binary data")); }
  bool start_object(std::size_t) { return Open(JsonValue::Type::kObject); }
  bool start_array(std::size_t) { return Open(JsonValue::Type::kArray); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool key(string_t& key) {
    if (!failed_) Key(key);
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) {
    text_error_ = Status::Invalid(DescribeParseError(error));
    return false;
  }

 private:
  // An array whose elements ran past its length: they are counted to its end.
  struct Overflow {
    int depth;                // depth_ while its elements are read
    std::size_t count;        // elements seen so far
    std::size_t limit;
    std::string_view noun;    // "elements" or "names"
    std::string place;
  };

  // --- depth, and the mode after a fault ---------------------------------------

  bool Open(JsonValue::Type type) {
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

  bool Close() {
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

  bool Scalar(const JsonValue& value) {
    if (failed_) {
      CountOverflow();
      return true;
    }
    if (!Value(value)) return true;  // the fault is kept; the text is still read to its end
    ElementDone();
    return true;
  }

  void CountOverflow() {
    if (overflow_ && depth_ == overflow_->depth) ++overflow_->count;
  }

  // Keeps the first fault of the contents; the parser goes on to the end of
  // the text. Returns false, for the callers to pass on.
  bool Fail(Status status) {
    if (!failed_) content_error_ = std::move(status);
    failed_ = true;
    return false;
  }

  // --- places ------------------------------------------------------------------

  // The place of the value being read.
  std::string Here() const { return PlaceText(frames_); }
  // The place of the container on top of the stack itself.
  std::string HereOfTop() const { return PlaceText(std::span<const Frame>(frames_).first(frames_.size() - 1)); }
  // The place of member `key` of the object on top.
  std::string HereWithKey(std::string_view key) {
    Frame& top = frames_.back();
    const std::string_view saved = top.key;
    top.key = key;
    std::string place = Here();
    top.key = saved;
    return place;
  }
  Status ErrorHere(std::string_view message) const { return ErrorAt(Here(), message); }

  // After a value in an array, the next element.
  void ElementDone() {
    if (!frames_.empty() && !frames_.back().object) ++frames_.back().index;
  }

  void Push(Node node, bool object) {
    Frame frame;
    frame.node = node;
    frame.object = object;
    frames_.push_back(frame);
  }

  // Calls `f` with the reader of records array `which` (kSteps ... kBgauges).
  template <typename F>
  decltype(auto) WithRecords(int which, F&& f) {
    switch (which) {
      case kSteps: return f(steps_);
      case kTools: return f(tools_);
      case kSetups: return f(setups_);
      case kMachines: return f(machines_);
      default: return f(gauges_);
    }
  }

  // --- keys ----------------------------------------------------------------------

  bool Key(std::string_view key) {
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

  // --- values --------------------------------------------------------------------

  // A scalar, or the start of an object or array (which then gets its frame).
  // Returns false after a fault.
  bool Value(const JsonValue& value) {
    if (frames_.empty()) {
      if (value.type != JsonValue::Type::kObject) {
        return Fail(Status::Invalid(fmt::format("a job file holds a JSON object, not {}", TypeName(value))));
      }
      Push(Node::kRoot, true);
      return true;
    }
    Frame& top = frames_.back();
    switch (top.node) {
      case Node::kRoot: return RootValue(top.member, value);
      case Node::kPaths: return PathValue(top.member, value);
      case Node::kMaterial: return MaterialValue(top.member, value);
      case Node::kRecords: return RecordStart(top.records, value);
      case Node::kRecord: return FieldValue(top.records, top.member, value);
      case Node::kFieldArray: return FieldElement(top, value);
      case Node::kOperator: return EntryValue(value);
      case Node::kEntry: return ActionStart(value);
      case Node::kAction:
        action_.SetValue(top.member, value);
        if (value.type == JsonValue::Type::kObject || value.type == JsonValue::Type::kArray) {
          Push(Node::kSkip, value.type == JsonValue::Type::kObject);
        }
        return true;
      case Node::kSkip:
        if (value.type == JsonValue::Type::kObject || value.type == JsonValue::Type::kArray) {
          Push(Node::kSkip, value.type == JsonValue::Type::kObject);
        }
        return true;
    }
    return true;
  }

  bool RootValue(int key, const JsonValue& value) {
    switch (key) {
      case kUnit: {
        int unit = 0;
        if (Status status = ReadElement(Element::kInt, value, &unit); !status.ok()) {
          return Fail(status.WithContext(Here()));
        }
        job_.unit = unit;
        unit_ = unit;
        return true;
      }
      case kPaths:
      case kMaterial:
        if (value.type != JsonValue::Type::kObject) return Fail(ExpectedError("an object", value).WithContext(Here()));
        Push(key == kPaths ? Node::kPaths : Node::kMaterial, true);
        material_ = MaterialDraft();
        return true;
      case kOperator:
        if (value.type != JsonValue::Type::kArray) return Fail(ExpectedError("an array", value).WithContext(Here()));
        Push(Node::kOperator, false);
        return true;
      default: {  // a records array
        if (value.type != JsonValue::Type::kArray) return Fail(ExpectedError("an array", value).WithContext(Here()));
        Push(Node::kRecords, false);
        frames_.back().records = key;
        return true;
      }
    }
  }

  bool PathValue(int key, const JsonValue& value) {
    if (value.type != JsonValue::Type::kString) return Fail(ExpectedError("a string", value).WithContext(Here()));
    driverwyr::Result<std::string> path = ResolvePath(value.text, folder_);
    if (!path.ok()) return Fail(path.status().WithContext(Here()));
    std::string* const targets[] = {&job_.program_path, &job_.data_path, &job_.conversion_path};
    *targets[key] = std::move(*path);
    return true;
  }

  bool MaterialValue(int key, const JsonValue& value) {
    Status status;
    switch (key) {
      case kThickness: status = ReadElement(Element::kFloat, value, &material_.thickness); break;
      case kTensile: status = ReadElement(Element::kFloat, value, &material_.tensile); break;
      case kType: status = ReadElement(Element::kInt, value, &material_.type); break;
      default: status = ReadElement(Element::kString, value, &material_.name); break;
    }
    if (!status.ok()) return Fail(status.WithContext(Here()));
    return true;
  }

  bool RecordStart(int records, const JsonValue& value) {
    if (value.type != JsonValue::Type::kObject) return Fail(ExpectedError("an object", value).WithContext(Here()));
    WithRecords(records, [](auto& r) { r.BeginRecord(); });
    Push(Node::kRecord, true);
    frames_.back().records = records;
    return true;
  }

  bool FieldValue(int records, int field, const JsonValue& value) {
    return WithRecords(records, [&](auto& reader) {
      const FieldShape& shape = reader.Shape(field);
      if (shape.rank == 0) {
        if (Status status = reader.Store(field, 0, value); !status.ok()) return Fail(status.WithContext(Here()));
        return true;
      }
      if (value.type != JsonValue::Type::kArray) {
        return Fail(ErrorHere(fmt::format("expected an array of at most {} {}, got {}", shape.dims[0],
                                          shape.element == Element::kName ? "names" : "elements", TypeName(value))));
      }
      reader.Touch(field);
      Push(Node::kFieldArray, false);
      Frame& frame = frames_.back();
      frame.records = records;
      frame.field = field;
      frame.level = 0;
      return true;
    });
  }

  bool FieldElement(const Frame& top, const JsonValue& value) {
    return WithRecords(top.records, [&](auto& reader) {
      const FieldShape& shape = reader.Shape(top.field);
      const std::size_t length = shape.dims[static_cast<std::size_t>(top.level)];
      const std::string_view noun = shape.element == Element::kName ? "names" : "elements";
      if (top.index >= length) {
        overflow_ = Overflow{depth_, top.index + 1, length, noun, HereOfTop()};
        return Fail(Status::Invalid("too many elements"));  // replaced once they are counted
      }
      if (top.level + 1 < shape.rank) {
        if (value.type != JsonValue::Type::kArray) {
          return Fail(ErrorHere(fmt::format("expected an array of at most {} {}, got {}",
                                            shape.dims[static_cast<std::size_t>(top.level) + 1], noun,
                                            TypeName(value))));
        }
        const int records = top.records;
        const int field = top.field;
        const int level = top.level + 1;
        Push(Node::kFieldArray, false);  // `top` is no longer valid
        Frame& frame = frames_.back();
        frame.records = records;
        frame.field = field;
        frame.level = level;
        return true;
      }
      // The element's position in the field, row by row.
      std::size_t flat = 0;
      const std::size_t first = frames_.size() - static_cast<std::size_t>(shape.rank);
      for (int level = 0; level < shape.rank; ++level) {
        flat = flat * shape.dims[static_cast<std::size_t>(level)] + frames_[first + static_cast<std::size_t>(level)].index;
      }
      if (Status status = reader.Store(top.field, flat, value); !status.ok()) return Fail(status.WithContext(Here()));
      return true;
    });
  }

  bool EntryValue(const JsonValue& value) {
    if (value.type == JsonValue::Type::kArray) {
      OperatorEntry entry;
      entry.kind = OperatorEntry::Kind::kActions;
      job_.operator_script.push_back(std::move(entry));
      Push(Node::kEntry, false);
      return true;
    }
    driverwyr::Result<OperatorEntry> entry = ReadOperatorEntry(value, Here());
    if (!entry.ok()) return Fail(entry.status());
    job_.operator_script.push_back(std::move(*entry));
    return true;
  }

  bool ActionStart(const JsonValue& value) {
    if (value.type != JsonValue::Type::kObject) return Fail(ExpectedError("an object", value).WithContext(Here()));
    action_ = ActionKeys();
    Push(Node::kAction, true);
    return true;
  }

  // --- the end of an object or array ------------------------------------------------

  Status EndFrame(const Frame& frame) {
    switch (frame.node) {
      case Node::kMaterial: return EndMaterial(frame.given);
      case Node::kRecord:
        WithRecords(frame.records, [](auto& r) { r.EndRecord(); });
        return Status::Ok();
      case Node::kAction: {
        driverwyr::Result<OperatorAction> action = action_.Build(HereOfTop(), folder_);
        if (!action.ok()) return action.status();
        job_.operator_script.back().actions.push_back(std::move(*action));
        return Status::Ok();
      }
      default: return Status::Ok();
    }
  }

  Status EndMaterial(std::uint64_t given) {
    const std::string at = HereOfTop();
    const auto has = [given](int key) { return (given & (std::uint64_t{1} << key)) != 0; };
    for (const int key : {kThickness, kTensile}) {
      if (!has(key)) {
        std::string place = at;
        AppendKey(place, kMaterialKeys[key]);
        return ErrorAt(place, "missing");
      }
    }
    if (has(kType) && has(kName)) return ErrorAt(at, "give either \"type\" or \"name\", not both");
    if (!has(kType) && !has(kName)) return ErrorAt(at, "give either \"type\" or \"name\"");
    MaterialSpec material;
    material.thickness = material_.thickness;
    material.tensile = material_.tensile;
    if (has(kType)) {
      material.kind = material_.type;
    } else {
      material.kind = std::move(material_.name);
    }
    job_.material = std::move(material);
    return Status::Ok();
  }

  const std::filesystem::path& folder_;
  Job& job_;
  std::optional<int> unit_;  // once "unit" has been read
  RecordsReader<CPPStepInfo> steps_{"steps", unit_};
  RecordsReader<CPPTool> tools_{"tools", unit_};
  RecordsReader<CPPSetup> setups_{"setups", unit_};
  RecordsReader<CPPMachine> machines_{"machines", unit_};
  RecordsReader<CPPBGauge> gauges_{"bgauges", unit_};
  MaterialDraft material_;
  ActionKeys action_;

  std::vector<Frame> frames_;
  int depth_ = 0;  // containers open in the text
  bool failed_ = false;
  Status content_error_;
  Status text_error_;
  std::optional<Overflow> overflow_;
};

Status TooLarge() { return Status::Invalid("the job is too large for the memory available"); }

}  // namespace

Status ParseJob(std::string_view text, const std::filesystem::path& folder, Job& job) {
  try {
    JobReader reader(folder, job);
    if (Status status = reader.Read(text); !status.ok()) return status;
    return reader.Finish();
  } catch (const std::bad_alloc&) {
    return TooLarge();
  }
}

Status LoadJobFile(const std::filesystem::path& file, Job& job) {
  try {
    driverwyr::Result<std::string> text = ReadRegularFile(file, kMaxJobFileSize, "job file");
    if (!text.ok()) return text.status();
    const std::filesystem::path folder = std::filesystem::absolute(file).parent_path().lexically_normal();
    JobReader reader(folder, job);
    if (Status status = reader.Read(*text); !status.ok()) return status;
    std::string().swap(*text);  // the text is no longer needed while the records are moved
    return reader.Finish();
  } catch (const std::bad_alloc&) {
    return TooLarge();
  } catch (const std::filesystem::filesystem_error&) {
    return Status::NotFound("cannot be opened");
  }
}

Status ApplyJob(Job& job) {
  if (!CreatePPDBInstance()) return Status::IoError("the driver's store could not be created");
  const auto text = [](const std::string& s) { return CString(s.data(), static_cast<int>(s.size())); };
  SetUnit(job.unit);
  SetPathNames(text(job.program_path), text(job.data_path), text(job.conversion_path));
  if (job.material) {
    const MaterialSpec& material = *job.material;
    if (const int* type = std::get_if<int>(&material.kind)) {
      SetMaterial_1(material.thickness, material.tensile, *type);
    } else {
      SetMaterial_2(material.thickness, material.tensile, text(std::get<std::string>(material.kind)));
    }
  }
  // The store keeps its own copies: each array is released once handed over.
  InitPPSequence(&job.steps);
  job.steps.RemoveAll();
  InitToolInfo(&job.tools);
  job.tools.RemoveAll();
  InitSetupInfo(&job.setups);
  job.setups.RemoveAll();
  InitMachineInfo(&job.machines);
  job.machines.RemoveAll();
  InitBkGaugeInfo(&job.gauges);
  job.gauges.RemoveAll();
  return Status::Ok();
}

}  // namespace wyr
