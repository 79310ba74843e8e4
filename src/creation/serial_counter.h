// The daily serial counter of the program numbers, kept in the current user's
// settings key "Ostrel\TorvaneCommon\Default" (under "Software\", or
// "Software\Wow6432Node\" for a 32-bit process on 64-bit Windows) as three
// text values of 3 bytes: "Serial Number", "Serial Month", "Serial Day".
#ifndef DRIVERWYR_CREATION_SERIAL_COUNTER_H_
#define DRIVERWYR_CREATION_SERIAL_COUNTER_H_

#include "util/result.h"

namespace driverwyr {

// Reads the stored serial, month and day. Returns false, leaving the outputs
// as they were, when the key cannot be opened. An empty "Serial Number" gives
// zeros for all three.
bool ReadSerialCounter(int& serial, int& month, int& day);

// Stores serial, month and day as decimal text cut to 3 bytes. Returns false,
// writing nothing, when the key cannot be opened. Never creates the key.
bool WriteSerialCounter(int serial, int month, int day);

// Creates the key when it is missing, as a host's installation does.
Status CreateSerialCounterKeyIfMissing();

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_SERIAL_COUNTER_H_
