// Loads DriverWyr.dll the way a CAD/CAM host does and checks that every entry
// point can be found under its plain name and that the driver answers.
// Usage: dll_host PATH\DriverWyr.dll
#include <windows.h>

#include <cstdio>

namespace {

const char* const kEntryPoints[] = {
    "CreatePPDBInstance", "DestroyPPDBInstance", "GetDriverID",     "SetUnit",
    "SetPathNames",       "SetMaterial_1",       "SetMaterial_2",   "InitPPSequence",
    "InitToolInfo",       "InitSetupInfo",       "InitMachineInfo", "InitBkGaugeInfo",
    "GenerateMachineCodeFile",
};

// GetProcAddress returns a generic function pointer; go through void* to the
// entry point's real type.
template <typename Fn>
Fn Lookup(HMODULE dll, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "DriverWyr.dll";
  HMODULE dll = LoadLibraryA(path);
  if (dll == nullptr) {
    std::printf("FAIL: LoadLibrary(%s) failed, error %lu\n", path, GetLastError());
    return 1;
  }
  int failures = 0;
  for (const char* name : kEntryPoints) {
    if (GetProcAddress(dll, name) == nullptr) {
      std::printf("FAIL: entry point %s not found\n", name);
      ++failures;
    }
  }
  using GetDriverIdFn = void(__cdecl*)(int*);
  using CreateFn = bool(__cdecl*)();
  auto get_driver_id = Lookup<GetDriverIdFn>(dll, "GetDriverID");
  auto create = Lookup<CreateFn>(dll, "CreatePPDBInstance");
  if (get_driver_id != nullptr) {
    int id = 0;
    get_driver_id(&id);
    if (id != 1) {
      std::printf("FAIL: GetDriverID gave %d, expected 1\n", id);
      ++failures;
    }
  }
  if (create != nullptr && !create()) {
    std::printf("FAIL: CreatePPDBInstance returned false\n");
    ++failures;
  }
  if (!FreeLibrary(dll)) {
    std::printf("FAIL: FreeLibrary failed\n");
    ++failures;
  }
  std::printf("%s: %d problem(s)\n", failures == 0 ? "OK" : "FAIL", failures);
  return failures == 0 ? 0 : 1;
}
