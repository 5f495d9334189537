#include "web/webkit_web_view_port.h"
#include "web/element_hiding_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "model/history_model.h"
#include "model/tabs_model.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::clickWindow;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using namespace std::chrono_literals;

// Links and buttons cover the whole page, so a click anywhere in the window reaches them.
constexpr const char* kCover = "position:fixed;left:0;top:0;width:100%;height:100%";

class WebKitWebViewPortTest : public ::testing::Test {
 protected:
  WebKitWebViewPortTest() {
    server.page("/one",
                "<title>Page One</title><link rel=icon href=/icons/one.png>"
                "<a id=next href=/two>next</a>");
    server.route("/icons/one.png", {testing::pngPicture(), "image/png"});
    server.page("/two", "<title>Page Two</title>");
    server.page("/links",
                std::string("<title>Links</title><a style='") + kCover + "' href=/two>two</a>");
    server.page("/opener", std::string("<title>Opener</title><button style='") + kCover +
                               "' onclick=\"let n = 0; for (let i = 0; i < 50; i++) { if "
                               "(window.open('/popup')) n++; } document.title = 'opened:' + "
                               "n\">open</button>");
    server.page("/popup", "<title>Popup</title>");
    server.route(
        "/attachment",
        {"plain text", "text/plain", {{"Content-Disposition", "ATTACHMENT; filename=x.bin"}}});
    server.route("/binary", {"\x01\x02\x03", "application/octet-stream"});
    server.page("/framed",
                "<title>Framed</title>"
                "<iframe src=/framed-attachment onload=\"document.title = 'frame loaded'\">"
                "</iframe>");
    server.route(
        "/framed-attachment",
        {"<p>inside</p>", "text/html", {{"Content-Disposition", "attachment; filename=f"}}});
    server.route("/slow", {.neverAnswer = true});
  }

  static std::shared_ptr<BrowserTab> tabAfter(const WebHarness& harness, const BrowserTab& tab) {
    const auto index = harness.indexOf(tab);
    if (!index || *index + 1 >= harness.tabs().size()) return nullptr;
    return harness.tabs()[*index + 1];
  }

  TestServer server;
};

TEST_F(WebKitWebViewPortTest, LoadPublishesThePageStateAndOneVisit) {
  WebHarness harness;
  auto tab = harness.show(server.url("/one"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page One"));
  EXPECT_EQ(tab->url.peek(), server.address("/one"));
  EXPECT_EQ(tab->progress.peek(), 1.0);
  EXPECT_FALSE(tab->canGoBack.peek());
  EXPECT_FALSE(tab->canGoForward.peek());
  EXPECT_FALSE(tab->loadError.peek());
  ASSERT_TRUE(
      waitUntil([&] { return tab->faviconURL.peek() == server.address("/icons/one.png"); }));
  ASSERT_EQ(harness.store().history().entries.peek().size(), 1u);
  EXPECT_EQ(harness.store().history().entries.peek().front().url, server.address("/one"));

  // A link leads on; back and forward follow the engine's list.
  callJavaScript(WebHarness::viewOf(*tab), "document.getElementById('next').click();");
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page Two"));
  EXPECT_TRUE(tab->canGoBack.peek());
  EXPECT_FALSE(tab->canGoForward.peek());
  EXPECT_EQ(harness.store().history().entries.peek().size(), 2u);
  tab->storedWebView()->goBack();
  ASSERT_TRUE(waitUntil([&] {
    return tab->url.peek() == server.address("/one") && tab->title.peek() == "Page One" &&
           tab->canGoForward.peek();
  }));
  EXPECT_FALSE(tab->canGoBack.peek());
  tab->storedWebView()->goForward();
  ASSERT_TRUE(waitUntil(
      [&] { return tab->url.peek() == server.address("/two") && !tab->canGoForward.peek(); }));
}

TEST_F(WebKitWebViewPortTest, FaviconLookupFollowsTheIconOrderOutOfThePagesReach) {
  // The page breaks the DOM calls of its own world; the look-up runs in another.
  const std::string sabotage =
      "<script>Array.from = () => []; document.querySelectorAll = () => [];</script>";
  server.page("/all",
              "<title>all</title><link rel=icon href=/i/a.svg>"
              "<link rel='shortcut icon' href=/i/b.png>"
              "<link rel=apple-touch-icon href=/i/touch.png>" +
                  sabotage);
  server.page("/svg-first",
              "<title>svg-first</title><link rel=icon href=/i/a.svg>"
              "<link rel='alternate icon' href=/i/b.png>");
  server.page("/svg-only", "<title>svg-only</title><link rel=icon href=/i/a.svg>");
  server.page("/none", "<title>none</title><link rel=stylesheet href=/i/s.css>");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/all", "/i/touch.png"},
      {"/svg-first", "/i/b.png"},
      {"/svg-only", "/i/a.svg"},
      {"/none", "/favicon.ico"},
  };
  WebHarness harness;
  auto tab = harness.show(server.url("/one"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page One"));
  for (const auto& [page, icon] : cases) {
    tab->load(server.address(page));
    ASSERT_TRUE(WebHarness::waitForPage(*tab, page.substr(1)));
    std::optional<std::optional<std::string>> answer;
    WebHarness::portOf(*tab).findFaviconAddress(
        [&](std::optional<std::string> address) { answer = std::move(address); });
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); })) << page;
    EXPECT_EQ(*answer, server.url(icon)) << page;
  }
}

