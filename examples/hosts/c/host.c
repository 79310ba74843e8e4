/* A Windows host in plain C: it loads DriverWyr.dll at run time
 * (LoadLibrary and GetProcAddress, no import library), builds the job of
 * ../host_job.json through the C interface, supplies the user interface
 * itself - a dialog window held in memory whose operator presses "Create..."
 * - and a clock that always tells 2026-12-07. Before the run it asks for the
 * job's pre-flight report and prints its findings; then it writes the program
 * and, when SHEET is given, the program's set-up sheet.
 *
 *   c_host DriverWyr.dll DATA_FOLDER CONVERSION_FILE PROGRAM_PATH [SHEET [DIE]]
 *
 * DIE names the die of the second step (DIE16V otherwise), to see what the
 * pre-flight says of a die the job does not have.
 *
 * Exit status: 0 when the program (and the sheet) was written, 1 otherwise. Build it with any
 * C compiler for 32-bit Windows, for example
 *   i686-w64-mingw32-gcc -std=c11 -I PREFIX/include host.c -o c_host.exe
 * It needs nothing but driverwyr/driverwyr_c.h and the DLL. */
#include <windows.h>

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "driverwyr/driverwyr_c.h"

/* ---- the functions of the DLL this host uses ------------------------------ */

#define FUNCTIONS(X)                                                                                    \
  X(CPPStepInfo_create) X(CPPStepInfo_free) X(CPPStepInfo_array_create) X(CPPStepInfo_array_free)     \
  X(CPPStepInfo_array_add) X(CPPStepInfo_SetNumberInSquence) X(CPPStepInfo_SetSetUpName)               \
  X(CPPStepInfo_SetSetupIndex) X(CPPStepInfo_SetBendType) X(CPPStepInfo_SetControlType)                \
  X(CPPStepInfo_SetBendLength) X(CPPStepInfo_SetBendAngle) X(CPPStepInfo_SetXX) X(CPPStepInfo_SetYY)   \
  X(CPPStepInfo_SetZZ) X(CPPStepInfo_SetODC) X(CPPStepInfo_SetRetractStroke) X(CPPStepInfo_SetToolID)  \
  X(CPPStepInfo_SetBendingSpeed) X(CPPStepInfo_SetSequenceOrder) X(CPPStepInfo_SetFlangeLength)        \
  X(CPPTool_create) X(CPPTool_free) X(CPPTool_array_create) X(CPPTool_array_free) X(CPPTool_array_add) \
  X(CPPTool_SetToolName) X(CPPTool_SetToolType) X(CPPTool_SetCategory) X(CPPTool_SetToolHeight)       \
  X(CPPTool_SetSmallorLarger) X(CPPTool_SetVWidth) X(CPPTool_SetAngle) X(CPPTool_SetRadius)           \
  X(CPPTool_SetPunchResistance) X(CPPTool_SetDieResistance)                                            \
  X(CPPSetup_create) X(CPPSetup_free) X(CPPSetup_array_create) X(CPPSetup_array_free)                 \
  X(CPPSetup_array_add) X(CPPSetup_SetSetupName) X(CPPSetup_SetControlType) X(CPPSetup_SetMachineModel) \
  X(CPPSetup_SetSetupIndex) X(CPPSetup_SetUserMachineName) X(CPPSetup_SetBendingCoefficient)          \
  X(CPPMachine_create) X(CPPMachine_free) X(CPPMachine_array_create) X(CPPMachine_array_free)         \
  X(CPPMachine_array_add) X(CPPMachine_SetUserMachineName) X(CPPMachine_SetMachineName)               \
  X(CPPMachine_SetTonnage) X(CPPMachine_SetMinTonnage) X(CPPMachine_SetMaxBendingLength)              \
  X(CPPMachine_SetMaxStrokeHeight) X(CPPMachine_SetOpenHeight)                                         \
  X(CreatePPDBInstance) X(SetUnit) X(SetPathNames) X(SetMaterial_1) X(InitPPSequence) X(InitToolInfo) \
  X(InitSetupInfo) X(InitMachineInfo) X(InitBkGaugeInfo) X(GenerateMachineCodeFile)                   \
  X(DestroyPPDBInstance) X(GetWrittenProgramCount) X(GetWrittenProgramPath)                           \
  X(CreateSerialCounterKey) X(GetMessageText) X(SetClock) X(SetUserInterface) X(text_set)             \
  X(dialog_init) X(dialog_command) X(RunPreflight) X(preflight_report_free) X(preflight_report_size)        \
  X(preflight_report_count) X(preflight_report_finding) X(WriteSheet)

