// Reading a program file (".wyr") from disk for wyr's commands: dump and
// sheet read it the same way, through the format's one decoder.
#ifndef DRIVERWYR_TOOLS_WYR_PROGRAM_FILE_READER_H_
#define DRIVERWYR_TOOLS_WYR_PROGRAM_FILE_READER_H_

#include <string>

#include "driverwyr/program_format.h"
#include "driverwyr/result.h"

namespace wyr {

// Reads and decodes the program file at `path`. Refuses a folder, anything
// that is not a regular file, a file larger than the largest program file and
// a file whose bytes are not a program file; the error's message is a
// sentence fragment to put after "wyr: PATH: " ("is a folder, not a program
// file", "not a program file: ...").
driverwyr::Result<driverwyr::ProgramFile> ReadProgramFile(const std::string& path);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_PROGRAM_FILE_READER_H_
