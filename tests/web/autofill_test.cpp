// The autofill page script and its handler in real web views, against hostile pages: nothing a
// page does on its own may fill a login, raise an offer or reach the handler.
#include <gtest/gtest.h>

#include <string>

#include "model/autofill_bridge.h"
#include "model/keyring_vault_storage.h"
#include "model/localization.h"
#include "model/password_store.h"
#include "web/autofill_page_script.h"
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
    auto tab = harness.show(server.url("/login"));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, "Login"));
    return WebHarness::viewOf(*tab);
  }
  std::string page(WebKitWebView* view, const std::string& body) {
    return callJavaScript(view, body).value_or("<no answer>");
  }
  // Focuses the username field from the page and waits for the menu the script then shows.
  bool focusUsernameAndWaitForMenu(WebKitWebView* view) {
    page(view, "document.getElementById('user').focus(); return true;");
    return waitUntil(
        [&] { return page(view, std::string(kFindMenu) + "return !!menu;") == "true"; });
  }

  static constexpr const char* kFindMenu =
      "const menu = [...document.documentElement.children].find("
      "  (el) => el.style.zIndex === '2147483647');";

  TestServer server;
  WebHarness harness;
};

TEST_F(AutofillTest, ThePageReachesNeitherTheHandlerNorTheMenuNorAnotherSitesLogin) {
  vault().upsert("127.0.0.1", "http://127.0.0.1", "ada", "local-secret", "", "", true);
  vault().upsert("other.example", "https://other.example", "eve", "foreign-secret", "", "", true);
  const Uuid foreign = vault().credentials.peek().back().id;
  WebKitWebView* view = openLogin();
  EXPECT_EQ(page(view, "return typeof window.webkit?.messageHandlers?.zembloPasswords;"),
            "undefined");
  EXPECT_EQ(page(view, "return typeof window.__zembloAutofill;"), "undefined");
  EXPECT_EQ(callJavaScript(view, "return window.__zembloAutofill;", AutofillBridge::kContentWorld),
            "true");

  // Focusing a login field from the page opens the menu, in a shadow root the page cannot open.
  ASSERT_TRUE(focusUsernameAndWaitForMenu(view));
  EXPECT_EQ(
      page(view, std::string(kFindMenu) + "return menu.shadowRoot === null && !menu.textContent;"),
      "true");

  // Even through the script's own channel, only this site's logins are listed, without passwords.
  const std::string listed = postFromScriptWorld(view, "{type: 'query'}");
  EXPECT_NE(listed.find("\"ada\""), std::string::npos) << listed;
  EXPECT_EQ(listed.find("eve"), std::string::npos) << listed;
  EXPECT_EQ(listed.find("secret"), std::string::npos) << listed;
  EXPECT_EQ(postFromScriptWorld(view, "{type: 'fill', id: '" + foreign.str() + "'}"), "null");
  EXPECT_FALSE(vault().credential(foreign)->lastUsed);
}

TEST_F(AutofillTest, ScriptedKeysClicksAndSubmitsNeitherFillNorOffer) {
  vault().upsert("127.0.0.1", "http://127.0.0.1", "ada", "pw", "", "", true);
  const Uuid id = vault().credentials.peek().front().id;
  WebKitWebView* view = openLogin();
  ASSERT_TRUE(focusUsernameAndWaitForMenu(view));
  page(view, R"(
    const user = document.getElementById("user"), pass = document.getElementById("pass");
    const enter = () => new KeyboardEvent("keydown", {key: "Enter", bubbles: true});
    user.dispatchEvent(enter());
    for (const el of document.documentElement.children) {
      el.dispatchEvent(new MouseEvent("mousedown", {bubbles: true}));
    }
    pass.value = "typed by the page";
    pass.dispatchEvent(enter());
    document.getElementById("form").dispatchEvent(new Event("submit", {bubbles: true}));
    document.getElementById("go").click();
    document.getElementById("form").requestSubmit();
    return true;)");
  // Any message the page provoked has been answered once this one is.
  EXPECT_NE(postFromScriptWorld(view, "{type: 'query'}"), "null");
  EXPECT_EQ(page(view, "return document.title;"), "sent");
  EXPECT_FALSE(harness.store().pendingSave.peek());
  EXPECT_FALSE(vault().credential(id)->lastUsed);
  EXPECT_EQ(page(view, "return document.getElementById('user').value + '|' + seen.join();"), "|");
}

TEST(AutofillPageScript, CarriesItsMenuTextsInTheInterfaceLanguage) {
  L10n::setEnglish(true);
  const std::string english = autofillPageScript();
  L10n::setEnglish(false);
  EXPECT_NE(english.find("\"Zemblo · Saved passwords\""), std::string::npos);
  EXPECT_NE(english.find("\"(no username)\""), std::string::npos);
  EXPECT_EQ(english.find("Kayıtlı şifreler"), std::string::npos);
  EXPECT_EQ(english.find("kullanıcı adı yok"), std::string::npos);
  EXPECT_EQ(autofillPageScript(), std::string(kAutofillScriptText));
}

TEST(AutofillWithoutKeyring, TheVaultIsUnavailableOffersNothingAndPagesStillLoad) {
  // libsecret looks for the service under this name whenever it connects.
  g_setenv("SECRET_SERVICE_BUS_NAME", "org.zemblo.test.NoSecretServiceHere", TRUE);
  WebHarness harness(WebEngine::kRequestTimeout, std::make_shared<KeyringVaultStorage>());
  PasswordStore& vault = harness.store().passwords();
  const bool settled = waitUntil([&] { return vault.state.peek() != VaultState::loading; });
  g_unsetenv("SECRET_SERVICE_BUS_NAME");
  ASSERT_TRUE(settled);
  EXPECT_TRUE(vault.isUnavailable());

  TestServer server;
  server.page("/login", kLoginPage);
  auto tab = harness.show(server.url("/login"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Login"));
  EXPECT_EQ(postFromScriptWorld(WebHarness::viewOf(*tab),
                                "{type: 'submit', username: 'ada', password: 'pw'}"),
            "null");
  EXPECT_FALSE(harness.store().pendingSave.peek());
}

}  // namespace
}  // namespace zemblo
