#include "window/find_bar.h"

#include <gtest/gtest.h>

#include "model/localization.h"
#include "model/tabs_model.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;

class FindBarTest : public ::testing::Test {
 protected:
  FindBarTest() {
    server.page("/find",
                "<title>Find</title><p id=p1>alpha one</p><p id=p2>ALPHA two</p>"
                "<p id=p3>Alpha three</p><p>beta</p>");
  }

  void SetUp() override {
    tab = harness.open(server.url("/find"));
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Find"));
    harness.store().tabs().findBarVisible.set(true);
    testing::pump();
    ASSERT_TRUE(bar().get_visible());
  }

  FindBar& bar() { return harness.content().findBar(); }

  // The paragraph holding the page's selection, which is the current match.
  std::string selectedParagraph() {
    return callJavaScript(WebHarness::viewOf(*tab),
                          "const node = window.getSelection().anchorNode;"
                          "return node && node.parentElement ? node.parentElement.id : '-';")
        .value_or("?");
  }

  // Waits for the answer to the newest search and for the bar to show it.
  bool waitForAnswer(std::optional<bool> notFound = std::nullopt) {
    return waitUntil([&] {
      if (notFound && bar().notFound() != *notFound) return false;
      return (bar().notFound() || bar().matchCount().has_value()) &&
             bar().notFoundLabel().get_visible() == bar().notFound();
    });
  }

  TestServer server;
  WindowHarness harness;
  std::shared_ptr<BrowserTab> tab;
};

TEST_F(FindBarTest, SearchesForwardAndBackwardIgnoringCaseAndWrapping) {
  EXPECT_TRUE(bar().field().has_focus());
  EXPECT_EQ(bar().field().get_placeholder_text().raw(), localized("Sayfada bul"));
  const auto [placeholder, typed] = testing::placeholderAndTextInk(bar().field(), "Typed");
  EXPECT_LT(placeholder, typed * 0.7);
  bar().field().grab_focus();

  bar().setQuery("aLpHa");  // typing searches forward
  ASSERT_TRUE(waitForAnswer(false));
  EXPECT_EQ(bar().matchCount(), 3u);
  EXPECT_FALSE(bar().notFoundLabel().get_visible());
  EXPECT_EQ(selectedParagraph(), "p1");

  const auto step = [&](auto action, const char* expected) {
    action();
    EXPECT_TRUE(waitUntil([&] { return selectedParagraph() == expected; }))
        << "expected " << expected << ", selection in " << selectedParagraph();
  };
  step([&] { bar().keyPressed(GDK_KEY_Return, {}); }, "p2");
  WindowHarness::screenshot("find-bar");
  step([&] { bar().keyPressed(GDK_KEY_Return, Gdk::ModifierType::SHIFT_MASK); }, "p1");
  step([&] { bar().previousButton().activate(); }, "p3");  // wraps past the start
  step([&] { bar().nextButton().activate(); }, "p1");      // and past the end
  step([&] { bar().nextButton().activate(); }, "p2");
  EXPECT_FALSE(bar().notFound());
}

TEST_F(FindBarTest, ShowsNotFoundOnlyForTheNewestNonEmptyQuery) {
  bar().setQuery("gamma");
  ASSERT_TRUE(waitForAnswer(true));
  EXPECT_TRUE(bar().notFoundLabel().get_visible());
  EXPECT_EQ(bar().notFoundLabel().get_text().raw(), localized("Bulunamadı"));
  EXPECT_EQ(bar().matchCount(), std::nullopt);

  // Editing until the text occurs hides the hint when that search answers.
  bar().setQuery("bet");
  ASSERT_TRUE(waitForAnswer(false));
  EXPECT_FALSE(bar().notFoundLabel().get_visible());
  EXPECT_EQ(bar().matchCount(), 1u);

  // Emptying the field hides the hint at once; a failure still on its way does not bring it back.
  bar().setQuery("gamma");
  bar().setQuery("");
  EXPECT_FALSE(bar().notFound());
  ASSERT_TRUE(testing::pageAnswered(WebHarness::viewOf(*tab)));
  testing::pump();
  EXPECT_FALSE(bar().notFound());
  EXPECT_FALSE(bar().notFoundLabel().get_visible());

  // Of several searches in flight only the newest one's answer is shown.
  bar().setQuery("gamma");
  bar().setQuery("alpha");
  ASSERT_TRUE(waitForAnswer());
  ASSERT_TRUE(testing::pageAnswered(WebHarness::viewOf(*tab)));
  testing::pump();
  EXPECT_FALSE(bar().notFound());
  EXPECT_EQ(bar().matchCount(), 3u);

  bar().setQuery("alpha");
  bar().setQuery("alphax");
  ASSERT_TRUE(waitForAnswer(true));
  ASSERT_TRUE(testing::pageAnswered(WebHarness::viewOf(*tab)));
  testing::pump();
  EXPECT_TRUE(bar().notFound());
}

TEST_F(FindBarTest, EscapeAndTheCloseButtonCloseAndReopeningStartsAfresh) {
  bar().setQuery("gamma");
  ASSERT_TRUE(waitForAnswer(true));
  EXPECT_TRUE(bar().keyPressed(GDK_KEY_Escape, {}));
  EXPECT_FALSE(harness.store().tabs().findBarVisible.peek());
  testing::pump();
  EXPECT_FALSE(bar().get_visible());

  harness.store().tabs().findBarVisible.set(true);
  testing::pump();
  ASSERT_TRUE(bar().get_visible());
  EXPECT_EQ(bar().query(), "");
  EXPECT_FALSE(bar().notFoundLabel().get_visible());
  EXPECT_TRUE(bar().field().has_focus());

  bar().closeButton().activate();
  EXPECT_TRUE(waitUntil([&] { return !harness.store().tabs().findBarVisible.peek(); }));
}

TEST(FindBarAloneTest, SearchingATabWithoutAWebViewCreatesItFirst) {
  WindowHarness harness;
  auto tab = std::make_shared<BrowserTab>(Uuid::random(), *Url::parse("http://127.0.0.1:9/x"));
  harness.store().tabs().insertTab(tab);
  FindBar bar(harness.store().tabs(), harness.colorScheme());
  bar.setTab(tab);
  ASSERT_EQ(tab->storedWebView(), nullptr);
  bar.setQuery("anything");
  EXPECT_NE(tab->storedWebView(), nullptr);
  // An empty page has nothing to find.
  EXPECT_TRUE(waitUntil([&] { return bar.notFound(); }));
}

}  // namespace
}  // namespace zemblo
