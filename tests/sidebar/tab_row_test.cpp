#include "sidebar/tab_row.h"

#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include <cmath>
#include <cstdint>

#include "model/favorites_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "sidebar/sidebar_harness.h"
#include "support/drawn_nodes.h"
#include "support/drawn_tiles.h"
#include "web/webkit_web_view_port.h"
#include "window/accessibility_tree.h"

namespace zemblo {
namespace {

using testing::clipboardText;
using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

struct MenuEntry {
  std::string label;
  std::string action;
  std::optional<std::string> target;
};

// The entries of a menu model, sections and submenus flattened in order; a submenu's own label
// is listed with the action "submenu".
std::optional<std::string> attribute(GMenuModel* model, int item, const char* name) {
  gchar* value = nullptr;
  if (!g_menu_model_get_item_attribute(model, item, name, "s", &value)) return std::nullopt;
  std::string text(value);
  g_free(value);
  return text;
}

std::vector<MenuEntry> entries(GMenuModel* model) {
  std::vector<MenuEntry> list;
  for (int i = 0; i < g_menu_model_get_n_items(model); ++i) {
    if (GMenuModel* section = g_menu_model_get_item_link(model, i, G_MENU_LINK_SECTION)) {
      for (auto& entry : entries(section)) list.push_back(entry);
      g_object_unref(section);
      continue;
    }
    MenuEntry entry;
    entry.label = attribute(model, i, G_MENU_ATTRIBUTE_LABEL).value_or("");
    if (GMenuModel* submenu = g_menu_model_get_item_link(model, i, G_MENU_LINK_SUBMENU)) {
      entry.action = "submenu";
      list.push_back(entry);
      for (auto& inner : entries(submenu)) list.push_back(inner);
      g_object_unref(submenu);
      continue;
    }
    entry.action = attribute(model, i, G_MENU_ATTRIBUTE_ACTION).value_or("");
    entry.target = attribute(model, i, G_MENU_ATTRIBUTE_TARGET);
    list.push_back(entry);
  }
  return list;
}

// The entries of the menu the row opened last.
std::vector<MenuEntry> entries(TabRow& row) {
  return entries(G_MENU_MODEL(row.contextMenu()->get_menu_model()->gobj()));
}

bool hasShownSeparator(GtkWidget* widget) {
  if (GTK_IS_SEPARATOR(widget) && gtk_widget_get_mapped(widget)) return true;
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (hasShownSeparator(child)) return true;
  }
  return false;
}

// Whether the row's open menu offers the item of `action`: a greyed item can't be chosen.
bool enabled(TabRow& row, const std::string& action) {
  const std::string name = "tab." + action;
  // The item shows its label with a doubled "_" as one.
  std::optional<std::string> label;
  for (const auto& entry : entries(row)) {
    if (entry.action != name || label) continue;
    label.emplace();
    for (size_t i = 0; i < entry.label.size(); ++i) {
      if (entry.label[i] == '_' && i + 1 < entry.label.size() && entry.label[i + 1] == '_') ++i;
      *label += entry.label[i];
    }
  }
  GtkWidget* item = testing::findFirst(GTK_WIDGET(row.contextMenu()->gobj()), [&](GtkWidget* w) {
    if (g_strcmp0(G_OBJECT_TYPE_NAME(w), "GtkModelButton") != 0) return false;
    gchar* text = nullptr;
    g_object_get(w, "text", &text, nullptr);
    const bool same = text && label == std::string(text);
    g_free(text);
    return same;
  });
  return item && gtk_widget_get_sensitive(item);
}

// The row's own fill, drawn behind its contents; none when nothing is drawn there.
GdkRGBA fillOf(TabRow& row) {
  return testing::ownFillDrawnBy(GTK_WIDGET(row.gobj())).value_or(GdkRGBA{0, 0, 0, 0});
}
bool castsShadow(TabRow& row) {
  return testing::drewNode(GTK_WIDGET(row.gobj()), GSK_OUTSET_SHADOW_NODE, testing::Drawn::ownOnly);
}

TEST(TabRowTest, IconFollowsStartPageAndLoadingState) {
  SidebarHarness harness;
  auto page = harness.addTab("https://127.0.0.1/", "Örnek");
  auto& row = harness.row(*page);
  auto& favicon = testing::widgetNamed<FaviconView>(row, "FaviconView");
  auto& spinner = testing::widgetNamed<ActivitySpinner>(row, "ActivitySpinner");
  EXPECT_TRUE(favicon.get_visible());
  EXPECT_TRUE(waitUntil([&] { return testing::showsLetterTile(favicon, "127.0.0.1"); }));
  // Without an icon address the row never guesses the site's own: the engine asks for that. A
  // later request to the same site has its answer after any the row made.
  bool answered = false;
  harness.favicons().load("https://127.0.0.1/later.png", [&](auto) { answered = true; });
  ASSERT_TRUE(waitUntil([&] { return answered; }));
  EXPECT_FALSE(harness.favicons().cached("https://127.0.0.1/favicon.ico"));
  page->isLoading.set(true);
  page->progress.set(0.3);
  pump();
  EXPECT_TRUE(spinner.get_visible());
  EXPECT_FALSE(favicon.get_visible());
  {
    // It turns on frames that lay nothing out again. Long enough that the few layouts other
    // work brings (the favicon's answer on a busy machine) stay far from one a turn.
    testing::AnimationsOn animations;
    testing::LayoutCounter layouts(harness.window());
    int turns = 0;
    std::string last = testing::drawingOf(spinner);
    ASSERT_TRUE(waitUntil([&] {
      const std::string now = testing::drawingOf(spinner);
      if (now != last) ++turns;
      last = now;
      return turns >= 60;
    }));
    EXPECT_LT(layouts.count() * 10, turns);
  }
  // Loading but complete: the favicon again.
  page->progress.set(1.0);
  pump();
  EXPECT_TRUE(favicon.get_visible());
  EXPECT_FALSE(spinner.get_visible());

  // A start-page tab shows the sparkles in the theme's gradient, loading or not.
  auto blank = harness.addTab("");
  auto& start = harness.row(*blank);
  blank->isLoading.set(true);
  pump();
  EXPECT_TRUE(testing::widgetNamed<GradientSymbol>(start, "GradientSymbol").get_visible());
  EXPECT_EQ(testing::widgetNamed<GradientSymbol>(start, "GradientSymbol").symbol(), "sparkles");
  EXPECT_EQ(testing::titleOf(start).get_text(), "Yeni Sekme");
}

TEST(TabRowTest, SelectedFillHoverFillAndTheCloseButton) {
  SidebarHarness harness;
  auto a = harness.addTab("https://a.example/", "A");
  auto b = harness.addTab("https://b.example/", "B");
  harness.store().tabs().select(*a);
  pump();
  auto& selected = harness.row(*a);
  auto& other = harness.row(*b);
  const TranslucentColor expected =
      selectedTabFill(harness.store().preferences(), harness.store().tabs(), harness.scheme());
  EXPECT_NEAR(fillOf(selected).alpha, expected.opacity, 1e-6);
  EXPECT_NEAR(fillOf(selected).red, expected.color.r, 1e-6);
  EXPECT_TRUE(castsShadow(selected));
  EXPECT_EQ(testing::titleOf(selected).get_opacity(), 1);
  // Unselected and not under the pointer: nothing is drawn behind it.
  EXPECT_EQ(fillOf(other).alpha, 0);
  EXPECT_FALSE(castsShadow(other));
  EXPECT_DOUBLE_EQ(testing::titleOf(other).get_opacity(), 0.8);

  other.setHovering(true);
  pump();
  EXPECT_NEAR(fillOf(other).alpha, 0.06, 1e-6);
  EXPECT_TRUE(testing::closeButtonOf(other).get_visible());
  // The selected row keeps its fill under the pointer, and shows the close button too.
  selected.setHovering(true);
  pump();
  EXPECT_NEAR(fillOf(selected).alpha, expected.opacity, 1e-6);
  EXPECT_TRUE(testing::closeButtonOf(selected).get_visible());
  other.setHovering(false);
  pump();
  EXPECT_FALSE(testing::closeButtonOf(other).get_visible());
  EXPECT_EQ(fillOf(other).alpha, 0);

  // A click selects.
  other.tap();
  pump();
  EXPECT_EQ(harness.space().selectedTab(), b);
  EXPECT_TRUE(testing::isSelected(other));
  EXPECT_FALSE(testing::isSelected(selected));
}

TEST(TabRowTest, TheMenuListsItsItemsWithTheOtherSpaces) {
  SidebarHarness harness;
  auto& store = harness.store();
  store.tabs().spaces.peek()[1]->name.set("İş_yeri");
  auto page = harness.addTab("https://example.com/a?b=c#d", "Page");
  auto& row = harness.row(*page);
  row.popupContextMenu(10, 10);
  pump();
  ASSERT_TRUE(row.contextMenu());
  EXPECT_TRUE(row.contextMenu()->get_visible());
  const auto list = entries(row);
  ASSERT_EQ(list.size(), 9u);
  EXPECT_EQ(list[0].label, "Bağlantıyı Kopyala");
  EXPECT_EQ(list[0].action, "tab.copy-link");
  EXPECT_EQ(list[1].label, "Favorilere Ekle");
  EXPECT_EQ(list[2].label, "Yeniden Yükle");
  EXPECT_EQ(list[3].label, "Sekmenin Sesini Kapat");
  EXPECT_EQ(list[4].label, "Alana Taşı");
  EXPECT_EQ(list[4].action, "submenu");
  // The other two spaces; a space's name is shown as typed, "_" included.
  EXPECT_EQ(list[5].label, "İş__yeri");
  EXPECT_EQ(list[5].target, store.tabs().spaces.peek()[1]->id.str());
  EXPECT_EQ(list[6].target, store.tabs().spaces.peek()[2]->id.str());
  EXPECT_EQ(list[7].label, "Diğer Sekmeleri Kapat");
  EXPECT_EQ(list[8].label, "Sekmeyi Kapat");
  for (const char* action :
       {"copy-link", "favorite", "reload", "toggle-mute", "move", "close-others", "close"}) {
    EXPECT_TRUE(enabled(row, action)) << action;
  }

  // A start-page tab: copying and the favourite are off.
  auto blank = harness.addTab("");
  auto& startRow = harness.row(*blank);
  startRow.popupContextMenu(5, 5);
  EXPECT_FALSE(enabled(startRow, "copy-link"));
  EXPECT_FALSE(enabled(startRow, "favorite"));
  EXPECT_TRUE(enabled(startRow, "reload"));
  EXPECT_TRUE(enabled(startRow, "close"));
  startRow.contextMenu()->popdown();

  // A single space: the submenu is empty.
  store.spaces().list.mutate([](auto& spaces) { spaces.resize(1); });
  row.popupContextMenu(10, 10);
  const auto alone = entries(row);
  EXPECT_EQ(alone[4].action, "submenu");
  EXPECT_EQ(alone[5].label, "Diğer Sekmeleri Kapat");
}

TEST(TabRowTest, EveryMenuItemDoesItsWork) {
  SidebarHarness harness;
  auto& store = harness.store();
  harness.server().page("/page", "<title>Served</title>");
  auto served = harness.open(harness.server().url("/page?x=1#top"));
  ASSERT_TRUE(
      waitUntil([&] { return served->title.peek() == "Served" && !served->isLoading.peek(); }));
  auto other = harness.addTab("https://www.example.com/x", "Other");
  pump();
  auto& row = harness.row(*served);

  // Copy link: the whole address.
  row.popupContextMenu(10, 10);
  row.activate_action("tab.copy-link");
  EXPECT_EQ(clipboardText(row), harness.server().url("/page?x=1#top"));

  // Favourites: added, then the item reads "remove" and takes it away again.
  const size_t favourites = store.favorites().list.peek().size();
  row.popupContextMenu(10, 10);
  row.activate_action("tab.favorite");
  EXPECT_EQ(store.favorites().list.peek().size(), favourites + 1);
  EXPECT_TRUE(store.favorites().isFavorite(*served));
  row.popupContextMenu(10, 10);
  EXPECT_EQ(entries(row)[1].label, "Favorilerden Çıkar");
  row.activate_action("tab.favorite");
  EXPECT_EQ(store.favorites().list.peek().size(), favourites);

  // Reload: the page is asked for again.
  const int hits = harness.server().hits("/page");
  row.popupContextMenu(10, 10);
  row.activate_action("tab.reload");
  ASSERT_TRUE(waitUntil([&] { return harness.server().hits("/page") == hits + 1; }));

  // Move to another space: first there, out of this list, and this space's selection moves on.
  auto target = store.tabs().spaces.peek()[2];
  store.tabs().select(*served);
  row.popupContextMenu(10, 10);
  row.activate_action("tab.move", Glib::Variant<Glib::ustring>::create(target->id.str()));
  pump();
  EXPECT_EQ(target->tabs.peek().front(), served);
  EXPECT_EQ(harness.rowFor(*served), nullptr);
  EXPECT_EQ(store.tabs().currentSpace(), store.tabs().spaces.peek()[0]);
  EXPECT_EQ(harness.space().selectedTab(),
            harness.tabs().empty() ? nullptr : harness.tabs().back());
}

TEST(TabRowTest, CloseItemsActOnTheTabTheMenuWasOpenedFor) {
  SidebarHarness harness;
  auto& store = harness.store();
  auto c = harness.addTab("https://c.example/", "C");
  auto b = harness.addTab("https://b.example/", "B");
  auto a = harness.addTab("https://a.example/", "A");
  auto& rowB = harness.row(*b);
  rowB.popupContextMenu(10, 10);
  // The list changes under the open menu: B is no longer second.
  store.tabs().moveTabs({1}, 3);
  auto d = harness.addTab("https://d.example/", "D");
  rowB.activate_action("tab.close");
  pump();
  EXPECT_EQ(harness.titlesInSpace(), (std::vector<std::string>{"D", "A", "C"}));

  auto& rowA = harness.row(*a);
  rowA.popupContextMenu(10, 10);
  store.tabs().moveTabs({0}, 3);
  rowA.activate_action("tab.close-others");
  pump();
  EXPECT_EQ(harness.titlesInSpace(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(harness.space().selectedTab(), a);
  // Alone in its space: closing the others closes nothing and keeps it selected.
  harness.row(*a).popupContextMenu(10, 10);
  harness.row(*a).activate_action("tab.close-others");
  pump();
  EXPECT_EQ(harness.titlesInSpace(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(harness.space().selectedTab(), a);
}

// A second of a 440 Hz tone as a WAV file: 8 kHz, 16-bit, mono.
std::string toneWav() {
  constexpr uint32_t kRate = 8000;
  std::string wav;
  const auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) wav.push_back(char((value >> (8 * i)) & 0xff));
  };
  wav += "RIFF";
  put(36 + 2 * kRate, 4);
  wav += "WAVEfmt ";
  put(16, 4), put(1, 2), put(1, 2), put(kRate, 4), put(2 * kRate, 4), put(2, 2), put(16, 2);
  wav += "data";
  put(2 * kRate, 4);
  for (uint32_t i = 0; i < kRate; ++i) {
    put(uint16_t(int16_t(4000 * std::sin(2 * M_PI * 440 * i / kRate))), 2);
  }
  return wav;
}

// The row's button announced by `name`: a symbol button's help text is its accessible name.
Gtk::Button* buttonNamed(Gtk::Widget& row, const std::string& name) {
  for (Gtk::Widget* child = row.get_first_child(); child; child = child->get_next_sibling()) {
    auto* button = dynamic_cast<Gtk::Button*>(child);
    if (button && button->get_visible() && button->get_tooltip_text().raw() == name) return button;
  }
  return nullptr;
}

TEST(TabRowTest, AMiddleClickClosesTheTab) {
  SidebarHarness harness;
  auto b = harness.addTab("https://b.example/", "B");
  harness.addTab("https://a.example/", "A");
  harness.input(harness.pointAt(harness.row(*b)) + " click 2");
  ASSERT_TRUE(waitUntil([&] { return harness.titlesInSpace() == std::vector<std::string>{"A"}; }));
  EXPECT_EQ(harness.store().tabs().closedTabs.back().url, *Url::parse("https://b.example/"));
}

TEST(TabRowTest, ASpeakerShowsWhileThePagePlaysSoundAndMutesOrUnmutesTheTab) {
  SidebarHarness harness;
  harness.server().route("/tone.wav", {toneWav(), "audio/wav"});
  // The engine leaves the page's autoplay paused here; a click on the page starts it.
  harness.server().page(
      "/sound",
      "<title>Sound</title><audio id=tone src=/tone.wav autoplay loop></audio>"
      "<button style='position:fixed;inset:0' onclick='tone.play()'>play</button>");
  auto tab = harness.open(harness.server().url("/sound"));
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "Sound" && !tab->isLoading.peek(); }));
  pump();
  auto& row = harness.row(*tab);
  EXPECT_FALSE(buttonNamed(row, "Sekmenin Sesini Kapat"));
  harness.click(harness.content());
  ASSERT_TRUE(waitUntil([&] { return tab->isPlayingAudio.peek(); }))
      << "the page's sound never played";
  pump();
  Gtk::Button* speaker = buttonNamed(row, "Sekmenin Sesini Kapat");
  ASSERT_TRUE(speaker);
  const auto announced = testing::AccessibilityReader::read();
  EXPECT_TRUE(std::any_of(announced.begin(), announced.end(), [](const auto& node) {
    return node.name == "Sekmenin Sesini Kapat" && node.role == "button";
  }));
  testing::WindowHarness::screenshot("tab-row-speaker");

