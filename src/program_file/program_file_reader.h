// Reading a program file (".wyr") from disk.
// The declaration is part of the library's interface and lives in the public
// header (driverwyr/program_format.h); the driver's own sources include it
// under this name.
#ifndef DRIVERWYR_PROGRAM_FILE_PROGRAM_FILE_READER_H_
#define DRIVERWYR_PROGRAM_FILE_PROGRAM_FILE_READER_H_

#include "driverwyr/program_format.h"

#endif  // DRIVERWYR_PROGRAM_FILE_PROGRAM_FILE_READER_H_
