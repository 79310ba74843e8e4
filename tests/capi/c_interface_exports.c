/* Compiled as C: driverwyr_c.h is valid C, and every function it declares is
 * exported by the shared library under its plain name (the program takes the
 * address of each one, so the link fails on any that is missing). Running it
 * checks that the records' functions work from C: a default step and tool. */
#include <stdio.h>
#include <string.h>

#include "driverwyr/driverwyr_c.h"

typedef void (*any_function)(void);

#define FN(name) (any_function) & name,
#define LIFECYCLE(R, Fields, Fieldless)                                                      \
  FN(driverwyr_##R##_create) FN(driverwyr_##R##_copy) FN(driverwyr_##R##_assign)           \
  FN(driverwyr_##R##_free) FN(driverwyr_##R##_array_create) FN(driverwyr_##R##_array_free) \
  FN(driverwyr_##R##_array_size) FN(driverwyr_##R##_array_set_size)                        \
  FN(driverwyr_##R##_array_add) FN(driverwyr_##R##_array_at)

static const any_function kFunctions[] = {
    DRIVERWYR_RECORDS(LIFECYCLE)
#define DRIVERWYR_C_SCALAR(R, Stem, G, S, Setter) FN(driverwyr_##R##_Get##Stem) FN(driverwyr_##R##_##Setter)
#define DRIVERWYR_C_CONVERTED(R, Stem, G, S, Setter) FN(driverwyr_##R##_Get##Stem) FN(driverwyr_##R##_##Setter)
#define DRIVERWYR_C_STRING(R, Stem, Setter) FN(driverwyr_##R##_Get##Stem) FN(driverwyr_##R##_##Setter)
#define DRIVERWYR_C_ARRAY(R, Stem, E, Rows, Inner, Setter) FN(driverwyr_##R##_Get##Stem) FN(driverwyr_##R##_##Setter)
#define DRIVERWYR_C_FIELDLESS(R, Setter, SetType) FN(driverwyr_##R##_##Setter)
#include "driverwyr/driverwyr_c_fields.h"
    FN(driverwyr_CreatePPDBInstance) FN(driverwyr_DestroyPPDBInstance) FN(driverwyr_GetDriverID)
    FN(driverwyr_SetUnit) FN(driverwyr_SetPathNames) FN(driverwyr_SetMaterial_1) FN(driverwyr_SetMaterial_2)
    FN(driverwyr_InitPPSequence) FN(driverwyr_InitToolInfo) FN(driverwyr_InitSetupInfo)
    FN(driverwyr_InitMachineInfo) FN(driverwyr_InitBkGaugeInfo) FN(driverwyr_GenerateMachineCodeFile)
    FN(driverwyr_GetWrittenProgramCount) FN(driverwyr_GetWrittenProgramPath)
    FN(driverwyr_SetDryRun) FN(driverwyr_GetCalculatedStepCount) FN(driverwyr_GetCalculatedStep)
    FN(driverwyr_CreateSerialCounterKey) FN(driverwyr_GetMessageText) FN(driverwyr_SetClock)
    FN(driverwyr_text_set) FN(driverwyr_dialog_init) FN(driverwyr_dialog_command)
    FN(driverwyr_SetUserInterface) FN(driverwyr_CopyStore) FN(driverwyr_store_copy_free)
    FN(driverwyr_store_copy_unit) FN(driverwyr_store_copy_program_path) FN(driverwyr_store_copy_data_path)
    FN(driverwyr_store_copy_conversion_path) FN(driverwyr_store_copy_material_thickness)
    FN(driverwyr_store_copy_material_tensile) FN(driverwyr_store_copy_material_type)
    FN(driverwyr_store_copy_steps) FN(driverwyr_store_copy_tools) FN(driverwyr_store_copy_setups)
    FN(driverwyr_store_copy_machines) FN(driverwyr_store_copy_gauges)
    FN(driverwyr_RunPreflight) FN(driverwyr_preflight_report_free) FN(driverwyr_preflight_report_size)
    FN(driverwyr_preflight_report_count) FN(driverwyr_preflight_report_finding)
    FN(driverwyr_preflight_report_json) FN(driverwyr_WriteSheet) FN(driverwyr_LastError)
    FN(driverwyr_CurrentMessageId) FN(driverwyr_GetRunResultCount) FN(driverwyr_GetRunResult)};

int main(void) {
  int failures = 0;
  size_t i;
  for (i = 0; i < sizeof kFunctions / sizeof kFunctions[0]; ++i) {
    if (kFunctions[i] == NULL) ++failures;
  }
  {
    driverwyr_CPPStepInfo* step = driverwyr_CPPStepInfo_create();
    driverwyr_CPPTool* tool = driverwyr_CPPTool_create();
    char id[6][32];
    char name[16];
    bool reverse[6] = {true, false, true, false, false, true};
    bool back[6];
    memset(id, 0, sizeof id);
    strcpy(id[1], "DIE16V");
    driverwyr_CPPStepInfo_SetToolID(step, &id[0][0]);
    driverwyr_CPPStepInfo_SetTollReverse(step, reverse);
    driverwyr_CPPStepInfo_GetToolReverse(step, back);
    memset(id, 'x', sizeof id);
    driverwyr_CPPStepInfo_GetToolID(step, &id[0][0]);
    driverwyr_CPPTool_SetToolName(tool, "PUNCH88");
    if (driverwyr_CPPStepInfo_GetODC(step) != 251 || strcmp(id[1], "DIE16V") != 0 || id[0][0] != '\0' ||
        memcmp(back, reverse, sizeof back) != 0 || driverwyr_CPPTool_GetToolName(tool, name, sizeof name) != 7 ||
        strcmp(name, "PUNCH88") != 0) {
      ++failures;
    }
    driverwyr_CPPTool_free(tool);
    driverwyr_CPPStepInfo_free(step);
  }
  printf("%s: %u functions of the C interface, %d problem(s)\n", failures == 0 ? "OK" : "FAIL",
         (unsigned)(sizeof kFunctions / sizeof kFunctions[0]), failures);
  return failures == 0 ? 0 : 1;
}
