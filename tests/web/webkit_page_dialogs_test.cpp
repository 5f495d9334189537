#include "web/webkit_page_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/localization.h"
#include "model/tabs_model.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::clickWindow;
using testing::PrintDialogWatch;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using namespace std::chrono_literals;

GtkCheckButton* blockMoreBox(GtkDialog* dialog) {
  for (GtkWidget* child = gtk_widget_get_first_child(gtk_dialog_get_content_area(dialog)); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GTK_IS_CHECK_BUTTON(child)) return GTK_CHECK_BUTTON(child);
  }
  return nullptr;
}

// An upload field covers the whole page, so a click anywhere in the window reaches it.
constexpr const char* kCover = "position:fixed;left:0;top:0;width:100%;height:100%";

class WebKitPageDialogsTest : public ::testing::Test {
 protected:
  WebKitPageDialogsTest() {
    server.page("/page", "<title>Page</title>");
    server.page("/two", "<title>Page Two</title>");
    server.page("/alert",
                "<title>Alert</title><script>setTimeout(() => { alert('Hello from the page'); "
                "document.title = 'alerted'; }, 0);</script>");
    // A page that asks again at once, whatever the answer; its title counts what came back.
    server.page("/pester",
                "<title>Pester</title><script>setTimeout(() => { let answers = 0; "
                "for (let i = 0; i < 40; ++i) { alert(i); answers += confirm(i) ? 1 : 0; "
                "prompt(i); } document.title = 'done:' + answers; }, 0);</script>");
    server.page("/prompt",
                "<title>Prompt</title><script>setTimeout(() => { document.title = 'name:' + "
                "prompt('Name?', 'Ada'); }, 0);</script>");
    // A frame of another origin asks in the site's name; then once more after a forged event,
    // through the engine's alert of a frame of its own; then the site itself asks.
    server.page("/embedding", "<title>Embedding</title><iframe src='" +
                                  server.localhostURL("/inner") +
                                  "'></iframe><script>addEventListener('message', () => "
                                  "alert('from the top'));</script>");
    server.page("/inner",
                "<script>setTimeout(() => { alert('Enter your bank password'); const frame = "
                "document.createElement('iframe'); document.documentElement.appendChild(frame); "
                "document.dispatchEvent(new Event('zemblo-dialog')); "
                "frame.contentWindow.alert('again'); parent.postMessage('done', '*'); }, "
                "0);</script>");
    server.page("/confirm",
                "<title>Confirm</title><script>setTimeout(() => { document.title = 'confirm:' + "
                "confirm('Go on?'); }, 0);</script>");
    server.page("/upload", std::string("<title>Upload</title><input type=file multiple style='") +
                               kCover +
                               "' onchange=\"document.title = 'files:' + "
                               "Array.from(this.files).map((file) => file.name).join(',')\" "
                               "oncancel=\"document.title = 'cancelled'\">");
    // Asks for files ten times a second with no click of the user's, and from the user's
    // first click on, every 0.4 s.
    server.page("/ask-files",
                std::string("<title>Ask</title><input type=file style='") + kCover +
                    "' oncancel=\"document.title = 'cancelled'\" onclick=\"if (!window.timer) "
                    "timer = setInterval(() => { this.click(); ++reasked; }, 400)\"><script>"
                    "window.asked = 0; window.reasked = 0; setInterval(() => { "
                    "document.querySelector('input').click(); ++asked; }, 100);</script>");
    // Prints as often as its query says, again as soon as print() returns; the title tells when
    // the page got through, and with #ask, what a confirm then answered. The engine defers a
    // print asked for while anything of the page still loads, so the page lets it run between
    // two prints.
    server.page("/print-loop",
                "<title>Printing</title><script>let left = Number(location.search.slice(1)); const "
                "again = () => { print(); if (--left) setTimeout(again, 0); else document.title = "
                "location.hash ? 'asked:' + confirm('More?') : 'printed'; }; again();</script>");
    server.page("/alert-then-print",
                "<title>Alerting</title><script>setTimeout(() => { alert('First'); print(); "
                "}, 0);</script>");
  }
  TestServer server;
};

