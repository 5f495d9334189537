// Sites' permission questions: the rules of asking, the per-tab queue and the site-settings file.
#include <gtest/gtest.h>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/site_permissions.h"
#include "model/tab_permissions.h"
#include "support/fake_scheduler.h"
#include "support/fake_web_view.h"
#include "support/interface_language.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

constexpr const char* kSite = "http://127.0.0.1:8000";

// The answers a page got, in order: "y" allowed, "n" refused.
struct Answers {
  std::string got;
  SitePermissions::Answer next() {
    return [this](bool allowed) { got += allowed ? "y" : "n"; };
  }
};

TEST(SitePermissionsTest, AQuestionWaitsOnceInItsTabAndItsAnswerIsRememberedPerSite) {
  int saves = 0;
  SitePermissions permissions([&] { ++saves; });
  TabPermissions tab;
  Answers page;
  permissions.request(tab, {kSite, PermissionKind::notifications}, page.next());
  // A page that asks again while the bar is up gets one bar, answered for both.
  permissions.request(tab, {kSite, PermissionKind::notifications}, page.next());
  permissions.request(tab, {kSite, PermissionKind::geolocation}, page.next());
  EXPECT_EQ(tab.shown.peek()->kind, PermissionKind::notifications);
  EXPECT_EQ(page.got, "");

  permissions.answerShown(tab, PermissionDecision::allow);
  EXPECT_EQ(page.got, "yy");
  EXPECT_EQ(tab.shown.peek()->kind, PermissionKind::geolocation);
  permissions.answerShown(tab, PermissionDecision::block);
  EXPECT_EQ(page.got, "yyn");
  EXPECT_FALSE(tab.shown.peek());
  EXPECT_EQ(saves, 2);

  // Remembered for that scheme, host and port only.
  permissions.request(tab, {kSite, PermissionKind::notifications}, page.next());
  permissions.request(tab, {kSite, PermissionKind::geolocation}, page.next());
  EXPECT_EQ(page.got, "yynyn");
  permissions.request(tab, {"http://127.0.0.1:8001", PermissionKind::notifications}, page.next());
  ASSERT_TRUE(tab.shown.peek());
  EXPECT_EQ(tab.shown.peek()->origin, "http://127.0.0.1:8001");

  // Forgotten, the site asks again: its question waits behind the other port's.
  permissions.forget(kSite, PermissionKind::notifications);
  permissions.request(tab, {kSite, PermissionKind::notifications}, page.next());
  tab.answerShown(false);
  ASSERT_TRUE(tab.shown.peek());
  EXPECT_EQ(*tab.shown.peek(), (PermissionRequest{kSite, PermissionKind::notifications}));
  EXPECT_EQ(permissions.notificationOrigins(PermissionDecision::block), std::vector<std::string>{});
}

TEST(SitePermissionsTest, CameraAndMicrophoneAreKeptApartAndCookieAccessIsNeverKept) {
  SitePermissions permissions([] {});
  TabPermissions tab;
  Answers page;
  permissions.remember(kSite, PermissionKind::camera, PermissionDecision::allow);
  // Half known is not known: both together are asked.
  permissions.request(tab, {kSite, PermissionKind::cameraAndMicrophone}, page.next());
  ASSERT_TRUE(tab.shown.peek());
  EXPECT_EQ(tab.shown.peek()->kind, PermissionKind::cameraAndMicrophone);
  permissions.answerShown(tab, PermissionDecision::allow);
  EXPECT_EQ(permissions.decisionFor(kSite, PermissionKind::microphone), PermissionDecision::allow);
  permissions.remember(kSite, PermissionKind::microphone, PermissionDecision::block);
  permissions.request(tab, {kSite, PermissionKind::cameraAndMicrophone}, page.next());
  EXPECT_EQ(page.got, "yn");

  // One embedded site's answer must not let every other one in.
  permissions.request(tab, {kSite, PermissionKind::storageAccess, "ads.example"}, page.next());
  permissions.answerShown(tab, PermissionDecision::allow);
  permissions.request(tab, {kSite, PermissionKind::storageAccess, "ads.example"}, page.next());
  EXPECT_EQ(page.got, "yny");
  ASSERT_TRUE(tab.shown.peek());
  EXPECT_EQ(tab.shown.peek()->kind, PermissionKind::storageAccess);
}

TEST(SitePermissionsTest, WhatStillWaitsIsRefusedWhenTheTabGoesOrItsPageIsLeft) {
  Answers page;
  {
    BrowserTab tab(Uuid::random(), *Url::parse(kSite));
    tab.permissions.add({kSite, PermissionKind::geolocation}, page.next());
    tab.provisionalNavigationStarted(Url::parse("http://127.0.0.1:8000/next"));
    EXPECT_EQ(page.got, "n");
    tab.permissions.add({kSite, PermissionKind::camera}, page.next());
    tab.tearDown();
    EXPECT_EQ(page.got, "nn");
    tab.permissions.add({kSite, PermissionKind::microphone}, page.next());
  }
  EXPECT_EQ(page.got, "nnn");
  EXPECT_EQ(siteOrigin(*Url::parse("HTTPS://Example.COM/a")), "https://example.com:443");
  EXPECT_EQ(siteOrigin(*Url::parse("file:///tmp/a.html")), std::nullopt);
}

