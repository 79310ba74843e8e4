#include "job_fields.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "driverwyr/record_fields.h"
#include "job_place.h"
#include "driverwyr/units.h"

namespace wyr {
namespace {

using driverwyr::Status;

static_assert(sizeof(driverwyr_long) == sizeof(int), "driverwyr_long is read as an int");

template <typename T>
constexpr Element ElementOf() {
  if constexpr (std::is_same_v<T, bool>) {
    return Element::kBool;
  } else if constexpr (std::is_same_v<T, short>) {
    return Element::kShort;
  } else if constexpr (std::is_same_v<T, float>) {
    return Element::kFloat;
  } else if constexpr (std::is_same_v<T, double>) {
    return Element::kDouble;
  } else {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T> && sizeof(T) == sizeof(int));
    return Element::kInt;
  }
}

template <typename T>
constexpr FieldShape ScalarShape(std::string_view name) {
  FieldShape shape;
  shape.name = name;
  shape.element = ElementOf<T>();
  shape.element_bytes = sizeof(T);
  return shape;
}

constexpr FieldShape ConvertedShape(FieldShape shape, bool whole_millimetres, int inch_decimals, int mm_decimals) {
  shape.converted = true;
  shape.whole_millimetres = whole_millimetres;
  shape.inch_decimals = inch_decimals;
  shape.mm_decimals = mm_decimals;
  return shape;
}

constexpr FieldShape StringShape(std::string_view name) {
  FieldShape shape;
  shape.name = name;
  shape.element = Element::kString;
  shape.element_bytes = sizeof(std::string);
  return shape;
}

// An array field: nested JSON arrays of its dimensions; the rows of a char
// array are names, one JSON string each.
template <typename A>
constexpr FieldShape ArrayShape(std::string_view name) {
  using E = std::remove_all_extents_t<A>;
  static_assert(std::rank_v<A> >= 1 && std::rank_v<A> <= 3);
  FieldShape shape;
  shape.name = name;
  if constexpr (std::is_same_v<E, char>) {
    static_assert(std::rank_v<A> == 2, "names come in rows");
    shape.element = Element::kName;
    shape.element_bytes = std::extent_v<A, 1>;
    shape.rank = 1;
    shape.dims = {std::extent_v<A, 0>, 0, 0};
  } else {
    shape.element = ElementOf<E>();
    shape.element_bytes = sizeof(E);
    shape.rank = static_cast<int>(std::rank_v<A>);
    shape.dims = {std::extent_v<A, 0>, std::extent_v<A, 1>, std::extent_v<A, 2>};
  }
  return shape;
}

// Back to the value a default record would be given: zero, false, empty.
template <typename T>
void ClearValue(T& value) {
  if constexpr (std::is_array_v<T>) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memset(&value, 0, sizeof value);
  } else if constexpr (std::is_same_v<T, std::string>) {
    value.clear();
  } else {
    value = T{};
  }
}

CString ToCString(const std::string& text) { return CString(text.data(), static_cast<int>(text.size())); }

// Refuses a value that a converting step setter would have to saturate.
Status CheckConverted(const FieldShape& shape, const JsonValue& raw, double number, int unit) {
  if (shape.whole_millimetres) {
    // A 16-bit count of millimetres (BendLength, ODC, BendingSpeed).
    const double mm = unit == driverwyr::kUnitInch ? number * driverwyr::kInchToMillimetres : number;
    if (!(mm > -32768.5 && mm < 32767.5)) {
      return Status::Invalid(
          fmt::format("{} is outside the range of the field (-32768..32767 millimetres)", NumberText(raw)));
    }
    return Status::Ok();
  }
  // Truncated to a number of decimals through a 32-bit integer.
  const int decimals = unit == driverwyr::kUnitInch ? shape.inch_decimals : shape.mm_decimals;
  const double limit = 2147483647.0 / std::pow(10.0, decimals);
  if (!(std::fabs(number) < limit)) {
    return Status::Invalid(
        fmt::format("{} is too large for the field (at most {:.0f} in magnitude)", NumberText(raw), limit));
  }
  return Status::Ok();
}

