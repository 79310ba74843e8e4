// The field table of driverwyr/record_fields.h against the record classes:
// every accessor it names exists with exactly the types it gives, the fields
// it lists fill the class as its own fields do, and a C compiler reads the
// same table (record_table_c.c).
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "driverwyr/driverwyr.h"
#include "driverwyr/record_fields.h"

extern "C" {
// From record_table_c.c: per record, the field names and the bytes each
// field takes, as C sees them (0 for strings, which C has no type for).
struct CFieldEntry {
  const char* name;
  std::size_t bytes;
};
extern const CFieldEntry kCStepFields[];
extern const CFieldEntry kCToolFields[];
extern const CFieldEntry kCSetupFields[];
extern const CFieldEntry kCMachineFields[];
extern const CFieldEntry kCBGaugeFields[];
}

namespace {

// The accessors' types, checked at compile time.
#define SIGNATURE_SCALAR(Stem, GetType, SetType, Setter, Check)                          \
  static_assert(std::is_same_v<decltype(&C::Get##Stem), GetType (C::*)() const>, #Stem); \
  static_assert(std::is_same_v<decltype(&C::Setter), void (C::*)(SetType)>, #Stem);
#define SIGNATURE_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) \
  static_assert(std::is_same_v<decltype(&C::Get##Stem), GetType (C::*)() const>, #Stem);     \
  static_assert(std::is_same_v<decltype(&C::Setter), void (C::*)(SetType, int)>, #Stem);
#define SIGNATURE_STRING(Stem, Setter, Check)                                             \
  static_assert(std::is_same_v<decltype(&C::Get##Stem), CString (C::*)() const>, #Stem); \
  static_assert(std::is_same_v<decltype(&C::Setter), void (C::*)(CString)>, #Stem);
#define SIGNATURE_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows)                          \
  static_assert(std::is_same_v<decltype(&C::Get##Stem), void (C::*)(Elem(*) Inner) const>, #Stem); \
  static_assert(std::is_same_v<decltype(&C::Setter), void (C::*)(const Elem(*) Inner)>, #Stem);
#define SIGNATURE_INTERNAL(Stem, Type)
#define SIGNATURE_FIELDLESS(Setter, SetType) \
  static_assert(std::is_same_v<decltype(&C::Setter), void (C::*)(SetType)>, #Setter);

// A class with the table's fields, in its order, laid out as a record is.
#define MIRROR_SCALAR(Stem, GetType, SetType, Setter, Check) GetType Stem;
#define MIRROR_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) GetType Stem;
#define MIRROR_STRING(Stem, Setter, Check) CString Stem;
#define MIRROR_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) Elem Stem[Rows] Inner;
#define MIRROR_INTERNAL(Stem, Type) Type Stem;

#define NAME(Stem, ...) #Stem,
#define NO_NAME(...)

#define CHECK_RECORD(Class, Fields, FieldlessSetters)                                            \
  namespace signatures_##Class {                                                                 \
  using C = Class;                                                                               \
  Fields(SIGNATURE_SCALAR, SIGNATURE_CONVERTED, SIGNATURE_STRING, SIGNATURE_ARRAY,               \
         SIGNATURE_INTERNAL) FieldlessSetters(SIGNATURE_FIELDLESS)                               \
  struct Mirror {                                                                                \
    virtual ~Mirror() = default;                                                                 \
    struct {                                                                                     \
      Fields(MIRROR_SCALAR, MIRROR_CONVERTED, MIRROR_STRING, MIRROR_ARRAY, MIRROR_INTERNAL)      \
    } fields;                                                                                    \
  };                                                                                             \
  static_assert(sizeof(Mirror) == sizeof(Class), #Class ": the table's fields fill the class");  \
  const std::vector<std::string> kNames = {Fields(NAME, NAME, NAME, NAME, NAME)};                \
  const std::vector<std::string> kSettable = {Fields(NAME, NAME, NAME, NAME, NO_NAME)};          \
  }
DRIVERWYR_RECORDS(CHECK_RECORD)

// What a C compiler made of the table is what C++ made of it.
void ExpectSameInC(const CFieldEntry* c, const std::vector<std::string>& names,
                   const std::vector<std::size_t>& bytes) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_NE(c[i].name, nullptr) << "C lists fewer fields; missing " << names[i];
    EXPECT_EQ(c[i].name, names[i]) << "field " << i;
    EXPECT_EQ(c[i].bytes, bytes[i]) << names[i];
  }
  EXPECT_EQ(c[names.size()].name, nullptr) << "C lists more fields";
}

#define BYTES_SCALAR(Stem, GetType, SetType, Setter, Check) sizeof(GetType),
#define BYTES_CONVERTED(Stem, GetType, SetType, Setter, InchDecimals, MmDecimals, Check) sizeof(GetType),
#define BYTES_STRING(Stem, Setter, Check) std::size_t{0},
#define BYTES_ARRAY(Stem, Elem, Rows, Inner, Setter, Check, CheckRows) sizeof(Elem[Rows] Inner),
#define BYTES_INTERNAL(Stem, Type) sizeof(Type),
#define BYTES(Fields) \
  std::vector<std::size_t> { Fields(BYTES_SCALAR, BYTES_CONVERTED, BYTES_STRING, BYTES_ARRAY, BYTES_INTERNAL) }

TEST(RecordTableTest, CSeesTheSameFields) {
  ExpectSameInC(kCStepFields, signatures_CPPStepInfo::kNames, BYTES(DRIVERWYR_STEP_FIELDS));
  ExpectSameInC(kCToolFields, signatures_CPPTool::kNames, BYTES(DRIVERWYR_TOOL_FIELDS));
  ExpectSameInC(kCSetupFields, signatures_CPPSetup::kNames, BYTES(DRIVERWYR_SETUP_FIELDS));
  ExpectSameInC(kCMachineFields, signatures_CPPMachine::kNames, BYTES(DRIVERWYR_MACHINE_FIELDS));
  ExpectSameInC(kCBGaugeFields, signatures_CPPBGauge::kNames, BYTES(DRIVERWYR_BGAUGE_FIELDS));
}

// The counts a host relies on when it sets every field; BendInnerRadius is
// the only field without a setter.
TEST(RecordTableTest, EveryFieldButOneIsSettable) {
  EXPECT_EQ(signatures_CPPStepInfo::kNames.size(), 47u);
  EXPECT_EQ(signatures_CPPStepInfo::kSettable.size(), 46u);
  EXPECT_EQ(signatures_CPPTool::kSettable.size(), 38u);
  EXPECT_EQ(signatures_CPPSetup::kSettable.size(), 6u);
  EXPECT_EQ(signatures_CPPMachine::kSettable.size(), 43u);
  EXPECT_EQ(signatures_CPPBGauge::kSettable.size(), 28u);
}

}  // namespace
