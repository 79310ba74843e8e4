// The store's contents as `wyr check` prints them: the unit, one line per
// path (each beginning with "path "), the material, and per record the fields
// that the driver uses, one item a line ("steps[0].BendAngle: 90"); back
// gauges only by their count. Which fields are listed, and in which order,
// comes from the record classes' field table (driverwyr/record_fields.h).
// Numbers of single and double precision are shown with six significant
// digits, strings in double quotes with quotes, backslashes and control bytes
// escaped. A ToolID entry ends at its first NUL or after its 32 bytes.
#ifndef DRIVERWYR_TOOLS_WYR_STORE_PRINTER_H_
#define DRIVERWYR_TOOLS_WYR_STORE_PRINTER_H_

#include "driverwyr/host.h"
#include "output_buffer.h"

namespace wyr {

void DescribeStore(const driverwyr::StoreCopy& store, OutputBuffer& out);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_STORE_PRINTER_H_
