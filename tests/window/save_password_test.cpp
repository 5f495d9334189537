// Logins typed into a local page with real input, saved into the test session's own keyring and
// filled back in from the page's menu.
#include <gtest/gtest.h>
#include <libsecret/secret.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "model/autofill_bridge.h"
#include "model/keyring_vault_storage.h"
#include "model/localization.h"
#include "model/password_offers.h"
#include "model/password_store.h"
#include "support/find_window.h"
#include "web/login_page.h"
#include "window/accessibility_tree.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::kLoginPage;
using testing::pump;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;
using testing::xdotool;

constexpr const char* kSignUpPage = R"(<title>Sign up</title>
<form id="form"><input id="user" name="email" type="email">
  <input id="pass" type="password" autocomplete="new-password"><button>Kaydol</button></form>
<script>
  document.getElementById("form").addEventListener("submit", (event) => {
    event.preventDefault();
    document.title = "sent";
  });
</script>)";

GHashTable* vaultAttributes() {
  GHashTable* attributes = g_hash_table_new(g_str_hash, g_str_equal);
  g_hash_table_insert(attributes, const_cast<char*>("service"),
                      const_cast<char*>(KeyringVaultStorage::kService));
  g_hash_table_insert(attributes, const_cast<char*>("account"),
                      const_cast<char*>(KeyringVaultStorage::kAccount));
  return attributes;
}

void clearVaultItem() {
  GHashTable* attributes = vaultAttributes();
  secret_password_clearv_sync(nullptr, attributes, nullptr, nullptr);
  g_hash_table_unref(attributes);
}

void storeVaultItem(const std::string& data) {
  GHashTable* attributes = vaultAttributes();
  SecretValue* value = secret_value_new(data.data(), gssize(data.size()), "text/plain");
  EXPECT_TRUE(secret_service_store_sync(nullptr, nullptr, attributes, SECRET_COLLECTION_DEFAULT,
                                        "stored by the test", value, nullptr, nullptr));
  secret_value_unref(value);
  g_hash_table_unref(attributes);
}

// The vault item's label and data, as another program finds them in the keyring.
std::pair<std::string, std::string> keyringVault() {
  GHashTable* attributes = vaultAttributes();
  GList* items = secret_service_search_sync(
      nullptr, nullptr, attributes,
      SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_LOAD_SECRETS), nullptr, nullptr);
  std::pair<std::string, std::string> found;
  if (items) {
    EXPECT_EQ(g_list_length(items), 1u);
    char* label = secret_item_get_label(SECRET_ITEM(items->data));
    SecretValue* value = secret_item_get_secret(SECRET_ITEM(items->data));
    gsize length = 0;
    const char* bytes = value ? secret_value_get(value, &length) : "";
    found = {label, std::string(bytes, length)};
    g_free(label);
    if (value) secret_value_unref(value);
  }
  g_list_free_full(items, g_object_unref);
  g_hash_table_unref(attributes);
  return found;
}

std::vector<Credential> keyringLogins() {
  return decodeCredentials(keyringVault().second).value_or(std::vector<Credential>{});
}

class SavePasswordTest : public ::testing::Test {
 protected:
  SavePasswordTest() {
    server.page("/login", kLoginPage);
    server.page("/signup", kSignUpPage);
    menu().now = [this] { return clock; };
  }
  ~SavePasswordTest() override { clearVaultItem(); }

  SavePasswordBanner& banner() {
    return testing::widgetNamed<SavePasswordBanner>(harness.content(), "SavePasswordBanner");
  }
  AutofillMenuPopover& menu() {
    return testing::widgetNamed<AutofillMenuPopover>(harness.content(), "AutofillMenu");
  }
  PasswordStore& vault() { return harness.store().passwords(); }

