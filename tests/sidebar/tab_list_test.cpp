#include "model/preferences_model.h"
#include "model/window_model.h"
#include "sidebar/tab_list_view.h"

#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"
#include "sidebar/sidebar_rules.h"
#include "support/drawn_nodes.h"
#include "support/find_window.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;
using Titles = std::vector<std::string>;

// Three tabs A, B, C in this order, none of which loads.
struct ThreeTabs : SidebarHarness {
  ThreeTabs() {
    c = addTab("https://c.example/", "C");
    b = addTab("https://b.example/", "B");
    a = addTab("https://a.example/", "A");
    store().tabs().select(*b);
    pump();
  }
  // The height at which a drop lands in front of row `index` (between two rows).
  double gapAbove(size_t index) {
    const TabDensity density = store().preferences().prefs().tabDensity;
    return newTabRowPitch(density) + index * tabRowPitch(density);
  }
  std::shared_ptr<BrowserTab> a, b, c;
};

TEST(TabListTest, RowsFollowTheSpacesOrderUnderTheNewTabRow) {
  ThreeTabs harness;
  EXPECT_EQ(harness.titlesInList(), (Titles{"A", "B", "C"}));
  EXPECT_TRUE(testing::isSelected(harness.row(*harness.b)));
  EXPECT_FALSE(testing::isSelected(harness.row(*harness.a)));
  // The new-tab row comes first and is not one of the tab rows.
  const auto newTab = harness.bounds(harness.newTabRow());
  const auto first = harness.bounds(harness.row(*harness.a));
  EXPECT_LT(newTab.y, first.y);
  EXPECT_EQ(first.y - newTab.y, 34 + 3 + 1);
  EXPECT_EQ(harness.bounds(harness.row(*harness.b)).y - first.y, 36);
  EXPECT_EQ(testing::widgetNamed<Gtk::Label>(harness.newTabRow(), "NewTabRowLabel").get_text(),
            "Yeni Sekme");

  // An id that names no tab highlights nothing; no id highlights nothing.
  harness.space().selectedTabID.set(Uuid::random());
  pump();
  for (TabRow* row : harness.rows()) EXPECT_FALSE(testing::isSelected(*row));
  harness.space().selectedTabID.set(std::nullopt);
  pump();
  for (TabRow* row : harness.rows()) EXPECT_FALSE(testing::isSelected(*row));
}

TEST(TabListTest, RowsKeepTheirWidgetsWhileTheListChanges) {
  ThreeTabs harness;
  TabRow* rowB = &harness.row(*harness.b);
  harness.row(*harness.b).setHovering(true);
  harness.store().tabs().moveTabs({0}, 3);
  auto d = harness.addTab("https://d.example/", "D");
  pump();
  EXPECT_EQ(harness.titlesInList(), (Titles{"D", "B", "C", "A"}));
  EXPECT_EQ(&harness.row(*harness.b), rowB);
  EXPECT_TRUE(testing::closeButtonOf(*rowB).get_visible());  // still under the pointer
  harness.store().tabs().closeTab(*harness.c);
  pump();
  EXPECT_EQ(harness.titlesInList(), (Titles{"D", "B", "A"}));
  EXPECT_EQ(harness.rowFor(*harness.c), nullptr);
}

// A selection the user can't see is no use: the list scrolls to it, both ways, and to a new tab.
TEST(TabListTest, TheListScrollsToKeepTheSelectedTabInView) {
  ThreeTabs harness;
  while (harness.space().tabs.peek().size() < 23) harness.addTab("https://more.example/", "More");
  pump();
  Gtk::ScrolledWindow& scroller = harness.list().scroller();
  const auto inView = [&](const std::shared_ptr<BrowserTab>& tab) {
    const auto list = harness.bounds(scroller);
    const auto row = harness.bounds(harness.row(*tab));
    return row.y >= list.y && row.y + row.height <= list.y + list.height;
  };
  const auto tabs = harness.space().tabs.peek();
  ASSERT_FALSE(inView(tabs.back()));
  harness.store().tabs().select(*tabs.back());
  EXPECT_TRUE(waitUntil([&] { return inView(tabs.back()); }));
  harness.store().tabs().newTab();
  const auto added = harness.space().selectedTab();
  ASSERT_TRUE(added);
  EXPECT_TRUE(waitUntil([&] { return harness.rowFor(*added) && inView(added); }));
}

