// The operator's script of a job file: what the operator does with each
// dialog ("create", "cancel", or a list of actions), checked as the job is
// read. The reader hands over each entry and each action object's keys and
// values; these functions judge them.
#ifndef DRIVERWYR_TOOLS_WYR_JOB_OPERATOR_H_
#define DRIVERWYR_TOOLS_WYR_JOB_OPERATOR_H_

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "job_file.h"
#include "job_value.h"
#include "driverwyr/result.h"

namespace wyr {

// An entry that is not a list of actions: "create" or "cancel". `at` is its
// place.
driverwyr::Result<OperatorEntry> ReadOperatorEntry(const JsonValue& value, std::string_view at);

// The keys and values of one action object, as given.
class ActionKeys {
 public:
  enum Key { kType, kSelect, kBrowse, kPress, kText, kKeyCount };
  // The key's number, or -1 for a key that no action has.
  static int Find(std::string_view key);
  static std::string_view Name(int key);
  // The error for a key that no action has; `at` is the key's place.
  static driverwyr::Status UnknownKey(std::string_view at);

  // Takes key `key` (a number from Find) of the object at `at`; refuses a
  // second kind of action.
  driverwyr::Status Take(int key, std::string_view at);
  // The value of the key taken last. A container is kept as its type only.
  void SetValue(int key, const JsonValue& value);

  // The action these keys describe, once the object is complete.
  driverwyr::Result<OperatorAction> Build(std::string_view at, const std::filesystem::path& folder) const;

 private:
  struct Given {
    JsonValue value;
    std::string text;  // owns what value.text shows
  };
  std::array<std::optional<Given>, kKeyCount> given_;
  int kind_ = -1;  // the first of type, select, browse and press that was given
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JOB_OPERATOR_H_
