/* The field table read by a C compiler: per record, the field names and the
   bytes each field takes (0 for strings). record_table_test.cpp compares them
   with what C++ reads. */
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "driverwyr/record_fields.h"

typedef int32_t driverwyr_long;

struct CFieldEntry {
  const char* name;
  size_t bytes;
};

#define C_SCALAR(Stem, GetType, SetType, Setter, Check) {#Stem, sizeof(GetType)},
#define C_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) {#Stem, sizeof(GetType)},
#define C_STRING(Stem, Setter, Check) {#Stem, 0},
#define C_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) {#Stem, sizeof(Elem[Rows] Inner)},
#define C_INTERNAL(Stem, Type) {#Stem, sizeof(Type)},
#define C_LIST(Fields) {Fields(C_SCALAR, C_CONVERTED, C_STRING, C_ARRAY, C_INTERNAL){NULL, 0}}

const struct CFieldEntry kCStepFields[] = C_LIST(DRIVERWYR_STEP_FIELDS);
const struct CFieldEntry kCToolFields[] = C_LIST(DRIVERWYR_TOOL_FIELDS);
const struct CFieldEntry kCSetupFields[] = C_LIST(DRIVERWYR_SETUP_FIELDS);
const struct CFieldEntry kCMachineFields[] = C_LIST(DRIVERWYR_MACHINE_FIELDS);
const struct CFieldEntry kCBGaugeFields[] = C_LIST(DRIVERWYR_BGAUGE_FIELDS);
