// The copy of a record, field by field from the one field table
// (driverwyr/record_fields.h): numbers and texts by assignment, each fixed
// array in one memcpy (a defaulted copy moves an array member element by
// element: a step's 192 bytes of tool names one byte at a time).
//
// Used inside a record's copy operations, where `to` and `from` name the
// target's and the source's fields.
#ifndef DRIVERWYR_RECORDS_RECORD_COPY_H_
#define DRIVERWYR_RECORDS_RECORD_COPY_H_

#include <cstring>

#include "driverwyr/record_fields.h"

#define DRIVERWYR_COPY_VALUE(Stem, ...) to.Stem##_ = from.Stem##_;
#define DRIVERWYR_COPY_ARRAY(Stem, ...) std::memcpy(to.Stem##_, from.Stem##_, sizeof to.Stem##_);
#define DRIVERWYR_COPY_FIELDS(LIST) \
  LIST(DRIVERWYR_COPY_VALUE, DRIVERWYR_COPY_VALUE, DRIVERWYR_COPY_VALUE, DRIVERWYR_COPY_ARRAY, DRIVERWYR_COPY_VALUE)

#endif  // DRIVERWYR_RECORDS_RECORD_COPY_H_
