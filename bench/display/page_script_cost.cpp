// What the browser's own scripts, style rules and content rule list add to a page's load: the
// page's own clock from its navigation to its load event (performance.now() in its load handler),
// in a new tab of the browser window and in a bare web view of the same engine, in turns, each
// sample in a fresh web process. The page is small: its markup, a script and a picture.
// A second bare view composites pages as the browser does on this machine (on the CPU where GL is
// rasterised by the CPU too): against it, what is left is the cost of the scripts and rules alone.
//
//   zemblo_page_script_cost [ROUNDS] [dark]   ROUNDS rounds of one load in each view (default
//                                             15); "dark" loads ours with page dark mode on
// Run it under a display, for example:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/release/bench/zemblo_page_script_cost 15

#include <libsoup/soup.h>
#include <webkit/webkit.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "../scratch_home.h"
#include "display_bench.h"
#include "model/browser_tab.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "platform/interface_renderer.h"

namespace {

using namespace zemblo;
using namespace zemblo::bench;

constexpr const char* kPage =
    "<!doctype html><html><head><meta charset='utf-8'><title>Bench</title>"
    "<script src='app.js'></script></head><body style='font:16px sans-serif'>"
    "<h1>A small page</h1><p id='out'>Lorem ipsum dolor sit amet.</p><img src='img.svg' "
    "width='64' height='64'><form><input name='q'></form></body></html>";
constexpr const char* kScript =
    "window.addEventListener('load', () => { const t = performance.now();"
    " fetch('/loaded?t=' + t); });"
    "document.addEventListener('DOMContentLoaded', () => {"
    " document.getElementById('out').textContent += ' ' + navigator.userAgent.length; });";

// Serves the page and records the load times pages report, from this process's main loop.
class LoadServer {
 public:
  LoadServer() : server_(soup_server_new(nullptr, nullptr)) {
    soup_server_add_handler(server_, nullptr, &LoadServer::serve, this, nullptr);
    GError* error = nullptr;
    if (!soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
      std::fprintf(stderr, "cannot listen: %s\n", error->message);
      g_error_free(error);
      std::exit(1);
    }
    GSList* uris = soup_server_get_uris(server_);
    origin_ = "http://127.0.0.1:" + std::to_string(g_uri_get_port(static_cast<GUri*>(uris->data)));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  }
  ~LoadServer() {
    soup_server_disconnect(server_);
    g_object_unref(server_);
  }
  // A fresh address each time, so that no cache answers for the server.
  std::string address() { return origin_ + "/r" + std::to_string(++run_) + "/"; }
  std::optional<double> takeReported() { return std::exchange(reported_, std::nullopt); }

 private:
  static void serve(SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query,
                    gpointer data) {
    auto* self = static_cast<LoadServer*>(data);
    const std::string p(path);
    std::string body = kPage, type = "text/html; charset=utf-8";
    if (p == "/loaded") {
      const char* t = query ? static_cast<const char*>(g_hash_table_lookup(query, "t")) : nullptr;
      if (t) self->reported_ = std::atof(t);
      soup_server_message_set_status(message, 204, nullptr);
      return;
    }
    if (p.ends_with("app.js")) {
      body = kScript;
      type = "text/javascript";
    } else if (p.ends_with("img.svg")) {
      body = picture(3, 64);
      type = "image/svg+xml";
    } else if (p.ends_with("favicon.ico")) {
      soup_server_message_set_status(message, 404, nullptr);
      return;
    }
    soup_server_message_set_status(message, 200, nullptr);
    soup_server_message_set_response(message, type.c_str(), SOUP_MEMORY_COPY, body.data(),
                                     body.size());
  }

