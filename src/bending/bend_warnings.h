// Tells the operator what was wrong with a step's bend data: one message box
// per step, headed with the step number, one line per warning code.
#ifndef DRIVERWYR_BENDING_BEND_WARNINGS_H_
#define DRIVERWYR_BENDING_BEND_WARNINGS_H_

#include <string>

#include "bending/bend_calculator.h"

namespace driverwyr {

// The message id of a warning code, or 0 for codes that show nothing.
int WarningMessageId(int code);

// The text of the box for step `step_number`: the heading (message 51023
// with the number in place of its "%d"), a line feed, then the message of
// every code that has one, each followed by a line feed. Empty when no code
// has a message.
std::string BendWarningText(int step_number, const WarningList& warnings);

// Shows BendWarningText in a message box with an OK button, and waits for the
// operator; shows nothing when the text is empty. The box has no icon, or the
// warning icon when a code is kWarningBeyondMachine.
void ShowBendWarnings(int step_number, const WarningList& warnings);

}  // namespace driverwyr

#endif  // DRIVERWYR_BENDING_BEND_WARNINGS_H_
