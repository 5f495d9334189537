#pragma once

#include <adwaita.h>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <gtk/gtkunixprint.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <libsoup/soup.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <webkit/webkit.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/window_model.h"
#include "platform/user_defaults.h"
#include "support/main_loop.h"
#include "support/memory_vault_storage.h"
#include "support/temp_home.h"
#include "support/wait.h"
#include "support/x_input.h"
#include "web/web_engine.h"
#include "web/web_view_container.h"
#include "web/webkit_web_view_port.h"

// Helpers for the tests that drive real WebKit web views under a virtual display: a local HTTP
// server, waiting on the main loop with a deadline, real X input through xdotool and a store
// whose tabs are made by the browser's web engine.
namespace zemblo::testing {

using namespace std::chrono_literals;

inline void initializeGtk() {
  static const bool initialized = [] {
    // The file chooser records chosen files under the program's name.
    g_set_prgname("zemblo-web-tests");
    g_set_application_name("Zemblo web tests");
    gtk_init();
    Gtk::init_gtkmm_internals();
    adw_init();
    return true;
  }();
  (void)initialized;
}

// Serves fixed responses on 127.0.0.1 from this process's main loop.
class TestServer {
 public:
  struct Response {
    std::string body;
    std::string contentType = "text/html; charset=utf-8";
    std::vector<std::pair<std::string, std::string>> headers;
    int status = 200;
    bool neverAnswer = false;  // holds the request open until the client gives up
    bool hangUp = false;       // closes the connection without an answer
    bool truncated = false;    // promises twice the body, sends it, then drops the connection
    // With `truncated`: the length promised instead, and the protocol version of the answer.
    std::optional<size_t> promisedLength;
    std::string protocol = "HTTP/1.1";
  };

  // Given a certificate, the server speaks https with it.
  explicit TestServer(GTlsCertificate* certificate = nullptr)
      : server_(soup_server_new("tls-certificate", certificate, nullptr)),
        scheme_(certificate ? "https" : "http") {
    soup_server_add_handler(server_, nullptr, &TestServer::handle, this, nullptr);
    GError* error = nullptr;
    const auto options = SoupServerListenOptions(SOUP_SERVER_LISTEN_IPV4_ONLY |
                                                 (certificate ? SOUP_SERVER_LISTEN_HTTPS : 0));
    if (!soup_server_listen_local(server_, 0, options, &error)) {
      ADD_FAILURE() << "cannot listen: " << error->message;
      g_clear_error(&error);
      return;
    }
    GSList* uris = soup_server_get_uris(server_);
    port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  }
  ~TestServer() {
    cutConnections();
    soup_server_disconnect(server_);
    g_object_unref(server_);
  }
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  void route(const std::string& path, Response response) { routes_[path] = std::move(response); }
  void page(const std::string& path, const std::string& html) { route(path, {html}); }

  std::string url(const std::string& path) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
  }
  Url address(const std::string& path) const { return *Url::parse(url(path)); }
  // The same server under this machine's name: another site to the browser.
  std::string localhostURL(const std::string& path) const {
    return scheme_ + "://localhost:" + std::to_string(port_) + path;
  }
  int hits(const std::string& path) const {
    const auto found = hits_.find(path);
    return found == hits_.end() ? 0 : found->second;
  }

