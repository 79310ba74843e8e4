/* The field functions of the C interface, expanded from the field table.
 *
 * driverwyr/driverwyr_c.h includes this file to declare them; the library
 * includes it again to define them. It has no include guard: the includer
 * defines, for each kind of field of driverwyr/record_fields.h, one macro
 * whose first argument is the record class and whose others are those of the
 * table, and the file expands every record's list through them:
 *
 *   DRIVERWYR_C_SCALAR(Record, Stem, GetType, SetType, Setter)
 *   DRIVERWYR_C_CONVERTED(Record, Stem, GetType, SetType, Setter)
 *   DRIVERWYR_C_STRING(Record, Stem, Setter)
 *   DRIVERWYR_C_ARRAY(Record, Stem, Elem, Rows, Inner, Setter)
 *   DRIVERWYR_C_FIELDLESS(Record, Setter, SetType)
 *
 * Fields without a public accessor (INTERNAL) have no function. The macros
 * defined here are undefined again at its end. */

#define DRIVERWYR_C_EXPAND_(M, ...) M(__VA_ARGS__)
#define DRIVERWYR_C_SCALAR_(Stem, GetType, SetType, Setter, Check) \
  DRIVERWYR_C_EXPAND_(DRIVERWYR_C_SCALAR, DRIVERWYR_C_RECORD_, Stem, GetType, SetType, Setter)
#define DRIVERWYR_C_CONVERTED_(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  DRIVERWYR_C_EXPAND_(DRIVERWYR_C_CONVERTED, DRIVERWYR_C_RECORD_, Stem, GetType, SetType, Setter)
#define DRIVERWYR_C_STRING_(Stem, Setter, Check) \
  DRIVERWYR_C_EXPAND_(DRIVERWYR_C_STRING, DRIVERWYR_C_RECORD_, Stem, Setter)
#define DRIVERWYR_C_ARRAY_(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) \
  DRIVERWYR_C_EXPAND_(DRIVERWYR_C_ARRAY, DRIVERWYR_C_RECORD_, Stem, Elem, Rows, Inner, Setter)
#define DRIVERWYR_C_INTERNAL_(Stem, Type)
#define DRIVERWYR_C_FIELDLESS_(Setter, SetType) \
  DRIVERWYR_C_EXPAND_(DRIVERWYR_C_FIELDLESS, DRIVERWYR_C_RECORD_, Setter, SetType)
#define DRIVERWYR_C_KINDS_ \
  DRIVERWYR_C_SCALAR_, DRIVERWYR_C_CONVERTED_, DRIVERWYR_C_STRING_, DRIVERWYR_C_ARRAY_, DRIVERWYR_C_INTERNAL_
#define DRIVERWYR_C_LIST_(Fields, ...) Fields(__VA_ARGS__)
#define DRIVERWYR_C_RECORD_FIELDS_(Fields, Fieldless) \
  DRIVERWYR_C_LIST_(Fields, DRIVERWYR_C_KINDS_) Fieldless(DRIVERWYR_C_FIELDLESS_)

#define DRIVERWYR_C_RECORD_ CPPStepInfo
DRIVERWYR_C_RECORD_FIELDS_(DRIVERWYR_STEP_FIELDS, DRIVERWYR_STEP_FIELDLESS_SETTERS)
#undef DRIVERWYR_C_RECORD_
#define DRIVERWYR_C_RECORD_ CPPTool
DRIVERWYR_C_RECORD_FIELDS_(DRIVERWYR_TOOL_FIELDS, DRIVERWYR_TOOL_FIELDLESS_SETTERS)
#undef DRIVERWYR_C_RECORD_
#define DRIVERWYR_C_RECORD_ CPPSetup
DRIVERWYR_C_RECORD_FIELDS_(DRIVERWYR_SETUP_FIELDS, DRIVERWYR_SETUP_FIELDLESS_SETTERS)
#undef DRIVERWYR_C_RECORD_
#define DRIVERWYR_C_RECORD_ CPPMachine
DRIVERWYR_C_RECORD_FIELDS_(DRIVERWYR_MACHINE_FIELDS, DRIVERWYR_MACHINE_FIELDLESS_SETTERS)
#undef DRIVERWYR_C_RECORD_
#define DRIVERWYR_C_RECORD_ CPPBGauge
DRIVERWYR_C_RECORD_FIELDS_(DRIVERWYR_BGAUGE_FIELDS, DRIVERWYR_BGAUGE_FIELDLESS_SETTERS)
#undef DRIVERWYR_C_RECORD_

#undef DRIVERWYR_C_RECORD_FIELDS_
#undef DRIVERWYR_C_LIST_
#undef DRIVERWYR_C_KINDS_
#undef DRIVERWYR_C_FIELDLESS_
#undef DRIVERWYR_C_INTERNAL_
#undef DRIVERWYR_C_ARRAY_
#undef DRIVERWYR_C_STRING_
#undef DRIVERWYR_C_CONVERTED_
#undef DRIVERWYR_C_SCALAR_
#undef DRIVERWYR_C_EXPAND_
