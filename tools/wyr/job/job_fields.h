// The records of a job file, read field by field as the values come, by the
// record classes' field table (driverwyr/record_fields.h): which keys a record
// has, what shape and type each value takes, which setter stores it.
//
// Each record is built with its default constructor; its values are kept
// until the record's object ends, and then the setters are called in the
// record's declaration order, whatever the order of the keys, because some
// setters depend on others (BendType sets CoiningFlag and Mode; BendingSpeed
// depends on ControlType). The converting step setters need the job's unit;
// when the unit comes later in the file than the steps, they are called once
// it is known, after the record's other setters, which gives the same record
// because none of the setters called later reads or writes what they set.
#ifndef DRIVERWYR_TOOLS_WYR_JOB_FIELDS_H_
#define DRIVERWYR_TOOLS_WYR_JOB_FIELDS_H_

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "driverwyr/driverwyr.h"
#include "job_value.h"
#include "driverwyr/result.h"

namespace wyr {

// How the value of one field is written in the job file.
struct FieldShape {
  std::string_view name;               // the key: the accessor stem
  Element element = Element::kInt;     // what each element is
  std::size_t element_bytes = 0;       // the bytes an element takes where it is kept
  int rank = 0;                        // levels of JSON arrays: 0 for a scalar or string
  std::array<std::size_t, 3> dims{};   // the longest array at each level
  // Converting step setters (they take the unit):
  bool converted = false;
  bool whole_millimetres = false;      // kept as a 16-bit count of millimetres
  int inch_decimals = -1;              // truncated to these decimals before conversion
  int mm_decimals = -1;
};

// The records of one array of the job ("steps", "tools", ...), as the reader
// hands over their values; `unit` is the job's unit once it has been read.
template <typename R>
class RecordsReader {
 public:
  RecordsReader(std::string_view array_name, const std::optional<int>& unit);
  ~RecordsReader();
  RecordsReader(const RecordsReader&) = delete;
  RecordsReader& operator=(const RecordsReader&) = delete;

  // The field that `key` names, or -1 when it names no settable field.
  int FindField(std::string_view key);
  const FieldShape& Shape(int field) const;
  // "CPPStepInfo", for "no settable field of ...".
  static std::string_view ClassName();

  // Starts the next record.
  void BeginRecord();
  // Marks `field` as given: its setter is called, with zeros (false, empty
  // names) for whatever the file leaves out. An array value calls it when it
  // starts, so that an empty array counts.
  void Touch(int field);
  // Checks one element of `field` (element `flat` of an array, counted in
  // row-major order; 0 for a scalar) and keeps it. Errors carry no place.
  driverwyr::Status Store(int field, std::size_t flat, const JsonValue& value);
  // Ends the record: calls the setters of the fields given.
  void EndRecord();
  // Number of records begun.
  std::size_t size() const;

  // Calls what waited for the unit and moves the records into `out`, which
  // is sized once for all of them. Errors name their place.
  driverwyr::Status Finish(RecordArray<R>& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JOB_FIELDS_H_