/* One pointer per function, of the type the header gives it: dw_<name>. */
#define DECLARE(name) static driverwyr_##name##_fn dw_##name;
FUNCTIONS(DECLARE)
#undef DECLARE

static int LoadFunctions(HMODULE dll) {
  int missing = 0;
  /* GetProcAddress gives a generic function pointer; void (*)(void) carries
   * it to the function's own type. */
#define LOAD(name)                                                                                  \
  dw_##name = (driverwyr_##name##_fn)(void (*)(void))GetProcAddress(dll, "driverwyr_" #name);     \
  if (dw_##name == NULL) {                                                                          \
    fprintf(stderr, "c_host: driverwyr_%s is not exported\n", #name);                              \
    ++missing;                                                                                      \
  }
  FUNCTIONS(LOAD)
#undef LOAD
  return missing == 0;
}

/* ---- the dialog window, in memory ----------------------------------------- */

/* The kinds and styles of the template's items (driverwyr/dialog.h). */
enum ItemKind { WYR_PUSH, WYR_DEFPUSH, WYR_EDIT, WYR_COMBO, WYR_LABEL, WYR_GROUP };
enum ItemStyle { WYR_TAB, WYR_RO, WYR_RO_HIDDEN, WYR_PLAIN, WYR_PLAIN_HIDDEN };
static const struct Item {
  int id;
  enum ItemKind kind;
  enum ItemStyle style;
  const char* text;
} kItems[] = {
#define ITEM(id, kind, style, text, x, y, w, h) {id, kind, style, text},
    DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS(ITEM)
#undef ITEM
};
#define ITEM_COUNT (sizeof kItems / sizeof kItems[0])

/* Texts are kept in fixed buffers: enough for this job, cut when longer. */
#define TEXT_SIZE 512
#define ENTRY_COUNT 32
#define ENTRY_SIZE 64

struct Control {
  int id;
  enum ItemKind kind;
  int visible;
  int limit;
  char text[TEXT_SIZE];
  char entries[ENTRY_COUNT][ENTRY_SIZE];
  int entry_count;
  int selection;
};

struct Window {
  struct Control controls[ITEM_COUNT];
  int ended;
  int result;
  int validations;
};

static void Copy(char* to, size_t size, const char* from) {
  strncpy(to, from, size - 1);
  to[size - 1] = '\0';
}

static struct Control* Find(struct Window* window, int id) {
  size_t i;
  if (id < 0) return NULL;
  for (i = 0; i < ITEM_COUNT; ++i) {
    if (window->controls[i].id == id) return &window->controls[i];
  }
  return NULL;
}

static struct Control* FindCombo(struct Window* window, int id) {
  struct Control* control = Find(window, id);
  return control != NULL && control->kind == WYR_COMBO ? control : NULL;
}

static int StartsWithIgnoringCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (tolower((unsigned char)*text) != tolower((unsigned char)*prefix)) return 0;
  }
  return 1;
}

static void OpenWindow(struct Window* window) {
  size_t i;
  memset(window, 0, sizeof *window);
  for (i = 0; i < ITEM_COUNT; ++i) {
    struct Control* control = &window->controls[i];
    control->id = kItems[i].id;
    control->kind = kItems[i].kind;
    control->visible = kItems[i].style != WYR_RO_HIDDEN && kItems[i].style != WYR_PLAIN_HIDDEN;
    control->selection = -1;
    if (control->kind != WYR_EDIT && control->kind != WYR_COMBO) Copy(control->text, TEXT_SIZE, kItems[i].text);
  }
}

static void DRIVERWYR_CALL OnGetComboEntry(void* user, int id, int index, driverwyr_text* text) {
  struct Control* control = FindCombo(user, id);
  if (control != NULL && index >= 0 && index < control->entry_count) dw_text_set(text, control->entries[index]);
}

