#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>

#include "app/browser_commands_harness.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/window_model.h"
#include "support/find_widget.h"
#include "support/find_window.h"
#include "window/accessibility_tree.h"
#include "window/browser_window.h"

// Page dialogs met as the user meets them: real pages on a local server, real keys to the
// browser window, the dialog found on screen by its name.
namespace zemblo {
namespace {

using testing::BrowserCommandsTest;
using testing::pressKeys;
using testing::waitUntil;
using testing::WebHarness;

class PageDialogsTest : public BrowserCommandsTest {
 protected:
  PageDialogsTest() {
    // Asks as soon as the user looks away from it.
    server.page("/Behind",
                "<title>Behind</title><script>document.addEventListener('visibilitychange', () => "
                "{ if (document.hidden) document.title = 'asked:' + confirm('From behind'); "
                "});</script>");
    server.page("/asker",
                "<title>Asker</title><script>setTimeout(() => { document.title = 'answered:' + "
                "confirm('Stay?'); }, 0);</script>");
    server.page("/three",
                "<title>Three</title><script>setTimeout(() => { const answers = [confirm('one'), "
                "confirm('two'), confirm('three')]; document.title = 'answers:' + answers; }, "
                "0);</script>");
    // Asks on every load, then reloads itself, then moves to another of its pages.
    server.page("/nag",
                "<title>Nag</title><script>setTimeout(() => { const n = Number(sessionStorage.n "
                "|| 0) + 1; sessionStorage.n = n; const answer = confirm('again ' + n); "
                "document.title = 'nag:' + n + ':' + answer; if (n < 3) location.reload(); else "
                "if (n == 3) location.href = '/nag?moved'; }, 0);</script>");
    // Asks once, then takes the tab to another site.
    server.page("/hop",
                "<title>Hop</title><script>setTimeout(() => { alert('here'); "
                "location.href = '" +
                    server.url("/asker") + "'; }, 0);</script>");
    // Alerts of 10 KB in one word, 1 MB of words in lines of five, and 2 MB in one line.
    server.page("/long",
                "<title>Long</title><script>setTimeout(() => { const kind = location.search; "
                "alert(kind == '?word' ? 'W'.repeat(10240) : kind == '?words' ? Array.from("
                "{length: 200000}, (_, i) => 'word' + (i % 5 ? ' ' : '\\n')).join('') : "
                "'X'.repeat(2 << 20)); }, 0);</script>");
  }

