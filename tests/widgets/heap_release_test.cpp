#include "widgets/heap_release.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "web/web_harness.h"

namespace zemblo {
namespace {

using testing::waitUntil;

constexpr size_t kMegabyte = size_t(1) << 20;

// The memory of the process the system counts as resident, in bytes.
size_t residentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * size_t(sysconf(_SC_PAGESIZE));
}

// 64 MB written and freed, which the allocator keeps until the heap is handed back: it is told
// not to give back the heap's top on its own.
class FreedHeap {
 public:
  FreedHeap() {
    mallopt(M_TRIM_THRESHOLD, int(1024 * kMegabyte));
    std::vector<std::unique_ptr<char[]>> blocks;
    for (size_t i = 0; i < 64 * kMegabyte / kBlock; ++i) {
      blocks.push_back(std::make_unique<char[]>(kBlock));
      std::memset(blocks.back().get(), 1, kBlock);
    }
  }

 private:
  // Below the size the allocator maps on its own.
  static constexpr size_t kBlock = 16 * 1024;
};

// While the window draws, the heap keeps what its frames freed; once it is still the heap is
// handed back to the system.
TEST(HeapReleaseTest, GivesTheHeapBackOnceTheWindowIsStill) {
  testing::initializeGtk();
  Gtk::Window window;
  window.set_default_size(200, 120);
  HeapRelease release(window);
  window.present();
  const FreedHeap freed;
  const size_t held = residentBytes();
  int frames = 0;
  window.add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>&) {
    window.queue_draw();
    return ++frames < 10;
  });
  ASSERT_TRUE(waitUntil([&] { return frames >= 10; }));
  EXPECT_GT(residentBytes() + 16 * kMegabyte, held);
  EXPECT_TRUE(
      waitUntil([&] { return residentBytes() + 32 * kMegabyte < held; }, std::chrono::seconds(5)));
}

}  // namespace
}  // namespace zemblo
