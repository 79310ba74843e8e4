// Status and Result<T>: the one way the driver, its C++ interfaces and wyr
// report an operation that can fail.
//
// A Status is either success or an error with a code and a message. The
// message is a sentence fragment for a person ("cannot be opened", "is a
// folder, not a file", "block 2 (neutral fibre) at offset 16: ..."): callers
// put the subject in front of it ("wyr: job.json: cannot be opened"). The code
// lets a caller react to the kind of failure without reading the message.
//
// A Result<T> holds either a T or an error Status. Neither is ever thrown;
// both are cheap to move. Modelled on leveldb::Status.
#ifndef DRIVERWYR_RESULT_H_
#define DRIVERWYR_RESULT_H_

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace driverwyr {

class [[nodiscard]] Status {
 public:
  enum class Code {
    kOk,
    kNotFound,  // the file, key or record does not exist
    kRefused,   // it exists but may not be used: a folder, a device, a read-only file
    kInvalid,   // its contents are malformed
    kIoError,   // reading or writing failed part-way (disk full, I/O error)
  };

  // Success.
  Status() = default;
  static Status Ok() { return Status(); }
  static Status NotFound(std::string message) { return Status(Code::kNotFound, std::move(message)); }
  static Status Refused(std::string message) { return Status(Code::kRefused, std::move(message)); }
  static Status Invalid(std::string message) { return Status(Code::kInvalid, std::move(message)); }
  static Status IoError(std::string message) { return Status(Code::kIoError, std::move(message)); }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  // Empty on success.
  const std::string& message() const { return message_; }

  // The same error with `prefix` and ": " in front of its message; success
  // stays success.
  Status WithContext(const std::string& prefix) const {
    if (ok()) return *this;
    return Status(code_, prefix + ": " + message_);
  }

 private:
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

  Code code_ = Code::kOk;
  std::string message_;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  // A value.
  Result(T value) : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  // An error; `status` must not be success.
  Result(Status status) : status_(std::move(status)) {  // NOLINT(google-explicit-constructor)
    assert(!status_.ok());
    if (status_.ok()) status_ = Status::Invalid("no value");
  }

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }
  // Empty when there is a value.
  const std::string& error() const { return status_.message(); }

  // The value; only when ok().
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace driverwyr

#endif  // DRIVERWYR_RESULT_H_
