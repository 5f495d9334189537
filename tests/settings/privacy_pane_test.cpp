#include "settings/panes/privacy_pane.h"

#include <gtest/gtest.h>

#include <adwaita.h>

#include <clocale>

#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "model/history_model.h"
#include "model/page_services_model.h"
#include "model/password_store.h"
#include "model/preferences_model.h"
#include "settings/kit/confirmation_dialog.h"
#include "settings/kit/settings_row.h"
#include "settings/kit/settings_section.h"
#include "settings/kit/toggle_row.h"
#include "settings/panes/allowed_site_row.h"
#include "settings/settings_harness.h"
#include "settings/settings_sidebar.h"
#include "support/fake_web_view.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;
using testing::waitUntil;

PrivacyPane& showPrivacyPane(SettingsHarness& harness) {
  harness.view().sidebar().row(SettingsPane::privacy).activate();
  pump();
  return dynamic_cast<PrivacyPane&>(harness.view().shownPane());
}

void answer(PrivacyPane& pane, const char* response) {
  ASSERT_NE(pane.confirmation(), nullptr);
  adw_message_dialog_response(pane.confirmation()->dialog(), response);
  pump();
}

std::vector<std::string> shownHosts(const PrivacyPane& pane) {
  std::vector<std::string> hosts;
  for (AllowedSiteRow* row : pane.allowedSiteRows()) hosts.push_back(row->host());
  return hosts;
}

TEST(PrivacyPaneTest, SectionsAndCountsFollowTheStoreInBothLanguages) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  AdBlocker& blocker = store.pageServices().adBlocker();
  int passwordWindows = 0;
  auto actions = Gio::SimpleActionGroup::create();
  int importRequests = 0;
  actions->add_action("passwords", [&] { ++passwordWindows; });
  actions->add_action("import-passwords", [&] { ++importRequests; });
  harness.view().insert_action_group("app", actions);
  // The count is grouped as the user's locale groups numbers, whatever the interface language:
  // not at all in the C locale.
  ASSERT_TRUE(std::setlocale(LC_NUMERIC, "C"));
  // The real count arrives from a worker; a fixed one replaces it.
  ASSERT_TRUE(waitUntil([&] { return blocker.ruleCount.peek() > 0; }));
  blocker.ruleCount.set(12345);
  store.passwords().credentials.set({Credential{.host = "a.example", .username = "ada"}});
  PrivacyPane& pane = showPrivacyPane(harness);

  EXPECT_EQ(pane.allowedSitesSection(), nullptr);
  EXPECT_TRUE(pane.ruleCountRow().get_visible());
  EXPECT_EQ(pane.ruleCountLabel().get_text(), "12345");
  EXPECT_EQ(pane.passwordsRow().subtitle().get_text(), "1 şifre anahtarlığında");
  EXPECT_EQ(pane.historyRow().subtitle().get_text(), "0 kayıt");
  EXPECT_FALSE(pane.clearHistoryButton().is_sensitive());

  // Allowed sites stand in the order of their names, whatever order they came in.
  blocker.setAllowed(true, "www.b.example");
  blocker.setAllowed(true, "a.example");
  store.history().recordVisit(*Url::parse("https://a.example/"), "A");
  pump();
  ASSERT_NE(pane.allowedSitesSection(), nullptr);
  EXPECT_EQ(shownHosts(pane), (std::vector<std::string>{"a.example", "b.example"}));
  EXPECT_EQ(pane.historyRow().subtitle().get_text(), "1 kayıt");
  SettingsHarness::shot(pane, "settings-privacy-tr");
  ASSERT_TRUE(SettingsHarness::click(pane.allowedSiteRows()[0]->removeButton()));
  pump();
  EXPECT_EQ(blocker.allowedHosts.peek(), std::set<std::string>{"b.example"});
  EXPECT_EQ(shownHosts(pane), std::vector<std::string>{"b.example"});
  ASSERT_TRUE(SettingsHarness::click(pane.allowedSiteRows()[0]->removeButton()));
  pump();
  EXPECT_EQ(pane.allowedSitesSection(), nullptr);

  // The history is cleared only once the question is answered yes.
  ASSERT_TRUE(SettingsHarness::click(pane.clearHistoryButton()));
  EXPECT_STREQ(adw_message_dialog_get_heading(pane.confirmation()->dialog()),
               "Geçmiş temizlensin mi?");
  answer(pane, ConfirmationDialog::kCancel);
  EXPECT_EQ(store.history().entries.peek().size(), 1u);
  ASSERT_TRUE(SettingsHarness::click(pane.clearHistoryButton()));
  answer(pane, ConfirmationDialog::kConfirm);
  EXPECT_TRUE(store.history().entries.peek().empty());
  EXPECT_FALSE(pane.clearHistoryButton().is_sensitive());

  ASSERT_TRUE(SettingsHarness::click(pane.manageButton()));
  EXPECT_EQ(passwordWindows, 1);
  EXPECT_EQ(importRequests, 0);
  ASSERT_TRUE(SettingsHarness::click(pane.importButton()));
  EXPECT_EQ(passwordWindows, 1);
  EXPECT_EQ(importRequests, 1);

  harness.setLanguage(AppLanguage::english);
  PrivacyPane& english = dynamic_cast<PrivacyPane&>(harness.view().shownPane());
  EXPECT_EQ(english.ruleCountLabel().get_text(), "12345");
  EXPECT_EQ(english.passwordsRow().subtitle().get_text(), "1 password in your keyring");
  EXPECT_EQ(english.historyRow().subtitle().get_text(), "0 entries");
  store.history().recordVisit(*Url::parse("https://a.example/"), "A");
  store.passwords().credentials.set({});
  blocker.ruleCount.set(0);
  pump();
  EXPECT_EQ(english.historyRow().subtitle().get_text(), "1 entry");
  EXPECT_EQ(english.passwordsRow().subtitle().get_text(), "0 passwords in your keyring");
  EXPECT_FALSE(english.ruleCountRow().get_visible());
  SettingsHarness::shot(*harness.view().get_child(), "settings-privacy-en");
}

