// The daily serial counter of the program numbers, kept in the current user's
// settings key "Ostrel\TorvaneCommon\Default" (under "Software\", or
// "Software\Wow6432Node\" for a 32-bit process on 64-bit Windows) as three
// text values of 3 bytes: "Serial Number" (the serial the next program of that
// day gets), "Serial Month" and "Serial Day" (the UTC day of the last program
// created).
//
// A dialog reads the counter when it is built, to propose a program number;
// "Create..." claims the number: under the key's lock, which every host on
// the machine honours, it reads the counter again, takes the serial of today
// and stores the next one, all three values in one write. So two hosts never
// give two programs of a day the same number.
#ifndef DRIVERWYR_CREATION_SERIAL_COUNTER_H_
#define DRIVERWYR_CREATION_SERIAL_COUNTER_H_

#include "driverwyr/host.h"
#include "util/result.h"

namespace driverwyr {

// Reads the stored serial, month and day. Returns false, leaving the outputs
// as they were, when the key cannot be opened. An empty "Serial Number" gives
// zeros for all three.
bool ReadSerialCounter(int& serial, int& month, int& day);

// Stores serial, month and day as decimal text cut to 3 bytes, in one write.
// Fails, writing nothing, when the key cannot be opened. Never creates the key.
Status WriteSerialCounter(int serial, int month, int day);

// The serial of the next program on `today` when the key holds these values:
// the stored serial on the stored day, 0 on any other day (the year is not
// stored). A serial outside 0..99, which only something else can have stored,
// counts modulo 100 (100 is 0, 123 is 23, -1 is 99), so that every program
// name keeps its six digits and the programs of a day keep counting up.
int SerialOfDay(int stored_serial, int stored_month, int stored_day, const CalendarDate& today);

// The serial after `serial`: 99 is followed by 0.
int NextSerial(int serial);

// What claiming a program number found.
struct SerialClaim {
  bool read = false;  // the counter could be read under the lock
  int serial = 0;     // the serial the program gets: from the counter when read, else the fallback
  Status stored;      // whether the next serial was stored
};

// Claims the serial of the next program of `today` (see above). When the
// counter cannot be read, the program gets `fallback` (the serial its dialog
// proposed); `stored` then says why nothing could be stored.
SerialClaim ClaimSerial(const CalendarDate& today, int fallback);

// Creates the key when it is missing, as a host's installation does.
Status CreateSerialCounterKeyIfMissing();

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_SERIAL_COUNTER_H_
