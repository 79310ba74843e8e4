// Helpers shared by the creation run's parts.
#ifndef DRIVERWYR_CREATION_CREATION_INTERNAL_H_
#define DRIVERWYR_CREATION_CREATION_INTERNAL_H_

#include <string>

namespace driverwyr {

// Copies `path` into a caller's buffer of kMaxPathBuffer bytes: a longer path
// is cut to fit, and the copy always ends in NUL. A null buffer is left alone.
void CopyPathToHost(const std::string& path, char* buffer);

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_CREATION_INTERNAL_H_