TEST(TabListTest, DensityChangesRowHeightsAndLabelSizes) {
  ThreeTabs harness;
  const auto heightOf = [&](Gtk::Widget& widget) { return harness.bounds(widget).height; };
  EXPECT_EQ(heightOf(harness.row(*harness.a)), 34);
  EXPECT_EQ(heightOf(harness.newTabRow()), 34);
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.tabDensity = TabDensity::spacious; });
  pump();
  EXPECT_EQ(heightOf(harness.row(*harness.a)), 40);
  EXPECT_EQ(heightOf(harness.newTabRow()), 40);
  const auto sizeOf = [](Gtk::Label& label) {
    auto attributes = label.get_attributes();
    PangoAttrIterator* iterator = pango_attr_list_get_iterator(attributes.gobj());
    auto* size = reinterpret_cast<PangoAttrSize*>(
        pango_attr_iterator_get(iterator, PANGO_ATTR_ABSOLUTE_SIZE));
    const double points = size ? size->size / double(PANGO_SCALE) : 0;
    pango_attr_iterator_destroy(iterator);
    return points;
  };
  EXPECT_EQ(sizeOf(testing::titleOf(harness.row(*harness.a))), 13.5);
  EXPECT_EQ(sizeOf(testing::widgetNamed<Gtk::Label>(harness.newTabRow(), "NewTabRowLabel")), 13.5);
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.tabDensity = TabDensity::compact; });
  pump();
  EXPECT_EQ(heightOf(harness.row(*harness.b)), 28);
  EXPECT_EQ(sizeOf(testing::titleOf(harness.row(*harness.b))), 12);
}

TEST(TabListTest, TheNewTabRowOpensABlankTabOrShowsTheOneThereIs) {
  ThreeTabs harness;
  auto& store = harness.store();
  store.tabs().commandBar.set(CommandBarMode::newTab);
  harness.window().unset_focus();
  harness.newTabRow().tap();
  pump();
  ASSERT_EQ(harness.tabs().size(), 4u);
  const auto blank = harness.tabs().front();
  EXPECT_FALSE(blank->url.peek());
  EXPECT_EQ(harness.space().selectedTab(), blank);
  EXPECT_FALSE(store.tabs().commandBar.peek());
  EXPECT_EQ(harness.window().get_focus(),
            &testing::widgetNamed(harness.content(), "StartPageField"));
  EXPECT_EQ(harness.titlesInList(), (Titles{"Yeni Sekme", "A", "B", "C"}));

  store.tabs().select(*harness.c);
  harness.newTabRow().tap();
  pump();
  EXPECT_EQ(harness.tabs().size(), 4u);
  EXPECT_EQ(harness.space().selectedTab(), blank);
}

TEST(TabListTest, DroppingARowMovesItsTabToTheGap) {
  ThreeTabs harness;
  auto& list = harness.list();
  // The second tab above the first.
  EXPECT_TRUE(list.dropPayload(tabDragPayload(harness.b->id), harness.gapAbove(0) + 4));
  pump();
  EXPECT_EQ(harness.titlesInSpace(), (Titles{"B", "A", "C"}));
  EXPECT_EQ(harness.titlesInList(), (Titles{"B", "A", "C"}));
  // The first tab below the last.
  EXPECT_TRUE(list.dropPayload(tabDragPayload(harness.b->id), harness.gapAbove(3) + 30));
  pump();
  EXPECT_EQ(harness.titlesInSpace(), (Titles{"A", "C", "B"}));
  // Onto its own place: nothing moves and nothing is saved for it.
  EXPECT_TRUE(list.dropPayload(tabDragPayload(harness.c->id), harness.gapAbove(1) + 3));
  EXPECT_EQ(harness.titlesInSpace(), (Titles{"A", "C", "B"}));
  // The selection is the tab's, not the place's.
  EXPECT_EQ(harness.space().selectedTab(), harness.b);
}

TEST(TabListTest, DropsFindTheDraggedTabWhereItIsNowAndRefuseStrangers) {
  ThreeTabs harness;
  auto& list = harness.list();
  const std::string payload = tabDragPayload(harness.c->id);  // C was third when dragged
  // While the row was in the air, a tab opened at the top and A closed.
  auto d = harness.addTab("https://d.example/", "D");
  harness.store().tabs().closeTab(*harness.a);
  pump();
  ASSERT_EQ(harness.titlesInSpace(), (Titles{"D", "B", "C"}));
  EXPECT_TRUE(list.dropPayload(payload, harness.gapAbove(1) + 2));
  pump();
  EXPECT_EQ(harness.titlesInSpace(), (Titles{"D", "C", "B"}));

  // Foreign text, a tab of another space, and a tab that is gone are all refused.
  const Titles before = harness.titlesInSpace();
  EXPECT_FALSE(list.dropPayload("https://example.com/", harness.gapAbove(0)));
  EXPECT_FALSE(list.dropPayload(harness.b->id.str(), harness.gapAbove(0)));
  auto& other = *harness.store().tabs().spaces.peek()[1];
  auto elsewhere = std::make_shared<BrowserTab>(Uuid::random(), Url::parse("https://e.example/"));
  other.tabs.mutate([&](Space::TabList& tabs) { tabs.push_back(elsewhere); });
  EXPECT_FALSE(list.dropPayload(tabDragPayload(elsewhere->id), harness.gapAbove(0)));
  EXPECT_FALSE(list.dropPayload(tabDragPayload(harness.a->id), harness.gapAbove(0)));
  EXPECT_EQ(harness.titlesInSpace(), before);
  EXPECT_EQ(other.tabs.peek().size(), 1u);
}

