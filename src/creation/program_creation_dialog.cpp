#include "creation/program_creation_dialog.h"

#include <algorithm>
#include <limits>
#include <new>

#include "bending/calculate_step.h"
#include "bending/program_materials.h"
#include "creation/control_types.h"
#include "creation/creation_internal.h"
#include "creation/run_record.h"
#include "creation/serial_counter.h"
#include "creation/tool_names.h"
#include "driverwyr/units.h"
#include "platform/platform.h"
#include "program_file/program_writer.h"
#include "util/text.h"

namespace driverwyr {

// --- data exchange -------------------------------------------------------------

namespace {

// One pass of the data exchange over the dialog's controls. Filling
// (save == false) writes every member into its control and turns every length
// check into the typing limit of its box. Reading back (save == true) reads
// every control into its member and applies the checks; after the first
// failure (message shown, focus set) every later step does nothing.
class Exchange {
 public:
  Exchange(DialogWindow& window, bool save) : window_(window), save_(save) {}

  bool ok() const { return ok_; }

  void Text(int id, std::string& member) {
    if (!ok_) return;
    if (save_) {
      member = window_.GetControlText(id);
    } else {
      window_.SetControlText(id, member);
    }
  }

  void Integer(int id, std::int32_t& member) {
    if (!ok_) return;
    if (!save_) {
      window_.SetControlText(id, std::to_string(member));
      return;
    }
    const auto value = ParseInteger(window_.GetControlText(id), std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
    if (!value) return Fail(id, "Please enter an integer.");
    member = static_cast<std::int32_t>(*value);
  }

  void Integer(int id, std::int16_t& member) {
    if (!ok_) return;
    if (!save_) {
      window_.SetControlText(id, std::to_string(member));
      return;
    }
    const auto value = ParseInteger(window_.GetControlText(id), std::numeric_limits<std::int16_t>::min(),
                                    std::numeric_limits<std::int16_t>::max());
    if (!value) return Fail(id, "Please enter an integer.");
    member = static_cast<std::int16_t>(*value);
  }

  void Decimal(int id, float& member) {
    if (!ok_) return;
    if (!save_) {
      window_.SetControlText(id, FormatFloat(member));
      return;
    }
    const auto value = ParseFloat(window_.GetControlText(id));
    if (!value) return Fail(id, "Please enter a number.");
    member = *value;
  }

  // A length check of the text just exchanged through control `id`.
  void MaxChars(int id, const std::string& member, int limit) {
    if (!ok_) return;
    if (!save_) {
      window_.SetTextLimit(id, limit);
      return;
    }
    if (member.size() > static_cast<std::size_t>(limit)) {
      Fail(id, "Please enter no more than " + std::to_string(limit) + " characters.");
    }
  }

  // A range check of the number just exchanged through control `id`.
  void Range(int id, float member, float low, float high) {
    if (!ok_ || !save_) return;
    if (member < low || member > high) {
      Fail(id, "Please enter a number between " + FormatFloat(low) + " and " + FormatFloat(high) + ".");
    }
  }

 private:
  void Fail(int id, const std::string& message) {
    ok_ = false;
    window_.ShowValidationMessage(id, message);
    window_.FocusControl(id);
  }

  DialogWindow& window_;
  const bool save_;
  bool ok_ = true;
};

}  // namespace

bool ProgramCreationDialog::DoDataExchange(DialogWindow& window, bool save) {
  Exchange dx(window, save);
  // The bound boxes 1081, 1080 and the material list 1009 carry no data of
  // their own: the combo box is filled by FillMaterialList and read by
  // OnMaterialChanged.
  dx.Text(kIdSetupName, setup_name_);
  dx.Text(kIdControlTypeName, control_type_name_);
  dx.Text(kIdMachineModel, machine_model_);
  dx.Text(kIdFileName, data_.FileName);
  dx.Text(kIdProgramName, data_.ProgramName);
  dx.Text(kIdPartReference, data_.PartReference);
  dx.Integer(kIdTotalSteps, total_steps_);
  dx.Decimal(kIdThickness, data_.Thickness);
  dx.Text(kIdMaterialName, data_.MaterialName);
  dx.Integer(kIdMaterialNumber, data_.MaterialNumber);
  dx.Text(kIdHostPunchName, host_punch_name_);
  dx.Text(kIdHostDieName, host_die_name_);
  dx.Text(kIdHostDieHolderName, host_die_holder_name_);
  dx.Text(kIdDieHolderRev, data_.DieHolderRev);
  dx.Text(kIdHostSpacerName, host_spacer_name_);
  dx.Text(kIdDieRev, data_.DieRev);
  dx.Text(kIdPunchRev, data_.PunchRev);
  dx.Text(kIdCreationDate, data_.CreationDate);
  dx.Text(kIdControlPunchName, data_.ControlPunchName);
  dx.MaxChars(kIdControlPunchName, data_.ControlPunchName, kControlToolNameChars);
  dx.Text(kIdControlDieName, data_.ControlDieName);
  dx.MaxChars(kIdControlDieName, data_.ControlDieName, kControlToolNameChars);
  dx.Text(kIdControlDieHolderName, data_.ControlDieHolderName);
  dx.MaxChars(kIdControlDieHolderName, data_.ControlDieHolderName, kControlToolNameChars);
  dx.Text(kIdControlSpacerName, data_.ControlSpacerName);
  dx.MaxChars(kIdControlSpacerName, data_.ControlSpacerName, kControlToolNameChars);

  // The die name, program name and part reference once more, with the
  // limits of the control type (none for unknown types).
  const int type = data_.ControlType;
  const bool known = TakesMaterialNumbers(type) || type == 0;
  dx.Text(kIdControlDieName, data_.ControlDieName);
  if (known) dx.MaxChars(kIdControlDieName, data_.ControlDieName, type == 0 ? 50 : kControlToolNameChars);
  dx.Text(kIdProgramName, data_.ProgramName);
  if (known) dx.MaxChars(kIdProgramName, data_.ProgramName, type == 0 ? 50 : 6);
  dx.Text(kIdPartReference, data_.PartReference);
  if (known) dx.MaxChars(kIdPartReference, data_.PartReference, type == 0 ? 50 : 13);

  dx.Decimal(kIdHardness, data_.Hardness);
  if (TakesMaterialNumbers(type)) {
    dx.Range(kIdHardness, data_.Hardness, 1.0f, data_.Unit == 1 ? 1446.0f : 1000.0f);
  } else if (type == 0) {
    dx.Range(kIdHardness, data_.Hardness, 1.0f, 1000.0f);
  }
  return dx.ok();
}

// --- construction ----------------------------------------------------------------

ProgramCreationDialog::ProgramCreationDialog(PPDB& store, int group_setup_index, int group_index, int step_count,
                                             RecordArray<CPPStepInfo>& steps, bool allow_folder_change)
    : store_(&store), steps_(&steps), group_setup_index_(group_setup_index), group_index_(group_index) {
  data_.Unit = store_->Unit;

  // The first stored setup with the group's setup value. Without one, a
  // default setup stands in, as it does in the bend calculation.
  setup_ = &default_setup_;
  for (int i = 0; i < store_->SetupArray.GetSize(); ++i) {
    if (store_->SetupArray[i].GetSetupIndex() == group_setup_index_) {
      setup_ = &store_->SetupArray[i];
      setup_found_ = true;
      break;
    }
  }

  ApplyControlType();
  ApplyMaterialCode();
  extension_ = ".wyr";
  BuildProgramNames();

  if (step_count < 0) step_count = 0;
  total_steps_ = step_count;
  // 16 bits, as the header stores it; CreateProgram refuses a group whose
  // records do not fit.
  data_.RecordCount = static_cast<std::int16_t>(step_count + 1);
  steps.SetSize(step_count + 1);

  FillToolNameMembers();
  SetCreationDate();
  allow_folder_change_ = allow_folder_change;
}

ProgramCreationDialog::~ProgramCreationDialog() = default;

void ProgramCreationDialog::FillToolNameMembers() {
  ToolNames names = FillToolNames(*steps_, data_.ControlType, store_->ConversionPath);
  host_punch_name_ = std::move(names.HostPunchName);
  host_die_name_ = std::move(names.HostDieName);
  host_die_holder_name_ = std::move(names.HostDieHolderName);
  host_spacer_name_ = std::move(names.HostSpacerName);
  data_.ControlPunchName = std::move(names.ControlPunchName);
  data_.ControlDieName = std::move(names.ControlDieName);
  data_.ControlDieHolderName = std::move(names.ControlDieHolderName);
  data_.ControlSpacerName = std::move(names.ControlSpacerName);
  data_.PunchRev = std::move(names.PunchRev);
  data_.DieRev = std::move(names.DieRev);
  data_.DieHolderRev = std::move(names.DieHolderRev);
  conversion_ = std::move(names.conversion);
}

void ProgramCreationDialog::SetCreationDate() {
  // "%m/%d/%y" of today's local date.
  const CalendarDate today = Platform::Current().Time().LocalToday();
  const auto two = [](int value) {
    value = ((value % 100) + 100) % 100;
    return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
  };
  data_.CreationDate = two(today.month) + "/" + two(today.day) + "/" + two(today.year);
}

// --- the dialog's life --------------------------------------------------------------

bool ProgramCreationDialog::OnInitDialog(DialogWindow& window) {
  if (data_.Unit == 1) {
    data_.Thickness = static_cast<float>(data_.Thickness * kMillimetresToInches);
    if (TakesMaterialNumbers(data_.ControlType)) {
      data_.Hardness = static_cast<float>(data_.Hardness * kInchHardnessFactor);
    }
  }
  DoDataExchange(window, false);
  FillMaterialList(window);
  window.ShowControl(kIdBrowseButton, allow_folder_change_);
  return true;
}

void ProgramCreationDialog::OnCommand(DialogWindow& window, int control_id, int notification) {
  if (control_id == kIdMaterialList) {
    if (notification == kComboSelectionChanged) OnMaterialChanged(window);
    return;
  }
  if (notification != kButtonClicked) return;
  switch (control_id) {
    case kIdOk:
      if (DoDataExchange(window, true)) window.EndDialog(kIdOk);
      break;
    case kIdCancel:
      window.EndDialog(kIdCancel);
      break;
    case kIdBrowseButton:
      OnBrowseFolder(window);
      break;
    default:
      break;
  }
}

Status ProgramCreationDialog::CreateProgram() {
  data_.ProgramName = ToUpperAscii(TrimRight(data_.ProgramName));
  data_.PartReference = ToUpperAscii(TrimRight(data_.PartReference));
  if (data_.ControlType != 2) {
    return Status::Refused("control type " + std::to_string(data_.ControlType) +
                           " has no program format: only control type 2 is written");
  }
  // The header counts the records in 16 bits: a larger group cannot be
  // written without losing steps, so it is refused before the counter moves.
  if (data_.RecordCount <= 0 || data_.RecordCount != steps_->GetSize()) {
    return Status::Refused(std::to_string(steps_->GetSize() - 1) +
                           " steps are more than one program holds");
  }
  // Tool names from a damaged conversion file would reach the control cut
  // short: nothing is written, and the counter does not move.
  if (!conversion_.ok()) {
    ShowMessage(kMessageConversionFileUnusable, FillPlaceholders(LoadMessageText(kMessageConversionFileUnusable), {conversion_.message()}),
                kMessageOk | kMessageIconStop);
    return Status::Invalid(conversion_.message());
  }
  RunRecord& run = CurrentRun();
  if (run.dry_run) {
    KeepProposedNumber();
  } else {
    ClaimProgramNumber();
  }
  const CPPSetup* setup = setup_found_ ? setup_ : nullptr;
  const CPPStepInfo* first = steps_->GetData();
  // Every step of the program is calculated from the same contents of each
  // material data file.
  ProgramMaterials materials;
  const Status written = WriteProgramFile(
      data_, *steps_,
      [this, setup, first, &run, &materials](CPPStepInfo& step) {
        const WarningList warnings = CalculateBendData(data_, setup, step, &materials);
        CalculatedStep calculated;
        calculated.group = run.group;
        calculated.step = static_cast<int>(&step - first);
        calculated.number = step.GetNumberInSquence();
        std::copy(warnings.begin(), warnings.end(), calculated.warnings);
        calculated.depth = -step.GetY1();
        calculated.force = step.GetTonnageValue();
        run.calculated.push_back(calculated);
        if (materials.changed()) return Status::Invalid(*materials.changed() + ": changed while the program was written");
        return Status::Ok();
      },
      run.dry_run ? WriteMode::kInMemoryOnly : WriteMode::kFile);
  if (written.ok()) return written;
  if (materials.changed()) {
    ShowMessage(kMessageMaterialFileChanged, FillPlaceholders(LoadMessageText(kMessageMaterialFileChanged), {*materials.changed()}),
                kMessageOk | kMessageIconStop);
  } else {
    ShowMessage(kMessageProgramNotWritten, FillPlaceholders(LoadMessageText(kMessageProgramNotWritten), {written.message()}),
                kMessageOk | kMessageIconStop);
  }
  return written;
}

}  // namespace driverwyr
