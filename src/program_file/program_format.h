// The byte layout of the program file.
// The declarations are part of the library's interface and live in the
// public header; the driver's own sources include them under this name.
#ifndef DRIVERWYR_PROGRAM_FILE_PROGRAM_FORMAT_H_
#define DRIVERWYR_PROGRAM_FILE_PROGRAM_FORMAT_H_

#include "driverwyr/program_format.h"

#endif  // DRIVERWYR_PROGRAM_FILE_PROGRAM_FORMAT_H_
