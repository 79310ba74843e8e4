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
//
// A value is read as a person may have written it: its decimal digits, with
// blanks around them. A counter that holds anything else (letters, a sign, a
// month 13, a serial without its day) is not taken for a missing one: reading
// it fails, the operator is told at "Create...", and it is left as it is.
#ifndef DRIVERWYR_CREATION_SERIAL_COUNTER_H_
#define DRIVERWYR_CREATION_SERIAL_COUNTER_H_

#include <set>

#include "driverwyr/host.h"
#include "driverwyr/result.h"

namespace driverwyr {

// Reads the stored serial, month and day. An empty or missing "Serial Number"
// gives zeros for all three. Fails, leaving the outputs as they were:
// NotFound when the key cannot be opened; the key's own error when it cannot
// be read; Invalid when a value is no number, the month or day is out of its
// range, or a serial has no month or day.
Status ReadSerialCounter(int& serial, int& month, int& day);

// Stores serial, month and day as decimal text cut to 3 bytes, in one write.
// Fails, writing nothing, when the key cannot be opened. Never creates the key.
Status WriteSerialCounter(int serial, int month, int day);

// The serial of the next program on `today` when the key holds these values:
// the stored serial on the stored day, 0 on any other day (the year is not
// stored). A serial outside 0..99, which only something else can have stored,
// counts modulo 100 (100 is 0, 123 is 23), so that every program name keeps
// its six digits and the programs of a day keep counting up.
int SerialOfDay(int stored_serial, int stored_month, int stored_day, const CalendarDate& today);

// The serial after `serial`: 99 is followed by 0.
int NextSerial(int serial);

// The program numbers one generation run has given, by day (month and day,
// as the counter keeps them). Whatever the counter's state, no two programs
// of a run get the same number while the day has numbers the run has not
// given.
class RunNumbers {
 public:
  void Clear() { given_.clear(); }
  // `serial` (0..99) when the run has not given it on `day`; otherwise the
  // first serial after it, wrapping after 99, that the run has not given on
  // `day`; `serial` itself when the run has given all hundred.
  int FirstUnused(int serial, const CalendarDate& day) const;
  void Give(int serial, const CalendarDate& day);

 private:
  static int Key(int serial, const CalendarDate& day) { return (day.month * 32 + day.day) * 100 + serial; }
  std::set<int> given_;
};

// What claiming a program number found.
struct SerialClaim {
  Status read;            // whether the counter could be locked, read and understood
  int serial = 0;         // the serial the program gets
  bool repeated = false;  // the day's numbers wrapped: an earlier program of the day has it
  Status stored;          // whether the next serial was stored (not tried when the read failed)
};

// Claims the serial of the next program of `today` (see above): the
// counter's serial, or `fallback` (the serial the dialog proposed) when the
// counter cannot be read, moved on to one that `run` has not given today.
// The serial after it is stored only when the counter was read; a counter
// that cannot be read is left as it is.
SerialClaim ClaimSerial(const CalendarDate& today, int fallback, const RunNumbers& run);

// Creates the key when it is missing, as a host's installation does.
Status CreateSerialCounterKeyIfMissing();

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_SERIAL_COUNTER_H_
