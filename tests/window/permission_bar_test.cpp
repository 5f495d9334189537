// Sites asking for permissions on local pages: the bar over the page, answered with real clicks,
// the answers on disk, and the notifications a desktop notification server on the test's session
// bus receives.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/localization.h"
#include "model/site_permissions.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::pump;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;
using testing::xdotool;

// A page that asks on a click anywhere (the engine refuses a notification request made without
// one) and shows what it was answered in its title.
constexpr const char* kNotifyingPage = R"(<title>ask</title>
<body style="margin:0"><button id="ask" style="width:100%;height:90vh">ask</button>
<script>
  const answers = [];
  let clicks = 0;
  ask.onclick = () => ++clicks && Notification.requestPermission().then((r) => {
    answers.push(r);
    document.title = "perm " + answers.join();
  });
  function notify() {
    const n = new Notification("Tide <b>high</b>", {body: "At <i>noon</i> & after"});
    n.onclick = () => document.title = "clicked";
  }
</script>)";

constexpr const char* kFilmingPage = R"(<title>film</title>
<body style="margin:0"><button id="film" style="width:100%;height:90vh">film</button>
<script>
  film.onclick = () => navigator.mediaDevices.getUserMedia({video: true}).then(
      (stream) => { window.track = stream.getVideoTracks()[0]; document.title = "filming"; },
      (e) => document.title = "refused " + e.name);
</script>)";

constexpr const char* kLocatingPage = R"(<title>where</title>
<script>
  navigator.geolocation.getCurrentPosition(() => document.title = "geo ok",
                                           (e) => document.title = "geo error " + e.code);
</script>)";

Gtk::Widget* findWidget(Gtk::Widget& root, const std::function<bool(Gtk::Widget&)>& match) {
  if (match(root)) return &root;
  for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling()) {
    if (Gtk::Widget* found = findWidget(*child, match)) return found;
  }
  return nullptr;
}

bool hasAccessibleName(Gtk::Widget& widget, const std::string& name) {
  char* mismatch = gtk_test_accessible_check_property(GTK_ACCESSIBLE(widget.gobj()),
                                                      GTK_ACCESSIBLE_PROPERTY_LABEL, name.c_str());
  g_free(mismatch);
  return !mismatch;
}

// org.freedesktop.Notifications on a connection of its own to the test's session bus, as a
// desktop's notification server would be.
class NotificationServer {
 public:
  struct Shown {
    guint32 id;
    std::string application, summary, body;
  };

  NotificationServer() {
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    bus_ = g_dbus_connection_new_for_address_sync(
        address,
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    g_free(address);
    if (!bus_) {
      ADD_FAILURE() << "no session bus";
      return;
    }
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kInterface, nullptr);
    static const GDBusInterfaceVTable vtable{&NotificationServer::call, nullptr, nullptr, {}};
    registration_ = g_dbus_connection_register_object(bus_, kPath, node->interfaces[0], &vtable,
                                                      this, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    owner_ = g_bus_own_name_on_connection(
        bus_, "org.freedesktop.Notifications", G_BUS_NAME_OWNER_FLAGS_REPLACE,
        +[](GDBusConnection*, const char*, gpointer self) {
          static_cast<NotificationServer*>(self)->owned_ = true;
        },
        nullptr, this, nullptr);
    EXPECT_TRUE(waitUntil([&] { return owned_; }));
  }
  ~NotificationServer() {
    if (!bus_) return;
    g_bus_unown_name(owner_);
    g_dbus_connection_unregister_object(bus_, registration_);
    g_object_unref(bus_);
  }

  // The user clicks the notification.
  void click(guint32 id) {
    g_dbus_connection_emit_signal(bus_, nullptr, kPath, "org.freedesktop.Notifications",
                                  "ActionInvoked", g_variant_new("(us)", id, "default"), nullptr);
  }

  std::vector<Shown> shown;

 private:
  static constexpr const char* kPath = "/org/freedesktop/Notifications";
  static constexpr const char* kInterface = R"(<node>
    <interface name="org.freedesktop.Notifications">
      <method name="Notify">
        <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
        <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
        <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
        <arg type="u" direction="out"/>
      </method>
      <method name="CloseNotification"><arg type="u" direction="in"/></method>
      <signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
      <signal name="NotificationClosed"><arg type="u"/><arg type="u"/></signal>
    </interface></node>)";

  static void call(GDBusConnection*, const char*, const char*, const char*, const char* method,
                   GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    auto* self = static_cast<NotificationServer*>(data);
    if (g_strcmp0(method, "Notify") != 0) {
      g_dbus_method_invocation_return_value(invocation, nullptr);
      return;
    }
    const char *application = nullptr, *summary = nullptr, *body = nullptr;
    g_variant_get_child(parameters, 0, "&s", &application);
    g_variant_get_child(parameters, 3, "&s", &summary);
    g_variant_get_child(parameters, 4, "&s", &body);
    const guint32 id = guint32(self->shown.size() + 41);
    self->shown.push_back({id, application, summary, body});
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", id));
  }

