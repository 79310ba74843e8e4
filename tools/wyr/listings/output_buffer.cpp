#include "output_buffer.h"

namespace wyr {

void OutputBuffer::AppendEscaped(std::string_view text, char quote, bool keep_high_bytes, bool json) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string_view backslash = json ? "\\\\" : "\\";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      buffer_.append(backslash);
      buffer_.append(backslash);
    } else if (quote != '\0' && c == quote) {
      buffer_.push_back('\\');
      buffer_.push_back(c);
    } else if ((byte >= 0x20 && byte < 0x7F) || (keep_high_bytes && byte >= 0x80)) {
      buffer_.push_back(c);
    } else {
      buffer_.append(backslash);
      const char escape[] = {'x', kHex[byte >> 4], kHex[byte & 0x0F]};
      buffer_.append(escape, escape + sizeof escape);
    }
  }
  MaybeWrite();
}

void OutputBuffer::Write() {
  if (buffer_.size() != 0 && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    failed_ = true;
  }
  buffer_.clear();
}

bool OutputBuffer::Finish() {
  if (file_ == nullptr) return true;
  Write();
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) failed_ = true;
  return !failed_;
}

}  // namespace wyr
