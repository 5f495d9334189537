// The autofill page script and its handler in real web views, against hostile pages: nothing a
// page does on its own may open the menu of saved logins, fill a login, raise an offer or reach
// the handler.
#include <gtest/gtest.h>

#include <string>

#include "model/autofill_bridge.h"
#include "model/keyring_vault_storage.h"
#include "model/password_offers.h"
#include "model/password_store.h"
#include "web/login_page.h"
#include "web/web_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::kLoginPage;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

// Posts from the script's own world, as the script itself would, after the tasks the page
// queued so far have run; the answer as JSON text.
std::string postFromScriptWorld(WebKitWebView* view, const std::string& message) {
  const std::string body =
      "await new Promise((done) => setTimeout(done, 0));"
      "const answer = await window.webkit.messageHandlers.zembloPasswords"
      ".postMessage(Object.assign(" +
      message +
      ", {origin: self.origin, href: location.href}));"
      "return JSON.stringify(answer === undefined ? null : answer);";
  return callJavaScript(view, body, AutofillBridge::kContentWorld).value_or("<no answer>");
}

class AutofillTest : public ::testing::Test {
 protected:
  AutofillTest() { server.page("/login", kLoginPage); }

  PasswordStore& vault() { return harness.store().passwords(); }
  WebKitWebView* openLogin() {
    tab = harness.show(server.url("/login"));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, "Login"));
    return WebHarness::viewOf(*tab);
  }
  std::string page(WebKitWebView* view, const std::string& body) {
    return callJavaScript(view, body).value_or("<no answer>");
  }

  TestServer server;
  WebHarness harness;
  std::shared_ptr<BrowserTab> tab;
};

TEST_F(AutofillTest, NeitherThePageNorTheScriptWithoutAUserPressReachesTheMenuOrALogin) {
  vault().upsert({.host = "127.0.0.1",
                  .url = "http://127.0.0.1",
                  .username = "ada",
                  .password = "local-secret"});
  WebKitWebView* view = openLogin();
  EXPECT_EQ(page(view, "return typeof window.webkit?.messageHandlers?.zembloPasswords;"),
            "undefined");
  EXPECT_EQ(page(view, "return typeof window.__zembloAutofill;"), "undefined");
  EXPECT_EQ(callJavaScript(view, "return window.__zembloAutofill;", AutofillBridge::kContentWorld),
            "true");

  // Even the script's own channel opens no menu when the user pressed nothing on the page.
  const std::string field =
      "{type: 'menu', frame: 'f', field: {x: 10, y: 10, width: 100, height: 20}, "
      "frameOffset: {x: 0, y: 0}, pointer: null}";
  EXPECT_EQ(postFromScriptWorld(view, field), "null");
  EXPECT_FALSE(tab->autofillMenu.shown.peek());
  for (const std::string type : {"query", "fill"}) {
    EXPECT_EQ(postFromScriptWorld(view, "{type: '" + type + "', id: '" +
                                            vault().credentials.peek()[0].id.str() + "'}"),
              "null");
  }
  EXPECT_FALSE(vault().credentials.peek()[0].lastUsed);
}

TEST_F(AutofillTest, ScriptedFocusKeysClicksAndSubmitsNeitherOpenTheMenuNorFillNorOffer) {
  vault().upsert(
      {.host = "127.0.0.1", .url = "http://127.0.0.1", .username = "ada", .password = "pw"});
  WebKitWebView* view = openLogin();
  int menus = 0;
  sigc::connection counting = tab->autofillMenu.shown.signalChanged().connect([&] { ++menus; });
  page(view, R"(
    const user = document.getElementById("user"), pass = document.getElementById("pass");
    const key = (name) => new KeyboardEvent("keydown", {key: name, bubbles: true});
    user.focus();
    user.click();
    for (const name of ["ArrowDown", "ArrowDown", "Enter"]) user.dispatchEvent(key(name));
    user.dispatchEvent(new MouseEvent("click", {bubbles: true}));
    pass.focus();
    pass.dispatchEvent(key("ArrowDown"));
    pass.value = "typed by the page";
    pass.dispatchEvent(key("Enter"));
    document.getElementById("form").dispatchEvent(new Event("submit", {bubbles: true}));
    document.getElementById("go").click();
    document.getElementById("form").requestSubmit();
    return true;)");
  // Any message the page provoked has been answered once this one is.
  EXPECT_EQ(postFromScriptWorld(view, "{type: 'submit'}"), "null");
  EXPECT_EQ(page(view, "return document.title;"), "sent");
  counting.disconnect();
  EXPECT_EQ(menus, 0);
  EXPECT_FALSE(harness.store().offers().pending.peek());
  EXPECT_FALSE(vault().credentials.peek()[0].lastUsed);
  EXPECT_EQ(page(view, "return document.getElementById('user').value + '|' + seen.join();"), "|");
}

TEST(AutofillWithoutKeyring, TheVaultIsUnavailableOffersNothingAndPagesStillLoad) {
  // libsecret looks for the service under this name whenever it connects.
  g_setenv("SECRET_SERVICE_BUS_NAME", "org.zemblo.test.NoSecretServiceHere", TRUE);
  WebHarness harness(WebEngine::kRequestTimeout, std::make_shared<KeyringVaultStorage>());
  PasswordStore& vault = harness.store().passwords();
  const bool settled = waitUntil([&] { return vault.state.peek() != VaultState::loading; });
  g_unsetenv("SECRET_SERVICE_BUS_NAME");
  ASSERT_TRUE(settled);
  EXPECT_TRUE(vault.state.peek() == VaultState::unavailable);

  TestServer server;
  server.page("/login", kLoginPage);
  auto tab = harness.show(server.url("/login"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Login"));
  EXPECT_EQ(postFromScriptWorld(WebHarness::viewOf(*tab),
                                "{type: 'submit', username: 'ada', password: 'pw'}"),
            "null");
  EXPECT_FALSE(harness.store().offers().pending.peek());
}

}  // namespace
}  // namespace zemblo
