#include "platform/heap.h"

#include <gtest/gtest.h>

#include <glib.h>

#include <string>

namespace zemblo {
namespace {

// The processes this one starts (the engine's) get the heap settings; each setting the user gave
// stands, and a browser started again from this one adds none twice.
TEST(Heap, StartedProcessesGetTheChildHeapSettingsAndTheUsersOwnStand) {
  const std::string ours = heap::childHeapSettings("");
  EXPECT_EQ(ours, "glibc.malloc.arena_max=2:glibc.malloc.tcache_count=0");
  EXPECT_EQ(heap::childHeapSettings(ours), ours);
  EXPECT_EQ(heap::childHeapSettings("glibc.malloc.tcache_count=5"),
            "glibc.malloc.arena_max=2:glibc.malloc.tcache_count=5");
  EXPECT_EQ(heap::childHeapSettings("glibc.malloc.mxfast=0:glibc.malloc.arena_max=8"),
            "glibc.malloc.tcache_count=0:glibc.malloc.mxfast=0:glibc.malloc.arena_max=8");
  EXPECT_EQ(heap::childHeapSettings("glibc.malloc.arena_max=4:glibc.malloc.tcache_count=1"),
            "glibc.malloc.arena_max=4:glibc.malloc.tcache_count=1");

  // What a process started from this one really finds in its environment.
  gchar* printed = nullptr;
  gint status = 0;
  GError* error = nullptr;
  ASSERT_TRUE(
      g_spawn_command_line_sync("printenv GLIBC_TUNABLES", &printed, nullptr, &status, &error))
      << error->message;
  const std::string seen = printed ? printed : "";
  g_free(printed);
  EXPECT_NE(seen.find("glibc.malloc.tcache_count="), std::string::npos) << seen;
  EXPECT_NE(seen.find("glibc.malloc.arena_max="), std::string::npos) << seen;
}

}  // namespace
}  // namespace zemblo
