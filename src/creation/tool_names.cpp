// Placeholder until the tool-name conversion lands: the control's names stay empty.
#include "creation/tool_names.h"

namespace driverwyr {

ToolNames FillToolNames(const RecordArray<CPPStepInfo>& /*steps*/, int /*control_type*/,
                        const std::string& /*conversion_path*/) {
  return ToolNames{};
}

std::string ConvertToolName(const std::string& host_name, int /*sectional*/,
                            const std::string& /*conversion_path*/) {
  return host_name.empty() ? std::string("0") : host_name;
}

}  // namespace driverwyr
