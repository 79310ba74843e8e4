/* DriverWyr export macros, for C and C++.
 *
 * DRIVERWYR_API marks what the library exports: the entry points, the record
 * classes, CString, the host-integration classes and the C interface.
 * Building the library defines DRIVERWYR_BUILD; code linked against the
 * static core for tests defines DRIVERWYR_STATIC; a host defines neither and
 * imports from the DLL.
 *
 * DRIVERWYR_CALL is the calling convention of the entry points, of the C
 * interface and of its callbacks: cdecl, the caller removes the arguments. */
#ifndef DRIVERWYR_EXPORT_H_
#define DRIVERWYR_EXPORT_H_

#include <stdint.h>

#if defined(_WIN32)
#  if defined(DRIVERWYR_STATIC)
#    define DRIVERWYR_API
#  elif defined(DRIVERWYR_BUILD)
#    define DRIVERWYR_API __declspec(dllexport)
#  else
#    define DRIVERWYR_API __declspec(dllimport)
#  endif
#  define DRIVERWYR_CALL __cdecl
/* The records' "long" fields are the host's 32-bit long. */
typedef long driverwyr_long;
#else
#  define DRIVERWYR_API __attribute__((visibility("default")))
#  define DRIVERWYR_CALL
typedef int32_t driverwyr_long;
#endif

#endif /* DRIVERWYR_EXPORT_H_ */
