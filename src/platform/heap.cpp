#include "platform/heap.h"

#include <malloc.h>

namespace zemblo::heap {

void keepLargeBlocks() {
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestKept));
  // Freeing never shrinks the heap by itself; `release` does, at a quiet moment.
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kLargestKept));
}

void release() { malloc_trim(0); }

}  // namespace zemblo::heap
