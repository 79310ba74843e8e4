// ReadRegularFile through the platform's file role: the same refusal of
// folders, FIFOs and devices as every reader of the driver, in the words of
// the file that wyr expected.
#include "regular_file.h"

#include <string>

#include "driverwyr/files.h"

namespace wyr {

driverwyr::Result<std::string> ReadRegularFile(const std::filesystem::path& path, std::size_t max_size,
                                               std::string_view noun) {
  using driverwyr::Status;
  driverwyr::Result<std::string> bytes =
      driverwyr::ReadWholeFile(driverwyr::DefaultFileSystem(), path.string(), max_size);
  if (bytes.ok()) return bytes;
  const Status& status = bytes.status();
  switch (status.code()) {
    case Status::Code::kNotFound:
      return Status::NotFound("cannot be opened");
    case Status::Code::kRefused:
      if (status.message() == "is a folder, not a file") return Status::Refused("is a folder, not a " + std::string(noun));
      if (status.message() == "is not a regular file") {
        return Status::Refused("is not a regular file, so not a " + std::string(noun));
      }
      return Status::NotFound("cannot be opened");
    default:
      return status;
  }
}

}  // namespace wyr