// The page waits in its tab, which shows the dialog; the tab's answer reaches the page.
TEST_F(WebKitPageDialogsTest, AlertConfirmAndPromptWaitInTheirTabForTheAnswer) {
  WebHarness harness;
  auto tab = harness.show(server.url("/alert"));
  ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
  PageDialog dialog = *tab->dialogs.pending.peek();
  EXPECT_EQ(dialog.kind, PageDialog::Kind::alert);
  EXPECT_EQ(dialog.heading, "127.0.0.1");
  EXPECT_EQ(dialog.message, "Hello from the page");
  EXPECT_FALSE(dialog.offersToStop);
  tab->dialogs.answer({.confirmed = true});
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "alerted"; }));
  EXPECT_FALSE(tab->dialogs.pending.peek());

  tab->load(server.address("/confirm"));
  ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
  EXPECT_EQ(tab->dialogs.pending.peek()->kind, PageDialog::Kind::confirm);
  tab->dialogs.answer({.confirmed = true});
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "confirm:true"; }));

  tab->load(server.address("/prompt"));
  ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
  EXPECT_EQ(tab->dialogs.pending.peek()->kind, PageDialog::Kind::prompt);
  EXPECT_EQ(tab->dialogs.pending.peek()->defaultText, "Ada");
  tab->dialogs.answer({.confirmed = true, .text = "Grace"});
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "name:Grace"; }));
  tab->reload();
  ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
  tab->dialogs.answer({.confirmed = false, .text = "ignored"});
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "name:null"; }));

  const bool english = L10n::isEnglish();
  L10n::setEnglish(false);
  tab->load(server.address("/embedding"));
  const auto answered = [&] {
    EXPECT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
    const auto shown = tab->dialogs.pending.peek().value_or(PageDialog{});
    tab->dialogs.answer({.confirmed = true});
    return shown.heading + " | " + shown.message;
  };
  EXPECT_EQ(
      answered(),
      "127.0.0.1 üzerindeki gömülü bir sayfa (localhost) diyor ki | Enter your bank password");
  EXPECT_NE(answered(), "127.0.0.1 | again");
  EXPECT_EQ(answered(), "127.0.0.1 | from the top");
  L10n::setEnglish(english);
}

TEST_F(WebKitPageDialogsTest, APendingDialogIsAnsweredWhenItsTabNavigatesOrCloses) {
  WebHarness harness;
  auto tab = harness.show(server.url("/confirm"));
  ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
  std::vector<std::string> titles;
  auto recording = tab->title.signalChanged().connect([&] { titles.push_back(tab->title.peek()); });
  tab->load(server.address("/two"));
  EXPECT_FALSE(tab->dialogs.pending.peek());
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page Two"));
  recording.disconnect();
  EXPECT_NE(std::find(titles.begin(), titles.end(), "confirm:false"), titles.end());

  auto closing = harness.show(server.url("/confirm"));
  ASSERT_TRUE(waitUntil([&] { return closing->dialogs.pending.peek().has_value(); }));
  testing::FinalizationProbe probe(WebHarness::viewOf(*closing));
  harness.store().tabs().closeTab(*closing);
  EXPECT_FALSE(closing->dialogs.pending.peek());
  EXPECT_TRUE(waitUntil([&] { return probe.finalized(); }));
}

// A page that raises dialog after dialog: from the second one on, the user may stop them, and
// the page's further dialogs then return at once as cancelled, until the user takes the tab to
// another site.
TEST_F(WebKitPageDialogsTest, APageThatKeepsRaisingDialogsCanBeStoppedUntilTheUserLeavesTheSite) {
  WebHarness harness;
  auto tab = harness.show(server.url("/pester"));
  ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
  const auto first = *tab->dialogs.pending.peek();
  EXPECT_FALSE(first.offersToStop);
  tab->dialogs.answer({.confirmed = true});
  ASSERT_TRUE(waitUntil([&] {
    const auto& shown = tab->dialogs.pending.peek();
    return shown && shown->serial != first.serial;
  }));
  EXPECT_TRUE(tab->dialogs.pending.peek()->offersToStop);
  tab->dialogs.answer({.confirmed = true, .stopAsking = true});  // the first confirm: true
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "done:1"));
  EXPECT_FALSE(tab->dialogs.pending.peek());

  // The same site stays stopped, even when the user asks for another of its pages; another site
  // may ask.
  tab->load(server.address("/confirm"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "confirm:false"));
  tab->load(*Url::parse(server.localhostURL("/confirm")));
  ASSERT_TRUE(waitUntil([&] { return tab->dialogs.pending.peek().has_value(); }));
  EXPECT_EQ(tab->dialogs.pending.peek()->heading, "localhost");
  tab->dialogs.answer({.confirmed = true});
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "confirm:true"; }));
}

