// ProgramCreationDialog: the dialog logic of one setup group.
//
// The generation run builds one dialog per group of consecutive steps that
// share a setup. The constructor gathers everything the program header needs:
// the setup's names and control type, the material as the control knows it,
// the file name and daily program number, the tool names and the date. The
// dialog then runs modally through the platform's user interface (template
// 12957); the handlers below fill the controls, read them back with their
// checks and react to the material list and the "..." button. After "Create..."
// the run calls CreateProgram, which hands the collected ProgramData and the
// group's steps to the program file writer.
//
// The dialog keeps a pointer to the store, to the group's setup and to the
// run's group array; all three outlive it.
#ifndef DRIVERWYR_CREATION_PROGRAM_CREATION_DIALOG_H_
#define DRIVERWYR_CREATION_PROGRAM_CREATION_DIALOG_H_

#include <cstdint>
#include <string>

#include "driver/ppdb.h"
#include "driverwyr/dialog.h"
#include "driverwyr/host.h"
#include "driverwyr/record_array.h"
#include "driverwyr/result.h"
#include "driverwyr/setup.h"
#include "driverwyr/step_info.h"
#include "program_file/program_data.h"

namespace driverwyr {

// Dialog template and control ids (driverwyr/dialog.h), under the core's names.
inline constexpr int kCreationDialogTemplate = DRIVERWYR_DIALOG_PROGRAM_CREATION;
inline constexpr int kIdSetupName = DRIVERWYR_IDC_SETUP_NAME;
inline constexpr int kIdFileName = DRIVERWYR_IDC_FILE_NAME;
inline constexpr int kIdMachineModel = DRIVERWYR_IDC_MACHINE_MODEL;
inline constexpr int kIdControlTypeName = DRIVERWYR_IDC_CONTROL_TYPE_NAME;
inline constexpr int kIdBrowseButton = DRIVERWYR_IDC_BROWSE;
inline constexpr int kIdMaterialList = DRIVERWYR_IDC_MATERIAL_LIST;
inline constexpr int kIdControlPunchName = DRIVERWYR_IDC_CONTROL_PUNCH_NAME;
inline constexpr int kIdControlDieName = DRIVERWYR_IDC_CONTROL_DIE_NAME;
inline constexpr int kIdControlDieHolderName = DRIVERWYR_IDC_CONTROL_DIE_HOLDER_NAME;
inline constexpr int kIdControlSpacerName = DRIVERWYR_IDC_CONTROL_SPACER_NAME;
inline constexpr int kIdProgramName = DRIVERWYR_IDC_PROGRAM_NAME;
inline constexpr int kIdPartReference = DRIVERWYR_IDC_PART_REFERENCE;
inline constexpr int kIdThickness = DRIVERWYR_IDC_THICKNESS;
inline constexpr int kIdMaterialName = DRIVERWYR_IDC_MATERIAL_NAME;
inline constexpr int kIdHardness = DRIVERWYR_IDC_HARDNESS;
inline constexpr int kIdHostPunchName = DRIVERWYR_IDC_HOST_PUNCH_NAME;
inline constexpr int kIdHostDieName = DRIVERWYR_IDC_HOST_DIE_NAME;
inline constexpr int kIdHostDieHolderName = DRIVERWYR_IDC_HOST_DIE_HOLDER_NAME;
inline constexpr int kIdHostSpacerName = DRIVERWYR_IDC_HOST_SPACER_NAME;
inline constexpr int kIdTotalSteps = DRIVERWYR_IDC_TOTAL_STEPS;
inline constexpr int kIdMaterialNumber = DRIVERWYR_IDC_MATERIAL_NUMBER;
inline constexpr int kIdCreationDate = DRIVERWYR_IDC_CREATION_DATE;
inline constexpr int kIdDieRev = DRIVERWYR_IDC_DIE_REV;
inline constexpr int kIdPunchRev = DRIVERWYR_IDC_PUNCH_REV;
inline constexpr int kIdDieHolderRev = DRIVERWYR_IDC_DIE_HOLDER_REV;

// Message ids of the creation run and the folder browser.
inline constexpr int kMessageProgramCreated = DRIVERWYR_MSG_PROGRAM_CREATED;
inline constexpr int kMessageCreateFailed = DRIVERWYR_MSG_CREATE_FAILED;
inline constexpr int kMessageSelectFolder = DRIVERWYR_MSG_SELECT_FOLDER;
inline constexpr int kMessageNumberTaken = DRIVERWYR_MSG_NUMBER_TAKEN;
inline constexpr int kMessageDateChanged = DRIVERWYR_MSG_DATE_CHANGED;
inline constexpr int kMessageNumberNotSaved = DRIVERWYR_MSG_NUMBER_NOT_SAVED;
inline constexpr int kMessageNumberNotRead = DRIVERWYR_MSG_NUMBER_NOT_READ;
inline constexpr int kMessageNumberRepeated = DRIVERWYR_MSG_NUMBER_REPEATED;
inline constexpr int kMessageMaterialFileChanged = DRIVERWYR_MSG_MATERIAL_FILE_CHANGED;
inline constexpr int kMessageConversionFileUnusable = DRIVERWYR_MSG_CONVERSION_FILE_UNUSABLE;
inline constexpr int kMessageProgramNotWritten = DRIVERWYR_MSG_PROGRAM_NOT_WRITTEN;

class ProgramCreationDialog : public DialogHandler {
 public:
  // Builds the dialog of one group of the run on `store`, which must outlive
  // it: `group_setup_index` is the (decremented) SetupIndex shared by the
  // group's steps, `group_index` the group's position in the run,
  // `step_count` the number of steps in `steps`. Appends the closing default
  // step to `steps`. Throws std::bad_alloc when memory runs out; the entry
  // point of the run catches it.
  ProgramCreationDialog(PPDB& store, int group_setup_index, int group_index, int step_count,
                        RecordArray<CPPStepInfo>& steps, bool allow_folder_change);
  ProgramCreationDialog(const ProgramCreationDialog&) = delete;
  ProgramCreationDialog& operator=(const ProgramCreationDialog&) = delete;
  ~ProgramCreationDialog() override;

