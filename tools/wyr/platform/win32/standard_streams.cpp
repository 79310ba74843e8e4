// Standard streams of wyr.exe: Windows has no signal for a closed pipe (a
// write to one fails, and wyr reports it like any other failed write), and
// no signal to hold back while a program is written.
#include "run_platform.h"

namespace wyr {

void PrepareStandardStreams() {}

void HoldEndingSignals(bool) {}

}  // namespace wyr
