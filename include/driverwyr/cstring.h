// CString: the single-byte, counted string of the DriverWyr interface.
//
// Every string that crosses the interface (record fields, paths, material
// names) is a CString passed by value or returned as a copy. The text is in the
// host's single-byte code page; it may hold any byte, NUL included, because the
// length is counted. All memory is managed inside the library, so a host may
// pass and receive CString values whatever allocator it uses itself.
#ifndef DRIVERWYR_CSTRING_H_
#define DRIVERWYR_CSTRING_H_

#include <string>
#include <string_view>

#include "driverwyr/export.h"

class DRIVERWYR_API CString {
 public:
  // The empty string.
  CString();
  // A copy of the NUL-terminated text; a null pointer gives the empty string.
  CString(const char* text);  // NOLINT(google-explicit-constructor): host convenience
  // A copy of `length` bytes from `text` (which may contain NUL bytes).
  CString(const char* text, int length);
  CString(const CString& other);
  CString(CString&& other) noexcept;
  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const char* text);
  ~CString();

  // Number of bytes, not counting the terminating NUL that the buffer always has.
  int GetLength() const;
  bool IsEmpty() const;
  // The text, always NUL-terminated; valid until the string is changed or destroyed.
  const char* GetString() const;

  bool operator==(const CString& other) const;

  // Conveniences for C++ hosts, built on the exported members above.
  CString(std::string_view text) : CString(text.data(), static_cast<int>(text.size())) {}  // NOLINT
  std::string str() const { return std::string(GetString(), static_cast<std::size_t>(GetLength())); }
  std::string_view view() const { return std::string_view(GetString(), static_cast<std::size_t>(GetLength())); }

 private:
  char* data_;  // heap buffer of length_ + 1 bytes, or null for the empty string
  int length_;
};

#endif  // DRIVERWYR_CSTRING_H_
