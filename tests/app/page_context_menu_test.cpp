// The page's context menu, opened by a real right-click on a link, a picture, a selection and
// the page itself in the running browser: what it offers, in the interface language of the
// moment, and what its items do to the tabs, the server and the disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/browser_commands_harness.h"
#include "model/preferences_model.h"
#include "model/search_engine.h"
#include "platform/paths.h"
#include "support/file_chooser.h"
#include "support/find_widget.h"
#include "window/accessibility_tree.h"

namespace zemblo {
namespace {

using testing::BrowserCommandsTest;
using testing::waitUntil;
using testing::WebHarness;

constexpr const char* kSelected = "Çok uzun bir seçim: ığüşöç İstanbul’da kışın deniz kenarı";

// Each thing to click has a place of its own, well apart from the others.
const std::string kPage = std::string(
                              "<title>Menu Page</title><body style='margin:0;font:20px sans-serif'>"
                              "<a href='/target' style='position:absolute;left:0;top:0;width:300px;"
                              "height:40px;display:block'>Target page</a>"
                              "<img src='/picture.svg' style='position:absolute;left:0;top:60px;"
                              "width:100px;height:100px'>"
                              "<p id=text style='position:absolute;left:0;top:200px;margin:0'>") +
                          kSelected + "</p><p style='position:absolute;top:400px'>Unmistakable</p>";

struct Point {
  int x, y;
};
constexpr Point kLink{20, 20}, kImage{50, 110}, kText{40, 212}, kPageSpot{600, 320};

class PageContextMenuTest : public BrowserCommandsTest {
 protected:
  PageContextMenuTest() {
    server.page("/menu", kPage);
    server.page("/target", "<title>Target</title>");
    server.route("/picture.svg",
                 {"<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
                  "<rect width='100' height='100' fill='teal'/></svg>",
                  "image/svg+xml"});
  }

  // The window builds its content anew for the language: the page is clicked once it is back.
  void useLanguage(AppLanguage language, BrowserTab* shown = nullptr) {
    GtkWidget* view = shown ? GTK_WIDGET(WebHarness::viewOf(*shown)) : nullptr;
    GtkWidget* parent = view ? gtk_widget_get_parent(view) : nullptr;
    store().preferences().updatePrefs([&](AppPreferences& prefs) { prefs.language = language; });
    menuName_ = language == AppLanguage::english ? "Page menu" : "Sayfa menüsü";
    ASSERT_TRUE(waitUntil([&] { return menusIn(language); }));
    if (view) {
      ASSERT_TRUE(waitUntil(
          [&] { return gtk_widget_get_parent(view) != parent && gtk_widget_get_mapped(view); }));
      waitForPaint(*shown);
    }
  }

  // A page put back on screen takes clicks once it has painted there again.
  static void waitForPaint(BrowserTab& tab) {
    EXPECT_TRUE(waitUntil([&] { return WebHarness::portOf(tab).widget().get_mapped(); }));
    EXPECT_EQ(testing::callJavaScript(WebHarness::viewOf(tab),
                                      "await new Promise((done) => requestAnimationFrame(() => "
                                      "requestAnimationFrame(done))); return true;"),
              "true");
  }

  std::shared_ptr<BrowserTab> openMenuPage() { return openMenuPage(store().tabs()); }
  std::shared_ptr<BrowserTab> openMenuPage(WindowModel& in) {
    auto tab = in.openTab(server.address("/menu"), false);
    EXPECT_TRUE(WebHarness::waitForPage(*tab, "Menu Page"));
    // A click before the page's first paint on screen finds no page to take it.
    waitForPaint(*tab);
    // The picture is on screen before it is clicked.
    EXPECT_TRUE(waitUntil([&] {
      return testing::callJavaScript(WebHarness::viewOf(*tab),
                                     "return document.images[0].complete;") == "true";
    }));
    return tab;
  }

  // Right-clicks the page at `at` with real input and waits for the engine's menu.
  GtkPopoverMenu* rightClick(BrowserTab& tab, Point at) {
    clickAt(tab, at, "click 3");
    GtkPopoverMenu* shown = nullptr;
    EXPECT_TRUE(waitUntil([&] { return (shown = shownMenu(WebHarness::viewOf(tab))) != nullptr; }))
        << "no menu was shown";
    return shown;
  }