// Without a desktop portal the native chooser is GTK's own dialog inside this process.
GtkFileChooser* shownFileChooser() {
  GListModel* toplevels = gtk_window_get_toplevels();
  GtkFileChooser* found = nullptr;
  for (guint i = 0; i < g_list_model_get_n_items(toplevels) && !found; ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    if (GTK_IS_FILE_CHOOSER_DIALOG(window) && gtk_widget_get_visible(window)) {
      found = GTK_FILE_CHOOSER(window);
    }
    g_object_unref(window);
  }
  return found;
}

TEST_F(WebKitPageDialogsTest, UploadFieldsChooseFilesOnceAndGiveUpWithTheirTab) {
  WebHarness harness;
  const auto file = harness.home().root() / "report.txt";
  harness.home().writeFile(file, "contents");
  auto tab = harness.show(server.url("/upload"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Upload"));

  clickWindow(harness.windowTitle());
  ASSERT_TRUE(waitUntil([] { return shownFileChooser() != nullptr; }));
  EXPECT_TRUE(gtk_file_chooser_get_select_multiple(shownFileChooser()));
  gtk_dialog_response(GTK_DIALOG(shownFileChooser()), GTK_RESPONSE_CANCEL);
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "cancelled"; }));

  clickWindow(harness.windowTitle());
  ASSERT_TRUE(waitUntil([] { return shownFileChooser() != nullptr; }));
  GFile* chosen = g_file_new_for_path(file.c_str());
  gtk_file_chooser_set_file(shownFileChooser(), chosen, nullptr);
  g_object_unref(chosen);
  // The dialog selects the file once it has read the folder.
  ASSERT_TRUE(waitUntil([] {
    GListModel* files = gtk_file_chooser_get_files(shownFileChooser());
    const bool selected = g_list_model_get_n_items(files) == 1;
    g_object_unref(files);
    return selected;
  }));
  gtk_dialog_response(GTK_DIALOG(shownFileChooser()), GTK_RESPONSE_ACCEPT);
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "files:report.txt"; }));

  clickWindow(harness.windowTitle());
  ASSERT_TRUE(waitUntil([] { return shownFileChooser() != nullptr; }));
  harness.store().tabs().closeTab(*tab);
  EXPECT_EQ(shownFileChooser(), nullptr);
}

int shownFileChoosers() {
  GListModel* toplevels = gtk_window_get_toplevels();
  int shown = 0;
  for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    if (GTK_IS_FILE_CHOOSER_DIALOG(window) && gtk_widget_get_visible(window)) ++shown;
    g_object_unref(window);
  }
  return shown;
}

TEST_F(WebKitPageDialogsTest, APageOpensOneFileChooserOnlyRightAfterThePress) {
  WebHarness harness;
  auto tab = harness.show(server.url("/ask-files"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Ask"));
  // Waits on the page until `condition` holds in it; the engine has handled the page's requests
  // from before by the time the page answers.
  const auto pageWaitsFor = [&](const std::string& condition) {
    const std::string wait = "const done = () => " + condition +
                             "; while (!done()) await new Promise((next) => setTimeout(next, 50)); "
                             "return true;";
    return callJavaScript(WebHarness::viewOf(*tab), wait) == "true";
  };
  ASSERT_TRUE(pageWaitsFor("asked >= 5"));
  EXPECT_EQ(shownFileChoosers(), 0);

  clickWindow(harness.windowTitle());
  ASSERT_TRUE(waitUntil([] { return shownFileChoosers() == 1; }));
  // The chooser is modal to nothing beyond itself: the browser window keeps its keys.
  GtkWindow* chooser = GTK_WINDOW(shownFileChooser());
  EXPECT_EQ(gtk_window_get_transient_for(chooser), harness.window().gobj());
  EXPECT_NE(gtk_window_get_group(chooser), gtk_window_get_group(harness.window().gobj()));
  // The same chooser stays up while the page asks again.
  ASSERT_TRUE(pageWaitsFor("reasked >= 3"));
  EXPECT_EQ(shownFileChoosers(), 1);
  EXPECT_EQ(GTK_WINDOW(shownFileChooser()), chooser);

  // The press is spent: after the answer, the page's requests get nothing.
  gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL);
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "cancelled"; }));
  ASSERT_TRUE(pageWaitsFor("reasked >= 6"));
  EXPECT_EQ(shownFileChoosers(), 0);
}

