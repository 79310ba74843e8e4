// The DLL's module handle, kept by DllMain so that resources (the dialog
// template and the string table) are loaded from this module rather than the
// host's.
#ifndef DRIVERWYR_PLATFORM_WIN32_MODULE_H_
#define DRIVERWYR_PLATFORM_WIN32_MODULE_H_

#include <windows.h>

namespace driverwyr::win32 {

// The module that holds the driver's resources: the DLL when loaded as one,
// else the program it is linked into.
HINSTANCE ResourceModule();

}  // namespace driverwyr::win32

#endif  // DRIVERWYR_PLATFORM_WIN32_MODULE_H_
