// The store and the entry points that fill it.
#include <gtest/gtest.h>

#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"
#include "driverwyr/host.h"
#include "records/record_fields.h"

namespace {

using driverwyr::PPDB;
using records_testing::ExpectFilled;
using records_testing::Fill;

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    driverwyr::SetStoreCreationFailsForTesting(false);
    driverwyr::ResetStoreForTesting();
  }
  static PPDB& Store() {
    PPDB* store = driverwyr::GetPPDBInstance();
    EXPECT_NE(store, nullptr);
    return *store;
  }
};

// Unit, paths and material, with the floats written exactly.
std::string Settings(int unit, std::string_view program, std::string_view data, std::string_view conversion,
                     float thickness, float tensile, int type) {
  std::ostringstream os;
  os << std::setprecision(9) << unit << '|' << program << '|' << data << '|' << conversion << '|' << thickness
     << '|' << tensile << '|' << type;
  return os.str();
}
std::string Settings(const PPDB& s) {
  return Settings(s.Unit, s.ProgramPath, s.DataPath, s.ConversionPath, s.MaterialThickness, s.MaterialTensile,
                  s.MaterialType);
}
std::string Settings(const driverwyr::StoreCopy& c) {
  return Settings(c.unit, c.programPath.view(), c.dataPath.view(), c.conversionPath.view(), c.materialThickness,
                  c.materialTensile, c.materialType);
}

std::vector<int> Sizes(const PPDB& s) {
  return {s.StepArray.GetSize(), s.ToolArray.GetSize(), s.SetupArray.GetSize(), s.MachineArray.GetSize(),
          s.BGaugeArray.GetSize()};
}

// How each kind of record reaches the store and where it is kept there.
void Init(RecordArray<CPPStepInfo>* a) { InitPPSequence(a); }
void Init(RecordArray<CPPTool>* a) { InitToolInfo(a); }
void Init(RecordArray<CPPSetup>* a) { InitSetupInfo(a); }
void Init(RecordArray<CPPMachine>* a) { InitMachineInfo(a); }
void Init(RecordArray<CPPBGauge>* a) { InitBkGaugeInfo(a); }
template <class T>
RecordArray<T>& In(PPDB& s) {
  return std::get<RecordArray<T>&>(std::tie(s.StepArray, s.ToolArray, s.SetupArray, s.MachineArray, s.BGaugeArray));
}
template <class T>
RecordArray<T>& In(driverwyr::StoreCopy& c) {
  return std::get<RecordArray<T>&>(std::tie(c.steps, c.tools, c.setups, c.machines, c.gauges));
}

// A host array of `count` records filled with the seeds first_seed, first_seed + 1, ...
template <class T>
std::unique_ptr<RecordArray<T>> HostArray(int count, int first_seed) {
  auto array = std::make_unique<RecordArray<T>>();
  array->SetSize(count);
  for (int i = 0; i < count; ++i) Fill((*array)[i], first_seed + i);
  return array;
}

template <class T>
void ExpectSeeds(const RecordArray<T>& array, int count, int first_seed, const char* what) {
  ASSERT_EQ(array.GetSize(), count) << what;
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(std::string(what) + " index " + std::to_string(i));
    ExpectFilled(array[i], first_seed + i);
  }
}

void InitAll() {
  Init(HostArray<CPPStepInfo>(3, 1).get());
  Init(HostArray<CPPTool>(2, 1).get());
  Init(HostArray<CPPSetup>(2, 1).get());
  Init(HostArray<CPPMachine>(1, 1).get());
  Init(HostArray<CPPBGauge>(1, 1).get());
}

// ---- Identity, unit, paths and material --------------------------------------------

TEST_F(StoreTest, DriverIdNeedsNoStore) {
  driverwyr::SetStoreCreationFailsForTesting(true);
  int id = -5;
  GetDriverID(&id);
  EXPECT_EQ(id, 1);
  EXPECT_NO_THROW(GetDriverID(nullptr));
}

TEST_F(StoreTest, ThicknessIsConvertedWithTheUnitInForceAtTheCall) {
  const struct {
    int unit;
    float thickness;
    float expected;
  } cases[] = {
      {1, 0.125f, 3.175f}, {0, 0.125f, 0.125f}, {2, 2.0f, 2.0f}, {-1, 2.0f, 2.0f}, {1, 1.0f, 25.4f},
      {1, -0.5f, -12.7f},   // stored as sent, converted
      {1, 0.01f, 0.254f},   // the product is formed in double precision
  };
  for (const auto& c : cases) {
    SetUnit(c.unit);
    SetMaterial_1(c.thickness, 45.5f, 7);
    EXPECT_EQ(Settings(Store()), Settings(c.unit, "", "", "", c.expected, 45.5f, 7))
        << "SetMaterial_1, " << c.thickness;
    SetMaterial_2(c.thickness, 60.0f, "Stainless Steel");
    EXPECT_EQ(Settings(Store()), Settings(c.unit, "", "", "", c.expected, 60.0f, 5))
        << "SetMaterial_2, " << c.thickness;
  }
}

