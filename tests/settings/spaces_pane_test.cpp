#include "settings/panes/spaces_pane.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <adwaita.h>

#include <array>
#include <cmath>

#include "model/browser_tab.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "settings/kit/confirmation_dialog.h"
#include "settings/kit/settings_row.h"
#include "settings/settings_harness.h"
#include "settings/settings_sidebar.h"
#include "settings/space_editor/preset_swatch.h"
#include "settings/space_editor/space_chip.h"
#include "settings/space_editor/space_editor.h"
#include "settings/space_editor/space_header_tile.h"
#include "settings/space_editor/symbol_tile.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_view.h"
#include "sidebar/space_header.h"
#include "sidebar/space_switcher.h"
#include "support/find_pane_controls.h"
#include "support/find_settings_widgets.h"
#include "support/find_sidebar.h"
#include "support/saved_session.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;

SpacesPane& showSpacesPane(SettingsHarness& harness) {
  testing::paneRow(harness.view(), SettingsPane::spaces).activate();
  pump();
  return dynamic_cast<SpacesPane&>(testing::shownPane(harness.view()));
}

void answer(const char* response) {
  ASSERT_NE(testing::shownQuestion(), nullptr);
  adw_message_dialog_response(testing::shownQuestion(), response);
  pump();
}

SpaceEditor& editorOf(Gtk::Widget& pane) {
  return testing::byWidgetName<SpaceEditor>(pane, "SpaceEditor");
}

// The spaces' chips, left to right.
std::vector<SpaceChip*> chipsOf(Gtk::Widget& pane) {
  std::vector<SpaceChip*> chips;
  for (GtkWidget* chip : testing::findAll(pane.gobj(), [](GtkWidget* widget) {
         return gtk_widget_get_name(widget) == std::string("SpaceChip");
       })) {
    chips.push_back(dynamic_cast<SpaceChip*>(Glib::wrap(chip)));
  }
  return chips;
}

// The editor's widgets of that widget name (its preset swatches, its symbol tiles), in order.
std::vector<Gtk::Button*> tilesNamed(SpaceEditor& editor, const std::string& name) {
  std::vector<Gtk::Button*> tiles;
  for (GtkWidget* widget : testing::findAll(GTK_WIDGET(editor.gobj()), [&](GtkWidget* w) {
         return gtk_widget_get_name(w) == name;
       })) {
    tiles.push_back(dynamic_cast<Gtk::Button*>(Glib::wrap(widget)));
  }
  return tiles;
}

// The positions of the tiles shown as chosen.
std::vector<size_t> selectedOf(const std::vector<Gtk::Button*>& tiles) {
  std::vector<size_t> selected;
  for (size_t i = 0; i < tiles.size(); ++i) {
    if (testing::pressed(*tiles[i])) selected.push_back(i);
  }
  return selected;
}

Gtk::Entry& nameField(SpaceEditor& editor) {
  return *dynamic_cast<Gtk::Entry*>(Glib::wrap(testing::findFirst(
      GTK_WIDGET(editor.gobj()), [](GtkWidget* widget) { return GTK_IS_ENTRY(widget); })));
}

Gtk::Button& button(SpaceEditor& editor, const std::string& name) {
  return *dynamic_cast<Gtk::Button*>(
      Glib::wrap(testing::findByAccessibleName(GTK_WIDGET(editor.gobj()), localized(name))));
}

Glib::ustring tileText(SpaceEditor& editor, const std::string& line) {
  return testing::byWidgetName<Gtk::Label>(editor, line).get_text();
}

// The row holding the delete button.
Gtk::Widget& deleteRow(SpaceEditor& editor) { return *button(editor, "Sil…").get_parent(); }

// Whether the chip draws its ring, in the space's first colour, round its disc: read halfway
// through the ring's width, level with the disc's centre.
bool showsRing(SpaceChip& chip) {
  graphene_rect_t disc;
  if (!gtk_widget_compute_bounds(testing::byWidgetName(chip, "SpaceChipDisc").gobj(),
                                 GTK_WIDGET(chip.gobj()), &disc)) {
    return false;
  }
  const double ring = SpaceChip::kDiscSide / 2 + SpaceChip::kRingOutset;
  const double middle = (ring - SpaceChip::kSelectedRingWidth / 2) * SpaceChip::kSelectedScale;
  const int x = int(disc.origin.x + disc.size.width / 2 - middle);
  const int y = int(disc.origin.y + disc.size.height / 2);
  const auto drawn = SettingsHarness::pixel(SettingsHarness::render(chip), x, y);
  const Color first = Color::fromHex(chip.space()->colorA.peek());
  const std::array<double, 3> expected{first.r, first.g, first.b};
  for (size_t c = 0; c < 3; ++c) {
    if (std::abs(drawn[c] - expected[c] * 255) > 3) return false;
  }
  return true;
}

