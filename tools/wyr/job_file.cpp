// Reading job files: JSON text to records, settings and the operator's script.
//
// The reader checks everything before anything reaches the driver: every key
// must be known, every value must have the field's type and fit its range,
// arrays must fit the field's shape. Each record is built with its default
// constructor and the setters are called in the record's declaration order,
// whatever the order of the keys, because some setters depend on others
// (BendType sets CoiningFlag and Mode; BendingSpeed depends on ControlType).
#include "job_file.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <type_traits>

#include "util/units.h"

namespace wyr {
namespace {

using nlohmann::json;

// Deepest nesting a job file needs is six levels (machines, a machine, a beam
// profile, a block, a point); anything much deeper is refused while parsing.
constexpr int kMaxDepth = 16;

constexpr double kInch = driverwyr::kInchToMillimetres;

// ---------------------------------------------------------------------------
// Places in the file, for error messages: "steps[3].ToolID[1]".

// True when `key` can be shown after a dot without quoting.
bool IsPlainKey(std::string_view key) {
  if (key.empty()) return false;
  for (const char c : key) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit) return false;
  }
  return !(key.front() >= '0' && key.front() <= '9');
}

// A JSON string literal of `text` (control characters and quotes escaped),
// cut to about `limit` bytes on a character boundary.
std::string QuoteJson(std::string_view text, std::size_t limit = 64) {
  bool cut = false;
  if (text.size() > limit) {
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text = text.substr(0, end);
    cut = true;
  }
  std::string quoted = json(std::string(text)).dump();
  if (cut) quoted.insert(quoted.size() - 1, "...");
  return quoted;
}

// Appends a member or an element to a place's text: ".key" (or just "key" at
// the start), ["odd key"] for keys that are no plain names, "[3]".
void AppendKey(std::string& path, std::string_view key) {
  if (!IsPlainKey(key)) {
    path += '[';
    path += QuoteJson(key);
    path += ']';
    return;
  }
  if (!path.empty()) path += '.';
  path += key;
}

void AppendIndex(std::string& path, std::size_t index) {
  path += '[';
  path += std::to_string(index);
  path += ']';
}

// A place in the job file. Places form a chain from the root through the
// caller's stack frames; each must outlive its children.
class Place {
 public:
  Place() = default;
  Place(const Place& parent, std::string_view key) : parent_(&parent), key_(key) {}
  Place(const Place& parent, std::size_t index) : parent_(&parent), index_(index), is_index_(true) {}

  std::string str() const {
    if (parent_ == nullptr) return {};
    std::string text = parent_->str();
    if (is_index_) {
      AppendIndex(text, index_);
    } else {
      AppendKey(text, key_);
    }
    return text;
  }

 private:
  const Place* parent_ = nullptr;
  std::string_view key_;
  std::size_t index_ = 0;
  bool is_index_ = false;
};

[[noreturn]] void Fail(const Place& at, const std::string& message) {
  const std::string place = at.str();
  throw JobError(place.empty() ? message : place + ": " + message);
}

// ---------------------------------------------------------------------------
// Parsing. A first pass over the text checks what the finished JSON value can
// no longer show: a key given twice in one object (the last would silently
// win) and runaway nesting. It also reports syntax errors. Both passes are
// linear in the size of the text.

