#include "widgets/heap_release.h"

#include <gtest/gtest.h>

#include "web/web_harness.h"

namespace zemblo {
namespace {

using testing::waitUntil;

// While the window draws, the heap keeps what its frames freed; once it is still the heap is
// handed back, once.
TEST(HeapReleaseTest, GivesTheHeapBackOnceTheWindowIsStill) {
  testing::initializeGtk();
  Gtk::Window window;
  window.set_default_size(200, 120);
  HeapRelease release(window);
  window.present();
  int frames = 0;
  window.add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>&) {
    window.queue_draw();
    return ++frames < 10;
  });
  ASSERT_TRUE(waitUntil([&] { return frames >= 10; }));
  EXPECT_EQ(release.releases(), 0);
  EXPECT_TRUE(waitUntil([&] { return release.releases() == 1; }, std::chrono::seconds(5)));
}

}  // namespace
}  // namespace zemblo
