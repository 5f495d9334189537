#include "settings/settings_view.h"
#include "model/preferences_model.h"

#include <gtest/gtest.h>

#include <adwaita.h>

#include "settings/kit/pane_body.h"
#include "settings/previews/interface_preview.h"
#include "settings/settings_harness.h"
#include "settings/settings_sidebar.h"
#include "support/find_settings_widgets.h"
#include "support/find_window.h"

namespace zemblo {
namespace {

using testing::paneRow;
using testing::pump;
using testing::SettingsHarness;
using testing::shownPane;
using testing::shownPaneTitle;

// The title the row of the pane list shows.
Gtk::Label& rowTitle(SettingsSidebarRow& row) {
  return *dynamic_cast<Gtk::Label*>(Glib::wrap(
      testing::findFirst(GTK_WIDGET(row.gobj()), [](GtkWidget* w) { return GTK_IS_LABEL(w); })));
}

// The footer under the pane list.
Glib::ustring footerText(SettingsView& view) {
  return testing::byWidgetName<Gtk::Label>(view, "SettingsFooter").get_text();
}

TEST(SettingsViewTest, OpensOnAppearanceAndEveryRowShowsItsPaneBuiltAnewWithoutWriting) {
  SettingsHarness harness;
  SettingsView& view = harness.view();
  const std::string before = harness.defaultsFile();

  EXPECT_EQ(view.get_child()->get_width(), SettingsView::kWidth);
  EXPECT_EQ(view.get_child()->get_height(), SettingsView::kHeight);
  EXPECT_EQ(shownPaneTitle(view), paneTitle(SettingsPane::appearance));
  EXPECT_TRUE(paneRow(view, SettingsPane::appearance).is_selected());
  SettingsHarness::shot(*view.get_child(), "settings-light-tr");
  EXPECT_EQ(shownPaneTitle(view), "Görünüm");
  EXPECT_EQ(footerText(view), "Zemblo Browser " ZEMBLO_TEST_VERSION);

  for (SettingsPane pane : allCases<SettingsPane>()) {
    if (pane == SettingsPane::appearance) continue;
    SettingsSidebarRow& row = paneRow(view, pane);
    PaneBody* previous = &shownPane(view);
    row.activate();
    pump();
    EXPECT_TRUE(row.is_selected());
    EXPECT_EQ(shownPaneTitle(view), paneTitle(pane));
    EXPECT_EQ(testing::byWidgetName<Gtk::Label>(shownPane(view), "PaneSubtitle").get_text().raw(),
              paneSubtitle(pane));
    // Built anew, scrolled to the top.
    EXPECT_NE(&shownPane(view), previous);
    EXPECT_EQ(testing::shownScroller(view).get_vadjustment()->get_value(), 0);
    const bool withPreview = pane == SettingsPane::appearance || pane == SettingsPane::colors ||
                             pane == SettingsPane::sidebar || pane == SettingsPane::window;
    EXPECT_EQ(harness.preview() != nullptr, withPreview) << rawValue(pane);
  }
  // Tab reaches the pane list, whose rows carry their titles for assistive technologies.
  const auto chain = SettingsHarness::tabChain(view);
  EXPECT_NE(std::find(chain.begin(), chain.end(), &paneRow(view, SettingsPane::privacy)),
            chain.end());
  for (Gtk::Widget* focus : chain) {
    EXPECT_TRUE(SettingsHarness::hasAccessibleName(*focus)) << G_OBJECT_TYPE_NAME(focus->gobj());
  }

  // The row of the pane shown changes nothing.
  PaneBody* shown = &shownPane(view);
  paneRow(view, SettingsPane::privacy).activate();
  pump();
  EXPECT_EQ(&shownPane(view), shown);

  // Arrows move through the list as they do in any list; the row under them is shown.
  g_signal_emit_by_name(paneRow(view, SettingsPane::privacy).get_parent()->gobj(), "move-cursor",
                        GTK_MOVEMENT_DISPLAY_LINES, -1, FALSE, FALSE);
  pump();
  EXPECT_EQ(shownPaneTitle(view), paneTitle(SettingsPane::spaces));
  EXPECT_EQ(harness.defaultsFile(), before);

  // The interface font reaches every text of the window, the pane list's included.
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.interfaceFont = InterfaceFont::mono; });
  pump();
  Gtk::Label& title = rowTitle(paneRow(view, SettingsPane::general));
  EXPECT_EQ(title.get_pango_context()->get_font_description().get_family(), "monospace");

