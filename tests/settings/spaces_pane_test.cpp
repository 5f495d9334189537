#include "settings/panes/spaces_pane.h"

#include <gtest/gtest.h>

#include <adwaita.h>

#include "model/browser_tab.h"
#include "model/tabs_model.h"
#include "model/theme_colors.h"
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
#include "support/find_sidebar.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;

SpacesPane& showSpacesPane(SettingsHarness& harness) {
  harness.view().sidebar().row(SettingsPane::spaces).activate();
  pump();
  return dynamic_cast<SpacesPane&>(harness.view().shownPane());
}

void answer(SpaceEditor& editor, const char* response) {
  ASSERT_NE(editor.confirmation(), nullptr);
  adw_message_dialog_response(editor.confirmation()->dialog(), response);
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

template <class Tile, class Match>
std::vector<size_t> selectedOf(const std::vector<Tile*>& tiles, Match isSelected) {
  std::vector<size_t> selected;
  for (size_t i = 0; i < tiles.size(); ++i) {
    if (isSelected(*tiles[i])) selected.push_back(i);
  }
  return selected;
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
  EXPECT_EQ(chipsOf(pane)[0]->ringWidth(), 0);
  EXPECT_EQ(store.tabs().currentSpace(), current);

  ASSERT_TRUE(testing::press(testing::byWidgetName<Gtk::Button>(pane, "NewSpaceButton")));
  pump();
  ASSERT_EQ(store.tabs().spaces.peek().size(), 4u);
  const auto added = store.tabs().spaces.peek().back();
  EXPECT_EQ(added->name.peek(), "Yeni Alan");
  EXPECT_EQ(store.tabs().currentSpace(), current);
  EXPECT_TRUE(chipsOf(pane).back()->isSelected());
  EXPECT_EQ(chipsOf(pane).back()->ringWidth(), SpaceChip::kSelectedRingWidth);
  EXPECT_EQ(editorOf(pane).space(), added);
  EXPECT_EQ(testing::spaceButtons(sidebar).size(), 4u);

  // With the new space on screen, every edit shows in the sidebar at once and is saved.
  store.tabs().select(*added);
  pump();
  SpaceEditor& editor = editorOf(pane);
  editor.nameField().set_text("Okul");
  ASSERT_TRUE(SettingsHarness::click(*editor.presetSwatches()[1]));  // "Okyanus"
  ASSERT_TRUE(SettingsHarness::click(*editor.symbolTiles()[4]));     // "book.fill"
  pump();
  EXPECT_EQ(testing::spaceHeaderName(sidebar), "Okul");
  EXPECT_EQ(testing::spaceHeaderSymbol(sidebar), "book.fill");
  EXPECT_EQ(added->colorA.peek(), "#2F80FF");
  EXPECT_EQ(added->colorB.peek(), "#22C1C3");
  EXPECT_EQ(themeColors(store.preferences(), store.tabs()).primary, Color::fromHex("#2F80FF"));
  EXPECT_EQ(selectedOf(editor.presetSwatches(), [](PresetSwatch& s) { return s.isSelected(); }),
            std::vector<size_t>{1});
  EXPECT_EQ(selectedOf(editor.symbolTiles(), [](SymbolTile& t) { return t.isSelected(); }),
            std::vector<size_t>{4});
  EXPECT_EQ(editor.headerTile().nameLabel().get_text(), "Okul");
  EXPECT_EQ(chipsOf(pane).back()->nameLabel().get_text(), "Okul");
  EXPECT_TRUE(store.hasPendingSave());
  // Picked colours are stored as the presets are written, so a matching pick marks its preset.
  editor.setHexColor(true, Color::fromHex("#7b61ff"));
  editor.setHexColor(false, Color::fromHex("#FF6FB5"));
  pump();
  EXPECT_EQ(added->colorA.peek(), "#7B61FF");
  EXPECT_EQ(selectedOf(editor.presetSwatches(), [](PresetSwatch& s) { return s.isSelected(); }),
            std::vector<size_t>{0});
  SettingsHarness::shot(*harness.view().get_child(), "settings-spaces-tr");
  SettingsHarness::shot(editor, "settings-space-editor-tr");

  // The last space moves left only; the sidebar's buttons follow the order.
  EXPECT_FALSE(editor.moveRightButton().is_sensitive());
  ASSERT_TRUE(SettingsHarness::click(editor.moveLeftButton()));
  pump();
  EXPECT_EQ(store.tabs().spaces.peek()[2], added);
  EXPECT_EQ(testing::spaceButtons(sidebar)[2]->space(), added);
  EXPECT_TRUE(editorOf(pane).moveRightButton().is_sensitive());

  // Deleting asks first; cancelling keeps everything. Confirmed, the space and its tabs go, and
  // the tabs wait on the closed-tab stack.
  store.tabs().openTab(*Url::parse("https://one.test/"), true);
  store.tabs().openTab(*Url::parse("https://two.test/"), true);
  pump();
  SpaceEditor& deleting = editorOf(pane);
  EXPECT_EQ(deleting.deleteRow().subtitle().get_text(), "Bu alandaki 2 sekme kapanır");
  EXPECT_EQ(deleting.headerTile().countLabel().get_text(), "2 sekme");
  ASSERT_TRUE(SettingsHarness::click(deleting.deleteButton()));
  ASSERT_NE(deleting.confirmation(), nullptr);
  EXPECT_STREQ(adw_message_dialog_get_heading(deleting.confirmation()->dialog()),
               "\"Okul\" silinsin mi?");
  answer(deleting, ConfirmationDialog::kCancel);
  EXPECT_EQ(store.tabs().spaces.peek().size(), 4u);
  EXPECT_EQ(deleting.confirmation(), nullptr);
  const auto tabs = added->tabs.peek();
  ASSERT_TRUE(SettingsHarness::click(deleting.deleteButton()));
  answer(deleting, ConfirmationDialog::kConfirm);
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
  EXPECT_EQ(editorOf(pane).deleteRow().subtitle().get_text(), "1 tab in this space will close");
  EXPECT_EQ(editorOf(pane).headerTile().countLabel().get_text(), "1 tab");
  SettingsHarness::shot(*harness.view().get_child(), "settings-spaces-en");

  store.tabs().deleteSpace(*store.tabs().spaces.peek()[1]);
  pump();
  SpaceEditor& editor = editorOf(pane);
  EXPECT_EQ(editor.deleteRow().subtitle().get_text(), "You need at least one space");
  EXPECT_FALSE(editor.deleteButton().is_sensitive());
  EXPECT_FALSE(editor.moveLeftButton().is_sensitive());
  EXPECT_FALSE(editor.moveRightButton().is_sensitive());
  editor.askToDelete();
  EXPECT_EQ(editor.confirmation(), nullptr);
  editor.nameField().set_text("");
  pump();
  EXPECT_EQ(editor.headerTile().nameLabel().get_text(), "Untitled Space");
}

}  // namespace
}  // namespace zemblo
