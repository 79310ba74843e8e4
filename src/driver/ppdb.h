// The store: one per process, owning copies of everything the host hands over.
#ifndef DRIVERWYR_DRIVER_PPDB_H_
#define DRIVERWYR_DRIVER_PPDB_H_

#include <string>
#include <string_view>

#include "driverwyr/driverwyr.h"

namespace driverwyr {

struct PPDB {
  int Unit = 0;  // 1 = inch, anything else = millimetre
  RecordArray<CPPStepInfo> StepArray;
  RecordArray<CPPTool> ToolArray;
  RecordArray<CPPSetup> SetupArray;
  RecordArray<CPPMachine> MachineArray;
  RecordArray<CPPBGauge> BGaugeArray;
  std::string ProgramPath;     // folder and base name of the program files
  std::string DataPath;        // folder of the material data files
  std::string ConversionPath;  // tool-name conversion file
  float MaterialThickness = 0.0f;  // millimetres
  float MaterialTensile = 0.0f;    // as the host sent it
  int MaterialType = 0;
  // Whether a run has lowered the steps' SetupIndex by one since the host
  // handed them over (InitPPSequence): the set-up sheet matches a program
  // to the steps as that run saw them.
  bool StepsLowered = false;
};

// Returns the store, creating it on first use; nullptr only when it cannot be
// created (memory exhausted), in which case the next call tries again.
PPDB* GetPPDBInstance();

// Replaces `target` with complete copies of the host's records, in index
// order: the new array is sized once for all of them, then each record is
// copied (copy constructor) and the copy assigned into its slot. All or
// nothing: when memory runs out the old records stay and std::bad_alloc
// propagates.
template <typename T>
void ReplaceRecords(RecordArray<T>& target, const RecordArray<T>* source) {
  RecordArray<T> fresh;
  const int count = source != nullptr ? source->GetSize() : 0;
  fresh.SetSize(count);
  // Each default slot takes a complete copy of the host's record; when memory
  // runs out part-way, `fresh` goes and `target` keeps what it had.
  for (int i = 0; i < count; ++i) fresh[i] = (*source)[i];
  target.Swap(fresh);
}

// Material type of a name given to SetMaterial_2 (exact, case-sensitive; any
// other name gives 1).
int MaterialTypeFromName(const std::string& name);

// First tool whose ToolName equals `name` byte for byte, assigned to `tool`;
// false, with `tool` unchanged, when there is none.
bool FindToolByName(CPPTool& tool, const CString& name);
// First machine whose UserMachineName equals `name`, likewise.
bool FindMachineByName(CPPMachine& machine, const CString& name);

// The same look-ups without a copy: the first stored record of that name as
// it stands, or null when there is none. The pointer is valid until the
// store's records of that kind are replaced.
const CPPTool* FindStoredTool(std::string_view name);
const CPPMachine* FindStoredMachine(std::string_view name);
// The machine a setup names by its UserMachineName.
const CPPMachine* FindSetupMachine(const CPPSetup& setup);
// The tool that a 32-byte ToolID entry of a step names: the name ends at its
// first NUL or, without one, fills all 32 bytes (never read past the entry).
// An empty entry names no tool.
const CPPTool* FindStoredToolById(const char (&entry)[32]);

// Test support: drops the store, and makes the next creations fail as if
// memory were exhausted while `fail` is true.
void ResetStoreForTesting();
void SetStoreCreationFailsForTesting(bool fail);

}  // namespace driverwyr

#endif  // DRIVERWYR_DRIVER_PPDB_H_