  // A new language keeps the pane and rebuilds the list and the pane in it.
  PaneBody* turkishPane = &shownPane(view);
  harness.setLanguage(AppLanguage::english);
  EXPECT_NE(&shownPane(view), turkishPane);
  EXPECT_EQ(shownPaneTitle(view), "Spaces");
  EXPECT_EQ(rowTitle(paneRow(view, SettingsPane::privacy)).get_text(), "Privacy & Security");
  EXPECT_EQ(view.get_title(), "Settings");
  paneRow(view, SettingsPane::appearance).activate();
  SettingsHarness::shot(*view.get_child(), "settings-light-en");
  EXPECT_EQ(footerText(view), "Zemblo Browser " ZEMBLO_TEST_VERSION);
}

TEST(SettingsViewTest, PreviewRedrawsWithAPreferenceInTheSameFrameAsTheBrowserWindow) {
  SettingsHarness harness;
  InterfacePreview& preview = *harness.preview();
  const int width = preview.get_width();
  // Below the mock tabs and tiles: the sidebar backdrop, or the page of the card.
  const int x = width / 10, y = 220;
  const auto leading = SettingsHarness::pixel(SettingsHarness::render(preview), x, y);

  // The next frame of each window shows the change.
  struct Frame {
    bool seen = false;
    double shown = 0;
  } previewFrame, browserFrame;
  auto firstFrame = [](Gtk::Widget& widget, Frame& frame, std::function<double()> shown) {
    GdkFrameClock* clock = gtk_widget_get_frame_clock(widget.gobj());
    auto* hook = new std::function<void()>([&frame, shown] {
      if (!frame.seen) frame = {true, shown()};
    });
    return g_signal_connect_data(
        clock, "after-paint",
        G_CALLBACK(+[](GdkFrameClock*, std::function<void()>* run) { (*run)(); }), hook,
        +[](gpointer data, GClosure*) { delete static_cast<std::function<void()>*>(data); },
        GConnectFlags(0));
  };
  Gtk::Widget& column = testing::sidebarColumn(harness.window());
  const gulong previewHook = firstFrame(
      preview, previewFrame, [&] { return SettingsHarness::drawnSidebarWidth(preview); });
  const gulong browserHook =
      firstFrame(column, browserFrame, [&] { return double(column.get_width()); });
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.sidebarWidth = 360; });
  ASSERT_TRUE(testing::waitUntil([&] { return previewFrame.seen && browserFrame.seen; }));
  g_signal_handler_disconnect(gtk_widget_get_frame_clock(preview.gobj()), previewHook);
  g_signal_handler_disconnect(gtk_widget_get_frame_clock(column.gobj()), browserHook);
  EXPECT_NEAR(previewFrame.shown, 360 * InterfacePreview::kPaneScale, 1e-3);
  pump();
  EXPECT_EQ(browserFrame.shown, column.get_width());
  EXPECT_GT(column.get_width(), 264);

  // With the sidebar on the right, the left of the miniature shows the white page of the card.
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.sidebarSide = SidebarSide::trailing; });
  pump();
  const auto trailing = SettingsHarness::pixel(SettingsHarness::render(preview), x, y);
  EXPECT_NE(leading, trailing);
  EXPECT_EQ(trailing, (std::array<int, 3>{255, 255, 255}));

  // In the dark the page of the card is dark grey.
  AdwStyleManager* style = adw_style_manager_get_default();
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_FORCE_DARK);
  pump();
  const auto dark = SettingsHarness::pixel(SettingsHarness::render(preview), x, y);
  EXPECT_EQ(dark, (std::array<int, 3>{46, 46, 46}));
  SettingsHarness::shot(*harness.view().get_child(), "settings-dark-tr");
  harness.setLanguage(AppLanguage::english);
  SettingsHarness::shot(*harness.view().get_child(), "settings-dark-en");
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_DEFAULT);
}

}  // namespace
}  // namespace zemblo
