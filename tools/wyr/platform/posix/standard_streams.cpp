// Standard streams of wyr on POSIX systems.
//
// A reader that goes away (a closed pipe) would end the process by SIGPIPE
// before it could say so; ignored, the write fails with EPIPE and wyr
// reports it like any other failed write.
//
// While a program may be on its way to the disk, the signals that ask wyr to
// end are blocked, not caught: one that arrives stays pending and, once the
// program's line is out, ends the process with its usual effect.
#include <signal.h>

#include <csignal>

#include "run_platform.h"

namespace wyr {

void PrepareStandardStreams() { std::signal(SIGPIPE, SIG_IGN); }

void HoldEndingSignals(bool hold) {
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGTERM);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGHUP);
  sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &ending, nullptr);
}

}  // namespace wyr
