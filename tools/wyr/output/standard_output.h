// wyr's lines on its standard output, and whether they all got there.
//
// Every line is handed to the system as soon as it is made (line-buffered by
// hand, which works the same on every system): a reader of the pipe sees
// each event as it happens, and a run stopped by a signal has shown every
// line it made before. Writing never throws; a failure (a full disk, a closed
// pipe) is remembered with its reason, and main() turns it into exit status
// 1 with the reason on standard error, whatever the command.
//
// Texts that come from the job or from files (paths, names, message texts)
// go into a line through OutsideText, so that they cannot end the line or
// start one of their own.
#ifndef DRIVERWYR_TOOLS_WYR_STANDARD_OUTPUT_H_
#define DRIVERWYR_TOOLS_WYR_STANDARD_OUTPUT_H_

#include <fmt/format.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "driverwyr/result.h"

namespace wyr {

// Writes `bytes` to `stream` and flushes it. False when either failed; for
// standard output the first failure's reason is remembered.
bool WriteStream(std::FILE* stream, std::string_view bytes);

// Formats one line, adds its line feed and writes it to standard output.
template <typename... Args>
void PrintLine(fmt::format_string<Args...> format, Args&&... args) {
  std::string line = fmt::format(format, std::forward<Args>(args)...);
  line += '\n';
  WriteStream(stdout, line);
}

// `text` as it may stand inside one line: control bytes, DEL and the UTF-8
// line ends as \xNN; a backslash stays as it is (Windows paths), and bytes
// from 0x80 up stay (names in UTF-8 or the host's code page).
std::string OutsideText(std::string_view text);

// Flushes standard output. Fails (IoError) with why anything written to it
// (by wyr or by the command-line parser's help) did not get there.
driverwyr::Status CheckStandardOutput();

// The reason of the C library's last failure (errno) in words.
std::string LastErrorText();

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_STANDARD_OUTPUT_H_