static void DRIVERWYR_CALL OnGetControlText(void* user, int id, driverwyr_text* text) {
  struct Control* control = Find(user, id);
  if (control == NULL) return;
  if (control->kind == WYR_COMBO) {
    OnGetComboEntry(user, id, control->selection, text);
  } else {
    dw_text_set(text, control->text);
  }
}

static void DRIVERWYR_CALL OnSetControlText(void* user, int id, const char* text) {
  struct Control* control = Find(user, id);
  int i;
  if (control == NULL) return;
  if (control->kind != WYR_COMBO) {
    Copy(control->text, TEXT_SIZE, text);
    return;
  }
  for (i = 0; i < control->entry_count; ++i) {  /* a drop-down list selects the entry of that text */
    if (strlen(control->entries[i]) == strlen(text) && StartsWithIgnoringCase(control->entries[i], text)) {
      control->selection = i;
      return;
    }
  }
}

static void DRIVERWYR_CALL OnSetTextLimit(void* user, int id, int characters) {
  struct Control* control = Find(user, id);
  if (control != NULL) control->limit = characters > 0 ? characters : 0;
}

static void DRIVERWYR_CALL OnShowControl(void* user, int id, int visible) {
  struct Control* control = Find(user, id);
  if (control != NULL) control->visible = visible;
}

static void DRIVERWYR_CALL OnFocusControl(void* user, int id) {
  (void)user;
  (void)id;
}

static void DRIVERWYR_CALL OnClearComboBox(void* user, int id) {
  struct Control* control = FindCombo(user, id);
  if (control == NULL) return;
  control->entry_count = 0;
  control->selection = -1;
}

static void DRIVERWYR_CALL OnInsertComboEntry(void* user, int id, int index, const char* text) {
  struct Control* control = FindCombo(user, id);
  int i;
  if (control == NULL || control->entry_count == ENTRY_COUNT) return;
  if (index == -1) index = control->entry_count;
  if (index < 0 || index > control->entry_count) return;
  for (i = control->entry_count; i > index; --i) memcpy(control->entries[i], control->entries[i - 1], ENTRY_SIZE);
  Copy(control->entries[index], ENTRY_SIZE, text);
  ++control->entry_count;
  if (control->selection >= index) ++control->selection;
}

static int DRIVERWYR_CALL OnSelectComboEntry(void* user, int id, const char* prefix) {
  struct Control* control = FindCombo(user, id);
  int i;
  if (control == NULL || prefix[0] == '\0') return -1;
  for (i = 0; i < control->entry_count; ++i) {
    if (StartsWithIgnoringCase(control->entries[i], prefix)) return control->selection = i;
  }
  return -1;
}

static int DRIVERWYR_CALL OnGetComboSelection(void* user, int id) {
  struct Control* control = FindCombo(user, id);
  return control != NULL ? control->selection : -1;
}

static void DRIVERWYR_CALL OnShowValidationMessage(void* user, int id, const char* text) {
  struct Window* window = user;
  ++window->validations;
  printf("validation %d: %s\n", id, text);
}

static void DRIVERWYR_CALL OnEndDialog(void* user, int result) {
  struct Window* window = user;
  if (window->ended) return;
  window->ended = 1;
  window->result = result;
}

/* ---- the user interface ----------------------------------------------------- */

struct Host {
  int created;  /* programs reported as created */
  int failed;   /* a create reported as failed */
};

static int DRIVERWYR_CALL OnShowMessageBox(void* user, const char* text, unsigned style) {
  struct Host* host = user;
  char created[256], failed[256];
  dw_GetMessageText(DRIVERWYR_MSG_PROGRAM_CREATED, created, sizeof created);
  dw_GetMessageText(DRIVERWYR_MSG_CREATE_FAILED, failed, sizeof failed);
  printf("message (style %u): %s\n", style, text);
  if (strcmp(text, created) == 0) ++host->created;
  if (strcmp(text, failed) == 0 || (style & DRIVERWYR_MB_ICONMASK) == DRIVERWYR_MB_ICONWARNING) host->failed = 1;
  return DRIVERWYR_ID_OK;
}

