#include "store_printer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <type_traits>

#include "driverwyr/record_fields.h"
#include "driverwyr/units.h"

namespace wyr {
namespace {

// One listed field: how to print it from a record. `at` is the record's
// place ("steps[3]").
template <typename R>
struct ListedField {
  int position;  // 0: not listed
  void (*print)(OutputBuffer& out, std::string_view at, const R& record);
};

void PrintNumber(OutputBuffer& out, std::string_view at, std::string_view name, double value) {
  out.Format(FMT_COMPILE("{}.{}: {:.6g}\n"), at, name, value);
}

template <typename T>
void PrintValue(OutputBuffer& out, std::string_view at, std::string_view name, T value) {
  if constexpr (std::is_same_v<T, bool>) {
    out.Format(FMT_COMPILE("{}.{}: {}\n"), at, name, value ? "true" : "false");
  } else if constexpr (std::is_floating_point_v<T>) {
    PrintNumber(out, at, name, static_cast<double>(value));
  } else {
    out.Format(FMT_COMPILE("{}.{}: {}\n"), at, name, static_cast<long long>(value));
  }
}

void PrintQuoted(OutputBuffer& out, std::string_view text) {
  out.Append('"');
  out.AppendEscaped(text, '"', true);
  out.Append('"');
}

void PrintString(OutputBuffer& out, std::string_view at, std::string_view name, const CString& value) {
  out.Format(FMT_COMPILE("{}.{}: "), at, name);
  PrintQuoted(out, value.view());
  out.Append('\n');
}

// The first `kRows` rows of an array field: flags on one line, names (char
// rows) and numbers one a line. Arrays that are not listed print nothing.
template <int kRows, typename E, std::size_t N>
void PrintRows(OutputBuffer& out, std::string_view at, std::string_view name, const E (&values)[N]) {
  static_assert(kRows >= 0 && static_cast<std::size_t>(kRows) <= N);
  if constexpr (kRows == 0) {
    return;
  } else if constexpr (std::is_same_v<E, bool>) {
    out.Format(FMT_COMPILE("{}.{}: ["), at, name);
    for (int i = 0; i < kRows; ++i) {
      if (i != 0) out.Append(", ");
      out.Append(values[i] ? "true" : "false");
    }
    out.Append("]\n");
  } else if constexpr (std::is_array_v<E>) {
    static_assert(std::is_same_v<std::remove_extent_t<E>, char>, "listed rows are names or numbers");
    for (int i = 0; i < kRows; ++i) {
      // A name ends at its NUL; one that fills its row has none.
      const char* row = values[i];
      const std::size_t length = static_cast<std::size_t>(std::find(row, row + std::extent_v<E>, '\0') - row);
      out.Format(FMT_COMPILE("{}.{}[{}]: "), at, name, i);
      PrintQuoted(out, std::string_view(row, length));
      out.Append('\n');
    }
  } else {
    for (int i = 0; i < kRows; ++i) {
      out.Format(FMT_COMPILE("{}.{}[{}]: {:.6g}\n"), at, name, i, static_cast<double>(values[i]));
    }
  }
}

#define WYR_LIST_SCALAR(Stem, GetType, SetType, Setter, Check) \
  {Check, [](OutputBuffer& o, std::string_view at, const R& r) { PrintValue(o, at, #Stem, r.Get##Stem()); }},
#define WYR_LIST_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  WYR_LIST_SCALAR(Stem, GetType, SetType, Setter, Check)
#define WYR_LIST_STRING(Stem, Setter, Check) \
  {Check, [](OutputBuffer& o, std::string_view at, const R& r) { PrintString(o, at, #Stem, r.Get##Stem()); }},
#define WYR_LIST_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) \
  {Check, [](OutputBuffer& o, std::string_view at, const R& r) {          \
     Elem values[Rows] Inner = {};                                        \
     r.Get##Stem(values);                                                 \
     PrintRows<CheckRows>(o, at, #Stem, values);                          \
   }},
#define WYR_LIST_INTERNAL(Stem, Type)

// Every field of each record class with its position in the listing.
template <typename R>
struct FieldTable;
#define WYR_FIELD_TABLE(Class, Fields, FieldlessSetters)                                     \
  template <>                                                                                \
  struct FieldTable<Class> {                                                                 \
    using R = Class;                                                                         \
    static constexpr ListedField<R> kFields[] = {Fields(WYR_LIST_SCALAR, WYR_LIST_CONVERTED, \
                                                        WYR_LIST_STRING, WYR_LIST_ARRAY,     \
                                                        WYR_LIST_INTERNAL)};                 \
  };
DRIVERWYR_RECORDS(WYR_FIELD_TABLE)
#undef WYR_FIELD_TABLE
#undef WYR_LIST_SCALAR
#undef WYR_LIST_CONVERTED
#undef WYR_LIST_STRING
#undef WYR_LIST_ARRAY
#undef WYR_LIST_INTERNAL

template <typename R>
constexpr std::size_t ListedCount() {
  std::size_t count = 0;
  for (const ListedField<R>& field : FieldTable<R>::kFields) count += field.position > 0 ? 1 : 0;
  return count;
}

// The printers of the listed fields in listing order. Compiling it checks
// that the positions run from 1 without a gap or a repeat.
template <typename R>
constexpr auto Listing() {
  constexpr std::size_t kCount = ListedCount<R>();
  std::array<void (*)(OutputBuffer&, std::string_view, const R&), kCount> printers{};
  for (const ListedField<R>& field : FieldTable<R>::kFields) {
    if (field.position <= 0) continue;
    const auto slot = static_cast<std::size_t>(field.position - 1);
    if (slot >= kCount || printers[slot] != nullptr) throw "field positions must run 1, 2, ... without repeats";
    printers[slot] = field.print;
  }
  return printers;
}

template <typename R>
void DescribeRecords(OutputBuffer& out, std::string_view name, const RecordArray<R>& records) {
  static constexpr auto kListing = Listing<R>();
  out.Format(FMT_COMPILE("{}: {}\n"), name, records.GetSize());
  if (kListing.empty()) return;
  fmt::memory_buffer at;
  for (int i = 0; i < records.GetSize(); ++i) {
    at.clear();
    fmt::format_to(fmt::appender(at), FMT_COMPILE("{}[{}]"), name, i);
    const std::string_view place(at.data(), at.size());
    for (const auto print : kListing) print(out, place, records[i]);
  }
}

// A path as stored, bare; quotes and control bytes escaped so that it stays
// on its line.
void PrintPath(OutputBuffer& out, std::string_view name, const CString& path) {
  out.Format(FMT_COMPILE("path {}: "), name);
  out.AppendEscaped(path.view(), '"', true);
  out.Append('\n');
}

}  // namespace

void DescribeStore(const driverwyr::StoreCopy& store, OutputBuffer& out) {
  out.Format(FMT_COMPILE("unit: {} ({})\n"), store.unit, store.unit == driverwyr::kUnitInch ? "inch" : "millimetre");
  PrintPath(out, "program", store.programPath);
  PrintPath(out, "data", store.dataPath);
  PrintPath(out, "conversion", store.conversionPath);
  out.Format(FMT_COMPILE("material.thickness: {:.6g}\n"), static_cast<double>(store.materialThickness));
  out.Format(FMT_COMPILE("material.tensile: {:.6g}\n"), static_cast<double>(store.materialTensile));
  out.Format(FMT_COMPILE("material.type: {}\n"), store.materialType);
  DescribeRecords(out, "steps", store.steps);
  DescribeRecords(out, "tools", store.tools);
  DescribeRecords(out, "setups", store.setups);
  DescribeRecords(out, "machines", store.machines);
  DescribeRecords(out, "bgauges", store.gauges);  // no field listed: the count alone
}

}  // namespace wyr
