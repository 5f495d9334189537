#include <gtest/gtest.h>

#include "browser_commands_harness.h"
#include "support/find_widget.h"
#include "support/find_window.h"
#include "support/window_manager.h"
#include "window/card_drawing.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::BrowserCommandsTest;
using testing::callJavaScript;
using testing::pressKeys;
using testing::waitUntil;
using testing::WebHarness;

// A page whose button (over the whole page) shows its video full screen.
constexpr const char* kVideoPage =
    "<title>Video</title><video id=film style='width:200px;height:100px;background:black'>"
    "</video><button style='position:fixed;left:0;top:0;width:100%;height:100%' "
    "onclick=\"film.requestFullscreen()\">full screen</button>";

class FullScreenTest : public BrowserCommandsTest {
 protected:
  FullScreenTest() { server.page("/Video", kVideoPage); }

  // Where the widget lies in the window, in the window's coordinates.
  static graphene_rect_t boundsInWindow(Gtk::Widget& widget, Gtk::Window& window) {
    graphene_rect_t bounds{};
    EXPECT_TRUE(gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(window.gobj()), &bounds));
    return bounds;
  }
  // The window's content covers its monitor.
  bool windowFillsScreen() {
    Gdk::Rectangle screen;
    window().get_display()->get_monitor_at_surface(window().get_surface())->get_geometry(screen);
    return window().get_width() == screen.get_width() &&
           window().get_height() == screen.get_height();
  }
  // The page's view covers the window edge to edge.
  bool pageFillsWindow(BrowserTab& tab) {
    const auto bounds = boundsInWindow(WebHarness::portOf(tab).widget(), window());
    return bounds.origin.x == 0 && bounds.origin.y == 0 &&
           bounds.size.width == window().get_width() && bounds.size.height == window().get_height();
  }
  Gtk::Widget& card() { return testing::widgetNamed(window(), "ContentArea"); }
  // The window's note on how to leave full screen, found by its widget name, if it is shown.
  Gtk::Label* shownHint() {
    GtkWidget* hint = testing::findByWidgetName(GTK_WIDGET(window().gobj()), "FullScreenHint");
    return hint && gtk_widget_get_mapped(hint) ? dynamic_cast<Gtk::Label*>(Glib::wrap(hint))
                                               : nullptr;
  }
  // A real click in the middle of the page's view.
  void clickPage(BrowserTab& tab) {
    const auto bounds = boundsInWindow(WebHarness::portOf(tab).widget(), window());
    double frameX = 0, frameY = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(window().gobj()), &frameX, &frameY);
    const std::string command = testing::xdotoolOn(
        "Zemblo", "windowfocus %1 mousemove --window %1 " +
                      std::to_string(int(frameX + bounds.origin.x + bounds.size.width / 2)) + " " +
                      std::to_string(int(frameY + bounds.origin.y + bounds.size.height / 2)) +
                      " click 1");
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  testing::WindowManager windowManager;
};

TEST_F(FullScreenTest, F11FillsTheScreenWithThePageAndKeepsTheSidebarAPeekAway) {
  ASSERT_TRUE(windowManager.ready());
  runBrowser([&] {
    store().preferences().updatePrefs(
        [](AppPreferences& prefs) { prefs.language = AppLanguage::english; });
    ASSERT_TRUE(waitUntil([&] { return menusIn(AppLanguage::english); }));
    auto tab = openPage("Alpha");
    ASSERT_TRUE(testing::sidebarColumn(window()).get_visible());
    EXPECT_FALSE(pageFillsWindow(*tab));

    pressKeys("F11");
    ASSERT_TRUE(waitUntil(
        [&] { return window().is_fullscreen() && windowFillsScreen() && pageFillsWindow(*tab); }));
    EXPECT_FALSE(testing::sidebarColumn(window()).get_visible());
    EXPECT_EQ(testing::drawnCornerRadius(card()), 0);
    Gtk::Label* hint = shownHint();
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->get_text(), "Press F11 to exit full screen");
    testing::WindowHarness::screenshot("full-screen");
    // The setting is the user's: full screen only hides the sidebar for a while.
    EXPECT_TRUE(store().tabs().sidebarVisible.peek());

    // The sidebar peeks from its edge, as when it is hidden.
    testing::xdotool("mousemove --window %1 2 " + std::to_string(window().get_height() / 2));
    ASSERT_TRUE(
        waitUntil([&] { return testing::widgetNamed(window(), "PeekSidebar").get_visible(); }));
    testing::xdotool("mousemove --window %1 " + std::to_string(window().get_width() / 2) + " " +
                     std::to_string(window().get_height() / 2));
    ASSERT_TRUE(
        waitUntil([&] { return !testing::widgetNamed(window(), "PeekSidebar").get_visible(); }));

    // The hint leaves by itself.
    EXPECT_TRUE(waitUntil([&] { return !shownHint(); }));

    pressKeys("F11");
    ASSERT_TRUE(waitUntil([&] {
      return !window().is_fullscreen() && testing::sidebarColumn(window()).get_visible() &&
             !pageFillsWindow(*tab);
    }));
    EXPECT_GT(testing::drawnCornerRadius(card()), 0);
    EXPECT_EQ(keysSeenBy(*tab), "");
  });
}

