// The menu of saved logins against hostile pages, with real input. Every host name reaches the
// test's server through the engine's proxy setting, so that pages are served for "site.test"
// and its neighbours; the vault holds alice's login for site.test and carol's for
// login.corp.test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "model/autofill_bridge.h"
#include "model/localization.h"
#include "model/password_store.h"
#include "support/find_window.h"
#include "window/accessibility_tree.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;
using testing::xdotool;

// A login form whose script takes whatever lands in its fields, with a style sheet that hides
// every element the browser might add to the page and a prize button under the password field,
// where the first row of a menu lies. It notes the keys it sees, the clicks on its button and
// every change to its document. "?focus" focuses the password field on load; "?keys" then also
// sends the field keys and clicks of its own.
constexpr const char* kHostilePage = R"(<title>Login</title>
<style>
  html > div { opacity: 0 !important; }
  form { position: absolute; left: 40px; top: 40px; }
  input { display: block; width: 300px; height: 24px; margin-bottom: 8px; }
  #prize { position: absolute; left: 40px; top: 118px; width: 300px; height: 60px; }
</style>
<form id="form"><input id="user" name="username" type="text"><input id="pass" type="password">
</form>
<button id="prize">Click to win a prize</button>
<script>
  window.stolen = "";
  window.keys = [];
  window.prizeClicks = 0;
  window.changes = 0;
  window.blurs = 0;
  // In a frame, it tells the page around it where its field is and what it got.
  const tell = (what) => { if (parent !== window) parent.postMessage(what, "*"); };
  pass.addEventListener("input", () => {
    stolen = user.value + "/" + pass.value;
    tell(stolen);
  });
  tell(JSON.stringify(pass.getBoundingClientRect()));
  pass.addEventListener("blur", () => ++blurs);
  prize.addEventListener("click", () => ++prizeClicks);
  document.addEventListener("keydown", (event) => keys.push(event.key));
  window.events = [];
  for (const type of ["keydown", "keyup", "mouseover", "mouseout"]) {
    document.addEventListener(type, (e) => events.push(type + ":" + (e.key || e.target.id)), true);
  }
  window.log = [];
  new MutationObserver((records) => { changes += records.length; for (const r of records) log.push(r.type + ":" + r.target.nodeName + ":" + r.attributeName); })
      .observe(document.documentElement, {childList: true, subtree: true, attributes: true});
  if (location.search.includes("focus")) pass.focus();
  if (location.search.includes("keys")) {
    for (const key of ["ArrowDown", "ArrowDown", "Enter"]) {
      pass.dispatchEvent(new KeyboardEvent("keydown", {key, bubbles: true}));
    }
    pass.click();
    pass.dispatchEvent(new MouseEvent("mousedown", {bubbles: true}));
  }
</script>)";

// A page of another site around the login page, in a frame with a border, noting what the
// frame tells it.
constexpr const char* kFramingPage = R"(<title>Frame</title>
<style>iframe { position: absolute; left: 100px; top: 150px; width: 420px; height: 300px;
  border: 3px solid; }</style>
<script>
  window.told = [];
  addEventListener("message", (event) => told.push(event.data));
</script>
<iframe src="http://site.test/login"></iframe>)";

// A game that asks for keys while its password field, invisible with "?hidden", has the focus.
constexpr const char* kGamePage = R"(<title>Game</title>
<style>.hidden #pass { opacity: 0; } #pass { display: block; width: 300px; height: 24px; }</style>
<p>Press Down, Down and Enter to start the game!</p><input id="pass" type="password">
<script>
  window.stolen = "";
  window.keys = [];
  pass.addEventListener("input", () => stolen = pass.value);
  document.addEventListener("keydown", (event) => keys.push(event.key));
  if (location.search.includes("hidden")) document.documentElement.className = "hidden";
  pass.focus();
</script>)";

// A newsletter form beside a second form whose password field the user can't see, hidden in
// the way the query names.
constexpr const char* kNewsletterPage = R"(<title>News</title>
<form><input id="email" name="email" type="email" style="width: 300px; height: 24px"></form>
<form><input id="secret" type="password"></form>
<script>
  secret.style.cssText = {
    transparent: "opacity: 0",
    speck: "box-sizing: border-box; width: 1px; height: 1px; padding: 0; border: 0",
    away: "position: absolute; left: -9999px",
    hidden: "visibility: hidden",
  }[location.search.slice(1)];
  window.stolen = "";
  secret.addEventListener("input", () => stolen = secret.value);
