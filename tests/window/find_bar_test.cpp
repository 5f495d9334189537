#include "window/find_bar.h"

#include <gtest/gtest.h>

#include "model/localization.h"
#include "model/window_model.h"
#include "support/find_window.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;

// The hint that the text is not on the page.
Gtk::Label& notFoundLabel(FindBar& bar) {
  return testing::partWithClass<Gtk::Label>(bar, "find-not-found");
}

class FindBarTest : public ::testing::Test {
 protected:
  FindBarTest() {
    server.page("/find",
                "<title>Find</title><p id=p1>alpha one</p><p id=p2>ALPHA two</p>"
                "<p id=p3>Alpha three</p><p id=p4>beta</p>");
  }

  void SetUp() override {
    tab = harness.open(server.url("/find"));
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Find"));
    harness.store().tabs().findBarVisible.set(true);
    testing::pump();
    ASSERT_TRUE(bar().get_visible());
  }

  FindBar& bar() { return testing::widgetNamed<FindBar>(harness.content(), "FindBar"); }
  Gtk::Text& field() { return testing::textFieldIn(bar()); }
  Gtk::Button& button(const std::string& name) {
    return testing::announced(bar(), localized(name));
  }

  // The paragraph holding the page's selection, which is the current match.
  std::string selectedParagraph() {
    return callJavaScript(WebHarness::viewOf(*tab),
                          "const node = window.getSelection().anchorNode;"
                          "return node && node.parentElement ? node.parentElement.id : '-';")
        .value_or("?");
  }

  // Waits for the bar to say the text is not there, or for the page to select the match in
  // `paragraph`.
  bool waitForAnswer(const std::string& paragraph) {
    return waitUntil([&] {
      const bool notFound = notFoundLabel(bar()).get_visible();
      return paragraph.empty() ? notFound : !notFound && selectedParagraph() == paragraph;
    });
  }

  TestServer server;
  WindowHarness harness;
  std::shared_ptr<BrowserTab> tab;
};

TEST_F(FindBarTest, SearchesForwardAndBackwardIgnoringCaseAndWrapping) {
  EXPECT_TRUE(field().has_focus());
  EXPECT_EQ(field().get_placeholder_text().raw(), localized("Sayfada bul"));
  const auto [placeholder, typed] = testing::placeholderAndTextInk(field(), "Typed");
  EXPECT_LT(placeholder, typed * 0.7);
  field().grab_focus();

  field().set_text("aLpHa");  // typing searches forward
  ASSERT_TRUE(waitForAnswer("p1"));

  const auto step = [&](auto action, const char* expected) {
    action();
    EXPECT_TRUE(waitUntil([&] { return selectedParagraph() == expected; }))
        << "expected " << expected << ", selection in " << selectedParagraph();
  };
  step([&] { bar().keyPressed(GDK_KEY_Return, {}); }, "p2");
  WindowHarness::screenshot("find-bar");
  step([&] { bar().keyPressed(GDK_KEY_Return, Gdk::ModifierType::SHIFT_MASK); }, "p1");
  step([&] { button("Önceki eşleşme").activate(); }, "p3");   // wraps past the start
  step([&] { button("Sonraki eşleşme").activate(); }, "p1");  // and past the end
  step([&] { button("Sonraki eşleşme").activate(); }, "p2");
  EXPECT_FALSE(notFoundLabel(bar()).get_visible());
}

TEST_F(FindBarTest, ShowsNotFoundOnlyForTheNewestNonEmptyQuery) {
  field().set_text("gamma");
  ASSERT_TRUE(waitForAnswer(""));
  EXPECT_EQ(notFoundLabel(bar()).get_text().raw(), localized("Bulunamadı"));

  // Editing until the text occurs hides the hint when that search answers.
  field().set_text("bet");
  ASSERT_TRUE(waitForAnswer("p4"));

  // Emptying the field hides the hint at once; a failure still on its way does not bring it back.
  field().set_text("gamma");
  field().set_text("");
  EXPECT_FALSE(notFoundLabel(bar()).get_visible());
  ASSERT_TRUE(testing::pageAnswered(WebHarness::viewOf(*tab)));
  testing::pump();
  EXPECT_FALSE(notFoundLabel(bar()).get_visible());

  // Of several searches in flight only the newest one's answer is shown.
  field().set_text("gamma");
  field().set_text("alpha");
  ASSERT_TRUE(waitForAnswer("p1"));
  ASSERT_TRUE(testing::pageAnswered(WebHarness::viewOf(*tab)));
  testing::pump();
  EXPECT_FALSE(notFoundLabel(bar()).get_visible());
  EXPECT_EQ(selectedParagraph(), "p1");

  field().set_text("alpha");
  field().set_text("alphax");
  ASSERT_TRUE(waitForAnswer(""));
  ASSERT_TRUE(testing::pageAnswered(WebHarness::viewOf(*tab)));
  testing::pump();
  EXPECT_TRUE(notFoundLabel(bar()).get_visible());
}

TEST_F(FindBarTest, EscapeAndTheCloseButtonCloseAndReopeningStartsAfresh) {
  field().set_text("gamma");
  ASSERT_TRUE(waitForAnswer(""));
  EXPECT_TRUE(bar().keyPressed(GDK_KEY_Escape, {}));
  EXPECT_FALSE(harness.store().tabs().findBarVisible.peek());
  testing::pump();
  EXPECT_FALSE(bar().get_visible());

  harness.store().tabs().findBarVisible.set(true);
  testing::pump();
  ASSERT_TRUE(bar().get_visible());
  EXPECT_EQ(field().get_text(), "");
  EXPECT_FALSE(notFoundLabel(bar()).get_visible());
  EXPECT_TRUE(field().has_focus());

  button("Bul çubuğunu kapat").activate();
  EXPECT_TRUE(waitUntil([&] { return !harness.store().tabs().findBarVisible.peek(); }));
}

TEST(FindBarAloneTest, SearchingATabWithoutAWebViewCreatesItFirst) {
  WindowHarness harness;
  auto tab = std::make_shared<BrowserTab>(Uuid::random(), *Url::parse("http://127.0.0.1:9/x"));
  harness.store().tabs().insertTab(tab);
  FindBar bar(harness.store().tabs(), harness.colorScheme());
  bar.setTab(tab);
  ASSERT_EQ(tab->storedWebView(), nullptr);
  testing::textFieldIn(bar).set_text("anything");
  EXPECT_NE(tab->storedWebView(), nullptr);
  // An empty page has nothing to find.
  EXPECT_TRUE(waitUntil([&] { return notFoundLabel(bar).get_visible(); }));
}

}  // namespace
}  // namespace zemblo
