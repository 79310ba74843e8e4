// Material data files and the force factor table.
// The declarations are part of the library's interface and live in the
// public header; the driver's own sources include them under this name.
#ifndef DRIVERWYR_BENDING_MATERIAL_DATA_H_
#define DRIVERWYR_BENDING_MATERIAL_DATA_H_

#include "driverwyr/material_data.h"

#endif  // DRIVERWYR_BENDING_MATERIAL_DATA_H_