</script>)";

// A login form the page adds once it has loaded, and a first step that asks for the user name
// alone: neither has a password field when the page's document is ready.
constexpr const char* kLateFormPage = R"(<title>Later</title>
<style>input { display: block; width: 300px; height: 24px; }</style>
<script>
  window.stolen = "";
  addEventListener("load", () => {
    const form = document.createElement("form");
    form.innerHTML = '<input id="user" name="username"><input id="pass" type="password">';
    document.body.append(form);
    pass.addEventListener("input", () => stolen = user.value + "/" + pass.value);
    document.title = "Form";
  });
</script>)";
constexpr const char* kUserNameStepPage = R"(<title>Step</title>
<form><input id="user" name="username" style="width: 300px; height: 24px"></form>)";

// Whether a label of `widget` shows `text` on screen.
bool shows(Gtk::Widget& widget, const Glib::ustring& text) {
  if (auto* label = dynamic_cast<Gtk::Label*>(&widget);
      label && label->get_text().raw() == text.raw()) {
    return label->get_mapped();
  }
  for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
    if (shows(*child, text)) return true;
  }
  return false;
}

class AutofillMenuTest : public ::testing::Test {
 protected:
  AutofillMenuTest() {
    server.page("/login", kHostilePage);
    server.page("/frame", kFramingPage);
    server.page("/game", kGamePage);
    server.page("/news", kNewsletterPage);
    server.page("/later", kLateFormPage);
    server.page("/step", kUserNameStepPage);
    WebKitNetworkProxySettings* proxy =
        webkit_network_proxy_settings_new(server.url("").c_str(), nullptr);
    webkit_network_session_set_proxy_settings(testing::networkSessionOf(harness.engine()),
                                              WEBKIT_NETWORK_PROXY_MODE_CUSTOM, proxy);
    webkit_network_proxy_settings_free(proxy);
    vault().upsert({.host = "site.test",
                    .url = "http://site.test",
                    .username = "alice",
                    .password = "PW-site-A",
                    .persist = false});
    vault().upsert({.host = "login.corp.test",
                    .url = "http://login.corp.test",
                    .username = "carol",
                    .password = "PW-login-corp",
                    .persist = false});
    menu().now = [this] { return clock; };
  }

  PasswordStore& vault() { return harness.store().passwords(); }
  AutofillMenuPopover& menu() {
    return testing::widgetNamed<AutofillMenuPopover>(harness.content(), "AutofillMenu");
  }
  // The menu's rows, as a screen reader lists its items.
  std::vector<GtkWidget*> rows() {
    return testing::findAllByRole(GTK_WIDGET(menu().gobj()), GTK_ACCESSIBLE_ROLE_MENU_ITEM);
  }
  Gtk::Widget& row(size_t index) { return *Glib::wrap(rows().at(index)); }
  // The row drawn highlighted.
  std::optional<size_t> highlighted() {
    const auto shown = rows();
    for (size_t i = 0; i < shown.size(); ++i) {
      if (gtk_widget_has_css_class(shown[i], "active")) return i;
    }
    return std::nullopt;
  }
  bool menuOpen() { return menu().get_mapped() && tab->autofillMenu.shown.peek(); }

