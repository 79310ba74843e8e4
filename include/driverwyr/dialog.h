/* The dialog contract: what a user interface receives from the driver.
 *
 * A host that supplies its own user interface (driverwyr/host.h for C++ hosts
 * of the same toolchain, driverwyr/driverwyr_c.h for every other host) is asked
 * to run one dialog template, to show message boxes with Win32 styles and to
 * report button presses and combo box selections by control id. This header
 * names all of it: the template and its items, every control id, the message
 * ids of the driver's string table, the message box styles and results, and
 * the two notifications the driver reacts to. Its numbers are those of the
 * driver's own resources, which are built from this header.
 *
 * Nothing but #define lines: usable from C, C++, the resource compiler and any
 * language that can read "#define NAME value" lines. The texts of the messages
 * are the driver's: ask for them with driverwyr::GetMessageText (host.h) or
 * driverwyr_GetMessageText (driverwyr_c.h) instead of copying them. */
#ifndef DRIVERWYR_DIALOG_H_
#define DRIVERWYR_DIALOG_H_

/* ---- the program creation dialog ---------------------------------------- */

/* The only dialog template: "Postprocessor Program Creation Dialog:", one per
 * group of steps that share a setup, 322 x 202 dialog units. */
#define DRIVERWYR_DIALOG_PROGRAM_CREATION 12957
#define DRIVERWYR_DIALOG_PROGRAM_CREATION_CAPTION "Postprocessor Program Creation Dialog:"

/* Buttons. "Create..." and "Cancel" carry the ids of the message box results:
 * a dialog ended with DRIVERWYR_ID_OK creates the program. */
#define DRIVERWYR_ID_OK 1     /* "Create..." (default button); also IDOK */
#define DRIVERWYR_ID_CANCEL 2 /* "Cancel"; also IDCANCEL */
#define DRIVERWYR_IDC_BROWSE 1005 /* "...": choose the output folder; hidden when the folder is fixed */

/* Edit boxes the operator types into (a typing limit is set on each). */
#define DRIVERWYR_IDC_PROGRAM_NAME 1080
#define DRIVERWYR_IDC_PART_REFERENCE 1081
#define DRIVERWYR_IDC_HARDNESS 1084
#define DRIVERWYR_IDC_CONTROL_PUNCH_NAME 1011
#define DRIVERWYR_IDC_CONTROL_DIE_NAME 1012
#define DRIVERWYR_IDC_CONTROL_DIE_HOLDER_NAME 1013
#define DRIVERWYR_IDC_CONTROL_SPACER_NAME 1014

/* The material list: a drop-down list; choosing an entry notifies
 * DRIVERWYR_CBN_SELCHANGE. */
#define DRIVERWYR_IDC_MATERIAL_LIST 1009

/* Read-only edit boxes; MATERIAL_NAME and MATERIAL_NUMBER are created hidden. */
#define DRIVERWYR_IDC_SETUP_NAME 1000
#define DRIVERWYR_IDC_FILE_NAME 1001
#define DRIVERWYR_IDC_MACHINE_MODEL 1002
#define DRIVERWYR_IDC_CONTROL_TYPE_NAME 1003
#define DRIVERWYR_IDC_THICKNESS 1082
#define DRIVERWYR_IDC_MATERIAL_NAME 1083
#define DRIVERWYR_IDC_HOST_PUNCH_NAME 1085
#define DRIVERWYR_IDC_HOST_DIE_NAME 1086
#define DRIVERWYR_IDC_HOST_DIE_HOLDER_NAME 1087
#define DRIVERWYR_IDC_HOST_SPACER_NAME 1088
#define DRIVERWYR_IDC_TOTAL_STEPS 1089
#define DRIVERWYR_IDC_MATERIAL_NUMBER 1094
#define DRIVERWYR_IDC_CREATION_DATE 1100
#define DRIVERWYR_IDC_DIE_REV 1109
#define DRIVERWYR_IDC_PUNCH_REV 1110
#define DRIVERWYR_IDC_DIE_HOLDER_REV 1111

/* Labels and group boxes with an id (the driver never changes them). Items
 * without an id carry DRIVERWYR_IDC_STATIC. */
#define DRIVERWYR_IDC_HARDNESS_LABEL 1007
#define DRIVERWYR_IDC_MATERIAL_NUMBER_LABEL 1008
#define DRIVERWYR_IDC_CREATION_DATE_LABEL 1010
#define DRIVERWYR_IDC_PUNCH_NAME_LABEL 1015
#define DRIVERWYR_IDC_DIE_NAME_LABEL 1016
#define DRIVERWYR_IDC_DIE_HOLDER_NAME_LABEL 1017
#define DRIVERWYR_IDC_SPACER_NAME_LABEL 1018
#define DRIVERWYR_IDC_TOOL_NAMES_GROUP 1019
#define DRIVERWYR_IDC_ARROW_LABEL 1020
#define DRIVERWYR_IDC_PUNCH_REV_LABEL 1021
#define DRIVERWYR_IDC_DIE_REV_LABEL 1022
#define DRIVERWYR_IDC_DIE_HOLDER_REV_LABEL 1023
#define DRIVERWYR_IDC_STATIC -1

