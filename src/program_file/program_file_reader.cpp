#include "program_file/program_file_reader.h"

#include <fmt/format.h>

#include <utility>

#include "driverwyr/files.h"

namespace driverwyr {
namespace {

// Reads the whole file through the file role: only a regular file, and
// never more than the largest program file.
Status ReadProgramBytes(const std::string& path, std::string& bytes) {
  Result<std::string> read =
      ReadWholeFile(DefaultFileSystem(), path, kMaxProgramFileSize);
  if (!read.ok()) {
    if (read.status().code() != Status::Code::kInvalid) return read.status();
    return Status::Invalid(
        fmt::format("not a program file: it is larger than the largest program file ({} bytes, {} records)",
                    kMaxProgramFileSize, kMaxProgramRecords));
  }
  bytes = std::move(*read);
  return Status::Ok();
}

}  // namespace

Result<ProgramFile> ReadProgramFile(const std::string& path) {
  std::string bytes;
  if (Status read = ReadProgramBytes(path, bytes); !read.ok()) return read;
  ProgramFile file;
  const Status decoded = DecodeProgramFile(bytes, file);
  if (!decoded.ok()) return Status::Invalid("not a program file: " + decoded.message());
  return file;
}

}  // namespace driverwyr
