#include "platform/heap.h"

#include <glib.h>
#include <malloc.h>

#include <cstdlib>
#include <optional>

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

// Set before `main`, so before any thread runs, and after the C library's own start, which takes
// the environment afresh from the process's start: a pre-initializer's change would be lost.
// What the user's environment held, kept on first use, which is before ours is added.
std::optional<std::string>& usersOwn() {
  static std::optional<std::string> given = [] {
    const char* value = std::getenv(kSettingsVariable);
    return value ? std::optional<std::string>(value) : std::nullopt;
  }();
  return given;
}

void settleChildHeaps(int, char**, char**) {
  const char* given = usersOwn() ? usersOwn()->c_str() : nullptr;
  const std::string settings = childHeapSettings(given ? given : "");
  if (settings != (given ? given : "")) setenv(kSettingsVariable, settings.c_str(), 1);
}

}  // namespace

// Part of every program that uses this heap's settings.
__attribute__((section(".preinit_array"),
               used)) void (*const kAllocateSlicesWithMalloc)(int, char**,
                                                              char**) = allocateSlicesWithMalloc;
__attribute__((section(".init_array"),
               used)) void (*const kSettleChildHeaps)(int, char**, char**) = settleChildHeaps;

void keepLargeBlocks() {
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestKept));
  // Freeing never shrinks the heap by itself; `release` does, at a quiet moment.
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kLargestKept));
}

void release() { malloc_trim(0); }

std::optional<std::string> usersSettings() { return usersOwn(); }

std::string childHeapSettings(std::string_view given) {
  std::string settings;
  for (std::string_view setting : kChildHeapSettings) {
    const std::string_view name = setting.substr(0, setting.find('=') + 1);
    const bool givenAlready =
        given.starts_with(name) || given.find(':' + std::string(name)) != std::string_view::npos;
    if (givenAlready) continue;
    if (!settings.empty()) settings += ':';
    settings += setting;
  }
  if (settings.empty()) return std::string(given);
  if (!given.empty()) settings += ':' + std::string(given);
  return settings;
}

}  // namespace zemblo::heap
