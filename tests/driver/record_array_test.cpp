// RecordArray: growth, construction and destruction of the records it holds.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "driverwyr/driverwyr.h"
#include "records/record_fields.h"

namespace {

using records_testing::ExpectFilled;
using records_testing::Fill;

// A record that counts its constructions and destructions and can be told to
// fail (as a copy that runs out of memory would) after a number of calls.
struct Counted {
  static inline int live = 0;
  static inline int copies = 0;
  static inline int destroyed_twice = 0;
  static inline int defaults_before_failure = -1;  // -1: never fail
  static inline int copies_before_failure = -1;

  static void MaybeFail(int& countdown) {
    if (countdown == 0) {
      countdown = -1;
      throw std::bad_alloc();
    }
    if (countdown > 0) --countdown;
  }

  Counted() {
    MaybeFail(defaults_before_failure);
    ++live;
  }
  Counted(const Counted& other) : value(other.value) {
    MaybeFail(copies_before_failure);
    ++live;
    ++copies;
  }
  Counted& operator=(const Counted& other) {
    value = other.value;
    return *this;
  }
  ~Counted() {
    if (value == kDestroyed) ++destroyed_twice;
    --live;
    value = kDestroyed;
  }

  // A destroyed record reads as kDestroyed while its storage is still there.
  static constexpr int kDestroyed = -99;

  int value = -1;
};

class RecordArrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Counted::live = 0;
    Counted::copies = 0;
    Counted::destroyed_twice = 0;
    Counted::defaults_before_failure = -1;
    Counted::copies_before_failure = -1;
  }
  // Every record constructed by a test has been destroyed exactly once.
  void TearDown() override {
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(Counted::destroyed_twice, 0);
  }

  static void Number(RecordArray<Counted>& array) {
    for (int i = 0; i < array.GetSize(); ++i) array[i].value = i * 10;
  }
  static void ExpectNumbered(const RecordArray<Counted>& array, int count) {
    ASSERT_EQ(array.GetSize(), count);
    for (int i = 0; i < count; ++i) EXPECT_EQ(array[i].value, i * 10) << "index " << i;
  }
};

TEST_F(RecordArrayTest, FirstAllocationIsExactlyTheRequestedCount) {
  for (int count : {1, 7, 1000}) {
    RecordArray<Counted> array;
    array.SetSize(count);
    EXPECT_EQ(array.GetSize(), count);
    EXPECT_EQ(array.GetCapacity(), count);
    EXPECT_EQ(Counted::live, count);
  }
  RecordArray<Counted> added;
  added.Add(Counted());
  EXPECT_EQ(added.GetCapacity(), 1);
}

TEST_F(RecordArrayTest, AutomaticStepIsAnEighthClampedTo4And1024) {
  struct Case {
    int from;
    int to;
    int capacity;
  };
  const Case cases[] = {
      {1, 2, 5},          // 1/8 is below 4
      {8, 9, 12},
      {39, 40, 43},
      {40, 41, 45},       // 40/8 = 5
      {100, 101, 112},
      {100, 112, 112},
      {100, 113, 113},    // the new count is larger than capacity plus step
      {10, 100, 100},
      {8192, 8193, 9216}, // 8192/8 = 1024
      {16000, 16001, 17024},  // 2000 clamped to 1024
  };
  for (const auto& c : cases) {
    RecordArray<Counted> array;
    array.SetSize(c.from);
    Number(array);
    array.SetSize(c.to);
    EXPECT_EQ(array.GetCapacity(), c.capacity) << c.from << " -> " << c.to;
    EXPECT_EQ(array[0].value, 0);
    EXPECT_EQ(array[c.from - 1].value, (c.from - 1) * 10) << c.from << " -> " << c.to;
    EXPECT_EQ(array[c.to - 1].value, -1) << "new slot, " << c.from << " -> " << c.to;
  }
}

TEST_F(RecordArrayTest, AddGrowsByTheAutomaticStep) {
  const std::vector<int> expected = {1, 5, 5, 5, 5, 9, 9, 9, 9, 13, 13, 13, 13, 17, 17, 17, 17, 21, 21, 21};
  RecordArray<Counted> array;
  std::vector<int> capacities;
  for (int i = 0; i < static_cast<int>(expected.size()); ++i) {
    Counted record;
    record.value = i * 10;
    EXPECT_EQ(array.Add(record), i);
    capacities.push_back(array.GetCapacity());
  }
  EXPECT_EQ(capacities, expected);
  ExpectNumbered(array, static_cast<int>(expected.size()));
}

TEST_F(RecordArrayTest, ExplicitGrowthStep) {
  RecordArray<Counted> array;
  array.SetSize(3, 10);
  EXPECT_EQ(array.GetCapacity(), 3);
  EXPECT_EQ(array.GetGrowBy(), 10);
  array.SetSize(4);
  EXPECT_EQ(array.GetCapacity(), 13);
  array.SetSize(14, -1);  // -1 keeps the step
  EXPECT_EQ(array.GetCapacity(), 23);
  EXPECT_EQ(array.GetGrowBy(), 10);
  array.SetSize(40);
  EXPECT_EQ(array.GetCapacity(), 40);

  RecordArray<Counted> wide;
  wide.SetSize(1, 5000);  // an explicit step is not clamped
  wide.SetSize(2);
  EXPECT_EQ(wide.GetCapacity(), 5001);
}

