#include "model/browser_tab.h"

#include <gtest/gtest.h>

#include "model/localization.h"

namespace zemblo {
namespace {

// Whether the address bar shows the tab's page as secure.
bool shownSecure(const BrowserTab& tab) {
  return tab.connectionSecurity() == BrowserTab::ConnectionSecurity::secure;
}

Url url(const char* text) { return *Url::parse(text); }

// A web view that only counts what the tab asks of it.
class CountingWebView : public WebViewPort {
 public:
  void load(const Url& address) override { loads.push_back(address.str()); }
  void reload() override { ++reloads; }
  void stopLoading() override { ++stops; }
  void goBack() override {}
  void goForward() override {}
  void setPageZoom(double) override {}
  void addContentRuleList(const ContentRuleList&) override {}
  void removeContentRuleList(const ContentRuleList&) override {}
  void findFaviconAddress(std::function<void(std::optional<std::string>)> done) override {
    done(faviconAnswer);
  }
  std::vector<std::string> loads;
  int reloads = 0;
  int stops = 0;
  std::optional<std::string> faviconAnswer;
};

TEST(BrowserTabDisplay, TitleHostAndSecurityRules) {
  L10n::setEnglish(false);
  BrowserTab blank;
  EXPECT_EQ(blank.displayTitle(), "Yeni Sekme");
  EXPECT_FALSE(blank.displayHost());
  EXPECT_FALSE(shownSecure(blank));
  EXPECT_TRUE(blank.showsStartPage());
  L10n::setEnglish(true);
  EXPECT_EQ(blank.displayTitle(), "New Tab");
  L10n::setEnglish(false);

  BrowserTab page(Uuid::random(), url("https://www.example.com/a"));
  EXPECT_EQ(page.displayTitle(), "example.com");
  EXPECT_EQ(page.displayHost(), "example.com");
  // The lock needs a page that came over a verified connection, and no error view over it.
  EXPECT_FALSE(shownSecure(page));
  page.navigationCommitted(true);
  EXPECT_TRUE(shownSecure(page));
  page.handleLoadFailure({BrowserTab::LoadFailure::Kind::other, "Unacceptable TLS certificate",
                          url("https://www.example.com/b")});
  EXPECT_FALSE(shownSecure(page));
  page.provisionalNavigationStarted(url("https://www.example.com/c"));
  EXPECT_FALSE(page.loadError.peek());
  EXPECT_FALSE(shownSecure(page));
  page.navigationCommitted(false);
  EXPECT_FALSE(shownSecure(page));
  page.webViewTitleChanged("Örnek");
  page.webViewTitleChanged("");
  page.webViewTitleChanged(std::nullopt);
  EXPECT_EQ(page.displayTitle(), "Örnek");  // empty and absent titles keep the old one

  EXPECT_EQ(BrowserTab(Uuid::random(), url("https://WWW.Example.com")).displayHost(),
            "WWW.Example.com");
  for (const char* insecure :
       {"http://a.example", "HTTPS://a.example", "file:///tmp/x", "about:blank"}) {
    BrowserTab tab(Uuid::random(), url(insecure));
    tab.navigationCommitted(true);
    EXPECT_FALSE(shownSecure(tab)) << insecure;
  }

  // A source tab of the last run comes back under its page's name and address, which its text
  // keeps and the next page ends.
  BrowserTab source(Uuid::random(), url("view-source:https://www.example.com/a?b"), "Örnek");
  source.webViewURLChanged(url("data:text/plain,%3Cp%3E"));
  EXPECT_EQ(source.displayTitle() + " " + *source.displayHost(),
            "Kaynak: Örnek view-source:example.com");
  source.webViewURLChanged(url("https://example.org/"));
  EXPECT_EQ(source.addressToKeep(), url("https://example.org/"));

  auto popup = BrowserTab::makePopup({});
  EXPECT_FALSE(popup->showsStartPage());
  EXPECT_TRUE(popup->page.hasStartedLoading());
}

TEST(BrowserTabLoading, WithoutAWebEngineNothingIsCreatedButStateFollows) {
  BrowserTab tab(Uuid::random(), url("https://a.example/"));
  tab.loadIfNeeded();
  EXPECT_TRUE(tab.page.hasStartedLoading());
  EXPECT_EQ(tab.storedWebView(), nullptr);

  BrowserTab empty;
  empty.loadIfNeeded();
  EXPECT_TRUE(empty.page.hasStartedLoading());
  empty.url.set(url("https://later.example/"));
  empty.loadIfNeeded();  // already started: nothing more happens
  EXPECT_EQ(empty.storedWebView(), nullptr);

  tab.loadError.set(BrowserTab::LoadError{"refused", std::nullopt});
  tab.reload();  // no failing address: retries the tab's own
  EXPECT_FALSE(tab.loadError.peek());
  EXPECT_EQ(tab.url.peek(), url("https://a.example/"));

  tab.loadError.set(BrowserTab::LoadError{"refused", url("https://failed.example/")});
  tab.reload();
  EXPECT_EQ(tab.url.peek(), url("https://failed.example/"));
}

TEST(BrowserTabNavigation, LoadFailuresShowOnlyRealErrors) {
  BrowserTab tab(Uuid::random(), url("https://a.example/"));
  using Kind = BrowserTab::LoadFailure::Kind;
  for (Kind ignored : {Kind::cancelled, Kind::interruptedByPolicyChange, Kind::handledByPlugin}) {
    tab.handleLoadFailure({ignored, "x", url("https://b.example/")});
    EXPECT_FALSE(tab.loadError.peek());
  }
  tab.handleLoadFailure({Kind::other, "Could not connect", url("http://127.0.0.1:9/")});
  ASSERT_TRUE(tab.loadError.peek());
  EXPECT_EQ(tab.loadError.peek()->message, "Could not connect");
  EXPECT_EQ(tab.loadError.peek()->url, url("http://127.0.0.1:9/"));
  tab.provisionalNavigationStarted(url("https://c.example/"));
  EXPECT_FALSE(tab.loadError.peek());
}

}  // namespace
}  // namespace zemblo
