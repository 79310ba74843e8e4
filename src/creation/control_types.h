// What the control type of a machine decides in the creation dialog.
#ifndef DRIVERWYR_CREATION_CONTROL_TYPES_H_
#define DRIVERWYR_CREATION_CONTROL_TYPES_H_

namespace driverwyr {

// Controls of type 2 and 7 number their materials (1 to 4) and take tool
// names converted through the conversion file; type 0 takes the host's.
inline constexpr bool TakesMaterialNumbers(int control_type) { return control_type == 2 || control_type == 7; }

// The most characters a control's tool name holds, in the dialog's boxes and
// in the program file.
inline constexpr int kControlToolNameChars = 6;

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_CONTROL_TYPES_H_