TEST_F(StoreTest, UnitSetAfterTheMaterialDoesNotConvertIt) {
  SetMaterial_1(0.125f, 45.5f, 5);
  SetUnit(1);
  EXPECT_EQ(Settings(Store()), Settings(1, "", "", "", 0.125f, 45.5f, 5));
  SetMaterial_1(0.125f, 45.5f, 5);
  SetUnit(0);
  EXPECT_EQ(Store().MaterialThickness, 3.175f);
}

TEST_F(StoreTest, MaterialNamesAreMatchedExactly) {
  const struct {
    CString name;
    int type;
  } cases[] = {
      {"Aluminium", 3}, {"Hot Rolled Steel", 7}, {"Cold Rolled Steel", 1}, {"Stainless Steel", 5},
      {"aluminium", 1}, {"Aluminium ", 1}, {" Aluminium", 1}, {"stainless steel", 1}, {"Stainless", 1},
      {"", 1}, {CString("Aluminium\0x", 11), 1},  // bytes after a NUL count
  };
  for (const auto& c : cases) {
    SetMaterial_1(1.0f, 1.0f, 99);
    SetMaterial_2(1.0f, 1.0f, c.name);
    EXPECT_EQ(Store().MaterialType, c.type) << '"' << c.name.str() << '"';
  }
}

TEST_F(StoreTest, PathsAndMaterialReachTheStoreAndItsCopy) {
  SetUnit(1);
  SetPathNames("C:\\Jobs\\part 7.wyr", "D:\\Material data", "E:\\conv\\tools.txt");
  SetMaterial_2(0.125f, 45.5f, "Aluminium");
  EXPECT_EQ(Settings(Store()),
            Settings(1, "C:\\Jobs\\part 7.wyr", "D:\\Material data", "E:\\conv\\tools.txt", 3.175f, 45.5f, 3));
  driverwyr::StoreCopy copy;
  ASSERT_TRUE(driverwyr::CopyStore(copy));
  EXPECT_EQ(Settings(copy), Settings(Store()));
  SetPathNames("", "", "");
  EXPECT_EQ(Settings(Store()), Settings(1, "", "", "", 3.175f, 45.5f, 3));
}

// ---- The five record arrays ------------------------------------------------------

template <class T>
class StoreArrayTest : public StoreTest {};

using RecordTypes = ::testing::Types<CPPStepInfo, CPPTool, CPPSetup, CPPMachine, CPPBGauge>;
TYPED_TEST_SUITE(StoreArrayTest, RecordTypes);

TYPED_TEST(StoreArrayTest, InitReplacesTheArrayWithCompleteCopiesOwnedByTheStore) {
  RecordArray<TypeParam>& stored = In<TypeParam>(this->Store());
  auto host = HostArray<TypeParam>(3, 1);
  Init(host.get());
  ExpectSeeds(stored, 3, 1, "store");
  ExpectSeeds(*host, 3, 1, "host");  // never written to
  EXPECT_NE(stored.GetData(), host->GetData());
  for (int i = 0; i < 3; ++i) Fill((*host)[i], 10 + i);
  host.reset();
  ExpectSeeds(stored, 3, 1, "store after the host changed and dropped its records");

  Init(HostArray<TypeParam>(2, 7).get());
  ExpectSeeds(stored, 2, 7, "store after a second Init");
  driverwyr::StoreCopy copy;
  ASSERT_TRUE(driverwyr::CopyStore(copy));
  ExpectSeeds(In<TypeParam>(copy), 2, 7, "copy");
  Fill(In<TypeParam>(copy)[0], 20);
  ExpectSeeds(stored, 2, 7, "store after the copy changed");

  RecordArray<TypeParam> empty;
  Init(&empty);
  EXPECT_EQ(stored.GetSize(), 0);
  Init(HostArray<TypeParam>(1, 1).get());
  Init(static_cast<RecordArray<TypeParam>*>(nullptr));
  EXPECT_EQ(stored.GetSize(), 0);
}

TEST_F(StoreTest, DestroyEmptiesTheArraysAndKeepsTheRest) {
  SetUnit(1);
  SetPathNames("C:\\p\\x.wyr", "C:\\data", "C:\\conv.txt");
  SetMaterial_1(0.125f, 45.5f, 7);
  InitAll();
  PPDB* before = &Store();
  const std::string settings = Settings(*before);
  DestroyPPDBInstance();
  EXPECT_TRUE(CreatePPDBInstance());
  EXPECT_EQ(&Store(), before);
  EXPECT_EQ(Sizes(Store()), std::vector<int>(5, 0));
  EXPECT_EQ(Settings(Store()), settings);
}

