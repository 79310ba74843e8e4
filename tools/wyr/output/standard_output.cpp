#include "standard_output.h"

#include <cerrno>
#include <cstring>

#include "driverwyr/escape.h"

namespace wyr {
namespace {

// The first reason standard output failed; empty while it has not.
std::string& StandardOutputReason() {
  static std::string reason;
  return reason;
}

}  // namespace

std::string LastErrorText() {
  const int error = errno;
  return error != 0 ? std::strerror(error) : "an unknown error";
}

bool WriteStream(std::FILE* stream, std::string_view bytes) {
  errno = 0;
  const bool written = (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size()) &&
                       std::fflush(stream) == 0;
  if (!written && stream == stdout && StandardOutputReason().empty()) StandardOutputReason() = LastErrorText();
  return written;
}

std::string OutsideText(std::string_view text) {
  return driverwyr::Escaped(text, driverwyr::EscapeOptions{.keep_high_bytes = true, .keep_backslash = true});
}

driverwyr::Status CheckStandardOutput() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    if (StandardOutputReason().empty()) StandardOutputReason() = LastErrorText();
  }
  if (StandardOutputReason().empty()) return driverwyr::Status::Ok();
  return driverwyr::Status::IoError(StandardOutputReason());
}

}  // namespace wyr
