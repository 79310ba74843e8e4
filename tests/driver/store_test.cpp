// The store and the entry points that fill it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"
#include "driverwyr/host.h"
#include "records/record_fields.h"

namespace {

using driverwyr::PPDB;
using records_testing::ExpectFilled;
using records_testing::Fill;
using records_testing::SampleValue;

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driverwyr::SetStoreCreationFailsForTesting(false);
    driverwyr::ResetStoreForTesting();
  }
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

// ---- Identity, unit and material ---------------------------------------------

TEST_F(StoreTest, DriverIdNeedsNoStore) {
  driverwyr::SetStoreCreationFailsForTesting(true);
  int id = -5;
  GetDriverID(&id);
  EXPECT_EQ(id, 1);
  EXPECT_NO_THROW(GetDriverID(nullptr));
}

TEST_F(StoreTest, ThicknessIsConvertedWithTheUnitInForceAtTheCall) {
  struct Case {
    int unit;
    float thickness;
    float expected;
  };
  const Case cases[] = {
      {1, 0.125f, 3.175f},
      {0, 0.125f, 0.125f},
      {2, 2.0f, 2.0f},
      {-1, 2.0f, 2.0f},
      {1, 1.0f, 25.4f},
      {1, -0.5f, -12.7f},   // stored as sent, converted
      {1, 0.01f, 0.254f},   // the product is formed in double precision
  };
  for (const auto& c : cases) {
    SetUnit(c.unit);
    SetMaterial_1(c.thickness, 45.5f, 5);
    EXPECT_EQ(Store().MaterialThickness, c.expected) << "SetMaterial_1, unit " << c.unit << ", " << c.thickness;
    EXPECT_EQ(Store().MaterialTensile, 45.5f);  // never converted
    EXPECT_EQ(Store().MaterialType, 5);
    SetMaterial_2(c.thickness, 60.0f, "Stainless Steel");
    EXPECT_EQ(Store().MaterialThickness, c.expected) << "SetMaterial_2, unit " << c.unit << ", " << c.thickness;
    EXPECT_EQ(Store().MaterialTensile, 60.0f);
    EXPECT_EQ(Store().MaterialType, 5);
  }
}

TEST_F(StoreTest, UnitSetAfterTheMaterialDoesNotConvertIt) {
  SetMaterial_1(0.125f, 45.5f, 5);
  SetUnit(1);
  EXPECT_EQ(Store().Unit, 1);
  EXPECT_EQ(Store().MaterialThickness, 0.125f);

  SetMaterial_1(0.125f, 45.5f, 5);
  SetUnit(0);
  EXPECT_EQ(Store().MaterialThickness, 3.175f);
}

TEST_F(StoreTest, MaterialNamesAreMatchedExactly) {
  struct Case {
    CString name;
    int type;
  };
  const Case cases[] = {
      {"Aluminium", 3},
      {"Hot Rolled Steel", 7},
      {"Cold Rolled Steel", 1},
      {"Stainless Steel", 5},
      {"aluminium", 1},
      {"Aluminium ", 1},
      {" Aluminium", 1},
      {"ALUMINIUM", 1},
      {"stainless steel", 1},
      {"Stainless", 1},
      {"", 1},
      {CString("Aluminium\0x", 11), 1},  // bytes after a NUL count
      {"Copper", 1},
  };
  for (const auto& c : cases) {
    SetMaterial_1(1.0f, 1.0f, 99);
    SetMaterial_2(1.0f, 1.0f, c.name);
    EXPECT_EQ(Store().MaterialType, c.type) << '"' << c.name.str() << '"';
  }
}

TEST_F(StoreTest, PathsAreKeptInOrder) {
  SetPathNames("C:\\Jobs\\part 7.wyr", "D:\\Material data", "E:\\conv\\tools.txt");
  EXPECT_EQ(Store().ProgramPath, "C:\\Jobs\\part 7.wyr");
  EXPECT_EQ(Store().DataPath, "D:\\Material data");
  EXPECT_EQ(Store().ConversionPath, "E:\\conv\\tools.txt");
  SetPathNames("", "", "");
  EXPECT_EQ(Store().ProgramPath, "");
  EXPECT_EQ(Store().DataPath, "");
  EXPECT_EQ(Store().ConversionPath, "");
}

// ---- The five record arrays ------------------------------------------------------

