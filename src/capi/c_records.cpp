// The records and record arrays of the C interface: each function is the
// matching member of the record class or of RecordArray, behind a handle.
// The field functions are expanded from the field table, so that every field
// of every class has its getter and setter and none is written out by hand.
#include <new>
#include <utility>

#include "capi/c_support.h"
#include "driverwyr/driverwyr_c.h"

using driverwyr::capi::CopyOut;
using driverwyr::capi::Guarded;
using driverwyr::capi::NullArgument;
using driverwyr::capi::SetLastError;
using driverwyr::capi::TextIn;
using driverwyr::capi::Unwrap;
using driverwyr::capi::Wrap;

// ---- create, copy, assign, free; arrays -------------------------------------

#define DRIVERWYR_CAPI_LIFECYCLE_(R, Fields, Fieldless)                                                 \
  DRIVERWYR_API driverwyr_##R* DRIVERWYR_CALL driverwyr_##R##_create(void) {                           \
    return Guarded<driverwyr_##R*>(nullptr, [] { return Wrap<driverwyr_##R>(new R()); });               \
  }                                                                                                     \
  DRIVERWYR_API driverwyr_##R* DRIVERWYR_CALL driverwyr_##R##_copy(const driverwyr_##R* record) {      \
    if (record == nullptr) {                                                                            \
      NullArgument(__func__);                                                                           \
      return nullptr;                                                                                   \
    }                                                                                                   \
    return Guarded<driverwyr_##R*>(nullptr, [record] { return Wrap<driverwyr_##R>(new R(*Unwrap(record))); }); \
  }                                                                                                     \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_assign(driverwyr_##R* target,                        \
                                                          const driverwyr_##R* source) {                \
    if (target == nullptr || source == nullptr) return NullArgument(__func__);                          \
    return Guarded(-1, [&] {                                                                            \
      *Unwrap(target) = *Unwrap(source);                                                                \
      return 0;                                                                                         \
    });                                                                                                 \
  }                                                                                                     \
  DRIVERWYR_API void DRIVERWYR_CALL driverwyr_##R##_free(driverwyr_##R* record) { delete Unwrap(record); } \
  DRIVERWYR_API driverwyr_##R##_array* DRIVERWYR_CALL driverwyr_##R##_array_create(void) {             \
    return Guarded<driverwyr_##R##_array*>(nullptr,                                                     \
                                           [] { return Wrap<driverwyr_##R##_array>(new RecordArray<R>()); }); \
  }                                                                                                     \
  DRIVERWYR_API void DRIVERWYR_CALL driverwyr_##R##_array_free(driverwyr_##R##_array* array) {         \
    delete Unwrap(array);                                                                               \
  }                                                                                                     \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_array_size(const driverwyr_##R##_array* array) {    \
    return array != nullptr ? Unwrap(array)->GetSize() : 0;                                             \
  }                                                                                                     \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_array_set_size(driverwyr_##R##_array* array, int size) { \
    if (array == nullptr) return NullArgument(__func__);                                                    \
    return Guarded(-1, [&] {                                                                            \
      Unwrap(array)->SetSize(size);                                                                     \
      return 0;                                                                                         \
    });                                                                                                 \
  }                                                                                                     \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_array_add(driverwyr_##R##_array* array,              \
                                                             const driverwyr_##R* record) {             \
    if (array == nullptr || record == nullptr) return NullArgument(__func__);                           \
    RecordArray<R>& records = *Unwrap(array);                                                           \
    const int count = records.GetSize();                                                                \
    return Guarded(-1, [&] {                                                                            \
      try {                                                                                             \
        return records.Add(*Unwrap(record));                                                            \
      } catch (...) {                                                                                   \
        /* The copy into the new slot failed: drop the slot again. */                                   \
        if (records.GetSize() > count) records.SetSize(count);                                          \
        throw;                                                                                          \
      }                                                                                                 \
    });                                                                                                 \
  }                                                                                                     \
  DRIVERWYR_API driverwyr_##R* DRIVERWYR_CALL driverwyr_##R##_array_at(driverwyr_##R##_array* array, int index) { \
    if (array == nullptr) {                                                                             \
      NullArgument(__func__);                                                                           \
      return nullptr;                                                                                   \
    }                                                                                                   \
    if (index < 0 || index >= Unwrap(array)->GetSize()) {                                               \
      SetLastError({__func__, ": the index is outside 0 .. size - 1"});                                 \
      return nullptr;                                                                                   \
    }                                                                                                   \
    return Wrap<driverwyr_##R>(&(*Unwrap(array))[index]);                                               \
  }