  void open(const std::string& address, const std::string& title = "Login") {
    tab = harness.open(address);
    ASSERT_TRUE(WebHarness::waitForPage(*tab, title)) << address;
    // As after the user opened the page from the command bar: the page has the keyboard.
    tab->storedWebView()->focusIfShown();
    testing::pump();
  }
  std::string page(const std::string& body) {
    return callJavaScript(WebHarness::viewOf(*tab), body).value_or("<no answer>");
  }
  void key(const std::string& name) { xdotool("key " + name); }
  // A real click at a point of the page, or of the window's surface.
  void clickInPage(double x, double y) {
    const auto card = harness.bounds(testing::widgetNamed(harness.content(), "PageViewContainer"));
    clickInWindow(card.x + x, card.y + y);
  }
  void clickInWindow(double x, double y) { pointTo(x, y, " click 1"); }
  void pointTo(double x, double y, const std::string& then = "") {
    // The display has placed every surface the test just read the place of.
    gdk_display_sync(gdk_display_get_default());
    xdotool("mousemove --window %1 " + std::to_string(int(x)) + " " + std::to_string(int(y)) +
            then);
  }
  // The middle of a page element in the window's surface.
  std::pair<double, double> centreOf(const std::string& id) {
    const std::string at = page("const r = document.getElementById('" + id +
                                "').getBoundingClientRect();"
                                "return (r.left + r.width / 2) + ' ' + (r.top + r.height / 2);");
    const auto card = harness.bounds(testing::widgetNamed(harness.content(), "PageViewContainer"));
    return {card.x + std::stod(at), card.y + std::stod(at.substr(at.find(' ') + 1))};
  }
  void click(const std::string& id) {
    const auto [x, y] = centreOf(id);
    clickInWindow(x, y);
  }
  void clickPrize() { clickInPage(40 + 150, 118 + 30); }
  // The middle of a row of the menu in the window's surface: the menu is a surface of its own,
  // placed relative to the window's.
  std::pair<double, double> rowCentre(size_t index) {
    GtkNative* native = GTK_NATIVE(menu().gobj());
    GdkPopup* popup = GDK_POPUP(gtk_native_get_surface(native));
    double shadowX = 0, shadowY = 0;
    gtk_native_get_surface_transform(native, &shadowX, &shadowY);
    graphene_rect_t area;
    EXPECT_TRUE(gtk_widget_compute_bounds(row(index).gobj(), GTK_WIDGET(menu().gobj()), &area));
    return {gdk_popup_get_position_x(popup) + shadowX + area.origin.x + area.size.width / 2,
            gdk_popup_get_position_y(popup) + shadowY + area.origin.y + area.size.height / 2};
  }
  void clickRow(size_t index) {
    const auto [x, y] = rowCentre(index);
    clickInWindow(x, y);
  }
  // How opaque the menu is where a row lies: the page must never show through.
  int alphaAtRowCentre(size_t index) {
    graphene_rect_t area;
    EXPECT_TRUE(gtk_widget_compute_bounds(row(index).gobj(), GTK_WIDGET(menu().gobj()), &area));
    const std::vector<guchar> pixels = testing::pixelsOf(menu());
    const int x = int(area.origin.x + area.size.width / 2),
              y = int(area.origin.y + area.size.height / 2);
    const size_t at = size_t((y * menu().get_width() + x) * 4 + 3);
    return at < pixels.size() ? pixels[at] : -1;
  }
  // Counts the presses a row gets, taken or not.
  int& countPresses(size_t index) {
    auto presses = Gtk::GestureClick::create();
    presses->signal_pressed().connect([this](int, double, double) { ++rowPresses; });
    row(index).add_controller(presses);
    return rowPresses;
  }

  TestServer server;
  WindowHarness harness{std::make_shared<testing::MemoryVaultStorage>()};
  std::shared_ptr<BrowserTab> tab;
  std::chrono::steady_clock::time_point clock = std::chrono::steady_clock::now();
  int rowPresses = 0;
};

TEST_F(AutofillMenuTest, ASiblingOrParentHostGetsNoLoginFromDownAndReturn) {
  struct Case {
    std::string host;
    std::string savedFor;
  };
  for (const Case& c :
       {Case{"evil.site.test", "site.test"}, Case{"corp.test", "login.corp.test"}}) {
    SCOPED_TRACE(c.host);
    open("http://" + c.host + "/login?focus");
    // The page's own focus opened nothing; the user's Down opens the menu. The other host's login
    // is listed under the host it was saved for, and not highlighted.
    key("Down");
    ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_FALSE(highlighted());
    EXPECT_EQ(tab->autofillMenu.shown.peek()->rows[0].host, c.savedFor);
    key("Return");
    ASSERT_TRUE(waitUntil([&] { return page("return keys.join();") == "ArrowDown,Enter"; }))
        << page("return keys.join();");
    EXPECT_EQ(page("return stolen + '|' + pass.value;"), "|");
    EXPECT_FALSE(tab->autofillMenu.shown.peek());
  }
}