  // Real input at `at` on the page: "click 3" for a right-click.
  void clickAt(BrowserTab& tab, Point at, const std::string& click) {
    WebKitWebView* view = WebHarness::viewOf(tab);
    GtkWindow* shown = GTK_WINDOW(gtk_widget_get_root(GTK_WIDGET(view)));
    graphene_rect_t bounds;
    EXPECT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(view), GTK_WIDGET(shown), &bounds));
    double frameX = 0, frameY = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(shown), &frameX, &frameY);
    const std::string command = testing::xdotoolOn(
        shown, "windowfocus %1 mousemove --window %1 " +
                   std::to_string(int(frameX + bounds.origin.x + at.x)) + " " +
                   std::to_string(int(frameY + bounds.origin.y + at.y)) + " " + click);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

  static GtkPopoverMenu* shownMenu(WebKitWebView* view) {
    for (GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(view)); child;
         child = gtk_widget_get_next_sibling(child)) {
      if (GTK_IS_POPOVER_MENU(child) && gtk_widget_get_mapped(child)) {
        return GTK_POPOVER_MENU(child);
      }
    }
    return nullptr;
  }

  struct Entry {
    std::string label;
    std::string action;
  };
  static void collect(GMenuModel* model, std::vector<Entry>& entries) {
    for (int i = 0; model && i < g_menu_model_get_n_items(model); ++i) {
      gchar* label = nullptr;
      gchar* action = nullptr;
      if (g_menu_model_get_item_attribute(model, i, G_MENU_ATTRIBUTE_LABEL, "s", &label)) {
        g_menu_model_get_item_attribute(model, i, G_MENU_ATTRIBUTE_ACTION, "s", &action);
        entries.push_back({label, action ? action : ""});
      }
      g_free(label);
      g_free(action);
      for (const char* link : {G_MENU_LINK_SECTION, G_MENU_LINK_SUBMENU}) {
        GMenuModel* inner = g_menu_model_get_item_link(model, i, link);
        collect(inner, entries);
        if (inner) g_object_unref(inner);
      }
    }
  }
  static std::vector<Entry> entriesOf(GtkPopoverMenu* menu) {
    std::vector<Entry> entries;
    if (menu) collect(gtk_popover_menu_get_menu_model(menu), entries);
    return entries;
  }

  // The labels of the menu the right-click at `at` opens; the menu is closed after. Screen readers
  // read it by its name in the language of the moment, and nothing in it by its type.
  std::vector<std::string> labelsAt(BrowserTab& tab, Point at) {
    GtkPopoverMenu* menu = rightClick(tab, at);
    if (menu) {
      char* wrong = gtk_test_accessible_check_property(
          GTK_ACCESSIBLE(menu), GTK_ACCESSIBLE_PROPERTY_LABEL, menuName_.c_str());
      EXPECT_EQ(wrong, nullptr) << wrong;
      g_free(wrong);
      std::set<std::string> names;
      std::vector<std::string> faults;
      testing::checkWidgets(GTK_WIDGET(menu), names, faults);
      EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
    }
    std::vector<std::string> labels;
    for (const Entry& entry : entriesOf(menu)) labels.push_back(entry.label);
    close(tab);
    return labels;
  }

  // Closes the shown menu as the user does, and waits until the page knows it is closed: a
  // right-click before that opens none.
  void close(BrowserTab& tab) {
    WebKitWebView* view = WebHarness::viewOf(tab);
    if (shownMenu(view)) {
      const std::string command = testing::xdotoolOn(
          GTK_WINDOW(gtk_widget_get_root(GTK_WIDGET(view))), "windowfocus %1 key Escape");
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    EXPECT_TRUE(waitUntil([&] { return shownMenu(view) == nullptr; }));
    EXPECT_TRUE(testing::pageAnswered(view));
  }

  // Chooses the item labelled `label` of the menu the right-click at `at` opens. One that
  // `showsAnotherTab` takes the page off screen with its menu still open before the menu is
  // closed, as a slow turn of the main loop would now and then.
  void choose(BrowserTab& tab, Point at, const std::string& label, bool showsAnotherTab = false) {
    GtkPopoverMenu* menu = rightClick(tab, at);
    for (const Entry& entry : entriesOf(menu)) {
      if (entry.label != label) continue;
      EXPECT_TRUE(gtk_widget_activate_action(GTK_WIDGET(menu), entry.action.c_str(), nullptr))
          << entry.action;
      if (showsAnotherTab) {
        EXPECT_TRUE(waitUntil([&] { return !WebHarness::portOf(tab).widget().get_mapped(); }));
      }
      close(tab);
      return;
    }
    std::string offered;
    for (const Entry& entry : entriesOf(menu)) offered += " [" + entry.label + "]";
    ADD_FAILURE() << "no item " << label << " among" << offered;
    close(tab);
  }

  std::string menuName_;

  // Selects the paragraph as the user does, with a triple click.
  void selectText(BrowserTab& tab) {
    clickAt(tab, kText, "click --repeat 3 1");
    ASSERT_TRUE(waitUntil([&] {
      return testing::callJavaScript(WebHarness::viewOf(tab), "return String(getSelection());") ==
             kSelected;
    }));
  }
};