static int DRIVERWYR_CALL OnRunDialog(void* user, int template_id, driverwyr_dialog* dialog) {
  static struct Window window; /* large: not on the stack */
  driverwyr_window fns;
  (void)user;
  if (template_id != DRIVERWYR_DIALOG_PROGRAM_CREATION) return -1;
  OpenWindow(&window);
  memset(&fns, 0, sizeof fns);
  fns.user = &window;
  fns.get_control_text = OnGetControlText;
  fns.set_control_text = OnSetControlText;
  fns.set_text_limit = OnSetTextLimit;
  fns.show_control = OnShowControl;
  fns.focus_control = OnFocusControl;
  fns.clear_combo_box = OnClearComboBox;
  fns.insert_combo_entry = OnInsertComboEntry;
  fns.select_combo_entry = OnSelectComboEntry;
  fns.get_combo_selection = OnGetComboSelection;
  fns.get_combo_entry = OnGetComboEntry;
  fns.show_validation_message = OnShowValidationMessage;
  fns.end_dialog = OnEndDialog;
  if (dw_dialog_init(dialog, &fns) != 1) return -1;
  printf("dialog: program %s, file %s\n", Find(&window, DRIVERWYR_IDC_PROGRAM_NAME)->text,
         Find(&window, DRIVERWYR_IDC_FILE_NAME)->text);
  /* The operator presses "Create..."; when a field does not pass, "Cancel". */
  dw_dialog_command(dialog, &fns, DRIVERWYR_ID_OK, DRIVERWYR_BN_CLICKED);
  if (!window.ended) dw_dialog_command(dialog, &fns, DRIVERWYR_ID_CANCEL, DRIVERWYR_BN_CLICKED);
  return window.ended ? window.result : DRIVERWYR_ID_CANCEL;
}

static int DRIVERWYR_CALL OnBrowseForFolder(void* user, const driverwyr_window* owner, const char* title,
                                          const char* initial_folder, driverwyr_text* folder) {
  (void)user;
  (void)owner;
  (void)title;
  (void)initial_folder;
  (void)folder;
  return 0; /* this operator never chooses another folder */
}

static void DRIVERWYR_CALL Today(void* user, driverwyr_date* today) {
  (void)user;
  today->year = 2026;
  today->month = 12;
  today->day = 7;
}

/* ---- the job ------------------------------------------------------------------ */

static void AddStep(driverwyr_CPPStepInfo_array* steps, int number, double x, const char* die) {
  driverwyr_CPPStepInfo* step = dw_CPPStepInfo_create();
  const double xx[4] = {x, x, 0, 0}, yy[4] = {0, 0, 0, 0}, zz[4] = {-150, 150, 0, 0};
  char tools[6][32];
  memset(tools, 0, sizeof tools);
  strcpy(tools[0], "PUNCH88");
  strncpy(tools[1], die, sizeof tools[1] - 1);
  strcpy(tools[2], "HOLDER60");
  strcpy(tools[4], "SPACER10");
  /* The setters in the record's declaration order (SetBendingSpeed reads
   * the control type). */
  dw_CPPStepInfo_SetNumberInSquence(step, number);
  dw_CPPStepInfo_SetSetUpName(step, "S1");
  dw_CPPStepInfo_SetSetupIndex(step, 1);
  dw_CPPStepInfo_SetBendType(step, 0);
  dw_CPPStepInfo_SetControlType(step, 2);
  dw_CPPStepInfo_SetBendLength(step, 500.0f, 0);
  dw_CPPStepInfo_SetBendAngle(step, 90.0f);
  dw_CPPStepInfo_SetXX(step, xx);
  dw_CPPStepInfo_SetYY(step, yy);
  dw_CPPStepInfo_SetZZ(step, zz);
  dw_CPPStepInfo_SetODC(step, 251.0f, 0);
  dw_CPPStepInfo_SetRetractStroke(step, 10.0f, 0);
  dw_CPPStepInfo_SetToolID(step, &tools[0][0]);
  dw_CPPStepInfo_SetBendingSpeed(step, 8.0, 0);
  dw_CPPStepInfo_SetSequenceOrder(step, (short)number);
  dw_CPPStepInfo_SetFlangeLength(step, number == 1 ? 122.0f : 62.0f);
  dw_CPPStepInfo_array_add(steps, step);
  dw_CPPStepInfo_free(step);
}

