// ParseJob, LoadJobFile and ApplyJob: a job file from its bytes to the
// driver's store.
#include <new>
#include <string>
#include <variant>

#include "job_file.h"
#include "job_reader.h"
#include "regular_file.h"

namespace wyr {
namespace {

using driverwyr::Result;
using driverwyr::Status;

Status TooLarge() { return Status::Invalid("the job is too large for the memory available"); }

}  // namespace

Result<Job> ParseJob(std::string_view text, const std::filesystem::path& folder) {
  try {
    Job job;
    JobReader reader(folder, job);
    if (Status status = reader.Read(text); !status.ok()) return status;
    if (Status status = reader.Finish(); !status.ok()) return status;
    return job;
  } catch (const std::bad_alloc&) {
    return TooLarge();
  }
}

Result<Job> LoadJobFile(const std::filesystem::path& file) {
  try {
    driverwyr::Result<std::string> text = ReadRegularFile(file, kMaxJobFileSize, "job file");
    if (!text.ok()) return text.status();
    const std::filesystem::path folder = std::filesystem::absolute(file).parent_path().lexically_normal();
    Job job;
    JobReader reader(folder, job);
    if (Status status = reader.Read(*text); !status.ok()) return status;
    std::string().swap(*text);  // the text is no longer needed while the records are moved
    if (Status status = reader.Finish(); !status.ok()) return status;
    return job;
  } catch (const std::bad_alloc&) {
    return TooLarge();
  } catch (const std::filesystem::filesystem_error&) {
    return Status::NotFound("cannot be opened");
  }
}

Status ApplyJob(Job& job, bool keep_records) {
  if (!CreatePPDBInstance()) return Status::IoError("the driver's store could not be created");
  const auto text = [](const std::string& s) { return CString(s.data(), static_cast<int>(s.size())); };
  SetUnit(job.unit);
  SetPathNames(text(job.program_path), text(job.data_path), text(job.conversion_path));
  if (job.material) {
    const MaterialSpec& material = *job.material;
    if (const int* type = std::get_if<int>(&material.kind)) {
      SetMaterial_1(material.thickness, material.tensile, *type);
    } else {
      SetMaterial_2(material.thickness, material.tensile, text(std::get<std::string>(material.kind)));
    }
  }
  // The store keeps its own copies: each array is released once handed over,
  // unless the caller still needs the records.
  const auto release = [keep_records](auto& records) {
    if (!keep_records) records.RemoveAll();
  };
  InitPPSequence(&job.steps);
  release(job.steps);
  InitToolInfo(&job.tools);
  release(job.tools);
  InitSetupInfo(&job.setups);
  release(job.setups);
  InitMachineInfo(&job.machines);
  release(job.machines);
  InitBkGaugeInfo(&job.gauges);
  release(job.gauges);
  return Status::Ok();
}

}  // namespace wyr
