// What page dark mode costs a page load: a local article loaded again and again in a shown tab,
// with page dark mode off and always. The time is the page load, from the request until the
// engine reports it finished (the page's load event, after which the darkening is decided); the
// counter "painted" adds the frames up to the first one painted after the load. Needs a display
// (run it under the test session).
#include <benchmark/benchmark.h>

#include <adwaita.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <libsoup/soup.h>
#include <webkit/webkit.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "page_function.h"
#include "platform/user_defaults.h"
#include "scratch_home.h"
#include "web/web_engine.h"
#include "web/web_view_container.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

using Clock = std::chrono::steady_clock;

// A long article with headings, a table and inline pictures, light or dark.
std::string articlePage(bool dark) {
  std::string page = R"(<!doctype html><html><head><meta charset="utf-8"><title>Article</title>
<style>body { font: 16px/1.5 sans-serif; margin: 40px auto; max-width: 720px; }
td { border: 1px solid #ccc; padding: 4px; }</style></head><body><h1>Article</h1>)";
  page.replace(page.find("max-width: 720px;"), 17,
               dark ? "max-width: 720px; background: #1c1c1e; color: #ddd;"
                    : "max-width: 720px; background: #fff; color: #111;");
  for (int i = 0; i < 150; ++i) {
    page += "<h2>Section " + std::to_string(i) + "</h2><p>Lorem ipsum dolor sit amet, ";
    page += "consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore ";
    page += "magna aliqua. Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris.</p>";
    if (i % 10 == 0) {
      page += R"(<img width="160" height="90" src="data:image/svg+xml,)"
              R"(%3Csvg xmlns='http://www.w3.org/2000/svg' width='160' height='90'%3E)"
              R"(%3Crect width='160' height='90' fill='%23f59e0b'/%3E%3C/svg%3E">)";
      page +=
          "<table><tr><td>a</td><td>b</td><td>c</td></tr><tr><td>1</td><td>2</td>"
          "<td>3</td></tr></table>";
    }
  }
  return page + "</body></html>";
}

bool spinUntil(const std::function<bool()>& condition) {
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (Clock::now() >= deadline) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(200);
  }
  return true;
}

// Serves the light article under "/light" and the dark one under "/dark" on 127.0.0.1, from
// this process's main loop.
class ArticleServer {
 public:
  ArticleServer() : server_(soup_server_new(nullptr, nullptr)) {
    soup_server_add_handler(
        server_, nullptr,
        +[](SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer data) {
          const auto* pages = static_cast<const ArticleServer*>(data);
          const std::string* body = g_str_equal(path, "/dark") ? &pages->dark_ : &pages->light_;
          soup_server_message_set_status(message, 200, nullptr);
          soup_message_headers_append(soup_server_message_get_response_headers(message),
                                      "Cache-Control", "no-store");
          soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY,
                                           body->data(), body->size());
        },
        this, nullptr);
    soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, nullptr);
    GSList* uris = soup_server_get_uris(server_);
    port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  }
  ~ArticleServer() {
    soup_server_disconnect(server_);
    g_object_unref(server_);
  }
  Url address(bool dark, int n) const {
    return *Url::parse("http://127.0.0.1:" + std::to_string(port_) + (dark ? "/dark" : "/light") +
                       "?n=" + std::to_string(n));
  }

 private:
  SoupServer* server_;
  const std::string light_ = articlePage(false);
  const std::string dark_ = articlePage(true);
  int port_ = 0;
};

// One engine and one page server for the whole run, as in the browser (an engine made after
// another was dropped may fail its loads), in a scratch home.
struct Shared {
  bench::ScratchHome home;
  std::shared_ptr<WebEngine> engine = std::make_shared<WebEngine>(
      Scheduler::mainLoop(), WebEngine::Folders{home.root / "web-data", home.root / "web-cache"});
  ArticleServer server;
};
Shared& shared() {
  static Shared instance;
  return instance;
}

// A shown tab of a store with the browser's engine, loading the article.
class LoadRig {
 public:
  LoadRig() : server_(shared().server), defaults_(shared().home.root / "user-defaults.json") {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults_;
    store_ = BrowserStore::create(shared().engine, std::move(environment));
    window_.set_default_size(1024, 768);
    window_.set_child(container_);
    tab_ = store_->tabs().openTab(server_.address(false, 0), false);
    container_.setTab(tab_);
    window_.present();
    view_ = dynamic_cast<WebKitWebViewPort&>(*tab_->storedWebView()).webView();
    finishedHandler_ = g_signal_connect(view_, "load-changed", G_CALLBACK(&loadChanged), this);
    spinUntil([&] { return finished_ == server_.address(false, 0).str(); });
  }
  ~LoadRig() {
    g_signal_handler_disconnect(view_, finishedHandler_);
    store_.reset();
    window_.unset_child();
  }