static void AddTool(driverwyr_CPPTool_array* tools, const char* name, const char* type, const char* category,
                    double v_width, double angle, double radius, double height, int small_or_larger,
                    float punch_resistance, float die_resistance) {
  driverwyr_CPPTool* tool = dw_CPPTool_create();
  dw_CPPTool_SetToolName(tool, name);
  dw_CPPTool_SetToolType(tool, type);
  dw_CPPTool_SetCategory(tool, category);
  dw_CPPTool_SetToolHeight(tool, height);
  dw_CPPTool_SetSmallorLarger(tool, small_or_larger);
  dw_CPPTool_SetVWidth(tool, v_width);
  dw_CPPTool_SetAngle(tool, angle);
  dw_CPPTool_SetRadius(tool, radius);
  dw_CPPTool_SetPunchResistance(tool, punch_resistance);
  dw_CPPTool_SetDieResistance(tool, die_resistance);
  dw_CPPTool_array_add(tools, tool);
  dw_CPPTool_free(tool);
}

static void HandOverJob(const char* data, const char* conversion, const char* program, const char* second_die) {
  driverwyr_CPPStepInfo_array* steps = dw_CPPStepInfo_array_create();
  driverwyr_CPPTool_array* tools = dw_CPPTool_array_create();
  driverwyr_CPPSetup_array* setups = dw_CPPSetup_array_create();
  driverwyr_CPPMachine_array* machines = dw_CPPMachine_array_create();
  driverwyr_CPPSetup* setup = dw_CPPSetup_create();
  driverwyr_CPPMachine* machine = dw_CPPMachine_create();

  AddStep(steps, 1, 120.5, "DIE16V");
  AddStep(steps, 2, 60.0, second_die);
  AddTool(tools, "PUNCH88", "PUNCH", "PUNCH", 0, 88, 0.8, 120, 0, 100, 0);
  AddTool(tools, "DIE16V", "DIE", "2V-16", 16, 88, 2.5, 60, 1, 0, 120);
  AddTool(tools, "HOLDER60", "DIEHOLDER", "HOLDER", 0, 0, 0, 60, 0, 0, 0);
  AddTool(tools, "SPACER10", "SPACER", "SPACER", 0, 0, 0, 10, 0, 0, 0);
  dw_CPPSetup_SetSetupName(setup, "S1");
  dw_CPPSetup_SetControlType(setup, 2);
  dw_CPPSetup_SetMachineModel(setup, "PB-100");
  dw_CPPSetup_SetSetupIndex(setup, 0);
  dw_CPPSetup_SetUserMachineName(setup, "PB100");
  dw_CPPSetup_SetBendingCoefficient(setup, 1.0f);
  dw_CPPSetup_array_add(setups, setup);
  dw_CPPMachine_SetUserMachineName(machine, "PB100");
  dw_CPPMachine_SetMachineName(machine, "Press brake 100 t");
  dw_CPPMachine_SetTonnage(machine, 100);
  dw_CPPMachine_SetMinTonnage(machine, 1);
  dw_CPPMachine_SetMaxBendingLength(machine, 3000);
  dw_CPPMachine_SetMaxStrokeHeight(machine, 200);
  dw_CPPMachine_SetOpenHeight(machine, 420);
  dw_CPPMachine_array_add(machines, machine);

  /* The usual order of calls. The store copies everything: the host's
   * records and arrays can go at once. */
  dw_CreatePPDBInstance();
  dw_SetUnit(0);
  dw_SetPathNames(program, data, conversion);
  dw_SetMaterial_1(2.0f, 40.0f, 1);
  dw_InitPPSequence(steps);
  dw_InitToolInfo(tools);
  dw_InitSetupInfo(setups);
  dw_InitMachineInfo(machines);
  dw_InitBkGaugeInfo(NULL);

  dw_CPPMachine_free(machine);
  dw_CPPSetup_free(setup);
  dw_CPPMachine_array_free(machines);
  dw_CPPSetup_array_free(setups);
  dw_CPPTool_array_free(tools);
  dw_CPPStepInfo_array_free(steps);
}

