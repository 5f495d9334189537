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

// Threads that come and go (the toolkit's and the engine's workers, the icons' decoding) would
// each be given an arena of their own, kept for the life of the process with the scraps the thread
// left in it, which `release` cannot hand back while any block of a page lives. Past `kArenas`
// they share.
inline constexpr int kArenas = 2;
void shareArenas();

// GLib before 2.76 takes its small blocks (every object, signal connection and list node of the
// toolkit and the engine) from slabs of its own that it never hands back while one block of a slab
// lives, so a burst of closed tabs leaves megabytes scattered there. It reads how to allocate
// from the environment the process started with only: this restarts the process in place, with
// the same arguments, taking those blocks from the heap (which `release` shrinks). Returns at
// once when that is already so, when the library takes them from the heap anyway or when the
// restart failed.
void restartWithSmallBlocksOnHeap(char** argv);

}  // namespace zemblo::heap
