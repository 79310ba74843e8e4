// How texts that come from outside (a job's paths and names, the fields of a
// program file, the driver's messages) are shown in a line of text: every
// byte that could end the line, start another or be taken for an escape is
// written as an escape, so that one text is one piece of one line and a
// reader can tell exactly which bytes it held.
//
// Shown as they are: the printable ASCII bytes and, when asked, the bytes
// from 0x80 up (the host's code page, UTF-8 names). Escaped: a backslash as
// \\ (unless kept), the chosen quote as \" (or \'), and every other byte as
// \xNN with two upper-case hex digits: the control bytes (line feed,
// carriage return, tab, NUL, ...), DEL and, when high bytes are kept, the
// UTF-8 forms of the three characters that Unicode counts as line ends
// (U+0085, U+2028, U+2029), byte by byte.
#ifndef DRIVERWYR_ESCAPE_H_
#define DRIVERWYR_ESCAPE_H_

#include <string>
#include <string_view>

#include "driverwyr/export.h"

namespace driverwyr {

struct EscapeOptions {
  // Escaped with a backslash in front; '\0' for none.
  char quote = '\0';
  // Bytes from 0x80 up are shown as they are (except the line ends above).
  bool keep_high_bytes = false;
  // A backslash is shown as it is: for texts where it is common and plain
  // (Windows paths), at the cost that a text holding "\x0A" itself reads
  // like an escaped line feed.
  bool keep_backslash = false;
  // The result stands inside a JSON string: the backslash of every escape is
  // doubled, so that a JSON reader sees the same escapes; `quote` must then
  // be '"', whose escape \" is JSON's own.
  bool json = false;
};

// Appends `text` to `out`, escaped as `options` say.
DRIVERWYR_API void AppendEscaped(std::string& out, std::string_view text, const EscapeOptions& options);

// `text` escaped as `options` say.
DRIVERWYR_API std::string Escaped(std::string_view text, const EscapeOptions& options);

}  // namespace driverwyr

#endif  // DRIVERWYR_ESCAPE_H_