class SiteSettingsFileTest : public ::testing::Test {
 protected:
  void TearDown() override { L10n::setEnglish(false); }
  std::shared_ptr<BrowserStore> start() {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.scheduler = &scheduler;
    testing::useSavedLanguage(defaults);
    return BrowserStore::create(engine, std::move(environment));
  }
  std::filesystem::path file() const { return home.dataDir() / "site-settings.json"; }
  // The zoom of hosts, as the store's tabs reach it.
  static SiteZoom& zoomOf(BrowserStore& store) {
    const auto tab = store.tabs().openTab(*Url::parse("https://zoom.example/"), false);
    return tab->services()->siteZoom;
  }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "config" / "user-defaults.json"};
  testing::FakeScheduler scheduler;
  std::shared_ptr<testing::FakeEngine> engine = std::make_shared<testing::FakeEngine>();
};

TEST_F(SiteSettingsFileTest, AnswersAreWrittenWithTheSessionAndReadBackKeepingOtherKeys) {
  // A later version's key beside the permissions survives this version's writes.
  home.writeFile(file(), R"({"zoom":{"https:\/\/a.example:443":1.25},"permissions":{}})");
  {
    auto store = start();
    store->sitePermissions().remember(kSite, PermissionKind::notifications,
                                      PermissionDecision::allow);
    store->sitePermissions().remember(kSite, PermissionKind::pointerLock,
                                      PermissionDecision::block);
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_TRUE(store->finishWrites());
  }
  EXPECT_EQ(home.readFile(file()),
            R"({"zoom":{"https:\/\/a.example:443":1.25},"permissions":{"http:\/\/127.0.0.1:8000":)"
            R"({"notifications":"allow","pointerLock":"block"}}})");
  auto store = start();
  EXPECT_EQ(store->sitePermissions().decisionFor(kSite, PermissionKind::notifications),
            PermissionDecision::allow);
  EXPECT_EQ(store->sitePermissions().decisionFor(kSite, PermissionKind::pointerLock),
            PermissionDecision::block);
}

TEST_F(SiteSettingsFileTest, AnUnreadableFileIsKeptAsideAndTheUserIsTold) {
  defaults.setData("appPreferences.v1", R"({"language":"english"})");
  home.writeFile(file(), R"({"permissions":{"http:\/\/a.example:80":{"camera":true}}})");
  auto store = start();
  EXPECT_TRUE(store->sitePermissions().decisions.peek().empty());
  EXPECT_EQ(home.readFile(home.dataDir() / "site-settings.json.bad"),
            R"({"permissions":{"http:\/\/a.example:80":{"camera":true}}})");
  ASSERT_EQ(store->notices.peek().size(), 1u);
  EXPECT_NE(store->notices.peek()[0].find("site-settings.json.bad"), std::string::npos);
  EXPECT_NE(store->notices.peek()[0].find("site settings"), std::string::npos);
}

TEST_F(SiteSettingsFileTest, ZoomOfHostsIsKeptAndUnusableEntriesAreDropped) {
  home.writeFile(file(),
                 R"({"zoom":{"a.example":1.5,"big":1e308,"small":0.01,"text":"2",)"
                 R"("list":[1],"":1.2,"b.example":2},"permissions":{"http:\/\/a.example:80":)"
                 R"({"camera":"allow"}}})");
  {
    auto store = start();
    EXPECT_EQ(zoomOf(*store).levels(), (SiteZoom::Levels{{"a.example", 1.5}, {"b.example", 2}}));
    EXPECT_EQ(store->sitePermissions().decisionFor("http://a.example:80", PermissionKind::camera),
              PermissionDecision::allow);
    zoomOf(*store).set("c.example", 7);
    zoomOf(*store).forget("a.example");
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_TRUE(store->finishWrites());
  }
  EXPECT_EQ(home.readFile(file()),
            R"({"zoom":{"b.example":2,"c.example":3},"permissions":{"http:\/\/a.example:80":)"
            R"({"camera":"allow"}}})");
  // A zoom that is not an object costs only the zoom.
  home.writeFile(file(), R"({"zoom":[1.5],"permissions":{"http:\/\/a.example:80":)"
                         R"({"camera":"block"}}})");
  auto store = start();
  EXPECT_TRUE(zoomOf(*store).levels().empty());
  EXPECT_EQ(store->sitePermissions().decisionFor("http://a.example:80", PermissionKind::camera),
            PermissionDecision::block);
}

}  // namespace
}  // namespace zemblo
