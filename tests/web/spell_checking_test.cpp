// Spell checking in a real page's text area: the engine's own menu for a misspelt word, driven by
// a real right-click, offers guesses while the preference is on and none once it is off.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "model/preferences_model.h"
#include "support/interface_language.h"
#include "web/web_harness.h"

namespace zemblo {
namespace {

using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::xdotoolOn;

constexpr const char* kPage =
    "<title>Note</title><body style='margin:0'>"
    "<textarea spellcheck=true style='position:fixed;left:0;top:0;width:600px;height:200px;"
    "border:0;padding:0;font:40px monospace'>recieve</textarea>";

class SpellCheckingTest : public ::testing::Test {
 protected:
  SpellCheckingTest() {
    server.page("/note", kPage);
    tab = harness.show(server.url("/note"));
  }

  WebKitWebView* view() { return WebHarness::viewOf(*tab); }

  // Right-clicks the word in the text area; the actions of the menu the engine builds for it.
  std::vector<WebKitContextMenuAction> menuForWord() {
    std::optional<std::vector<WebKitContextMenuAction>> actions;
    auto record = +[](WebKitWebView*, WebKitContextMenu* menu, WebKitHitTestResult*,
                      gpointer data) -> gboolean {
      auto& seen = *static_cast<std::optional<std::vector<WebKitContextMenuAction>>*>(data);
      seen.emplace();
      for (GList* item = webkit_context_menu_get_items(menu); item; item = item->next) {
        seen->push_back(
            webkit_context_menu_item_get_stock_action(WEBKIT_CONTEXT_MENU_ITEM(item->data)));
      }
      return FALSE;
    };
    const gulong handler = g_signal_connect(view(), "context-menu", G_CALLBACK(record), &actions);
    graphene_rect_t bounds;
    EXPECT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(view()), GTK_WIDGET(harness.window().gobj()),
                                          &bounds));
    double frameX = 0, frameY = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(harness.window().gobj()), &frameX, &frameY);
    const std::string command = xdotoolOn(
        harness.windowTitle(), "windowraise %1 mousemove --window %1 " +
                                   std::to_string(int(frameX + bounds.origin.x + 60)) + " " +
                                   std::to_string(int(frameY + bounds.origin.y + 22)) + " click 3");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(waitUntil([&] { return actions.has_value() && shownMenu(); }))
        << "no menu was shown";
    g_signal_handler_disconnect(view(), handler);
    return actions.value_or(std::vector<WebKitContextMenuAction>{});
  }

  // The menu the engine shows over the page.
  GtkPopoverMenu* shownMenu() {
    for (GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(view())); child;
         child = gtk_widget_get_next_sibling(child)) {
      if (GTK_IS_POPOVER_MENU(child) && gtk_widget_get_mapped(child)) {
        return GTK_POPOVER_MENU(child);
      }
    }
    return nullptr;
  }

  // The labels of the shown menu's items, as the user reads them; the menu is closed after.
  std::vector<std::string> shownLabelsThenClose() {
    std::vector<std::string> labels;
    GtkPopoverMenu* menu = shownMenu();
    if (!menu) return labels;
    GMenuModel* model = gtk_popover_menu_get_menu_model(menu);
    collectLabels(model, labels);
    gtk_popover_popdown(GTK_POPOVER(menu));
    EXPECT_TRUE(waitUntil([&] { return shownMenu() == nullptr; }));
    return labels;
  }

  static void collectLabels(GMenuModel* model, std::vector<std::string>& labels) {
    for (int i = 0; model && i < g_menu_model_get_n_items(model); ++i) {
      gchar* label = nullptr;
      if (g_menu_model_get_item_attribute(model, i, G_MENU_ATTRIBUTE_LABEL, "s", &label)) {
        labels.emplace_back(label);
        g_free(label);
      }
      for (const char* link : {G_MENU_LINK_SECTION, G_MENU_LINK_SUBMENU}) {
        GMenuModel* inner = g_menu_model_get_item_link(model, i, link);
        collectLabels(inner, labels);
        if (inner) g_object_unref(inner);
      }
    }
  }

  static bool offers(const std::vector<WebKitContextMenuAction>& actions,
                     WebKitContextMenuAction action) {
    return std::ranges::find(actions, action) != actions.end();
  }

  testing::InterfaceLanguage english{true};
  TestServer server;
  WebHarness harness;
  std::shared_ptr<BrowserTab> tab;
};

TEST_F(SpellCheckingTest, AMisspeltWordGetsGuessesOnlyWhileThePreferenceIsOn) {
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Note"));
  const auto checked = menuForWord();
  EXPECT_TRUE(offers(checked, WEBKIT_CONTEXT_MENU_ACTION_SPELLING_GUESS));
  EXPECT_TRUE(offers(checked, WEBKIT_CONTEXT_MENU_ACTION_LEARN_SPELLING));
  const auto labels = shownLabelsThenClose();
  EXPECT_NE(std::ranges::find(labels, "receive"), labels.end());
  EXPECT_NE(std::ranges::find(labels, "Add to dictionary"), labels.end());

  harness.store().preferences().updatePrefs([](AppPreferences& p) { p.spellChecking = false; });
  const auto unchecked = menuForWord();
  EXPECT_FALSE(offers(unchecked, WEBKIT_CONTEXT_MENU_ACTION_SPELLING_GUESS));
  EXPECT_FALSE(offers(unchecked, WEBKIT_CONTEXT_MENU_ACTION_LEARN_SPELLING));
  EXPECT_TRUE(offers(unchecked, WEBKIT_CONTEXT_MENU_ACTION_PASTE)) << "the menu is the text area's";
  shownLabelsThenClose();
}

}  // namespace
}  // namespace zemblo