// What the field table gives for each record class: its settable fields as
// an enumeration and their shapes (in declaration order), the values kept
// for one record, and the calls of the setters.
template <typename R>
struct Traits;

#define WYR_ENUM(Stem, ...) k##Stem,
#define WYR_NONE(...)
#define WYR_STAGE_SCALAR(Stem, GetType, SetType, Setter, Check) SetType Stem{};
#define WYR_STAGE_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) SetType Stem{};
#define WYR_STAGE_STRING(Stem, Setter, Check) std::string Stem;
#define WYR_STAGE_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) Elem Stem[Rows] Inner{};
#define WYR_SHAPE_SCALAR(Stem, GetType, SetType, Setter, Check) ScalarShape<SetType>(#Stem),
#define WYR_SHAPE_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  ConvertedShape(ScalarShape<SetType>(#Stem), std::is_same_v<GetType, short>, InchDecimals, MmDecimals),
#define WYR_SHAPE_STRING(Stem, Setter, Check) StringShape(#Stem),
#define WYR_SHAPE_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) ArrayShape<Elem[Rows] Inner>(#Stem),
#define WYR_SLOT(Stem, ...) \
  case k##Stem:             \
    return &stage.Stem;
#define WYR_CLEAR(Stem, ...)  \
  case k##Stem:               \
    ClearValue(stage.Stem);   \
    break;