class TextChecker : public nlohmann::json_sax<json> {
 public:
  bool null() override { return Element(); }
  bool boolean(bool) override { return Element(); }
  bool number_integer(number_integer_t) override { return Element(); }
  bool number_unsigned(number_unsigned_t) override { return Element(); }
  bool number_float(number_float_t, const string_t&) override { return Element(); }
  bool string(string_t&) override { return Element(); }
  bool binary(binary_t&) override { return Element(); }
  bool start_object(std::size_t) override { return Open(true); }
  bool start_array(std::size_t) override { return Open(false); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool key(string_t& key) override {
    Frame& frame = stack_.back();
    frame.key = key;
    if (!frame.keys.insert(key).second) throw JobError(CurrentPlace() + ": key given twice");
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) override {
    throw JobError(Describe(error));
  }

  // "not valid JSON: parse error at line 1, column 2: ..." from nlohmann's
  // "[json.exception.parse_error.101] parse error at line 1, column 2: ...".
  static std::string Describe(const std::exception& error) {
    std::string what = error.what();
    const std::size_t bracket = what.find("] ");
    if (what.rfind("[json.exception.", 0) == 0 && bracket != std::string::npos) what.erase(0, bracket + 2);
    return "not valid JSON: " + what;
  }

 private:
  struct Frame {
    bool object = false;
    std::set<std::string> keys;
    std::string key;        // objects: the key of the member being read
    std::size_t index = 0;  // arrays: the index of the element being read
  };

  bool Open(bool object) {
    if (stack_.size() >= static_cast<std::size_t>(kMaxDepth)) {
      throw JobError(fmt::format("not a job file: nested more than {} levels deep", kMaxDepth));
    }
    stack_.push_back(Frame{object, {}, {}, 0});
    return true;
  }
  bool Close() {
    stack_.pop_back();
    return Element();
  }
  bool Element() {
    if (!stack_.empty() && !stack_.back().object) ++stack_.back().index;
    return true;
  }
  // The place of the member or element being read.
  std::string CurrentPlace() const {
    std::string path;
    for (const Frame& frame : stack_) {
      if (frame.object) {
        AppendKey(path, frame.key);
      } else {
        AppendIndex(path, frame.index);
      }
    }
    return path;
  }

  std::vector<Frame> stack_;
};

json ParseText(std::string_view text) {
  TextChecker checker;
  try {
    json::sax_parse(text.begin(), text.end(), &checker);
    return json::parse(text.begin(), text.end());
  } catch (const json::exception& e) {
    throw JobError(TextChecker::Describe(e));
  }
}

// ---------------------------------------------------------------------------
// Scalars.

std::string TypeName(const json& value) {
  switch (value.type()) {
    case json::value_t::null: return "null";
    case json::value_t::object: return "an object";
    case json::value_t::array: return "an array";
    case json::value_t::string: return "a string";
    case json::value_t::boolean: return "a boolean";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned: return "an integer";
    case json::value_t::number_float: return "a number with a fraction";
    default: return "something else";
  }
}

[[noreturn]] void FailType(const Place& at, const char* expected, const json& value) {
  Fail(at, fmt::format("expected {}, got {}", expected, TypeName(value)));
}

// A JSON number as a double; out-of-range literals ("1e999") are refused.
double ReadNumber(const json& value, const Place& at) {
  if (!value.is_number()) FailType(at, "a number", value);
  const double number = value.get<double>();
  if (!std::isfinite(number)) Fail(at, "number too large");
  return number;
}

template <typename T>
T ReadScalar(const json& value, const Place& at) {
  if constexpr (std::is_same_v<T, bool>) {
    if (!value.is_boolean()) FailType(at, "true or false", value);
    return value.get<bool>();
  } else if constexpr (std::is_integral_v<T>) {
    if (!value.is_number_integer()) FailType(at, "an integer", value);
    constexpr auto kMin = static_cast<std::int64_t>(std::numeric_limits<T>::min());
    constexpr auto kMax = static_cast<std::int64_t>(std::numeric_limits<T>::max());
    const bool fits = value.is_number_unsigned()
                          ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(kMax)
                          : value.get<std::int64_t>() >= kMin && value.get<std::int64_t>() <= kMax;
    if (!fits) Fail(at, fmt::format("{} is outside the range {}..{}", value.dump(), kMin, kMax));
    return static_cast<T>(value.get<std::int64_t>());
  } else if constexpr (std::is_same_v<T, float>) {
    const double number = ReadNumber(value, at);
    if (std::fabs(number) > static_cast<double>(std::numeric_limits<float>::max())) {
      Fail(at, fmt::format("{} is beyond the range of a single-precision number", value.dump()));
    }
    return static_cast<float>(number);
  } else {
    static_assert(std::is_same_v<T, double>);
    return ReadNumber(value, at);
  }
}

const std::string& ReadString(const json& value, const Place& at) {
  if (!value.is_string()) FailType(at, "a string", value);
  return value.get_ref<const std::string&>();
}

CString ToCString(const std::string& text) { return CString(text.data(), static_cast<int>(text.size())); }

// ---------------------------------------------------------------------------
// Arrays of a field's shape: nested JSON arrays, each at most as long as the
// field's dimension; what is not given stays zero (or false).

template <typename A>
void ReadInto(const json& value, const Place& at, A& out) {
  if constexpr (std::rank_v<A> == 0) {
    out = ReadScalar<A>(value, at);
  } else {
    constexpr std::size_t kLength = std::extent_v<A>;
    if (!value.is_array()) {
      Fail(at, fmt::format("expected an array of at most {} elements, got {}", kLength, TypeName(value)));
    }
    if (value.size() > kLength) {
      Fail(at, fmt::format("{} elements given, at most {} fit", value.size(), kLength));
    }
    for (std::size_t i = 0; i < value.size(); ++i) ReadInto(value[i], Place(at, i), out[i]);
  }
}

// Zero-filled storage of array type A on the heap (machine profiles are large).
template <typename A>
struct Holder {
  A value{};
};

template <typename A>
std::unique_ptr<Holder<A>> ReadArray(const json& value, const Place& at) {
  auto holder = std::make_unique<Holder<A>>();
  ReadInto(value, at, holder->value);
  return holder;
}

// The six tool names of a step: NUL-terminated in 32 bytes each.
std::unique_ptr<Holder<char[6][32]>> ReadToolIds(const json& value, const Place& at) {
  auto holder = std::make_unique<Holder<char[6][32]>>();
  if (!value.is_array()) Fail(at, fmt::format("expected an array of at most 6 names, got {}", TypeName(value)));
  if (value.size() > 6) Fail(at, fmt::format("{} names given, at most 6 fit", value.size()));
  for (std::size_t i = 0; i < value.size(); ++i) {
    const Place here(at, i);
    const std::string& name = ReadString(value[i], here);
    if (name.size() > 31) Fail(here, fmt::format("name longer than 31 bytes ({} bytes)", name.size()));
    if (name.find('\0') != std::string::npos) Fail(here, "name contains a NUL byte");
    std::memcpy(holder->value[i], name.data(), name.size());
  }
  return holder;
}

// ---------------------------------------------------------------------------
// Unit-converting step setters: the reader refuses values whose converted
// result the field cannot hold, which the setters would silently saturate.

// A value that becomes a 16-bit count of millimetres (BendLength, ODC, BendingSpeed).
template <typename T>
T ReadShortMillimetres(const json& value, const Place& at, int unit) {
  const T number = ReadScalar<T>(value, at);
  const double mm = unit == 1 ? number * kInch : number;
  if (!(mm > -32768.5 && mm < 32767.5)) {
    Fail(at, fmt::format("{} is outside the range of the field (-32768..32767 millimetres)", value.dump()));
  }
  return number;
}

// A value truncated to `decimals` decimals through a 32-bit integer.
float ReadTruncated(const json& value, const Place& at, int decimals) {
  const float number = ReadScalar<float>(value, at);
  const double limit = 2147483647.0 / std::pow(10.0, decimals);
  if (!(std::fabs(number) < limit)) {
    Fail(at, fmt::format("{} is too large for the field (at most {:.0f} in magnitude)", value.dump(), limit));
  }
  return number;
}

// ---------------------------------------------------------------------------
// Record fields: one entry per setter, in the record's declaration order.

template <typename R>
struct FieldSpec {
  std::string_view name;  // the accessor stem
  void (*apply)(R& record, const json& value, const Place& at, int unit);
};

#define WYR_SCALAR(R, T, M) \
  FieldSpec<R> { #M, [](R& r, const json& v, const Place& at, int) { r.Set##M(ReadScalar<T>(v, at)); } }
#define WYR_STRING(R, M) \
  FieldSpec<R> { #M, [](R& r, const json& v, const Place& at, int) { r.Set##M(ToCString(ReadString(v, at))); } }
#define WYR_ARRAY(R, A, M) \
  FieldSpec<R> { #M, [](R& r, const json& v, const Place& at, int) { r.Set##M(ReadArray<A>(v, at)->value); } }

const auto& StepFields() {
  using R = CPPStepInfo;
  static const auto fields = std::to_array<FieldSpec<R>>({
      WYR_SCALAR(R, int, NumberInSquence),
      WYR_STRING(R, SetUpName),
      WYR_SCALAR(R, int, SetupIndex),
      WYR_SCALAR(R, int, BendType),
      WYR_SCALAR(R, int, ControlType),
      {"StepValue",
       [](R& r, const json& v, const Place& at, int unit) {
         r.SetStepValue(ReadTruncated(v, at, unit == 1 ? 3 : 0), unit);
       }},
      WYR_SCALAR(R, short, CycleNo),
      WYR_SCALAR(R, short, CoiningFlag),
      WYR_SCALAR(R, short, Mode),
      {"BendLength",
       [](R& r, const json& v, const Place& at, int unit) {
         r.SetBendLength(ReadShortMillimetres<float>(v, at, unit), unit);
       }},
      WYR_SCALAR(R, float, BendAngle),
      WYR_SCALAR(R, float, Y1),
      WYR_SCALAR(R, float, Y2),
      WYR_ARRAY(R, double[4], XX),
      WYR_ARRAY(R, double[4], YY),
      WYR_ARRAY(R, double[4], ZZ),
      WYR_SCALAR(R, float, BendDeduction),
      WYR_SCALAR(R, float, TonnageValue),
      {"ODC",
       [](R& r, const json& v, const Place& at, int unit) { r.SetODC(ReadShortMillimetres<float>(v, at, unit), unit); }},
      {"RetractStroke",
       [](R& r, const json& v, const Place& at, int unit) {
         r.SetRetractStroke(ReadTruncated(v, at, unit == 1 ? 2 : 1), unit);
       }},
      {"Offset",
       [](R& r, const json& v, const Place& at, int unit) {
         r.SetOffset(ReadTruncated(v, at, unit == 1 ? 2 : 1), unit);
       }},
      WYR_SCALAR(R, double, MaterialVPos),
      {"ToolReverse",
       [](R& r, const json& v, const Place& at, int) { r.SetTollReverse(ReadArray<bool[6]>(v, at)->value); }},
      {"ToolID", [](R& r, const json& v, const Place& at, int) { r.SetToolID(ReadToolIds(v, at)->value); }},
      WYR_ARRAY(R, driverwyr_long[6], RayID),
      WYR_SCALAR(R, float, PinchPointValue),
      WYR_SCALAR(R, short, FlagAutoCompen),
      WYR_SCALAR(R, short, BGRetractFlag),
      {"BendingSpeed",
       [](R& r, const json& v, const Place& at, int unit) {
         r.SetBendingSpeed(ReadShortMillimetres<double>(v, at, unit), unit);
       }},
      WYR_SCALAR(R, short, ReturnSpeed),
      WYR_SCALAR(R, float, DwellBG),
      WYR_SCALAR(R, float, DwellEndBend),
      WYR_SCALAR(R, float, Y1Compen),
      WYR_SCALAR(R, float, Y2Compen),
      WYR_SCALAR(R, float, X1Compen),
      WYR_SCALAR(R, float, X2Compen),
      WYR_SCALAR(R, float, R1Compen),
      WYR_SCALAR(R, float, R2Compen),
      WYR_SCALAR(R, float, Z1Compen),
      WYR_SCALAR(R, float, Z2Compen),
      WYR_SCALAR(R, float, AngleCompen),
      WYR_SCALAR(R, short, BendNoBGPos),
      WYR_STRING(R, AuxFunc),
      WYR_SCALAR(R, short, FlagSheetMove),
      WYR_SCALAR(R, short, SequenceOrder),
      WYR_SCALAR(R, float, FlangeLength),
  });
  return fields;
}

const auto& ToolFields() {
  using R = CPPTool;
  static const auto fields = std::to_array<FieldSpec<R>>({
      WYR_STRING(R, ToolName),
      WYR_STRING(R, ToolType),
      WYR_STRING(R, Category),
      WYR_ARRAY(R, double[64][2], Profile),
      WYR_SCALAR(R, int, NumProfilePoint),
      WYR_ARRAY(R, double[2], TipPoint),
      WYR_ARRAY(R, double[2], PrmyAttachPoint),
      WYR_ARRAY(R, double[2], SlaveAttachPoint),
      WYR_SCALAR(R, double, ToolHeight),
      WYR_SCALAR(R, double, ToolRealHeight),
      WYR_SCALAR(R, double, ToolWidth),
      WYR_SCALAR(R, double, Edge2ForceLine),
      WYR_SCALAR(R, bool, Reverse),
      WYR_SCALAR(R, int, SmallorLarger),
      WYR_SCALAR(R, double, VWidth),
      WYR_SCALAR(R, double, Angle),
      WYR_SCALAR(R, double, Radius),
      WYR_SCALAR(R, int, Flag4Die),
      WYR_SCALAR(R, double, XAttachOffset),
      WYR_SCALAR(R, double, StepHeight),
      WYR_SCALAR(R, double, MaxThickness),
      WYR_SCALAR(R, double, MinThickness),
      WYR_SCALAR(R, int, FollowType),
      WYR_SCALAR(R, double, FollowAngle),
      WYR_SCALAR(R, double, BackAngle),
      WYR_SCALAR(R, double, FrontOffset),
      WYR_SCALAR(R, double, BgEdgeMoveIn),
      WYR_SCALAR(R, double, MidPointOffset),
      WYR_SCALAR(R, double, SecondFollowAngle),
      WYR_SCALAR(R, double, TipRadius),
      WYR_SCALAR(R, double, TipOffset),
      WYR_SCALAR(R, double, VOffset),
      WYR_SCALAR(R, double, TipHeightOffset),
      WYR_SCALAR(R, double, TipAngle),
      WYR_SCALAR(R, double, VAngle),
      WYR_SCALAR(R, int, Sectional),
      WYR_SCALAR(R, float, PunchResistance),
      WYR_SCALAR(R, float, DieResistance),
  });
  return fields;
}

const auto& SetupFields() {
  using R = CPPSetup;
  static const auto fields = std::to_array<FieldSpec<R>>({
      WYR_STRING(R, SetupName),
      WYR_SCALAR(R, int, ControlType),
      WYR_STRING(R, MachineModel),
      WYR_SCALAR(R, int, SetupIndex),
      WYR_STRING(R, UserMachineName),
      WYR_SCALAR(R, float, BendingCoefficient),
  });
  return fields;
}

const auto& MachineFields() {
  using R = CPPMachine;
  static const auto fields = std::to_array<FieldSpec<R>>({
      WYR_STRING(R, UserMachineName),
      WYR_STRING(R, MachineName),
      WYR_STRING(R, CtrlSystem),
      WYR_STRING(R, FingerType),
      WYR_STRING(R, ProtocolBoard),
      WYR_SCALAR(R, int, CylinderNumber),
      WYR_SCALAR(R, bool, LengthUnit),
      WYR_SCALAR(R, double, Tonnage),
      WYR_SCALAR(R, double, MinTonnage),
      WYR_SCALAR(R, double, FrameTightness),
      WYR_SCALAR(R, double, OriginPressure),
      WYR_SCALAR(R, double, MaxPressure),
      WYR_SCALAR(R, double, MaxBendingLength),
      WYR_SCALAR(R, double, MaxStrokeHeight),
      WYR_SCALAR(R, double, OpenHeight),
      WYR_SCALAR(R, double, SignificantHeight),
      WYR_SCALAR(R, double, LowerBeamHeight),
      WYR_SCALAR(R, double, MainBeamSpan),
      WYR_SCALAR(R, double, SignifcantSpan),
      WYR_SCALAR(R, double, MainBodyDepth),
      WYR_SCALAR(R, int, BlockInUpBeam),
      WYR_SCALAR(R, int, BlockInLowBeam),
      WYR_ARRAY(R, float[32][3], ExtrusionVectorBlockOfUpBeam),
      WYR_ARRAY(R, float[32][3], ExtrusionVectorBlockOfLowerBeam),
      WYR_ARRAY(R, double[32][64][3], UpBeamProfile),
      WYR_ARRAY(R, int[32], NumUpBeamPoint),
      WYR_ARRAY(R, double[32][64][3], LowBeamProfile),
      WYR_ARRAY(R, int[32], NumLowerBeamPoint),
      WYR_ARRAY(R, double[2], UpBeamAttach),
      WYR_ARRAY(R, double[2], LowBeamAttach),
      WYR_SCALAR(R, bool, clampAtCerter),
      WYR_SCALAR(R, double, ClampLength),
      WYR_SCALAR(R, double, ClampPitch),
      WYR_SCALAR(R, double, DefaultPHLLength),
      WYR_SCALAR(R, double, DefaultPHLPitch),
      WYR_ARRAY(R, double[64][2], PHLProfile),
      WYR_SCALAR(R, int, NumPHLPoint),
      WYR_ARRAY(R, double[2], PHLTopAttach),
      WYR_ARRAY(R, double[2][2], PHLPunchAttach),
      WYR_ARRAY(R, double[2][2], PHLClampAttach),
      WYR_ARRAY(R, double[64][2], ClampProfile),
      WYR_SCALAR(R, int, NumClampPoint),
      WYR_ARRAY(R, double[2], ClampAttach),
  });
  return fields;
}

const auto& GaugeFields() {
  using R = CPPBGauge;
  static const auto fields = std::to_array<FieldSpec<R>>({
      WYR_SCALAR(R, int, Num),
      WYR_STRING(R, ControlSystem),
      WYR_STRING(R, FingerType),
      WYR_SCALAR(R, int, NumberOfAxis),
      WYR_SCALAR(R, int, AdjustmentMethod),
      WYR_SCALAR(R, int, LengthUnit),
      WYR_SCALAR(R, double, FingerWidth),
      WYR_SCALAR(R, double, FingerThickness),
      WYR_SCALAR(R, double, FingerVLower),
      WYR_SCALAR(R, double, FingerVUpper),
      WYR_SCALAR(R, int, FingerAdjustLocation),
      WYR_SCALAR(R, int, FingerAdjustHeight),
      WYR_SCALAR(R, int, FingerHLeft),
      WYR_SCALAR(R, int, FingerHRight),
      WYR_SCALAR(R, double, FingerContactMin),
      WYR_SCALAR(R, double, YRangeMin),
      WYR_SCALAR(R, double, YRangeMax),
      WYR_SCALAR(R, double, ZRangeMin),
      WYR_SCALAR(R, double, ZRangeMax),
      WYR_ARRAY(R, double[64][3], BodyProfile),
      WYR_SCALAR(R, int, NumBodyPoint),
      WYR_ARRAY(R, double[3], BodyDir),
      WYR_ARRAY(R, double[64][3], FingerProfile),
      WYR_SCALAR(R, int, NumFingerPoint),
      WYR_ARRAY(R, double[3], FingerDir),
      WYR_ARRAY(R, double[64][3], MotorProfile),
      WYR_SCALAR(R, int, NumMotorPoint),
      WYR_ARRAY(R, double[3], MotorDir),
  });
  return fields;
}

#undef WYR_SCALAR
#undef WYR_STRING
#undef WYR_ARRAY

const json& ExpectObject(const json& value, const Place& at) {
  if (!value.is_object()) FailType(at, "an object", value);
  return value;
}

const json& ExpectArray(const json& value, const Place& at) {
  if (!value.is_array()) FailType(at, "an array", value);
  return value;
}

// Fills `records` from the JSON array `value`: one default record per
// element, then the setters of the keys present, in declaration order.
template <typename R, typename Fields>
void ReadRecords(const json& value, const Place& at, const Fields& fields, const char* class_name,
                 int unit, RecordArray<R>& records) {
  ExpectArray(value, at);
  if (value.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) Fail(at, "too many records");
  records.SetSize(static_cast<int>(value.size()));
  for (std::size_t i = 0; i < value.size(); ++i) {
    const Place record_at(at, i);
    const json& object = ExpectObject(value[i], record_at);
    for (const auto& item : object.items()) {
      bool known = false;
      for (const auto& field : fields) known = known || field.name == item.key();
      if (!known) Fail(Place(record_at, item.key()), fmt::format("unknown key: no settable field of {}", class_name));
    }
    R& record = records[static_cast<int>(i)];
    for (const auto& field : fields) {
      const auto found = object.find(field.name);
      if (found != object.end()) field.apply(record, *found, Place(record_at, field.name), unit);
    }
  }
}

// ---------------------------------------------------------------------------
// Paths: relative ones are resolved against the job file's folder.

std::string ResolvePath(const std::string& text, const std::filesystem::path& folder, const Place& at) {
  if (text.empty()) return text;
  if (text.find('\0') != std::string::npos) Fail(at, "path contains a NUL byte");
  try {
    // JSON text is UTF-8; the driver takes the path in the system's own form.
    std::filesystem::path path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
    if (path.is_relative()) path = folder / path;
    path.make_preferred();
    return path.string();
  } catch (const std::exception&) {
    Fail(at, "cannot be used as a path on this system");
  }
}

void ReadPaths(const json& value, const std::filesystem::path& folder, const Place& at, Job& job) {
  ExpectObject(value, at);
  for (const auto& item : value.items()) {
    const Place here(at, item.key());
    std::string* target = item.key() == "program"      ? &job.program_path
                          : item.key() == "data"       ? &job.data_path
                          : item.key() == "conversion" ? &job.conversion_path
                                                       : nullptr;
    if (target == nullptr) Fail(here, "unknown key; the paths are \"program\", \"data\" and \"conversion\"");
    *target = ResolvePath(ReadString(item.value(), here), folder, here);
  }
}

void ReadMaterial(const json& value, const Place& at, Job& job) {
  ExpectObject(value, at);
  for (const auto& item : value.items()) {
    const std::string& key = item.key();
    if (key != "thickness" && key != "tensile" && key != "type" && key != "name") {
      Fail(Place(at, key), "unknown key; a material has \"thickness\", \"tensile\" and \"type\" or \"name\"");
    }
  }
  MaterialSpec material;
  for (const char* key : {"thickness", "tensile"}) {
    const auto found = value.find(key);
    if (found == value.end()) Fail(Place(at, key), "missing");
    const float number = ReadScalar<float>(*found, Place(at, key));
    (std::string_view(key) == "thickness" ? material.thickness : material.tensile) = number;
  }
  const auto type = value.find("type");
  const auto name = value.find("name");
  if (type != value.end() && name != value.end()) Fail(at, "give either \"type\" or \"name\", not both");
  if (type == value.end() && name == value.end()) Fail(at, "give either \"type\" or \"name\"");
  if (type != value.end()) {
    material.kind = ReadScalar<int>(*type, Place(at, "type"));
  } else {
    material.kind = ReadString(*name, Place(at, "name"));
  }
  job.material = std::move(material);
}

// ---------------------------------------------------------------------------
// The operator's script.

struct EditBox {
  int id;
  std::string_view name;
};
// The dialog's editable boxes and the members bound to them.
constexpr EditBox kEditBoxes[] = {
    {1080, "ProgramName"},      {1081, "PartReference"},  {1084, "Hardness"},
    {1011, "ControlPunchName"}, {1012, "ControlDieName"}, {1013, "ControlDieHolderName"},
    {1014, "ControlSpacerName"},
};

std::string EditBoxList() {
  std::string list;
  for (const EditBox& box : kEditBoxes) {
    if (!list.empty()) list += box.id == kEditBoxes[std::size(kEditBoxes) - 1].id ? " or " : ", ";
    list += fmt::format("{} ({})", box.id, box.name);
  }
  return list;
}

int ReadEditBox(const json& value, const Place& at) {
  if (value.is_string()) {
    const std::string& name = value.get_ref<const std::string&>();
    for (const EditBox& box : kEditBoxes) {
      if (box.name == name) return box.id;
    }
    Fail(at, fmt::format("{} is not an editable box; type into {}", QuoteJson(name), EditBoxList()));
  }
  if (!value.is_number_integer()) FailType(at, "a control id or a member name", value);
  for (const EditBox& box : kEditBoxes) {
    if (value.is_number_unsigned() ? value.get<std::uint64_t>() == static_cast<std::uint64_t>(box.id)
                                   : value.get<std::int64_t>() == box.id) {
      return box.id;
    }
  }
  Fail(at, fmt::format("{} is not an editable box; type into {}", value.dump(), EditBoxList()));
}

OperatorAction ReadAction(const json& value, const Place& at, const std::filesystem::path& folder) {
  ExpectObject(value, at);
  static constexpr std::string_view kKinds[] = {"type", "select", "browse", "press"};
  std::string_view k;  // the action's kind: the one key of kKinds present
  for (const auto& item : value.items()) {
    const std::string& key = item.key();
    const auto* kind = std::find(std::begin(kKinds), std::end(kKinds), key);
    if (kind != std::end(kKinds)) {
      if (!k.empty()) Fail(at, fmt::format("one action per object, not both \"{}\" and \"{}\"", k, key));
      k = *kind;
    } else if (key != "text") {
      Fail(Place(at, key), "unknown key; an action is \"type\" (with \"text\"), \"select\", \"browse\" or \"press\"");
    }
  }
  if (k.empty()) Fail(at, "expected an action: \"type\" (with \"text\"), \"select\", \"browse\" or \"press\"");
  if (k != "type" && value.contains("text")) Fail(Place(at, "text"), "only a \"type\" action has a text");
  const Place here(at, k);
  const json& argument = value.at(std::string(k));
  OperatorAction action;
  if (k == "type") {
    action.kind = OperatorAction::Kind::kType;
    action.control = ReadEditBox(argument, here);
    const auto text = value.find("text");
    if (text == value.end()) Fail(Place(at, "text"), "missing: the text to type");
    action.text = ReadString(*text, Place(at, "text"));
  } else if (k == "select") {
    action.kind = OperatorAction::Kind::kSelect;
    action.text = ReadString(argument, here);
  } else if (k == "browse") {
    action.kind = OperatorAction::Kind::kBrowse;
    if (argument.is_null()) {
      action.folder.reset();
    } else {
      action.folder = ResolvePath(ReadString(argument, here), folder, here);
    }
  } else {
    action.kind = OperatorAction::Kind::kPress;
    const std::string& button = ReadString(argument, here);
    if (button == "create") {
      action.button = 1;
    } else if (button == "cancel") {
      action.button = 2;
    } else {
      Fail(here, fmt::format("expected \"create\" or \"cancel\", got {}", QuoteJson(button)));
    }
  }
  return action;
}

void ReadOperator(const json& value, const Place& at, const std::filesystem::path& folder, Job& job) {
  ExpectArray(value, at);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const Place entry_at(at, i);
    const json& entry = value[i];
    OperatorEntry parsed;
    if (entry.is_string() && entry.get_ref<const std::string&>() == "create") {
      parsed.kind = OperatorEntry::Kind::kCreate;
    } else if (entry.is_string() && entry.get_ref<const std::string&>() == "cancel") {
      parsed.kind = OperatorEntry::Kind::kCancel;
    } else if (entry.is_array()) {
      parsed.kind = OperatorEntry::Kind::kActions;
      for (std::size_t j = 0; j < entry.size(); ++j) {
        parsed.actions.push_back(ReadAction(entry[j], Place(entry_at, j), folder));
      }
    } else {
      const std::string got = entry.is_string() ? QuoteJson(entry.get_ref<const std::string&>()) : TypeName(entry);
      Fail(entry_at, fmt::format("expected \"create\", \"cancel\" or a list of actions, got {}", got));
    }
    job.operator_script.push_back(std::move(parsed));
  }
}

// ---------------------------------------------------------------------------
// Printing for `wyr check`.

// A double-quoted string with quotes, backslashes and control bytes escaped;
// other bytes are written as they are.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += fmt::format("\\x{:02X}", byte);
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

// A path as stored, bare; control bytes escaped so that it stays on its line.
std::string BarePath(std::string_view text) {
  const std::string quoted = Quoted(text);
  return quoted.substr(1, quoted.size() - 2);
}

class StoreWriter {
 public:
  std::string text;

  template <typename... Args>
  void Line(fmt::format_string<Args...> format, Args&&... args) {
    fmt::format_to(std::back_inserter(text), format, std::forward<Args>(args)...);
    text += '\n';
  }
  void Number(const std::string& place, std::string_view name, double value) {
    Line("{}.{}: {:.6g}", place, name, value);
  }
  void Integer(const std::string& place, std::string_view name, long long value) {
    Line("{}.{}: {}", place, name, value);
  }
  void String(const std::string& place, std::string_view name, const CString& value) {
    Line("{}.{}: {}", place, name, Quoted(value.view()));
  }
  void Pair(const std::string& place, std::string_view name, const double (&values)[4]) {
    Line("{}.{}[0]: {:.6g}", place, name, values[0]);
    Line("{}.{}[1]: {:.6g}", place, name, values[1]);
  }
};

void DescribeStep(StoreWriter& w, const std::string& at, const CPPStepInfo& s) {
  w.Integer(at, "NumberInSquence", s.GetNumberInSquence());
  w.String(at, "SetUpName", s.GetSetUpName());
  w.Integer(at, "SetupIndex", s.GetSetupIndex());
  w.Integer(at, "BendType", s.GetBendType());
  w.Integer(at, "ControlType", s.GetControlType());
  w.Number(at, "StepValue", s.GetStepValue());
  w.Integer(at, "CycleNo", s.GetCycleNo());
  w.Integer(at, "CoiningFlag", s.GetCoiningFlag());
  w.Integer(at, "Mode", s.GetMode());
  w.Integer(at, "BendLength", s.GetBendLength());
  w.Number(at, "BendAngle", s.GetBendAngle());
  w.Number(at, "Y1", s.GetY1());
  w.Number(at, "Y2", s.GetY2());
  double axis[4] = {};
  s.GetXX(axis);
  w.Pair(at, "XX", axis);
  s.GetYY(axis);
  w.Pair(at, "YY", axis);
  s.GetZZ(axis);
  w.Pair(at, "ZZ", axis);
  w.Number(at, "TonnageValue", s.GetTonnageValue());
  w.Integer(at, "ODC", s.GetODC());
  w.Number(at, "RetractStroke", s.GetRetractStroke());
  w.Number(at, "Offset", s.GetOffset());
  bool reverse[6] = {};
  s.GetToolReverse(reverse);
  std::string flags;
  for (const bool flag : reverse) flags += std::string(flags.empty() ? "" : ", ") + (flag ? "true" : "false");
  w.Line("{}.ToolReverse: [{}]", at, flags);
  char ids[6][32] = {};
  s.GetToolID(ids);
  for (int i = 0; i < 6; ++i) {
    // A name ends at its NUL; one that fills all 32 bytes has none.
    const std::size_t length = static_cast<std::size_t>(std::find(ids[i], ids[i] + 32, '\0') - ids[i]);
    w.Line("{}.ToolID[{}]: {}", at, i, Quoted(std::string_view(ids[i], length)));
  }
  w.Number(at, "PinchPointValue", s.GetPinchPointValue());
  w.Integer(at, "FlagAutoCompen", s.GetFlagAutoCompen());
  w.Integer(at, "BGRetractFlag", s.GetBGRetractFlag());
  w.Integer(at, "BendingSpeed", s.GetBendingSpeed());
  w.Integer(at, "ReturnSpeed", s.GetReturnSpeed());
  w.Number(at, "DwellBG", s.GetDwellBG());
  w.Number(at, "DwellEndBend", s.GetDwellEndBend());
  w.Number(at, "Y1Compen", s.GetY1Compen());
  w.Number(at, "Y2Compen", s.GetY2Compen());
  w.Number(at, "X1Compen", s.GetX1Compen());
  w.Number(at, "X2Compen", s.GetX2Compen());
  w.Number(at, "R1Compen", s.GetR1Compen());
  w.Number(at, "R2Compen", s.GetR2Compen());
  w.Number(at, "Z1Compen", s.GetZ1Compen());
  w.Number(at, "Z2Compen", s.GetZ2Compen());
  w.Number(at, "AngleCompen", s.GetAngleCompen());
  w.Integer(at, "BendNoBGPos", s.GetBendNoBGPos());
  w.String(at, "AuxFunc", s.GetAuxFunc());
  w.Integer(at, "FlagSheetMove", s.GetFlagSheetMove());
  w.Integer(at, "SequenceOrder", s.GetSequenceOrder());
  w.Number(at, "FlangeLength", s.GetFlangeLength());
}

void DescribeTool(StoreWriter& w, const std::string& at, const CPPTool& t) {
  w.String(at, "ToolName", t.GetToolName());
  w.String(at, "Category", t.GetCategory());
  w.Number(at, "VWidth", t.GetVWidth());
  w.Number(at, "Angle", t.GetAngle());
  w.Number(at, "Radius", t.GetRadius());
  w.Integer(at, "Sectional", t.GetSectional());
  w.Integer(at, "SmallorLarger", t.GetSmallorLarger());
  w.Number(at, "PunchResistance", t.GetPunchResistance());
  w.Number(at, "DieResistance", t.GetDieResistance());
}

void DescribeSetup(StoreWriter& w, const std::string& at, const CPPSetup& s) {
  w.String(at, "SetupName", s.GetSetupName());
  w.Integer(at, "ControlType", s.GetControlType());
  w.String(at, "MachineModel", s.GetMachineModel());
  w.Integer(at, "SetupIndex", s.GetSetupIndex());
  w.String(at, "UserMachineName", s.GetUserMachineName());
  w.Number(at, "BendingCoefficient", s.GetBendingCoefficient());
}

void DescribeMachine(StoreWriter& w, const std::string& at, const CPPMachine& m) {
  w.String(at, "UserMachineName", m.GetUserMachineName());
  w.Number(at, "Tonnage", m.GetTonnage());
  w.Number(at, "MinTonnage", m.GetMinTonnage());
  w.Number(at, "MaxBendingLength", m.GetMaxBendingLength());
}

template <typename R, typename Describe>
void DescribeRecords(StoreWriter& w, std::string_view name, const RecordArray<R>& records, Describe describe) {
  w.Line("{}: {}", name, records.GetSize());
  for (int i = 0; i < records.GetSize(); ++i) describe(w, fmt::format("{}[{}]", name, i), records[i]);
}

void ParseJobText(std::string_view text, const std::filesystem::path& folder, Job& job) {
  const json root = ParseText(text);
  const Place top;
  if (!root.is_object()) Fail(top, fmt::format("a job file holds a JSON object, not {}", TypeName(root)));
  static constexpr std::string_view kKeys[] = {"unit",     "paths",    "material", "steps",   "tools",
                                               "setups",   "machines", "bgauges",  "operator"};
  for (const auto& item : root.items()) {
    if (std::find(std::begin(kKeys), std::end(kKeys), item.key()) == std::end(kKeys)) {
      Fail(Place(top, item.key()),
           "unknown key; a job has unit, paths, material, steps, tools, setups, machines, bgauges and operator");
    }
  }

  job.folder = folder;
  job.unit = 0;
  job.program_path.clear();
  job.data_path.clear();
  job.conversion_path.clear();
  job.material.reset();
  job.operator_script.clear();
  // The unit first: the step setters convert with it.
  if (const auto it = root.find("unit"); it != root.end()) job.unit = ReadScalar<int>(*it, Place(top, "unit"));
  if (const auto it = root.find("paths"); it != root.end()) ReadPaths(*it, folder, Place(top, "paths"), job);
  if (const auto it = root.find("material"); it != root.end()) ReadMaterial(*it, Place(top, "material"), job);

  auto records = [&](const char* key, const auto& fields, const char* class_name, auto& target) {
    target.RemoveAll();
    if (const auto it = root.find(key); it != root.end()) {
      ReadRecords(*it, Place(top, key), fields, class_name, job.unit, target);
    }
  };
  records("steps", StepFields(), "CPPStepInfo", job.steps);
  records("tools", ToolFields(), "CPPTool", job.tools);
  records("setups", SetupFields(), "CPPSetup", job.setups);
  records("machines", MachineFields(), "CPPMachine", job.machines);
  records("bgauges", GaugeFields(), "CPPBGauge", job.gauges);

  if (const auto it = root.find("operator"); it != root.end()) {
    ReadOperator(*it, Place(top, "operator"), folder, job);
  }
}

}  // namespace

// ---------------------------------------------------------------------------

void ParseJob(std::string_view text, const std::filesystem::path& folder, Job& job) {
  try {
    ParseJobText(text, folder, job);
  } catch (const std::bad_alloc&) {
    throw JobError("the job is too large for the memory available");
  }
}

void LoadJobFile(const std::filesystem::path& file, Job& job) {
  std::filesystem::path folder;
  std::string text;
  try {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) throw JobError("is a folder, not a job file");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw JobError("cannot be opened");
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) throw JobError("cannot be read");
    text = std::move(content).str();
    folder = std::filesystem::absolute(file).parent_path().lexically_normal();
  } catch (const std::filesystem::filesystem_error&) {
    throw JobError("cannot be opened");
  }
  ParseJob(text, folder, job);
}

