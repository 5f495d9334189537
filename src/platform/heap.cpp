#include "platform/heap.h"

#include <glib.h>
#include <malloc.h>

namespace zemblo::heap {

namespace {

// GLib's slice allocator keeps slabs of every size it has served and hands one back only when all
// of it is free: after many tabs open and close, megabytes stay scattered in them. In its plain
// malloc mode that memory is the heap's, which `release` returns. The mode is fixed at GLib's own
// start-up, before `main`, so it is chosen here in the program's pre-initializers, which run
// before every library's; a G_SLICE setting in the environment still has the last word.
void allocateSlicesWithMalloc(int, char**, char**) {
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  g_slice_set_config(G_SLICE_CONFIG_ALWAYS_MALLOC, TRUE);
  G_GNUC_END_IGNORE_DEPRECATIONS
}

}  // namespace

// Part of every program that uses this heap's settings.
__attribute__((section(".preinit_array"),
               used)) void (*const kAllocateSlicesWithMalloc)(int, char**,
                                                              char**) = allocateSlicesWithMalloc;

void keepLargeBlocks() {
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestKept));
  // Freeing never shrinks the heap by itself; `release` does, at a quiet moment.
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kLargestKept));
}

void release() { malloc_trim(0); }

}  // namespace zemblo::heap
