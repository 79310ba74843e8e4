/* DriverWyr's C interface: the whole driver through plain C types.
 *
 * For every host that is not built with the library's own C++ toolchain: C,
 * Microsoft's compiler, C#, Delphi, Python (ctypes) ... Everything here has a
 * plain, unmangled name, the cdecl calling convention (DRIVERWYR_CALL) and
 * plain types: opaque handles, const char*, numbers, bool (one byte, as C99's
 * <stdbool.h>; a bool array is one byte per element: pass bytes from .NET,
 * whose default bool[] marshalling is 4 bytes each) and int results. No C++ type crosses it, and nothing is ever
 * thrown across it. It is exported by the same DriverWyr.dll and
 * libdriverwyr.so as the C++ interface, and works on the same store: a host
 * may use either, or both.
 *
 * What it offers, in the order a host uses it:
 *   - records: create, copy, assign and free each of the five record kinds,
 *     and get and set every field (driverwyr_<Record>_Get<Stem>, and the
 *     record's setter name, driverwyr_<Record>_Set<Stem> but
 *     driverwyr_CPPStepInfo_SetTollReverse);
 *   - arrays of records, handed to the Init... entry points;
 *   - the thirteen entry points (driverwyr_<EntryPoint>);
 *   - the host API of driverwyr/host.h: a user interface and a clock of the
 *     host's own as C callbacks, what became of each group of the last run,
 *     the program files it wrote, the serial counter key, the driver's
 *     message texts and a copy of the store;
 *   - driverwyr_LastError: why the last call that failed on this thread
 *     failed;
 *   - the pre-flight report of the store's job (driverwyr/preflight.h) and
 *     the set-up sheet of a written program (driverwyr/sheet.h), declared
 *     in driverwyr/driverwyr_c_report.h, which this header includes.
 *
 * Conventions of every function below:
 *   - Handles are owned by whoever created them and freed with the matching
 *     ..._free; a NULL handle is accepted everywhere: getters of numbers then
 *     give 0 or false, getters of texts the empty string and -1, setters and
 *     actions do nothing and return -1.
 *   - Strings in are NUL-terminated, single-byte, in the host's code page; a
 *     NULL string is the empty string. They are copied: the host may free them
 *     as soon as the call returns.
 *   - Strings out go to the caller's buffer `buffer` of `size` bytes. The
 *     result is the length of the whole text (bytes, without the NUL), or -1.
 *     At most size - 1 bytes are copied and a NUL always follows them when
 *     size > 0, so a result >= size means the text was cut: call again with
 *     a buffer of result + 1 bytes. A NULL buffer or size 0 only asks for the
 *     length. Record texts are counted and may hold NUL bytes; they are copied
 *     in full (up to the buffer).
 *   - int results of actions: 0 for success, -1 for a NULL handle or a
 *     failure (memory exhausted), as documented at each function. Every
 *     function that fails (-1, or NULL where it gives a handle) says why in
 *     driverwyr_LastError, the calling thread's last error.
 *   - Like the entry points, everything runs on the host's user-interface
 *     thread; the library is not to be called from two threads at once. */
#ifndef DRIVERWYR_DRIVERWYR_C_H_
#define DRIVERWYR_DRIVERWYR_C_H_

#ifndef __cplusplus
#include <stdbool.h>
#endif

#include "driverwyr/dialog.h"
#include "driverwyr/export.h"
#include "driverwyr/record_fields.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Every function F below is declared with DRIVERWYR_C_FUNCTION(result type,
 * name, parameters, one-line contract), which also gives the type of a
 * pointer to it, F_fn: what a host that loads the library
 * at run time (LoadLibrary and GetProcAddress, dlopen and dlsym) casts the
 * address it looks up by the name "F" to. (The build defines it otherwise,
 * before this header, to write driverwyr_c.json, the description of every
 * function for tools that make bindings.) */
