#include <gtest/gtest.h>

#include <cmath>

#include "window/sidebar_resize_handle.h"

namespace zemblo {
namespace {

TEST(SidebarResizeWidthTest, TheDragMovesTheEdgeWithinTheRangeFromWhereItStarted) {
  // On the left, dragging right widens; on the right, dragging left does.
  EXPECT_EQ(SidebarResizeHandle::widthFor(260, 50, true), 310);
  EXPECT_EQ(SidebarResizeHandle::widthFor(260, -50, false), 310);
  EXPECT_EQ(SidebarResizeHandle::widthFor(260, 50, false), 210);
  EXPECT_EQ(SidebarResizeHandle::widthFor(260, 300, true), 400);
  EXPECT_EQ(SidebarResizeHandle::widthFor(260, -100, true), 200);
  EXPECT_EQ(SidebarResizeHandle::widthFor(260, 0.5, true), 260.5);
  // A stored width out of range snaps in on the first move; one that is no number starts over.
  EXPECT_EQ(SidebarResizeHandle::widthFor(5000, 1, true), 400);
  EXPECT_EQ(SidebarResizeHandle::widthFor(-20, 1, true), 200);
  EXPECT_EQ(SidebarResizeHandle::widthFor(std::nan(""), 10, true), 274);
}

}  // namespace
}  // namespace zemblo
