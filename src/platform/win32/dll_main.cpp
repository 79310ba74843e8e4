// Library load and unload on Windows. Process attach keeps the module handle
// so that the dialog template and the string table are found in this DLL; the
// store and the platform defaults are destroyed with the module's statics at
// process detach. Thread attach and detach do nothing.
#include <windows.h>

#include "platform/win32/module.h"

namespace {
HINSTANCE g_module = nullptr;
}  // namespace

namespace driverwyr::win32 {

HINSTANCE ResourceModule() {
  return g_module != nullptr ? g_module : GetModuleHandleA(nullptr);
}

}  // namespace driverwyr::win32

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