// A colour as the picker reports it once the user has chosen it.
void pickColor(SpaceEditor& editor, size_t picker, const Color& color) {
  auto* chooser = testing::findAll(GTK_WIDGET(editor.gobj()), [](GtkWidget* widget) {
                    return GTK_IS_COLOR_BUTTON(widget);
                  }).at(picker);
  const GdkRGBA rgba{float(color.r), float(color.g), float(color.b), 1};
  gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &rgba);
  g_signal_emit_by_name(chooser, "color-set");
}

TEST(SpacesPaneTest, ANewSpaceIsEditedLiveInTheSidebarAndDeletedWithItsTabsAfterAsking) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  SidebarView& sidebar = harness.window().sidebarView();
  const auto current = store.tabs().currentSpace();
  SpacesPane& pane = showSpacesPane(harness);
  ASSERT_EQ(chipsOf(pane).size(), 3u);
  EXPECT_EQ(editorOf(pane).space(), current);

  // Picking a chip edits that space and leaves the browser where it is.
  ASSERT_TRUE(SettingsHarness::click(*chipsOf(pane)[1]));
  pump();
  EXPECT_EQ(editorOf(pane).space(), store.tabs().spaces.peek()[1]);
  EXPECT_TRUE(chipsOf(pane)[1]->isSelected());
  EXPECT_FALSE(chipsOf(pane)[0]->isSelected());
  EXPECT_FALSE(showsRing(*chipsOf(pane)[0]));
  EXPECT_TRUE(showsRing(*chipsOf(pane)[1]));
  EXPECT_EQ(store.tabs().currentSpace(), current);

  ASSERT_TRUE(testing::press(testing::named(pane, "Yeni alan ekle")));
  pump();
  ASSERT_EQ(store.tabs().spaces.peek().size(), 4u);
  const auto added = store.tabs().spaces.peek().back();
  EXPECT_EQ(added->name.peek(), "Yeni Alan");
  EXPECT_EQ(store.tabs().currentSpace(), current);
  EXPECT_TRUE(chipsOf(pane).back()->isSelected());
  EXPECT_TRUE(showsRing(*chipsOf(pane).back()));
  EXPECT_EQ(editorOf(pane).space(), added);
  EXPECT_EQ(testing::spaceButtons(sidebar).size(), 4u);

  // With the new space on screen, every edit shows in the sidebar at once and is saved.
  store.tabs().select(*added);
  pump();
  SpaceEditor& editor = editorOf(pane);
  nameField(editor).set_text("Okul");
  ASSERT_TRUE(SettingsHarness::click(*tilesNamed(editor, "PresetSwatch")[1]));  // "Okyanus"
  ASSERT_TRUE(SettingsHarness::click(*tilesNamed(editor, "SymbolTile")[4]));    // "book.fill"
  pump();
  EXPECT_EQ(testing::spaceHeaderName(sidebar), "Okul");
  EXPECT_EQ(testing::spaceHeaderSymbol(sidebar), "book.fill");
  EXPECT_EQ(added->colorA.peek(), "#2F80FF");
  EXPECT_EQ(added->colorB.peek(), "#22C1C3");
  EXPECT_EQ(themeColors(store.preferences(), store.tabs()).primary, Color::fromHex("#2F80FF"));
  EXPECT_EQ(selectedOf(tilesNamed(editor, "PresetSwatch")), std::vector<size_t>{1});
  EXPECT_EQ(selectedOf(tilesNamed(editor, "SymbolTile")), std::vector<size_t>{4});
  EXPECT_EQ(tileText(editor, "SpaceTileName"), "Okul");
  EXPECT_EQ(testing::byWidgetName<Gtk::Label>(*chipsOf(pane).back(), "SpaceChipName").get_text(),
            "Okul");
  EXPECT_TRUE(testing::sessionOnDiskHolds([](const SessionSnapshot& saved) {
    return std::ranges::any_of(saved.spaces,
                               [](const auto& space) { return space.name == "Okul"; });
  }));
  // Picked colours are stored as the presets are written, so a matching pick marks its preset.
  pickColor(editor, 0, Color::fromHex("#7b61ff"));
  pickColor(editor, 1, Color::fromHex("#FF6FB5"));
  pump();
  EXPECT_EQ(added->colorA.peek(), "#7B61FF");
  EXPECT_EQ(selectedOf(tilesNamed(editor, "PresetSwatch")), std::vector<size_t>{0});
  SettingsHarness::shot(*harness.view().get_child(), "settings-spaces-tr");
  SettingsHarness::shot(editor, "settings-space-editor-tr");

  // The last space moves left only; the sidebar's buttons follow the order.
  EXPECT_FALSE(button(editor, "Sağa taşı").is_sensitive());
  ASSERT_TRUE(SettingsHarness::click(button(editor, "Sola taşı")));
  pump();
  EXPECT_EQ(store.tabs().spaces.peek()[2], added);
  EXPECT_EQ(testing::spaceButtons(sidebar)[2]->space(), added);
  EXPECT_TRUE(button(editorOf(pane), "Sağa taşı").is_sensitive());

  // Deleting asks first; cancelling keeps everything. Confirmed, the space and its tabs go, and
  // the tabs wait on the closed-tab stack.
  store.tabs().openTab(*Url::parse("https://one.test/"), true);
  store.tabs().openTab(*Url::parse("https://two.test/"), true);
  pump();
  SpaceEditor& deleting = editorOf(pane);
  EXPECT_EQ(testing::subtitle(deleteRow(deleting)), "Bu alandaki 2 sekme kapanır");
  EXPECT_EQ(tileText(deleting, "SpaceTileCount"), "2 sekme");
  ASSERT_TRUE(SettingsHarness::click(button(deleting, "Sil…")));
  ASSERT_NE(testing::shownQuestion(), nullptr);
  EXPECT_STREQ(adw_message_dialog_get_heading(testing::shownQuestion()), "\"Okul\" silinsin mi?");
  answer(ConfirmationDialog::kCancel);
  EXPECT_EQ(store.tabs().spaces.peek().size(), 4u);
  EXPECT_EQ(testing::shownQuestion(), nullptr);
  const auto tabs = added->tabs.peek();
  ASSERT_TRUE(SettingsHarness::click(button(deleting, "Sil…")));
  answer(ConfirmationDialog::kConfirm);
  ASSERT_EQ(store.tabs().spaces.peek().size(), 3u);
  EXPECT_EQ(store.tabs().currentSpace(), store.tabs().spaces.peek().front());
  EXPECT_EQ(editorOf(pane).space(), store.tabs().currentSpace());
  EXPECT_EQ(chipsOf(pane).size(), 3u);
  EXPECT_EQ(testing::spaceButtons(sidebar).size(), 3u);
  for (const auto& tab : tabs) EXPECT_EQ(tab->storedWebView(), nullptr);
  ASSERT_EQ(store.tabs().closedTabs.size(), 2u);
  store.tabs().reopenClosedTab();
  EXPECT_EQ(store.tabs().currentSpace()->selectedTab()->url.peek(),
            Url::parse("https://one.test/"));
}

