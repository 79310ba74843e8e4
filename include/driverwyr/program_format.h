// The byte layout of the ".wyr" program file, on plain values.
//
// A program file is a 125-byte header followed by RecordCount step records of
// 145 bytes each; nothing follows the last record. Everything is
// little-endian, without alignment padding: int16/int32 are two's-complement
// integers, float is IEEE 754 single precision, uint8 one unsigned byte.
// Header texts are padded with spaces to their width; AuxFunc is padded with
// 0x00 bytes. docs/program-file.md describes every field.
//
// This file knows nothing of the record classes: the structs below hold the
// values exactly as they stand in the file (already converted and truncated),
// so the writer encodes them and `wyr dump` decodes them with the same layout.
// Every field of the file has a member, the reserved and fixed ones included,
// so decoding and encoding again gives back the same bytes. A host reads a
// program file it has written with ReadWholeFile (driverwyr/files.h, at most
// kMaxProgramFileSize bytes) and DecodeProgramFile.
//
// A C++ interface: see driverwyr/host.h for the toolchain it asks of a host.
#ifndef DRIVERWYR_PROGRAM_FORMAT_H_
#define DRIVERWYR_PROGRAM_FORMAT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driverwyr/export.h"
#include "driverwyr/result.h"

namespace driverwyr {
class FileSystem;  // driverwyr/files.h
}  // namespace driverwyr

