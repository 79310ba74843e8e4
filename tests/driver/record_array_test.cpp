// RecordArray: growth, construction and destruction of the records it holds,
// and the all-or-nothing replacement of the store's arrays built on it.
#include <gtest/gtest.h>

#include <new>
#include <tuple>
#include <utility>

#include "driver/ppdb.h"
#include "driverwyr/driverwyr.h"
#include "records/record_fields.h"

namespace {

using records_testing::ExpectFilled;
using records_testing::Fill;

// A record that counts its constructions and destructions and can be told to
// fail (as a copy that runs out of memory would) after a number of calls.
struct Counted {
  static inline int live = 0;
  static inline int destroyed_twice = 0;
  static inline int defaults_before_failure = -1;  // -1: never fail
  static inline int copies_before_failure = -1;
  // A destroyed record reads as kDestroyed while its storage is still there.
  static constexpr int kDestroyed = -99;

  // Counts a construction, or throws when `countdown` has run out.
  static void Construct(int& countdown) {
    if (countdown >= 0 && countdown-- == 0) throw std::bad_alloc();
    ++live;
  }
  Counted() { Construct(defaults_before_failure); }
  Counted(const Counted& other) : value(other.value) { Construct(copies_before_failure); }
  // A copy by assignment can run out of memory too (a record's strings).
  Counted& operator=(const Counted& other) {
    if (copies_before_failure >= 0 && copies_before_failure-- == 0) throw std::bad_alloc();
    value = other.value;
    return *this;
  }
  ~Counted() {
    if (value == kDestroyed) ++destroyed_twice;
    --live;
    value = kDestroyed;
  }

  int value = -1;
};

class RecordArrayTest : public ::testing::Test {
 protected:
  void SetUp() override { Counted::live = Counted::destroyed_twice = 0; }
  // Every record constructed by a test has been destroyed exactly once.
  void TearDown() override {
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(Counted::destroyed_twice, 0);
    Counted::defaults_before_failure = Counted::copies_before_failure = -1;
  }

