// The remembered answers to sites' permission questions, listed in Settings › Privacy.
#include <gtest/gtest.h>

#include <functional>

#include "model/localization.h"
#include "model/site_permissions.h"
#include "settings/panes/privacy_pane.h"
#include "settings/settings_harness.h"
#include "settings/settings_sidebar.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

std::vector<Gtk::Widget*> widgetsNamed(Gtk::Widget& root, const std::string& name) {
  std::vector<Gtk::Widget*> found;
  std::function<void(Gtk::Widget&)> walk = [&](Gtk::Widget& widget) {
    if (widget.get_name().raw() == name) found.push_back(&widget);
    for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
      walk(*child);
    }
  };
  walk(root);
  return found;
}

Gtk::Button* buttonNamed(Gtk::Widget& root, const std::string& accessibleName) {
  if (auto* button = dynamic_cast<Gtk::Button*>(&root)) {
    char* mismatch = gtk_test_accessible_check_property(
        GTK_ACCESSIBLE(root.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, accessibleName.c_str());
    g_free(mismatch);
    if (!mismatch) return button;
  }
  for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling()) {
    if (Gtk::Button* found = buttonNamed(*child, accessibleName)) return found;
  }
  return nullptr;
}

TEST(SitePermissionsPaneTest, ARemovedAnswerLeavesTheListAndTheFileAndTheSiteAsksAgain) {
  TestServer server;
  server.page("/where", R"(<title>where</title><script>
    navigator.geolocation.getCurrentPosition(() => {}, () => {});</script>)");
  SettingsHarness harness;
  SitePermissions& permissions = harness.store().sitePermissions();
  const std::string site = *siteOrigin(server.address("/"));
  permissions.remember(site, PermissionKind::geolocation, PermissionDecision::allow);
  permissions.remember(site, PermissionKind::camera, PermissionDecision::block);
  testing::paneRow(harness.view(), SettingsPane::privacy).activate();
  pump();
  auto& pane = dynamic_cast<PrivacyPane&>(testing::shownPane(harness.view()));
  ASSERT_TRUE(waitUntil([&] { return widgetsNamed(pane, "SitePermissionRow").size() == 2; }));

  Gtk::Button* remove = buttonNamed(
      pane, localized("Kaldır") + ": 127.0.0.1, " + permissionName(PermissionKind::geolocation));
  ASSERT_NE(remove, nullptr);
  SettingsHarness::shot(pane, "site-permissions");
  // Removed with the keyboard: the focus stays in the list, on the row that took the place.
  remove->grab_focus();
  harness.press("space");
  ASSERT_TRUE(waitUntil([&] { return widgetsNamed(pane, "SitePermissionRow").size() == 1; }));
  pump();
  ASSERT_NE(harness.view().get_focus(), nullptr);
  EXPECT_EQ(testing::accessibleName(harness.view().get_focus()->gobj()),
            localized("Kaldır") + ": 127.0.0.1, " + permissionName(PermissionKind::camera));
  harness.store().saveNow();
  harness.store().finishWrites();
  const std::string saved =
      harness.home().readFile(harness.home().dataDir() / "site-settings.json");
  EXPECT_EQ(saved.find("geolocation"), std::string::npos) << saved;
  EXPECT_NE(saved.find(R"("camera":"block")"), std::string::npos) << saved;

  auto tab = harness.open(server.url("/where"));
  EXPECT_TRUE(waitUntil([&] { return tab->permissions.shown.peek().has_value(); }));
}

}  // namespace
}  // namespace zemblo