// How each kind of record reaches the store and where it is kept there.
template <class T>
struct Kind;
template <>
struct Kind<CPPStepInfo> {
  static void Init(RecordArray<CPPStepInfo>* a) { InitPPSequence(a); }
  static RecordArray<CPPStepInfo>& In(PPDB& s) { return s.StepArray; }
  static RecordArray<CPPStepInfo>& In(driverwyr::StoreCopy& c) { return c.steps; }
};
template <>
struct Kind<CPPTool> {
  static void Init(RecordArray<CPPTool>* a) { InitToolInfo(a); }
  static RecordArray<CPPTool>& In(PPDB& s) { return s.ToolArray; }
  static RecordArray<CPPTool>& In(driverwyr::StoreCopy& c) { return c.tools; }
};
template <>
struct Kind<CPPSetup> {
  static void Init(RecordArray<CPPSetup>* a) { InitSetupInfo(a); }
  static RecordArray<CPPSetup>& In(PPDB& s) { return s.SetupArray; }
  static RecordArray<CPPSetup>& In(driverwyr::StoreCopy& c) { return c.setups; }
};
template <>
struct Kind<CPPMachine> {
  static void Init(RecordArray<CPPMachine>* a) { InitMachineInfo(a); }
  static RecordArray<CPPMachine>& In(PPDB& s) { return s.MachineArray; }
  static RecordArray<CPPMachine>& In(driverwyr::StoreCopy& c) { return c.machines; }
};
template <>
struct Kind<CPPBGauge> {
  static void Init(RecordArray<CPPBGauge>* a) { InitBkGaugeInfo(a); }
  static RecordArray<CPPBGauge>& In(PPDB& s) { return s.BGaugeArray; }
  static RecordArray<CPPBGauge>& In(driverwyr::StoreCopy& c) { return c.gauges; }
};

template <class T>
class StoreArrayTest : public StoreTest {};

using RecordTypes = ::testing::Types<CPPStepInfo, CPPTool, CPPSetup, CPPMachine, CPPBGauge>;
TYPED_TEST_SUITE(StoreArrayTest, RecordTypes);

TYPED_TEST(StoreArrayTest, InitCopiesEveryRecordCompletely) {
  using K = Kind<TypeParam>;
  auto host = HostArray<TypeParam>(3, 1);
  K::Init(host.get());
  ExpectSeeds(K::In(this->Store()), 3, 1, "store");
  // The store owns copies: the host may change or drop its records.
  for (int i = 0; i < 3; ++i) Fill((*host)[i], 10 + i);
  host.reset();
  ExpectSeeds(K::In(this->Store()), 3, 1, "store after the host changed its records");
}

TYPED_TEST(StoreArrayTest, InitLeavesTheHostArrayAlone) {
  using K = Kind<TypeParam>;
  auto host = HostArray<TypeParam>(2, 4);
  K::Init(host.get());
  ExpectSeeds(*host, 2, 4, "host");
  EXPECT_NE(K::In(this->Store()).GetData(), host->GetData());
}

TYPED_TEST(StoreArrayTest, SecondInitReplacesTheFirst) {
  using K = Kind<TypeParam>;
  K::Init(HostArray<TypeParam>(3, 1).get());
  K::Init(HostArray<TypeParam>(2, 7).get());
  ExpectSeeds(K::In(this->Store()), 2, 7, "store");
}

TYPED_TEST(StoreArrayTest, EmptyOrMissingHostArrayEmptiesTheStoredOne) {
  using K = Kind<TypeParam>;
  K::Init(HostArray<TypeParam>(3, 1).get());
  RecordArray<TypeParam> empty;
  K::Init(&empty);
  EXPECT_EQ(K::In(this->Store()).GetSize(), 0);

  K::Init(HostArray<TypeParam>(1, 1).get());
  K::Init(nullptr);
  EXPECT_EQ(K::In(this->Store()).GetSize(), 0);
}

TYPED_TEST(StoreArrayTest, CopyStoreHandsOutCompleteCopies) {
  using K = Kind<TypeParam>;
  K::Init(HostArray<TypeParam>(2, 3).get());
  driverwyr::StoreCopy copy;
  ASSERT_TRUE(driverwyr::CopyStore(copy));
  ExpectSeeds(K::In(copy), 2, 3, "copy");
  Fill(K::In(copy)[0], 20);
  ExpectSeeds(K::In(this->Store()), 2, 3, "store after the copy changed");
}