  // The page dialog on screen in the browser window, if any.
  GtkWidget* shownDialog() {
    return testing::findFirst(GTK_WIDGET(window().gobj()), [](GtkWidget* widget) {
      return g_strcmp0(gtk_widget_get_name(widget), "PageDialog") == 0 &&
             gtk_widget_is_drawable(widget);
    });
  }
  GtkWidget* inDialog(const std::function<bool(GtkWidget*)>& match) {
    GtkWidget* dialog = shownDialog();
    return dialog ? testing::findFirst(dialog, match) : nullptr;
  }
  GtkWidget* button(const std::string& label) {
    return inDialog([&](GtkWidget* widget) {
      return GTK_IS_BUTTON(widget) && !GTK_IS_CHECK_BUTTON(widget) &&
             gtk_widget_get_visible(widget) &&
             label == (gtk_button_get_label(GTK_BUTTON(widget)) ?: "");
    });
  }
  GtkCheckButton* stopBox() {
    return GTK_CHECK_BUTTON(inDialog([](GtkWidget* widget) {
      return GTK_IS_CHECK_BUTTON(widget) && gtk_widget_get_visible(widget);
    }));
  }
  bool shows(const std::string& message) {
    return inDialog([&](GtkWidget* widget) {
             return GTK_IS_LABEL(widget) && message == gtk_label_get_text(GTK_LABEL(widget));
           }) != nullptr;
  }
  bool okHasFocus() {
    GtkWidget* ok = button(localized("Tamam"));
    return ok && gtk_widget_has_focus(ok);
  }
  // Waits for the dialog with `message`, with the keyboard on its OK button.
  bool waitForDialog(const std::string& message) {
    return waitUntil([&] { return shows(message) && okHasFocus(); });
  }
  std::shared_ptr<BrowserTab> openAsking(const std::string& path) {
    return store().tabs().openTab(server.address(path), false);
  }
};

// A tab the user left asks from behind: the dialog waits in that tab, marked in its row, while
// the user types on in the tab in front; it comes up once its tab is shown again, and goes with
// the tab.
TEST_F(PageDialogsTest, ABackgroundTabsDialogWaitsForItsTabAndGoesWithIt) {
  runBrowser([&] {
    auto behind = openPage("Behind");
    pressKeys("ctrl+t");
    ASSERT_TRUE(waitUntil([&] { return behind->dialogs.pending.peek().has_value(); }));
    auto front = selected();
    ASSERT_NE(front, behind);
    pressKeys("a b c");
    ASSERT_TRUE(waitUntil([&] {
      GtkWidget* focus = gtk_root_get_focus(GTK_ROOT(window().gobj()));
      return focus && GTK_IS_EDITABLE(focus) &&
             std::string(gtk_editable_get_text(GTK_EDITABLE(focus))) == "abc";
    })) << "the keys did not reach the tab in front";
    EXPECT_EQ(shownDialog(), nullptr);
    const std::string waiting = localized("Sayfa bir yanıt bekliyor");
    const auto nodes = testing::AccessibilityReader::read();
    EXPECT_EQ(std::count_if(nodes.begin(), nodes.end(),
                            [&](const auto& node) { return node.name == waiting; }),
              1);

    pressKeys("ctrl+Tab");
    ASSERT_TRUE(waitUntil([&] { return selected() == behind; }));
    ASSERT_TRUE(waitForDialog("From behind"));
    // Screen readers name each button once.
    const auto controls = testing::readControls("Zemblo");
    EXPECT_EQ(controls.count({"button", localized("Tamam")}), 1u);
    EXPECT_EQ(controls.count({"button", localized("Vazgeç")}), 1u);

    // Out of sight again, then closed: the page's question ends with its tab.
    pressKeys("ctrl+Tab");
    ASSERT_TRUE(waitUntil([&] { return selected() == front; }));
    ASSERT_TRUE(waitUntil([&] { return shownDialog() == nullptr; }));
    testing::FinalizationProbe page(WebHarness::viewOf(*behind));
    store().tabs().closeTab(*behind);
    EXPECT_FALSE(behind->dialogs.pending.peek());
    EXPECT_TRUE(waitUntil([&] { return page.finalized(); }));
    EXPECT_EQ(shownDialog(), nullptr);
  });
}

// The browser's keys work under a page's dialog, which stays with its tab.
TEST_F(PageDialogsTest, BrowserKeysWorkUnderAPageDialogThatStaysWithItsTab) {
  runBrowser([&] {
    auto alpha = openPage("Alpha");
    auto asker = openAsking("/asker");
    ASSERT_TRUE(waitForDialog("Stay?"));

    pressKeys("ctrl+t");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 3; }));
    ASSERT_TRUE(waitUntil([&] { return shownDialog() == nullptr; }));
    EXPECT_TRUE(asker->dialogs.pending.peek().has_value());
    ASSERT_EQ(tabs(), (Space::TabList{selected(), asker, alpha}));

    pressKeys("ctrl+Page_Down");
    ASSERT_TRUE(waitUntil([&] { return selected() == asker; }));
    ASSERT_TRUE(waitForDialog("Stay?"));
    pressKeys("ctrl+Tab");
    ASSERT_TRUE(waitUntil([&] { return selected() == alpha; }));
    ASSERT_TRUE(waitUntil([&] { return shownDialog() == nullptr; }));
    pressKeys("ctrl+shift+Tab");
    ASSERT_TRUE(waitUntil([&] { return selected() == asker; }));
    ASSERT_TRUE(waitForDialog("Stay?"));

    testing::FinalizationProbe page(WebHarness::viewOf(*asker));
    pressKeys("ctrl+w");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 2; }));
    EXPECT_TRUE(waitUntil([&] { return page.finalized(); }));
    EXPECT_TRUE(waitUntil([&] { return shownDialog() == nullptr; }));
  });
}

// Return answers, also once the offer to stop the page's dialogs is shown, Escape cancels, and
// the offer is reached with Tab.
TEST_F(PageDialogsTest, ReturnAnswersEscapeCancelsAndTabReachesTheOffer) {
  runBrowser([&] {
    auto tab = openAsking("/three");
    ASSERT_TRUE(waitForDialog("one"));
    EXPECT_EQ(stopBox(), nullptr);
    pressKeys("Return");
    ASSERT_TRUE(waitForDialog("two"));
    ASSERT_NE(stopBox(), nullptr);
    pressKeys("Tab");
    ASSERT_TRUE(waitUntil([&] { return gtk_widget_has_focus(GTK_WIDGET(stopBox())); }));
    pressKeys("shift+Tab Return");
    ASSERT_TRUE(waitForDialog("three"));
    EXPECT_FALSE(gtk_check_button_get_active(stopBox()));
    pressKeys("Escape");
    ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "answers:true,true,false"; }));
    EXPECT_EQ(shownDialog(), nullptr);
  });
}