TEST_F(AutofillMenuTest, AClickOnTheMenuCountsOnlyAfterItStoodStillUnderTheFieldForHalfASecond) {
  open("http://site.test/login?focus");
  click("pass");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  testing::waitForFrame();
  // The page's style sheet does not reach the menu: it covers the prize button, opaque.
  const double y = rowCentre(0).second;
  const auto card = harness.bounds(testing::widgetNamed(harness.content(), "PageViewContainer"));
  EXPECT_GT(y - card.y, 118);
  EXPECT_LT(y - card.y, 118 + 60);
  EXPECT_EQ(alphaAtRowCentre(0), 255);
  const int& presses = countPresses(0);

  // At once: the click lands on the menu, which does not take it yet; the prize gets nothing.
  clickPrize();
  ASSERT_TRUE(waitUntil([&] { return presses == 1; }));
  EXPECT_TRUE(menuOpen());
  EXPECT_EQ(page("return stolen + '|' + prizeClicks;"), "|0");

  // The page moves the field just before the user clicks: the menu follows, and its half second
  // starts again.
  clock += AutofillMenuPopover::kChoiceDelay;
  page("form.style.top = '200px'; return true;");
  ASSERT_TRUE(waitUntil([&] { return rowCentre(0).second > y + 30; }));
  clickRow(0);
  ASSERT_TRUE(waitUntil([&] { return presses == 2; }));
  EXPECT_EQ(page("return stolen;"), "");

  // Half a second later the row takes the click: the user's choice, on the login's own site.
  clock += AutofillMenuPopover::kChoiceDelay;
  clickRow(0);
  ASSERT_TRUE(waitUntil([&] { return page("return stolen;") == "alice/PW-site-A"; }));
  EXPECT_FALSE(tab->autofillMenu.shown.peek());
}

TEST_F(AutofillMenuTest, ThePageFindsNoTraceOfTheMenuInItsDocument) {
  open("http://site.test/login?focus");
  page("changes = 0; return true;");
  click("pass");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  testing::waitForFrame();
  EXPECT_EQ(page("return [changes, blurs, document.documentElement.children.length,"
                 "document.activeElement.id].join();"),
            "0,0,2,pass")
      << page("return log.join();");
}

TEST_F(AutofillMenuTest, AFocusAndKeysFromThePageOpenNothingButTheUsersClickDoes) {
  int opened = 0;
  open("http://site.test/login?focus&keys");
  sigc::connection counting = tab->autofillMenu.shown.signalChanged().connect([&] {
    if (tab->autofillMenu.shown.peek()) ++opened;
  });
  EXPECT_EQ(page("return keys.join();"), "ArrowDown,ArrowDown,Enter");
  click("pass");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  counting.disconnect();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(page("return stolen + '|' + pass.value;"), "|");
}

TEST_F(AutofillMenuTest, AFieldInAFrameOfAnotherSiteGetsTheMenuAtItsPlaceAndTheLoginStaysThere) {
  open("http://evil.test/frame", "Frame");
  ASSERT_TRUE(waitUntil([&] { return page("return told.length;") == "1"; }));
  const std::string field = page(
      "const r = JSON.parse(told[0]);"
      "return [103 + r.left + r.width / 2, 153 + r.top + r.height / 2,"
      "153 + r.bottom].join(' ');");
  std::istringstream numbers(field);
  double x = 0, y = 0, bottom = 0;
  numbers >> x >> y >> bottom;
  clickInPage(x, y);
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  // Where the frame lies, its origin cannot tell; the click, seen in the view and in the frame,
  // does.
  const auto card = harness.bounds(testing::widgetNamed(harness.content(), "PageViewContainer"));
  const AutofillMenu::Box placed = tab->autofillMenu.shown.peek()->field;
  EXPECT_NEAR(placed.y + placed.height, bottom, 1);
  EXPECT_GT(rowCentre(0).second - card.y, bottom);
  clock += AutofillMenuPopover::kChoiceDelay;
  key("Return");
  ASSERT_TRUE(waitUntil(
      [&] { return page("return told.join();").find("alice/PW-site-A") != std::string::npos; }));
}

TEST_F(AutofillMenuTest, TheSitesLoginFillsOnItsHostAndOnWwwWithRealInput) {
  open("http://site.test/login");
  click("user");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  EXPECT_EQ(testing::partWithClass<Gtk::Label>(menu(), "autofill-heading").get_text().raw(),
            localized("Zemblo · Kayıtlı şifreler"));
  EXPECT_EQ(highlighted(), 0u);
  testing::waitForFrame();
  WindowHarness::screenshot("autofill-menu");
  // A screen reader hears a menu of logins.
  EXPECT_EQ((testing::readControls()[{"menu item", "alice, site.test"}].count), 1);
  // The page keeps the keyboard: a letter closes the menu and is typed; Escape closes it
  // without reaching the page; Down opens it again, and Return takes the highlighted login.
  key("x");
  ASSERT_TRUE(waitUntil([&] { return page("return user.value;") == "x"; }));
  EXPECT_FALSE(tab->autofillMenu.shown.peek());
  key("Down");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  key("Escape");
  ASSERT_TRUE(waitUntil([&] { return !tab->autofillMenu.shown.peek(); }));
  key("Down");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  clock += AutofillMenuPopover::kChoiceDelay;
  key("Up Return");
  ASSERT_TRUE(waitUntil([&] { return page("return stolen;") == "alice/PW-site-A"; }));
  EXPECT_EQ(page("return keys.join();"), "x,ArrowDown,ArrowDown");
  ASSERT_TRUE(waitUntil([&] { return !menu().get_mapped(); }));

  open("http://www.site.test/login");
  click("pass");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  clock += AutofillMenuPopover::kChoiceDelay;
  clickRow(0);
  ASSERT_TRUE(waitUntil([&] { return page("return stolen;") == "alice/PW-site-A"; }));
}

