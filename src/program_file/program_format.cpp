#include "driverwyr/program_format.h"

#include <bit>
#include <cstring>
#include <string>

namespace driverwyr {
namespace {

// The layout, written once: each Visit... names every field of the header or
// a record in offset order with its offset (and width for texts). The
// encoder, the decoder and the describer below are visitors over it, so they
// cannot disagree about where a field lies.
constexpr std::string_view kMillimetre = "mm";
constexpr std::string_view kDegree = "deg";
constexpr std::string_view kNoUnit = "";

constexpr std::string_view kField75Names[10] = {"Field75", "Field79", "Field83",  "Field87",
                                                "Field91", "Field95", "Field99",  "Field103",
                                                "Field107", "Field111"};

template <typename Header, typename Visitor>
void VisitHeader(Header& h, Visitor& v) {
  v.Text("ProgramName", 0, 6, ' ', h.ProgramName);
  v.Text("PartReference", 6, 13, ' ', h.PartReference);
  v.Field("Thickness", kMillimetre, 19, h.Thickness);
  v.Text("MaterialName", 23, 6, ' ', h.MaterialName);
  v.Field("Hardness", kNoUnit, 29, h.Hardness);
  v.Field("Reserved31", kNoUnit, 31, h.Reserved31);
  v.Text("ControlPunchName", 35, 6, ' ', h.ControlPunchName);
  v.Text("ControlDieName", 41, 6, ' ', h.ControlDieName);
  v.Text("ControlDieHolderName", 47, 6, ' ', h.ControlDieHolderName);
  v.Text("ControlSpacerName", 53, 6, ' ', h.ControlSpacerName);
  v.Field("RecordCount", kNoUnit, 59, h.RecordCount);
  v.Field("Year", kNoUnit, 61, h.Year);
  v.Field("Month", kNoUnit, 62, h.Month);
  v.Field("Day", kNoUnit, 63, h.Day);
  v.Field("Reserved64", kNoUnit, 64, h.Reserved64);
  v.Field("Field65", kNoUnit, 65, h.Field65);
  v.Field("Field69", kNoUnit, 69, h.Field69);
  v.Field("Field71", kNoUnit, 71, h.Field71);
  v.Field("MaterialNumber", kNoUnit, 73, h.MaterialNumber);
  for (std::size_t i = 0; i < h.Field75.size(); ++i) {
    v.Field(kField75Names[i], kNoUnit, 75 + 4 * i, h.Field75[i]);
  }
  v.Field("Field115", kNoUnit, 115, h.Field115);
  v.Field("Field117", kNoUnit, 117, h.Field117);
  v.Rev("PunchRev", 121, h.PunchRev);
  v.Rev("DieHolderRev", 122, h.DieHolderRev);
  v.Rev("DieRev", 123, h.DieRev);
  v.Field("Reserved124", kNoUnit, 124, h.Reserved124);
}

template <typename Record, typename Visitor>
void VisitRecord(Record& r, Visitor& v) {
  v.Field("SequenceOrder", kNoUnit, 0, r.SequenceOrder);
  v.Field("StepValue", kMillimetre, 2, r.StepValue);
  v.Field("FlagAutoCompen", kNoUnit, 6, r.FlagAutoCompen);
  v.Field("CoiningFlag", kNoUnit, 8, r.CoiningFlag);
  v.Field("BendLength", kMillimetre, 10, r.BendLength);
  v.Field("FlangeLength", kNoUnit, 12, r.FlangeLength);
  v.Field("BendAngle", kDegree, 16, r.BendAngle);
  v.Field("Y1", kMillimetre, 20, r.Y1);
  v.Field("Y2", kMillimetre, 24, r.Y2);
  v.Field("YY0", kMillimetre, 28, r.YY0);
  v.Field("YY1", kMillimetre, 32, r.YY1);
  v.Field("ZZ0", kMillimetre, 36, r.ZZ0);
  v.Field("ZZ1", kMillimetre, 40, r.ZZ1);
  v.Field("XX0", kMillimetre, 44, r.XX0);
  v.Field("XX1", kMillimetre, 48, r.XX1);
  v.Text("AuxFunc", 52, 6, '\0', r.AuxFunc);
  v.Field("FlagSheetMove", kNoUnit, 58, r.FlagSheetMove);
  v.Field("TonnageValue", kNoUnit, 60, r.TonnageValue);
  v.Field("Field62", kNoUnit, 62, r.Field62);
  v.Field("Field64", kNoUnit, 64, r.Field64);
  v.Field("ODC", kMillimetre, 66, r.ODC);
  v.Field("BendingSpeed", kNoUnit, 68, r.BendingSpeed);
  v.Field("ReturnSpeed", kNoUnit, 70, r.ReturnSpeed);
  v.Field("BGRetractFlag", kNoUnit, 72, r.BGRetractFlag);
  v.Field("CycleNo", kNoUnit, 74, r.CycleNo);
  v.Field("RetractStroke", kMillimetre, 76, r.RetractStroke);
  v.Field("DwellBG", kNoUnit, 80, r.DwellBG);
  v.Field("Field84", kNoUnit, 84, r.Field84);
  v.Field("DwellEndBend", kNoUnit, 86, r.DwellEndBend);
  v.Field("Field90", kNoUnit, 90, r.Field90);
  v.Field("Field92", kNoUnit, 92, r.Field92);
  v.Field("BendNoBGPos", kNoUnit, 94, r.BendNoBGPos);
  v.Field("Y1Compen", kNoUnit, 96, r.Y1Compen);
  v.Field("Y2Compen", kNoUnit, 100, r.Y2Compen);
  v.Field("X1Compen", kNoUnit, 104, r.X1Compen);
  v.Field("X2Compen", kNoUnit, 108, r.X2Compen);
  v.Field("R1Compen", kNoUnit, 112, r.R1Compen);
  v.Field("R2Compen", kNoUnit, 116, r.R2Compen);
  v.Field("Z1Compen", kNoUnit, 120, r.Z1Compen);
  v.Field("Z2Compen", kNoUnit, 124, r.Z2Compen);
  v.Field("AngleCompen", kNoUnit, 128, r.AngleCompen);
  v.Field("Reserved132", kNoUnit, 132, r.Reserved132);
  v.Field("PinchPointValue", kNoUnit, 136, r.PinchPointValue);
  v.Field("Offset", kMillimetre, 140, r.Offset);
  v.Field("Reserved144", kNoUnit, 144, r.Reserved144);
}

// --- little-endian bytes -----------------------------------------------------

void PutUnsigned(char* out, std::uint32_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    out[i] = static_cast<char>(static_cast<unsigned char>(value >> (8 * i)));
  }
}

std::uint32_t GetUnsigned(const char* in, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
  }
  return value;
}