 private:
  static void handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                     gpointer data) {
    auto* self = static_cast<TestServer*>(data);
    ++self->hits_[path];
    const auto found = self->routes_.find(path);
    if (found == self->routes_.end()) {
      soup_server_message_set_status(message, 404, nullptr);
      return;
    }
    const Response& response = found->second;
    if (response.neverAnswer) {
      soup_server_message_pause(message);
      return;
    }
    if (response.truncated) {
      sendTruncated(message, response);
      return;
    }
    if (response.hangUp) {
      GIOStream* connection = soup_server_message_steal_connection(message);
      g_io_stream_close(connection, nullptr, nullptr);
      g_object_unref(connection);
      return;
    }
    soup_server_message_set_status(message, response.status, nullptr);
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    for (const auto& [name, value] : response.headers) {
      soup_message_headers_append(headers, name.c_str(), value.c_str());
    }
    soup_server_message_set_response(message, response.contentType.c_str(), SOUP_MEMORY_COPY,
                                     response.body.data(), response.body.size());
  }

  // Shuts down, without closing, every connection to this server's port: closing a connection
  // waits for its TLS handshake, and the engine holds the handshake of a certificate it refused
  // open for as long as its network process lives.
  void cutConnections() const {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      const int fd = std::atoi(entry.path().filename().c_str());
      sockaddr_in local{}, peer{};
      socklen_t length = sizeof local;
      if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
          local.sin_family != AF_INET || ntohs(local.sin_port) != port_) {
        continue;
      }
      length = sizeof peer;
      // The listening socket has no peer.
      if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
        shutdown(fd, SHUT_RDWR);
    }
  }

  static void sendTruncated(SoupServerMessage* message, const Response& response) {
    GIOStream* connection = soup_server_message_steal_connection(message);
    const size_t promised = response.promisedLength.value_or(2 * response.body.size());
    std::string raw = response.protocol + " 200 OK\r\nContent-Type: " + response.contentType +
                      "\r\nContent-Length: " + std::to_string(promised) + "\r\n";
    for (const auto& [name, value] : response.headers) raw += name + ": " + value + "\r\n";
    raw += "\r\n" + response.body;
    g_output_stream_write_all(g_io_stream_get_output_stream(connection), raw.data(), raw.size(),
                              nullptr, nullptr, nullptr);
    g_io_stream_close(connection, nullptr, nullptr);
    g_object_unref(connection);
  }

  SoupServer* server_;
  std::string scheme_;
  int port_ = 0;
  std::map<std::string, Response> routes_;
  std::map<std::string, int> hits_;
};

// An address on 127.0.0.1 where nothing listens: a port this process holds without listening
// on it until it ends, so that no server of this test or of another program can take it.
inline std::string refusedURL() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/refused";
}

// A PNG of `width` × `height` pixels coloured by `colorAt(x, y)` (0xRRGGBB).
inline std::string pngOf(int width, int height, const std::function<guint32(int, int)>& colorAt) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      guchar* pixel = gdk_pixbuf_get_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) + x * 3;
      const guint32 color = colorAt(x, y);
      pixel[0] = guchar(color >> 16), pixel[1] = guchar(color >> 8), pixel[2] = guchar(color);
    }
  }
  gchar* buffer = nullptr;
  gsize size = 0;
  gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "png", nullptr, nullptr);
  std::string bytes(buffer, size);
  g_free(buffer);
  g_object_unref(pixbuf);
  return bytes;
}

// A square picture of one colour, as a site's icon.
inline std::string pngPicture(int size = 16) {
  return pngOf(size, size, [](int, int) { return 0x3366CCu; });
}

// Runs an async JavaScript function body in the view; its result as text (strings unquoted).
inline std::optional<std::string> callJavaScript(WebKitWebView* view, const std::string& body,
                                                 const char* world = nullptr) {
  struct Call {
    bool done = false;
    std::optional<std::string> result;
  };
  auto call = std::make_shared<Call>();
  auto finished = +[](GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::shared_ptr<Call>> owner(static_cast<std::shared_ptr<Call>*>(data));
    JSCValue* value = webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source),
                                                                            result, nullptr);
    if (value) {
      char* text = jsc_value_to_string(value);
      (*owner)->result = text;
      g_free(text);
      g_object_unref(value);
    }
    (*owner)->done = true;
  };
  webkit_web_view_call_async_javascript_function(
      view, body.c_str(), -1, nullptr, world, nullptr, nullptr, finished,
      std::make_unique<std::shared_ptr<Call>>(call).release());
  waitUntil([&] { return call->done; });
  return call->result;
}

// Waits until the page has answered a request made now. The engine's process takes a view's
// requests in turn and answers them in turn: by then every earlier request has its answer.
inline bool pageAnswered(WebKitWebView* view) {
  return callJavaScript(view, "return true;") == "true";
}