TEST_F(AutofillMenuTest, AFormAddedAfterTheLoadAndAUserNameStepStillGetTheLogin) {
  open("http://site.test/later", "Form");
  click("pass");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  clock += AutofillMenuPopover::kChoiceDelay;
  key("Return");
  ASSERT_TRUE(waitUntil([&] { return page("return stolen;") == "alice/PW-site-A"; }));

  // The page without a password field carries no autofill script until a field takes the focus.
  open("http://site.test/step", "Step");
  EXPECT_EQ(callJavaScript(WebHarness::viewOf(*tab), "return typeof window.__zembloAutofill;",
                           AutofillBridge::kContentWorld),
            "undefined");
  click("user");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  clock += AutofillMenuPopover::kChoiceDelay;
  key("Return");
  ASSERT_TRUE(waitUntil([&] { return page("return user.value;") == "alice"; }));
}

TEST_F(AutofillMenuTest, KeysThePageAskedForChooseNothingBeforeTheMenuStoodHalfASecond) {
  open("http://evil.site.test/game", "Game");
  // The first Down opens the menu, the second highlights alice's login; Enter, an instant later,
  // closes the menu and goes on to the game.
  key("Down");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  key("Down");
  ASSERT_TRUE(waitUntil([&] { return highlighted() == 0u; }));
  clock += std::chrono::milliseconds(150);
  key("Return");
  ASSERT_TRUE(waitUntil([&] { return page("return keys.join();") == "ArrowDown,Enter"; }))
      << page("return keys.join();");
  EXPECT_FALSE(tab->autofillMenu.shown.peek());
  EXPECT_EQ(page("return stolen;"), "");

  // Enter held down since before the menu appeared, on the login's own site where the menu
  // highlights it at once: however late its repeats come, they choose nothing.
  open("http://site.test/game", "Game");
  xdotool("keydown Return");
  click("pass");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  ASSERT_EQ(highlighted(), 0u);
  clock += AutofillMenuPopover::kChoiceDelay;
  const bool repeated = waitUntil([&] { return !tab->autofillMenu.shown.peek(); });
  xdotool("keyup Return");
  ASSERT_TRUE(repeated);
  EXPECT_EQ(page("return stolen;"), "");

  // A press the user makes once the menu stood still for half a second chooses.
  key("Down");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  key("Down");
  clock += AutofillMenuPopover::kChoiceDelay;
  key("Return");
  ASSERT_TRUE(waitUntil([&] { return page("return stolen;") == "PW-site-A"; }));
}

TEST_F(AutofillMenuTest, APageGetsTheSameKeysAndPointerEventsWhetherOrNotItHasASavedLogin) {
  std::vector<std::string> seen;
  for (const std::string host : {"site.test", "nothing-saved.test"}) {
    SCOPED_TRACE(host);
    open("http://" + host + "/login?focus");
    const auto [x, y] = centreOf("user");
    pointTo(x, y);
    ASSERT_TRUE(waitUntil([&] { return page("return events.join();") == "mouseover:user"; }))
        << page("return events.join();");
    page("events = []; return true;");
    // Down opens the menu, Down and Up move in it; the pointer goes onto its first row and back
    // onto the field, then Escape closes it.
    key("Down");
    ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
    key("Down Up");
    testing::waitForFrame();
    EXPECT_EQ(shows(menu(), localized("Bu site için kayıtlı şifre yok")),
              host == "nothing-saved.test");
    if (host == "nothing-saved.test") WindowHarness::screenshot("autofill-menu-empty");
    pointTo(rowCentre(0).first, rowCentre(0).second);
    ASSERT_TRUE(waitUntil([&] {
      return page("return events.includes('mouseout:user');") == "true";
    })) << page("return events.join();");
    pointTo(x, y);
    key("Escape");
    ASSERT_TRUE(waitUntil([&] { return !tab->autofillMenu.shown.peek(); }));
    key("shift");
    ASSERT_TRUE(waitUntil([&] { return page("return events.includes('keyup:Shift');") == "true"; }))
        << page("return events.join();");
    // The keys in order, and what the pointer did first: the page's scripts see the pointer's
    // later moves as they come, which the toolkit may order among the keys either way.
    seen.push_back(
        page("return events.filter((e) => e.startsWith('key')).join() + '|' + "
             "events.find((e) => e.startsWith('mouse'));"));
  }
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_EQ(seen[1], "keydown:ArrowDown,keyup:ArrowDown,keydown:Shift,keyup:Shift|mouseout:user");
}