TEST_F(FullScreenTest, APagesVideoFillsTheWholeScreenUntilEscapeOrF11) {
  ASSERT_TRUE(windowManager.ready());
  runBrowser([&] {
    store().preferences().updatePrefs(
        [](AppPreferences& prefs) { prefs.language = AppLanguage::turkish; });
    ASSERT_TRUE(waitUntil([&] { return menusIn(AppLanguage::turkish); }));
    auto tab = store().tabs().openTab(server.address("/Video"), false);
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Video"));
    const auto videoIsFullScreen = [&] {
      return callJavaScript(WebHarness::viewOf(*tab),
                            "return String(document.fullscreenElement?.id);") == "film";
    };

    for (const std::string leave : {"Escape", "F11"}) {
      clickPage(*tab);
      ASSERT_TRUE(waitUntil([&] {
        return tab->showsPageFullScreen.peek() && window().is_fullscreen() && windowFillsScreen() &&
               pageFillsWindow(*tab);
      })) << leave;
      ASSERT_TRUE(videoIsFullScreen());
      // Nothing of the browser is left on screen: no sidebar, nor its strip, nor the card's
      // corners.
      EXPECT_FALSE(testing::sidebarColumn(window()).get_visible());
      EXPECT_FALSE(testing::widgetNamed(window(), "HoverStrip").get_visible());
      EXPECT_EQ(testing::drawnCornerRadius(card()), 0);
      EXPECT_FALSE(testing::castsShadow(card()));
      Gtk::Label* hint = shownHint();
      ASSERT_TRUE(hint);
      EXPECT_EQ(hint->get_text(), "Tam ekrandan çıkmak için F11'e bas");
      if (leave == "Escape") testing::WindowHarness::screenshot("page-full-screen");

      pressKeys(leave);
      ASSERT_TRUE(waitUntil([&] {
        return !tab->showsPageFullScreen.peek() && !window().is_fullscreen() &&
               testing::sidebarColumn(window()).get_visible();
      })) << leave;
      EXPECT_TRUE(waitUntil([&] { return !videoIsFullScreen(); }));
      EXPECT_FALSE(pageFillsWindow(*tab));
    }

    // From the window's own full screen, the page's ends back there.
    pressKeys("F11");
    ASSERT_TRUE(waitUntil([&] { return window().is_fullscreen() && pageFillsWindow(*tab); }));
    clickPage(*tab);
    ASSERT_TRUE(waitUntil([&] {
      return tab->showsPageFullScreen.peek() &&
             !testing::widgetNamed(window(), "HoverStrip").get_visible();
    }));
    pressKeys("Escape");
    ASSERT_TRUE(
        waitUntil([&] { return !videoIsFullScreen() && !tab->showsPageFullScreen.peek(); }));
    // The engine gives the window back as the page found it.
    EXPECT_TRUE(waitUntil([&] {
      return window().is_fullscreen() && pageFillsWindow(*tab) &&
             testing::widgetNamed(window(), "HoverStrip").get_visible();
    }));
    EXPECT_FALSE(testing::sidebarColumn(window()).get_visible());
  });
}

}  // namespace
}  // namespace zemblo