TEST_F(WebKitWebViewPortTest, CommandClickOpensTheLinkInATabRightAfterThePage) {
  WebHarness harness;
  auto tab = harness.show(server.url("/links"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Links"));

  clickWindow(harness.windowTitle(), "ctrl");
  ASSERT_TRUE(waitUntil([&] { return harness.tabs().size() == 2; }));
  auto background = tabAfter(harness, *tab);
  ASSERT_TRUE(background);
  EXPECT_EQ(background->url.peek(), server.address("/two"));
  EXPECT_EQ(harness.selectedTab(), tab);

  clickWindow(harness.windowTitle(), "ctrl+shift");
  ASSERT_TRUE(waitUntil([&] { return harness.tabs().size() == 3; }));
  auto foreground = tabAfter(harness, *tab);
  ASSERT_TRUE(foreground);
  EXPECT_NE(foreground, background);
  EXPECT_EQ(foreground->url.peek(), server.address("/two"));
  EXPECT_EQ(harness.selectedTab(), foreground);
  EXPECT_EQ(tab->url.peek(), server.address("/links"));

  // Without the modifier the link loads in place.
  clickWindow(harness.windowTitle());
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page Two"));
  EXPECT_EQ(harness.tabs().size(), 3u);
}

TEST_F(WebKitWebViewPortTest, MiddleClickOpensTheLinkInABackgroundTabRightAfterThePage) {
  WebHarness harness;
  auto tab = harness.show(server.url("/links"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Links"));

  clickWindow(harness.windowTitle(), "", 2);
  ASSERT_TRUE(waitUntil([&] { return harness.tabs().size() == 2; }));
  auto background = tabAfter(harness, *tab);
  ASSERT_TRUE(background);
  EXPECT_EQ(background->url.peek(), server.address("/two"));
  EXPECT_EQ(harness.selectedTab(), tab);
  // The page being read stays.
  EXPECT_EQ(tab->url.peek(), server.address("/links"));
}

// Tabs that load together, as links opened in the background do, and whose pages name themselves
// only after their load: each title goes to its own tab's visit.
TEST_F(WebKitWebViewPortTest, TitlesThatComeAfterTheLoadGoToTheirOwnTabsVisits) {
  server.page("/late",
              "<script>addEventListener('load', () => setTimeout(() => "
              "document.title = 'Late ' + location.search.slice(1), 400));</script>");
  WebHarness harness;
  const auto address = [&](int n) { return server.url("/late?" + std::to_string(n)); };
  std::vector<std::shared_ptr<BrowserTab>> tabs;
  for (int n = 0; n < 8; ++n) {
    tabs.push_back(harness.store().tabs().openTab(*Url::parse(address(n)), true));
  }
  ASSERT_TRUE(waitUntil([&] {
    return std::ranges::all_of(tabs, [](const auto& tab) {
      return tab->title.peek().starts_with("Late") && !tab->isLoading.peek();
    });
  }));
  std::map<std::string, std::string> titles;
  for (const auto& visit : harness.store().history().entries.peek()) {
    titles[visit.url.str()] = visit.title;
  }
  ASSERT_EQ(titles.size(), tabs.size());
  for (int n = 0; n < 8; ++n) EXPECT_EQ(titles[address(n)], "Late " + std::to_string(n));
}

// A tab's web process ends with the last tab that uses it: a window shares its opener's.
TEST_F(WebKitWebViewPortTest, OneClickOpensOneWindowThatBecomesASelectedTabAndCanCloseItself) {
  WebHarness harness;
  auto opener = harness.show(server.url("/opener"));
  ASSERT_TRUE(WebHarness::waitForPage(*opener, "Opener"));

  // The page asks for fifty windows in one click: only the first is opened.
  clickWindow(harness.windowTitle());
  ASSERT_TRUE(waitUntil([&] { return opener->title.peek() == "opened:1"; }));
  ASSERT_EQ(harness.tabs().size(), 2u);
  auto popup = tabAfter(harness, *opener);
  ASSERT_TRUE(popup);
  EXPECT_TRUE(popup->isPopup);
  EXPECT_EQ(harness.selectedTab(), popup);
  ASSERT_TRUE(waitUntil([&] {
    return popup->url.peek() == server.address("/popup") && popup->title.peek() == "Popup";
  }));

  // Closing the opener leaves the window's page running in their process.
  harness.store().tabs().closeTab(*opener);
  EXPECT_EQ(callJavaScript(WebHarness::viewOf(*popup), "return document.title"), "Popup");

  WebKitWebView* view = WebHarness::viewOf(*popup);
  testing::FinalizationProbe probe(view);
  g_object_ref(view);
  std::optional<WebKitWebProcessTerminationReason> ended;
  const gulong watch = g_signal_connect(
      view, "web-process-terminated",
      G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason reason,
                     std::optional<WebKitWebProcessTerminationReason>* ended) { *ended = reason; }),
      &ended);
  webkit_web_view_evaluate_javascript(view, "window.close()", -1, nullptr, nullptr, nullptr,
                                      nullptr, nullptr);
  ASSERT_TRUE(waitUntil([&] { return !harness.indexOf(*popup); }));
  // The last page of the process is gone, and the process with it.
  EXPECT_TRUE(waitUntil([&] { return ended.has_value(); }));
  EXPECT_EQ(ended, WEBKIT_WEB_PROCESS_TERMINATED_BY_API);
  g_signal_handler_disconnect(view, watch);
  g_object_unref(view);
  EXPECT_TRUE(harness.tabs().empty());
  EXPECT_EQ(popup->storedWebView(), nullptr);
  // The engine holds no reference of its own: the view goes with its tab.
  EXPECT_TRUE(waitUntil([&] { return probe.finalized(); }));
}

// Compiles rules into a content-rule list, as the content blocker does: the hiding rules of every
// page go to the list's page script.
std::unique_ptr<WebKitContentRuleList> compileRules(const std::filesystem::path& folder,
                                                    const std::string& allRules) {
  const element_hiding::SplitRules parts = element_hiding::split(allRules);
  const std::string& rules = parts.engineRules;
  struct Compile {
    bool done = false;
    WebKitUserContentFilter* filter = nullptr;
  };
  auto compile = std::make_shared<Compile>();
  WebKitUserContentFilterStore* store = webkit_user_content_filter_store_new(folder.c_str());
  GBytes* source = g_bytes_new(rules.data(), rules.size());
  auto saved = +[](GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::shared_ptr<Compile>> compile(
        static_cast<std::shared_ptr<Compile>*>(data));
    GError* error = nullptr;
    (*compile)->filter = webkit_user_content_filter_store_save_finish(
        WEBKIT_USER_CONTENT_FILTER_STORE(source), result, &error);
    if (error) ADD_FAILURE() << error->message;
    g_clear_error(&error);
    (*compile)->done = true;
  };
  webkit_user_content_filter_store_save(
      store, "rules", source, nullptr, saved,
      std::make_unique<std::shared_ptr<Compile>>(compile).release());
  waitUntil([&] { return compile->done; });
  g_bytes_unref(source);
  g_object_unref(store);
  if (!compile->filter) return nullptr;
  auto list = std::make_unique<WebKitContentRuleList>(compile->filter,
                                                      element_hiding::Index::parse(parts.index));
  webkit_user_content_filter_unref(compile->filter);
  return list;
}

TEST_F(WebKitWebViewPortTest, ContentRuleListsGoInAndOutOfOneWebView) {
  server.route("/script.js", {"window.scriptRan = true;", "text/javascript"});
  // Hidden: elements of the markup and of a frame, added later or given a class later, by an id
  // or a class, behind a parent's class or by a rule no class or id selects; not those the rules
  // do not name.
  server.page("/frame", "<div id=banner-top>ad</div>");
  server.page("/scripted", R"(<script src=/script.js></script>
<div class="promo x"></div><div id=sky></div><div class=wrap><p class=in></p></div>
<p class=in></p><div class=kept></div><p id=bare></p><iframe src=/frame></iframe>
<script>addEventListener("load", () => {
  const late = document.createElement("div");
  late.className = "late";
  document.body.append(late);
  document.querySelector(".kept").classList.add("turned");
  // The rules come from the browser a moment later: the state is told until it is the one
  // waited for.
  setInterval(() => {
    const shown = (el) => getComputedStyle(el).display !== "none" ? 1 : 0;
    const all = [".promo", "#sky", ".wrap .in", "body > .in", ".late", ".kept", "#bare"];
    document.title = (window.scriptRan ? "ran" : "blocked") + " " +
        all.map((s) => shown(document.querySelector(s))).join("") + " " +
        shown(frames[0].document.getElementById("banner-top"));
  }, 20);
});</script>)");
  WebHarness harness;
  auto rules = compileRules(harness.home().root() / "rules", R"json([
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":".promo"}},
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":"#sky"}},
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":".wrap > .in"}},
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":".late"}},
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":"div.turned"}},
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":"#banner-top"}},
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":"p:not(.in)"}},
{"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":"::bad"}},
{"trigger":{"url-filter":"script[.]js"},"action":{"type":"block"}}])json");
  ASSERT_TRUE(rules);
  auto tab = harness.show(server.url("/scripted"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "ran 1111111 1"));

  tab->storedWebView()->addContentRuleList(*rules);
  tab->load(server.address("/scripted"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "blocked 0001000 0")) << tab->title.peek();
  // Another tab's web view is not affected.
  auto other = harness.show(server.url("/scripted"));
  ASSERT_TRUE(WebHarness::waitForPage(*other, "ran 1111111 1"));

  harness.container().setTab(tab);
  tab->storedWebView()->removeContentRuleList(*rules);
  tab->load(server.address("/scripted"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "ran 1111111 1"));
}