TEST_F(PageContextMenuTest, EachPlaceOffersItsOwnItemsInTheLanguageOfTheMoment) {
  runBrowser([&] {
    useLanguage(AppLanguage::english);
    auto tab = openMenuPage();
    using Labels = std::vector<std::string>;
    EXPECT_EQ(labelsAt(*tab, kLink),
              (Labels{"Open Link in New Tab", "Copy Link", "Save Link As…", "Inspect Element"}));
    EXPECT_EQ(labelsAt(*tab, kImage),
              (Labels{"Open Image in New Tab", "Save Image As…", "Copy Image", "Inspect Element"}));
    EXPECT_EQ(labelsAt(*tab, kPageSpot), (Labels{"Back", "Forward", "Reload", "Save Page As…",
                                                 "Print…", "View Page Source", "Inspect Element"}));
    selectText(*tab);
    // The selection is cut after 24 characters, none of them split.
    EXPECT_EQ(labelsAt(*tab, kText),
              (Labels{"Copy", "Search Google for “Çok uzun bir seçim: ığüş…”", "Inspect Element"}));

    // The next menu follows a change of language at once.
    useLanguage(AppLanguage::turkish, tab.get());
    EXPECT_EQ(labelsAt(*tab, kText),
              (Labels{"Kopyala", "Google ile “Çok uzun bir seçim: ığüş…” ara", "Öğeyi Denetle"}));
    EXPECT_EQ(labelsAt(*tab, kLink), (Labels{"Bağlantıyı Yeni Sekmede Aç", "Bağlantıyı Kopyala",
                                             "Bağlantıyı Farklı Kaydet…", "Öğeyi Denetle"}));
    EXPECT_EQ(labelsAt(*tab, kPageSpot),
              (Labels{"Geri", "İleri", "Yeniden Yükle", "Sayfayı Farklı Kaydet…", "Yazdır…",
                      "Sayfa Kaynağını Görüntüle", "Öğeyi Denetle"}));
  });
}

// The chooser opens in the download folder, on a later turn: a folder given before that is lost.
bool opensWhereDownloadsGo(GtkFileChooser* dialog) {
  return waitUntil(
      [&] { return testing::chosenPath(dialog).parent_path() == paths::downloadsDirectory(); });
}