class Encoder {
 public:
  explicit Encoder(char* out) : out_(out) {}
  void Field(std::string_view, std::string_view, std::size_t offset, std::int16_t value) {
    PutUnsigned(out_ + offset, static_cast<std::uint16_t>(value), 2);
  }
  void Field(std::string_view, std::string_view, std::size_t offset, std::int32_t value) {
    PutUnsigned(out_ + offset, static_cast<std::uint32_t>(value), 4);
  }
  void Field(std::string_view, std::string_view, std::size_t offset, std::uint8_t value) {
    PutUnsigned(out_ + offset, value, 1);
  }
  void Field(std::string_view, std::string_view, std::size_t offset, float value) {
    PutUnsigned(out_ + offset, std::bit_cast<std::uint32_t>(value), 4);
  }
  void Rev(std::string_view, std::size_t offset, char value) { out_[offset] = value; }
  void Text(std::string_view, std::size_t offset, std::size_t width, char pad, const std::string& text) {
    const std::size_t used = text.size() < width ? text.size() : width;
    std::memcpy(out_ + offset, text.data(), used);
    std::memset(out_ + offset + used, pad, width - used);
  }

 private:
  char* out_;
};

class Decoder {
 public:
  explicit Decoder(const char* in) : in_(in) {}
  void Field(std::string_view, std::string_view, std::size_t offset, std::int16_t& value) {
    value = static_cast<std::int16_t>(static_cast<std::uint16_t>(GetUnsigned(in_ + offset, 2)));
  }
  void Field(std::string_view, std::string_view, std::size_t offset, std::int32_t& value) {
    value = static_cast<std::int32_t>(GetUnsigned(in_ + offset, 4));
  }
  void Field(std::string_view, std::string_view, std::size_t offset, std::uint8_t& value) {
    value = static_cast<std::uint8_t>(GetUnsigned(in_ + offset, 1));
  }
  void Field(std::string_view, std::string_view, std::size_t offset, float& value) {
    value = std::bit_cast<float>(GetUnsigned(in_ + offset, 4));
  }
  void Rev(std::string_view, std::size_t offset, char& value) { value = in_[offset]; }
  void Text(std::string_view, std::size_t offset, std::size_t width, char, std::string& text) {
    text.assign(in_ + offset, width);
  }

 private:
  const char* in_;
};

