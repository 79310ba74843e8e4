// Every accessor of the five record classes, visited in declaration order.
//
// Fill gives every field (every element of every array, to the last slot of
// each capacity) its own value derived from a seed; ExpectFilled checks that a
// record holds exactly the values Fill gave for that seed. So a copy that
// skips, truncates or swaps any field, or an accessor pair that stores in the
// wrong place, shows up with the field's name and element index. Seed 0 stands
// for zero, false or empty everywhere: ExpectFilled(record, 0, {names}) checks
// a default record, whole arrays included, except the named fields.
#ifndef DRIVERWYR_TESTS_RECORDS_RECORD_FIELDS_H_
#define DRIVERWYR_TESTS_RECORDS_RECORD_FIELDS_H_

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>
#include <utility>

#include "driverwyr/driverwyr.h"
#include "driverwyr/record_fields.h"

// Lets GoogleTest print CString values in failure messages.
inline void PrintTo(const CString& s, std::ostream* os) {
  *os << '"' << s.str() << "\" (" << s.GetLength() << " bytes)";
}

namespace records_testing {

// Every field of the record classes' table (driverwyr/record_fields.h), in
// declaration order. Scalar and string fields are Get/Set pairs that store
// their value unchanged; a converting step setter (it takes a unit) is filled
// with whole millimetre values, which every one of them keeps; an array copies
// its number of rows. BendInnerRadius has no public accessor. SetBendType
// comes before CoiningFlag and Mode and gets a value that leaves both flags
// alone.
#define RECORDS_TESTING_SCALAR(Stem, GetType, SetType, Setter, Check) \
  v.Scalar(#Stem, &C::Get##Stem, &C::Setter);
#define RECORDS_TESTING_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  v.Converted(#Stem, &C::Get##Stem, &C::Setter);
#define RECORDS_TESTING_STRING(Stem, Setter, Check) v.Scalar(#Stem, &C::Get##Stem, &C::Setter);
#define RECORDS_TESTING_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) \
  v.Array(#Stem, &C::Get##Stem, &C::Setter, Rows);
#define RECORDS_TESTING_INTERNAL(Stem, Type)
#define RECORDS_TESTING_VISIT(Class, Fields, FieldlessSetters)                                  \
  template <class V>                                                                            \
  void VisitFields(V& v, const Class*) {                                                        \
    using C = Class;                                                                            \
    Fields(RECORDS_TESTING_SCALAR, RECORDS_TESTING_CONVERTED, RECORDS_TESTING_STRING,           \
           RECORDS_TESTING_ARRAY, RECORDS_TESTING_INTERNAL)                                     \
  }
DRIVERWYR_RECORDS(RECORDS_TESTING_VISIT)
#undef RECORDS_TESTING_VISIT
#undef RECORDS_TESTING_SCALAR
#undef RECORDS_TESTING_CONVERTED
#undef RECORDS_TESTING_STRING
#undef RECORDS_TESTING_ARRAY
#undef RECORDS_TESTING_INTERNAL

// The value Fill gives element `element` of the k-th value of a record.
// Numbers are distinct per field and seed and exact in a float; strings carry
// a NUL in the middle, so a copy that stops at the first NUL is caught; each
// 32-byte tool name has a NUL at byte 5 followed by non-zero bytes.
template <class T>
T SampleValue(const char* name, int seed, int k, int element) {
  if (seed == 0) return T{};
  if constexpr (std::is_same_v<T, CString>) {
    std::string text = std::string(name) + '\0' + std::to_string(seed);
    return CString(text.data(), static_cast<int>(text.size()));
  } else if constexpr (std::is_same_v<T, bool>) {
    return (seed + k) % 3 != 0;
  } else if constexpr (std::is_same_v<T, char>) {
    return element % 32 == 5 ? '\0' : static_cast<char>(0x21 + (seed * 7 + k) % 200);
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<T>(seed * 1000 + k);
  } else {
    return static_cast<T>(seed * 100000 + k) + static_cast<T>(0.25);
  }
}

// Sets every field of `*fill` when it is given; otherwise checks every field
// of `record` but those in `skip`.
template <class C>
class FieldVisitor {
 public:
  FieldVisitor(C* fill, const C& record, int seed, std::set<std::string> skip)
      : fill_(fill), record_(record), seed_(seed), skip_(std::move(skip)) {}

  template <class G, class V>
  void Scalar(const char* name, G (C::*get)() const, void (C::*set)(V)) {
    V want = SampleValue<V>(name, seed_, k_++, 0);
    // A flag gets the opposite of its default, so a lost copy shows.
    if constexpr (std::is_same_v<V, bool>) want = seed_ != 0 && !(C().*get)();
    if (fill_ != nullptr) {
      (fill_->*set)(want);
    } else if (skip_.count(name) == 0) {
      EXPECT_EQ((record_.*get)(), static_cast<G>(want)) << name << " (seed " << seed_ << ")";
    }
  }

  template <class G, class F>
  void Converted(const char* name, G (C::*get)() const, void (C::*set)(F, int)) {
    const int want = SampleValue<int>(name, seed_, k_++, 0);
    if (fill_ != nullptr) {
      (fill_->*set)(static_cast<F>(want), 0);
    } else if (skip_.count(name) == 0) {
      EXPECT_EQ((record_.*get)(), static_cast<G>(want)) << name << " (seed " << seed_ << ")";
    }
  }

  template <class R>
  void Array(const char* name, void (C::*get)(R*) const, void (C::*set)(const R*), int rows) {
    using E = std::remove_all_extents_t<R>;
    const std::size_t count = static_cast<std::size_t>(rows) * (sizeof(R) / sizeof(E));
    auto want = std::make_unique<E[]>(count);
    for (std::size_t i = 0; i < count; ++i) want[i] = SampleValue<E>(name, seed_, k_++, static_cast<int>(i));
    auto shaped = std::make_unique<R[]>(static_cast<std::size_t>(rows));
    if (fill_ != nullptr) {
      std::memcpy(static_cast<void*>(shaped.get()), want.get(), count * sizeof(E));
      (fill_->*set)(shaped.get());
      return;
    }
    if (skip_.count(name) != 0) return;
    std::memset(static_cast<void*>(shaped.get()), 0x5A, count * sizeof(E));  // not a sample value
    (record_.*get)(shaped.get());
    auto got = std::make_unique<E[]>(count);
    std::memcpy(got.get(), static_cast<const void*>(shaped.get()), count * sizeof(E));
    for (std::size_t i = 0; i < count; ++i) {
      if (got[i] != want[i]) {
        ADD_FAILURE() << name << "[" << i << "] of " << count << " (seed " << seed_ << "): got "
                      << +got[i] << ", want " << +want[i];
        return;  // the first difference is enough
      }
    }
  }

 private:
  C* fill_;
  const C& record_;
  int seed_;
  std::set<std::string> skip_;
  int k_ = 0;
};

// Gives every field of `record` its sample value for `seed` (1 to 30).
template <class C>
void Fill(C& record, int seed) {
  FieldVisitor<C> visitor(&record, record, seed, {});
  VisitFields(visitor, &record);
}

// Checks that every field of `record` but those in `skip` holds its sample
// value for `seed`.
template <class C>
void ExpectFilled(const C& record, int seed, std::set<std::string> skip = {}) {
  FieldVisitor<C> visitor(nullptr, record, seed, std::move(skip));
  VisitFields(visitor, &record);
}

}  // namespace records_testing

#endif  // DRIVERWYR_TESTS_RECORDS_RECORD_FIELDS_H_
