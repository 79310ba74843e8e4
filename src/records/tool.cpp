#include "driverwyr/tool.h"

#include "records/record_accessors.h"

#define DRIVERWYR_RECORD CPPTool
DRIVERWYR_DEFINE_RECORD(DRIVERWYR_TOOL_FIELDS)
