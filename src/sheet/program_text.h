// How the values of a program file are shown to a person: the same bytes and
// digits on the set-up sheet and in the pre-flight report.
#ifndef DRIVERWYR_SHEET_PROGRAM_TEXT_H_
#define DRIVERWYR_SHEET_PROGRAM_TEXT_H_

#include <string>
#include <string_view>

namespace driverwyr {

// The bytes of a text field in printable form: printable ASCII as it is, a
// backslash as \\, every other byte as \xNN; `quote` (unless '\0') is
// escaped with a backslash as well.
std::string PrintableBytes(std::string_view text, char quote = '\0');

// The shortest decimal form that reads back as the same float ("90",
// "1.4986", "-0", "nan", "inf").
std::string ShortestFloat(float value);

}  // namespace driverwyr

#endif  // DRIVERWYR_SHEET_PROGRAM_TEXT_H_