// Long texts are cut before the dialog lays them out: under each, Ctrl+W shows the next tab's
// dialog at once, and Ctrl+Q reaches the application.
TEST_F(PageDialogsTest, LongAlertsAreCutAndLeaveCtrlWAndCtrlQWorkingAtOnce) {
  using namespace std::chrono_literals;
  runBrowser([&] {
    for (const char* kind : {"word", "words", "line"}) {
      auto tab = openAsking(std::string("/long?") + kind);
      ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); })) << kind;
    }
    openPage("Alpha");
    // A dialog is laid out on the frame after it shows: a stall counts in the next key's time.
    std::set<std::string> seen;
    for (int shown = 0; shown < 3; ++shown) {
      const auto pressed = std::chrono::steady_clock::now();
      pressKeys("ctrl+w");
      GtkWidget* label = nullptr;
      ASSERT_TRUE(waitUntil([&] {
        label = inDialog([&](GtkWidget* widget) {
          return GTK_IS_LABEL(widget) && !seen.contains(gtk_label_get_text(GTK_LABEL(widget))) &&
                 std::string(gtk_label_get_text(GTK_LABEL(widget))).ends_with("…");
        });
        return label && seen.insert(gtk_label_get_text(GTK_LABEL(label))).second;
      }));
      EXPECT_LT(std::chrono::steady_clock::now() - pressed, 1s);
      // What the pane can't hold is a scroll away, and a scroll bar beside the text says so.
      GtkWidget* pane = gtk_widget_get_ancestor(label, GTK_TYPE_SCROLLED_WINDOW);
      GtkWidget* bar = gtk_scrolled_window_get_vscrollbar(GTK_SCROLLED_WINDOW(pane));
      EXPECT_TRUE(waitUntil([&] {
        return gtk_widget_get_mapped(bar) && gtk_widget_get_width(label) > 0 &&
               gtk_widget_get_width(label) + gtk_widget_get_width(bar) <=
                   gtk_widget_get_width(pane);
      }));
    }
    bool quitAsked = false;
    auto quit = std::dynamic_pointer_cast<Gio::SimpleAction>(app->lookup_action("quit"));
    auto asked = quit->signal_activate().connect([&](auto&) { quitAsked = true; });
    const auto pressed = std::chrono::steady_clock::now();
    pressKeys("ctrl+q");
    EXPECT_TRUE(waitUntil([&] { return quitAsked; }));
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 1s);
    asked.disconnect();
  });
}

// Once the user stopped a page's dialogs, its own reloads and moves bring none back; the user
// taking the tab to another site does, and each site's dialogs are counted on their own.
TEST_F(PageDialogsTest, StoppedDialogsStayStoppedThroughThePagesReloadsUntilTheUserLeavesTheSite) {
  runBrowser([&] {
    auto tab = openAsking("/nag");
    ASSERT_TRUE(waitForDialog("again 1"));
    pressKeys("Return");
    ASSERT_TRUE(waitForDialog("again 2"));
    auto shown = std::make_shared<int>(0);
    auto counting = tab->dialogs.pending.signalChanged().connect(
        [shown, pending = &tab->dialogs.pending] { *shown += pending->peek() ? 1 : 0; });
    pressKeys("Tab space Return");
    const bool stopped = waitUntil([&] { return tab->title.peek() == "nag:4:false"; });
    counting.disconnect();
    ASSERT_TRUE(stopped) << tab->title.peek();
    EXPECT_EQ(*shown, 0);
    EXPECT_EQ(tab->url.peek(), server.address("/nag?moved"));

    pressKeys("ctrl+l");
    ASSERT_TRUE(waitUntil([&] { return commandBarHasFocus(); }));
    const std::string hop = server.localhostURL("/hop");
    testing::runBesideMainLoop(testing::xdotoolOn("Zemblo", "type --delay 10 '" + hop + "'"));
    ASSERT_TRUE(waitUntil([&] {
      return std::string(
                 testing::textFieldIn(*testing::activeView<CommandBar>(window(), "CommandBar"))
                     .get_text()) == hop;
    }));
    pressKeys("Return");
    ASSERT_TRUE(waitForDialog("here"));
    pressKeys("Return");
    // Back on the first site, brought there by the page: its first dialog makes no offer.
    ASSERT_TRUE(waitForDialog("Stay?"));
    EXPECT_EQ(stopBox(), nullptr);
    pressKeys("Return");
    ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "answered:true"; }));
  });
}

}  // namespace
}  // namespace zemblo