/* ---- the pre-flight report ------------------------------------------------ */

/* Prints the pre-flight report of the job the store holds, a line a
 * finding. 0, or -1 when it could not be made. */
static int PrintPreflight(void) {
  static const char* const kSeverities[] = {"error", "warning", "note"};
  driverwyr_preflight_report* report = dw_RunPreflight(1);
  driverwyr_finding finding;
  int i;
  if (report == NULL) {
    fprintf(stderr, "c_host: the pre-flight report could not be made\n");
    return -1;
  }
  printf("pre-flight: %d errors, %d warnings, %d notes\n", dw_preflight_report_count(report, DRIVERWYR_SEVERITY_ERROR),
         dw_preflight_report_count(report, DRIVERWYR_SEVERITY_WARNING),
         dw_preflight_report_count(report, DRIVERWYR_SEVERITY_NOTE));
  for (i = 0; i < dw_preflight_report_size(report); ++i) {
    if (dw_preflight_report_finding(report, i, &finding) != 0) continue;
    printf("finding: %s %s: ", kSeverities[finding.severity], finding.code);
    if (finding.step >= 0) {
      printf("step %d (number %d)", finding.step, finding.number);
    } else {
      printf("job");
    }
    printf("%s%s: %s\n", finding.record[0] != '\0' ? ", " : "", finding.record, finding.text);
  }
  dw_preflight_report_free(report);
  return 0;
}

int main(int argc, char** argv) {
  struct Host host = {0, 0};
  driverwyr_user_interface ui;
  driverwyr_clock clock;
  char path[MAX_PATH], why_not[512];
  HMODULE dll;
  int i, copied, sheet_failed = 0;

  if (argc < 5 || argc > 7) {
    fprintf(stderr, "usage: c_host DriverWyr.dll DATA_FOLDER CONVERSION_FILE PROGRAM_PATH [SHEET [DIE]]\n");
    return 2;
  }
  dll = LoadLibraryA(argv[1]);
  if (dll == NULL) {
    fprintf(stderr, "c_host: %s cannot be loaded (error %lu)\n", argv[1], (unsigned long)GetLastError());
    return 1;
  }
  if (!LoadFunctions(dll)) return 1;

  /* What an installation does; the driver itself never creates the key. */
  if (dw_CreateSerialCounterKey(why_not, sizeof why_not) != 0) {
    fprintf(stderr, "c_host: the serial counter key: %s\n", why_not);
  }
  ui.user = &host;
  ui.show_message_box = OnShowMessageBox;
  ui.run_dialog = OnRunDialog;
  ui.browse_for_folder = OnBrowseForFolder;
  clock.user = NULL;
  clock.utc_today = Today;
  clock.local_today = Today;
  if (dw_SetUserInterface(&ui) != 0 || dw_SetClock(&clock) != 0) {
    fprintf(stderr, "c_host: the user interface or clock was refused\n");
    return 1;
  }

  HandOverJob(argv[2], argv[3], argv[4], argc > 6 ? argv[6] : "DIE16V");
  if (PrintPreflight() != 0) return 1;
  copied = dw_GenerateMachineCodeFile(path, sizeof path);
  printf("done: %s\n", copied >= 0 ? path : "nothing created");
  for (i = 0; i < dw_GetWrittenProgramCount(); ++i) {
    dw_GetWrittenProgramPath(i, path, sizeof path);
    printf("written: %s\n", path);
  }
  if (argc > 5 && dw_GetWrittenProgramCount() > 0) {
    /* The sheet of the last program, with the store's records, named as the
     * job file that describes them. */
    dw_GetWrittenProgramPath(dw_GetWrittenProgramCount() - 1, path, sizeof path);
    if (dw_WriteSheet(path, argv[5], "host_job.json", why_not, sizeof why_not) != 0) {
      fprintf(stderr, "c_host: the sheet: %s\n", why_not);
      sheet_failed = 1;
    } else {
      printf("sheet: %s\n", argv[5]);
    }
  }
  dw_DestroyPPDBInstance();
  dw_SetUserInterface(NULL);
  dw_SetClock(NULL);
  FreeLibrary(dll);
  return host.created > 0 && !host.failed && !sheet_failed ? 0 : 1;
}
