// Job files of wyr: reading and validating them, and handing them to the
// driver. The format is that of the wyr documentation (job files, operator
// scripts); every error names its place in the file ("steps[3].ToolID[1]: ...").
//
// The text is read in one pass: keys, types, ranges and shapes are checked as
// they come, and each record is built as soon as its object ends. Faults of
// the JSON text itself (syntax, nesting deeper than 16 levels) are reported
// wherever they are in the file; otherwise the first fault in the file is.
#ifndef DRIVERWYR_TOOLS_WYR_JOB_FILE_H_
#define DRIVERWYR_TOOLS_WYR_JOB_FILE_H_

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "driverwyr/driverwyr.h"
#include "driverwyr/operator_script.h"
#include "driverwyr/result.h"

namespace wyr {

struct MaterialSpec {
  float thickness = 0.0f;
  float tensile = 0.0f;
  std::variant<int, std::string> kind;  // type code (SetMaterial_1) or name (SetMaterial_2)
};

// The operator's script: what the operator does with each dialog
// (driverwyr/operator_script.h).
using OperatorAction = driverwyr::OperatorAction;
using OperatorEntry = driverwyr::OperatorEntry;

struct Job {
  std::filesystem::path folder;  // folder of the job file; relative paths resolve against it
  int unit = 0;
  std::string program_path;      // resolved, in the platform's own form
  std::string data_path;
  std::string conversion_path;
  std::optional<MaterialSpec> material;
  RecordArray<CPPStepInfo> steps;
  RecordArray<CPPTool> tools;
  RecordArray<CPPSetup> setups;
  RecordArray<CPPMachine> machines;
  RecordArray<CPPBGauge> gauges;
  std::vector<OperatorEntry> operator_script;  // entries beyond its end mean "create"
};

// The largest job file that LoadJobFile reads.
inline constexpr std::size_t kMaxJobFileSize = std::size_t{1} << 30;

// Parses the text of a job file that lies in `folder`. On error the message
// names the place.
driverwyr::Result<Job> ParseJob(std::string_view text, const std::filesystem::path& folder);

// Reads and parses the job file `file`, which must be a regular file of at
// most kMaxJobFileSize bytes. Errors as ParseJob's, or why the file cannot be
// read ("cannot be opened", "is a folder, not a job file", ...).
driverwyr::Result<Job> LoadJobFile(const std::filesystem::path& file);

// Hands the job to the driver: CreatePPDBInstance, SetUnit, SetPathNames,
// SetMaterial_1 or SetMaterial_2 (when the job has a material), then
// InitPPSequence, InitToolInfo, InitSetupInfo, InitMachineInfo and
// InitBkGaugeInfo, each array released as soon as the store has its copy
// unless `keep_records` (the job keeps its settings and script either way).
// Fails only when the store cannot be created.
driverwyr::Status ApplyJob(Job& job, bool keep_records = false);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JOB_FILE_H_
