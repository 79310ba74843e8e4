/* The pre-flight report and the set-up sheet through DriverWyr's C interface.
 *
 * Part of driverwyr/driverwyr_c.h, which includes it at its end: a host
 * includes driverwyr_c.h, and the conventions written there hold here too. */
#ifndef DRIVERWYR_DRIVERWYR_C_REPORT_H_
#define DRIVERWYR_DRIVERWYR_C_REPORT_H_

#include "driverwyr/driverwyr_c.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ==== the pre-flight report and the set-up sheet ========================== */

/* The severities of a finding (driverwyr::Severity of driverwyr/preflight.h). */
enum {
  DRIVERWYR_SEVERITY_ERROR = 0,   /* the program would be wrong or the run would fail */
  DRIVERWYR_SEVERITY_WARNING = 1, /* the run goes on, but someone should look */
  DRIVERWYR_SEVERITY_NOTE = 2     /* worth knowing, nothing wrong */
};

/* One finding of a report. The texts are borrowed from the report: valid
 * until it is freed; each ends at its first NUL (the JSON form holds every
 * byte). */
typedef struct driverwyr_finding {
  int severity;         /* DRIVERWYR_SEVERITY_... */
  int group;            /* the dialog's position in the run, from 0; -1: the job as a whole */
  int step;             /* index into the store's steps; -1: no one step */
  int number;           /* the step's NumberInSquence when step >= 0, else 0 */
  const char* code;     /* short and stable: "unknown-die", "vt-below-4" ... */
  const char* category; /* "names", "material", "calculation", "plausibility", "dialog", "script" */
  const char* record;   /* the record or setting it concerns ("tools[2]"); "" for none */
  const char* text;     /* one sentence */
} driverwyr_finding;

typedef struct driverwyr_preflight_report driverwyr_preflight_report;

/* Runs the pre-flight of the job the store holds (driverwyr::RunPreflight):
 * a dry run in which every dialog is created with the values it proposes, on
 * the in-memory window and with the clock in force; no serial number is
 * claimed, no file written, and the host's user interface, clock and store
 * stay as they were. material_given: nonzero when the host set a material
 * (only the wording of a missing thickness depends on it). The report, or
 * NULL when the store cannot be read or memory is exhausted; free it with
 * driverwyr_preflight_report_free. */
DRIVERWYR_C_FUNCTION(driverwyr_preflight_report*, driverwyr_RunPreflight, (int material_given),
                     "Runs the pre-flight of the store's job; the report, or NULL when it cannot be made")
DRIVERWYR_C_FUNCTION(void, driverwyr_preflight_report_free, (driverwyr_preflight_report* report),
                     "Frees a pre-flight report")
/* The number of findings, in the report's order (the job as a whole first,
 * then group by group and step by step); 0 for NULL. */
DRIVERWYR_C_FUNCTION(int, driverwyr_preflight_report_size, (const driverwyr_preflight_report* report),
                     "The number of findings of the report; 0 for NULL")
/* The number of findings of one DRIVERWYR_SEVERITY_...; 0 for NULL or
 * another value. */
DRIVERWYR_C_FUNCTION(int, driverwyr_preflight_report_count, (const driverwyr_preflight_report* report, int severity),
                     "The number of findings of one DRIVERWYR_SEVERITY_...; 0 for NULL")
/* Finding index copied into *out: 0, or -1 (out untouched) for NULL or an
 * index outside 0 .. size - 1. */
DRIVERWYR_C_FUNCTION(int, driverwyr_preflight_report_finding,
                     (const driverwyr_preflight_report* report, int index, driverwyr_finding* out),
                     "Copies finding index into *out: 0, or -1 for NULL or an index outside the report")
/* The whole report as one line of JSON (driverwyr::PreflightReportJson:
 * the counts, the findings and the calculated steps), as strings out are
 * given; -1 for NULL. */
DRIVERWYR_C_FUNCTION(int, driverwyr_preflight_report_json,
                     (const driverwyr_preflight_report* report, char* buffer, int size),
                     "The whole report as one line of JSON, as strings out are given; -1 for NULL")

/* Results of driverwyr_WriteSheet besides 0 (written). */
enum {
  DRIVERWYR_SHEET_PROGRAM_FILE = 1, /* the program file cannot be read or is no program file */
  DRIVERWYR_SHEET_RECORDS = 2,      /* the store's records do not match the program */
  DRIVERWYR_SHEET_SHEET_FILE = 3    /* the sheet could not be written */
};

/* Writes the set-up sheet (driverwyr/sheet.h) of the program file at
 * program_path to sheet_path, replacing it whole. With records_label NULL
 * the program is drawn alone; otherwise with the store's records as the last
 * run found them (driverwyr::CopyRunRecords), named records_label on the
 * sheet (the job's file name, say). 0 when written; otherwise one of
 * DRIVERWYR_SHEET_..., or -1 (NULL path, the store cannot be read, memory
 * exhausted), with the reason in why_not as strings out are given (why_not
 * may be NULL): the file it concerns, ": ", then why. Nothing is written
 * when it fails. */
DRIVERWYR_C_FUNCTION(int, driverwyr_WriteSheet,
                     (const char* program_path, const char* sheet_path, const char* records_label, char* why_not,
                      int size),
                     "Writes the set-up sheet of a program file: 0, or DRIVERWYR_SHEET_... or -1 with the reason in why_not")

#ifdef __cplusplus
}  /* extern "C" */
#endif

#endif /* DRIVERWYR_DRIVERWYR_C_REPORT_H_ */