TEST(TabListTest, ARealDragMovesATabToThePointer) {
  ThreeTabs harness;
  pump();
  auto& rowC = harness.row(*harness.c);
  const auto from = harness.bounds(rowC);
  const auto to = harness.bounds(harness.row(*harness.a));
  const int x = int(from.x + from.width / 2);
  const int startY = int(from.y + from.height / 2);
  const int endY = int(to.y + 4);  // the upper half of the first row: in front of it
  std::string command =
      "mousemove --window %1 " + std::to_string(x) + " " + std::to_string(startY) + " mousedown 1";
  for (int step = 1; step <= 10; ++step) {
    command += " sleep 0.05 mousemove --window %1 " + std::to_string(x) + " " +
               std::to_string(startY + (endY - startY) * step / 10);
  }
  command += " sleep 0.3 mouseup 1";
  harness.input(command);
  ASSERT_TRUE(waitUntil([&] {
    return harness.titlesInSpace() == Titles{"C", "A", "B"};
  })) << ::testing::PrintToString(harness.titlesInSpace());
  pump();
  EXPECT_EQ(harness.titlesInList(), (Titles{"C", "A", "B"}));
  // No insertion line is left drawn between the rows.
  EXPECT_FALSE(testing::ownFillDrawnBy(testing::widgetNamed(harness.list(), "TabColumn").gobj()));
}

TEST(TabListTest, ClosingTheSelectedTabSelectsTheTabThatTakesItsPlace) {
  ThreeTabs harness;
  auto& rowB = harness.row(*harness.b);
  EXPECT_FALSE(testing::closeButtonOf(rowB).get_visible());
  rowB.setHovering(true);
  pump();
  ASSERT_TRUE(testing::closeButtonOf(rowB).get_visible());
  EXPECT_EQ(testing::closeButtonOf(rowB).get_tooltip_text(), "Sekmeyi kapat (Ctrl+W)");
  testing::press(testing::closeButtonOf(rowB));
  pump();
  EXPECT_EQ(harness.titlesInSpace(), (Titles{"A", "C"}));
  EXPECT_EQ(harness.space().selectedTab(), harness.c);
  EXPECT_TRUE(testing::isSelected(harness.row(*harness.c)));

  // The last tab: its neighbour above takes over.
  harness.row(*harness.c).setHovering(true);
  testing::press(testing::closeButtonOf(harness.row(*harness.c)));
  pump();
  EXPECT_EQ(harness.space().selectedTab(), harness.a);
  // Closing an unselected tab leaves the selection alone.
  auto d = harness.addTab("https://d.example/", "D");
  harness.row(*d).closeClicked();
  pump();
  EXPECT_EQ(harness.space().selectedTab(), harness.a);
  // The only tab: nothing is selected and only the new-tab row is left.
  harness.row(*harness.a).closeClicked();
  pump();
  EXPECT_FALSE(harness.space().selectedTabID.peek());
  EXPECT_TRUE(harness.rows().empty());
  EXPECT_TRUE(harness.newTabRow().get_visible());
}

TEST(TabListTest, AnotherSpaceReplacesTheWholeList) {
  ThreeTabs harness;
  auto& store = harness.store();
  TabRow* oldRow = &harness.row(*harness.a);
  auto second = store.tabs().spaces.peek()[1];
  auto there = std::make_shared<BrowserTab>(Uuid::random(), Url::parse("https://x.example/"), "X");
  second->tabs.mutate([&](Space::TabList& tabs) { tabs.push_back(there); });
  store.tabs().select(*second);
  pump();
  // The list is announced by the space it shows.
  EXPECT_EQ(testing::accessibleName(GTK_WIDGET(harness.list().scroller().gobj())),
            second->name.peek());
  EXPECT_EQ(harness.titlesInList(), (Titles{"X"}));
  store.tabs().select(*store.tabs().spaces.peek()[0]);
  pump();
  EXPECT_EQ(harness.titlesInList(), (Titles{"A", "B", "C"}));
  // Fresh rows with fresh state.
  EXPECT_FALSE(testing::closeButtonOf(harness.row(*harness.a)).get_visible());
  (void)oldRow;
}

}  // namespace
}  // namespace zemblo
