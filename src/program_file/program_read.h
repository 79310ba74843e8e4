// Reading a program file (".wyr") from disk through the file role.
#ifndef DRIVERWYR_PROGRAM_FILE_PROGRAM_READ_H_
#define DRIVERWYR_PROGRAM_FILE_PROGRAM_READ_H_

#include <string>

#include "platform/files.h"
#include "program_file/program_format.h"
#include "util/result.h"

namespace driverwyr {

// Reads and decodes the program file at `path`. Refuses a folder, anything
// that is not a regular file, a file larger than the largest program file and
// a file whose bytes are not a program file; the error's message is a
// sentence fragment to put after the path ("is a folder, not a program
// file", "not a program file: ...").
Result<ProgramFile> ReadProgramFile(FileSystem& files, const std::string& path);

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_FILE_PROGRAM_READ_H_
