// A page's print() and the user's own print command: one dialog at a time, for the tab on
// screen only, and a page that keeps printing can be stopped, its prints counted with its alerts.
#include <gtest/gtest.h>

#include "model/localization.h"
#include "model/window_model.h"
#include "web_harness.h"

namespace zemblo {
namespace {

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

class PagePrintTest : public ::testing::Test {
 protected:
  PagePrintTest() {
    server.page("/page", "<title>Page</title>");
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

TEST_F(PagePrintTest, APrintingPageGetsOneDialogAtATimeOnScreenOnlyAndIsStoppedLikeItsAlerts) {
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

TEST_F(PagePrintTest, TheUsersPrintShowsOneDialogThatGoesWithItsTab) {
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
