#include "program_file/program_writer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "driverwyr/program_format.h"
#include "driverwyr/units.h"
#include "platform/platform.h"
#include "util/text.h"
#include "util/truncate.h"

namespace driverwyr {
namespace {

constexpr int kOpenFileFailsMessage = DRIVERWYR_MSG_OPEN_FILE_FAILS;

void TrimBothSides(std::string& text) { text = std::string(Trim(text)); }

// Characters `position` and `position + 1` of the date text read as a decimal
// number the way the C library's atoi reads them. Characters past the end of
// the text count as absent.
int DatePair(const std::string& date, std::size_t position) {
  return position < date.size() ? ParseLeadingInt(std::string_view(date).substr(position, 2)) : 0;
}

// The first character of an orientation text, 0 when it is empty.
char FirstCharacter(const std::string& text) { return text.empty() ? '\0' : text[0]; }

ProgramHeader MakeHeader(const ProgramData& data) {
  ProgramHeader header;
  header.ProgramName = data.ProgramName;
  header.PartReference = data.PartReference;
  header.Thickness = data.Thickness;
  header.MaterialName = data.MaterialName;
  // Half up for the positive values the dialog admits; saturated, so that an
  // out-of-range value cannot wrap into a small or negative hardness.
  header.Hardness = SaturateToInt16(static_cast<double>(data.Hardness) + 0.5);
  header.ControlPunchName = data.ControlPunchName;
  header.ControlDieName = data.ControlDieName;
  header.ControlDieHolderName = data.ControlDieHolderName;
  header.ControlSpacerName = data.ControlSpacerName;
  header.RecordCount = data.RecordCount;
  // "%m/%d/%y": month at 0, day at 3, year at 6; a byte each (low 8 bits).
  header.Year = static_cast<std::uint8_t>(DatePair(data.CreationDate, 6));
  header.Month = static_cast<std::uint8_t>(DatePair(data.CreationDate, 0));
  header.Day = static_cast<std::uint8_t>(DatePair(data.CreationDate, 3));
  header.MaterialNumber = data.MaterialNumber;
  header.PunchRev = FirstCharacter(data.PunchRev);
  header.DieHolderRev = FirstCharacter(data.DieHolderRev);
  header.DieRev = FirstCharacter(data.DieRev);
  return header;
}

// A back gauge coordinate in millimetres: inch values are truncated to four
// decimals and multiplied by 25.4 in double precision, the product stored as
// a float; millimetre values are truncated to three decimals.
float BackGaugeMillimetres(float value, bool inch) {
  return inch ? static_cast<float>(static_cast<double>(TruncateToDecimals(value, 4)) * kInchToMillimetres)
              : TruncateToDecimals(value, 3);
}

ProgramRecord MakeRecord(const CPPStepInfo& step, bool inch) {
  ProgramRecord record;
  record.SequenceOrder = step.GetSequenceOrder();
  record.StepValue = step.GetStepValue();
  record.FlagAutoCompen = step.GetFlagAutoCompen();
  record.CoiningFlag = step.GetCoiningFlag();
  record.BendLength = step.GetBendLength();
  record.FlangeLength = SaturateToInt32(step.GetFlangeLength());
  record.BendAngle = step.GetBendAngle();
  if (step.GetBendType() == 3) {
    // A multi-hit bend: the control steps back by the pitch and reaches the
    // angle in CycleNo hits. StepValue already holds millimetres (its setter
    // converted inch input), so it is negated and truncated without another
    // factor 25.4. CycleNo 0 counts as one hit: the angle stays as it is.
    const float negated = -step.GetStepValue();
    record.StepValue = inch ? TruncateToDecimals(negated, 3) : TruncateToDecimals(negated, 0);
    const short cycles = step.GetCycleNo();
    const float hits = cycles == 0 ? 1.0f : static_cast<float>(cycles);
    record.BendAngle = TruncateToDecimals(180.0f - (180.0f - step.GetBendAngle()) / hits, 1);
  }
  record.Y1 = step.GetY1();
  record.Y2 = step.GetY2();
  double xx[4] = {};
  double yy[4] = {};
  double zz[4] = {};
  step.GetXX(xx);
  step.GetYY(yy);
  step.GetZZ(zz);
  record.YY0 = BackGaugeMillimetres(static_cast<float>(yy[0]), inch);
  record.YY1 = BackGaugeMillimetres(static_cast<float>(yy[1]), inch);
  record.ZZ0 = BackGaugeMillimetres(static_cast<float>(zz[0]), inch);
  record.ZZ1 = BackGaugeMillimetres(static_cast<float>(zz[1]), inch);
  record.XX0 = BackGaugeMillimetres(-static_cast<float>(xx[0]), inch);
  record.XX1 = BackGaugeMillimetres(static_cast<float>(xx[1]), inch);
  record.AuxFunc = step.GetAuxFunc().str();  // the encoder keeps six bytes
  record.FlagSheetMove = step.GetFlagSheetMove();
  // A force beyond 16 bits is written as the largest the field holds, never
  // as a wrapped, smaller or negative one.
  record.TonnageValue = SaturateToInt16(step.GetTonnageValue());
  record.ODC = step.GetODC();
  record.BendingSpeed = step.GetBendingSpeed();
  record.ReturnSpeed = step.GetReturnSpeed();
  record.BGRetractFlag = step.GetBGRetractFlag();
  record.CycleNo = step.GetCycleNo();
  record.RetractStroke = step.GetRetractStroke();
  record.DwellBG = step.GetDwellBG();
  record.DwellEndBend = step.GetDwellEndBend();
  record.BendNoBGPos = step.GetBendNoBGPos();
  record.Y1Compen = step.GetY1Compen();
  record.Y2Compen = step.GetY2Compen();
  record.X1Compen = step.GetX1Compen();
  record.X2Compen = step.GetX2Compen();
  record.R1Compen = step.GetR1Compen();
  record.R2Compen = step.GetR2Compen();
  record.Z1Compen = step.GetZ1Compen();
  record.Z2Compen = step.GetZ2Compen();
  record.AngleCompen = step.GetAngleCompen();
  record.PinchPointValue = step.GetPinchPointValue();
  record.Offset = step.GetOffset();
  return record;
}

}  // namespace

Status WriteProgramFile(ProgramData& data, RecordArray<CPPStepInfo>& steps,
                        const StepCalculation& calculate, WriteMode mode) {
  // The header's 16-bit count must describe exactly the records written: a
  // group too large for it (the count wrapped) cannot become a valid file.
  const int count = data.RecordCount;
  if (count <= 0 || count != steps.GetSize()) {
    return Status::Invalid(data.FileName + ": " + std::to_string(steps.GetSize()) +
                           " records do not fit the program's 16-bit record count");
  }

  TrimBothSides(data.ControlPunchName);
  TrimBothSides(data.ControlDieName);
  TrimBothSides(data.ControlDieHolderName);
  TrimBothSides(data.ControlSpacerName);

  // Into the control's units before any step is calculated: the calculation
  // reads Thickness and Hardness from `data`.
  const bool inch = data.Unit == kUnitInch;
  if (inch) {
    data.Thickness = static_cast<float>(
        static_cast<double>(TruncateToDecimals(data.Thickness, 3)) * kInchToMillimetres);
    data.Hardness = static_cast<float>(static_cast<double>(data.Hardness) * kInchHardnessInverse);
  } else {
    data.Thickness = TruncateToDecimals(data.Thickness, 2);
  }

  // The new program goes to a file of its own beside the target and replaces
  // it only when it is complete. A target that may not be replaced (a folder,
  // a read-only or locked file) or a folder that does not exist is told now,
  // before any step is calculated.
  Result<std::unique_ptr<FileReplacement>> file = std::unique_ptr<FileReplacement>();
  if (mode == WriteMode::kFile) file = Platform::Current().Files().BeginReplace(data.FileName);
  if (!file.ok()) {
    ShowMessage(kOpenFileFailsMessage, LoadMessageText(kOpenFileFailsMessage), kMessageOk);
    return file.status().WithContext(data.FileName);
  }

  const std::size_t records = static_cast<std::size_t>(count);
  std::string bytes(kProgramHeaderSize + kProgramRecordSize * records, '\0');
  const ProgramHeader header = MakeHeader(data);
  data.WrittenHardness = header.Hardness;
  EncodeProgramHeader(header, bytes.data());

  // Step i is calculated after records 0..i-1 were encoded; the closing
  // record and steps with their own depth and force (Mode non-zero) are not.
  for (std::size_t i = 0; i < records; ++i) {
    CPPStepInfo& step = steps[static_cast<int>(i)];
    if (i + 1 < records && step.GetMode() == 0 && calculate) {
      if (Status calculated = calculate(step); !calculated.ok()) return calculated;
    }
    EncodeProgramRecord(MakeRecord(step, inch),
                        bytes.data() + kProgramHeaderSize + kProgramRecordSize * i);
  }

  if (mode == WriteMode::kInMemoryOnly) return Status::Ok();
  Status done = (*file)->Write(bytes);
  if (done.ok()) done = (*file)->Commit();
  // A target that became impossible to replace meanwhile is told like one
  // that could not be opened; a write that failed (a full disk) is reported
  // by the caller. Either way the old file is left as it was.
  if (done.code() == Status::Code::kRefused) ShowMessage(kOpenFileFailsMessage, LoadMessageText(kOpenFileFailsMessage), kMessageOk);
  return done.WithContext(data.FileName);
}

}  // namespace driverwyr
