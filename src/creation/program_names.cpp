// The names of a group's program: output folder and file, the daily program
// number (month, day and serial) and the part reference.
#include <cstdint>
#include <string>

#include "creation/creation_internal.h"
#include "creation/program_creation_dialog.h"
#include "creation/run_record.h"
#include "creation/serial_counter.h"
#include "platform/platform.h"
#include "util/text.h"

namespace driverwyr {
namespace {

// A number of the program name: its decimal text, with one "0" in front when
// it is below 10 (a negative serial thus gives more than two characters).
std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  if (value < 10) text.insert(0, 1, '0');
  return text;
}

}  // namespace

void ProgramCreationDialog::BuildProgramNames() {
  const std::string path = store_->ProgramPath;
  const std::size_t separator = path.rfind(kPathSeparator);
  const std::size_t dot = path.rfind('.');
  // Everything after the last separator is the file; a full stop inside the
  // folder part does not cut the base name.
  const std::size_t name_start = separator == std::string::npos ? 0 : separator + 1;
  directory_ = path.substr(0, name_start);
  if (dot != std::string::npos && dot >= name_start) {
    base_name_ = path.substr(name_start, dot - name_start);
  } else {
    base_name_ = path.substr(name_start);
  }

  // The setup and group numbers counted from 1, without 32-bit overflow.
  const std::string setup_number = std::to_string(static_cast<std::int64_t>(group_setup_index_) + 1);
  const std::string group_number = std::to_string(static_cast<std::int64_t>(group_index_) + 1);
  data_.FileName = directory_ + base_name_;
  if (setup_count_ >= 2) data_.FileName += ".S" + setup_number + "P" + group_number;
  data_.FileName += extension_;

  int serial = 0;
  int stored_month = 0;
  int stored_day = 0;
  // A counter that cannot be read proposes 00, or the first number this run
  // has not given; the operator is told at "Create...", when the number is
  // claimed.
  (void)ReadSerialCounter(serial, stored_month, stored_day);
  const CalendarDate today = Platform::Current().Time().UtcToday();
  proposed_serial_ = CurrentRun().numbers.FirstUnused(SerialOfDay(serial, stored_month, stored_day, today), today);
  data_.ProgramName = ProgramNameOf(today, proposed_serial_);
  proposed_name_ = data_.ProgramName;
  next_serial_ = driverwyr::NextSerial(proposed_serial_);
  serial_month_ = today.month;
  serial_day_ = today.day;

  data_.PartReference = ToUpperAscii(base_name_);
  // The control takes 13 characters of part reference.
  if (control_type_name_ == "Talvenor" && data_.PartReference.size() > 13) {
    data_.PartReference = data_.PartReference.substr(0, 12) + "~";
  }
}

std::string ProgramCreationDialog::ProgramNameOf(const CalendarDate& date, int serial) const {
  std::string name = TwoDigits(date.month) + TwoDigits(date.day) + TwoDigits(serial);
  // The control takes 6 characters of program name; only dates or serials
  // outside their ranges make a longer one.
  if (control_type_name_ == "Talvenor" && name.size() > 6) {
    const std::string group_number = std::to_string(static_cast<std::int64_t>(group_index_) + 1);
    const int keep = 5 - static_cast<int>(group_number.size());
    name = keep > 0 ? name.substr(0, static_cast<std::size_t>(keep)) + "~" + group_number : name.substr(0, 5) + "~";
  }
  return name;
}

void ProgramCreationDialog::ClaimProgramNumber() {
  const CalendarDate today = Platform::Current().Time().UtcToday();
  RunNumbers& numbers = CurrentRun().numbers;
  const SerialClaim claim = ClaimSerial(today, proposed_serial_, numbers);
  numbers.Give(claim.serial, today);
  const std::string claimed = ProgramNameOf(today, claim.serial);
  // A name the operator typed is the operator's; only the proposed one
  // follows the counter.
  const bool proposed = data_.ProgramName == ToUpperAscii(TrimRight(proposed_name_));
  if (claimed != proposed_name_ && proposed) {
    if (claim.read.ok()) {
      const bool new_day = today.month != serial_month_ || today.day != serial_day_;
      const int id = new_day ? kMessageDateChanged : kMessageNumberTaken;
      ShowMessage(id, FillPlaceholders(LoadMessageText(id), {proposed_name_, claimed}),
                  kMessageOk | kMessageIconInformation);
    }
    data_.ProgramName = claimed;
  }
  next_serial_ = driverwyr::NextSerial(claim.serial);
  serial_month_ = today.month;
  serial_day_ = today.day;

  // What happened to this program's number, with the reason on a line of
  // its own.
  if (!claim.read.ok()) {
    ShowMessage(kMessageNumberNotRead, FillPlaceholders(LoadMessageText(kMessageNumberNotRead), {data_.ProgramName}) + "\n" +
                    claim.read.message(),
                kMessageOk | kMessageIconWarning);
    return;
  }
  if (claim.repeated && proposed) {
    ShowMessage(kMessageNumberRepeated, FillPlaceholders(LoadMessageText(kMessageNumberRepeated), {claimed}),
                kMessageOk | kMessageIconInformation);
  }
  if (!claim.stored.ok()) {
    ShowMessage(kMessageNumberNotSaved, FillPlaceholders(LoadMessageText(kMessageNumberNotSaved), {data_.ProgramName}) + "\n" +
                    claim.stored.message(),
                kMessageOk | kMessageIconWarning);
  }
}

void ProgramCreationDialog::KeepProposedNumber() {
  CurrentRun().numbers.Give(proposed_serial_, CalendarDate{0, serial_month_, serial_day_});
}

}  // namespace driverwyr
