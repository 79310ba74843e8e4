// ProgramData: what the creation dialog collects for one program file, and the
// parameter block of the program file writer and the bend calculation.
//
// The dialog owns one ProgramData and binds its edit boxes to these members;
// after "Create..." the writer converts Thickness and Hardness in place (to
// millimetres and the control's hardness) before any step is calculated, so the
// calculation reads the converted values.
#ifndef DRIVERWYR_PROGRAM_FILE_PROGRAM_DATA_H_
#define DRIVERWYR_PROGRAM_FILE_PROGRAM_DATA_H_

#include <cstdint>
#include <string>

namespace driverwyr {

struct ProgramData {
  int Unit = 0;         // the store's unit flag: 1 = inch, else millimetre
  int ControlType = 0;  // the group setup's control type; only 2 writes files
  std::string FileName;       // full path of the program file
  std::string ProgramName;    // header text, 6 characters
  std::string PartReference;  // header text, 13 characters
  float Thickness = 0.0f;     // millimetres, or inches while an inch dialog is open
  std::string MaterialName;   // the control's material text
  std::int16_t MaterialNumber = 0;  // 1..4, selects the material data file
  float Hardness = 0.0f;            // as shown in the dialog
  std::string ControlPunchName;
  std::string ControlDieName;
  std::string ControlDieHolderName;
  std::string ControlSpacerName;
  std::string PunchRev;      // only the first character is written
  std::string DieHolderRev;
  std::string DieRev;
  std::string CreationDate;  // "%m/%d/%y"
  std::int16_t RecordCount = 0;      // steps of the group plus the closing record
  std::int16_t WrittenHardness = 0;  // the rounded hardness the writer put into the header
};

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_FILE_PROGRAM_DATA_H_
