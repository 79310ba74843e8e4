#include "output_buffer.h"

#include "standard_output.h"
#include "driverwyr/escape.h"

namespace wyr {

void OutputBuffer::AppendEscaped(std::string_view text, char quote, bool keep_high_bytes, bool json) {
  escaped_.clear();
  driverwyr::AppendEscaped(escaped_, text,
                           driverwyr::EscapeOptions{.quote = quote, .keep_high_bytes = keep_high_bytes, .json = json});
  buffer_.append(escaped_.data(), escaped_.data() + escaped_.size());
  MaybeWrite();
}

void OutputBuffer::Write() {
  if (buffer_.size() != 0 && !WriteStream(file_, std::string_view(buffer_.data(), buffer_.size()))) failed_ = true;
  buffer_.clear();
}

bool OutputBuffer::Finish() {
  if (file_ == nullptr) return true;
  Write();
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) failed_ = true;
  return !failed_;
}

}  // namespace wyr
