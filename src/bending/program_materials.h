// The material data files that one program is calculated from.
//
// Every calculated step reads its material data file afresh: the files are
// small, and a calibration tool or a copy from a server may replace one at
// any moment. So that one program never mixes two versions of a file, the
// bytes of the first read of each file are kept for the program, and every
// later read is compared with them. A file that was readable and no longer
// is, or the other way round, has changed too.
#ifndef DRIVERWYR_BENDING_PROGRAM_MATERIALS_H_
#define DRIVERWYR_BENDING_PROGRAM_MATERIALS_H_

#include <optional>
#include <string>
#include <vector>

#include "driverwyr/files.h"
#include "driverwyr/material_data.h"
#include "driverwyr/result.h"

namespace driverwyr {

class ProgramMaterials {
 public:
  // Reads material data file `path` through `files` into `models`, as
  // ReadMaterialFile does, and compares what it read with the first read of
  // `path` for this program. A difference marks the program (changed()); the
  // result is that of this read either way.
  Status Read(FileSystem& files, const std::string& path, MaterialFile& models);

  // The path of the first file that changed since this program first read
  // it, or nothing.
  const std::optional<std::string>& changed() const { return changed_; }

  // The path and reason of a file that exists but could not be used (it is
  // unreadable or malformed), once per file and program: the step's box says
  // only "The material is not supported.", so the operator is told once
  // which file is at fault and why. A missing file is not reported here.
  std::optional<std::string> TakeUnusable();

 private:
  struct FirstRead {
    std::string path;
    bool readable = false;
    std::string bytes;
  };
  std::vector<FirstRead> first_reads_;  // one per file, at most four
  std::string scratch_;                 // the bytes of the latest read
  std::optional<std::string> changed_;
  std::optional<std::string> unusable_;  // not yet taken
};

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_PROGRAM_MATERIALS_H_