// Runs `action`, then waits until the page has answered a request made after it; returns the
// navigations (loads, reloads) the page asked the browser about meanwhile. The engine asks about
// each one before it starts, so any the action caused have been asked about by then.
inline int navigationsDuring(WebKitWebView* view, const std::function<void()>& action) {
  struct Count {
    WebKitWebView* view;
    int navigations = 0;
  } count{view};
  const guint signal = g_signal_lookup("decide-policy", WEBKIT_TYPE_WEB_VIEW);
  const gulong hook = g_signal_add_emission_hook(
      signal, 0,
      [](GSignalInvocationHint*, guint, const GValue* values, gpointer data) {
        auto* count = static_cast<Count*>(data);
        if (g_value_get_object(&values[0]) == count->view &&
            g_value_get_enum(&values[2]) == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
          ++count->navigations;
        }
        return gboolean(TRUE);
      },
      &count, nullptr);
  action();
  const bool answered = pageAnswered(view);
  g_signal_remove_emission_hook(signal, hook);
  EXPECT_TRUE(answered) << "the page did not answer";
  return count.navigations;
}

// Real X input: modifier state only reaches the page from the X server, never from script.
// Without a window manager every window opens at the same place, so ours is raised first.
inline void clickWindow(const std::string& windowTitle, const std::string& modifiers = "",
                        int button = 1) {
  std::string command = xdotoolOn(windowTitle, "windowraise %1 mousemove --window %1 320 280");
  if (!modifiers.empty()) command += " keydown " + modifiers;
  command += " click " + std::to_string(button);
  if (!modifiers.empty()) command += " keyup " + modifiers;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Answers print dialogs as they show, from a source of the main loop: a print dialog runs a main
// loop of its own, and the test's waits only return once it is answered.
class PrintDialogWatch {
 public:
  using Answer = std::function<void(GtkDialog* dialog)>;
  explicit PrintDialogWatch(Answer answer) : answer_(std::move(answer)) {
    source_ = g_timeout_add(20, &PrintDialogWatch::poll, this);
  }
  ~PrintDialogWatch() { g_source_remove(source_); }
  PrintDialogWatch(const PrintDialogWatch&) = delete;
  PrintDialogWatch& operator=(const PrintDialogWatch&) = delete;

  int shown() const { return shown_; }

 private:
  static gboolean poll(gpointer data) {
    auto* self = static_cast<PrintDialogWatch*>(data);
    GListModel* toplevels = gtk_window_get_toplevels();
    for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
      auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
      if (GTK_IS_PRINT_UNIX_DIALOG(window) && gtk_widget_get_mapped(window) &&
          !g_object_get_data(G_OBJECT(window), "seen")) {
        g_object_set_data(G_OBJECT(window), "seen", window);
        ++self->shown_;
        self->answer_(GTK_DIALOG(window));
      }
      g_object_unref(window);
    }
    return G_SOURCE_CONTINUE;
  }

  Answer answer_;
  guint source_ = 0;
  int shown_ = 0;
};

// Tells whether a GObject has been finalised.
class FinalizationProbe {
 public:
  explicit FinalizationProbe(gpointer object) { g_weak_ref_init(&ref_, object); }
  ~FinalizationProbe() { g_weak_ref_clear(&ref_); }
  FinalizationProbe(const FinalizationProbe&) = delete;
  FinalizationProbe& operator=(const FinalizationProbe&) = delete;
  bool finalized() {
    gpointer object = g_weak_ref_get(&ref_);
    if (object) g_object_unref(object);
    return object == nullptr;
  }

 private:
  GWeakRef ref_;
};

// One engine for the whole test process, as in the browser (one network session per process):
// sessions made and dropped one after another leave WebKit's shared processes in a state that can
// fail a later load.
inline const std::shared_ptr<WebEngine>& sharedEngine() {
  struct Shared {
    std::filesystem::path root;
    std::shared_ptr<WebEngine> engine;
    Shared() {
      gchar* dir = g_dir_make_tmp("zemblo-web-engine-XXXXXX", nullptr);
      root = dir;
      g_free(dir);
      engine = std::make_shared<WebEngine>(
          Scheduler::mainLoop(),
          WebEngine::Folders{root / "data", root / "cache", ZEMBLO_TEST_RULE_LISTS_DIR});
    }
    ~Shared() {
      engine.reset();
      std::error_code ignored;
      std::filesystem::remove_all(root, ignored);
    }
  };
  static Shared shared;
  return shared.engine;
}