/* The items of the template in template order, which is also the tab order:
 * DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS(ITEM) expands to one
 *
 *   ITEM(id, kind, style, text, x, y, width, height)
 *
 * per item, in dialog units. `kind` is one of the tokens WYR_PUSH,
 * WYR_DEFPUSH (push buttons, the default one), WYR_EDIT, WYR_COMBO (a
 * drop-down list), WYR_LABEL, WYR_GROUP (group box); `style` one of WYR_TAB
 * (editable, a tab stop), WYR_RO (read-only), WYR_RO_HIDDEN (read-only and
 * created invisible), WYR_PLAIN, WYR_PLAIN_HIDDEN (created invisible). The
 * tokens are no macros: ITEM gives them their meaning. `text` is the text of
 * buttons, labels and group boxes; edit and combo boxes start empty. */
#define DRIVERWYR_DIALOG_PROGRAM_CREATION_ITEMS(ITEM)                                            \
  ITEM(DRIVERWYR_IDC_BROWSE, WYR_PUSH, WYR_TAB, "...", 299, 21, 16, 14)                          \
  ITEM(DRIVERWYR_IDC_PROGRAM_NAME, WYR_EDIT, WYR_TAB, "", 74, 45, 83, 12)                        \
  ITEM(DRIVERWYR_IDC_PART_REFERENCE, WYR_EDIT, WYR_TAB, "", 210, 45, 82, 12)                     \
  ITEM(DRIVERWYR_IDC_MATERIAL_LIST, WYR_COMBO, WYR_TAB, "", 126, 97, 55, 64)                     \
  ITEM(DRIVERWYR_IDC_HARDNESS, WYR_EDIT, WYR_TAB, "", 126, 110, 55, 12)                          \
  ITEM(DRIVERWYR_IDC_CONTROL_PUNCH_NAME, WYR_EDIT, WYR_TAB, "", 152, 141, 40, 12)                \
  ITEM(DRIVERWYR_IDC_CONTROL_DIE_NAME, WYR_EDIT, WYR_TAB, "", 152, 153, 40, 12)                  \
  ITEM(DRIVERWYR_IDC_CONTROL_DIE_HOLDER_NAME, WYR_EDIT, WYR_TAB, "", 152, 165, 40, 12)           \
  ITEM(DRIVERWYR_IDC_CONTROL_SPACER_NAME, WYR_EDIT, WYR_TAB, "", 152, 178, 40, 12)               \
  ITEM(DRIVERWYR_ID_OK, WYR_DEFPUSH, WYR_TAB, "Create...", 249, 141, 50, 18)                     \
  ITEM(DRIVERWYR_ID_CANCEL, WYR_PUSH, WYR_TAB, "Cancel", 249, 172, 50, 17)                       \
  ITEM(DRIVERWYR_IDC_FILE_NAME, WYR_EDIT, WYR_RO, "", 55, 22, 240, 12)                           \
  ITEM(DRIVERWYR_IDC_THICKNESS, WYR_EDIT, WYR_RO, "", 126, 84, 55, 12)                           \
  ITEM(DRIVERWYR_IDC_MATERIAL_NAME, WYR_EDIT, WYR_RO_HIDDEN, "", 245, 155, 40, 12)               \
  ITEM(DRIVERWYR_IDC_HOST_PUNCH_NAME, WYR_EDIT, WYR_RO, "", 92, 141, 40, 12)                     \
  ITEM(DRIVERWYR_IDC_HOST_DIE_NAME, WYR_EDIT, WYR_RO, "", 92, 153, 40, 12)                       \
  ITEM(DRIVERWYR_IDC_HOST_DIE_HOLDER_NAME, WYR_EDIT, WYR_RO, "", 92, 165, 40, 12)                \
  ITEM(DRIVERWYR_IDC_HOST_SPACER_NAME, WYR_EDIT, WYR_RO, "", 92, 178, 40, 12)                    \
  ITEM(DRIVERWYR_IDC_TOTAL_STEPS, WYR_EDIT, WYR_RO, "", 74, 57, 21, 12)                          \
  ITEM(DRIVERWYR_IDC_CREATION_DATE, WYR_EDIT, WYR_RO, "", 226, 58, 40, 12)                       \
  ITEM(DRIVERWYR_IDC_MATERIAL_NUMBER, WYR_EDIT, WYR_RO_HIDDEN, "", 285, 160, 19, 12)             \
  ITEM(DRIVERWYR_IDC_DIE_REV, WYR_EDIT, WYR_RO, "", 212, 153, 16, 12)                            \
  ITEM(DRIVERWYR_IDC_PUNCH_REV, WYR_EDIT, WYR_RO, "", 212, 141, 16, 12)                          \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Program Name", 22, 48, 48, 8)                \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Part Reference", 181, 47, 23, 8)             \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Thickness", 82, 86, 34, 8)                   \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Material Name", 70, 99, 46, 8)               \
  ITEM(DRIVERWYR_IDC_HARDNESS_LABEL, WYR_LABEL, WYR_PLAIN, "            Hardness", 57, 111, 59, 8) \
  ITEM(DRIVERWYR_IDC_PUNCH_NAME_LABEL, WYR_LABEL, WYR_PLAIN, "Punch Name", 42, 144, 42, 8)       \
  ITEM(DRIVERWYR_IDC_DIE_NAME_LABEL, WYR_LABEL, WYR_PLAIN, "Die Name", 52, 156, 32, 8)           \
  ITEM(DRIVERWYR_IDC_DIE_HOLDER_NAME_LABEL, WYR_LABEL, WYR_PLAIN, "Die Holder Name", 29, 168, 55, 8) \
  ITEM(DRIVERWYR_IDC_SPACER_NAME_LABEL, WYR_LABEL, WYR_PLAIN, "Spacer Name", 40, 179, 44, 8)     \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Total Steps", 27, 60, 37, 8)                 \
  ITEM(DRIVERWYR_IDC_CREATION_DATE_LABEL, WYR_LABEL, WYR_PLAIN, "Date of Creation", 162, 60, 52, 8) \
  ITEM(DRIVERWYR_IDC_MATERIAL_NUMBER_LABEL, WYR_LABEL, WYR_PLAIN_HIDDEN, "Material Number", 250, 145, 52, 8) \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Setup Name", 12, 9, 40, 8)                   \
  ITEM(DRIVERWYR_IDC_SETUP_NAME, WYR_EDIT, WYR_RO, "", 55, 7, 44, 12)                            \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "File Name", 15, 24, 32, 8)                   \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Machine Model", 195, 9, 50, 8)               \
  ITEM(DRIVERWYR_IDC_MACHINE_MODEL, WYR_EDIT, WYR_RO, "", 247, 7, 48, 12)                        \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_LABEL, WYR_PLAIN, "Control Type", 110, 9, 41, 8)                \
  ITEM(DRIVERWYR_IDC_CONTROL_TYPE_NAME, WYR_EDIT, WYR_RO, "", 153, 7, 36, 12)                    \
  ITEM(DRIVERWYR_IDC_TOOL_NAMES_GROUP, WYR_GROUP, WYR_PLAIN,                                     \
       "Convert Torvane tools names to Talvenor tools names", 16, 130, 221, 66)                  \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_GROUP, WYR_PLAIN, "Material", 16, 78, 221, 47)                  \
  ITEM(DRIVERWYR_IDC_STATIC, WYR_GROUP, WYR_PLAIN, "Basic", 16, 35, 279, 41)                     \
  ITEM(DRIVERWYR_IDC_PUNCH_REV_LABEL, WYR_LABEL, WYR_PLAIN, "Rev", 196, 143, 14, 8)              \
  ITEM(DRIVERWYR_IDC_DIE_REV_LABEL, WYR_LABEL, WYR_PLAIN, "Rev", 196, 155, 14, 8)                \
  ITEM(DRIVERWYR_IDC_ARROW_LABEL, WYR_LABEL, WYR_PLAIN, "-->", 137, 157, 8, 8)                   \
  ITEM(DRIVERWYR_IDC_DIE_HOLDER_REV, WYR_EDIT, WYR_RO, "", 211, 166, 16, 12)                     \
  ITEM(DRIVERWYR_IDC_DIE_HOLDER_REV_LABEL, WYR_LABEL, WYR_PLAIN, "Rev", 195, 168, 14, 8)