// ---- Look-ups by name ------------------------------------------------------------

// Stores five records named as below, with `other` (a second name field the
// look-up must not match) of the last one set to "Brake", and looks them up.
template <class T>
void ExpectLookUps(bool (*find)(T&, const CString&), CString (T::*get_name)() const,
                   void (T::*set_name)(CString), void (T::*set_other)(CString), const char* name_field) {
  auto record = std::make_unique<T>();
  EXPECT_FALSE(find(*record, "")) << "in an empty array";
  const char* names[] = {"P-88", "D12", "P-88", "d12", "Holder"};
  auto host = HostArray<T>(5, 1);
  for (int i = 0; i < 5; ++i) ((*host)[i].*set_name)(names[i]);
  ((*host)[4].*set_other)("Brake");
  Init(host.get());
  const struct {
    CString name;
    int found_index;  // -1: not found
  } cases[] = {
      {"P-88", 0},  // the first of two equal names
      {"D12", 1}, {"d12", 3}, {"p-88", -1}, {"P-8", -1}, {"P-88 ", -1}, {CString("P-88\0", 5), -1},
      {"", -1}, {"Brake", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(name_field) + " \"" + c.name.str() + "\"");
    Fill(*record, 20);
    EXPECT_EQ(find(*record, c.name), c.found_index >= 0);
    if (c.found_index < 0) {
      ExpectFilled(*record, 20);  // left as it was
    } else {
      // A complete copy of that record.
      EXPECT_EQ(((*record).*get_name)().str(), names[c.found_index]);
      ExpectFilled(*record, c.found_index + 1, {name_field});
    }
  }
}

TEST_F(StoreTest, LookUpsReturnACopyOfTheFirstExactMatch) {
  ExpectLookUps(&driverwyr::FindToolByName, &CPPTool::GetToolName, &CPPTool::SetToolName, &CPPTool::SetToolType,
                "ToolName");
  ExpectLookUps(&driverwyr::FindMachineByName, &CPPMachine::GetUserMachineName, &CPPMachine::SetUserMachineName,
                &CPPMachine::SetMachineName, "UserMachineName");
}

// ---- Creation of the store ---------------------------------------------------------

TEST_F(StoreTest, WithoutAStoreEntryPointsDoNothingAndTheNextCallCanCreateIt) {
  driverwyr::SetStoreCreationFailsForTesting(true);
  EXPECT_FALSE(CreatePPDBInstance());
  EXPECT_EQ(driverwyr::GetPPDBInstance(), nullptr);
  EXPECT_NO_THROW({
    SetUnit(1);
    SetPathNames("a", "b", "c");
    SetMaterial_1(2.0f, 3.0f, 5);
    SetMaterial_2(2.0f, 3.0f, "Aluminium");
    InitAll();
    DestroyPPDBInstance();
  });
  CPPTool tool;
  EXPECT_FALSE(driverwyr::FindToolByName(tool, ""));
  auto machine = std::make_unique<CPPMachine>();
  EXPECT_FALSE(driverwyr::FindMachineByName(*machine, ""));
  driverwyr::StoreCopy copy;
  EXPECT_FALSE(driverwyr::CopyStore(copy));
  EXPECT_FALSE(CreatePPDBInstance());  // still failing

  driverwyr::SetStoreCreationFailsForTesting(false);
  EXPECT_TRUE(CreatePPDBInstance());
  EXPECT_EQ(Settings(Store()), Settings(0, "", "", "", 0.0f, 0.0f, 0));
  EXPECT_EQ(Sizes(Store()), std::vector<int>(5, 0));
}

TEST_F(StoreTest, TheStoreIsCreatedOnceAndKept) {
  DestroyPPDBInstance();  // creates an empty store
  PPDB* first = driverwyr::GetPPDBInstance();
  EXPECT_EQ(Settings(*first), Settings(0, "", "", "", 0.0f, 0.0f, 0));
  SetUnit(1);
  EXPECT_TRUE(CreatePPDBInstance());
  EXPECT_EQ(driverwyr::GetPPDBInstance(), first);
  EXPECT_EQ(first->Unit, 1);
  // Once it exists, the failure switch no longer matters.
  driverwyr::SetStoreCreationFailsForTesting(true);
  EXPECT_TRUE(CreatePPDBInstance());
  EXPECT_EQ(driverwyr::GetPPDBInstance(), first);
}

}  // namespace