TEST_F(RecordArrayTest, NewSlotsAreDefaultRecords) {
  RecordArray<CPPStepInfo> steps;
  steps.SetSize(2);
  Fill(steps[0], 1);
  Fill(steps[1], 2);
  steps.SetSize(10);  // reallocates
  ExpectFilled(steps[0], 1);
  ExpectFilled(steps[1], 2);
  for (int i = 2; i < 10; ++i) {
    EXPECT_EQ(steps[i].GetODC(), 251) << "index " << i;
    EXPECT_EQ(steps[i].GetAuxFunc().str(), "000000") << "index " << i;
  }
  // Shrink and grow again within the capacity: the slots are new default
  // records, not what was there before.
  Fill(steps[5], 5);
  steps.SetSize(1);
  steps.SetSize(6);
  EXPECT_EQ(steps.GetCapacity(), 10);
  ExpectFilled(steps[0], 1);
  EXPECT_EQ(steps[5].GetODC(), 251);
  EXPECT_EQ(steps[5].GetSetUpName().GetLength(), 0);
  EXPECT_EQ(steps[1].GetNumberInSquence(), 0);
}

TEST_F(RecordArrayTest, ShrinkingDestroysTheRemovedRecords) {
  RecordArray<Counted> array;
  array.SetSize(10);
  Number(array);
  array.SetSize(4);
  EXPECT_EQ(Counted::live, 4);
  EXPECT_EQ(array.GetCapacity(), 10);
  ExpectNumbered(array, 4);
  array.SetSize(0);
  EXPECT_EQ(Counted::live, 0);
  EXPECT_EQ(array.GetSize(), 0);
}

TEST_F(RecordArrayTest, AddOfItsOwnElementWhileReallocating) {
  RecordArray<Counted> array;
  array.SetSize(4);
  Number(array);
  ASSERT_EQ(array.GetCapacity(), array.GetSize());
  EXPECT_EQ(array.Add(array[2]), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(array[i].value, i * 10) << "index " << i;
  EXPECT_EQ(array[4].value, 20);

  // Records with strings: a copy read from released storage would show here
  // (and under AddressSanitizer).
  RecordArray<CPPStepInfo> steps;
  steps.SetSize(1);
  Fill(steps[0], 3);
  for (int i = 0; i < 12; ++i) steps.Add(steps[i]);
  ASSERT_EQ(steps.GetSize(), 13);
  for (int i = 0; i < steps.GetSize(); ++i) ExpectFilled(steps[i], 3);
}

TEST_F(RecordArrayTest, SwapExchangesEverything) {
  RecordArray<Counted> a;
  RecordArray<Counted> b;
  a.SetSize(3, 7);
  Number(a);
  b.SetSize(1);
  b[0].value = 99;
  const int live = Counted::live;
  const int copies = Counted::copies;
  a.Swap(b);
  EXPECT_EQ(Counted::live, live);
  EXPECT_EQ(Counted::copies, copies);
  EXPECT_EQ(a.GetSize(), 1);
  EXPECT_EQ(a.GetCapacity(), 1);
  EXPECT_EQ(a.GetGrowBy(), 0);
  EXPECT_EQ(a[0].value, 99);
  EXPECT_EQ(b.GetCapacity(), 3);
  EXPECT_EQ(b.GetGrowBy(), 7);
  ExpectNumbered(b, 3);
}

TEST_F(RecordArrayTest, RemoveAllDestroysEverythingAndStartsOver) {
  RecordArray<Counted> array;
  array.SetSize(6);
  array.RemoveAll();
  EXPECT_EQ(Counted::live, 0);
  EXPECT_EQ(array.GetSize(), 0);
  EXPECT_EQ(array.GetCapacity(), 0);
  EXPECT_TRUE(array.IsEmpty());
  array.Add(Counted());
  EXPECT_EQ(array.GetCapacity(), 1);
  array.RemoveAll();
  array.RemoveAll();  // twice is harmless
  EXPECT_EQ(Counted::live, 0);
}

// When a record cannot be constructed (memory exhausted), the array keeps its
// records and destroys what it had built.
TEST_F(RecordArrayTest, FailedDefaultConstructionKeepsTheRecords) {
  for (int target : {6, 20}) {  // within the capacity, then with reallocation
    RecordArray<Counted> array;
    array.SetSize(10);
    array.SetSize(4);
    Number(array);
    Counted::defaults_before_failure = 1;
    EXPECT_THROW(array.SetSize(target), std::bad_alloc) << "to " << target;
    ExpectNumbered(array, 4);
    EXPECT_EQ(Counted::live, 4) << "to " << target;
  }
}

// Records are copied into the new block on reallocation (they have no move
// constructor); when one of those copies fails, the old block must still hold
// every record, and the records already copied must be destroyed.
TEST_F(RecordArrayTest, FailedRelocationKeepsTheRecordsAndLeaksNothing) {
  RecordArray<Counted> array;
  array.SetSize(4);
  Number(array);
  Counted::copies_before_failure = 2;  // the third record fails to move
  EXPECT_THROW(array.SetSize(5), std::bad_alloc);
  ExpectNumbered(array, 4);
  EXPECT_EQ(array.GetCapacity(), 4);
  EXPECT_EQ(Counted::live, 4);
}

}  // namespace