/* ---- notifications the dialog reacts to ------------------------------------ */

#define DRIVERWYR_BN_CLICKED 0     /* a button was pressed (BN_CLICKED) */
#define DRIVERWYR_CBN_SELCHANGE 1  /* the material list's selection changed (CBN_SELCHANGE) */

/* ---- message boxes ------------------------------------------------------- */

/* Styles a message box is shown with: DRIVERWYR_MB_OK combined with at most
 * one icon (style & DRIVERWYR_MB_ICONMASK). The driver's boxes have the one
 * button "OK"; their result is DRIVERWYR_ID_OK. */
#define DRIVERWYR_MB_OK 0x00000000             /* MB_OK */
#define DRIVERWYR_MB_ICONSTOP 0x00000010       /* MB_ICONHAND: the run failed */
#define DRIVERWYR_MB_ICONWARNING 0x00000030    /* MB_ICONEXCLAMATION: written, but something went wrong */
#define DRIVERWYR_MB_ICONINFORMATION 0x00000040 /* MB_ICONASTERISK */
#define DRIVERWYR_MB_ICONMASK 0x000000F0

/* ---- message ids of the string table ------------------------------------- */

/* A target that cannot be replaced, a folder that does not exist. */
#define DRIVERWYR_MSG_OPEN_FILE_FAILS 51006
/* After every program written. */
#define DRIVERWYR_MSG_PROGRAM_CREATED 51008
/* A create that failed; the run ends (stop icon). */
#define DRIVERWYR_MSG_CREATE_FAILED 51010
/* Warnings of the bend calculation, one box per step under the heading
 * DRIVERWYR_MSG_STEP_NOTE, whose %d is the step number. */