  // Switches page dark mode for the next load, once the page shown now has taken it.
  bool setMode(PageDarkMode mode) {
    store_->preferences().updatePrefs([&](AppPreferences& prefs) { prefs.pageDarkMode = mode; });
    return run(kNextFrame).has_value();
  }

  struct Timing {
    double loaded = 0;   // seconds from the request until the load finished
    double painted = 0;  // seconds from the request until the next frame was painted
  };

  // One load of the article; none when it did not load.
  std::optional<Timing> load(bool dark, int n) {
    const Url address = server_.address(dark, n);
    const auto start = Clock::now();
    tab_->load(address);
    if (!spinUntil([&] { return finished_ == address.str(); })) return std::nullopt;
    const auto loaded = Clock::now();
    if (tab_->title.peek() != "Article" || !run(kNextFrame)) return std::nullopt;
    const auto painted = Clock::now();
    return Timing{std::chrono::duration<double>(loaded - start).count(),
                  std::chrono::duration<double>(painted - start).count()};
  }

  // Whether the page shown now is darkened.
  bool inverted() {
    return run("return document.documentElement.classList.contains('zemblo-dark-invert');") ==
           "true";
  }

 private:
  static constexpr const char* kNextFrame =
      "await new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))); "
      "return true;";

  static void loadChanged(WebKitWebView* view, WebKitLoadEvent event, LoadRig* self) {
    if (event == WEBKIT_LOAD_FINISHED) self->finished_ = webkit_web_view_get_uri(view);
  }

  std::optional<std::string> run(const char* body) { return bench::callPageFunction(view_, body); }

  ArticleServer& server_;
  UserDefaults defaults_;
  Gtk::Window window_;
  WebViewContainer container_;
  std::shared_ptr<BrowserStore> store_;
  std::shared_ptr<BrowserTab> tab_;
  WebKitWebView* view_ = nullptr;
  gulong finishedHandler_ = 0;
  std::string finished_;  // the address of the last load that finished
};

void initializeGtk() {
  static const bool ready = [] {
    gtk_init();
    Gtk::init_gtkmm_internals();
    adw_init();
    return true;
  }();
  (void)ready;
}

// The article loaded in turns with page dark mode off and always, in one tab, so both modes
// meet the same load of the machine. The time is the load in `always`; the counters give both
// loads, both paints and what the mode adds to each. Argument 0: the light article, which is
// darkened; 1: the dark one, which the mode leaves alone (what its script alone costs).
void pageLoadWithDarkMode(benchmark::State& state) {
  initializeGtk();
  const bool dark = state.range(0) == 1;
  LoadRig rig;
  int n = 0;
  // The first loads start the engine's processes.
  for (int i = 0; i < 3; ++i) rig.load(dark, ++n);
  if (!rig.setMode(PageDarkMode::always) || !rig.load(dark, ++n) || rig.inverted() == dark) {
    state.SkipWithError("the page is not shown as its mode says");
    return;
  }
  LoadRig::Timing plain;
  LoadRig::Timing darkened;
  for (auto _ : state) {
    rig.setMode(PageDarkMode::off);
    const auto plainTiming = rig.load(dark, ++n);
    rig.setMode(PageDarkMode::always);
    const auto darkenedTiming = rig.load(dark, ++n);
    if (!plainTiming || !darkenedTiming) {
      state.SkipWithError("the page did not load");
      break;
    }
    state.SetIterationTime(darkenedTiming->loaded);
    plain.loaded += plainTiming->loaded;
    plain.painted += plainTiming->painted;
    darkened.loaded += darkenedTiming->loaded;
    darkened.painted += darkenedTiming->painted;
  }
  using benchmark::Counter;
  const auto milliseconds = [](double seconds) {
    return Counter(seconds * 1000, Counter::kAvgIterations);
  };
  state.counters["plainLoad"] = milliseconds(plain.loaded);
  state.counters["darkLoad"] = milliseconds(darkened.loaded);
  state.counters["loadCost%"] = (darkened.loaded / plain.loaded - 1) * 100;
  state.counters["plainPaint"] = milliseconds(plain.painted);
  state.counters["darkPaint"] = milliseconds(darkened.painted);
  state.counters["paintCost%"] = (darkened.painted / plain.painted - 1) * 100;
}

BENCHMARK(pageLoadWithDarkMode)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60)
    ->Repetitions(5);

}  // namespace
}  // namespace zemblo