TEST(SpacesPaneTest, TheLastSpaceStaysAndTheCountsReadInBothLanguages) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  store.tabs().deleteSpace(*store.tabs().spaces.peek()[2]);
  store.tabs().openTab(*Url::parse("https://one.test/"), true);
  harness.setLanguage(AppLanguage::english);
  SpacesPane& pane = showSpacesPane(harness);
  EXPECT_EQ(testing::subtitle(deleteRow(editorOf(pane))), "1 tab in this space will close");
  EXPECT_EQ(tileText(editorOf(pane), "SpaceTileCount"), "1 tab");
  SettingsHarness::shot(*harness.view().get_child(), "settings-spaces-en");

  store.tabs().deleteSpace(*store.tabs().spaces.peek()[1]);
  pump();
  SpaceEditor& editor = editorOf(pane);
  EXPECT_EQ(testing::subtitle(deleteRow(editor)), "You need at least one space");
  EXPECT_FALSE(button(editor, "Sil…").is_sensitive());
  EXPECT_FALSE(button(editor, "Sola taşı").is_sensitive());
  EXPECT_FALSE(button(editor, "Sağa taşı").is_sensitive());
  // Even a click that reaches the disabled button asks nothing.
  g_signal_emit_by_name(button(editor, "Sil…").gobj(), "clicked");
  pump();
  EXPECT_EQ(testing::shownQuestion(), nullptr);
  nameField(editor).set_text("");
  pump();
  EXPECT_EQ(tileText(editor, "SpaceTileName"), "Untitled Space");
}

}  // namespace
}  // namespace zemblo
