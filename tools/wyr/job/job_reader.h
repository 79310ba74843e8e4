// The job reader: the tokeniser (json_sax.h) hands over the text's values
// one by one, and a stack of frames (one per open object or array) knows what
// each value is for: a setting, a record's field, an element of a field's
// array, an entry of the operator's script. Used through ParseJob and
// LoadJobFile (job_file.h).
//
// After the first fault of the contents the reader goes on to the end of the
// text without looking at the values, so that a fault of the text itself
// (syntax, nesting) found later still wins: a file cut short is reported as
// such, whatever else is wrong with it.
//
// job_reader.cpp follows the structure (containers, keys, places, faults);
// job_values.cpp judges the values and the ends of the objects.
#ifndef DRIVERWYR_TOOLS_WYR_JOB_READER_H_
#define DRIVERWYR_TOOLS_WYR_JOB_READER_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job_fields.h"
#include "job_file.h"
#include "job_operator.h"
#include "job_place.h"
#include "job_value.h"
#include "json_sax.h"
#include "driverwyr/result.h"

namespace wyr {

class JobReader final : public JsonHandler {
 public:
  // Empties `job`, which the reader fills; `folder` is the job file's folder.
  // Both must outlive the reader.
  JobReader(const std::filesystem::path& folder, Job& job);

  // Reads the whole text; the records wait in the reader until Finish.
  driverwyr::Status Read(std::string_view text);
  // Completes the records (converting setters that waited for the unit) and
  // moves them into the job.
  driverwyr::Status Finish();

  // The tokeniser's events. They return false only to stop the reading at a
  // fault of the text (nesting too deep).
  bool Null() override { return Scalar(JsonValue{}); }
  bool Boolean(bool b) override {
    JsonValue value;
    value.type = JsonValue::Type::kBoolean;
    value.boolean = b;
    return Scalar(value);
  }
  bool Integer(std::int64_t i) override {
    JsonValue value;
    value.type = JsonValue::Type::kInteger;
    value.integer = i;
    return Scalar(value);
  }
  bool Unsigned(std::uint64_t u) override {
    JsonValue value;
    value.type = JsonValue::Type::kUnsigned;
    value.unsigned_ = u;
    return Scalar(value);
  }
  bool Float(double d) override {
    JsonValue value;
    value.type = JsonValue::Type::kFloat;
    value.number = d;
    return Scalar(value);
  }
  bool String(std::string_view s) override {
    JsonValue value;
    value.type = JsonValue::Type::kString;
    value.text = s;
    return Scalar(value);
  }
  bool StartObject() override { return Open(JsonValue::Type::kObject); }
  bool StartArray() override { return Open(JsonValue::Type::kArray); }
  bool EndObject() override { return Close(); }
  bool EndArray() override { return Close(); }
  bool Key(std::string_view key) override;

 private:
  // The keys of the job object, of "paths" and of "material".
  static constexpr std::string_view kRootKeys[] = {"unit",   "paths",    "material", "steps",   "tools",
                                                   "setups", "machines", "bgauges",  "operator"};
  enum RootKey { kUnit, kPaths, kMaterial, kSteps, kTools, kSetups, kMachines, kBgauges, kOperator };
  static constexpr std::string_view kPathKeys[] = {"program", "data", "conversion"};
  static constexpr std::string_view kMaterialKeys[] = {"thickness", "tensile", "type", "name"};
  enum MaterialKey { kThickness, kTensile, kType, kName };

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

  // An array whose elements ran past its length: they are counted to its end.
  struct Overflow {
    int depth;                // depth_ while its elements are read
    std::size_t count;        // elements seen so far
    std::size_t limit;
    std::string_view noun;    // "elements" or "names"
    std::string place;
  };

  // Structure (job_reader.cpp).
  bool Open(JsonValue::Type type);
  bool Close();
  bool Scalar(const JsonValue& value);
  void CountOverflow();
  // Keeps the first fault of the contents; the parser goes on to the end of
  // the text. Returns false, for the callers to pass on.
  bool Fail(driverwyr::Status status);
  bool TakeKey(std::string_view key);
  // The place of the value being read; of the container on top of the stack
  // itself; of member `key` of the object on top.
  std::string Here() const;
  std::string HereOfTop() const;
  std::string HereWithKey(std::string_view key);
  driverwyr::Status ErrorHere(std::string_view message) const { return ErrorAt(Here(), message); }
  // After a value in an array, the next element.
  void ElementDone() {
    if (!frames_.empty() && !frames_.back().object) ++frames_.back().index;
  }
  void Push(Node node, bool object);

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

  // Values (job_values.cpp): a scalar, or the start of an object or array
  // (which then gets its frame). Each returns false after a fault.
  bool Value(const JsonValue& value);
  bool RootValue(int key, const JsonValue& value);
  bool PathValue(int key, const JsonValue& value);
  bool MaterialValue(int key, const JsonValue& value);
  bool RecordStart(int records, const JsonValue& value);
  bool FieldValue(int records, int field, const JsonValue& value);
  bool FieldElement(const Frame& top, const JsonValue& value);
  bool EntryValue(const JsonValue& value);
  bool ActionStart(const JsonValue& value);
  // The end of the object or array on top of the stack.
  driverwyr::Status EndFrame(const Frame& frame);
  driverwyr::Status EndMaterial(std::uint64_t given);

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
  driverwyr::Status content_error_;
  driverwyr::Status text_error_;
  std::optional<Overflow> overflow_;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JOB_READER_H_
