// The unit constants of the driver.
// The declarations are part of the library's interface and live in the
// public header; the driver's own sources include them under this name.
#ifndef DRIVERWYR_UTIL_UNITS_H_
#define DRIVERWYR_UTIL_UNITS_H_

#include "driverwyr/units.h"

#endif  // DRIVERWYR_UTIL_UNITS_H_