namespace driverwyr {

inline constexpr std::size_t kProgramHeaderSize = 125;
inline constexpr std::size_t kProgramRecordSize = 145;
// RecordCount is an int16: no program file holds more records than this.
inline constexpr std::size_t kMaxProgramRecords = 32767;
inline constexpr std::size_t kMaxProgramFileSize =
    kProgramHeaderSize + kProgramRecordSize * kMaxProgramRecords;

// Values the writer puts into every file.
inline constexpr std::int16_t kProgramHeaderField71 = 9999;
inline constexpr std::int16_t kProgramHeaderField115 = 2;

struct ProgramHeader {
  std::string ProgramName;    // text, 6 bytes
  std::string PartReference;  // text, 13 bytes
  float Thickness = 0.0f;     // millimetres
  std::string MaterialName;   // text, 6 bytes
  std::int16_t Hardness = 0;
  std::int32_t Reserved31 = 0;
  std::string ControlPunchName;      // text, 6 bytes
  std::string ControlDieName;        // text, 6 bytes
  std::string ControlDieHolderName;  // text, 6 bytes
  std::string ControlSpacerName;     // text, 6 bytes
  std::int16_t RecordCount = 0;
  std::uint8_t Year = 0;  // two digits, 0..99
  std::uint8_t Month = 0;
  std::uint8_t Day = 0;
  std::uint8_t Reserved64 = 0;
  std::int32_t Field65 = 0;
  std::int16_t Field69 = 0;
  std::int16_t Field71 = kProgramHeaderField71;
  std::int16_t MaterialNumber = 0;
  std::array<std::int32_t, 10> Field75{};  // at offsets 75, 79, ..., 111
  std::int16_t Field115 = kProgramHeaderField115;
  std::int32_t Field117 = 0;
  // Orientation codes: one character each, 0 when there is none.
  char PunchRev = 0;
  char DieHolderRev = 0;
  char DieRev = 0;
  std::uint8_t Reserved124 = 0;
};

struct ProgramRecord {
  std::int16_t SequenceOrder = 0;
  float StepValue = 0.0f;
  std::int16_t FlagAutoCompen = 0;
  std::int16_t CoiningFlag = 0;
  std::int16_t BendLength = 0;
  std::int32_t FlangeLength = 0;
  float BendAngle = 0.0f;
  float Y1 = 0.0f;
  float Y2 = 0.0f;
  // Back gauge positions in millimetres; XX0 is the host's XX[0] with its
  // sign inverted.
  float YY0 = 0.0f;
  float YY1 = 0.0f;
  float ZZ0 = 0.0f;
  float ZZ1 = 0.0f;
  float XX0 = 0.0f;
  float XX1 = 0.0f;
  std::string AuxFunc;  // 6 bytes, padded with 0x00
  std::int16_t FlagSheetMove = 0;
  std::int16_t TonnageValue = 0;
  std::int16_t Field62 = 0;
  std::int16_t Field64 = 0;
  std::int16_t ODC = 0;
  std::int16_t BendingSpeed = 0;
  std::int16_t ReturnSpeed = 0;
  std::int16_t BGRetractFlag = 0;
  std::int16_t CycleNo = 0;
  float RetractStroke = 0.0f;
  float DwellBG = 0.0f;
  std::int16_t Field84 = 0;
  float DwellEndBend = 0.0f;
  std::int16_t Field90 = 0;
  std::int16_t Field92 = 0;
  std::int16_t BendNoBGPos = 0;
  float Y1Compen = 0.0f;
  float Y2Compen = 0.0f;
  float X1Compen = 0.0f;
  float X2Compen = 0.0f;
  float R1Compen = 0.0f;
  float R2Compen = 0.0f;
  float Z1Compen = 0.0f;
  float Z2Compen = 0.0f;
  float AngleCompen = 0.0f;
  std::int32_t Reserved132 = 0;
  float PinchPointValue = 0.0f;
  float Offset = 0.0f;
  std::uint8_t Reserved144 = 0;
};

struct ProgramFile {
  ProgramHeader header;
  std::vector<ProgramRecord> records;
};

// Writes the header into out[0..124]. Texts longer than their width are cut.
DRIVERWYR_API void EncodeProgramHeader(const ProgramHeader& header, char* out);
// Writes one record into out[0..144].
DRIVERWYR_API void EncodeProgramRecord(const ProgramRecord& record, char* out);
// The whole file: the header exactly as given (RecordCount is not adjusted)
// followed by the records.
DRIVERWYR_API std::string EncodeProgramFile(const ProgramFile& file);

// Decodes a whole program file into `out`. Fails (Invalid, `out` then
// unspecified) with a sentence saying why `bytes` is not a program file: the
// length must be 125 + 145 x n and the header's RecordCount must be n. Reads
// nothing outside `bytes`.
DRIVERWYR_API Status DecodeProgramFile(std::string_view bytes, ProgramFile& out);

// Reads and decodes the program file at `path` (the set-up sheet and
// `wyr dump` read it this way). Refuses a folder, anything that is not a
// regular file, a file larger than the largest program file and a file whose
// bytes are not a program file; the error's message is a sentence fragment
// to put after the path ("is a folder, not a program file", "not a program
// file: ..."). The first form reads through `files`, the second through the
// operating system's files.
DRIVERWYR_API Result<ProgramFile> ReadProgramFile(FileSystem& files, const std::string& path);
DRIVERWYR_API Result<ProgramFile> ReadProgramFile(const std::string& path);

// One field of the header or a record, for printing.
struct ProgramField {
  enum class Kind {
    kInteger,  // `integer`
    kFloat,    // `number`
    kText,     // `text`: the field's bytes, padding included
    kChar,     // `text`: one byte, or empty when the byte is 0
  };
  std::string_view name;
  std::string_view unit;  // "mm", "deg", or empty
  std::size_t offset = 0;
  std::size_t size = 0;
  Kind kind = Kind::kInteger;
  std::int64_t integer = 0;
  float number = 0.0f;
  std::string_view text;  // points into the described struct
};

// Every field in offset order. The texts point into `header`/`record`, which
// must outlive the result.
DRIVERWYR_API std::vector<ProgramField> DescribeProgramHeader(const ProgramHeader& header);
DRIVERWYR_API std::vector<ProgramField> DescribeProgramRecord(const ProgramRecord& record);

}  // namespace driverwyr

#endif  // DRIVERWYR_PROGRAM_FORMAT_H_