  GDBusConnection* bus_ = nullptr;
  guint registration_ = 0;
  guint owner_ = 0;
  bool owned_ = false;
};

class PermissionBarTest : public ::testing::Test {
 protected:
  PermissionBarTest() {
    server.page("/ask", kNotifyingPage);
    server.page("/where", kLocatingPage);
    server.page("/film", kFilmingPage);
    server.page("/plain", "<title>plain</title>");
  }

  Gtk::Widget* bar() {
    return findWidget(harness.content(), [](Gtk::Widget& widget) {
      return widget.get_name().raw() == "PermissionBar";
    });
  }
  bool barShown() {
    pump();
    Gtk::Widget* found = bar();
    return found && found->get_mapped();
  }
  Gtk::Button& barButton(const std::string& label) {
    Gtk::Widget* found = findWidget(*bar(), [&](Gtk::Widget& widget) {
      auto* button = dynamic_cast<Gtk::Button*>(&widget);
      return button && button->get_label().raw() == label;
    });
    EXPECT_NE(found, nullptr) << label;
    return dynamic_cast<Gtk::Button&>(*found);
  }
  void click(Gtk::Widget& widget) {
    // Aimed where the widget is drawn: a bar shown just now has no place before its next frame.
    pump();
    const auto frame = harness.bounds(widget);
    xdotool("mousemove --window %1 " + std::to_string(int(frame.x + frame.width / 2)) + " " +
            std::to_string(int(frame.y + frame.height / 2)) + " click 1");
  }
  // A real click on the page, below where the bar comes in.
  void clickPage() {
    const auto card = harness.bounds(harness.content());
    xdotool("mousemove --window %1 " + std::to_string(int(card.x + card.width / 2)) + " " +
            std::to_string(int(card.y + card.height * 0.6)) + " click 1");
  }
  std::string title(BrowserTab& tab) {
    return callJavaScript(WebHarness::viewOf(tab), "return document.title;").value_or("");
  }
  std::string port() { return server.url("").substr(std::string("http://127.0.0.1:").size()); }
  std::string savedSettings() {
    harness.store().saveNow();
    harness.store().finishWrites();
    return harness.home().readFile(harness.home().dataDir() / "site-settings.json");
  }

  TestServer server;
  WindowHarness harness;
};

TEST_F(PermissionBarTest, ANotificationRequestIsAskedOnceAllowedRememberedAndReachesTheDesktop) {
  NotificationServer desktop;
  auto tab = harness.open(server.url("/ask"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "ask"));
  pump();
  clickPage();
  ASSERT_TRUE(waitUntil([&] { return barShown(); }));
  // The page asks again while the bar is up: still one question.
  clickPage();
  ASSERT_TRUE(
      waitUntil([&] { return callJavaScript(WebHarness::viewOf(*tab), "return clicks;") == "2"; }));
  EXPECT_TRUE(tab->permissions.shown.peek());
  EXPECT_TRUE(hasAccessibleName(
      *bar(), withArgument(localized("%@ bildirim göndermek istiyor"), "127.0.0.1")));
  // Its bar is the browser's, above the page's top edge, and leaves the page running.
  const auto card = harness.bounds(harness.content());
  const auto shown = harness.bounds(*bar());
  EXPECT_GE(shown.y, card.y);
  EXPECT_LT(shown.y + shown.height, card.y + card.height / 2);
  EXPECT_EQ(callJavaScript(WebHarness::viewOf(*tab), "return 6 * 7;"), "42");
  WindowHarness::screenshot("permission-bar");

  click(barButton(localized("İzin ver")));
  ASSERT_TRUE(waitUntil([&] { return title(*tab).find("granted") != std::string::npos; }))
      << title(*tab);
  // Both answered at once: no second question follows.
  EXPECT_FALSE(barShown());
  EXPECT_FALSE(tab->permissions.shown.peek());
  EXPECT_NE(
      savedSettings().find(R"("http:\/\/127.0.0.1:)" + port() + R"(":{"notifications":"allow"})"),
      std::string::npos);

  // A notification goes to the desktop as plain text, under its site's host; a click there brings
  // its tab forward.
  callJavaScript(WebHarness::viewOf(*tab), "notify(); return true;");
  ASSERT_TRUE(waitUntil([&] { return desktop.shown.size() == 1; }));
  EXPECT_EQ(desktop.shown[0].application, "Zemblo Browser");
  EXPECT_EQ(desktop.shown[0].summary, "Tide <b>high</b>");
  EXPECT_EQ(desktop.shown[0].body, "127.0.0.1\nAt &lt;i&gt;noon&lt;/i&gt; &amp; after");
  auto other = harness.open(server.url("/plain"));
  ASSERT_TRUE(WebHarness::waitForPage(*other, "plain"));
  desktop.click(desktop.shown[0].id);
  ASSERT_TRUE(waitUntil([&] { return title(*tab) == "clicked"; }));
  EXPECT_EQ(harness.store().tabs().currentSpace()->selectedTab(), tab);

  // Reloaded, the page knows its answer without asking.
  tab->reload();
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "ask"));
  EXPECT_EQ(callJavaScript(WebHarness::viewOf(*tab), "return Notification.permission;"), "granted");
}

