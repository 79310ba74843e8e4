// The calling thread's last error: why the last call of the library that
// failed on this thread failed (driverwyr_LastError of the C interface). Kept
// here, below every component, so that any of them can say why it refused a
// call that has no result to say it with.
#ifndef DRIVERWYR_UTIL_LAST_ERROR_H_
#define DRIVERWYR_UTIL_LAST_ERROR_H_

#include <initializer_list>
#include <string_view>

namespace driverwyr {

// Replaces the calling thread's last error with the parts of `text`, joined.
// Allocates nothing: a text longer than the room (1023 bytes) is cut, never
// inside a UTF-8 sequence.
void SetLastError(std::initializer_list<std::string_view> text) noexcept;

// The calling thread's last error ("" when none has failed yet); valid as
// long as the thread, replaced by its next failure.
const char* LastErrorText() noexcept;

}  // namespace driverwyr

#endif  // DRIVERWYR_UTIL_LAST_ERROR_H_
