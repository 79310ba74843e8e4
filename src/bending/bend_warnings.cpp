#include "bending/bend_warnings.h"

#include "platform/platform.h"

namespace driverwyr {

int WarningMessageId(int code) {
  switch (code) {
    case kWarningMaterialNumber:
    case kWarningMaterialFile: return DRIVERWYR_MSG_MATERIAL_NOT_SUPPORTED;
    case kWarningUnknownPunch: return DRIVERWYR_MSG_PUNCH_NOT_IN_TOOL_LIST;
    case kWarningUnknownDie: return DRIVERWYR_MSG_DIE_NOT_IN_TOOL_LIST;
    case kWarningElongation: return DRIVERWYR_MSG_ELONGATION_TOO_HIGH;
    case kWarningRatioLow: return DRIVERWYR_MSG_V_RATIO_TOO_LOW;
    case kWarningRatioHigh: return DRIVERWYR_MSG_V_RATIO_TOO_HIGH;
    case kWarningBelowMinimum: return DRIVERWYR_MSG_FORCE_BELOW_MACHINE_MINIMUM;
    case kWarningAboveMaximum: return DRIVERWYR_MSG_FORCE_ABOVE_MACHINE_MAXIMUM;
    case kWarningAbovePunchLimit: return DRIVERWYR_MSG_FORCE_ABOVE_PUNCH_LIMIT;
    case kWarningAboveDieLimit: return DRIVERWYR_MSG_FORCE_ABOVE_DIE_LIMIT;
    case kWarningBeyondMachine: return DRIVERWYR_MSG_BEYOND_MACHINE;
    default: return 0;
  }
}

std::string BendWarningText(int step_number, const WarningList& warnings) {
  std::string lines;
  for (const int code : warnings) {
    const int id = WarningMessageId(code);
    if (id == 0) continue;
    lines += LoadMessageText(id);
    lines += '\n';
  }
  if (lines.empty()) return lines;
  // The heading's placeholder is replaced as text, never used as a format:
  // the string table is outside data.
  std::string heading = LoadMessageText(DRIVERWYR_MSG_STEP_NOTE);
  const std::size_t placeholder = heading.find("%d");
  if (placeholder != std::string::npos) heading.replace(placeholder, 2, std::to_string(step_number));
  return heading + '\n' + lines;
}

void ShowBendWarnings(int step_number, const WarningList& warnings) {
  const std::string text = BendWarningText(step_number, warnings);
  if (text.empty()) return;
  // The step is written as it stands; a depth or force the press cannot take
  // marks the box, so that a host knows the program needs a look.
  bool beyond_machine = false;
  for (const int code : warnings) beyond_machine = beyond_machine || code == kWarningBeyondMachine;
  ShowMessage(DRIVERWYR_MSG_STEP_NOTE, text, beyond_machine ? kMessageOk | kMessageIconWarning : kMessageOk);
}

}  // namespace driverwyr
