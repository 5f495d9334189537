#include "settings/panes/privacy_pane.h"

#include <gtest/gtest.h>

#include <adwaita.h>

#include <clocale>
#include <set>

#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "model/history_model.h"
#include "model/page_services_model.h"
#include "model/password_store.h"
#include "model/preferences_model.h"
#include "settings/kit/confirmation_dialog.h"
#include "settings/settings_harness.h"
#include "settings/settings_sidebar.h"
#include "support/fake_web_view.h"
#include "support/find_pane_controls.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using testing::hasSection;
using testing::named;
using testing::pump;
using testing::row;
using testing::SettingsHarness;
using testing::subtitle;
using testing::switchNamed;
using testing::waitUntil;

PrivacyPane& showPrivacyPane(SettingsHarness& harness) {
  testing::paneRow(harness.view(), SettingsPane::privacy).activate();
  pump();
  return dynamic_cast<PrivacyPane&>(testing::shownPane(harness.view()));
}

void answer(const char* response) {
  AdwMessageDialog* question = testing::shownQuestion();
  ASSERT_NE(question, nullptr);
  adw_message_dialog_response(question, response);
  pump();
}

constexpr const char* kAllowedSites = "Reklamlara izin verilen siteler";

std::vector<std::string> shownHosts(Gtk::Widget& pane) {
  return testing::labelTexts(testing::section(pane, kAllowedSites), "settings-row-title");
}

