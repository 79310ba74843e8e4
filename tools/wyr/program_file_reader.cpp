#include "program_file_reader.h"

#include "platform/files.h"
#include "program_file/program_read.h"

namespace wyr {

driverwyr::Result<driverwyr::ProgramFile> ReadProgramFile(const std::string& path) {
  return driverwyr::ReadProgramFile(driverwyr::DefaultFileSystem(), path);
}

}  // namespace wyr
