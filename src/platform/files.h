// The file role of the platform seam.
// The declarations are part of the library's interface and live in the
// public header; the driver's own sources include them under this name.
#ifndef DRIVERWYR_PLATFORM_FILES_H_
#define DRIVERWYR_PLATFORM_FILES_H_

#include "driverwyr/files.h"

#endif  // DRIVERWYR_PLATFORM_FILES_H_