// The count beside the row's title.
std::string ruleCount(Gtk::Widget& pane, const std::string& title) {
  GtkWidget* count = testing::findFirst(testing::row(pane, title).gobj(), [](GtkWidget* widget) {
    return GTK_IS_LABEL(widget) && !gtk_widget_has_css_class(widget, "settings-row-title") &&
           !gtk_widget_has_css_class(widget, "settings-row-subtitle");
  });
  return gtk_label_get_text(GTK_LABEL(testing::shownWidget(count, title).gobj()));
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

  Gtk::Button& clearHistory = named(pane, "Geçmişi temizle…");
  EXPECT_FALSE(hasSection(pane, kAllowedSites));
  EXPECT_TRUE(row(pane, "Kural sayısı").get_visible());
  EXPECT_EQ(ruleCount(pane, "Kural sayısı"), "12345");
  EXPECT_EQ(subtitle(row(pane, "Kayıtlı şifreler")), "1 şifre anahtarlığında");
  EXPECT_EQ(subtitle(row(pane, "Geçmiş")), "0 kayıt");
  EXPECT_FALSE(clearHistory.is_sensitive());

  // Allowed sites stand in the order of their names, whatever order they came in.
  blocker.setAllowed(true, "www.b.example");
  blocker.setAllowed(true, "a.example");
  store.history().recordVisit(*Url::parse("https://a.example/"), "A");
  pump();
  ASSERT_TRUE(hasSection(pane, kAllowedSites));
  EXPECT_EQ(shownHosts(pane), (std::vector<std::string>{"a.example", "b.example"}));
  EXPECT_EQ(subtitle(row(pane, "Geçmiş")), "1 kayıt");
  SettingsHarness::shot(pane, "settings-privacy-tr");
  // A screen reader tabbing through hears what each button acts on, never one name twice.
  std::set<std::string> names;
  const auto buttons =
      testing::findAll(GTK_WIDGET(pane.gobj()), [](GtkWidget* w) { return GTK_IS_BUTTON(w); });
  for (GtkWidget* button : buttons) names.insert(testing::accessibleName(button));
  EXPECT_EQ(names.size(), buttons.size());
  ASSERT_TRUE(SettingsHarness::click(named(pane, "a.example sitesini kaldır")));
  pump();
  EXPECT_EQ(blocker.allowedHosts.peek(), std::set<std::string>{"b.example"});
  EXPECT_EQ(shownHosts(pane), std::vector<std::string>{"b.example"});
  ASSERT_TRUE(SettingsHarness::click(named(pane, "b.example sitesini kaldır")));
  pump();
  EXPECT_FALSE(hasSection(pane, kAllowedSites));

  // The history is cleared only once the question is answered yes.
  ASSERT_TRUE(SettingsHarness::click(clearHistory));
  ASSERT_NE(testing::shownQuestion(), nullptr);
  EXPECT_STREQ(adw_message_dialog_get_heading(testing::shownQuestion()), "Geçmiş temizlensin mi?");
  answer(ConfirmationDialog::kCancel);
  EXPECT_EQ(store.history().entries.peek().size(), 1u);
  ASSERT_TRUE(SettingsHarness::click(clearHistory));
  answer(ConfirmationDialog::kConfirm);
  EXPECT_TRUE(store.history().entries.peek().empty());
  EXPECT_FALSE(clearHistory.is_sensitive());

  ASSERT_TRUE(SettingsHarness::click(named(pane, "Yönet…")));
  EXPECT_EQ(passwordWindows, 1);
  EXPECT_EQ(importRequests, 0);
  ASSERT_TRUE(SettingsHarness::click(named(pane, "İçe Aktar…")));
  EXPECT_EQ(passwordWindows, 1);
  EXPECT_EQ(importRequests, 1);

  harness.setLanguage(AppLanguage::english);
  PrivacyPane& english = dynamic_cast<PrivacyPane&>(testing::shownPane(harness.view()));
  EXPECT_EQ(ruleCount(english, "Rules"), "12345");
  EXPECT_EQ(subtitle(row(english, "Saved passwords")), "1 password in your keyring");
  EXPECT_EQ(subtitle(row(english, "History")), "0 entries");
  store.history().recordVisit(*Url::parse("https://a.example/"), "A");
  store.passwords().credentials.set({});
  blocker.ruleCount.set(0);
  pump();
  EXPECT_EQ(subtitle(row(english, "History")), "1 entry");
  EXPECT_EQ(subtitle(row(english, "Saved passwords")), "0 passwords in your keyring");
  EXPECT_FALSE(row(english, "Rules").get_visible());
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
  switchNamed(pane, "Reklamları ve izleyicileri engelle").set_active(false);
  ASSERT_TRUE(waitUntil([&] { return server.hits("/check") > shown; }));
  EXPECT_FALSE(harness.store().pageServices().adBlocker().isEnabled.peek());
  ASSERT_TRUE(testing::WebHarness::waitForPage(*tab, "check"));

  Gtk::Button& clearData = named(pane, "Çerezleri ve site verilerini temizle…");
  ASSERT_TRUE(SettingsHarness::click(clearData));
  answer(ConfirmationDialog::kConfirm);
  ASSERT_TRUE(waitUntil([&] { return clearData.get_label() == "Temizlendi"; }));
  EXPECT_FALSE(clearData.is_sensitive());
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
  const SettingsContext context(settingsModels(*store, [&] { return &store->tabs(); }), favicons,
                                scheme);
  auto pane = std::make_unique<PrivacyPane>(context);
  Gtk::Button& clearData = named(*pane, "Clear Cookies and Site Data…");
  ASSERT_TRUE(SettingsHarness::click(clearData));
  answer(ConfirmationDialog::kConfirm);
  ASSERT_EQ(engine->clearRequests.size(), 1u);
  engine->clearRequests[0](false);
  pump();
  EXPECT_EQ(subtitle(row(*pane, "Cookies and site data")),
            "The data couldn't be deleted. Try again.");
  EXPECT_EQ(clearData.get_label(), "Clear…");
  EXPECT_TRUE(clearData.is_sensitive());
  ASSERT_TRUE(SettingsHarness::click(clearData));
  answer(ConfirmationDialog::kConfirm);
  pane.reset();
  ASSERT_EQ(engine->clearRequests.size(), 2u);
  engine->clearRequests[1](true);
  L10n::setEnglish(false);
}

}  // namespace
}  // namespace zemblo
