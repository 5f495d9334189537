#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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

// Where the C library reads its heap settings, once, as a process starts.
inline constexpr const char* kSettingsVariable = "GLIBC_TUNABLES";

// The engine's network and web processes are started from this one and take its environment.
// The network process lives as long as the browser and every page's loads pass through its
// threads: with a heap for each thread that ever ran at once and freed blocks kept aside for each
// thread, a burst of pages leaves it half a megabyte more that it never gives back. These share two
// heaps among its threads and send freed blocks straight back to them, at no cost a page load or a
// start shows. Set in the environment before `main`: this process had read its own settings by
// then, so they are for its children only.
inline constexpr std::array<std::string_view, 2> kChildHeapSettings{
    "glibc.malloc.arena_max=2",
    "glibc.malloc.tcache_count=0",
};

// `kSettingsVariable` for the processes this one starts, given its value at start: each of the
// settings above the user didn't give, then the user's own.
std::string childHeapSettings(std::string_view given);

// `kSettingsVariable` as the user's environment gave it, for the programs the user opens from
// here (a download's application), which are none of the engine's and keep their own defaults.
std::optional<std::string> usersSettings();

}  // namespace zemblo::heap