  WebKitWebView* view = dynamic_cast<WebKitWebViewPort&>(*tab->storedWebView()).webView();
  harness.click(*speaker);
  ASSERT_TRUE(waitUntil([&] { return webkit_web_view_get_is_muted(view); }));
  pump();
  // The speaker stays, crossed out, and offers to bring the sound back.
  speaker = buttonNamed(row, "Sekmenin Sesini Aç");
  ASSERT_TRUE(speaker);
  EXPECT_EQ(dynamic_cast<Gtk::Image&>(*speaker->get_child()).get_icon_name(),
            "audio-volume-muted-symbolic");
  testing::WindowHarness::screenshot("tab-row-speaker-muted");

  row.popupContextMenu(10, 10);
  EXPECT_EQ(entries(row)[3].label, "Sekmenin Sesini Aç");
  row.activate_action("tab.toggle-mute");
  ASSERT_TRUE(waitUntil([&] { return !webkit_web_view_get_is_muted(view); }));
  pump();
  EXPECT_TRUE(buttonNamed(row, "Sekmenin Sesini Kapat"));
}

TEST(TabRowTest, AMenuOpenedByARealSecondaryClick) {
  SidebarHarness harness;
  auto page = harness.addTab("https://example.com/", "Example");
  pump();
  const auto frame = harness.bounds(harness.row(*page));
  harness.input("mousemove --window %1 " + std::to_string(int(frame.x + 40)) + " " +
                std::to_string(int(frame.y + frame.height / 2)) + " click 3");
  auto& row = harness.row(*page);
  ASSERT_TRUE(waitUntil([&] { return row.contextMenu() && row.contextMenu()->get_mapped(); }));
  // The menu's window is as tall as its items need, also once the line between its sections
  // has come in after it opened: the last item, "Close Tab", is not cut.
  Gtk::PopoverMenu& menu = *row.contextMenu();
  ASSERT_TRUE(waitUntil([&] { return hasShownSeparator(GTK_WIDGET(menu.gobj())); }));
  const auto needed = [&] {
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    menu.measure(Gtk::Orientation::VERTICAL, menu.get_width(), minimum, natural, b1, b2);
    return natural;
  };
  EXPECT_TRUE(waitUntil([&] { return menu.get_surface()->get_height() >= needed(); }))
      << menu.get_surface()->get_height() << " < " << needed();
  testing::WindowHarness::screenshot("tab-row-menu");
  menu.popdown();
}

}  // namespace
}  // namespace zemblo
