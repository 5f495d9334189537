#pragma once

#include <cstddef>

// How the process's heap holds large blocks.
namespace zemblo::heap {

// Blocks up to `kLargestKept` come from the heap and stay there when freed, instead of each being
// mapped, zeroed by the system and unmapped again: the software renderer draws every frame into
// a fresh buffer the size of what it repaints, up to the whole window (a window of 2560 × 1440
// needs 14 MiB). Past that much free at its top the heap shrinks by itself; the rest of what it
// holds free goes back to the system when `release` is called.
inline constexpr std::size_t kLargestKept = 16 * 1024 * 1024;

void keepLargeBlocks();

// Hands every free page of the heap back to the system.
void release();

}  // namespace zemblo::heap
