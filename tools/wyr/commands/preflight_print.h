// The pre-flight report as `wyr check` prints it: text for people, after the
// listing of the store, or one JSON object for tools (`--json`).
//
// Text: a heading "pre-flight report: E errors, W warnings, N notes", then one
// line a finding: "SEVERITY CODE: PLACE: MESSAGE", where PLACE names the step
// ("steps[2] (step 3)") or the group ("group 1"), or "job", followed by the
// record when there is one (", tools[2]"). Bytes that are not printable are
// shown as \xNN.
#ifndef DRIVERWYR_TOOLS_WYR_PREFLIGHT_PRINT_H_
#define DRIVERWYR_TOOLS_WYR_PREFLIGHT_PRINT_H_

#include "driverwyr/preflight.h"
#include "output_buffer.h"

namespace wyr {

void PrintReportText(const driverwyr::PreflightReport& report, OutputBuffer& out);

// The driver's JSON form of the report (driverwyr::PreflightReportJson) on
// one line.
void PrintReportJson(const driverwyr::PreflightReport& report, OutputBuffer& out);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_PREFLIGHT_PRINT_H_
