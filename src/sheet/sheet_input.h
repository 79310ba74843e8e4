// What a set-up sheet shows: the program file's header and step records, and,
// when the job that made the program is known, the tools, setup and machine
// each step names, with the findings about each step.
//
// A sheet is made in three moves: MakeSheetInput from the decoded program
// file, AddJobToSheet (sheet_job.h) when the job is given, then
// RenderSheetHtml (sheet_html.h). Anyone may add texts to a step's `findings`
// between the moves; the sheet shows them in the step's caption and in the
// table of steps.
#ifndef DRIVERWYR_SHEET_SHEET_INPUT_H_
#define DRIVERWYR_SHEET_SHEET_INPUT_H_

#include <optional>
#include <string>
#include <vector>

#include "driverwyr/program_format.h"

namespace driverwyr::sheet {

// A die as the job's tool record describes it, in millimetres and degrees.
struct DieTool {
  std::string name;
  double v_width = 0.0;
  double shoulder_radius = 0.0;
  double angle = 0.0;
  float resistance = 0.0f;  // DieResistance, allowed load per metre of bend
};

// A punch as the job's tool record describes it.
struct PunchTool {
  std::string name;
  double angle = 0.0;       // included angle of the tip, degrees; 0 when not given
  double tip_radius = 0.0;  // the tool's Radius
  float resistance = 0.0f;  // PunchResistance
};

struct SheetStep {
  std::size_t record = 0;  // position of the record in the program file, from 0
  driverwyr::ProgramRecord values;

  // From the job, when it is given.
  std::optional<std::size_t> job_step;  // index into the job's steps
  int number_in_sequence = 0;           // the step number the driver's warnings quote
  int mode = 0;                         // 0: depth and force were calculated by the driver
  std::string punch_name;               // ToolID entries 0 and 1 as the step names them
  std::string die_name;
  std::optional<PunchTool> punch;  // the tool records they name, when found
  std::optional<DieTool> die;

  // What the sheet can tell about the step, one sentence each; shown with
  // the step. Filled from the record and the job; others may add theirs.
  std::vector<std::string> findings;
};

// One tool row of the header: the name the control knows, its orientation
// code and, from the job, the tool names the steps use.
struct SheetToolRow {
  std::string role;           // "Punch", "Die", "Die holder", "Spacer"
  std::string control_name;   // the header's text, padding removed
  std::optional<char> rev;    // the orientation byte; none for the spacer, which has none
  std::vector<std::string> job_names;  // distinct names in step order
  std::string details;        // what the job's record says of the tool
};

// The header's tool rows, in this order.
inline constexpr std::size_t kPunchRow = 0;
inline constexpr std::size_t kDieRow = 1;
inline constexpr std::size_t kDieHolderRow = 2;
inline constexpr std::size_t kSpacerRow = 3;

struct SheetInput {
  std::string program_label;  // the program file's name, as the operator knows it
  driverwyr::ProgramHeader header;
  std::vector<SheetStep> steps;  // every record but the closing one, in bending order
  bool has_closing_record = false;
  std::vector<SheetToolRow> tools;  // kPunchRow to kSpacerRow

  // From the job, when it is given.
  std::string job_label;      // the job file's name; empty without a job
  std::string group_label;    // which of the job's groups the program holds
  std::string setup_label;    // setup and machine the group uses
  std::vector<std::string> findings;  // about the program as a whole
};

// The sheet of a decoded program file: every record but the last, which
// every program ends with as its closing record, becomes a step; the header
// gives the tool rows. Findings that the record alone supports are added.
SheetInput MakeSheetInput(const driverwyr::ProgramFile& file, std::string program_label);

// The header's text field for showing: trailing padding removed.
std::string HeaderText(const std::string& field);

// A number for people: at most `decimals` decimals, trailing zeros and a
// negative zero's sign dropped ("120.5", "-6.44", "0"); "nan" and "inf" as
// they are.
std::string Decimal(double value, int decimals = 2);

}  // namespace driverwyr::sheet

#endif  // DRIVERWYR_SHEET_SHEET_INPUT_H_