// The engine's persistent network session, as WebKit hands it to a web view the engine makes for a
// tab: making the view makes the session.
inline WebKitNetworkSession* networkSessionOf(WebEngine& engine) {
  const auto tab = std::make_shared<BrowserTab>();
  const auto view = engine.makeWebView(*tab);
  return webkit_web_view_get_network_session(dynamic_cast<WebKitWebViewPort&>(*view).webView());
}

// A store on a temporary home whose tabs get real web views from the shared engine, and a shown
// window whose content is one web-view container.
class WebHarness {
 public:
  // Saved passwords stay in memory unless a test hands in another vault storage.
  // `configure` adds to the store's environment (a clock, memory warnings) before it starts.
  explicit WebHarness(
      std::chrono::milliseconds requestTimeout = WebEngine::kRequestTimeout,
      std::shared_ptr<VaultStorage> vaultStorage = std::make_shared<MemoryVaultStorage>(),
      const std::function<void(BrowserStoreEnvironment&)>& configure = {})
      : defaults_(home_.root() / "config" / "user-defaults.json"), engine_(*sharedEngine()) {
    engine_.setRequestTimeout(requestTimeout);
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults_;
    environment.vaultStorage = std::move(vaultStorage);
    if (configure) configure(environment);
    store_ = BrowserStore::create(sharedEngine(), std::move(environment));
    // xdotool finds the window by this name.
    windowTitle_ = "zemblo-web-test-" + Uuid::random().str().substr(0, 8);
    window_.set_title(windowTitle_);
    window_.set_default_size(800, 600);
    window_.set_child(container_);
  }
  ~WebHarness() {
    store_.reset();
    window_.unset_child();
    engine_.setRequestTimeout(WebEngine::kRequestTimeout);
  }

  BrowserStore& store() { return *store_; }
  WebEngine& engine() { return engine_; }
  WebViewContainer& container() { return container_; }
  Gtk::Window& window() { return window_; }
  const std::string& windowTitle() const { return windowTitle_; }
  const testing::TempHome& home() const { return home_; }

  // Opens a selected tab for the address and shows it in the window.
  std::shared_ptr<BrowserTab> show(const std::string& url) {
    auto tab = store_->tabs().openTab(*Url::parse(url), false);
    container_.setTab(tab);
    window_.present();
    return tab;
  }

  const Space::TabList& tabs() const { return store_->tabs().currentSpace()->tabs.peek(); }
  std::optional<size_t> indexOf(const BrowserTab& tab) const {
    for (size_t i = 0; i < tabs().size(); ++i) {
      if (tabs()[i].get() == &tab) return i;
    }
    return std::nullopt;
  }
  std::shared_ptr<BrowserTab> selectedTab() const {
    return store_->tabs().currentSpace()->selectedTab();
  }

  static WebKitWebViewPort& portOf(BrowserTab& tab) {
    return dynamic_cast<WebKitWebViewPort&>(*tab.storedWebView());
  }
  static WebKitWebView* viewOf(BrowserTab& tab) { return portOf(tab).webView(); }

  // Waits for the page to finish loading with the given title and to be painted, so that clicks
  // reach it. Only the tab shown in the window paints.
  static bool waitForPage(BrowserTab& tab, const std::string& title) {
    const auto shown = [&] { return tab.title.peek() == title && !tab.isLoading.peek(); };
    const bool earlierError = tab.loadError.peek().has_value();
    const auto settled = [&] { return shown() || (!earlierError && tab.loadError.peek()); };
    if (!waitUntil(settled)) return false;
    if (!shown()) {
      ADD_FAILURE() << "the page \"" << title
                    << "\" failed to load: " << tab.loadError.peek()->message;
      return false;
    }
    return callJavaScript(viewOf(tab),
                          "await new Promise((done) => requestAnimationFrame(() => "
                          "requestAnimationFrame(done))); return true;") == "true";
  }

 private:
  // GTK must be up before the window member is built.
  const bool gtkReady_ = (initializeGtk(), true);
  testing::TempHome home_;
  UserDefaults defaults_;
  WebEngine& engine_;
  Gtk::Window window_;
  WebViewContainer container_;
  std::shared_ptr<BrowserStore> store_;
  std::string windowTitle_;
};

}  // namespace zemblo::testing
