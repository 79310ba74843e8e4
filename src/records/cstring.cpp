#include "driverwyr/cstring.h"

#include <cstring>
#include <utility>

namespace {

// A new NUL-terminated copy of `length` bytes, or null for the empty string.
char* Duplicate(const char* text, int length) {
  if (text == nullptr || length <= 0) return nullptr;
  char* block = new char[static_cast<std::size_t>(length) + 1];
  std::memcpy(block, text, static_cast<std::size_t>(length));
  block[length] = '\0';
  return block;
}

}  // namespace

CString::CString() : data_(nullptr), length_(0) {}

CString::CString(const char* text)
    : CString(text, text != nullptr ? static_cast<int>(std::strlen(text)) : 0) {}

CString::CString(const char* text, int length)
    : data_(Duplicate(text, length)), length_(data_ != nullptr ? length : 0) {}

CString::CString(const CString& other) : CString(other.data_, other.length_) {}

CString::CString(CString&& other) noexcept : data_(other.data_), length_(other.length_) {
  other.data_ = nullptr;
  other.length_ = 0;
}

CString& CString::operator=(const CString& other) {
  if (this != &other && data_ != nullptr && length_ == other.length_) {
    // A text of the same length fits the buffer it replaces.
    std::memcpy(data_, other.data_, static_cast<std::size_t>(length_));
  } else if (this != &other) {
    char* block = Duplicate(other.data_, other.length_);
    delete[] data_;
    data_ = block;
    length_ = block != nullptr ? other.length_ : 0;
  }
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    delete[] data_;
    data_ = std::exchange(other.data_, nullptr);
    length_ = std::exchange(other.length_, 0);
  }
  return *this;
}

CString& CString::operator=(const char* text) {
  CString copy(text);
  return *this = std::move(copy);
}

CString::~CString() { delete[] data_; }

int CString::GetLength() const { return length_; }

bool CString::IsEmpty() const { return length_ == 0; }

const char* CString::GetString() const { return data_ != nullptr ? data_ : ""; }

bool CString::operator==(const CString& other) const {
  return length_ == other.length_ &&
         (length_ == 0 || std::memcmp(data_, other.data_, static_cast<std::size_t>(length_)) == 0);
}