void ApplyJob(Job& job) {
  if (!CreatePPDBInstance()) throw std::runtime_error("the driver's store could not be created");
  SetUnit(job.unit);
  SetPathNames(ToCString(job.program_path), ToCString(job.data_path), ToCString(job.conversion_path));
  if (job.material) {
    const MaterialSpec& material = *job.material;
    if (const int* type = std::get_if<int>(&material.kind)) {
      SetMaterial_1(material.thickness, material.tensile, *type);
    } else {
      SetMaterial_2(material.thickness, material.tensile, ToCString(std::get<std::string>(material.kind)));
    }
  }
  InitPPSequence(&job.steps);
  InitToolInfo(&job.tools);
  InitSetupInfo(&job.setups);
  InitMachineInfo(&job.machines);
  InitBkGaugeInfo(&job.gauges);
}

std::string DescribeStore(const driverwyr::StoreCopy& store) {
  StoreWriter w;
  w.Line("unit: {} ({})", store.unit, store.unit == 1 ? "inch" : "millimetre");
  w.Line("path program: {}", BarePath(store.programPath.view()));
  w.Line("path data: {}", BarePath(store.dataPath.view()));
  w.Line("path conversion: {}", BarePath(store.conversionPath.view()));
  w.Line("material.thickness: {:.6g}", store.materialThickness);
  w.Line("material.tensile: {:.6g}", store.materialTensile);
  w.Line("material.type: {}", store.materialType);
  DescribeRecords(w, "steps", store.steps, DescribeStep);
  DescribeRecords(w, "tools", store.tools, DescribeTool);
  DescribeRecords(w, "setups", store.setups, DescribeSetup);
  DescribeRecords(w, "machines", store.machines, DescribeMachine);
  w.Line("bgauges: {}", store.gauges.GetSize());
  return std::move(w.text);
}

}  // namespace wyr
