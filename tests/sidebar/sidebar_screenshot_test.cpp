#include <gtest/gtest.h>

#include "model/window_model.h"
#include "sidebar/sidebar_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

// The whole window with a sidebar of several tabs, one of them loading and another selected. The
// picture is saved when ZEMBLO_SHOTS names a folder.
TEST(SidebarScreenshotTest, SeveralTabsOneLoadingOneSelected) {
  SidebarHarness harness;
  auto& server = harness.server();
  server.page("/news", "<title>Günün Haberleri</title><h1>Haberler</h1><p>Bugün neler oldu.</p>");
  server.page("/docs", "<title>Belgeler</title><h1>Belgeler</h1>");
  server.route("/slow", {.neverAnswer = true});
  auto docs = harness.open(server.url("/docs"));
  ASSERT_TRUE(
      waitUntil([&] { return docs->title.peek() == "Belgeler" && !docs->isLoading.peek(); }));
  auto slow = harness.open(server.url("/slow"));
  auto news = harness.open(server.url("/news"));
  ASSERT_TRUE(waitUntil(
      [&] { return news->title.peek() == "Günün Haberleri" && !news->isLoading.peek(); }));
  harness.addTab("https://www.example.com/", "Örnek Alan Adı");
  harness.addTab("");
  ASSERT_TRUE(waitUntil([&] { return slow->isLoading.peek(); }));
  harness.store().tabs().select(*news);
  pump();

  EXPECT_TRUE(testing::isSelected(harness.row(*news)));
  EXPECT_TRUE(
      testing::widgetNamed<ActivitySpinner>(harness.row(*slow), "ActivitySpinner").get_visible());
  EXPECT_EQ(testing::widgetNamed<Gtk::Label>(harness.pill(), "AddressPillHost").get_text(),
            "127.0.0.1");
  EXPECT_EQ(harness.rows().size(), 5u);
  testing::WindowHarness::screenshot("sidebar-several-tabs");
}

}  // namespace
}  // namespace zemblo