TEST_F(PermissionBarTest, AQuestionWaitsWhileItsTabIsInTheBackgroundAndGoesWithTheTab) {
  auto asking = harness.open(server.url("/where"));
  ASSERT_TRUE(waitUntil([&] { return asking->permissions.shown.peek() && barShown(); }));
  EXPECT_TRUE(hasAccessibleName(
      *bar(), withArgument(localized("%@ konumunu öğrenmek istiyor"), "127.0.0.1")));
  // Another tab in front hides the question; it is still there when its tab comes back.
  auto other = harness.open(server.url("/plain"));
  ASSERT_TRUE(WebHarness::waitForPage(*other, "plain"));
  EXPECT_FALSE(barShown());
  harness.store().tabs().select(*asking);
  ASSERT_TRUE(waitUntil([&] { return barShown(); }));
  EXPECT_EQ(title(*asking), "where");
  // Allowed, the page hears back quickly: a position where the system has a location service,
  // an error (never a refusal) where it hasn't.
  click(barButton(localized("İzin ver")));
  ASSERT_TRUE(waitUntil([&] { return title(*asking).starts_with("geo "); }));
  EXPECT_NE(title(*asking), "geo error 1");

  // Another site's question, whose tab closes in the background before it is answered.
  auto closing = harness.open("http://localhost:" + port() + "/where");
  ASSERT_TRUE(waitUntil([&] { return closing->permissions.shown.peek().has_value(); }));
  harness.store().tabs().select(*other);
  harness.store().tabs().closeTab(*closing);
  EXPECT_FALSE(closing->permissions.shown.peek());
  EXPECT_FALSE(barShown());
  EXPECT_FALSE(harness.store().sitePermissions().decisionFor(
      *siteOrigin(*Url::parse("http://localhost:" + port())), PermissionKind::geolocation));
}

TEST_F(PermissionBarTest, ACapturingTabShowsItInItsRowWhereAClickStopsIt) {
  auto tab = harness.open(server.url("/plain"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "plain"));
  // The engine's stand-in camera: the virtual display has none.
  WebKitSettings* settings = webkit_web_view_get_settings(WebHarness::viewOf(*tab));
  WebKitFeatureList* features = webkit_settings_get_all_features();
  for (gsize i = 0; i < webkit_feature_list_get_length(features); ++i) {
    WebKitFeature* feature = webkit_feature_list_get(features, i);
    if (g_strcmp0(webkit_feature_get_identifier(feature), "MockCaptureDevices") == 0) {
      webkit_settings_set_feature_enabled(settings, feature, TRUE);
    }
  }
  webkit_feature_list_unref(features);
  tab->load(server.address("/film"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "film"));
  pump();
  clickPage();
  ASSERT_TRUE(waitUntil([&] { return barShown(); }));
  EXPECT_TRUE(hasAccessibleName(
      *bar(), withArgument(localized("%@ kameranı kullanmak istiyor"), "127.0.0.1")));
  click(barButton(localized("İzin ver")));
  // The engine starts its capture pipeline first. Now and then in a full run the page never films
  // at all: the message tells whether the answer reached the question.
  ASSERT_TRUE(waitUntil([&] { return title(*tab) == "filming"; }, std::chrono::seconds(30)))
      << title(*tab) << " asking=" << tab->permissions.shown.peek().has_value()
      << " bar=" << barShown();

  const auto indicator = [&]() -> Gtk::Widget* {
    pump();
    Gtk::Widget* found = findWidget(harness.window(), [](Gtk::Widget& widget) {
      return widget.get_name().raw() == "CaptureIndicator" && widget.get_mapped();
    });
    return found;
  };
  ASSERT_TRUE(waitUntil([&] { return indicator() != nullptr; }));
  EXPECT_TRUE(hasAccessibleName(
      *indicator(), localized("Kamera, mikrofon veya ekran kullanılıyor; durdurmak için tıkla")));
  click(*indicator());
  ASSERT_TRUE(waitUntil([&] { return !tab->permissions.capture.peek().any(); }));
  EXPECT_TRUE(waitUntil([&] { return indicator() == nullptr; }));
  EXPECT_TRUE(waitUntil([&] {
    return callJavaScript(WebHarness::viewOf(*tab), "return track.readyState;") == "ended";
  }));
}

}  // namespace
}  // namespace zemblo