  SoupServer* server_;
  std::string origin_;
  int run_ = 0;
  std::optional<double> reported_;
};

enum class Compositing { engineDefault, asTheBrowser };

// A web view as a program of a few lines makes it: the engine's defaults, a window of its own.
std::optional<double> bareLoad(LoadServer& server, Compositing compositing) {
  Gtk::Window window;
  window.set_default_size(1200, 800);
  GtkWidget* view = webkit_web_view_new();
  if (compositing == Compositing::asTheBrowser && interface_renderer::softwareOnlyGL()) {
    webkit_settings_set_hardware_acceleration_policy(
        webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)),
        WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  }
  window.set_child(*Glib::wrap(view));
  window.present();
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), server.address().c_str());
  std::optional<double> reported;
  runUntil([&] { return (reported = server.takeReported()).has_value(); },
           std::chrono::seconds(20));
  webkit_web_view_terminate_web_process(WEBKIT_WEB_VIEW(view));
  window.unset_child();
  return reported;
}

std::optional<double> ourLoad(Browser& browser, LoadServer& server) {
  auto tab = browser.store->tabs().openTab(*Url::parse(server.address()), false);
  std::optional<double> reported;
  runUntil([&] { return (reported = server.takeReported()).has_value(); },
           std::chrono::seconds(20));
  browser.store->tabs().closeTab(*tab);
  return reported;
}

void printRow(const char* name, std::vector<double> times) {
  std::printf("%-40s %8.1f %8.1f %8.1f %6zu\n", name, percentile(times, 0.5), percentile(times, 0),
              percentile(times, 0.9), times.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const bool dark = argc > 2 && std::string(argv[2]) == "dark";
  ScratchHome home;
  auto started = Browser::start(home.root);
  Browser& browser = *started;
  if (dark) {
    browser.store->preferences().updatePrefs(
        [](AppPreferences& p) { p.pageDarkMode = PageDarkMode::always; });
  }
  LoadServer server;
  // The first loads start the engine's processes and fill the caches of this process.
  ourLoad(browser, server);
  bareLoad(server, Compositing::engineDefault);
  bareLoad(server, Compositing::asTheBrowser);
  enum View { ourTab, bareView, bareViewAsOurs };
  std::array<std::vector<double>, 3> times;
  std::vector<double> added, addedByScripts;
  // The three views take turns in every order, so that each follows a load of each kind as often
  // as another: a tab's load right after the bare view's costs it more than one right after
  // another tab's.
  std::array<View, 3> order{ourTab, bareView, bareViewAsOurs};
  for (int round = 0; round < rounds; ++round) {
    std::array<std::optional<double>, 3> reported;
    for (View view : order) {
      reported[view] = view == ourTab     ? ourLoad(browser, server)
                       : view == bareView ? bareLoad(server, Compositing::engineDefault)
                                          : bareLoad(server, Compositing::asTheBrowser);
      if (reported[view]) times[view].push_back(*reported[view]);
    }
    std::next_permutation(order.begin(), order.end());
    // Loads side by side share the machine's load of the moment.
    if (reported[ourTab] && reported[bareView]) {
      added.push_back(*reported[ourTab] - *reported[bareView]);
    }
    if (reported[ourTab] && reported[bareViewAsOurs]) {
      addedByScripts.push_back(*reported[ourTab] - *reported[bareViewAsOurs]);
    }
  }
  std::printf("navigation to load event, on the page's own clock (ms)\n");
  std::printf("%-40s %8s %8s %8s %6s\n", "", "median", "min", "p90", "loads");
  printRow(dark ? "browser tab, page dark mode on" : "browser tab", times[ourTab]);
  printRow("bare web view", times[bareView]);
  printRow("bare web view, composited as ours", times[bareViewAsOurs]);
  std::printf("%-40s %8.1f\n", "added by the browser (medians)",
              percentile(times[ourTab], 0.5) - percentile(times[bareView], 0.5));
  std::printf("%-40s %8.1f\n", "added, median of pairs", percentile(added, 0.5));
  std::printf("%-40s %8.1f\n", "added by scripts and rules (medians)",
              percentile(times[ourTab], 0.5) - percentile(times[bareViewAsOurs], 0.5));
  std::printf("%-40s %8.1f\n", "added by scripts and rules, pairs",
              percentile(addedByScripts, 0.5));
  return 0;
}
