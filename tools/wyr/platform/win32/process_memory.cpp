// The heap of wyr.exe is the C runtime's as it comes: Windows keeps its own
// counsel on how blocks are mapped.
#include "run_platform.h"

namespace wyr {

void PrepareProcessMemory() {}

}  // namespace wyr
