// CPPSetup: one tool setup. A group of steps uses the first stored setup whose
// SetupIndex equals the steps' SetupIndex less one; the setup gives the
// dialog its names and control type (0, 2 and 7 are known; only 2 writes a
// program file) and the calculation its machine (UserMachineName) and bending
// coefficient. A default setup has ControlType 2 and is otherwise empty.
#ifndef DRIVERWYR_SETUP_H_
#define DRIVERWYR_SETUP_H_

#include "driverwyr/cstring.h"
#include "driverwyr/export.h"

namespace driverwyr {
struct RecordKeys;  // the driver's look-ups read the names without copying them
}  // namespace driverwyr

class DRIVERWYR_API CPPSetup {
 public:
  // Default record (see above).
  CPPSetup();
  // Complete copies of every field.
  CPPSetup(const CPPSetup& other);
  // Copies every field; assigning a record to itself changes nothing.
  const CPPSetup& operator=(const CPPSetup& other);
  virtual ~CPPSetup();

  CString GetSetupName() const;
  void SetSetupName(CString value);
  int GetControlType() const;
  void SetControlType(int value);
  CString GetMachineModel() const;
  void SetMachineModel(CString value);
  int GetSetupIndex() const;
  void SetSetupIndex(int value);
  CString GetUserMachineName() const;
  void SetUserMachineName(CString value);
  float GetBendingCoefficient() const;
  void SetBendingCoefficient(float value);

 private:
  friend struct driverwyr::RecordKeys;
  // The fields in declaration order, with their defaults.
  struct Fields {
    CString SetupName_;
    int ControlType_ = 2;
    CString MachineModel_;
    int SetupIndex_ = 0;
    CString UserMachineName_;
    float BendingCoefficient_ = 0.0f;
  };
  Fields fields_;
};

#endif  // DRIVERWYR_SETUP_H_
