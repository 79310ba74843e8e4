// The escaping of outside texts in a line of output.
// The declarations are part of the library's interface and live in the
// public header; the driver's own sources include them under this name.
#ifndef DRIVERWYR_UTIL_ESCAPE_H_
#define DRIVERWYR_UTIL_ESCAPE_H_

#include "driverwyr/escape.h"

#endif  // DRIVERWYR_UTIL_ESCAPE_H_