TEST(PrivacyPaneTest, ClearingWebsiteDataRemovesAPagesCookieAndTheSwitchReloadsThePageShown) {
  SettingsHarness harness;
  testing::TestServer server;
  server.route("/set", {"<title>set</title>", "text/html", {{"Set-Cookie", "visit=1; Path=/"}}});
  server.page("/check", "<title>check</title>");
  server.page("/again", "<title>again</title>");
  auto tab = harness.open(server.url("/set"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*tab, "set"));
  tab->load(server.address("/check"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*tab, "check"));
  WebKitWebView* view = testing::WebHarness::viewOf(*tab);
  ASSERT_EQ(testing::callJavaScript(view, "return document.cookie;"), "visit=1");
  PrivacyPane& pane = showPrivacyPane(harness);

  const int shown = server.hits("/check");
  pane.blockerRow().control().set_active(false);
  ASSERT_TRUE(waitUntil([&] { return server.hits("/check") > shown; }));
  EXPECT_FALSE(harness.store().pageServices().adBlocker().isEnabled.peek());
  ASSERT_TRUE(testing::WebHarness::waitForPage(*tab, "check"));

  ASSERT_TRUE(SettingsHarness::click(pane.clearSiteDataButton()));
  answer(pane, ConfirmationDialog::kConfirm);
  ASSERT_TRUE(waitUntil([&] { return pane.dataCleared(); }));
  pump();
  EXPECT_EQ(pane.clearSiteDataButton().get_label(), "Temizlendi");
  EXPECT_FALSE(pane.clearSiteDataButton().is_sensitive());
  tab->load(server.address("/again"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*tab, "again"));
  EXPECT_EQ(testing::callJavaScript(view, "return document.cookie;"), "");
}

TEST(PrivacyPaneTest, AFailedRemovalIsNeverShownAsDoneAndAnAnswerAfterThePaneIsGoneIsDropped) {
  testing::initializeGtkWithoutAnimations();
  testing::TempHome home;
  UserDefaults defaults(home.root() / "user-defaults.json");
  const auto engine = std::make_shared<testing::FakeEngine>();
  BrowserStoreEnvironment environment;
  environment.defaults = &defaults;
  const auto store = BrowserStore::create(engine, std::move(environment));
  testing::switchLanguage(store->preferences(), AppLanguage::english);
  const SystemColorScheme scheme;
  FaviconLoader favicons;
  const SettingsContext context(settingsModels(*store), favicons, scheme);
  auto pane = std::make_unique<PrivacyPane>(context);
  pane->clearSiteData();
  ASSERT_EQ(engine->clearRequests.size(), 1u);
  engine->clearRequests[0](false);
  pump();
  EXPECT_FALSE(pane->dataCleared());
  EXPECT_EQ(pane->siteDataRow().subtitle().get_text(), "The data couldn't be deleted. Try again.");
  EXPECT_EQ(pane->clearSiteDataButton().get_label(), "Clear…");
  EXPECT_TRUE(pane->clearSiteDataButton().is_sensitive());
  pane->clearSiteData();
  pane.reset();
  ASSERT_EQ(engine->clearRequests.size(), 2u);
  engine->clearRequests[1](true);
  L10n::setEnglish(false);
}

}  // namespace
}  // namespace zemblo
