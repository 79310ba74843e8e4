// What the last generation run did, kept for hosts that ask (host.h): what
// became of each group, the program files it wrote and the steps it
// calculated; and whether the run is
// a dry run, which shows everything a run shows but stores no serial number
// and writes no program file.
#ifndef DRIVERWYR_CREATION_RUN_RECORD_H_
#define DRIVERWYR_CREATION_RUN_RECORD_H_

#include <string>
#include <vector>

#include "creation/serial_counter.h"
#include "driverwyr/host.h"

namespace driverwyr {

// One group of the run; the texts stay in place until the next run starts
// (the C interface lends them to the host).
struct GroupRecord {
  int first_step = 0;
  int step_count = 0;
  GroupOutcome outcome = GroupOutcome::kNotRun;
  std::string program_file;
  std::string program_name;
  std::string reason;
};

struct RunRecord {
  bool dry_run = false;
  int group = -1;  // the group whose dialog is open or whose program is being written
  std::vector<GroupRecord> groups;
  std::vector<std::string> written;
  std::vector<CalculatedStep> calculated;
  // The program numbers the run has given; kept only while it runs, so that
  // a dialog built outside a run proposes what the counter says.
  RunNumbers numbers;

  // A new run begins: what the last one did is forgotten.
  void Start() {
    group = -1;
    groups.clear();
    written.clear();
    calculated.clear();
    numbers.Clear();
  }
};

// The record of the process: one store, one run at a time.
RunRecord& CurrentRun();

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_RUN_RECORD_H_
