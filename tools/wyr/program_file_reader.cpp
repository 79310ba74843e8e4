#include "program_file_reader.h"

#include <fmt/format.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace wyr {
namespace {

namespace fs = std::filesystem;
using driverwyr::Status;

// Reads the whole file, at most one byte more than the largest program file,
// so that an oversized file is refused without reading all of it.
Status ReadProgramBytes(const std::string& path, std::string& bytes) {
  std::error_code error;
  const fs::file_status status = fs::status(fs::path(path), error);
  if (fs::is_directory(status)) return Status::Refused("is a folder, not a program file");
  // A device or a pipe could block or never end; only regular files are read.
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    return Status::Refused("is not a regular file, not a program file");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::NotFound("cannot be opened for reading");
  char buffer[65536];
  while (bytes.size() <= driverwyr::kMaxProgramFileSize) {
    in.read(buffer, sizeof buffer);
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (!in) break;
  }
  if (in.bad()) return Status::IoError("cannot be read");
  if (bytes.size() > driverwyr::kMaxProgramFileSize) {
    return Status::Invalid(
        fmt::format("not a program file: it is larger than the largest program file ({} bytes, {} records)",
                    driverwyr::kMaxProgramFileSize, driverwyr::kMaxProgramRecords));
  }
  return Status::Ok();
}

}  // namespace

driverwyr::Result<driverwyr::ProgramFile> ReadProgramFile(const std::string& path) {
  std::string bytes;
  if (Status read = ReadProgramBytes(path, bytes); !read.ok()) return read;
  driverwyr::ProgramFile file;
  const std::string error = driverwyr::DecodeProgramFile(bytes, file);
  if (!error.empty()) return Status::Invalid("not a program file: " + error);
  return file;
}

}  // namespace wyr