  WebKitWebView* open(const std::string& path, const std::string& title) {
    tab_ = harness.open(server.url(path));
    EXPECT_TRUE(WebHarness::waitForPage(*tab_, title));
    pump();
    return WebHarness::viewOf(*tab_);
  }
  std::string page(const std::string& body) {
    return callJavaScript(WebHarness::viewOf(*tab_), body).value_or("<no answer>");
  }
  // A real click in the middle of a page element.
  void click(const std::string& id) {
    const std::string at = page("const r = document.getElementById('" + id +
                                "').getBoundingClientRect();"
                                "return Math.round(r.left + r.width / 2) + ' ' + "
                                "Math.round(r.top + r.height / 2);");
    const auto card = harness.bounds(testing::widgetNamed(harness.content(), "PageViewContainer"));
    const auto space = at.find(' ');
    xdotool("mousemove --window %1 " + std::to_string(int(card.x) + std::stoi(at)) + " " +
            std::to_string(int(card.y) + std::stoi(at.substr(space + 1))) + " click 1");
  }
  void click(Gtk::Widget& widget) {
    const auto frame = harness.bounds(widget);
    xdotool("mousemove --window %1 " + std::to_string(int(frame.x + frame.width / 2)) + " " +
            std::to_string(int(frame.y + frame.height / 2)) + " click 1");
  }
  // Real keys into a field emptied first; each step waits until the page has seen it.
  void typeInto(const std::string& id, const std::string& text) {
    const std::string field = "document.getElementById('" + id + "')";
    page(field + ".value = ''; return true;");
    click(id);
    ASSERT_TRUE(waitUntil([&] { return page("return document.activeElement.id;") == id; }));
    xdotool("type '" + text + "'");
    ASSERT_TRUE(waitUntil([&] { return page("return " + field + ".value;") == text; }));
  }
  void pressReturnAndWaitForTheForm() {
    page("document.title = 'Login'; return true;");
    xdotool("key Return");
    EXPECT_TRUE(waitUntil([&] { return page("return document.title;") == "sent"; }));
  }
  void submitLogin(const std::string& username, const std::string& password) {
    if (!username.empty()) typeInto("user", username);
    typeInto("pass", password);
    pressReturnAndWaitForTheForm();
  }
  bool menuShown() { return menu().get_mapped(); }
  // Every message the page's script sent before now has been answered.
  void roundTrip() {
    callJavaScript(WebHarness::viewOf(*tab_),
                   "await new Promise((done) => setTimeout(done, 0));"
                   "return await window.webkit.messageHandlers.zembloPasswords.postMessage("
                   "{type: 'submit', origin: self.origin});",
                   AutofillBridge::kContentWorld);
  }

  const bool vaultCleared_ = (clearVaultItem(), true);
  TestServer server;
  WindowHarness harness;
  std::shared_ptr<BrowserTab> tab_;
  std::chrono::steady_clock::time_point clock = std::chrono::steady_clock::now();
};

TEST_F(SavePasswordTest, ASubmittedLoginIsSavedToTheKeyringFilledBackAndUpdatedOrNeverAsked) {
  ASSERT_TRUE(waitUntil([&] { return vault().state.peek() == VaultState::available; }));
  open("/login", "Login");
  submitLogin("ada", "pw1");
  ASSERT_TRUE(waitUntil([&] { return banner().get_visible(); }));
  pump();
  EXPECT_EQ(testing::partWithClass<Gtk::Label>(banner(), "banner-title").get_text().raw(),
            localized("Şifre kaydedilsin mi?"));
  EXPECT_EQ(testing::partWithClass<Gtk::Label>(banner(), "banner-subtitle").get_text().raw(),
            "ada · 127.0.0.1");
  EXPECT_EQ(testing::partWithClass<Gtk::Button>(banner(), "suggested-action").get_label().raw(),
            localized("Kaydet"));
  const auto card = harness.bounds(harness.content());
  const auto shown = harness.bounds(banner());
  EXPECT_EQ(shown.width, SavePasswordBanner::kWidth);
  EXPECT_EQ(card.x + card.width - (shown.x + shown.width), ContentArea::kFindBarInset);
  WindowHarness::screenshot("save-password-banner");

  // Screen readers are told of it as an alert that names the way in. The page keeps the focus,
  // and F6 leads out of it to the banner, from whose first answer Tab reaches Save.
  const auto nodes = testing::AccessibilityReader::read();
  EXPECT_EQ(std::ranges::count_if(nodes,
                                  [](const testing::AccessibleNode& node) {
                                    return node.role == "alert" &&
                                           node.name == localized("Şifre kaydedilsin mi?");
                                  }),
            1);
  EXPECT_NE(banner().get_tooltip_text().raw().find("F6"), std::string::npos);
  ASSERT_EQ(harness.window().get_focus(), Glib::wrap(GTK_WIDGET(WebHarness::viewOf(*tab_))));
  xdotool("key F6");
  ASSERT_TRUE(waitUntil([&] { return harness.window().get_focus()->is_ancestor(banner()); }));
  xdotool("key Tab Tab Return");
  ASSERT_TRUE(waitUntil([&] { return !harness.store().offers().pending.peek(); }));
  EXPECT_EQ(keyringVault().first, KeyringVaultStorage::kLabel);
  const std::vector<Credential> stored = keyringLogins();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].host, "127.0.0.1");
  EXPECT_EQ(stored[0].url, server.url(""));
  EXPECT_EQ(stored[0].username, "ada");
  EXPECT_EQ(stored[0].password, "pw1");
  pump();
  EXPECT_FALSE(banner().get_visible());

  // A second visit offers the login under the field the user clicks; Return fills it. The
  // fill's write creates the item again when another program deleted it meanwhile.
  clearVaultItem();
  open("/login", "Login");
  click("user");
  ASSERT_TRUE(waitUntil([&] { return menuShown(); }));
  ASSERT_EQ(page("return document.activeElement.id;"), "user");
  clock += AutofillMenuPopover::kChoiceDelay;
  xdotool("key Return");
  ASSERT_TRUE(waitUntil([&] { return page("return pass.value;") == "pw1"; }));
  EXPECT_EQ(page("return user.value;"), "ada");
  EXPECT_EQ(page("return seen.join();"), "input:user,change:user,input:pass,change:pass");
  ASSERT_TRUE(waitUntil([&] { return !keyringLogins().empty(); }));
  EXPECT_TRUE(keyringLogins().at(0).lastUsed);

  // Another password offers an update; "Never" then silences this host alone.
  submitLogin("", "pw2");
  ASSERT_TRUE(waitUntil([&] { return harness.store().offers().pending.peek().has_value(); }));
  pump();
  EXPECT_EQ(testing::partWithClass<Gtk::Label>(banner(), "banner-title").get_text().raw(),
            localized("Şifre güncellensin mi?"));
  EXPECT_EQ(testing::partWithClass<Gtk::Button>(banner(), "suggested-action").get_label().raw(),
            localized("Güncelle"));
  click(testing::partWithClass<Gtk::Button>(banner(), "banner-never"));
  ASSERT_TRUE(waitUntil([&] { return !harness.store().offers().pending.peek(); }));
  EXPECT_EQ(vault().neverSaveHosts.peek(), std::set<std::string>{"127.0.0.1"});
  EXPECT_EQ(keyringLogins().at(0).password, "pw1");
}

