#include "driverwyr/program_format.h"

#include <string>
#include <utility>

#include "driverwyr/files.h"

namespace driverwyr {

Result<ProgramFile> ReadProgramFile(FileSystem& files, const std::string& path) {
  // Only a regular file, and never more than the largest program file.
  Result<std::string> read = ReadWholeFile(files, path, kMaxProgramFileSize);
  if (!read.ok()) {
    if (read.status().code() != Status::Code::kInvalid) return read.status();
    return Status::Invalid("not a program file: it is larger than the largest program file (" +
                           std::to_string(kMaxProgramFileSize) + " bytes, " + std::to_string(kMaxProgramRecords) +
                           " records)");
  }
  ProgramFile file;
  const Status decoded = DecodeProgramFile(*read, file);
  if (!decoded.ok()) return Status::Invalid("not a program file: " + decoded.message());
  return file;
}

Result<ProgramFile> ReadProgramFile(const std::string& path) { return ReadProgramFile(DefaultFileSystem(), path); }

}  // namespace driverwyr
