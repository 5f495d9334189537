#include "web/web_engine.h"

#include <gtest/gtest.h>

#include "model/ad_blocker.h"
#include "model/window_model.h"
#include "platform/paths.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using testing::WebHarness;

std::filesystem::path dataDirectory(WebKitNetworkSession* session) {
  return webkit_website_data_manager_get_base_data_directory(
      webkit_network_session_get_website_data_manager(session));
}

std::filesystem::path cacheDirectory(WebKitNetworkSession* session) {
  return webkit_website_data_manager_get_base_cache_directory(
      webkit_network_session_get_website_data_manager(session));
}

TEST(WebEngineTest, StartsNothingUntilATabNeedsItsWebView) {
  testing::initializeGtk();
  testing::TempHome home;
  UserDefaults defaults(home.root() / "user-defaults.json");
  auto shared = std::make_shared<WebEngine>(
      Scheduler::mainLoop(),
      WebEngine::Folders{home.root() / "web-data", home.root() / "web-cache"});
  BrowserStoreEnvironment environment;
  environment.defaults = &defaults;
  auto store = BrowserStore::create(shared, std::move(environment));
  auto tab = std::make_shared<BrowserTab>();
  store->tabs().insertTab(tab);
  // The network session keeps its cache on disk: nothing is there until then.
  EXPECT_FALSE(std::filesystem::exists(home.root() / "web-cache"));

  ASSERT_NE(tab->webView(), nullptr);
  EXPECT_TRUE(
      testing::waitUntil([&] { return std::filesystem::exists(home.root() / "web-cache"); }));
  WebKitNetworkSession* session = webkit_web_view_get_network_session(WebHarness::viewOf(*tab));
  EXPECT_FALSE(webkit_network_session_is_ephemeral(session));
  EXPECT_TRUE(testing::waitUntil([&] {
    return webkit_website_data_manager_get_favicons_enabled(
        webkit_network_session_get_website_data_manager(session));
  }));
  EXPECT_EQ(dataDirectory(session), home.root() / "web-data");
  EXPECT_EQ(cacheDirectory(session), home.root() / "web-cache");
  // Every tab shares the one session.
  auto other = std::make_shared<BrowserTab>();
  store->tabs().insertTab(other);
  other->webView();
  EXPECT_EQ(webkit_web_view_get_network_session(WebHarness::viewOf(*other)), session);
  EXPECT_NE(WebHarness::viewOf(*other), WebHarness::viewOf(*tab));
}

TEST(WebEngineTest, KeepsItsDataInTheApplicationsFolders) {
  testing::TempHome home;
  testing::initializeGtk();
  WebEngine engine(Scheduler::mainLoop());
  WebKitNetworkSession* session = testing::networkSessionOf(engine);
  EXPECT_EQ(dataDirectory(session), home.root() / "data" / "Zemblo Browser" / "WebKit");
  EXPECT_EQ(cacheDirectory(session), home.root() / "cache" / "Zemblo Browser" / "WebKit");
}

TEST(WebEngineTest, FindsTheListCompiledWithTheBrowserWithoutCompilingOrCopyingIt) {
  testing::TempHome home;
  testing::initializeGtk();
  const auto ruleFile = AdBlocker::bundledRuleFile();
  ASSERT_TRUE(ruleFile);
  const auto bytes = paths::readFile(*ruleFile);
  ASSERT_TRUE(bytes);
  WebEngine engine(Scheduler::mainLoop());
  const auto store = engine.contentRuleStore();

  std::optional<std::shared_ptr<ContentRuleList>> found;
  store->lookUp(AdBlocker::ruleListIdentifier(*bytes), [&](auto list) { found = std::move(list); });
  ASSERT_TRUE(testing::waitUntil([&] { return found.has_value(); }));
  EXPECT_TRUE(*found);
  std::optional<std::vector<std::string>> own;
  store->identifiers([&](std::vector<std::string> all) { own = std::move(all); });
  ASSERT_TRUE(testing::waitUntil([&] { return own.has_value(); }));
  EXPECT_TRUE(own->empty());
}

}  // namespace
}  // namespace zemblo
