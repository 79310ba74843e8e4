#include "driverwyr/machine.h"

#include "records/record_accessors.h"

#define DRIVERWYR_RECORD CPPMachine
DRIVERWYR_DEFINE_RECORD(DRIVERWYR_MACHINE_FIELDS)
