// The control types and the materials as each control knows them.
#include <array>
#include <string_view>

#include "creation/control_types.h"
#include "creation/program_creation_dialog.h"
#include "driverwyr/units.h"

namespace driverwyr {
namespace {

// What a material becomes on a control: its name, number and hardness in
// millimetre mode. Type 0 controls have no material numbers.
struct ControlMaterial {
  std::string_view name;
  std::int16_t number;
  float hardness;
};

constexpr std::array<ControlMaterial, 3> kExMaterials = {{
    {"Mild", 0, 32.0f},
    {"Stainless", 0, 80.0f},
    {"Aluminium", 0, 15.0f},
}};

constexpr std::array<ControlMaterial, 4> kNumberedMaterials = {{
    {"C.R.S.", 1, 40.0f},
    {"AL1", 2, 33.0f},
    {"AL2", 3, 40.0f},
    {"S.S.", 4, 60.0f},
}};

// The store's material type code on a control of type 0, 2 or 7; null for
// codes that the control does not know.
const ControlMaterial* MaterialOfType(int control_type, int material_type) {
  int row = -1;  // 0 mild / cold rolled, 1 aluminium (3), 2 aluminium (4), 3 stainless
  switch (material_type) {
    case 1: case 2: case 7: case 8: row = 0; break;
    case 3: row = 1; break;
    case 4: row = 2; break;
    case 5: case 6: row = 3; break;
    default: return nullptr;
  }
  if (control_type == 0) {
    static constexpr int kExRow[] = {0, 2, 2, 1};  // mild, aluminium, aluminium, stainless
    return &kExMaterials[static_cast<std::size_t>(kExRow[row])];
  }
  if (TakesMaterialNumbers(control_type)) return &kNumberedMaterials[static_cast<std::size_t>(row)];
  return nullptr;
}

}  // namespace

void ProgramCreationDialog::ApplyControlType() {
  setup_name_ = setup_->GetSetupName().str();
  machine_model_ = setup_->GetMachineModel().str();
  data_.ControlType = setup_->GetControlType();
  switch (data_.ControlType) {
    case 0: control_type_name_ = "EX"; break;
    case 2: control_type_name_ = "Talvenor"; break;
    case 7: control_type_name_ = "BandR"; break;
    default: break;  // keeps "WYR"
  }
  setup_count_ = store_->SetupArray.GetSize();
}

void ProgramCreationDialog::ApplyMaterialCode() {
  data_.Thickness = store_->MaterialThickness;
  data_.Hardness = store_->MaterialTensile;
  const ControlMaterial* material = MaterialOfType(data_.ControlType, store_->MaterialType);
  if (material == nullptr) return;
  data_.Hardness = material->hardness;
  data_.MaterialName = std::string(material->name);
  if (TakesMaterialNumbers(data_.ControlType)) data_.MaterialNumber = material->number;
}

void ProgramCreationDialog::FillMaterialList(DialogWindow& window) {
  if (data_.ControlType == 0) {
    for (std::size_t i = 0; i < kExMaterials.size(); ++i) {
      window.InsertComboEntry(kIdMaterialList, static_cast<int>(i), std::string(kExMaterials[i].name));
    }
  } else if (TakesMaterialNumbers(data_.ControlType)) {
    for (std::size_t i = 0; i < kNumberedMaterials.size(); ++i) {
      window.InsertComboEntry(kIdMaterialList, static_cast<int>(i), std::string(kNumberedMaterials[i].name));
    }
  } else {
    return;
  }
  window.SelectComboEntry(kIdMaterialList, data_.MaterialName);
}

void ProgramCreationDialog::OnMaterialChanged(DialogWindow& window) {
  const int index = window.GetComboSelection(kIdMaterialList);
  if (index < 0) return;  // no entry chosen: nothing to apply
  data_.MaterialName = window.GetComboEntry(kIdMaterialList, index);

  if (data_.ControlType == 0) {
    for (const ControlMaterial& material : kExMaterials) {
      if (data_.MaterialName == material.name) data_.Hardness = material.hardness;
    }
  } else if (TakesMaterialNumbers(data_.ControlType)) {
    for (const ControlMaterial& material : kNumberedMaterials) {
      if (data_.MaterialName != material.name) continue;
      // The table value first, then the inch factor: choosing the same
      // material twice shows the same hardness.
      data_.Hardness = material.hardness;
      data_.MaterialNumber = material.number;
      if (data_.Unit == 1) data_.Hardness = static_cast<float>(data_.Hardness * kInchHardnessFactor);
    }
  }
  DoDataExchange(window, false);
}

}  // namespace driverwyr
