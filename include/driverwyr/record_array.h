// RecordArray<T>: the growable array in which records are handed to the driver.
//
// A host collects its records (CPPStepInfo, CPPTool, CPPSetup, CPPMachine,
// CPPBGauge) in a RecordArray and passes a pointer to it to the Init... entry
// points; the driver copies the records and never writes to the host's array.
// The driver's store keeps its own RecordArrays.
//
// Records are held by value, in order, in one contiguous block. New slots are
// zero-filled and then default-constructed; removing elements destroys them.
// The first block is allocated for exactly the requested count. When a growing
// count later exceeds the capacity, the capacity becomes the larger of the new
// count and the old capacity plus the growth step; the automatic growth step
// (0) is the current count divided by 8, clamped to 4..1024 slots. Records are
// moved to the new block when it is reallocated.
#ifndef DRIVERWYR_RECORD_ARRAY_H_
#define DRIVERWYR_RECORD_ARRAY_H_

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

template <typename T>
class RecordArray {
 public:
  RecordArray() = default;
  RecordArray(const RecordArray&) = delete;
  RecordArray& operator=(const RecordArray&) = delete;
  // Moving takes over the records, capacity and growth step; `other` is left
  // empty, with the automatic growth step.
  RecordArray(RecordArray&& other) noexcept { Swap(other); }
  RecordArray& operator=(RecordArray&& other) noexcept {
    RecordArray taken(std::move(other));
    Swap(taken);
    return *this;
  }
  ~RecordArray() { RemoveAll(); }

  // Number of records held.
  int GetSize() const { return count_; }
  int GetCount() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  // Number of slots allocated.
  int GetCapacity() const { return capacity_; }
  // Growth step: 0 is automatic (see above).
  int GetGrowBy() const { return grow_by_; }

  // Element access; `index` must lie in 0..GetSize()-1.
  T& operator[](int index) { return data_[index]; }
  const T& operator[](int index) const { return data_[index]; }
  T& ElementAt(int index) { return data_[index]; }
  const T& GetAt(int index) const { return data_[index]; }
  void SetAt(int index, const T& record) { data_[index] = record; }
  T* GetData() { return data_; }
  const T* GetData() const { return data_; }

  // Resizes to `new_size` records: new ones are default records, removed ones
  // are destroyed. A `grow_by` of -1 keeps the growth step. Throws
  // std::bad_alloc when memory runs out; the array is then unchanged.
  void SetSize(int new_size, int grow_by = -1) {
    if (grow_by >= 0) grow_by_ = grow_by;
    if (new_size <= 0) {
      RemoveAll();
      return;
    }
    if (data_ == nullptr) {
      data_ = Allocate(new_size);
      capacity_ = new_size;
      ConstructSlots(0, new_size);
      count_ = new_size;
      return;
    }
    if (new_size <= capacity_) {
      if (new_size > count_) {
        ConstructSlots(count_, new_size);
      } else {
        for (int i = new_size; i < count_; ++i) data_[i].~T();
      }
      count_ = new_size;
      return;
    }
    int step = grow_by_;
    if (step == 0) step = std::clamp(count_ / 8, 4, 1024);
    const int new_capacity = std::max(new_size, capacity_ + step);
    T* block = Allocate(new_capacity);
    // Records are moved into the new block (copied when moving could throw),
    // then the old ones are destroyed and the new tail is constructed. If a
    // copy fails, the array is left as it was.
    int moved = 0;
    try {
      for (; moved < count_; ++moved) new (&block[moved]) T(std::move_if_noexcept(data_[moved]));
    } catch (...) {
      for (int i = 0; i < moved; ++i) block[i].~T();
      ::operator delete(static_cast<void*>(block));
      throw;
    }
    for (int i = 0; i < count_; ++i) data_[i].~T();
    ::operator delete(static_cast<void*>(data_));
    data_ = block;
    capacity_ = new_capacity;
    ConstructSlots(count_, new_size);
    count_ = new_size;
  }

  // Appends a copy of `record` in a new default slot; returns its index.
  int Add(const T& record) {
    if (&record >= data_ && &record < data_ + count_) {
      const T copy(record);  // `record` lives in the block that may move
      return Add(copy);
    }
    const int index = count_;
    SetSize(count_ + 1);
    data_[index] = record;
    return index;
  }

  // Exchanges the contents (records, capacity and growth step) with `other`.
  void Swap(RecordArray& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(count_, other.count_);
    std::swap(capacity_, other.capacity_);
    std::swap(grow_by_, other.grow_by_);
  }

  // Destroys every record and releases the storage.
  void RemoveAll() {
    for (int i = 0; i < count_; ++i) data_[i].~T();
    ::operator delete(static_cast<void*>(data_));
    data_ = nullptr;
    count_ = 0;
    capacity_ = 0;
  }

 private:
  static T* Allocate(int slots) {
    if (static_cast<std::size_t>(slots) > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    // Each slot is zero-filled when a record is constructed in it.
    return static_cast<T*>(::operator new(sizeof(T) * static_cast<std::size_t>(slots)));
  }
  void ConstructSlots(int from, int to) {
    int i = from;
    try {
      for (; i < to; ++i) {
        std::memset(static_cast<void*>(&data_[i]), 0, sizeof(T));
        new (&data_[i]) T();
      }
    } catch (...) {
      for (int j = from; j < i; ++j) data_[j].~T();
      throw;
    }
  }

  T* data_ = nullptr;   // element storage
  int count_ = 0;       // records held
  int capacity_ = 0;    // slots allocated
  int grow_by_ = 0;     // growth step, 0 = automatic
};

#endif  // DRIVERWYR_RECORD_ARRAY_H_
