// Defaults and complete copies of the five record classes.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "driverwyr/driverwyr.h"
#include "records/record_fields.h"

namespace {

using records_testing::ExpectDefaultExcept;
using records_testing::ExpectFilled;
using records_testing::Fill;

// ---- Defaults ---------------------------------------------------------------

// BendInnerRadius has no public accessor; a derived class may read it.
class StepProbe : public CPPStepInfo {
 public:
  using CPPStepInfo::GetBendInnerRadius;
};

TEST(RecordDefaults, StepInfo) {
  const StepProbe step;
  EXPECT_EQ(step.GetControlType(), 2);
  EXPECT_EQ(step.GetODC(), 251);
  EXPECT_EQ(step.GetBendingSpeed(), 8);
  EXPECT_EQ(step.GetDwellEndBend(), 0.2f);
  EXPECT_EQ(step.GetAuxFunc().str(), "000000");
  EXPECT_EQ(step.GetBendInnerRadius(), 0.0f);
  ExpectDefaultExcept<CPPStepInfo>(step, {"ControlType", "ODC", "BendingSpeed", "DwellEndBend", "AuxFunc"});
}

TEST(RecordDefaults, Tool) { ExpectDefaultExcept(CPPTool(), {}); }

TEST(RecordDefaults, Machine) {
  const auto machine = std::make_unique<CPPMachine>();
  EXPECT_TRUE(machine->GetLengthUnit());
  EXPECT_TRUE(machine->GetclampAtCerter());
  ExpectDefaultExcept(*machine, {"LengthUnit", "clampAtCerter"});
}

TEST(RecordDefaults, BGauge) { ExpectDefaultExcept(CPPBGauge(), {}); }

TEST(RecordDefaults, Setup) {
  const CPPSetup setup;
  EXPECT_EQ(setup.GetControlType(), 2);
  ExpectDefaultExcept(setup, {"ControlType"});
}

// ---- Accessors that change the type ----------------------------------------

TEST(BGaugeAccessors, FingerPositionsTakeIntsAndReturnDoubles) {
  CPPBGauge gauge;
  gauge.SetFingerHLeft(12);
  gauge.SetFingerHRight(-7);
  EXPECT_EQ(gauge.GetFingerHLeft(), 12.0);
  EXPECT_EQ(gauge.GetFingerHRight(), -7.0);
}

// ---- Complete copies ----------------------------------------------------------

// Fields whose default is not zero, false or empty.
std::set<std::string> NonZeroDefaults(const CPPStepInfo*) {
  return {"ControlType", "ODC", "BendingSpeed", "DwellEndBend", "AuxFunc"};
}
std::set<std::string> NonZeroDefaults(const CPPTool*) { return {}; }
std::set<std::string> NonZeroDefaults(const CPPMachine*) { return {"LengthUnit", "clampAtCerter"}; }
std::set<std::string> NonZeroDefaults(const CPPBGauge*) { return {}; }
std::set<std::string> NonZeroDefaults(const CPPSetup*) { return {"ControlType"}; }

// Records are large (a machine holds two 32 x 64 x 3 beam profiles), so the
// tests keep them on the heap.
template <class T>
class RecordCopy : public ::testing::Test {};

using RecordTypes = ::testing::Types<CPPStepInfo, CPPTool, CPPMachine, CPPBGauge, CPPSetup>;
TYPED_TEST_SUITE(RecordCopy, RecordTypes);

TYPED_TEST(RecordCopy, SettersReachTheirOwnGetters) {
  auto record = std::make_unique<TypeParam>();
  Fill(*record, 1);
  ExpectFilled(*record, 1);
}

TYPED_TEST(RecordCopy, CopyConstructorCopiesEveryField) {
  auto source = std::make_unique<TypeParam>();
  Fill(*source, 2);
  auto copy = std::make_unique<TypeParam>(*source);
  ExpectFilled(*copy, 2);
  // The copy owns its data: refilling it leaves the source as it was.
  Fill(*copy, 3);
  ExpectFilled(*source, 2);
}

TYPED_TEST(RecordCopy, AssignmentOverwritesEveryField) {
  auto source = std::make_unique<TypeParam>();
  auto target = std::make_unique<TypeParam>();
  Fill(*source, 4);
  Fill(*target, 5);
  const TypeParam& result = (*target = *source);
  EXPECT_EQ(&result, target.get());
  ExpectFilled(*target, 4);
  Fill(*target, 6);
  ExpectFilled(*source, 4);
}

TYPED_TEST(RecordCopy, AssignmentOverDefaultRecord) {
  auto source = std::make_unique<TypeParam>();
  auto target = std::make_unique<TypeParam>();
  Fill(*source, 7);
  *target = *source;
  ExpectFilled(*target, 7);
}

TYPED_TEST(RecordCopy, SelfAssignmentChangesNothing) {
  auto record = std::make_unique<TypeParam>();
  Fill(*record, 8);
  const TypeParam& alias = *record;
  const TypeParam& result = (*record = alias);
  EXPECT_EQ(&result, record.get());
  ExpectFilled(*record, 8);
}

TYPED_TEST(RecordCopy, DefaultAssignedOverFilledRecordLeavesNothingBehind) {
  auto target = std::make_unique<TypeParam>();
  Fill(*target, 9);
  *target = TypeParam();
  ExpectDefaultExcept(*target, NonZeroDefaults(static_cast<const TypeParam*>(nullptr)));
}

}  // namespace
