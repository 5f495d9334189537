#include <gtest/gtest.h>
#include "sidebar/sidebar_harness.h"
namespace zemblo {
TEST(Probe, Stop) {
  testing::SidebarHarness harness;
  harness.server().route("/slow", {.neverAnswer = true});
  auto tab = harness.open(harness.server().url("/slow"));
  ASSERT_TRUE(testing::waitUntil([&] { return tab->isLoading.peek(); }));
  testing::pump();
  auto& reload = harness.pill().reloadButton();
  printf("loading=%d webview=%p\n", reload.loading(), (void*)tab->storedWebView());
  bool clicked = testing::press(reload);
  printf("clicked=%d isLoading=%d\n", clicked, tab->isLoading.peek());
  for (int i = 0; i < 10; ++i) {
    testing::waitUntil([] { return false; }, std::chrono::milliseconds(300));
    printf("t=%d isLoading=%d progress=%f error=%d\n", i, tab->isLoading.peek(), tab->progress.peek(), tab->loadError.peek().has_value());
  }
  tab->storedWebView()->stopLoading();
  testing::waitUntil([] { return false; }, std::chrono::milliseconds(1000));
  printf("direct stop: isLoading=%d\n", tab->isLoading.peek());
}
}
