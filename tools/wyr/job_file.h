// Job files of wyr: reading and validating them, and handing them to the
// driver. The format is that of the wyr documentation (job files, operator
// scripts); every error names its place in the file ("steps[3].ToolID[1]: ...").
#ifndef DRIVERWYR_TOOLS_WYR_JOB_FILE_H_
#define DRIVERWYR_TOOLS_WYR_JOB_FILE_H_

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "driverwyr/driverwyr.h"
#include "driverwyr/host.h"

namespace wyr {

// An invalid job file; what() names the place and the fault.
class JobError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct MaterialSpec {
  float thickness = 0.0f;
  float tensile = 0.0f;
  std::variant<int, std::string> kind;  // type code (SetMaterial_1) or name (SetMaterial_2)
};

// One action of the operator on an open dialog.
struct OperatorAction {
  enum class Kind { kType, kSelect, kBrowse, kPress };
  Kind kind = Kind::kPress;
  int control = 0;    // kType: the edit box's id
  std::string text;   // kType: the text typed; kSelect: the entry chosen
  // kBrowse: the folder chosen (resolved, in the platform's form); nullopt
  // cancels the browser; the empty string is an item without a file-system path.
  std::optional<std::string> folder;
  int button = 0;     // kPress: 1 ("create") or 2 ("cancel")
};

// What the operator does with one dialog.
struct OperatorEntry {
  enum class Kind { kCreate, kCancel, kActions };
  Kind kind = Kind::kCreate;
  std::vector<OperatorAction> actions;  // kActions
};

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

// Parses the text of a job file that lies in `folder`. Throws JobError.
void ParseJob(std::string_view text, const std::filesystem::path& folder, Job& job);

// Reads and parses the job file `file`. Throws JobError (also when it cannot
// be read).
void LoadJobFile(const std::filesystem::path& file, Job& job);

// Hands the job to the driver: CreatePPDBInstance, SetUnit, SetPathNames,
// SetMaterial_1 or SetMaterial_2 (when the job has a material), then
// InitPPSequence, InitToolInfo, InitSetupInfo, InitMachineInfo, InitBkGaugeInfo.
void ApplyJob(Job& job);

// The store's contents as `wyr check` prints them: the unit, one line per
// path (each beginning with "path "), the material, and per record the fields
// that the driver uses, one item a line ("steps[0].BendAngle: 90"). Numbers of
// single and double precision are shown with six significant digits, strings
// in double quotes with control bytes escaped. A ToolID entry ends at its
// first NUL or after its 32 bytes.
std::string DescribeStore(const driverwyr::StoreCopy& store);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JOB_FILE_H_
