// DriverWyr: the post-processor driver of a press-brake control family.
//
// A bending CAD/CAM host loads the library and drives it through the entry
// points below. They all work on one store per process, which the first call
// that needs it creates and which lives until the library is unloaded. The
// store owns copies of everything the host hands over; the host keeps its own
// records and arrays, and the driver never writes to them.
//
// Usual order of calls:
//   CreatePPDBInstance, SetUnit, SetPathNames, SetMaterial_1 or SetMaterial_2,
//   the five Init... entry points in any order, GenerateMachineCodeFile,
//   DestroyPPDBInstance.
// Two orderings matter: SetUnit before SetMaterial_1/SetMaterial_2 (the
// thickness is converted with the unit in force), and every record and
// setting before GenerateMachineCodeFile.
//
// Every entry point runs on the calling thread, which must be the host's
// user-interface thread; the host must not call them from two threads at once.
// None of them validates its arguments, and nothing is ever thrown to the
// host: when memory runs out, an entry point returns without effect.
// Strings are single-byte, in the host's code page.
#ifndef DRIVERWYR_DRIVERWYR_H_
#define DRIVERWYR_DRIVERWYR_H_

#include "driverwyr/bgauge.h"
#include "driverwyr/cstring.h"
#include "driverwyr/export.h"
#include "driverwyr/machine.h"
#include "driverwyr/record_array.h"
#include "driverwyr/setup.h"
#include "driverwyr/step_info.h"
#include "driverwyr/tool.h"

extern "C" {

// Makes sure the store exists. Returns true if it exists afterwards, false if
// it could not be created (memory exhausted). Optional: every other entry
// point creates the store on first use.
DRIVERWYR_API bool DRIVERWYR_CALL CreatePPDBInstance(void);

// Empties the store's five record arrays (steps, tools, setups, machines,
// back gauges, in this order). The store itself, its unit, paths and material
// stay; a later CreatePPDBInstance returns true for the same store.
DRIVERWYR_API void DRIVERWYR_CALL DestroyPPDBInstance(void);

// Writes the driver identifier, 1, into *id. Needs no store.
DRIVERWYR_API void DRIVERWYR_CALL GetDriverID(int* id);

// Sets the length unit of the values the host sends: 1 means inch, any other
// value millimetre. The store starts with 0.
DRIVERWYR_API void DRIVERWYR_CALL SetUnit(int unit);

// Sets the three paths: the program path (its folder and base name give the
// folder and name of the program files), the folder of the material data
// files f_1 to f_4, and the full path of the tool-name conversion file.
DRIVERWYR_API void DRIVERWYR_CALL SetPathNames(CString programPath, CString dataPath,
                                               CString conversionPath);

// Sets the material: the thickness (multiplied by 25.4 when the unit in force
// is inch), the tensile strength (stored unchanged) and the material type code
// (1 cold rolled steel, 3 aluminium, 5 stainless steel, 7 hot rolled steel).
DRIVERWYR_API void DRIVERWYR_CALL SetMaterial_1(float thickness, float tensile, int type);

// As SetMaterial_1, with the type taken from its name, compared exactly and
// case-sensitively: "Aluminium" 3, "Hot Rolled Steel" 7, "Cold Rolled Steel" 1,
// "Stainless Steel" 5; any other name, the empty one included, gives 1.
DRIVERWYR_API void DRIVERWYR_CALL SetMaterial_2(float thickness, float tensile,
                                                CString materialName);

// Each Init... entry point replaces one of the store's arrays with complete
// copies of the host's records, in index order. An empty host array empties
// the store's array.
DRIVERWYR_API void DRIVERWYR_CALL InitPPSequence(RecordArray<CPPStepInfo>* steps);
DRIVERWYR_API void DRIVERWYR_CALL InitToolInfo(RecordArray<CPPTool>* tools);
DRIVERWYR_API void DRIVERWYR_CALL InitSetupInfo(RecordArray<CPPSetup>* setups);
DRIVERWYR_API void DRIVERWYR_CALL InitMachineInfo(RecordArray<CPPMachine>* machines);
DRIVERWYR_API void DRIVERWYR_CALL InitBkGaugeInfo(RecordArray<CPPBGauge>* gauges);

// Runs program creation for the stored bend sequence. Every stored step's
// SetupIndex is first lowered by one (for good: a second call without a new
// InitPPSequence lowers it again), then the steps are cut into groups of
// consecutive steps with equal SetupIndex, and each group gets one modal
// "Postprocessor Program Creation Dialog:" for the setup whose SetupIndex
// equals the group's value. After "Create..." the group's program file is
// written and the operator is told the outcome; the first failure ends the
// run. After every successful creation the program path is copied into
// pathOut, cut to fit a buffer of the platform's longest path (260 bytes on
// Windows, 4096 elsewhere) and always NUL-terminated; pathOut is not touched
// when nothing is created, and a null pathOut is never written to.
// Always returns true.
DRIVERWYR_API bool DRIVERWYR_CALL GenerateMachineCodeFile(char* pathOut);

}  // extern "C"

#endif  // DRIVERWYR_DRIVERWYR_H_
