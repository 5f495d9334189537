#include <gtest/gtest.h>

#include <functional>

#include "sidebar/sidebar_harness.h"
#include "support/tooltips.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::shownTooltip;
using testing::SidebarHarness;
using testing::TooltipQuestions;
using testing::waitUntil;

// A control whose tooltip must give way to what it opens, found in a fresh window.
struct Opener {
  std::string name;
  std::function<Gtk::Widget&(SidebarHarness&)> tooltipOwner;
  std::string click;  // the button that opens it
  std::function<Gtk::Popover*(SidebarHarness&)> opened;
  // What must be under the pointer first for the control to stay where it is: the tab row shows
  // its close button only under the pointer, and the pill makes room for its copy button then,
  // which moves the shield.
  std::function<Gtk::Widget*(SidebarHarness&)> hoverFirst = [](SidebarHarness&) { return nullptr; };
  // A menu that opens at the pointer lies under it: the toolkit asks the menu, not the control.
  bool underThePointer = false;
};

TabRow& firstRow(SidebarHarness& harness) { return *harness.list().rows().front(); }

// A tooltip never stands over the menu or popover its control opened: it goes when the menu
// comes. Each control in a window of its own, with a page in its tab.
TEST(TooltipTest, AControlsTooltipGivesWayToWhatTheControlOpened) {
  const std::vector<Opener> openers{
      {"downloads",
       [](auto& h) -> Gtk::Widget& { return h.sidebar().bottomBar().downloadsButton().face(); },
       "1", [](auto& h) { return &h.sidebar().bottomBar().downloadsButton().popover(); }},
      {"moon", [](auto& h) -> Gtk::Widget& { return h.sidebar().bottomBar().darkModeButton(); },
       "3", [](auto& h) { return h.sidebar().bottomBar().darkModeButton().contextMenu(); }},
      {"shield", [](auto& h) -> Gtk::Widget& { return h.pill().shield(); }, "1",
       [](auto& h) { return &h.pill().shield().popover(); },
       [](auto& h) -> Gtk::Widget* { return &h.pill(); }},
      {"favourite tile",
       [](auto& h) -> Gtk::Widget& { return *h.sidebar().favoritesGrid().tiles().front(); }, "3",
       [](auto& h) { return h.sidebar().favoritesGrid().tiles().front()->menu(); },
       [](auto&) -> Gtk::Widget* { return nullptr; }, true},
      {"tab row", [](auto& h) -> Gtk::Widget& { return firstRow(h).closeButton(); }, "3",
       [](auto& h) { return firstRow(h).contextMenu(); },
       [](auto& h) -> Gtk::Widget* { return &firstRow(h); }, true},
  };
  for (const Opener& opener : openers) {
    SCOPED_TRACE(opener.name);
    SidebarHarness harness;
    harness.server().page("/page", "<title>Page</title>");
    auto tab = harness.open(harness.server().url("/page"));
    ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "Page" && !tab->isLoading.peek(); }));
    pump();
    if (Gtk::Widget* first = opener.hoverFirst(harness)) {
      harness.input(harness.pointAt(*first));
      ASSERT_TRUE(waitUntil([&] {
        return harness.pill().copyButton().get_visible() || firstRow(harness).closeButtonShown();
      }));
      pump();
    }
    Gtk::Widget& owner = opener.tooltipOwner(harness);
    const std::string tooltip = owner.get_tooltip_text();
    ASSERT_TRUE(harness.hover(owner));
    // The toolkit's tooltips outlive a window and may still take the pointer for in the last one.
    gtk_widget_trigger_tooltip_query(owner.gobj());
    ASSERT_TRUE(waitUntil([&] { return shownTooltip(harness.window()) == tooltip; }));
    harness.input("click " + opener.click);
    ASSERT_TRUE(
        waitUntil([&] { return opener.opened(harness) && opener.opened(harness)->get_mapped(); }));
    EXPECT_TRUE(waitUntil([&] { return shownTooltip(harness.window()).empty(); }));
    if (!opener.underThePointer) {
      // The toolkit asks the control again once the pointer moves over it; while its menu is
      // open the control has no tooltip to give.
      TooltipQuestions questions(owner);
      harness.input("mousemove_relative 1 0");
      ASSERT_TRUE(waitUntil([&] { return questions.count() >= 2; }));
      pump();
      EXPECT_EQ(shownTooltip(harness.window()), "");
    }
    SidebarHarness::screenshot("tooltip-gives-way-" + opener.name);
  }
}

}  // namespace
}  // namespace zemblo
