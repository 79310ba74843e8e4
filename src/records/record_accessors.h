// The lifecycle and accessors of a record, defined from the one field table
// (driverwyr/record_fields.h), so that a field is written once: in the table.
// The public headers declare them, and a test holds those declarations to the
// table.
//
// In a record's source file:
//
//   #define DRIVERWYR_RECORD CPPTool
//   DRIVERWYR_DEFINE_RECORD(DRIVERWYR_TOOL_FIELDS)
//
// defines the default constructor, the copy operations (numbers and texts by
// assignment, each fixed array in one memcpy: a defaulted copy moves an array
// member element by element, a step's 192 bytes of tool names one byte at a
// time), the destructor, every getter, and the setter of every number, flag,
// text and array as a plain store (an array in one memcpy). Written by hand
// in the source
// file are the setters that do more than store:
//   - the setters of CONVERTED fields, which take the unit and convert;
//   - a SCALAR setter that also derives other fields, named before the
//     expansion as `#define DRIVERWYR_HANDWRITTEN_<Setter> ~, 1`
//     (SetBendType sets CoiningFlag and Mode as well).
#ifndef DRIVERWYR_RECORDS_RECORD_ACCESSORS_H_
#define DRIVERWYR_RECORDS_RECORD_ACCESSORS_H_

#include <cstring>
#include <utility>

#include "driverwyr/record_fields.h"

// DRIVERWYR_IF_GENERATED_(Setter)(definition): the definition, unless
// DRIVERWYR_HANDWRITTEN_<Setter> is defined as `~, 1`. The probe takes the
// second of the words it is given: 1 when the name expanded to `~, 1`, else
// the 0 that follows the unexpanded name.
#define DRIVERWYR_PROBE_SECOND_(first, second, ...) second
#define DRIVERWYR_PROBE_(...) DRIVERWYR_PROBE_SECOND_(__VA_ARGS__)
#define DRIVERWYR_IS_HANDWRITTEN_(Setter) DRIVERWYR_PROBE_(DRIVERWYR_HANDWRITTEN_##Setter, 0, ~)
#define DRIVERWYR_PASTE_(a, b) DRIVERWYR_PASTE_EXPANDED_(a, b)
#define DRIVERWYR_PASTE_EXPANDED_(a, b) a##b
#define DRIVERWYR_KEEP_IF_0_(...) __VA_ARGS__
#define DRIVERWYR_KEEP_IF_1_(...)
#define DRIVERWYR_IF_GENERATED_(Setter) DRIVERWYR_PASTE_(DRIVERWYR_KEEP_IF_, DRIVERWYR_PASTE_(DRIVERWYR_IS_HANDWRITTEN_(Setter), _))

#define DRIVERWYR_ACCESS_SCALAR_(Stem, GetType, SetType, Setter, Check)              \
  GetType DRIVERWYR_RECORD::Get##Stem() const { return fields_.Stem##_; }            \
  DRIVERWYR_IF_GENERATED_(Setter)(                                                   \
      void DRIVERWYR_RECORD::Setter(SetType value) { fields_.Stem##_ = value; })

#define DRIVERWYR_ACCESS_CONVERTED_(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  GetType DRIVERWYR_RECORD::Get##Stem() const { return fields_.Stem##_; }

#define DRIVERWYR_ACCESS_STRING_(Stem, Setter, Check)                                \
  CString DRIVERWYR_RECORD::Get##Stem() const { return fields_.Stem##_; }            \
  void DRIVERWYR_RECORD::Setter(CString value) { fields_.Stem##_ = std::move(value); }

#define DRIVERWYR_ACCESS_ARRAY_(Stem, Elem, Rows, Inner, Setter, Check, CheckRows)   \
  void DRIVERWYR_RECORD::Get##Stem(Elem(*out) Inner) const {                         \
    std::memcpy(out, fields_.Stem##_, sizeof(fields_.Stem##_));                      \
  }                                                                                  \
  void DRIVERWYR_RECORD::Setter(const Elem(*in) Inner) {                             \
    std::memcpy(fields_.Stem##_, in, sizeof(fields_.Stem##_));                       \
  }

#define DRIVERWYR_ACCESS_INTERNAL_(Stem, Type) \
  Type DRIVERWYR_RECORD::Get##Stem() const { return fields_.Stem##_; }

#define DRIVERWYR_COPY_VALUE_(Stem, ...) to.Stem##_ = from.Stem##_;
#define DRIVERWYR_COPY_ARRAY_(Stem, ...) std::memcpy(to.Stem##_, from.Stem##_, sizeof to.Stem##_);

#define DRIVERWYR_DEFINE_RECORD(LIST)                                                  \
  DRIVERWYR_RECORD::DRIVERWYR_RECORD() = default;                                      \
  DRIVERWYR_RECORD::DRIVERWYR_RECORD(const DRIVERWYR_RECORD& other) : DRIVERWYR_RECORD() { \
    *this = other;                                                                     \
  }                                                                                    \
  const DRIVERWYR_RECORD& DRIVERWYR_RECORD::operator=(const DRIVERWYR_RECORD& other) { \
    if (this != &other) {                                                              \
      Fields& to = fields_;                                                            \
      const Fields& from = other.fields_;                                              \
      LIST(DRIVERWYR_COPY_VALUE_, DRIVERWYR_COPY_VALUE_, DRIVERWYR_COPY_VALUE_,        \
           DRIVERWYR_COPY_ARRAY_, DRIVERWYR_COPY_VALUE_)                               \
    }                                                                                  \
    return *this;                                                                      \
  }                                                                                    \
  DRIVERWYR_RECORD::~DRIVERWYR_RECORD() = default;                                     \
  LIST(DRIVERWYR_ACCESS_SCALAR_, DRIVERWYR_ACCESS_CONVERTED_, DRIVERWYR_ACCESS_STRING_,  \
       DRIVERWYR_ACCESS_ARRAY_, DRIVERWYR_ACCESS_INTERNAL_)

#endif  // DRIVERWYR_RECORDS_RECORD_ACCESSORS_H_