TEST_F(SavePasswordTest, TheBannerShowsTheOfferAndItsStateAndNotNowStoresNothing) {
  harness.store().offers().offer({"example.com", std::nullopt, "", "pw", false});
  pump();
  ASSERT_TRUE(banner().get_visible());
  EXPECT_EQ(testing::partWithClass<Gtk::Label>(banner(), "banner-subtitle").get_text().raw(),
            "example.com");
  EXPECT_FALSE(testing::partWithClass<Gtk::Label>(banner(), "banner-failure").get_visible());
  harness.store().offers().status.set(PendingSaveStatus::saving);
  pump();
  EXPECT_FALSE(testing::partWithClass<Gtk::Button>(banner(), "suggested-action").is_sensitive());
  harness.store().offers().status.set(PendingSaveStatus::failed);
  pump();
  EXPECT_TRUE(testing::partWithClass<Gtk::Label>(banner(), "banner-failure").get_visible());
  EXPECT_TRUE(testing::partWithClass<Gtk::Button>(banner(), "suggested-action").is_sensitive());

  click(testing::announced(banner(), localized("Şimdi Değil")));
  ASSERT_TRUE(waitUntil([&] { return !banner().get_visible(); }));
  EXPECT_FALSE(harness.store().offers().pending.peek());
  EXPECT_TRUE(vault().credentials.peek().empty());
}

TEST_F(SavePasswordTest, ANewPasswordFieldGetsNoMenuAndNoOffer) {
  vault().upsert({.host = "127.0.0.1",
                  .url = "http://127.0.0.1",
                  .username = "ada",
                  .password = "pw1",
                  .persist = false});
  open("/signup", "Sign up");
  typeInto("pass", "fresh");
  pressReturnAndWaitForTheForm();
  roundTrip();
  EXPECT_FALSE(tab_->autofillMenu.shown.peek());
  EXPECT_FALSE(menuShown());
  EXPECT_FALSE(harness.store().offers().pending.peek());
}

TEST(PasswordVaultInKeyring, ACorruptItemLeavesTheVaultUnavailableAndTheItemUntouched) {
  clearVaultItem();
  const std::string corrupt = R"([{"id":"not a login"}])";
  storeVaultItem(corrupt);
  testing::TempHome home;
  UserDefaults defaults(home.root() / "user-defaults.json");
  PasswordStore vault(defaults, std::make_shared<KeyringVaultStorage>());
  ASSERT_TRUE(waitUntil([&] { return vault.state.peek() != VaultState::loading; }));
  EXPECT_TRUE(vault.state.peek() == VaultState::unavailable);
  vault.upsert(
      {.host = "example.com", .url = "https://example.com", .username = "ada", .password = "pw"});
  EXPECT_EQ(keyringVault(), std::make_pair(std::string("stored by the test"), corrupt));
  clearVaultItem();
}

}  // namespace
}  // namespace zemblo