#define WYR_APPLY_SCALAR(Stem, GetType, SetType, Setter, Check) \
  if (given[k##Stem]) record.Setter(stage.Stem);
#define WYR_APPLY_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  if (given[k##Stem] && unit) record.Setter(stage.Stem, *unit);
#define WYR_APPLY_STRING(Stem, Setter, Check) \
  if (given[k##Stem]) record.Setter(ToCString(stage.Stem));
#define WYR_APPLY_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) \
  if (given[k##Stem]) record.Setter(stage.Stem);
#define WYR_CONVERT(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  case k##Stem:                                                                     \
    record.Setter(static_cast<SetType>(number), unit);                              \
    break;

#define WYR_TRAITS(Class, Fields, FieldlessSetters)                                                       \
  template <>                                                                                             \
  struct Traits<Class> {                                                                                  \
    enum Field : int { Fields(WYR_ENUM, WYR_ENUM, WYR_ENUM, WYR_ENUM, WYR_NONE) kFieldCount };            \
    static constexpr std::string_view kClassName = #Class;                                                \
    struct Stage {                                                                                        \
      Fields(WYR_STAGE_SCALAR, WYR_STAGE_CONVERTED, WYR_STAGE_STRING, WYR_STAGE_ARRAY, WYR_NONE)          \
    };                                                                                                    \
    static constexpr FieldShape kShapes[] = {                                                             \
        Fields(WYR_SHAPE_SCALAR, WYR_SHAPE_CONVERTED, WYR_SHAPE_STRING, WYR_SHAPE_ARRAY, WYR_NONE)};      \
    static void* Slot(Stage& stage, int field) {                                                          \
      switch (field) {                                                                                    \
        Fields(WYR_SLOT, WYR_SLOT, WYR_SLOT, WYR_SLOT, WYR_NONE) default : return nullptr;                \
      }                                                                                                   \
    }                                                                                                     \
    static void Clear(Stage& stage, int field) {                                                          \
      switch (field) {                                                                                    \
        Fields(WYR_CLEAR, WYR_CLEAR, WYR_CLEAR, WYR_CLEAR, WYR_NONE) default : break;                     \
      }                                                                                                   \
    }                                                                                                     \
    /* The setters of the given fields, in declaration order; the converting */                          \
    /* ones only once the unit is known. */                                                               \
    static void Apply(Class& record, const Stage& stage, const std::bitset<kFieldCount>& given,          \
                      [[maybe_unused]] const std::optional<int>& unit) {                                  \
      Fields(WYR_APPLY_SCALAR, WYR_APPLY_CONVERTED, WYR_APPLY_STRING, WYR_APPLY_ARRAY, WYR_NONE)          \
    }                                                                                                     \
    /* The converting setter of `field`. */                                                               \
    static void Convert([[maybe_unused]] Class& record, int field, [[maybe_unused]] double number,       \
                        [[maybe_unused]] int unit) {                                                      \
      switch (field) {                                                                                    \
        Fields(WYR_NONE, WYR_CONVERT, WYR_NONE, WYR_NONE, WYR_NONE) default : break;                      \
      }                                                                                                   \
    }                                                                                                     \
  };
DRIVERWYR_RECORDS(WYR_TRAITS)
#undef WYR_TRAITS
#undef WYR_ENUM
#undef WYR_NONE
#undef WYR_STAGE_SCALAR
#undef WYR_STAGE_CONVERTED
#undef WYR_STAGE_STRING
#undef WYR_STAGE_ARRAY
#undef WYR_SHAPE_SCALAR
#undef WYR_SHAPE_CONVERTED
#undef WYR_SHAPE_STRING
#undef WYR_SHAPE_ARRAY
#undef WYR_SLOT
#undef WYR_CLEAR
#undef WYR_APPLY_SCALAR
#undef WYR_APPLY_CONVERTED
#undef WYR_APPLY_STRING
#undef WYR_APPLY_ARRAY
#undef WYR_CONVERT

// The keys of a record class in byte order, with their field numbers.
template <typename R>
const std::vector<std::pair<std::string_view, int>>& SortedKeys() {
  static const std::vector<std::pair<std::string_view, int>> keys = [] {
    std::vector<std::pair<std::string_view, int>> list;
    for (int i = 0; i < Traits<R>::kFieldCount; ++i) list.emplace_back(Traits<R>::kShapes[i].name, i);
    std::sort(list.begin(), list.end());
    return list;
  }();
  return keys;
}

// Records are collected in blocks of about a mebibyte, so that growing never
// copies them; Finish copies each once into the array handed to the driver.
template <typename R>
constexpr std::size_t kBlockRecords = std::max<std::size_t>(1, (std::size_t{1} << 20) / sizeof(R));

}  // namespace

template <typename R>
struct RecordsReader<R>::State {
  using T = Traits<R>;
  static_assert(T::kFieldCount <= 64, "the reader marks given keys in 64 bits");

  // A converting setter that waits for the unit.
  struct Deferred {
    std::size_t record;
    int field;
    double number;   // the value checked for the field's element type
    JsonValue raw;   // as written, for the message
  };

  State(std::string_view name, const std::optional<int>& job_unit) : array_name(name), unit(job_unit) {}

  std::string_view array_name;
  const std::optional<int>& unit;
  std::unique_ptr<typename T::Stage> stage = std::make_unique<typename T::Stage>();
  std::bitset<T::kFieldCount> given;
  std::vector<std::vector<R>> blocks;
  std::size_t count = 0;  // records ended
  std::vector<Deferred> deferred;
  // For each field (and kFieldCount for the start of a record), the key that
  // followed it last time, or -1.
  std::array<int, T::kFieldCount + 1> next_key = [] {
    std::array<int, T::kFieldCount + 1> next{};
    next.fill(-1);
    return next;
  }();
  int previous_key = T::kFieldCount;

  R& At(std::size_t index) { return blocks[index / kBlockRecords<R>][index % kBlockRecords<R>]; }
};

template <typename R>
RecordsReader<R>::RecordsReader(std::string_view array_name, const std::optional<int>& unit)
    : state_(std::make_unique<State>(array_name, unit)) {}

template <typename R>
RecordsReader<R>::~RecordsReader() = default;

template <typename R>
int RecordsReader<R>::FindField(std::string_view key) {
  // Records of one array mostly give their keys in the same order: the key
  // that followed the previous one last time is tried first.
  State& s = *state_;
  int& guess = s.next_key[static_cast<std::size_t>(s.previous_key)];
  int field = -1;
  if (guess >= 0 && Traits<R>::kShapes[guess].name == key) {
    field = guess;
  } else {
    const auto& keys = SortedKeys<R>();
    const auto it = std::lower_bound(keys.begin(), keys.end(), key,
                                     [](const auto& entry, std::string_view k) { return entry.first < k; });
    if (it == keys.end() || it->first != key) return -1;
    field = it->second;
    guess = field;
  }
  s.previous_key = field;
  return field;
}

template <typename R>
const FieldShape& RecordsReader<R>::Shape(int field) const {
  return Traits<R>::kShapes[field];
}

template <typename R>
std::string_view RecordsReader<R>::ClassName() {
  return Traits<R>::kClassName;
}

template <typename R>
void RecordsReader<R>::BeginRecord() {
  State& s = *state_;
  for (int field = 0; field < Traits<R>::kFieldCount; ++field) {
    if (s.given[static_cast<std::size_t>(field)]) Traits<R>::Clear(*s.stage, field);
  }
  s.given.reset();
  s.previous_key = Traits<R>::kFieldCount;
}

template <typename R>
void RecordsReader<R>::Touch(int field) {
  state_->given.set(static_cast<std::size_t>(field));
}

template <typename R>
driverwyr::Status RecordsReader<R>::Store(int field, std::size_t flat, const JsonValue& value) {
  State& s = *state_;
  const FieldShape& shape = Traits<R>::kShapes[field];
  char* slot = static_cast<char*>(Traits<R>::Slot(*s.stage, field)) + flat * shape.element_bytes;
  if (Status status = ReadElement(shape.element, value, slot, shape.element_bytes); !status.ok()) return status;
  s.given.set(static_cast<std::size_t>(field));
  if (!shape.converted) return Status::Ok();
  double number = 0.0;
  if (shape.element == Element::kFloat) {
    float single = 0.0f;
    std::memcpy(&single, slot, sizeof single);
    number = single;
  } else {
    std::memcpy(&number, slot, sizeof number);
  }
  if (s.unit) return CheckConverted(shape, value, number, *s.unit);
  JsonValue raw = value;
  raw.text = {};
  s.deferred.push_back({s.count, field, number, raw});
  return Status::Ok();
}

template <typename R>
void RecordsReader<R>::EndRecord() {
  State& s = *state_;
  if (s.blocks.empty() || s.blocks.back().size() == kBlockRecords<R>) {
    s.blocks.emplace_back();
    s.blocks.back().reserve(kBlockRecords<R>);
  }
  R& record = s.blocks.back().emplace_back();
  Traits<R>::Apply(record, *s.stage, s.given, s.unit);
  ++s.count;
}

template <typename R>
std::size_t RecordsReader<R>::size() const {
  return state_->count;
}

template <typename R>
driverwyr::Status RecordsReader<R>::Finish(RecordArray<R>& out) {
  State& s = *state_;
  const int unit = s.unit.value_or(0);
  for (const typename State::Deferred& d : s.deferred) {
    const FieldShape& shape = Traits<R>::kShapes[d.field];
    if (Status status = CheckConverted(shape, d.raw, d.number, unit); !status.ok()) {
      std::string place(s.array_name);
      AppendIndex(place, d.record);
      AppendKey(place, shape.name);
      return status.WithContext(place);
    }
    Traits<R>::Convert(s.At(d.record), d.field, d.number, unit);
  }
  s.deferred.clear();
  out.RemoveAll();
  if (s.count > static_cast<std::size_t>(INT_MAX)) return Status::Invalid(std::string(s.array_name) + ": too many records");
  out.SetSize(static_cast<int>(s.count));
  int index = 0;
  for (std::vector<R>& block : s.blocks) {
    for (const R& record : block) out[index++] = record;
    std::vector<R>().swap(block);  // released as soon as it is copied
  }
  s.blocks.clear();
  s.count = 0;
  return Status::Ok();
}

template class RecordsReader<CPPStepInfo>;
template class RecordsReader<CPPTool>;
template class RecordsReader<CPPSetup>;
template class RecordsReader<CPPMachine>;
template class RecordsReader<CPPBGauge>;

}  // namespace wyr
