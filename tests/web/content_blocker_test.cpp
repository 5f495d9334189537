#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model/ad_blocker.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/window_model.h"
#include "web/ad_block_page_script.h"
#include "web/webkit_content_rule_store.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using namespace std::chrono_literals;

// The generated list is large: its first compile takes seconds, more on a busy machine.
constexpr auto kCompileTimeout = 240s;

const TestServer::Response& svg() {
  static const TestServer::Response response{
      R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20"></svg>)",
      "image/svg+xml",
      {{"Cache-Control", "no-store"}}};
  return response;
}

TestServer::Response noStore(std::string body, std::string type = "text/html; charset=utf-8") {
  return {std::move(body), std::move(type), {{"Cache-Control", "no-store"}}};
}

// A page with resources and elements that rules of the generated list block or hide
// (EasyList's "/banners/468$image", "/banner/affiliate/*$image,subdocument", "##.ad-slot",
// "##.banner-ad"; EasyPrivacy's "/adobeanalytics.js"), next to ones no rule touches.
void serveArticle(TestServer& server, const std::string& path, const std::string& title) {
  server.route(path, noStore("<!doctype html><title>" + title + R"(</title>
<img id="banner" src="/banners/468x60.svg"><img id="photo" src="/images/photo.svg">
<script src="/adobeanalytics.js"></script><script src="/scripts/app.js"></script>
<iframe src="/banner/affiliate/frame.html"></iframe>
<div class="ad-slot">ad</div><div class="banner-ad">ad</div><div class="content">text</div>)"));
  server.route("/banners/468x60.svg", svg());
  server.route("/images/photo.svg", svg());
  server.route("/adobeanalytics.js", noStore("window.trackerRan = true;", "text/javascript"));
  server.route("/scripts/app.js", noStore("window.appRan = true;", "text/javascript"));
  server.route("/banner/affiliate/frame.html", noStore("<title>frame</title>"));
}

// What of the page got through, once it has loaded.
std::string pageState(BrowserTab& tab) {
  const auto state = testing::callJavaScript(WebHarness::viewOf(tab), R"(
    if (document.readyState !== "complete") {
      await new Promise((done) => addEventListener("load", done, { once: true }));
    }
    const image = (id) => {
      const element = document.getElementById(id);
      return element.complete && element.naturalWidth > 0;
    };
    const shown = (selector) => getComputedStyle(document.querySelector(selector)).display !== "none";
    return [image("banner"), image("photo"), !!window.trackerRan, !!window.appRan,
            shown(".ad-slot"), shown(".banner-ad"), shown(".content")].join(" ");)");
  return state.value_or("no answer");
}

constexpr const char* kBlocked = "false true false true false false true";
constexpr const char* kLoaded = "true true true true true true true";

// The hiding rules of every page reach it a moment after the elements they hide.
::testing::AssertionResult shows(BrowserTab& tab, const std::string& expected) {
  std::string state;
  if (waitUntil([&] { return (state = pageState(tab)) == expected; })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "the page shows " << state;
}

// Reloads and waits until the page has been fetched again and has finished.
bool reloaded(BrowserTab& tab, const TestServer& server, const std::string& path) {
  const int before = server.hits(path);
  tab.reload();
  return waitUntil([&] { return server.hits(path) > before && !tab.isLoading.peek(); });
}

bool waitUntilReady(const AdBlocker& blocker) {
  return waitUntil(
      [&] { return !std::holds_alternative<AdBlocker::Preparing>(blocker.status.peek()); },
      std::chrono::duration_cast<std::chrono::milliseconds>(kCompileTimeout));
}

TEST(ContentBlockerTest, GeneratedListBlocksAndHidesUntilTheSiteOrEveryTabIsAllowed) {
  TestServer server;
  serveArticle(server, "/news/article.html", "Article");
  serveArticle(server, "/news/other.html", "Other");
  WebHarness harness;
  AdBlocker& blocker = harness.store().pageServices().adBlocker();
  ASSERT_TRUE(waitUntilReady(blocker));
  ASSERT_EQ(blocker.status.peek(), AdBlocker::Status(AdBlocker::Ready{}))
      << std::get<AdBlocker::Failed>(blocker.status.peek()).message;
  EXPECT_EQ(blocker.statusText(), localized("Reklamlar ve izleyiciler engelleniyor"));
  ASSERT_TRUE(waitUntil([&] { return blocker.ruleCount.peek() > 100'000; }));

  auto tab = harness.show(server.url("/news/article.html"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Article"));
  EXPECT_TRUE(tab->page.adBlockApplied());
  EXPECT_TRUE(shows(*tab, kBlocked));
  EXPECT_EQ(server.hits("/banner/affiliate/frame.html"), 0);
  EXPECT_EQ(server.hits("/adobeanalytics.js"), 0);
  EXPECT_GT(server.hits("/scripts/app.js"), 0);

  // Allowed for the site: the next load gets everything.
  blocker.setAllowed(true, "127.0.0.1");
  EXPECT_FALSE(tab->page.adBlockApplied());
  ASSERT_TRUE(reloaded(*tab, server, "/news/article.html"));
  EXPECT_TRUE(shows(*tab, kLoaded));
  EXPECT_GT(server.hits("/banner/affiliate/frame.html"), 0);

  // Blocked again.
  blocker.setAllowed(false, "127.0.0.1");
  ASSERT_TRUE(reloaded(*tab, server, "/news/article.html"));
  EXPECT_TRUE(shows(*tab, kBlocked));

  // The global switch reaches every tab, shown or not.
  auto other = harness.store().tabs().openTab(server.address("/news/other.html"), true);
  other->loadIfNeeded();
  ASSERT_TRUE(
      waitUntil([&] { return other->title.peek() == "Other" && !other->isLoading.peek(); }));
  EXPECT_TRUE(shows(*other, kBlocked));
  blocker.setEnabled(false);
  EXPECT_EQ(blocker.statusText(), localized("Kapalı"));
  ASSERT_TRUE(reloaded(*tab, server, "/news/article.html"));
  ASSERT_TRUE(reloaded(*other, server, "/news/other.html"));
  EXPECT_TRUE(shows(*tab, kLoaded));
  EXPECT_TRUE(shows(*other, kLoaded));

  blocker.setEnabled(true);
  ASSERT_TRUE(reloaded(*other, server, "/news/other.html"));
  EXPECT_TRUE(shows(*other, kBlocked));
}

TEST(ContentBlockerTest, HandlerAnswersOnlyInItsWorldAndDrivesTheVideoPageScript) {
  TestServer server;
  // The video player's ad state, as the script expects to find it.
  server.page("/watch", R"(<title>Watch</title>
<div id="player-ads">ad</div><div id="masthead-ad">ad</div><p id="text">text</p>
<div class="html5-video-player ad-showing">
  <button class="ytp-ad-skip-button" onclick="window.skips = (window.skips || 0) + 1">Skip</button>
</div>)");
  WebHarness harness;
  AdBlocker& blocker = harness.store().pageServices().adBlocker();
  auto tab = harness.show(server.url("/watch"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Watch"));
  WebKitWebView* view = WebHarness::viewOf(*tab);

  const std::string ask =
      "return await window.webkit.messageHandlers.zembloAdblock.postMessage("
      "{ type: 'enabled', host: location.hostname });";
  EXPECT_EQ(testing::callJavaScript(view, ask, AdBlocker::kContentWorld), "true");
  EXPECT_EQ(
      testing::callJavaScript(view, "return typeof window.webkit?.messageHandlers?.zembloAdblock;"),
      "undefined");
  // Not a video site: the installed script left the page alone.
  const std::string state =
      "await new Promise((done) => setTimeout(done, 600));"
      "const shown = (id) => getComputedStyle(document.getElementById(id)).display !== 'none';"
      "return [shown('player-ads'), shown('masthead-ad'), shown('text'), window.skips || 0].join(' "
      "');";
  EXPECT_EQ(testing::callJavaScript(view, state), "true true true 0");

  // The same script added for this host hides the ad slots and skips the ad.
  addAdBlockVideoPageScript(webkit_web_view_get_user_content_manager(view), "127.0.0.1");
  ASSERT_TRUE(reloaded(*tab, server, "/watch"));
  const auto active = testing::callJavaScript(view, state);
  ASSERT_TRUE(active);
  EXPECT_TRUE(active->starts_with("false false true ")) << *active;
  EXPECT_NE(*active, "false false true 0");

  // Allowed for the site: the handler says no and the script does nothing.
  blocker.setAllowed(true, "127.0.0.1");
  EXPECT_EQ(testing::callJavaScript(view, ask, AdBlocker::kContentWorld), "false");
  ASSERT_TRUE(reloaded(*tab, server, "/watch"));
  EXPECT_EQ(testing::callJavaScript(view, state), "true true true 0");
}

// Counts what the blocker asks of the real store.
class CountingStore : public ContentRuleStore {
 public:
  explicit CountingStore(std::shared_ptr<ContentRuleStore> store) : store_(std::move(store)) {}
  void lookUp(const std::string& identifier, LookUpDone done) override {
    store_->lookUp(identifier, std::move(done));
  }
  void compile(const std::string& identifier, std::string rules, CompileDone done) override {
    ++compiles;
    store_->compile(identifier, std::move(rules), std::move(done));
  }
  void identifiers(IdentifiersDone done) override { store_->identifiers(std::move(done)); }
  void remove(const std::string& identifier) override {
    ++removals;
    store_->remove(identifier);
  }
  int compiles = 0;
  int removals = 0;

 private:
  std::shared_ptr<ContentRuleStore> store_;
};

std::vector<std::string> storedIdentifiers(ContentRuleStore& store) {
  std::optional<std::vector<std::string>> all;
  store.identifiers([&](std::vector<std::string> identifiers) { all = std::move(identifiers); });
  waitUntil([&] { return all.has_value(); });
  return all.value_or(std::vector<std::string>{"no answer"});
}

TEST(ContentBlockerTest, EngineStoreCompilesOnceFindsByDigestAndRejectsInvalidFiles) {
  testing::TempHome home;
  UserDefaults defaults(home.root() / "defaults.json");
  const auto folder = home.root() / "ContentRuleLists";
  const auto rules = home.root() / "rules.json";
  auto engineStore = [&] { return std::make_shared<WebKitContentRuleStore>(folder); };
  auto prepared = [&](const std::string& text, CountingStore& store) {
    home.writeFile(rules, text);
    auto blocker = std::make_unique<AdBlocker>(defaults, rules);
    blocker->prepareRules(std::shared_ptr<ContentRuleStore>(&store, [](auto*) {}));
    EXPECT_TRUE(waitUntilReady(*blocker));
    return blocker;
  };
  const std::string first = R"([{"trigger":{"url-filter":"/ads/"},"action":{"type":"block"}}])";
  const std::string second = R"([{"trigger":{"url-filter":"/ad/"},"action":{"type":"block"}}])";

  CountingStore compiling(engineStore());
  EXPECT_EQ(prepared(first, compiling)->status.peek(), AdBlocker::Status(AdBlocker::Ready{}));
  EXPECT_EQ(compiling.compiles, 1);

  // A later start with the same file finds the list.
  CountingStore finding(engineStore());
  EXPECT_EQ(prepared(first, finding)->status.peek(), AdBlocker::Status(AdBlocker::Ready{}));
  EXPECT_EQ(finding.compiles, 0);
  EXPECT_EQ(finding.removals, 0);

  // A changed file is compiled under a new identifier and the old list goes.
  CountingStore changed(engineStore());
  const auto changedBlocker = prepared(second, changed);  // removes the old list while it lives
  EXPECT_EQ(changedBlocker->status.peek(), AdBlocker::Status(AdBlocker::Ready{}));
  EXPECT_EQ(changed.compiles, 1);
  EXPECT_TRUE(waitUntil([&] {
    return storedIdentifiers(changed) ==
           std::vector<std::string>{AdBlocker::ruleListIdentifier(second)};
  }));

  // The engine's own message for a file it cannot read as rules, and for an invalid rule.
  CountingStore rejecting(engineStore());
  EXPECT_EQ(prepared("not json", rejecting)->status.peek(),
            AdBlocker::Status(AdBlocker::Failed{"Failed to parse the JSON String."}));
  CountingStore rejectingRule(engineStore());
  EXPECT_EQ(
      prepared(R"([{"trigger":{"url-filter":"a|b"},"action":{"type":"block"}}])", rejectingRule)
          ->status.peek(),
      AdBlocker::Status(AdBlocker::Failed{"Invalid or unsupported regular expression."}));
}

TEST(ContentBlockerTest, ReadOnlyStoresComeFirstAndCompilesRunInTheHelperProgram) {
  testing::TempHome home;
  UserDefaults defaults(home.root() / "defaults.json");
  const std::string text = R"([{"trigger":{"url-filter":"/ads/"},"action":{"type":"block"}}])";
  const auto rules = home.root() / "rules.json";
  home.writeFile(rules, text);
  auto prepared = [&](std::shared_ptr<ContentRuleStore> store) {
    auto blocker = std::make_unique<AdBlocker>(defaults, rules);
    blocker->prepareRules(std::move(store));
    EXPECT_TRUE(waitUntilReady(*blocker));
    return blocker;
  };
  const auto shipped = home.root() / "shipped";
  CountingStore shipping(std::make_shared<WebKitContentRuleStore>(shipped));
  ASSERT_EQ(prepared(std::shared_ptr<ContentRuleStore>(&shipping, [](auto*) {}))->status.peek(),
            AdBlocker::Status(AdBlocker::Ready{}));

  // Found in the read-only store: nothing is compiled or written into the user's own.
  const auto own = home.root() / "own";
  const auto store = std::make_shared<WebKitContentRuleStore>(own, std::vector{shipped});
  CountingStore finding(store);
  EXPECT_EQ(prepared(std::shared_ptr<ContentRuleStore>(&finding, [](auto*) {}))->status.peek(),
            AdBlocker::Status(AdBlocker::Ready{}));
  EXPECT_EQ(finding.compiles, 0);
  EXPECT_TRUE(storedIdentifiers(*store).empty());

  // The helper's message is the failure's; without a helper the compile fails plainly.
  const auto failing = home.root() / "failing-compiler";
  home.writeFile(failing, "#!/bin/sh\ncat >/dev/null\necho 'Out of memory.'\nexit 1\n");
  std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
  EXPECT_EQ(prepared(std::make_shared<WebKitContentRuleStore>(
                         own, std::vector<std::filesystem::path>{}, failing))
                ->status.peek(),
            AdBlocker::Status(AdBlocker::Failed{"Out of memory."}));
  EXPECT_EQ(prepared(std::make_shared<WebKitContentRuleStore>(
                         own, std::vector<std::filesystem::path>{}, std::nullopt))
                ->status.peek(),
            AdBlocker::Status(AdBlocker::Failed{localized("Kurallar derlenemedi.")}));

  // A helper stopped halfway (the browser quit during a first compile) leaves no half-written
  // list behind, neither in the store nor in the system's temporary folder.
  const auto stalling = home.root() / "stalling-compiler";
  home.writeFile(stalling,
                 "#!/bin/sh\necho partial > \"$TMPDIR/ContentRuleList-partial\"\nexec sleep 600\n");
  std::filesystem::permissions(stalling, std::filesystem::perms::owner_all);
  const auto stalled = home.root() / "stalled";
  auto partialFiles = [&] {
    int found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(stalled)) {
      found += entry.path().filename() == "ContentRuleList-partial";
    }
    return found;
  };
  {
    auto stopped = std::make_shared<WebKitContentRuleStore>(
        stalled, std::vector<std::filesystem::path>{}, stalling);
    stopped->compile("list", text, [](ContentRuleStore::CompileResult) {});
    ASSERT_TRUE(waitUntil([&] { return partialFiles() == 1; }));
  }
  EXPECT_EQ(partialFiles(), 0);
}

}  // namespace
}  // namespace zemblo
