// What the last generation run did, kept for hosts that ask (host.h): the
// program files it wrote and the steps it calculated; and whether the run is
// a dry run, which shows everything a run shows but stores no serial number
// and writes no program file.
#ifndef DRIVERWYR_CREATION_RUN_RECORD_H_
#define DRIVERWYR_CREATION_RUN_RECORD_H_

#include <string>
#include <vector>

#include "creation/serial_counter.h"
#include "driverwyr/host.h"

namespace driverwyr {

struct RunRecord {
  bool dry_run = false;
  int group = -1;  // the group whose dialog is open or whose program is being written
  std::vector<std::string> written;
  std::vector<CalculatedStep> calculated;
  // The program numbers the run has given; kept only while it runs, so that
  // a dialog built outside a run proposes what the counter says.
  RunNumbers numbers;

  // A new run begins: what the last one did is forgotten.
  void Start() {
    group = -1;
    written.clear();
    calculated.clear();
    numbers.Clear();
  }
};

// The record of the process: one store, one run at a time.
RunRecord& CurrentRun();

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_RUN_RECORD_H_
