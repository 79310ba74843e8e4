// Shared by the files of the C interface: strings out into a caller's buffer,
// the conversion of handles to the classes behind them, the calling thread's
// last error, and the guard that keeps every exception on the library's side.
#ifndef DRIVERWYR_CAPI_C_SUPPORT_H_
#define DRIVERWYR_CAPI_C_SUPPORT_H_

#include <cstring>
#include <initializer_list>
#include <string_view>

#include "driverwyr/driverwyr.h"
#include "driverwyr/driverwyr_c.h"
#include "util/last_error.h"

namespace driverwyr::capi {

// Copies `text` into `buffer` of `size` bytes as the C interface gives strings
// out: at most size - 1 bytes and a NUL when size > 0; nothing for a null
// buffer. Returns the whole length (capped at the largest int).
inline int CopyOut(std::string_view text, char* buffer, int size) {
  if (buffer != nullptr && size > 0) {
    const std::size_t room = static_cast<std::size_t>(size) - 1;
    const std::size_t count = text.size() < room ? text.size() : room;
    if (count > 0) std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
  }
  constexpr std::size_t kLargest = 0x7fffffff;
  return static_cast<int>(text.size() < kLargest ? text.size() : kLargest);
}

// A C string in: NULL is the empty string.
inline const char* TextIn(const char* text) { return text != nullptr ? text : ""; }

// The class behind each handle: a handle is a pointer to the class itself,
// an array handle a pointer to RecordArray of it.
template <class Handle>
struct Behind;
#define DRIVERWYR_CAPI_BEHIND_(Record, Fields, Fieldless)                  \
  template <>                                                              \
  struct Behind<driverwyr_##Record> {                                      \
    using Type = Record;                                                   \
  };                                                                       \
  template <>                                                              \
  struct Behind<driverwyr_##Record##_array> {                              \
    using Type = RecordArray<Record>;                                      \
  };
DRIVERWYR_RECORDS(DRIVERWYR_CAPI_BEHIND_)
#undef DRIVERWYR_CAPI_BEHIND_

template <class Handle>
typename Behind<Handle>::Type* Unwrap(Handle* handle) {
  return reinterpret_cast<typename Behind<Handle>::Type*>(handle);
}
template <class Handle>
const typename Behind<Handle>::Type* Unwrap(const Handle* handle) {
  return reinterpret_cast<const typename Behind<Handle>::Type*>(handle);
}
template <class Handle>
Handle* Wrap(typename Behind<Handle>::Type* object) {
  return reinterpret_cast<Handle*>(object);
}

// The calling thread's last error (driverwyr_LastError): util/last_error.h.
using driverwyr::SetLastError;

// Sets the last error and gives the failure result -1.
inline int Failed(std::initializer_list<std::string_view> text) noexcept {
  SetLastError(text);
  return -1;
}

// A call given a NULL handle or pointer where it needs one.
inline int NullArgument(std::string_view function) noexcept {
  return Failed({function, ": a NULL handle or pointer was given"});
}

// Runs `body`, returning its result, or `failed` when it throws (memory
// exhausted), with the last error saying so: nothing crosses the C interface.
template <class Result, class Body>
Result Guarded(Result failed, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    SetLastError({"memory exhausted"});
    return failed;
  }
}

}  // namespace driverwyr::capi

#endif  // DRIVERWYR_CAPI_C_SUPPORT_H_
