#include <gtest/gtest.h>

#include "window/browser_window.h"

namespace zemblo {
namespace {

using Size = BrowserWindow::Size;

TEST(BrowserWindowSizeTest, AFirstWindowFitsTheScreenButNeverGoesBelowTheMinimum) {
  EXPECT_EQ(BrowserWindow::defaultSizeOn(std::nullopt), (Size{1440, 920}));
  EXPECT_EQ(BrowserWindow::defaultSizeOn(Size{2560, 1440}), (Size{1440, 920}));
  EXPECT_EQ(BrowserWindow::defaultSizeOn(Size{1280, 800}), (Size{1280, 800}));
  EXPECT_EQ(BrowserWindow::defaultSizeOn(Size{1366, 768}), (Size{1366, 768}));
  EXPECT_EQ(BrowserWindow::defaultSizeOn(Size{800, 480}), (Size{880, 560}));
  // A monitor that reports no size yet says nothing about the room there is.
  EXPECT_EQ(BrowserWindow::defaultSizeOn(Size{0, 0}), (Size{1440, 920}));
}

}  // namespace
}  // namespace zemblo
