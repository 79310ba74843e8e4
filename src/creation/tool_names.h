// The group's punch, die, die holder and spacer, with their names translated
// for the control through the conversion file and their orientation codes.
#ifndef DRIVERWYR_CREATION_TOOL_NAMES_H_
#define DRIVERWYR_CREATION_TOOL_NAMES_H_

#include <string>

#include "driverwyr/record_array.h"
#include "driverwyr/result.h"
#include "driverwyr/step_info.h"

namespace driverwyr {

struct ToolNames {
  std::string HostPunchName, HostDieName, HostDieHolderName, HostSpacerName;
  std::string ControlPunchName, ControlDieName, ControlDieHolderName, ControlSpacerName;
  std::string PunchRev, DieRev, DieHolderRev;
  // The conversion file's first error (a NUL byte, a failed read); the names
  // it would have supplied are the host names.
  Status conversion;
};

// Collects the tool names of the group's steps (the closing step included),
// looking tools up in the store; translates them for control types 2 and 7.
ToolNames FillToolNames(const RecordArray<CPPStepInfo>& steps, int control_type,
                        const std::string& conversion_path);

// The control's name for `host_name` from the conversion file at
// `conversion_path`: "0" for an empty host name, the host name itself when the
// file cannot be opened or has no matching line. An error, starting with the
// path, when the file holds a NUL byte (naming its line) or a read fails.
Result<std::string> ConvertToolName(const std::string& host_name, int sectional,
                                    const std::string& conversion_path);

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_TOOL_NAMES_H_