TEST_F(StoreTest, DestroyEmptiesTheArraysAndKeepsTheRest) {
  SetUnit(1);
  SetPathNames("C:\\p\\x.wyr", "C:\\data", "C:\\conv.txt");
  SetMaterial_1(0.125f, 45.5f, 7);
  InitPPSequence(HostArray<CPPStepInfo>(3, 1).get());
  InitToolInfo(HostArray<CPPTool>(2, 1).get());
  InitSetupInfo(HostArray<CPPSetup>(2, 1).get());
  InitMachineInfo(HostArray<CPPMachine>(1, 1).get());
  InitBkGaugeInfo(HostArray<CPPBGauge>(1, 1).get());
  PPDB* before = &Store();

  DestroyPPDBInstance();
  EXPECT_TRUE(CreatePPDBInstance());
  PPDB& store = Store();
  EXPECT_EQ(&store, before);
  EXPECT_EQ(store.StepArray.GetSize(), 0);
  EXPECT_EQ(store.ToolArray.GetSize(), 0);
  EXPECT_EQ(store.SetupArray.GetSize(), 0);
  EXPECT_EQ(store.MachineArray.GetSize(), 0);
  EXPECT_EQ(store.BGaugeArray.GetSize(), 0);
  EXPECT_EQ(store.Unit, 1);
  EXPECT_EQ(store.ProgramPath, "C:\\p\\x.wyr");
  EXPECT_EQ(store.DataPath, "C:\\data");
  EXPECT_EQ(store.ConversionPath, "C:\\conv.txt");
  EXPECT_EQ(store.MaterialThickness, 3.175f);
  EXPECT_EQ(store.MaterialTensile, 45.5f);
  EXPECT_EQ(store.MaterialType, 7);

  // The arrays can be filled again.
  InitToolInfo(HostArray<CPPTool>(1, 5).get());
  ExpectSeeds(Store().ToolArray, 1, 5, "tools after destroy");
}

TEST_F(StoreTest, DestroyBeforeAnythingCreatesAnEmptyStore) {
  DestroyPPDBInstance();
  EXPECT_TRUE(CreatePPDBInstance());
  EXPECT_EQ(Store().StepArray.GetSize(), 0);
  EXPECT_EQ(Store().Unit, 0);
}

TEST_F(StoreTest, CopyStoreCopiesUnitPathsAndMaterial) {
  SetUnit(1);
  SetPathNames("a\\b.wyr", "c", "d.txt");
  SetMaterial_2(0.125f, 45.5f, "Aluminium");
  driverwyr::StoreCopy copy;
  ASSERT_TRUE(driverwyr::CopyStore(copy));
  EXPECT_EQ(copy.unit, 1);
  EXPECT_EQ(copy.programPath.str(), "a\\b.wyr");
  EXPECT_EQ(copy.dataPath.str(), "c");
  EXPECT_EQ(copy.conversionPath.str(), "d.txt");
  EXPECT_EQ(copy.materialThickness, 3.175f);
  EXPECT_EQ(copy.materialTensile, 45.5f);
  EXPECT_EQ(copy.materialType, 3);
}

// ---- Look-ups by name ------------------------------------------------------------

TEST_F(StoreTest, FindToolByNameReturnsACopyOfTheFirstExactMatch) {
  auto tools = HostArray<CPPTool>(5, 1);
  const char* names[] = {"P-88", "D12", "P-88", "d12", "Holder"};
  for (int i = 0; i < 5; ++i) (*tools)[i].SetToolName(names[i]);
  InitToolInfo(tools.get());

  struct Case {
    CString name;
    int found_index;  // -1: not found
  };
  const Case cases[] = {
      {"P-88", 0},      // the first of two equal names
      {"D12", 1},
      {"d12", 3},
      {"p-88", -1},     // letter case counts
      {"P-8", -1},
      {"P-88 ", -1},
      {CString("P-88\0", 5), -1},
      {"", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("tool \"") + c.name.str() + "\"");
    auto tool = std::make_unique<CPPTool>();
    Fill(*tool, 20);
    const bool found = driverwyr::FindToolByName(*tool, c.name);
    EXPECT_EQ(found, c.found_index >= 0);
    if (c.found_index >= 0) {
      // A complete copy of that record: its name, and the sample values of
      // every other field.
      EXPECT_EQ(tool->GetToolName().str(), names[c.found_index]);
      tool->SetToolName(SampleValue<CString>("ToolName", c.found_index + 1, 0, 0));
      ExpectFilled(*tool, c.found_index + 1);
    } else {
      ExpectFilled(*tool, 20);  // left as it was
    }
  }
  // The stored records are never handed out: changing a found copy leaves them.
  CPPTool found;
  ASSERT_TRUE(driverwyr::FindToolByName(found, "D12"));
  found.SetVWidth(-1.0);
  CPPTool again;
  ASSERT_TRUE(driverwyr::FindToolByName(again, "D12"));
  EXPECT_EQ(again.GetVWidth(), (*tools)[1].GetVWidth());
}

