// The entry points and the host API of the C interface: each calls the C++
// entry point or host function of the same name with the C types turned into
// CString and RecordArray, and turns the answer back.
#include <cstring>
#include <string>
#include <vector>

#include "capi/c_support.h"
#include "driverwyr/driverwyr.h"
#include "driverwyr/driverwyr_c.h"
#include "driverwyr/host.h"
#include "platform/platform.h"
#include "util/run_hold.h"

using driverwyr::capi::CopyOut;
using driverwyr::capi::Failed;
using driverwyr::capi::Guarded;
using driverwyr::capi::NullArgument;
using driverwyr::capi::SetLastError;
using driverwyr::capi::TextIn;
using driverwyr::capi::Unwrap;
using driverwyr::capi::Wrap;

namespace {

// The Init... entry points never write to the host's array.
template <class Handle>
auto* ArrayIn(const Handle* array) {
  return const_cast<typename driverwyr::capi::Behind<Handle>::Type*>(Unwrap(array));
}

// Why a run wrote no program, from what became of its groups: the first
// group that failed, else a dry run that wrote nothing, else every dialog
// cancelled, else a store without steps.
int NoProgramWritten() {
  const int groups = driverwyr::GetRunResultCount();
  bool created = false;
  for (int i = 0; i < groups; ++i) {
    driverwyr::GroupResult result;
    if (!driverwyr::GetRunResult(i, &result)) return Failed({"memory exhausted"});
    if (result.outcome == driverwyr::GroupOutcome::kFailed) {
      const std::string group = std::to_string(i + 1);
      return Failed({"no program was written: group ", group, " (", result.programFile.view(), "): ",
                     result.reason.view()});
    }
    created = created || result.outcome == driverwyr::GroupOutcome::kCreated;
  }
  if (created) return Failed({"no program was written: a dry run writes no program file"});
  if (groups > 0) return Failed({"no program was written: the operator cancelled every dialog"});
  return Failed({"no program was written: the store holds no steps"});
}

}  // namespace