  // --- DialogHandler -------------------------------------------------------
  // Converts thickness (and hardness for types 2 and 7) to inch units when the
  // unit is inch, fills the controls and the material list, shows or hides
  // "...". Returns true.
  bool OnInitDialog(DialogWindow& window) override;
  // "Create..." reads back with the checks and ends the dialog with kIdOk when
  // all pass; "Cancel" ends it with kIdCancel; "..." browses for a folder; a
  // new material choice applies its values.
  void OnCommand(DialogWindow& window, int control_id, int notification) override;

  // Fills every exchanged control from its member and sets the typing limits
  // (`save` false), or reads every control back into its member with the
  // checks (`save` true). Reading back stops at the first field that fails:
  // its validation message is shown, it gets the focus, and false is returned.
  bool DoDataExchange(DialogWindow& window, bool save);

  // The create action, run after the dialog closed with kIdOk: normalises the
  // program name and part reference, refuses every control type but 2,
  // advances the serial counter and writes the program file. Ok when the
  // file was written, else why not (the run's result of the group). A
  // conversion file that cannot be used, a material data
  // file that changed between two steps, and a file that could not be written
  // are told in a box of their own (stop icon); the caller then tells that
  // the create failed.
  Status CreateProgram();

  // --- construction steps and handlers (program_names.cpp,
  //     material_codes.cpp, folder_browse.cpp) -------------------------------
  void ApplyControlType();
  void ApplyMaterialCode();
  void BuildProgramNames();
  // At "Create...": claims the program number under the counter's lock. When
  // another host took the proposed number meanwhile, or the day changed, a
  // program whose name the operator left as proposed gets the number it
  // claimed, and the operator is told. So is a number that an earlier
  // program of the day has too (the day's hundred numbers went round), a
  // counter that cannot be stored, and one that cannot be read (the program
  // then gets the proposed number, or the first one after it that this run
  // has not given). The program is written either way.
  void ClaimProgramNumber();
  // In a dry run, in place of the claim: the proposed number counts as given
  // by the run, as a claim would have given it.
  void KeepProposedNumber();
  void FillMaterialList(DialogWindow& window);
  void OnMaterialChanged(DialogWindow& window);
  void OnBrowseFolder(DialogWindow& window);

  // --- read access -----------------------------------------------------------
  // What the writer and the calculation read.
  const ProgramData& Data() const { return data_; }
  PPDB* Store() const { return store_; }
  // The group's setup: a record of the store, or the dialog's own default
  // setup when no stored setup has the group's setup value.
  const CPPSetup& Setup() const { return *setup_; }
  bool SetupFound() const { return setup_found_; }
  RecordArray<CPPStepInfo>& Steps() const { return *steps_; }
  const std::string& SetupName() const { return setup_name_; }
  const std::string& ControlTypeName() const { return control_type_name_; }
  const std::string& MachineModel() const { return machine_model_; }
  int TotalSteps() const { return total_steps_; }
  const std::string& HostPunchName() const { return host_punch_name_; }
  const std::string& HostDieName() const { return host_die_name_; }
  const std::string& HostDieHolderName() const { return host_die_holder_name_; }
  const std::string& HostSpacerName() const { return host_spacer_name_; }
  const std::string& Directory() const { return directory_; }
  const std::string& BaseName() const { return base_name_; }
  const std::string& Extension() const { return extension_; }
  int SetupCount() const { return setup_count_; }
  int NextSerial() const { return next_serial_; }
  int SerialMonth() const { return serial_month_; }
  int SerialDay() const { return serial_day_; }
  int GroupSetupIndex() const { return group_setup_index_; }
  int GroupIndex() const { return group_index_; }
  bool AllowFolderChange() const { return allow_folder_change_; }

 private:
  void FillToolNameMembers();
  // The program name of `serial` on `date`, shortened for the control.
  std::string ProgramNameOf(const CalendarDate& date, int serial) const;
  void SetCreationDate();

  PPDB* store_ = nullptr;
  const CPPSetup* setup_ = nullptr;
  CPPSetup default_setup_;  // stands in when no stored setup matches
  bool setup_found_ = false;
  RecordArray<CPPStepInfo>* steps_ = nullptr;

  ProgramData data_;

  std::string setup_name_;
  std::string control_type_name_ = "WYR";
  std::string machine_model_;
  int total_steps_ = 0;
  std::string host_punch_name_;
  std::string host_die_name_;
  std::string host_die_holder_name_;
  std::string host_spacer_name_;
  std::string directory_;
  std::string base_name_;
  std::string extension_;
  int setup_count_ = 0;
  int proposed_serial_ = 0;      // the serial the dialog proposed
  std::string proposed_name_;    // and the program name it made of it
  Status conversion_;            // the conversion file's error, when it cannot be used
  int next_serial_ = 0;
  int serial_month_ = 0;
  int serial_day_ = 0;
  int group_setup_index_ = 0;
  int group_index_ = 0;
  bool allow_folder_change_ = false;
};

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_PROGRAM_CREATION_DIALOG_H_
