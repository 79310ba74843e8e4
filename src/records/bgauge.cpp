#include "driverwyr/bgauge.h"

#include "records/record_accessors.h"

#define DRIVERWYR_RECORD CPPBGauge
DRIVERWYR_DEFINE_RECORD(DRIVERWYR_BGAUGE_FIELDS)