TEST_F(AutofillMenuTest, AFieldTheUserCannotSeeGetsNoLogin) {
  // A second form's password field, hidden four ways, beside the field the user chose a login
  // in: the login goes into that field alone.
  for (const std::string hiding : {"transparent", "speck", "away", "hidden"}) {
    SCOPED_TRACE(hiding);
    open("http://site.test/news?" + hiding, "News");
    click("email");
    ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
    clock += AutofillMenuPopover::kChoiceDelay;
    key("Return");
    ASSERT_TRUE(waitUntil([&] { return page("return email.value;") == "alice"; }));
    EXPECT_EQ(page("return stolen + '|' + secret.value;"), "|");
  }

  // The page's own invisible field, which it focused, gets no menu and no login.
  open("http://site.test/game?hidden", "Game");
  int opened = 0;
  sigc::connection counting = tab->autofillMenu.shown.signalChanged().connect([&] {
    if (tab->autofillMenu.shown.peek()) ++opened;
  });
  key("Down");
  clock += AutofillMenuPopover::kChoiceDelay;
  key("Down Return");
  ASSERT_TRUE(
      waitUntil([&] { return page("return keys.join();") == "ArrowDown,ArrowDown,Enter"; }));
  counting.disconnect();
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(page("return stolen;"), "");
}

TEST_F(AutofillMenuTest, ALoginStaysWithItsPortAndAPlainPageNeverChangesASecureOne) {
  // The same host on another port is another server: alice's login is not offered there.
  open("http://site.test:8080/login");
  click("pass");
  ASSERT_TRUE(waitUntil([&] { return menuOpen(); }));
  EXPECT_TRUE(tab->autofillMenu.shown.peek()->rows.empty());
  key("Escape");

  // The plain page of secure.test never updates bob's login of the secure one: what he sends
  // there is offered, and saved, as a login of its own.
  vault().upsert({.host = "secure.test",
                  .url = "https://secure.test",
                  .username = "bob",
                  .password = "PW-bob",
                  .persist = false});
  open("http://secure.test/login");
  for (const auto& typing :
       {std::pair<std::string, std::string>{"user", "bob"}, {"pass", "typed-on-http"}}) {
    page(typing.first + ".focus(); return true;");
    xdotool("type " + typing.second);
    ASSERT_TRUE(
        waitUntil([&] { return page("return " + typing.first + ".value;") == typing.second; }));
  }
  key("Return");
  ASSERT_TRUE(waitUntil([&] { return harness.store().offers().pending.peek().has_value(); }));
  auto& banner = testing::widgetNamed<SavePasswordBanner>(harness.content(), "SavePasswordBanner");
  ASSERT_TRUE(waitUntil([&] { return banner.get_mapped(); }));
  EXPECT_EQ(testing::partWithClass<Gtk::Label>(banner, "banner-title").get_text().raw(),
            localized("Şifre kaydedilsin mi?"));
  testing::waitForFrame();
  const auto save = harness.bounds(testing::partWithClass<Gtk::Button>(banner, "suggested-action"));
  clickInWindow(save.x + save.width / 2, save.y + save.height / 2);
  ASSERT_TRUE(waitUntil([&] { return vault().credentials.peek().size() == 4; }));
  const Credential& secure = vault().credentials.peek()[2];
  const Credential& plain = vault().credentials.peek()[3];
  EXPECT_EQ(secure.url + " " + secure.password, "https://secure.test PW-bob");
  EXPECT_EQ(plain.url + " " + plain.password, "http://secure.test typed-on-http");
}

}  // namespace
}  // namespace zemblo