DRIVERWYR_RECORDS(DRIVERWYR_CAPI_LIFECYCLE_)
#undef DRIVERWYR_CAPI_LIFECYCLE_

// ---- the fields ---------------------------------------------------------------

#define DRIVERWYR_C_SCALAR(R, Stem, GetType, SetType, Setter)                                       \
  DRIVERWYR_API GetType DRIVERWYR_CALL driverwyr_##R##_Get##Stem(const driverwyr_##R* record) {    \
    return record != nullptr ? Unwrap(record)->Get##Stem() : GetType{};                             \
  }                                                                                                 \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_##Setter(driverwyr_##R* record, SetType value) { \
    if (record == nullptr) return NullArgument(__func__);                                           \
    Unwrap(record)->Setter(value);                                                                  \
    return 0;                                                                                       \
  }
#define DRIVERWYR_C_CONVERTED(R, Stem, GetType, SetType, Setter)                                    \
  DRIVERWYR_API GetType DRIVERWYR_CALL driverwyr_##R##_Get##Stem(const driverwyr_##R* record) {    \
    return record != nullptr ? Unwrap(record)->Get##Stem() : GetType{};                             \
  }                                                                                                 \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_##Setter(driverwyr_##R* record, SetType value,   \
                                                            int unit) {                             \
    if (record == nullptr) return NullArgument(__func__);                                           \
    Unwrap(record)->Setter(value, unit);                                                            \
    return 0;                                                                                       \
  }
#define DRIVERWYR_C_STRING(R, Stem, Setter)                                                         \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_Get##Stem(const driverwyr_##R* record,          \
                                                             char* buffer, int size) {              \
    if (record == nullptr) {                                                                        \
      CopyOut({}, buffer, size);                                                                    \
      return NullArgument(__func__);                                                                \
    }                                                                                               \
    return Guarded(-1, [&] { return CopyOut(Unwrap(record)->Get##Stem().view(), buffer, size); });   \
  }                                                                                                 \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_##Setter(driverwyr_##R* record, const char* text) { \
    if (record == nullptr) return NullArgument(__func__);                                              \
    return Guarded(-1, [&] {                                                                        \
      Unwrap(record)->Setter(CString(TextIn(text)));                                                \
      return 0;                                                                                     \
    });                                                                                             \
  }
#define DRIVERWYR_C_ARRAY(R, Stem, Elem, Rows, Inner, Setter)                                       \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_Get##Stem(const driverwyr_##R* record, Elem* out) { \
    if (record == nullptr || out == nullptr) return NullArgument(__func__);                            \
    Unwrap(record)->Get##Stem(reinterpret_cast<Elem(*) Inner>(out));                                \
    return 0;                                                                                       \
  }                                                                                                 \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_##Setter(driverwyr_##R* record, const Elem* in) { \
    if (record == nullptr || in == nullptr) return NullArgument(__func__);                           \
    Unwrap(record)->Setter(reinterpret_cast<const Elem(*) Inner>(in));                              \
    return 0;                                                                                       \
  }
#define DRIVERWYR_C_FIELDLESS(R, Setter, SetType)                                                   \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_##R##_##Setter(driverwyr_##R* record, SetType value) { \
    if (record == nullptr) return NullArgument(__func__);                                           \
    Unwrap(record)->Setter(value);                                                                  \
    return 0;                                                                                       \
  }
#include "driverwyr/driverwyr_c_fields.h"
#undef DRIVERWYR_C_SCALAR
#undef DRIVERWYR_C_CONVERTED
#undef DRIVERWYR_C_STRING
#undef DRIVERWYR_C_ARRAY
#undef DRIVERWYR_C_FIELDLESS
