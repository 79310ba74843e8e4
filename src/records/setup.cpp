#include "driverwyr/setup.h"

#include "records/record_accessors.h"

#define DRIVERWYR_RECORD CPPSetup
DRIVERWYR_DEFINE_RECORD(DRIVERWYR_SETUP_FIELDS)