  // An array of `count` records numbered 0, 10, 20, ...
  static void Number(RecordArray<Counted>& array, int count, int grow_by = -1) {
    array.SetSize(count, grow_by);
    for (int i = 0; i < count; ++i) array[i].value = i * 10;
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
    EXPECT_EQ(array.GetCapacity(), count);
    EXPECT_EQ(Counted::live, count);
  }
  RecordArray<Counted> added;
  added.Add(Counted());
  EXPECT_EQ(added.GetCapacity(), 1);
  added.Add(Counted());  // then by the automatic step
  EXPECT_EQ(added.GetCapacity(), 5);
}

TEST_F(RecordArrayTest, AutomaticStepIsAnEighthClampedTo4And1024) {
  const struct {
    int from;
    int to;
    int capacity;
  } cases[] = {
      {1, 2, 5}, {8, 9, 12}, {39, 40, 43},  // an eighth below 4
      {40, 41, 45}, {100, 101, 112}, {100, 112, 112}, {8192, 8193, 9216},
      {100, 113, 113}, {10, 100, 100},     // the new count is larger than capacity plus step
      {16000, 16001, 17024},               // 2000 clamped to 1024
  };
  for (const auto& c : cases) {
    RecordArray<Counted> array;
    Number(array, c.from);
    array.SetSize(c.to);
    EXPECT_EQ(array.GetCapacity(), c.capacity) << c.from << " -> " << c.to;
    EXPECT_EQ(array[0].value, 0);
    EXPECT_EQ(array[c.from - 1].value, (c.from - 1) * 10) << c.from << " -> " << c.to;
    EXPECT_EQ(array[c.to - 1].value, -1) << "new slot, " << c.from << " -> " << c.to;
  }
}

TEST_F(RecordArrayTest, ExplicitGrowthStep) {
  RecordArray<Counted> array;
  array.SetSize(3, 10);
  array.SetSize(4);
  EXPECT_EQ(array.GetCapacity(), 13);
  array.SetSize(14, -1);  // -1 keeps the step
  EXPECT_EQ(array.GetCapacity(), 23);
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
  for (int i = 2; i < 10; ++i) EXPECT_EQ(steps[i].GetODC(), 251) << "index " << i;
  // Shrink and grow again within the capacity: the slots are new default
  // records, not what was there before.
  Fill(steps[5], 5);
  steps.SetSize(1);
  steps.SetSize(6);
  EXPECT_EQ(steps.GetCapacity(), 10);
  ExpectFilled(steps[0], 1);
  EXPECT_EQ(steps[5].GetODC(), 251);
  EXPECT_EQ(steps[5].GetSetUpName().GetLength(), 0);
}

TEST_F(RecordArrayTest, ShrinkingAndRemoveAllDestroyTheRecords) {
  RecordArray<Counted> array;
  Number(array, 10);
  array.SetSize(4);
  EXPECT_EQ(Counted::live, 4);
  EXPECT_EQ(array.GetCapacity(), 10);
  ExpectNumbered(array, 4);
  array.SetSize(0);
  EXPECT_EQ(Counted::live, 0);
  EXPECT_EQ(array.GetCapacity(), 0);
  array.Add(Counted());  // starts over with an exact first block
  EXPECT_EQ(array.GetCapacity(), 1);
  array.RemoveAll();
  array.RemoveAll();  // twice is harmless
}

TEST_F(RecordArrayTest, AddOfItsOwnElementWhileReallocating) {
  RecordArray<Counted> array;
  Number(array, 4);
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
  Number(a, 3, 7);
  b.SetSize(1);
  b[0].value = 99;
  a.Swap(b);
  EXPECT_EQ(a[0].value, 99);
  EXPECT_EQ(std::make_tuple(a.GetSize(), a.GetCapacity(), a.GetGrowBy()), std::make_tuple(1, 1, 0));
  ExpectNumbered(b, 3);
  EXPECT_EQ(std::make_tuple(b.GetCapacity(), b.GetGrowBy()), std::make_tuple(3, 7));
}

// Moving hands over the block itself: no record is copied or destroyed, the
// source is left empty, and what the target held before is destroyed.
TEST_F(RecordArrayTest, MovingHandsOverTheBlock) {
  RecordArray<Counted> a;
  Number(a, 3, 7);
  const Counted* block = a.GetData();
  Counted::copies_before_failure = 0;  // a copy would throw
  RecordArray<Counted> b(std::move(a));
  EXPECT_EQ(b.GetData(), block);
  ExpectNumbered(b, 3);
  EXPECT_EQ(std::make_tuple(b.GetCapacity(), b.GetGrowBy()), std::make_tuple(3, 7));
  EXPECT_EQ(std::make_tuple(a.GetSize(), a.GetCapacity(), a.GetGrowBy(), a.GetData()),
            std::make_tuple(0, 0, 0, static_cast<Counted*>(nullptr)));

  RecordArray<Counted> c;
  Counted::copies_before_failure = -1;
  Number(c, 5);
  Counted::copies_before_failure = 0;
  c = std::move(b);
  EXPECT_EQ(Counted::live, 3);  // c's five records are gone, b's three are c's
  EXPECT_EQ(c.GetData(), block);
  ExpectNumbered(c, 3);
  EXPECT_TRUE(b.IsEmpty());
  RecordArray<Counted>& same = c;
  c = std::move(same);  // moving onto itself keeps the records
  ExpectNumbered(c, 3);
}

// When a record cannot be constructed or copied (memory exhausted), the array
// keeps its records and destroys what it had built: within the capacity, when
// reallocating, and when a copy into the new block fails.
TEST_F(RecordArrayTest, FailedConstructionOrRelocationKeepsTheRecords) {
  for (int target : {6, 20}) {
    RecordArray<Counted> array;
    array.SetSize(10);
    Number(array, 4);
    Counted::defaults_before_failure = 1;
    EXPECT_THROW(array.SetSize(target), std::bad_alloc) << "to " << target;
    ExpectNumbered(array, 4);
    EXPECT_EQ(Counted::live, 4) << "to " << target;
  }
  RecordArray<Counted> array;
  Number(array, 4);
  Counted::copies_before_failure = 2;  // the third record fails to move
  EXPECT_THROW(array.SetSize(5), std::bad_alloc);
  ExpectNumbered(array, 4);
  EXPECT_EQ(array.GetCapacity(), 4);
  EXPECT_EQ(Counted::live, 4);
}

// Replacing the store's records is all or nothing: whichever copy fails, the
// old records stay.
TEST_F(RecordArrayTest, FailedReplacementKeepsTheOldRecords) {
  RecordArray<Counted> stored;
  Number(stored, 2);
  RecordArray<Counted> host;
  host.SetSize(5);
  for (int fail_at = 0; fail_at < 5; ++fail_at) {
    Counted::copies_before_failure = fail_at;
    EXPECT_THROW(driverwyr::ReplaceRecords(stored, &host), std::bad_alloc) << "copy " << fail_at;
    ExpectNumbered(stored, 2);
  }
  Counted::copies_before_failure = -1;
  driverwyr::ReplaceRecords(stored, &host);
  EXPECT_EQ(stored.GetSize(), 5);
  EXPECT_EQ(stored[4].value, -1);
}

// The store's array is sized once for the host's records, whatever it held
// before: one block of exactly their count, however many there are.
TEST_F(RecordArrayTest, ReplacementAllocatesOneBlockOfTheHostsCount) {
  for (const int count : {1, 5, 5000, 40000}) {
    RecordArray<Counted> stored;
    Number(stored, 7);
    RecordArray<Counted> host;
    Number(host, count);
    driverwyr::ReplaceRecords(stored, &host);
    EXPECT_EQ(stored.GetCapacity(), count);
    ExpectNumbered(stored, count);
  }
}

}  // namespace
