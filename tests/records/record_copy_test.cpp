// Defaults and complete copies of the five record classes.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "driverwyr/driverwyr.h"
#include "records/record_fields.h"

namespace {

using records_testing::ExpectFilled;
using records_testing::Fill;

// BendInnerRadius has no public accessor; a derived class may read it.
class StepProbe : public CPPStepInfo {
 public:
  using CPPStepInfo::GetBendInnerRadius;
};

// Fields whose default is not zero, false or empty; the defaults test checks
// their values.
std::set<std::string> NonZeroDefaults(const CPPStepInfo*) {
  return {"ControlType", "ODC", "BendingSpeed", "DwellEndBend", "AuxFunc"};
}
std::set<std::string> NonZeroDefaults(const CPPTool*) { return {}; }
std::set<std::string> NonZeroDefaults(const CPPMachine*) { return {"LengthUnit", "clampAtCerter"}; }
std::set<std::string> NonZeroDefaults(const CPPBGauge*) { return {}; }
std::set<std::string> NonZeroDefaults(const CPPSetup*) { return {"ControlType"}; }

TEST(RecordDefaults, NonZeroDefaults) {
  const StepProbe step;
  EXPECT_EQ(step.GetControlType(), 2);
  EXPECT_EQ(step.GetODC(), 251);
  EXPECT_EQ(step.GetBendingSpeed(), 8);
  EXPECT_EQ(step.GetDwellEndBend(), 0.2f);
  EXPECT_EQ(step.GetAuxFunc().str(), "000000");
  EXPECT_EQ(step.GetBendInnerRadius(), 0.0f);
  const auto machine = std::make_unique<CPPMachine>();
  EXPECT_TRUE(machine->GetLengthUnit());
  EXPECT_TRUE(machine->GetclampAtCerter());
  EXPECT_EQ(CPPSetup().GetControlType(), 2);
}

// Records are large (a machine holds two 32 x 64 x 3 beam profiles), so the
// tests keep them on the heap.
template <class T>
class RecordCopy : public ::testing::Test {};

using RecordTypes = ::testing::Types<CPPStepInfo, CPPTool, CPPMachine, CPPBGauge, CPPSetup>;
TYPED_TEST_SUITE(RecordCopy, RecordTypes);

TYPED_TEST(RecordCopy, DefaultsAreZeroOrEmptyElsewhere) {
  ExpectFilled(*std::make_unique<TypeParam>(), 0, NonZeroDefaults(static_cast<const TypeParam*>(nullptr)));
}

TYPED_TEST(RecordCopy, CopiesAreCompleteAndIndependent) {
  auto source = std::make_unique<TypeParam>();
  Fill(*source, 2);
  auto copy = std::make_unique<TypeParam>(*source);
  ExpectFilled(*copy, 2);
  Fill(*copy, 3);  // the copy owns its data
  ExpectFilled(*source, 2);

  const TypeParam& result = (*copy = *source);  // over a record of other values
  EXPECT_EQ(&result, copy.get());
  ExpectFilled(*copy, 2);
  Fill(*copy, 4);
  ExpectFilled(*source, 2);

  const TypeParam& alias = *source;
  EXPECT_EQ(&(*source = alias), source.get());
  ExpectFilled(*source, 2);

  // A default record assigned over a filled one leaves nothing behind.
  *copy = TypeParam();
  ExpectFilled(*copy, 0, NonZeroDefaults(static_cast<const TypeParam*>(nullptr)));
}

}  // namespace
