// Reading a whole file that wyr was given (a job file, a program file to
// dump): only a regular file is read, and never more than a limit, so a
// folder, a FIFO or a device is refused at once instead of blocking or
// reading forever.
#ifndef DRIVERWYR_TOOLS_WYR_REGULAR_FILE_H_
#define DRIVERWYR_TOOLS_WYR_REGULAR_FILE_H_

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "driverwyr/result.h"

namespace wyr {

// The bytes of the regular file `path`, when it holds at most `max_size`
// bytes. Errors, by code: kNotFound "cannot be opened" (it does not exist or
// may not be read); kRefused "is a folder, not a <noun>" and "is not a
// regular file, so not a <noun>" (a FIFO, a device, a socket); kInvalid "is
// larger than <max_size> bytes"; kIoError "cannot be read".
driverwyr::Result<std::string> ReadRegularFile(const std::filesystem::path& path, std::size_t max_size,
                                               std::string_view noun);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_REGULAR_FILE_H_
