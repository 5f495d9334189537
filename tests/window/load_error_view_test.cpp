#include "window/load_error_view.h"

#include <gtest/gtest.h>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "widgets/symbol_icons.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;

class LoadErrorViewTest : public ::testing::Test {
 protected:
  LoadErrorViewTest() {
    L10n::setEnglish(false);
    window.set_default_size(900, 700);
    window.set_child(view);
    window.present();
  }
  ~LoadErrorViewTest() override {
    window.unset_child();
    L10n::setEnglish(false);
  }

  std::shared_ptr<BrowserTab> failed(const std::string& message, const char* url) {
    auto tab = std::make_shared<BrowserTab>();
    tab->loadError.set(
        BrowserTab::LoadError{message, url ? Url::parse(url) : std::optional<Url>()});
    view.setTab(tab);
    pump();
    return tab;
  }

  const bool gtkReady = (testing::initializeGtkWithoutAnimations(), true);
  Gtk::Window window;
  LoadErrorView view;
};

TEST_F(LoadErrorViewTest, ShowsTitleMessageHostAndRetryOnlyWhileThereIsAnError) {
  view.setTab(std::make_shared<BrowserTab>());
  EXPECT_FALSE(view.get_visible());

  auto tab = failed("Could not connect: Connection refused", "https://www.example.com:8443/a?b");
  EXPECT_TRUE(view.get_visible());
  EXPECT_EQ(view.title().get_text().raw(), "Bu sayfaya ulaşılamadı");
  EXPECT_EQ(view.message().get_text().raw(), "Could not connect: Connection refused");
  EXPECT_TRUE(view.host().get_visible());
  EXPECT_EQ(view.host().get_text().raw(), "www.example.com");
  EXPECT_EQ(view.retryButton().get_label().raw(), "Tekrar Dene");
  // The network symbol with an exclamation mark, never the theme's one with a question mark.
  const std::string icon = view.icon().get_icon_name();
  EXPECT_EQ(icon, symbolIconName("wifi.exclamationmark"));
  EXPECT_NE(icon, "network-wireless-no-route-symbolic");

  // A new failure replaces the texts; clearing the error removes the view.
  tab->loadError.set(BrowserTab::LoadError{"Zaman aşımı", Url::parse("http://other.test/")});
  pump();
  EXPECT_EQ(view.message().get_text().raw(), "Zaman aşımı");
  EXPECT_EQ(view.host().get_text().raw(), "other.test");
  tab->loadError.set(std::nullopt);
  pump();
  EXPECT_FALSE(view.get_visible());
}

TEST_F(LoadErrorViewTest, LeavesOutTheHostLineWithoutAHost) {
  failed("No address", nullptr);
  EXPECT_TRUE(view.get_visible());
  EXPECT_FALSE(view.host().get_visible());
  failed("A file", "file:///tmp/missing.html");
  EXPECT_FALSE(view.host().get_visible());
}

TEST_F(LoadErrorViewTest, TranslatesOnlyItsOwnTexts) {
  L10n::setEnglish(true);
  failed("<b>Bağlantı reddedildi</b>", "http://127.0.0.1:1/");
  EXPECT_EQ(view.title().get_text().raw(), "Can't reach this page");
  EXPECT_EQ(view.retryButton().get_label().raw(), "Try Again");
  // The engine's message is shown as it came, never as markup.
  EXPECT_EQ(view.message().get_text().raw(), "<b>Bağlantı reddedildi</b>");
  EXPECT_EQ(view.host().get_text().raw(), "127.0.0.1");
}

TEST_F(LoadErrorViewTest, WrapsALongMessageIntoCentredLinesOfAtMost380Points) {
  std::string message;
  for (int i = 0; i < 30; ++i) message += "The connection to the server was lost. ";
  failed(message, "http://example.com/");
  pump();
  const int width = view.message().get_width();
  EXPECT_GT(width, 200);
  EXPECT_LE(width, LoadErrorView::kMessageMaxWidth);
  EXPECT_GT(view.message().get_height(), 3 * 16);  // several lines
  EXPECT_EQ(view.message().get_justify(), Gtk::Justification::CENTER);
}

TEST(LoadErrorInWindowTest, ARefusedConnectionShowsTheErrorPageAndRetryLoadsAgain) {
  TestServer server;
  server.page("/back", "<title>Back</title><p>The server is back.</p>");
  WindowHarness harness;
  L10n::setEnglish(false);
  auto tab = harness.open(testing::refusedURL());
  ASSERT_TRUE(waitUntil([&] { return tab->loadError.peek().has_value(); }));
  pump();
  LoadErrorView& view = harness.content().loadErrorView();
  ASSERT_TRUE(view.get_visible());
  EXPECT_EQ(view.title().get_text().raw(), localized("Bu sayfaya ulaşılamadı"));
  EXPECT_FALSE(view.message().get_text().empty());
  EXPECT_EQ(view.host().get_text().raw(), "127.0.0.1");
  // It covers the whole card, under the loading bar and the find bar.
  const auto card = harness.bounds(harness.content());
  const auto page = harness.bounds(view);
  EXPECT_EQ(page.width, card.width);
  EXPECT_EQ(page.height, card.height);
  EXPECT_EQ(view.get_next_sibling(), &harness.content().progressLine());
  WindowHarness::screenshot("load-error");

  // Retrying an address that answers now shows the page again.
  tab->loadError.set(BrowserTab::LoadError{"gone", server.address("/back")});
  pump();
  view.retryButton().activate();
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Back"));
  pump();
  EXPECT_FALSE(view.get_visible());
  EXPECT_EQ(tab->url.peek(), server.address("/back"));
  L10n::setEnglish(false);
}

}  // namespace
}  // namespace zemblo
