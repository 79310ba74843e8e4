#include "program_file_reader.h"

#include <fmt/format.h>

#include <utility>

#include "driverwyr/files.h"

namespace wyr {
namespace {

using driverwyr::Status;

// Reads the whole file through the file role: only a regular file, and
// never more than the largest program file.
Status ReadProgramBytes(const std::string& path, std::string& bytes) {
  driverwyr::Result<std::string> read =
      driverwyr::ReadWholeFile(driverwyr::DefaultFileSystem(), path, driverwyr::kMaxProgramFileSize);
  if (!read.ok()) {
    if (read.status().code() != Status::Code::kInvalid) return read.status();
    return Status::Invalid(
        fmt::format("not a program file: it is larger than the largest program file ({} bytes, {} records)",
                    driverwyr::kMaxProgramFileSize, driverwyr::kMaxProgramRecords));
  }
  bytes = std::move(*read);
  return Status::Ok();
}

}  // namespace

driverwyr::Result<driverwyr::ProgramFile> ReadProgramFile(const std::string& path) {
  std::string bytes;
  if (Status read = ReadProgramBytes(path, bytes); !read.ok()) return read;
  driverwyr::ProgramFile file;
  const Status decoded = driverwyr::DecodeProgramFile(bytes, file);
  if (!decoded.ok()) return Status::Invalid("not a program file: " + decoded.message());
  return file;
}

}  // namespace wyr
