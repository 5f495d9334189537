#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "model/window_frame.h"
#include "support/window_manager.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::waitUntil;
using testing::WindowHarness;

// Another browser window of the harness's store, shown.
std::unique_ptr<BrowserWindow> showNewWindow(WindowHarness& harness, bool isPrivate) {
  auto window = std::make_unique<BrowserWindow>(
      browserWindowModels(harness.store(), harness.store().openWindow(isPrivate)),
      harness.favicons(), Scheduler::mainLoop(), harness.colorScheme());
  window->present();
  EXPECT_TRUE(waitUntil([&] { return window->get_mapped() && window->get_width() > 0; }));
  return window;
}

// Resized the way the user resizes it, through the window manager: the size it then has.
BrowserWindow::Size resize(BrowserWindow& window, int width, int height) {
  const BrowserWindow::Size before{window.get_width(), window.get_height()};
  const std::string command =
      testing::xdotoolOn(GTK_WINDOW(window.gobj()),
                         "windowsize %1 " + std::to_string(width) + " " + std::to_string(height));
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_TRUE(waitUntil(
      [&] { return window.get_width() != before.width && window.get_height() != before.height; }));
  return {window.get_width(), window.get_height()};
}

bool hasSize(BrowserWindow& window, BrowserWindow::Size size) {
  return window.get_width() == size.width && window.get_height() == size.height;
}

TEST(ReopenedWindowTest, AWindowReopensAtTheSizeAndMaximizedStateTheLastClosedOneWasLeftIn) {
  testing::WindowManager windowManager;
  ASSERT_TRUE(windowManager.ready());
  WindowHarness harness;
  BrowserWindow& first = harness.window();
  const auto left = resize(first, 1000, 650);
  // Full screen is not remembered: the size before it is.
  first.fullscreen();
  ASSERT_TRUE(waitUntil([&] { return first.is_fullscreen() && first.get_width() > left.width; }));
  // Closed the way the application closes a browser window: hidden, then dropped.
  first.set_visible(false);

  auto second = showNewWindow(harness, false);
  ASSERT_TRUE(waitUntil([&] { return hasSize(*second, left); }))
      << second->get_width() << "×" << second->get_height();
  EXPECT_FALSE(second->is_maximized());
  second->maximize();
  ASSERT_TRUE(
      waitUntil([&] { return second->is_maximized() && second->get_width() > left.width; }));
  second->set_visible(false);

  // A private window opens as the last one was left too, and its size is still there beneath
  // the maximized state; but it leaves nothing behind.
  const auto remembered = harness.defaults().data(WindowFrameMemory::kDefaultsKey);
  auto third = showNewWindow(harness, true);
  ASSERT_TRUE(waitUntil([&] { return third->is_maximized() && third->get_width() > left.width; }));
  third->unmaximize();
  ASSERT_TRUE(waitUntil([&] { return hasSize(*third, left); }))
      << third->get_width() << "×" << third->get_height();
  resize(*third, 900, 600);
  third->set_visible(false);
  EXPECT_EQ(harness.defaults().data(WindowFrameMemory::kDefaultsKey), remembered);
}

}  // namespace
}  // namespace zemblo
