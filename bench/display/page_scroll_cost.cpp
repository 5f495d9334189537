// How smoothly a long light article scrolls in the browser window with page dark mode off and
// darkened, in turns: the page scrolls a little on every one of its animation frames for a few
// seconds, and the intervals between those frames are what it gets (the engine paces them by
// how fast it composites). The browser window's own frames are measured alongside. Pages are
// composited as the browser would on this machine (on the CPU where GL is software only).
//
//   zemblo_page_scroll_cost [SECONDS [ROUNDS]]
// Run it under a display of 1440 × 920, for example:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/bench/bench/zemblo_page_scroll_cost

#include <webkit/webkit.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "../scratch_home.h"
#include "display_bench.h"
#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "platform/interface_renderer.h"
#include "web/webkit_web_view_port.h"

namespace {

using namespace zemblo;
using namespace zemblo::bench;

// A long article with headings, tables and pictures, on white.
std::string article() {
  std::string page = R"(<!doctype html><html><head><meta charset="utf-8"><title>Article</title>
<style>body { font: 16px/1.5 sans-serif; margin: 40px auto; max-width: 760px; background: #fff;
color: #111; } td { border: 1px solid #ccc; padding: 4px; }</style></head><body><h1>Article</h1>)";
  for (int i = 0; i < 300; ++i) {
    page += "<h2>Section " + std::to_string(i) + "</h2><p>Lorem ipsum dolor sit amet, ";
    page += "consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore ";
    page += "magna aliqua. Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris.</p>";
    if (i % 8 == 0) {
      page += "<img width='320' height='180' src='/picture/" + std::to_string(i) + ".svg'>";
      page +=
          "<table><tr><td>a</td><td>b</td><td>c</td></tr><tr><td>1</td><td>2</td>"
          "<td>3</td></tr></table>";
    }
  }
  return page + "</body></html>";
}

class ArticleServer {
 public:
  ArticleServer() : server_(soup_server_new(nullptr, nullptr)), page_(article()) {
    soup_server_add_handler(
        server_, nullptr,
        +[](SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer data) {
          const std::string p(path);
          std::string body = static_cast<ArticleServer*>(data)->page_, type = "text/html";
          if (p.starts_with("/picture/")) {
            body = picture(std::atoi(p.c_str() + 9), 180);
            type = "image/svg+xml";
          }
          soup_server_message_set_status(message, 200, nullptr);
          soup_server_message_set_response(message, type.c_str(), SOUP_MEMORY_COPY, body.data(),
                                           body.size());
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
  Url address() const {
    return *Url::parse("http://127.0.0.1:" + std::to_string(port_) + "/article");
  }

 private:
  SoupServer* server_;
  std::string page_;
  int port_ = 0;
};

// Runs a function body in the page; its result as text.
std::optional<std::string> call(WebKitWebView* view, const std::string& body) {
  struct Call {
    bool done = false;
    std::optional<std::string> result;
  } state;
  webkit_web_view_call_async_javascript_function(
      view, body.c_str(), -1, nullptr, nullptr, nullptr, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        auto* state = static_cast<Call*>(data);
        if (JSCValue* value = webkit_web_view_call_async_javascript_function_finish(
                WEBKIT_WEB_VIEW(source), result, nullptr)) {
          char* text = jsc_value_to_string(value);
          state->result = text;
          g_free(text);
          g_object_unref(value);
        }
        state->done = true;
      },
      &state);
  if (!runUntil([&] { return state.done; }, std::chrono::seconds(60))) return std::nullopt;
  return state.result;
}

// Scrolls down and up again by 8 points a frame for `seconds`; the intervals between the page's
// animation frames, in milliseconds, separated by spaces.
std::string scrollScript(int seconds) {
  return "const intervals = []; let last = 0, direction = 1; const end = performance.now() + " +
         std::to_string(seconds * 1000) +
         "; await new Promise((done) => { const step = (time) => {"
         " if (last) intervals.push(time - last); last = time;"
         " const bottom = document.documentElement.scrollHeight - innerHeight;"
         " if (scrollY >= bottom - 8) direction = -1; if (scrollY <= 0) direction = 1;"
         " scrollBy(0, 8 * direction);"
         " if (time < end) requestAnimationFrame(step); else done(); };"
         " requestAnimationFrame(step); });"
         " return intervals.map((i) => i.toFixed(2)).join(' ');";
}

std::vector<double> numbers(const std::string& text) {
  std::vector<double> values;
  std::istringstream in(text);
  for (double v; in >> v;) values.push_back(v);
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  ScratchHome home;
  interface_renderer::applyToProcess();
  auto engine = startToolkitAndEngine(home.root);
  ArticleServer server;
  Browser browser(home.root / "defaults.json", engine);
  BrowserStore& store = *browser.store;
  runUntil(
      [&] {
        return !std::holds_alternative<AdBlocker::Preparing>(store.adBlocker().status.peek());
      },
      std::chrono::seconds(120));
  auto tab = store.openTab(server.address(), false);
  if (!runUntil([&] { return tab->title.peek() == "Article" && !tab->isLoading.peek(); },
                std::chrono::seconds(60))) {
    std::fprintf(stderr, "the article did not load\n");
    return 1;
  }
  WebKitWebView* view = dynamic_cast<WebKitWebViewPort&>(*tab->storedWebView()).webView();
  std::printf("window %d × %d, %d s of scrolling per measurement\n", browser.window->get_width(),
              browser.window->get_height(), seconds);
  std::printf("%-10s %26s    %34s\n", "", "the page's animation frames",
              "the browser window's painted frames");
  std::printf("%-10s %6s %6s %6s %6s    %6s %6s %6s %6s %6s\n", "page", "frames", "p50", "p95",
              "p99", "fps", "p50", "p95", "p99", "busy");
  std::vector<double> all[2];
  for (int round = 0; round < rounds; ++round) {
    for (int dark = 0; dark < 2; ++dark) {
      store.updatePrefs([&](AppPreferences& p) {
        p.pageDarkMode = dark ? PageDarkMode::always : PageDarkMode::off;
      });
      const bool darkened = runUntil(
          [&] {
            return call(view,
                        "return document.documentElement.classList.contains("
                        "'zemblo-dark-invert')") == (dark ? "true" : "false");
          },
          std::chrono::seconds(10));
      if (!darkened) std::fprintf(stderr, "the page did not take its mode\n");
      runFor(std::chrono::milliseconds(500));
      FrameMeter meter(*browser.window);
      meter.start();
      const auto intervals = numbers(call(view, scrollScript(seconds)).value_or(""));
      const FrameMeter::Result window = meter.finish();
      all[dark].insert(all[dark].end(), intervals.begin(), intervals.end());
      std::printf("%-10s %6zu %6.1f %6.1f %6.1f    %6.1f %6.1f %6.1f %6.1f %5.1f%%\n",
                  dark ? "darkened" : "light", intervals.size(), percentile(intervals, 0.5),
                  percentile(intervals, 0.95), percentile(intervals, 0.99),
                  double(window.frames) / window.seconds, window.p50, window.p95, window.p99,
                  100 * window.busy);
      std::fflush(stdout);
    }
  }
  const double light = percentile(all[0], 0.5), darkened = percentile(all[1], 0.5);
  std::printf("median frame interval: light %.1f ms, darkened %.1f ms (%.2f ×); p95 %.1f / %.1f\n",
              light, darkened, light > 0 ? darkened / light : 0, percentile(all[0], 0.95),
              percentile(all[1], 0.95));
  return 0;
}
