// The exported entry points. Each one reaches the store through
// GetPPDBInstance and catches everything at the edge: nothing is thrown to the
// host, and a call that runs out of memory returns without effect. Those that
// change the store do nothing while a run is in progress (called from one of
// the host's callbacks), saying why in the thread's last error.
#include <exception>
#include <string_view>

#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"
#include "driverwyr/host.h"
#include "driverwyr/units.h"
#include "util/run_hold.h"

using driverwyr::GetPPDBInstance;
using driverwyr::PPDB;

namespace {

// Runs `body` with the store, if there is one and no run holds it; swallows
// every exception. `call` names the entry point in the last error.
template <typename Body>
void WithStore(std::string_view call, Body&& body) noexcept {
  if (driverwyr::RefusedDuringRun(call)) return;
  try {
    if (PPDB* store = GetPPDBInstance()) body(*store);
  } catch (...) {
    // Out of memory while copying: the store keeps what it had.
  }
}

float ConvertThickness(const PPDB& store, float thickness) {
  return store.Unit == driverwyr::kUnitInch
             ? static_cast<float>(static_cast<double>(thickness) * driverwyr::kInchToMillimetres)
             : thickness;
}

}  // namespace

extern "C" {

DRIVERWYR_API bool DRIVERWYR_CALL CreatePPDBInstance(void) {
  return GetPPDBInstance() != nullptr;
}

DRIVERWYR_API void DRIVERWYR_CALL DestroyPPDBInstance(void) {
  WithStore("DestroyPPDBInstance", [](PPDB& store) {
    store.StepArray.RemoveAll();
    store.ToolArray.RemoveAll();
    store.SetupArray.RemoveAll();
    store.MachineArray.RemoveAll();
    store.BGaugeArray.RemoveAll();
  });
}

DRIVERWYR_API void DRIVERWYR_CALL GetDriverID(int* id) {
  if (id != nullptr) *id = 1;
}

DRIVERWYR_API void DRIVERWYR_CALL SetUnit(int unit) {
  WithStore("SetUnit", [unit](PPDB& store) { store.Unit = unit; });
}

DRIVERWYR_API void DRIVERWYR_CALL SetPathNames(CString programPath, CString dataPath,
                                               CString conversionPath) {
  WithStore("SetPathNames", [&](PPDB& store) {
    store.ProgramPath = programPath.str();
    store.DataPath = dataPath.str();
    store.ConversionPath = conversionPath.str();
  });
}

DRIVERWYR_API void DRIVERWYR_CALL SetMaterial_1(float thickness, float tensile, int type) {
  WithStore("SetMaterial_1", [=](PPDB& store) {
    store.MaterialThickness = ConvertThickness(store, thickness);
    store.MaterialTensile = tensile;
    store.MaterialType = type;
  });
}

DRIVERWYR_API void DRIVERWYR_CALL SetMaterial_2(float thickness, float tensile,
                                                CString materialName) {
  WithStore("SetMaterial_2", [&](PPDB& store) {
    store.MaterialThickness = ConvertThickness(store, thickness);
    store.MaterialTensile = tensile;
    store.MaterialType = driverwyr::MaterialTypeFromName(materialName.str());
  });
}

DRIVERWYR_API void DRIVERWYR_CALL InitPPSequence(RecordArray<CPPStepInfo>* steps) {
  WithStore("InitPPSequence", [steps](PPDB& store) {
    driverwyr::ReplaceRecords(store.StepArray, steps);
    store.StepsLowered = false;
  });
}

DRIVERWYR_API void DRIVERWYR_CALL InitToolInfo(RecordArray<CPPTool>* tools) {
  WithStore("InitToolInfo", [tools](PPDB& store) { driverwyr::ReplaceRecords(store.ToolArray, tools); });
}

DRIVERWYR_API void DRIVERWYR_CALL InitSetupInfo(RecordArray<CPPSetup>* setups) {
  WithStore("InitSetupInfo", [setups](PPDB& store) { driverwyr::ReplaceRecords(store.SetupArray, setups); });
}

DRIVERWYR_API void DRIVERWYR_CALL InitMachineInfo(RecordArray<CPPMachine>* machines) {
  WithStore("InitMachineInfo", [machines](PPDB& store) { driverwyr::ReplaceRecords(store.MachineArray, machines); });
}

DRIVERWYR_API void DRIVERWYR_CALL InitBkGaugeInfo(RecordArray<CPPBGauge>* gauges) {
  WithStore("InitBkGaugeInfo", [gauges](PPDB& store) { driverwyr::ReplaceRecords(store.BGaugeArray, gauges); });
}

}  // extern "C"

namespace driverwyr {

bool CopyStore(StoreCopy& out) {
  try {
    PPDB* store = GetPPDBInstance();
    if (store == nullptr) return false;
    out.unit = store->Unit;
    out.programPath = CString(store->ProgramPath);
    out.dataPath = CString(store->DataPath);
    out.conversionPath = CString(store->ConversionPath);
    out.materialThickness = store->MaterialThickness;
    out.materialTensile = store->MaterialTensile;
    out.materialType = store->MaterialType;
    ReplaceRecords(out.steps, &store->StepArray);
    ReplaceRecords(out.tools, &store->ToolArray);
    ReplaceRecords(out.setups, &store->SetupArray);
    ReplaceRecords(out.machines, &store->MachineArray);
    ReplaceRecords(out.gauges, &store->BGaugeArray);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace driverwyr
