// Output of wyr's listings (`wyr check`, `wyr dump`): text is formatted into
// a buffer that is written to a file whenever it fills, so a listing of any
// length needs no more memory than the buffer, and escaped the way the
// listings show bytes.
#ifndef DRIVERWYR_TOOLS_WYR_OUTPUT_BUFFER_H_
#define DRIVERWYR_TOOLS_WYR_OUTPUT_BUFFER_H_

#include <fmt/compile.h>
#include <fmt/format.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace wyr {

class OutputBuffer {
 public:
  // Writes to `file` (for example stdout), which must stay open while the
  // buffer is in use; the buffer never closes it.
  explicit OutputBuffer(std::FILE* file) : file_(file) {}
  // Keeps everything in memory; text() returns it.
  OutputBuffer() = default;
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Formats into the buffer; `format` is a compiled format (FMT_COMPILE).
  template <typename CompiledFormat, typename... Args>
  void Format(const CompiledFormat& format, const Args&... args) {
    fmt::format_to(fmt::appender(buffer_), format, args...);
    MaybeWrite();
  }
  void Append(std::string_view text) {
    buffer_.append(text);
    MaybeWrite();
  }
  void Append(char c) { buffer_.push_back(c); }

  // Appends `text` as the listings show it (driverwyr/escape.h): a backslash and
  // `quote` (when not NUL) get a backslash in front, bytes that are not kept
  // get \xNN. Kept are the printable ASCII bytes, and with `keep_high_bytes`
  // also the bytes from 0x80 up but for the UTF-8 line ends. With `json`, the
  // result is to stand inside a JSON string: the backslashes of the escapes
  // are doubled, and `quote` must be '"'.
  void AppendEscaped(std::string_view text, char quote, bool keep_high_bytes, bool json = false);

  // Writes what the buffer holds to the file and flushes it. Returns false
  // when any write to the file failed (then or before).
  bool Finish();

  // Memory mode: everything appended so far.
  std::string_view text() const { return std::string_view(buffer_.data(), buffer_.size()); }

 private:
  static constexpr std::size_t kWriteSize = 64 * 1024;

  void MaybeWrite() {
    if (file_ != nullptr && buffer_.size() >= kWriteSize) Write();
  }
  void Write();

  std::FILE* file_ = nullptr;
  fmt::memory_buffer buffer_;
  std::string escaped_;  // one escaped text on its way into the buffer
  bool failed_ = false;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_OUTPUT_BUFFER_H_