TEST_F(StoreTest, FindMachineByNameMatchesTheUserMachineName) {
  auto machines = HostArray<CPPMachine>(4, 1);
  (*machines)[0].SetUserMachineName("Press A");
  (*machines)[0].SetMachineName("Brake 3100");
  (*machines)[1].SetUserMachineName("Other");
  (*machines)[1].SetMachineName("Press B");
  (*machines)[2].SetUserMachineName("Press A");  // a second machine of the same name
  (*machines)[3].SetUserMachineName("press b");
  InitMachineInfo(machines.get());

  struct Case {
    const char* name;
    int found_index;
  };
  const Case cases[] = {
      {"Press A", 0},
      {"Other", 1},
      {"press b", 3},
      {"Press B", -1},      // only a MachineName
      {"Brake 3100", -1},
      {"PRESS A", -1},
      {"", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("machine \"") + c.name + "\"");
    auto machine = std::make_unique<CPPMachine>();
    const bool found = driverwyr::FindMachineByName(*machine, c.name);
    EXPECT_EQ(found, c.found_index >= 0);
    if (c.found_index >= 0) {
      EXPECT_EQ(machine->GetTonnage(), (*machines)[c.found_index].GetTonnage());
      EXPECT_EQ(machine->GetMaxBendingLength(), (*machines)[c.found_index].GetMaxBendingLength());
    } else {
      // The caller's default record stays as it was: the calculation sees zeros.
      EXPECT_EQ(machine->GetTonnage(), 0.0);
      EXPECT_EQ(machine->GetMinTonnage(), 0.0);
      EXPECT_EQ(machine->GetMaxBendingLength(), 0.0);
      EXPECT_TRUE(machine->GetLengthUnit());
    }
  }
}

TEST_F(StoreTest, LookUpsInAnEmptyStoreFindNothing) {
  CPPTool tool;
  auto machine = std::make_unique<CPPMachine>();
  EXPECT_FALSE(driverwyr::FindToolByName(tool, ""));
  EXPECT_FALSE(driverwyr::FindMachineByName(*machine, ""));
}

// ---- A store that cannot be created ---------------------------------------------

TEST_F(StoreTest, WithoutAStoreEntryPointsDoNothingAndTheNextCallCanCreateIt) {
  driverwyr::SetStoreCreationFailsForTesting(true);
  EXPECT_FALSE(CreatePPDBInstance());
  EXPECT_EQ(driverwyr::GetPPDBInstance(), nullptr);
  EXPECT_NO_THROW({
    SetUnit(1);
    SetPathNames("a", "b", "c");
    SetMaterial_1(2.0f, 3.0f, 5);
    SetMaterial_2(2.0f, 3.0f, "Aluminium");
    InitPPSequence(HostArray<CPPStepInfo>(2, 1).get());
    InitToolInfo(HostArray<CPPTool>(2, 1).get());
    InitSetupInfo(HostArray<CPPSetup>(2, 1).get());
    InitMachineInfo(HostArray<CPPMachine>(1, 1).get());
    InitBkGaugeInfo(HostArray<CPPBGauge>(1, 1).get());
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
  const PPDB& store = Store();
  EXPECT_EQ(store.Unit, 0);
  EXPECT_EQ(store.ProgramPath, "");
  EXPECT_EQ(store.DataPath, "");
  EXPECT_EQ(store.ConversionPath, "");
  EXPECT_EQ(store.MaterialThickness, 0.0f);
  EXPECT_EQ(store.MaterialTensile, 0.0f);
  EXPECT_EQ(store.MaterialType, 0);
  EXPECT_EQ(store.StepArray.GetSize(), 0);
  EXPECT_EQ(store.ToolArray.GetSize(), 0);
  EXPECT_EQ(store.SetupArray.GetSize(), 0);
  EXPECT_EQ(store.MachineArray.GetSize(), 0);
  EXPECT_EQ(store.BGaugeArray.GetSize(), 0);
}

TEST_F(StoreTest, TheStoreIsCreatedOnceAndKept) {
  EXPECT_TRUE(CreatePPDBInstance());
  PPDB* first = driverwyr::GetPPDBInstance();
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
