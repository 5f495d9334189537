#include "web/web_view_container.h"
#include "model/window_model.h"
#include "web/kept_page_frames.h"

#include <gtest/gtest.h>

#include "web_harness.h"

namespace zemblo {
namespace {

using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

std::vector<Gtk::Widget*> children(Gtk::Widget& widget) {
  std::vector<Gtk::Widget*> result;
  for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
    result.push_back(child);
  }
  return result;
}

TEST(WebViewContainerTest, MovesTabViewsInAndOutWithoutDuplicatingOrReloadingThem) {
  TestServer server;
  server.page("/a", "<title>A</title>");
  server.page("/b", "<title>B</title>");
  WebHarness harness;
  WebViewContainer& shown = harness.container();
  auto a = harness.show(server.url("/a"));
  ASSERT_TRUE(WebHarness::waitForPage(*a, "A"));
  Gtk::Widget& viewA = WebHarness::portOf(*a).widget();
  EXPECT_EQ(children(shown), std::vector<Gtk::Widget*>{&viewA});

  // A view shown elsewhere moves; showing the same tab again changes nothing.
  WebViewContainer elsewhere;
  elsewhere.setTab(a);
  elsewhere.setTab(a);
  EXPECT_EQ(children(elsewhere), std::vector<Gtk::Widget*>{&viewA});
  EXPECT_TRUE(children(shown).empty());
  EXPECT_EQ(elsewhere.tab(), a);
  EXPECT_EQ(shown.tab(), nullptr);

  // A tab that never had a web view gets one, which loads nothing by itself.
  auto b = std::make_shared<BrowserTab>(Uuid::random(), server.address("/b"));
  harness.store().tabs().insertTab(b);
  ASSERT_EQ(b->storedWebView(), nullptr);
  shown.setTab(b);
  ASSERT_NE(b->storedWebView(), nullptr);
  Gtk::Widget& viewB = WebHarness::portOf(*b).widget();
  EXPECT_EQ(children(shown), std::vector<Gtk::Widget*>{&viewB});

  // Back to A: B's view leaves but lives on with its tab; A's page is the same page.
  shown.setTab(a);
  EXPECT_EQ(children(shown), std::vector<Gtk::Widget*>{&viewA});
  EXPECT_TRUE(children(elsewhere).empty());
  EXPECT_EQ(viewB.get_parent(), nullptr);
  EXPECT_NE(b->storedWebView(), nullptr);
  EXPECT_EQ(a->title.peek(), "A");
  EXPECT_EQ(server.hits("/a"), 1);
  EXPECT_EQ(server.hits("/b"), 0);

  shown.setTab(nullptr);
  EXPECT_TRUE(children(shown).empty());
  EXPECT_NE(a->storedWebView(), nullptr);
}

// A page out of sight goes on to another page (its own redirect, a reload, a load the user asked
// for before leaving), and once shown again goes back: the engine crashed taking a picture of the
// page left for the back and forward swipes through a window the view was not in, and the page it
// kept for going back painted nothing once restored.
TEST(WebViewContainerTest, APagePutAsideGoesOnToAnotherPageAndBack) {
  TestServer server;
  server.page("/a", "<title>A</title>");
  server.page("/b", "<title>B</title>");
  server.page("/c", "<title>C</title>");
  WebHarness harness;
  auto a = harness.show(server.url("/a"));
  ASSERT_TRUE(WebHarness::waitForPage(*a, "A"));
  auto b = harness.show(server.url("/b"));
  ASSERT_TRUE(WebHarness::waitForPage(*b, "B"));
  a->load(server.address("/c"));
  EXPECT_TRUE(waitUntil([&] { return a->title.peek() == "C" && !a->isLoading.peek(); }));
  harness.container().setTab(a);
  ASSERT_TRUE(WebHarness::waitForPage(*a, "C"));
  a->storedWebView()->goBack();
  EXPECT_TRUE(WebHarness::waitForPage(*a, "A"));
}

// A hundred pages passed over while Ctrl+Tab is held each show their last frame: the older ones
// smaller, all within the budget.
TEST(WebViewContainerTest, KeptFramesOfAHundredPagesFitTheBudgetTheOlderOnesSmaller) {
  gtk_init();
  constexpr int kWidth = 1412, kHeight = 894;
  const graphene_rect_t bounds = GRAPHENE_RECT_INIT(0, 0, kWidth, kHeight);
  const GdkRGBA red{1, 0, 0, 1};
  GskRenderNode* frame = gsk_color_node_new(&red, &bounds);
  KeptPageFrames kept;
  std::vector<GtkWidget*> views(100);
  for (auto& view : views) {
    view = GTK_WIDGET(g_object_ref_sink(gtk_label_new(nullptr)));
    kept.keep(view, frame, kWidth, kHeight);
  }
  gsk_render_node_unref(frame);
  size_t bytes = 0;
  for (const auto& view : views) {
    cairo_surface_t* shown = KeptPageFrames::frameOf(view);
    ASSERT_NE(shown, nullptr);
    bytes += size_t(cairo_image_surface_get_stride(shown)) * cairo_image_surface_get_height(shown);
    // Red still, whatever its size.
    const auto* pixel = cairo_image_surface_get_data(shown);
    EXPECT_EQ(pixel[2], 255);
    EXPECT_EQ(pixel[1], 0);
  }
  EXPECT_LE(bytes, KeptPageFrames::kBudgetBytes);
  const auto width = [&](size_t n) {
    return cairo_image_surface_get_width(KeptPageFrames::frameOf(views[n]));
  };
  EXPECT_EQ(width(99), kWidth / 2);
  EXPECT_EQ(width(0), kWidth / 4);
  for (GtkWidget* view : views) g_object_unref(view);
}

}  // namespace
}  // namespace zemblo
