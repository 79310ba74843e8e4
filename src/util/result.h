// Status and Result<T>, the driver's result type.
// The declarations are part of the library's interface and live in the
// public header; the driver's own sources include them under this name.
#ifndef DRIVERWYR_UTIL_RESULT_H_
#define DRIVERWYR_UTIL_RESULT_H_

#include "driverwyr/result.h"

#endif  // DRIVERWYR_UTIL_RESULT_H_