// ---- the entry points ----------------------------------------------------------

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_CreatePPDBInstance(void) {
  if (CreatePPDBInstance()) return 1;
  SetLastError({"the store could not be created (memory exhausted)"});
  return 0;
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_DestroyPPDBInstance(void) { DestroyPPDBInstance(); }

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_GetDriverID(int* id) { GetDriverID(id); }

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_SetUnit(int unit) { SetUnit(unit); }

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_SetPathNames(const char* program_path, const char* data_path,
                                                         const char* conversion_path) {
  // Out of memory for the strings: no effect, as for the entry point itself.
  Guarded(0, [&] {
    SetPathNames(CString(TextIn(program_path)), CString(TextIn(data_path)), CString(TextIn(conversion_path)));
    return 0;
  });
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_SetMaterial_1(float thickness, float tensile, int type) {
  SetMaterial_1(thickness, tensile, type);
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_SetMaterial_2(float thickness, float tensile,
                                                          const char* material_name) {
  Guarded(0, [&] {
    SetMaterial_2(thickness, tensile, CString(TextIn(material_name)));
    return 0;
  });
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_InitPPSequence(const driverwyr_CPPStepInfo_array* steps) {
  InitPPSequence(ArrayIn(steps));
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_InitToolInfo(const driverwyr_CPPTool_array* tools) {
  InitToolInfo(ArrayIn(tools));
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_InitSetupInfo(const driverwyr_CPPSetup_array* setups) {
  InitSetupInfo(ArrayIn(setups));
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_InitMachineInfo(const driverwyr_CPPMachine_array* machines) {
  InitMachineInfo(ArrayIn(machines));
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_InitBkGaugeInfo(const driverwyr_CPPBGauge_array* gauges) {
  InitBkGaugeInfo(ArrayIn(gauges));
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GenerateMachineCodeFile(char* path_out, int size) {
  // Asked from a callback of the run in progress: refused, that run's results stay.
  if (driverwyr::RefusedDuringRun(__func__)) return -1;
  return Guarded(-1, [&] {
    // The entry point's own buffer: the platform's longest path.
    std::vector<char> path(driverwyr::kMaxPathBuffer, '\0');
    GenerateMachineCodeFile(path.data());
    // A path is copied after every program written, and only then.
    if (driverwyr::GetWrittenProgramCount() == 0) return NoProgramWritten();
    return CopyOut(path.data(), path_out, size);
  });
}

// ---- the host API ----------------------------------------------------------------

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GetWrittenProgramCount(void) {
  return driverwyr::GetWrittenProgramCount();
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GetWrittenProgramPath(int index, char* buffer, int size) {
  if (index < 0 || index >= driverwyr::GetWrittenProgramCount()) {
    CopyOut({}, buffer, size);
    return Failed({__func__, ": no program of that index in the last run"});
  }
  return Guarded(-1, [&] { return CopyOut(driverwyr::GetWrittenProgramPath(index).view(), buffer, size); });
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_SetDryRun(int on) { driverwyr::SetDryRun(on != 0); }

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GetCalculatedStepCount(void) {
  return driverwyr::GetCalculatedStepCount();
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GetCalculatedStep(int index, driverwyr_calculated_step* out) {
  driverwyr::CalculatedStep step;
  if (out == nullptr) return NullArgument(__func__);
  if (!driverwyr::GetCalculatedStep(index, &step)) {
    return Failed({__func__, ": no calculated step of that index in the last run"});
  }
  out->group = step.group;
  out->step = step.step;
  out->number = step.number;
  static_assert(sizeof out->warnings == sizeof step.warnings);
  std::memcpy(out->warnings, step.warnings, sizeof out->warnings);
  out->depth = step.depth;
  out->force = step.force;
  return 0;
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_CreateSerialCounterKey(char* why_not, int size) {
  return Guarded(-1, [&] {
    CString reason;
    if (driverwyr::CreateSerialCounterKey(&reason)) {
      CopyOut({}, why_not, size);
      return 0;
    }
    CopyOut(reason.view(), why_not, size);
    return Failed({"the serial counter key cannot be created: ", reason.view()});
  });
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_GetMessageText(int id, char* buffer, int size) {
  return Guarded(-1, [&] { return CopyOut(driverwyr::GetMessageText(id).view(), buffer, size); });
}

// ---- a copy of the store ----------------------------------------------------------

struct driverwyr_store_copy {
  driverwyr::StoreCopy store;
};

DRIVERWYR_API driverwyr_store_copy* DRIVERWYR_CALL driverwyr_CopyStore(void) {
  return Guarded<driverwyr_store_copy*>(nullptr, [] {
    auto* copy = new driverwyr_store_copy;
    if (!driverwyr::CopyStore(copy->store)) {
      delete copy;
      SetLastError({"the store could not be created or copied (memory exhausted)"});
      return static_cast<driverwyr_store_copy*>(nullptr);
    }
    return copy;
  });
}

DRIVERWYR_API void DRIVERWYR_CALL driverwyr_store_copy_free(driverwyr_store_copy* copy) { delete copy; }

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_store_copy_unit(const driverwyr_store_copy* copy) {
  return copy != nullptr ? copy->store.unit : 0;
}

#define DRIVERWYR_CAPI_COPY_TEXT_(name, member)                                                     \
  DRIVERWYR_API int DRIVERWYR_CALL driverwyr_store_copy_##name(const driverwyr_store_copy* copy,   \
                                                               char* buffer, int size) {            \
    if (copy == nullptr) {                                                                          \
      CopyOut({}, buffer, size);                                                                    \
      return NullArgument(__func__);                                                                \
    }                                                                                               \
    return CopyOut(copy->store.member.view(), buffer, size);                                        \
  }
DRIVERWYR_CAPI_COPY_TEXT_(program_path, programPath)
DRIVERWYR_CAPI_COPY_TEXT_(data_path, dataPath)
DRIVERWYR_CAPI_COPY_TEXT_(conversion_path, conversionPath)
#undef DRIVERWYR_CAPI_COPY_TEXT_

DRIVERWYR_API float DRIVERWYR_CALL driverwyr_store_copy_material_thickness(const driverwyr_store_copy* copy) {
  return copy != nullptr ? copy->store.materialThickness : 0.0f;
}

DRIVERWYR_API float DRIVERWYR_CALL driverwyr_store_copy_material_tensile(const driverwyr_store_copy* copy) {
  return copy != nullptr ? copy->store.materialTensile : 0.0f;
}

DRIVERWYR_API int DRIVERWYR_CALL driverwyr_store_copy_material_type(const driverwyr_store_copy* copy) {
  return copy != nullptr ? copy->store.materialType : 0;
}

#define DRIVERWYR_CAPI_COPY_ARRAY_(name, Record)                                                     \
  DRIVERWYR_API driverwyr_##Record##_array* DRIVERWYR_CALL driverwyr_store_copy_##name(             \
      driverwyr_store_copy* copy) {                                                                  \
    if (copy == nullptr) {                                                                           \
      NullArgument(__func__);                                                                        \
      return nullptr;                                                                                \
    }                                                                                                \
    return Wrap<driverwyr_##Record##_array>(&copy->store.name);                                      \
  }
DRIVERWYR_CAPI_COPY_ARRAY_(steps, CPPStepInfo)
DRIVERWYR_CAPI_COPY_ARRAY_(tools, CPPTool)
DRIVERWYR_CAPI_COPY_ARRAY_(setups, CPPSetup)
DRIVERWYR_CAPI_COPY_ARRAY_(machines, CPPMachine)
DRIVERWYR_CAPI_COPY_ARRAY_(gauges, CPPBGauge)
#undef DRIVERWYR_CAPI_COPY_ARRAY_
