#include "bending/bend_warnings.h"

#include "platform/platform.h"

namespace driverwyr {

int WarningMessageId(int code) {
  switch (code) {
    case kWarningMaterialNumber:
    case kWarningMaterialFile: return 51015;
    case kWarningUnknownPunch: return 51028;
    case kWarningUnknownDie: return 51029;
    case kWarningElongation: return 51016;
    case kWarningRatioLow: return 51017;
    case kWarningRatioHigh: return 51018;
    case kWarningBelowMinimum: return 51019;
    case kWarningAboveMaximum: return 51020;
    case kWarningAbovePunchLimit: return 51021;
    case kWarningAboveDieLimit: return 51022;
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
  std::string heading = LoadMessageText(51023);
  const std::size_t placeholder = heading.find("%d");
  if (placeholder != std::string::npos) heading.replace(placeholder, 2, std::to_string(step_number));
  return heading + '\n' + lines;
}

void ShowBendWarnings(int step_number, const WarningList& warnings) {
  const std::string text = BendWarningText(step_number, warnings);
  if (!text.empty()) ShowMessage(text, kMessageOk);
}

}  // namespace driverwyr