#ifndef DRIVERWYR_C_FUNCTION
#define DRIVERWYR_C_FUNCTION(Result, Name, Parameters, Contract) \
  DRIVERWYR_API Result DRIVERWYR_CALL Name Parameters;            \
  typedef Result(DRIVERWYR_CALL* Name##_fn) Parameters;
#endif

/* ==== the last error ====================================================== */

/* Why the last call of this interface that failed on the calling thread
 * failed: the function or file it concerns and the reason, one line ("" when
 * none has failed yet). Every function that reports a failure (-1, NULL, or
 * a DRIVERWYR_SHEET_... result) sets it first; calls that succeed leave it.
 * The text is ASCII apart from the texts and file names the host gave, which
 * it holds byte for byte; at most 1023 bytes. The pointer stays valid as long
 * as the thread; the text is replaced by the thread's next failure, so read
 * or copy it right after the call that failed. */
DRIVERWYR_C_FUNCTION(const char*, driverwyr_LastError, (void),
                     "Why the last call of this interface that failed on the calling thread failed; \"\" when none has")

/* ==== records ============================================================ */

/* The five record kinds (driverwyr/step_info.h, tool.h, setup.h, machine.h,
 * bgauge.h document their fields, defaults and conversions), each with an
 * opaque handle and an array of records:
 *
 *   driverwyr_CPPStepInfo     driverwyr_CPPStepInfo_array
 *   driverwyr_CPPTool         driverwyr_CPPTool_array
 *   driverwyr_CPPSetup        driverwyr_CPPSetup_array
 *   driverwyr_CPPMachine      driverwyr_CPPMachine_array
 *   driverwyr_CPPBGauge       driverwyr_CPPBGauge_array
 *
 * For each kind R:
 *
 *   driverwyr_R* driverwyr_R_create(void)
 *     A new default record; NULL when memory is exhausted. Free it with
 *     driverwyr_R_free.
 *   driverwyr_R* driverwyr_R_copy(const driverwyr_R* record)
 *     A new record holding complete copies of every field; NULL when record
 *     is NULL or memory is exhausted.
 *   int driverwyr_R_assign(driverwyr_R* target, const driverwyr_R* source)
 *     Copies every field of source into target (target may be an element of
 *     an array). 0, or -1 for a NULL handle or exhausted memory (target is
 *     then unchanged or partly assigned, never corrupt).
 *   void driverwyr_R_free(driverwyr_R* record)
 *     Frees a record made by create or copy (never an array's element).
 *
 *   driverwyr_R_array* driverwyr_R_array_create(void)
 *     A new, empty array; NULL when memory is exhausted.
 *   void driverwyr_R_array_free(driverwyr_R_array* array)
 *     Frees the array and its records.
 *   int driverwyr_R_array_size(const driverwyr_R_array* array)
 *     The number of records; 0 for NULL.
 *   int driverwyr_R_array_set_size(driverwyr_R_array* array, int size)
 *     Resizes: new records are default records, removed ones are freed.
 *     0, or -1 (array unchanged) for NULL or exhausted memory.
 *   int driverwyr_R_array_add(driverwyr_R_array* array, const driverwyr_R* record)
 *     Appends a copy of record; the new index, or -1 for a NULL handle or
 *     exhausted memory (array unchanged).
 *   driverwyr_R* driverwyr_R_array_at(driverwyr_R_array* array, int index)
 *     The record at index, borrowed: read and set it in place; it stays valid
 *     until the array is resized or freed. NULL for an index outside
 *     0 .. size - 1.
 *
 * Field functions, from driverwyr/record_fields.h, for every field Stem of R
 * in the table (GetType, SetType, Elem, Rows and Inner as the table gives):
 *
 *   scalars (SCALAR):
 *     GetType driverwyr_R_Get<Stem>(const driverwyr_R* record)
 *     int driverwyr_R_<Setter>(driverwyr_R* record, SetType value)
 *   values in the host's unit (CONVERTED):
 *     GetType driverwyr_R_Get<Stem>(const driverwyr_R* record)
 *     int driverwyr_R_<Setter>(driverwyr_R* record, SetType value, int unit)
 *   texts (STRING):
 *     int driverwyr_R_Get<Stem>(const driverwyr_R* record, char* buffer, int size)
 *       the text as strings out are given (see above)
 *     int driverwyr_R_<Setter>(driverwyr_R* record, const char* text)
 *   fixed arrays (ARRAY), copied whole:
 *     int driverwyr_R_Get<Stem>(const driverwyr_R* record, Elem* out)
 *     int driverwyr_R_<Setter>(driverwyr_R* record, const Elem* in)
 *       out and in point to driverwyr_R_<Stem>_count elements (Rows times
 *       the dimensions of Inner, row by row): the enum constant declared
 *       with them. A char array holds its names in rows of the Inner width,
 *       each ending at its first NUL or filling its row (ToolID: 6 x 32).
 *   setters that store no field of their own (FIELDLESS_SETTERS):
 *     int driverwyr_R_<Setter>(driverwyr_R* record, SetType value)
 *
 * Setters return 0, or -1 for a NULL handle (or NULL in) or, for texts,
 * exhausted memory; getters of arrays return 0, or -1 (out untouched). So,
 * for example: driverwyr_CPPStepInfo_SetBendAngle(step, 90.0f),
 * driverwyr_CPPStepInfo_SetBendLength(step, 500.0f, unit),
 * driverwyr_CPPTool_GetToolName(tool, buffer, sizeof buffer),
 * driverwyr_CPPStepInfo_SetXX(step, xx) with double xx[4]. */

#define DRIVERWYR_C_HANDLES_(Record, Fields, Fieldless) \
  typedef struct driverwyr_##Record driverwyr_##Record;  \
  typedef struct driverwyr_##Record##_array driverwyr_##Record##_array;
DRIVERWYR_RECORDS(DRIVERWYR_C_HANDLES_)
#undef DRIVERWYR_C_HANDLES_

#define DRIVERWYR_C_LIFECYCLE_(R, Fields, Fieldless)                                                      \
  DRIVERWYR_C_FUNCTION(driverwyr_##R*, driverwyr_##R##_create, (void),                                   \
                       "A new default " #R "; NULL when memory is exhausted")                            \
  DRIVERWYR_C_FUNCTION(driverwyr_##R*, driverwyr_##R##_copy, (const driverwyr_##R* record),              \
                       "A new " #R " holding copies of every field of record; NULL for NULL or no memory") \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_assign, (driverwyr_##R * target, const driverwyr_##R* source), \
                       "Copies every field of source into target: 0, or -1")                             \
  DRIVERWYR_C_FUNCTION(void, driverwyr_##R##_free, (driverwyr_##R * record),                             \
                       "Frees a " #R " made by create or copy (never an array's element)")               \
  DRIVERWYR_C_FUNCTION(driverwyr_##R##_array*, driverwyr_##R##_array_create, (void),                     \
                       "A new, empty array of " #R "; NULL when memory is exhausted")                    \
  DRIVERWYR_C_FUNCTION(void, driverwyr_##R##_array_free, (driverwyr_##R##_array * array),                \
                       "Frees the array and its records")                                                \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_array_size, (const driverwyr_##R##_array* array),            \
                       "The number of records; 0 for NULL")                                              \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_array_set_size, (driverwyr_##R##_array * array, int size),   \
                       "Resizes the array with default records: 0, or -1 (array unchanged)")             \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_array_add,                                                   \
                       (driverwyr_##R##_array * array, const driverwyr_##R* record),                     \
                       "Appends a copy of record: its index, or -1 (array unchanged)")                   \
  DRIVERWYR_C_FUNCTION(driverwyr_##R*, driverwyr_##R##_array_at, (driverwyr_##R##_array * array, int index), \
                       "The record at index, borrowed; NULL outside 0 .. size - 1")
DRIVERWYR_RECORDS(DRIVERWYR_C_LIFECYCLE_)
#undef DRIVERWYR_C_LIFECYCLE_

#define DRIVERWYR_C_SCALAR(R, Stem, GetType, SetType, Setter)                                       \
  DRIVERWYR_C_FUNCTION(GetType, driverwyr_##R##_Get##Stem, (const driverwyr_##R* record),          \
                       "The " #Stem " of record; 0 for NULL")                                      \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_##Setter, (driverwyr_##R * record, SetType value),     \
                       "Sets the " #Stem " of record: 0, or -1 for NULL")
#define DRIVERWYR_C_CONVERTED(R, Stem, GetType, SetType, Setter)                                    \
  DRIVERWYR_C_FUNCTION(GetType, driverwyr_##R##_Get##Stem, (const driverwyr_##R* record),          \
                       "The " #Stem " of record, as stored; 0 for NULL")                           \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_##Setter, (driverwyr_##R * record, SetType value, int unit), \
                       "Sets the " #Stem " of record from value in unit (1 inch): 0, or -1 for NULL")
#define DRIVERWYR_C_STRING(R, Stem, Setter)                                                         \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_Get##Stem, (const driverwyr_##R* record, char* buffer, int size), \
                       "The " #Stem " of record, as strings out are given")                        \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_##Setter, (driverwyr_##R * record, const char* text), \
                       "Sets the " #Stem " of record to a copy of text: 0, or -1")
#define DRIVERWYR_C_ARRAY(R, Stem, Elem, Rows, Inner, Setter)                                       \
  enum { driverwyr_##R##_##Stem##_count = (int)(sizeof(Elem[Rows] Inner) / sizeof(Elem)) };         \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_Get##Stem, (const driverwyr_##R* record, Elem* out),   \
                       "Copies the " #Stem " of record (its _count elements) to out: 0, or -1")   \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_##Setter, (driverwyr_##R * record, const Elem* in),    \
                       "Sets the " #Stem " of record from its _count elements at in: 0, or -1")
#define DRIVERWYR_C_FIELDLESS(R, Setter, SetType)                                                   \
  DRIVERWYR_C_FUNCTION(int, driverwyr_##R##_##Setter, (driverwyr_##R * record, SetType value),     \
                       "Stores no field of its own: see the record's header (" #Setter "): 0, or -1")
#include "driverwyr/driverwyr_c_fields.h"
#undef DRIVERWYR_C_SCALAR
#undef DRIVERWYR_C_CONVERTED
#undef DRIVERWYR_C_STRING
#undef DRIVERWYR_C_ARRAY
#undef DRIVERWYR_C_FIELDLESS

/* ==== the entry points ==================================================== */

/* The thirteen entry points of driverwyr/driverwyr.h, with the same work and
 * order of calls; only their types differ. */

/* Makes sure the store exists: 1 when it does afterwards, 0 when it could not
 * be created (memory exhausted). */
DRIVERWYR_C_FUNCTION(int, driverwyr_CreatePPDBInstance, (void),
                     "Makes sure the store exists: 1 when it does afterwards, 0 when memory is exhausted")
/* Empties the store's five record arrays; unit, paths and material stay. */
DRIVERWYR_C_FUNCTION(void, driverwyr_DestroyPPDBInstance, (void),
                     "Empties the store's five record arrays; unit, paths and material stay")
/* Writes the driver identifier, 1, into *id (when id is not NULL). */
DRIVERWYR_C_FUNCTION(void, driverwyr_GetDriverID, (int* id),
                     "Writes the driver identifier, 1, into *id (when id is not NULL)")
/* 1 for inch, anything else for millimetre. */
DRIVERWYR_C_FUNCTION(void, driverwyr_SetUnit, (int unit),
                     "Sets the host's unit: 1 for inch, anything else for millimetre")
/* The program path (its folder and base name name the program files), the
 * folder of the material data files and the conversion file. */
DRIVERWYR_C_FUNCTION(void, driverwyr_SetPathNames,
                     (const char* program_path, const char* data_path, const char* conversion_path),
                     "Sets the program path, the folder of the material data files and the conversion file")
/* Thickness (converted from inch with the unit in force), tensile strength,
 * material type code (1, 3, 5, 7). */
DRIVERWYR_C_FUNCTION(void, driverwyr_SetMaterial_1, (float thickness, float tensile, int type),
                     "Sets the material: thickness (in the unit in force), tensile strength, type code 1, 3, 5 or 7")
/* As driverwyr_SetMaterial_1, with the type from its name ("Aluminium",
 * "Hot Rolled Steel", "Cold Rolled Steel", "Stainless Steel"; others 1). */
DRIVERWYR_C_FUNCTION(void, driverwyr_SetMaterial_2, (float thickness, float tensile, const char* material_name),
                     "Sets the material as driverwyr_SetMaterial_1, with the type from its name")
/* Each replaces one of the store's arrays with complete copies of the
 * host's records, in index order; a NULL or empty array empties it. The
 * host keeps its array and may free it at once. */
DRIVERWYR_C_FUNCTION(void, driverwyr_InitPPSequence, (const driverwyr_CPPStepInfo_array* steps),
                     "Replaces the store's steps with copies of the host's; NULL empties them")
DRIVERWYR_C_FUNCTION(void, driverwyr_InitToolInfo, (const driverwyr_CPPTool_array* tools),
                     "Replaces the store's tools with copies of the host's; NULL empties them")
DRIVERWYR_C_FUNCTION(void, driverwyr_InitSetupInfo, (const driverwyr_CPPSetup_array* setups),
                     "Replaces the store's setups with copies of the host's; NULL empties them")
DRIVERWYR_C_FUNCTION(void, driverwyr_InitMachineInfo, (const driverwyr_CPPMachine_array* machines),
                     "Replaces the store's machines with copies of the host's; NULL empties them")
DRIVERWYR_C_FUNCTION(void, driverwyr_InitBkGaugeInfo, (const driverwyr_CPPBGauge_array* gauges),
                     "Replaces the store's back gauges with copies of the host's; NULL empties them")
/* Runs program creation: one dialog per group of steps, one program file per
 * group the operator creates (see GenerateMachineCodeFile). Returns -1 when no
 * program was created (path_out untouched); otherwise copies, as strings out
 * are given, the program path the host gave with SetPathNames as the last
 * creation left it (".../PART.bmf" in the folder the operator chose, cut to
 * the platform's longest path: 259 bytes on Windows, 4095 elsewhere) and
 * returns its length. The ".wyr" files themselves:
 * driverwyr_GetWrittenProgramPath. */
DRIVERWYR_C_FUNCTION(int, driverwyr_GenerateMachineCodeFile, (char* path_out, int size),
                     "Runs program creation; the length of the program path copied out, or -1 when no program was created")

/* ==== the host API ========================================================= */

/* The ".wyr" files the last driverwyr_GenerateMachineCodeFile (or
 * GenerateMachineCodeFile) wrote, in order: their number, and the path of
 * entry index as strings out are given (-1 for an index outside
 * 0 .. count - 1). */
DRIVERWYR_C_FUNCTION(int, driverwyr_GetWrittenProgramCount, (void),
                     "The number of program files the last run wrote")
DRIVERWYR_C_FUNCTION(int, driverwyr_GetWrittenProgramPath, (int index, char* buffer, int size),
                     "The path of written program index, as strings out are given; -1 outside 0 .. count - 1")

/* A dry run (driverwyr::SetDryRun of host.h): while on (nonzero), a run
 * shows every dialog and box and calculates every step, but claims no serial
 * number and writes no program file. Off at load. */
DRIVERWYR_C_FUNCTION(void, driverwyr_SetDryRun, (int on),
                     "Nonzero: runs show every dialog and box but claim no number and write no file")

/* One step that the last run calculated (driverwyr::CalculatedStep). */
typedef struct driverwyr_calculated_step {
  int group;          /* the dialog's position in the run, from 0 */
  int step;           /* the step's position in its group, from 0 */
  int number;         /* its NumberInSquence */
  int warnings[16];   /* the warning codes its message box showed, 0 for none */
  float depth;        /* the depth written, mm (the negative of Y1) */
  float force;        /* the force written (TonnageValue) */
} driverwyr_calculated_step;

/* How many steps the last run calculated (those whose Mode is 0), in order;
 * and entry index copied into *out: 0, or -1 (out untouched) for an index
 * outside the list or a NULL out. */
DRIVERWYR_C_FUNCTION(int, driverwyr_GetCalculatedStepCount, (void),
                     "The number of steps the last run calculated")
DRIVERWYR_C_FUNCTION(int, driverwyr_GetCalculatedStep, (int index, driverwyr_calculated_step* out),
                     "Copies calculated step index into *out: 0, or -1 outside the list or for a NULL out")

/* What became of a group of steps in the last run (driverwyr::GroupOutcome
 * of driverwyr/host.h). */
enum {
  DRIVERWYR_GROUP_CREATED = 0,   /* its program was created (in a dry run: in memory only) */
  DRIVERWYR_GROUP_CANCELLED = 1, /* the operator closed its dialog without creating */
  DRIVERWYR_GROUP_FAILED = 2,    /* its dialog could not be shown, or its program could not
                                    be created (the run ends there) */
  DRIVERWYR_GROUP_NOT_RUN = 3    /* the run ended at an earlier group */
};

/* One group of steps of the last run: one dialog, at most one program. The
 * texts are borrowed from the library: valid until the next
 * driverwyr_GenerateMachineCodeFile (or GenerateMachineCodeFile) starts. */
typedef struct driverwyr_run_result {
  int group;                /* the dialog's position in the run, from 0 */
  int first_step;           /* index of its first step in the store */
  int step_count;           /* the number of its steps */
  int outcome;              /* DRIVERWYR_GROUP_... */
  const char* program_file; /* the ".wyr" file its dialog named (written when created,
                               outside a dry run); "" when not run */
  const char* program_name; /* the program number its dialog gave; "" when not run */
  const char* reason;       /* why it was cancelled, failed or not run; "" when created */
} driverwyr_run_result;

/* How many groups the last run found in the store's steps (0 before the
 * first run and for a store without steps), in order; and entry index copied
 * into *out: 0, or -1 (out untouched) for an index outside the list or a
 * NULL out. */
DRIVERWYR_C_FUNCTION(int, driverwyr_GetRunResultCount, (void),
                     "The number of groups the last run found (0 before the first run)")
DRIVERWYR_C_FUNCTION(int, driverwyr_GetRunResult, (int index, driverwyr_run_result* out),
                     "Copies the result of group index into *out: 0, or -1 outside the list or for a NULL out")

/* Creates the current user's serial counter key when it is missing, as an
 * installation does (driverwyr::CreateSerialCounterKey of host.h tells where
 * it is). 0 when the key exists afterwards; -1 otherwise, with the reason in
 * why_not as strings out are given (why_not may be NULL). */
DRIVERWYR_C_FUNCTION(int, driverwyr_CreateSerialCounterKey, (char* why_not, int size),
                     "Creates the user's serial counter key when missing: 0, or -1 with the reason in why_not")

/* The driver's text of message id (DRIVERWYR_MSG_... of driverwyr/dialog.h),
 * as its message boxes show it, placeholders unfilled; length 0 (the empty
 * string) for an id the string table does not hold. */
DRIVERWYR_C_FUNCTION(int, driverwyr_GetMessageText, (int id, char* buffer, int size),
                     "The driver's text of message id, placeholders unfilled, as strings out are given; \"\" for an unknown id")

/* ---- the clock ------------------------------------------------------------ */

/* A calendar date: full year, month 1..12, day 1..31. */
typedef struct driverwyr_date {
  int year;  /* the full year, 2026 */
  int month; /* 1 .. 12 */
  int day;   /* 1 .. 31 */
} driverwyr_date;

/* A clock of the host's: today's date in UTC (program numbers, the serial
 * counter) and in local time (date of creation). Both callbacks must be set;
 * `user` is passed back to them. */
typedef struct driverwyr_clock {
  void* user; /* passed back to both callbacks */
  /* Writes today's date in UTC into *today. */
  void(DRIVERWYR_CALL* utc_today)(void* user, driverwyr_date* today);
  /* Writes today's date in local time into *today. */
  void(DRIVERWYR_CALL* local_today)(void* user, driverwyr_date* today);
} driverwyr_clock;

/* Installs a copy of *clock (the struct is copied; `user` and both functions
 * must stay valid while it is installed); NULL restores the platform's clock. 0, or -1 (the
 * clock in force stays) when a callback is missing or memory is exhausted. */
DRIVERWYR_C_FUNCTION(int, driverwyr_SetClock, (const driverwyr_clock* clock),
                     "Installs a copy of *clock (NULL: the platform's clock): 0, or -1 when a callback is missing")

/* ---- the user interface ---------------------------------------------------- */

/* A text the driver receives from a callback: the callback stores it with
 * driverwyr_text_set (a callback that does not leaves the empty string). */
typedef struct driverwyr_text driverwyr_text;
/* Stores a copy of the NUL-terminated value (NULL: the empty string). 0, or -1
 * for a NULL text or exhausted memory. */
DRIVERWYR_C_FUNCTION(int, driverwyr_text_set, (driverwyr_text* text, const char* value),
                     "Stores a copy of value (NULL: \"\") in text: 0, or -1 for a NULL text or exhausted memory")

/* An open dialog window of the host's, whose controls are reached by id (the
 * items of DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS). The driver's dialog
 * logic fills, reads and checks the controls through these callbacks, exactly
 * as DialogWindow of driverwyr/host.h describes them; every one must be set.
 * Texts passed in are valid only during the call. */
typedef struct driverwyr_window {
  void* user; /* passed back to every callback */
  /* Text of an edit box or label; for the combo box, its selected entry.
   * Unknown ids: leave the empty string. */
  void(DRIVERWYR_CALL* get_control_text)(void* user, int id, driverwyr_text* text);
  /* Replaces a control's text (not cut to its typing limit). For the combo
   * box, selects the entry of that text, if there is one. */
  void(DRIVERWYR_CALL* set_control_text)(void* user, int id, const char* text);
  /* How many characters the operator may type into an edit box; 0: no limit. */
  void(DRIVERWYR_CALL* set_text_limit)(void* user, int id, int characters);
  /* Shows (visible nonzero) or hides a control. */
  void(DRIVERWYR_CALL* show_control)(void* user, int id, int visible);
  /* Gives a control the keyboard focus. */
  void(DRIVERWYR_CALL* focus_control)(void* user, int id);
  /* Removes every entry of the combo box. */
  void(DRIVERWYR_CALL* clear_combo_box)(void* user, int id);
  /* Inserts text before entry index: index equal to the number of entries
   * appends, and so does -1 (the driver fills the list 0, 1, 2 ...); a larger
   * index inserts nothing. */
  void(DRIVERWYR_CALL* insert_combo_entry)(void* user, int id, int index, const char* text);
  /* Selects the first entry that begins with prefix, ignoring letter case;
   * its index, or -1 (selection unchanged) when none does or prefix is empty. */
  int(DRIVERWYR_CALL* select_combo_entry)(void* user, int id, const char* prefix);
  /* Index of the selected entry, or -1. */
  int(DRIVERWYR_CALL* get_combo_selection)(void* user, int id);
  /* Text of entry index; leave the empty string when there is none. */
  void(DRIVERWYR_CALL* get_combo_entry)(void* user, int id, int index, driverwyr_text* text);
  /* A validation message about control id (a value that is no number, or too
   * long, or out of range); return when the operator has acknowledged it. */
  void(DRIVERWYR_CALL* show_validation_message)(void* user, int id, const char* text);
  /* Ends the modal dialog: run_dialog then returns result. */
  void(DRIVERWYR_CALL* end_dialog)(void* user, int result);
} driverwyr_window;

/* The driver's side of a dialog being run: passed to run_dialog, valid until
 * it returns. */
typedef struct driverwyr_dialog driverwyr_dialog;

/* The window exists and its controls are empty: the driver fills them.
 * Call once, first. Returns 1, the answer of a Win32 dialog procedure to
 * WM_INITDIALOG (give the focus to the first control); -1 for a NULL argument
 * or when the driver failed (memory exhausted: end the dialog, the run then
 * ends). The window struct and its functions are used during the call only. */
DRIVERWYR_C_FUNCTION(int, driverwyr_dialog_init, (driverwyr_dialog* dialog, const driverwyr_window* window),
                     "Fills the new dialog window's controls: 1 (give the focus to the first control), or -1")
/* A command of the operator: a button (DRIVERWYR_ID_OK for "Create...",
 * DRIVERWYR_ID_CANCEL, DRIVERWYR_IDC_BROWSE) with DRIVERWYR_BN_CLICKED, or
 * the material list with DRIVERWYR_CBN_SELCHANGE after its selection
 * changed. "Create..." ends the dialog (end_dialog) only when every field
 * passes its check. 0, or -1 as driverwyr_dialog_init. */
DRIVERWYR_C_FUNCTION(int, driverwyr_dialog_command,
                     (driverwyr_dialog* dialog, const driverwyr_window* window, int control_id, int notification),
                     "Handles a command of the operator on the dialog: 0, or -1")

/* A user interface of the host's: message boxes, the modal dialog and the
 * folder browser, as UserInterface of driverwyr/host.h. Every callback must
 * be set; `user` is passed back to them. */
typedef struct driverwyr_user_interface {
  void* user; /* passed back to every callback */
  /* Shows text (line feeds included) with a DRIVERWYR_MB_... style; returns
   * the button that closed it (DRIVERWYR_ID_OK for the driver's boxes). */
  int(DRIVERWYR_CALL* show_message_box)(void* user, const char* text, unsigned style);
  /* Runs dialog template_id (DRIVERWYR_DIALOG_PROGRAM_CREATION) modally:
   * make the window, call driverwyr_dialog_init, then driverwyr_dialog_command
   * for every command until end_dialog is called; return the result given to
   * end_dialog, or -1 when the dialog could not be shown. */
  int(DRIVERWYR_CALL* run_dialog)(void* user, int template_id, driverwyr_dialog* dialog);
  /* The folder browser over the window owner (the one of the command being
   * handled), titled title, starting at initial_folder. Return 0 when the
   * operator cancelled; 1 when a folder was chosen, stored in folder (left
   * empty for an item without a file-system path). */
  int(DRIVERWYR_CALL* browse_for_folder)(void* user, const driverwyr_window* owner, const char* title,
                                         const char* initial_folder, driverwyr_text* folder);
} driverwyr_user_interface;

/* The DRIVERWYR_MSG_... id of the message box being shown: for
 * show_message_box to call while it shows a box, to tell the driver's
 * messages apart without reading their texts. 0 outside show_message_box and
 * for the few boxes whose text is no message of the string table. */
DRIVERWYR_C_FUNCTION(int, driverwyr_CurrentMessageId, (void),
                     "The DRIVERWYR_MSG_... id of the message box being shown; 0 outside show_message_box")

/* Installs a copy of *ui (the struct is copied; `user` and every function
 * must stay valid while it is installed: keep ctypes function objects and
 * .NET delegates alive until it is replaced); NULL restores the platform's
 * user interface. 0, or -1 (the user interface in force stays) when a
 * callback is missing or memory is exhausted. A callback may call
 * driverwyr_dialog_init and _command (run_dialog), driverwyr_text_set,
 * driverwyr_CurrentMessageId, driverwyr_GetMessageText, driverwyr_LastError
 * and the functions of the host's own records. A function that changes the
 * store, installs a user interface or clock, switches the dry run or starts
 * a run or a pre-flight is refused while a run is in progress: it changes
 * nothing, returns -1 (NULL) where it has a result, and says why in
 * driverwyr_LastError. */
DRIVERWYR_C_FUNCTION(int, driverwyr_SetUserInterface, (const driverwyr_user_interface* ui),
                     "Installs a copy of *ui (NULL: the platform's user interface): 0, or -1 when a callback is missing")

/* ---- a copy of the store --------------------------------------------------- */

typedef struct driverwyr_store_copy driverwyr_store_copy;

/* A copy of everything the store holds, creating the store if needed; NULL
 * when there is no store or memory is exhausted. Free it with
 * driverwyr_store_copy_free. */
DRIVERWYR_C_FUNCTION(driverwyr_store_copy*, driverwyr_CopyStore, (void),
                     "A copy of everything the store holds; NULL when memory is exhausted")
DRIVERWYR_C_FUNCTION(void, driverwyr_store_copy_free, (driverwyr_store_copy* copy),
                     "Frees a copy of the store")
DRIVERWYR_C_FUNCTION(int, driverwyr_store_copy_unit, (const driverwyr_store_copy* copy),
                     "The copy's unit: 1 for inch, 0 for millimetre")
/* The three paths, as strings out are given. */
DRIVERWYR_C_FUNCTION(int, driverwyr_store_copy_program_path, (const driverwyr_store_copy* copy, char* buffer, int size),
                     "The copy's program path, as strings out are given")
DRIVERWYR_C_FUNCTION(int, driverwyr_store_copy_data_path, (const driverwyr_store_copy* copy, char* buffer, int size),
                     "The copy's folder of material data files, as strings out are given")
DRIVERWYR_C_FUNCTION(int, driverwyr_store_copy_conversion_path,
                     (const driverwyr_store_copy* copy, char* buffer, int size),
                     "The copy's conversion file, as strings out are given")
/* The material: thickness in millimetres, tensile strength, type code. */
DRIVERWYR_C_FUNCTION(float, driverwyr_store_copy_material_thickness, (const driverwyr_store_copy* copy),
                     "The copy's material thickness in millimetres")
DRIVERWYR_C_FUNCTION(float, driverwyr_store_copy_material_tensile, (const driverwyr_store_copy* copy),
                     "The copy's tensile strength")
DRIVERWYR_C_FUNCTION(int, driverwyr_store_copy_material_type, (const driverwyr_store_copy* copy),
                     "The copy's material type code")
/* The copy's record arrays, borrowed: valid until the copy is freed (never
 * free them yourself). NULL for a NULL copy. */
DRIVERWYR_C_FUNCTION(driverwyr_CPPStepInfo_array*, driverwyr_store_copy_steps, (driverwyr_store_copy* copy),
                     "The copy's steps, borrowed until the copy is freed; NULL for a NULL copy")
DRIVERWYR_C_FUNCTION(driverwyr_CPPTool_array*, driverwyr_store_copy_tools, (driverwyr_store_copy* copy),
                     "The copy's tools, borrowed until the copy is freed; NULL for a NULL copy")
DRIVERWYR_C_FUNCTION(driverwyr_CPPSetup_array*, driverwyr_store_copy_setups, (driverwyr_store_copy* copy),
                     "The copy's setups, borrowed until the copy is freed; NULL for a NULL copy")
DRIVERWYR_C_FUNCTION(driverwyr_CPPMachine_array*, driverwyr_store_copy_machines, (driverwyr_store_copy* copy),
                     "The copy's machines, borrowed until the copy is freed; NULL for a NULL copy")
DRIVERWYR_C_FUNCTION(driverwyr_CPPBGauge_array*, driverwyr_store_copy_gauges, (driverwyr_store_copy* copy),
                     "The copy's back gauges, borrowed until the copy is freed; NULL for a NULL copy")

#ifdef __cplusplus
}  /* extern "C" */
#endif

/* The pre-flight report and the set-up sheet. */
#include "driverwyr/driverwyr_c_report.h"

#endif /* DRIVERWYR_DRIVERWYR_C_H_ */
