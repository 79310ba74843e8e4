// The heap of wyr on Linux with the GNU C library. A job's records live in a
// few arrays of megabytes (the job as read, the driver's store, one group),
// each made and freed once. Left to itself the C library maps every such
// array afresh and unmaps it when it is freed, so that each is faulted in
// again page by page; where a page fault is costly (in a virtual machine, a
// fault leaves the guest) that costs more than the job's own reading and
// writing. So the heap keeps what is freed for the next array, and the kernel
// is asked to back the heap with transparent huge pages: one fault per 2 MiB
// instead of one per 4 KiB. Elsewhere, and under a sanitiser's allocator,
// nothing is changed.
#include "run_platform.h"

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#endif

namespace wyr {

void PrepareProcessMemory() {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  // Address space only, until it is touched: room for the arrays of a
  // million steps on a 64-bit system.
  constexpr std::size_t kHeap = sizeof(void*) >= 8 ? std::size_t{1} << 30 : std::size_t{64} << 20;
  constexpr int kDefaultTopPad = 128 * 1024;
  // Blocks up to the largest threshold come from the heap, and freed ones
  // stay there to be reused.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  // One block grows the heap by the pad, then the heap from that block on is
  // marked. When the heap cannot grow (a sanitiser's allocator, a
  // system that refuses the address space), the block comes from elsewhere
  // and nothing is marked.
  mallopt(M_TOP_PAD, static_cast<int>(kHeap));
  const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
  void* block = std::malloc(static_cast<std::size_t>(kHugePage));
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  mallopt(M_TOP_PAD, kDefaultTopPad);
  if (block == nullptr) return;
  const auto at = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t start = (at + kHugePage - 1) & ~(kHugePage - 1);
  // A kernel without transparent huge pages refuses; the heap stays as it is.
  if (end > before && at < end && start < end) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
  std::free(block);
#endif
}

}  // namespace wyr