class Describer {
 public:
  explicit Describer(std::vector<ProgramField>& out) : out_(out) {}
  void Field(std::string_view name, std::string_view unit, std::size_t offset, const std::int16_t& value) {
    Integer(name, unit, offset, 2, value);
  }
  void Field(std::string_view name, std::string_view unit, std::size_t offset, const std::int32_t& value) {
    Integer(name, unit, offset, 4, value);
  }
  void Field(std::string_view name, std::string_view unit, std::size_t offset, const std::uint8_t& value) {
    Integer(name, unit, offset, 1, value);
  }
  void Field(std::string_view name, std::string_view unit, std::size_t offset, const float& value) {
    ProgramField field = Make(name, unit, offset, 4, ProgramField::Kind::kFloat);
    field.number = value;
    out_.push_back(field);
  }
  void Rev(std::string_view name, std::size_t offset, const char& value) {
    ProgramField field = Make(name, kNoUnit, offset, 1, ProgramField::Kind::kChar);
    field.text = value == '\0' ? std::string_view() : std::string_view(&value, 1);
    out_.push_back(field);
  }
  void Text(std::string_view name, std::size_t offset, std::size_t width, char, const std::string& text) {
    ProgramField field = Make(name, kNoUnit, offset, width, ProgramField::Kind::kText);
    field.text = text;
    out_.push_back(field);
  }

 private:
  static ProgramField Make(std::string_view name, std::string_view unit, std::size_t offset,
                           std::size_t size, ProgramField::Kind kind) {
    ProgramField field;
    field.name = name;
    field.unit = unit;
    field.offset = offset;
    field.size = size;
    field.kind = kind;
    return field;
  }
  void Integer(std::string_view name, std::string_view unit, std::size_t offset, std::size_t size,
               std::int64_t value) {
    ProgramField field = Make(name, unit, offset, size, ProgramField::Kind::kInteger);
    field.integer = value;
    out_.push_back(field);
  }

  std::vector<ProgramField>& out_;
};

// "1 byte", "2 bytes".
std::string Counted(std::size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

void EncodeProgramHeader(const ProgramHeader& header, char* out) {
  Encoder encoder(out);
  VisitHeader(header, encoder);
}

void EncodeProgramRecord(const ProgramRecord& record, char* out) {
  Encoder encoder(out);
  VisitRecord(record, encoder);
}

std::string EncodeProgramFile(const ProgramFile& file) {
  std::string bytes(kProgramHeaderSize + kProgramRecordSize * file.records.size(), '\0');
  EncodeProgramHeader(file.header, bytes.data());
  for (std::size_t i = 0; i < file.records.size(); ++i) {
    EncodeProgramRecord(file.records[i], bytes.data() + kProgramHeaderSize + kProgramRecordSize * i);
  }
  return bytes;
}

Status DecodeProgramFile(std::string_view bytes, ProgramFile& out) {
  const std::size_t size = bytes.size();
  if (size < kProgramHeaderSize) {
    return Status::Invalid("the file has " + std::to_string(size) + " bytes, fewer than the " +
           std::to_string(kProgramHeaderSize) + " of a program header");
  }
  const std::size_t body = size - kProgramHeaderSize;
  if (body % kProgramRecordSize != 0) {
    return Status::Invalid("the file has " + std::to_string(size) + " bytes, which is not 125 + 145 x n (" +
           Counted(body / kProgramRecordSize, "whole record") + " and " +
           Counted(body % kProgramRecordSize, "byte") + " follow the header)");
  }
  const std::size_t count = body / kProgramRecordSize;
  Decoder header_decoder(bytes.data());
  VisitHeader(out.header, header_decoder);
  if (out.header.RecordCount < 0 || static_cast<std::size_t>(out.header.RecordCount) != count) {
    return Status::Invalid("the header's RecordCount is " + std::to_string(out.header.RecordCount) +
           " but the file holds " + std::to_string(count) + " records");
  }
  out.records.assign(count, ProgramRecord{});
  for (std::size_t i = 0; i < count; ++i) {
    Decoder record_decoder(bytes.data() + kProgramHeaderSize + kProgramRecordSize * i);
    VisitRecord(out.records[i], record_decoder);
  }
  return Status::Ok();
}

std::vector<ProgramField> DescribeProgramHeader(const ProgramHeader& header) {
  std::vector<ProgramField> fields;
  Describer describer(fields);
  VisitHeader(header, describer);
  return fields;
}

std::vector<ProgramField> DescribeProgramRecord(const ProgramRecord& record) {
  std::vector<ProgramField> fields;
  Describer describer(fields);
  VisitRecord(record, describer);
  return fields;
}

}  // namespace driverwyr