// A page's print() and the user's own print command: one dialog at a time, for the tab on
// screen only, and a page that keeps printing can be stopped, its prints counted with its alerts.
TEST_F(WebKitPageDialogsTest,
       APrintingPageGetsOneDialogAtATimeOnScreenOnlyAndIsStoppedLikeItsAlerts) {
  WebHarness harness;
  auto shown = harness.show(server.url("/page"));
  std::vector<bool> offeredToBlock;
  PrintDialogWatch watch([&](GtkDialog* dialog) {
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), harness.window().gobj());
    EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
    // Modal to nothing beyond itself: the browser window keeps its keys and its close button.
    EXPECT_NE(gtk_window_get_group(GTK_WINDOW(dialog)),
              gtk_window_get_group(harness.window().gobj()));
    GtkCheckButton* blockMore = blockMoreBox(dialog);
    offeredToBlock.push_back(blockMore != nullptr);
    if (blockMore) {
      EXPECT_EQ(gtk_check_button_get_label(blockMore),
                localized("Bu sayfanın başka iletişim kutusu göstermesine izin verme"));
      gtk_check_button_set_active(blockMore, TRUE);
    }
    gtk_dialog_response(dialog, GTK_RESPONSE_CANCEL);
  });

  // A tab in the background prints nothing: its calls return at once.
  // (The engine slows the timers of pages out of sight, so this one prints only a few times.)
  auto background = harness.store().tabs().openTab(server.address("/print-loop?3"), true);
  ASSERT_TRUE(waitUntil([&] { return background->title.peek() == "printed"; }, 30s));
  EXPECT_EQ(watch.shown(), 0);

  // On screen, each call waits on its dialog; from the second one in a row the user may stop
  // them, and the page's later calls, its confirm too, then return at once.
  harness.container().setTab(background);
  background->load(server.address("/print-loop?30#ask"));
  ASSERT_TRUE(waitUntil([&] { return background->title.peek() == "Printing"; }));
  ASSERT_TRUE(waitUntil([&] { return background->title.peek() == "asked:false"; }, 30s));
  EXPECT_FALSE(background->dialogs.pending.peek());
  EXPECT_EQ(offeredToBlock, (std::vector<bool>{false, true}));

  // On another site, an alert just answered makes the print that follows it offer the stop.
  background->load(*Url::parse(server.localhostURL("/alert-then-print")));
  ASSERT_TRUE(waitUntil([&] { return background->dialogs.pending.peek().has_value(); }));
  background->dialogs.answer({.confirmed = true});
  ASSERT_TRUE(waitUntil([&] { return watch.shown() == 3; }));
  EXPECT_EQ(offeredToBlock, (std::vector<bool>{false, true, true}));
}

TEST_F(WebKitPageDialogsTest, TheUsersPrintShowsOneDialogThatGoesWithItsTab) {
  WebHarness harness;
  auto tab = harness.show(server.url("/page"));
  ASSERT_TRUE(waitUntil([&] { return !tab->isLoading.peek(); }));
  auto& port = WebHarness::portOf(*tab);
  testing::FinalizationProbe probe(port.webView());
  int printsAsked = 0;
  PrintDialogWatch watch([&](GtkDialog* dialog) {
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), harness.window().gobj());
    EXPECT_EQ(blockMoreBox(dialog), nullptr);
    // A second command while it is up brings it back rather than opening another.
    port.print();
    ++printsAsked;
    // Closing the tab answers the dialog, whose run then ends with the tab gone.
    harness.store().tabs().closeTab(*tab);
  });
  port.print();
  EXPECT_EQ(printsAsked, 1);
  EXPECT_EQ(watch.shown(), 1);
  EXPECT_TRUE(waitUntil([&] { return probe.finalized(); }));
}

}  // namespace
}  // namespace zemblo
