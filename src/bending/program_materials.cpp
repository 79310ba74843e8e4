#include "bending/program_materials.h"

namespace driverwyr {

Status ProgramMaterials::Read(FileSystem& files, const std::string& path, MaterialFile& models) {
  Status read = ReadMaterialFile(files, path, models, &scratch_);
  // A file that cannot be read at all is one outcome; a file that can is
  // known by its bytes, which decide the models whether they parse or not.
  const bool readable = read.ok() || read.code() == Status::Code::kInvalid;
  for (const FirstRead& first : first_reads_) {
    if (first.path != path) continue;
    if (!changed_ && (first.readable != readable || first.bytes != scratch_)) changed_ = path;
    return read;
  }
  first_reads_.push_back(FirstRead{path, readable, scratch_});
  if (!read.ok() && read.code() != Status::Code::kNotFound && !unusable_) unusable_ = read.message();
  return read;
}

std::optional<std::string> ProgramMaterials::TakeUnusable() {
  std::optional<std::string> taken = std::move(unusable_);
  unusable_.reset();
  return taken;
}

}  // namespace driverwyr