TEST_F(PageContextMenuTest, ItemsOpenTabsSaveThroughTheChooserAndTellFailures) {
  runBrowser([&] {
    useLanguage(AppLanguage::english);
    auto tab = openMenuPage();

    // The link opens in a background tab right after the page, which loads it.
    const size_t before = tabs().size();
    choose(*tab, kLink, "Open Link in New Tab");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == before + 1; }));
    EXPECT_EQ(selected(), tab);
    const auto at = std::ranges::find(tabs(), tab);
    ASSERT_NE(at + 1, tabs().end());
    EXPECT_EQ((*(at + 1))->url.peek(), server.address("/target"));
    EXPECT_TRUE(waitUntil([&] { return server.hits("/target") == 1; }));

    // In another window the tab opens beside the page there too, never in the first window.
    app->activate_action("new-window");
    ASSERT_TRUE(waitUntil([&] { return testing::otherBrowserWindow(*app, window()); }));
    BrowserWindow& otherWindow = *testing::otherBrowserWindow(*app, window());
    WindowModel& other = otherWindow.tabs();
    const auto there = openMenuPage(other);
    waitForPaint(*there);
    const size_t firstWindowTabs = store().tabs().tabCount();
    const auto& otherTabs = other.currentSpace()->tabs.peek();
    const size_t otherBefore = otherTabs.size();
    choose(*there, kLink, "Open Link in New Tab");
    ASSERT_TRUE(waitUntil([&] { return otherTabs.size() == otherBefore + 1; }));
    const auto next = std::ranges::find(otherTabs, there) + 1;
    ASSERT_NE(next, otherTabs.end());
    EXPECT_EQ((*next)->url.peek(), server.address("/target"));
    EXPECT_EQ(store().tabs().tabCount(), firstWindowTabs);
    otherWindow.close();
    ASSERT_TRUE(waitUntil([&] { return store().windows().size() == 1; }));
    waitForPaint(*tab);

    // The selection is searched in full, selected beside the page, as the command bar would; the
    // menu goes with the page it was on, and the page's next menu is a new one.
    selectText(*tab);
    choose(*tab, kText, "Search Google for “Çok uzun bir seçim: ığüş…”", /*showsAnotherTab=*/true);
    ASSERT_TRUE(waitUntil([&] { return selected() != tab; }));
    EXPECT_EQ(selected()->url.peek(), SearchEngine(SearchEngine::google).searchURL(kSelected));
    store().tabs().select(*tab);
    waitForPaint(*tab);

    // The page goes into one MHTML file under the name the user gives it, its title proposed.
    const std::filesystem::path folder = home.root() / "saved";
    std::filesystem::create_directories(folder);
    choose(*tab, kPageSpot, "Save Page As…");
    GtkFileChooser* dialog = testing::shownFileChooser();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), GTK_WINDOW(window().gobj()));
    EXPECT_EQ(std::string(gtk_file_chooser_get_current_name(dialog)), "Menu Page.mhtml");
    ASSERT_TRUE(opensWhereDownloadsGo(dialog)) << testing::chosenPath(dialog);
    const auto saved = folder / "kept.mhtml";
    ASSERT_TRUE(testing::chooseToSave(dialog, folder, "kept.mhtml"));
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    std::string bytes;
    ASSERT_TRUE(waitUntil([&] {
      bytes = home.readFile(saved);
      return bytes.find("Unmistakable") != std::string::npos;
    })) << bytes.substr(0, 400);
    EXPECT_NE(bytes.find("MIME-Version: 1.0"), std::string::npos);
    EXPECT_NE(bytes.find("multipart/related"), std::string::npos);
    EXPECT_NE(bytes.find("Content-Location: " + server.url("/picture.svg")), std::string::npos)
        << "the picture travels inside the file";

    // Ctrl+Shift+S asks too; a folder no file can be made in is told to the user, in a toast.
    testing::pressKeys("ctrl+shift+s");
    dialog = testing::shownFileChooser();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(opensWhereDownloadsGo(dialog)) << testing::chosenPath(dialog);
    ASSERT_TRUE(testing::chooseToSave(dialog, "/proc/sys", "kept.mhtml"));
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    EXPECT_TRUE(waitUntil([&] {
      return testing::findFirst(GTK_WIDGET(window().gobj()), [](GtkWidget* widget) {
        return GTK_IS_LABEL(widget) && std::string(gtk_label_get_text(GTK_LABEL(widget)))
                                           .starts_with("The page couldn't be saved: ");
      });
    }));

    // Saving a link asks where even while downloads are not set to ask.
    ASSERT_FALSE(store().preferences().observablePrefs().peek().askWhereToSave);
    choose(*tab, kLink, "Save Link As…");
    dialog = testing::shownFileChooser();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(std::string(gtk_file_chooser_get_current_name(dialog)), "target.html");
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
  });
}

}  // namespace
}  // namespace zemblo