#define DRIVERWYR_MSG_MATERIAL_NOT_SUPPORTED 51015
#define DRIVERWYR_MSG_ELONGATION_TOO_HIGH 51016
#define DRIVERWYR_MSG_V_RATIO_TOO_LOW 51017
#define DRIVERWYR_MSG_V_RATIO_TOO_HIGH 51018
#define DRIVERWYR_MSG_FORCE_BELOW_MACHINE_MINIMUM 51019
#define DRIVERWYR_MSG_FORCE_ABOVE_MACHINE_MAXIMUM 51020
#define DRIVERWYR_MSG_FORCE_ABOVE_PUNCH_LIMIT 51021
#define DRIVERWYR_MSG_FORCE_ABOVE_DIE_LIMIT 51022
#define DRIVERWYR_MSG_STEP_NOTE 51023
/* The title of the folder browser. */
#define DRIVERWYR_MSG_SELECT_FOLDER 51024
/* The program number claimed at "Create...": %1 the proposed, %2 the claimed
 * number (information icon), or the number that could not be saved (warning
 * icon, the reason on a second line). */
#define DRIVERWYR_MSG_NUMBER_TAKEN 51025
#define DRIVERWYR_MSG_DATE_CHANGED 51026
#define DRIVERWYR_MSG_NUMBER_NOT_SAVED 51027
/* A step whose punch or die is not in the tool list (it is not calculated). */
#define DRIVERWYR_MSG_PUNCH_NOT_IN_TOOL_LIST 51028
#define DRIVERWYR_MSG_DIE_NOT_IN_TOOL_LIST 51029
/* A step whose calculated depth is negative (the punch would stop above the
 * sheet) or deeper than the machine's stroke (its MaxStrokeHeight, where the
 * machine record gives one), or whose force is not a finite number. The line
 * follows the step's other warnings, and its box carries the warning icon:
 * the step is written as calculated (a force that is not finite as 0, with
 * the depth 0), but the program needs a look before it goes to the press. */
#define DRIVERWYR_MSG_BEYOND_MACHINE 51030
/* The counter of program numbers could not be read or understood at
 * "Create..." (another program keeps it locked, something else stands in its
 * place, it holds what is no counter): %1 the number this program got, the
 * reason on a second line (warning icon). The counter is left as it is. */
#define DRIVERWYR_MSG_NUMBER_NOT_READ 51031
/* The day's numbers 00 to 99 are used up: %1 the number this program got,
 * which an earlier program of the day has too (information icon). */
#define DRIVERWYR_MSG_NUMBER_REPEATED 51032
/* A material data file changed while a program was written: %1 its path.
 * The program is not written (stop icon); DRIVERWYR_MSG_CREATE_FAILED follows. */
#define DRIVERWYR_MSG_MATERIAL_FILE_CHANGED 51033
/* The tool-name conversion file cannot be used: %1 its path and what is wrong
 * with it (stop icon); DRIVERWYR_MSG_CREATE_FAILED follows. */
#define DRIVERWYR_MSG_CONVERSION_FILE_UNUSABLE 51034
/* A program file that could not be written: %1 its path and the reason the
 * system gave ("/out/PART.wyr: the disk is full"), in a box of its own (stop
 * icon) after "Open file fails!" where that is shown;
 * DRIVERWYR_MSG_CREATE_FAILED follows, its text unchanged. */
#define DRIVERWYR_MSG_PROGRAM_NOT_WRITTEN 51035
/* A material data file that exists but cannot be used: %1 its path and what
 * is wrong with it (unreadable, or where it is malformed), once per file and
 * program, before the box of the first step it leaves uncalculated (warning
 * icon). That step's box says "The material is not supported." as for a
 * missing file. */
#define DRIVERWYR_MSG_MATERIAL_FILE_UNUSABLE 51036

#endif /* DRIVERWYR_DIALOG_H_ */
