// How the values of a program file are shown to a person: the same bytes and
// digits on the set-up sheet, in the pre-flight report, in `wyr dump` and
// `wyr diff`.
#ifndef DRIVERWYR_PROGRAM_TEXT_H_
#define DRIVERWYR_PROGRAM_TEXT_H_

#include <string>
#include <string_view>

#include "driverwyr/export.h"

namespace driverwyr {

// The bytes of a text field in printable form: printable ASCII as it is, a
// backslash as \\, every other byte as \xNN; `quote` (unless '\0') is
// escaped with a backslash as well.
DRIVERWYR_API std::string PrintableBytes(std::string_view text, char quote = '\0');

// The shortest decimal form that reads back as the same float ("90",
// "1.4986", "-0", "nan", "inf").
DRIVERWYR_API std::string ShortestFloat(float value);

// The double that ShortestFloat's text reads as: what a JSON writer, which
// prints a double in its shortest form, should be given so that it prints
// the float's shortest text (0.42, not 0.41999998688697815). NaN and the
// infinities stay as they are; JSON has no such numbers, so a JSON writer
// shows them as null.
DRIVERWYR_API double ShortestFloatValue(float value);

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_TEXT_H_