TEST_F(WebKitWebViewPortTest, ARefusedConnectionIsALoadErrorWithTheFailedAddress) {
  WebHarness harness;
  const std::string refused = testing::refusedURL();
  auto tab = harness.show(refused);
  ASSERT_TRUE(waitUntil([&] { return tab->loadError.peek().has_value(); }));
  EXPECT_EQ(tab->loadError.peek()->url, Url::parse(refused));
  EXPECT_FALSE(tab->loadError.peek()->message.empty());
  ASSERT_TRUE(waitUntil([&] { return !tab->isLoading.peek(); }));
  EXPECT_TRUE(harness.store().history().entries.peek().empty());

  // The next navigation clears the error.
  tab->load(server.address("/one"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page One"));
  EXPECT_FALSE(tab->loadError.peek());
}

TEST_F(WebKitWebViewPortTest, ARequestThatNeverCommitsTimesOut) {
  WebHarness harness(1s);
  const auto started = std::chrono::steady_clock::now();
  auto tab = harness.show(server.url("/slow"));
  const BrowserTab::LoadError timedOut{.message = "The request timed out.",
                                       .url = server.address("/slow"),
                                       .cause = BrowserTab::FailureCause::timedOut};
  ASSERT_TRUE(waitUntil([&] { return tab->loadError.peek() == timedOut; }, 5s));
  EXPECT_GE(std::chrono::steady_clock::now() - started, 900ms);
  ASSERT_TRUE(waitUntil([&] { return !tab->isLoading.peek(); }));
  EXPECT_TRUE(harness.store().history().entries.peek().empty());

  // A load that commits in time is left alone: once a load started after it in another tab has
  // timed out, its own time is up too, and it shows no error.
  tab->load(server.address("/one"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page One"));
  auto later = harness.show(server.url("/slow"));
  ASSERT_TRUE(waitUntil([&] { return later->loadError.peek() == timedOut; }, 5s));
  EXPECT_FALSE(tab->loadError.peek());
}

TEST_F(WebKitWebViewPortTest, ResponsesThatCannotBeShownBecomeDownloads) {
  WebHarness harness;
  auto tab = harness.show(server.url("/one"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page One"));
  std::vector<std::string> downloads;
  SignalHandlers handlers;
  auto started =
      +[](WebKitNetworkSession*, WebKitDownload* download, std::vector<std::string>* log) {
        log->push_back(webkit_uri_request_get_uri(webkit_download_get_request(download)));
        webkit_download_cancel(download);
      };
  handlers.connect(webkit_web_view_get_network_session(WebHarness::viewOf(*tab)),
                   "download-started", toGCallback(started), &downloads);

  tab->load(server.address("/attachment"));
  ASSERT_TRUE(waitUntil([&] { return downloads.size() == 1; }));
  EXPECT_EQ(downloads.back(), server.url("/attachment"));
  tab->load(server.address("/binary"));
  ASSERT_TRUE(waitUntil([&] { return downloads.size() == 2; }));
  EXPECT_EQ(downloads.back(), server.url("/binary"));
  EXPECT_FALSE(tab->loadError.peek());

  // A frame's page stays in its frame whatever its headers say.
  tab->load(server.address("/framed"));
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "frame loaded"; }));
  EXPECT_EQ(downloads.size(), 2u);
}

}  // namespace
}  // namespace zemblo
