#include "driverwyr/setup.h"

#include <cstring>
#include <utility>

#include "records/record_copy.h"

CPPSetup::CPPSetup() = default;

CPPSetup::CPPSetup(const CPPSetup& other) : CPPSetup() { *this = other; }

const CPPSetup& CPPSetup::operator=(const CPPSetup& other) {
  if (this != &other) {
    Fields& to = fields_;
    const Fields& from = other.fields_;
    DRIVERWYR_COPY_FIELDS(DRIVERWYR_SETUP_FIELDS)
  }
  return *this;
}

CPPSetup::~CPPSetup() = default;

CString CPPSetup::GetSetupName() const { return fields_.SetupName_; }
void CPPSetup::SetSetupName(CString value) { fields_.SetupName_ = std::move(value); }

int CPPSetup::GetControlType() const { return fields_.ControlType_; }
void CPPSetup::SetControlType(int value) { fields_.ControlType_ = value; }

CString CPPSetup::GetMachineModel() const { return fields_.MachineModel_; }
void CPPSetup::SetMachineModel(CString value) { fields_.MachineModel_ = std::move(value); }

int CPPSetup::GetSetupIndex() const { return fields_.SetupIndex_; }
void CPPSetup::SetSetupIndex(int value) { fields_.SetupIndex_ = value; }

CString CPPSetup::GetUserMachineName() const { return fields_.UserMachineName_; }
void CPPSetup::SetUserMachineName(CString value) { fields_.UserMachineName_ = std::move(value); }

float CPPSetup::GetBendingCoefficient() const { return fields_.BendingCoefficient_; }
void CPPSetup::SetBendingCoefficient(float value) { fields_.BendingCoefficient_ = value; }
