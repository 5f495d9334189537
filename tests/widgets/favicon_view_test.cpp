#include "widgets/favicon_view.h"

#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"
#include "support/drawn_tiles.h"
#include "widgets/letter_icon.h"

namespace zemblo {
namespace {

using testing::TestServer;
using testing::waitUntil;

class FaviconViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.route("/icon.png", {testing::pngPicture(32), "image/png"});
    server_.route("/broken.png", {"not a picture", "image/png"});
    server_.route("/huge.png", {std::string(FaviconLoader::kMaximumBytes + 10, 'x'), "image/png"});
    window_.set_child(box_);
    window_.present();
  }
  void TearDown() override { window_.unset_child(); }

  // A fresh address for each case: the server's answers do not depend on the case.
  std::string address(const std::string& path) {
    return server_.url(path) + "?case=" + Uuid::random().str();
  }
  FaviconView& show(const std::optional<std::string>& url, std::optional<std::string> host) {
    auto* view = Gtk::make_managed<FaviconView>(loader_, 16);
    view->set(url ? Url::parse(*url) : std::nullopt, std::move(host), 16);
    box_.append(*view);
    return *view;
  }

  // Before the window: a fixture's members are made before SetUp runs.
  const bool gtkReady_ = (testing::initializeGtkWithoutAnimations(), true);
  TestServer server_;
  FaviconLoader loader_;
  Gtk::Window window_;
  Gtk::Box box_;
};

TEST_F(FaviconViewTest, APictureReplacesTheLetterOnceItArrives) {
  auto& view = show(address("/icon.png"), "127.0.0.1");
  EXPECT_FALSE(view.showsPicture());  // the letter while it loads
  ASSERT_TRUE(waitUntil([&] { return view.showsPicture(); }));
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  view.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
  EXPECT_EQ(natural, 16);
}

TEST_F(FaviconViewTest, EachAddressInUseIsFetchedOnce) {
  const std::string url = address("/icon.png");
  auto& first = show(url, std::nullopt);
  ASSERT_TRUE(waitUntil([&] { return first.showsPicture(); }));
  const int hits = server_.hits("/icon.png");
  auto& second = show(url, std::nullopt);
  EXPECT_TRUE(second.showsPicture());
  testing::drain();
  EXPECT_EQ(server_.hits("/icon.png"), hits);
}

TEST_F(FaviconViewTest, FailuresEndInTheLetterTile) {
  for (const char* path : {"/missing.png", "/broken.png", "/huge.png"}) {
    const std::string url = address(path);
    auto& view = show(url, std::nullopt);
    ASSERT_TRUE(waitUntil([&] { return loader_.cached(url).has_value(); })) << path;
    EXPECT_FALSE(*loader_.cached(url)) << path;
    EXPECT_FALSE(view.showsPicture()) << path;
    EXPECT_TRUE(waitUntil([&] { return testing::showsLetterTile(view, "?"); })) << path;
  }
}

TEST_F(FaviconViewTest, OnlyWebAddressesAreFetched) {
  auto& none = show(std::nullopt, std::nullopt);
  const std::string local = "file:///etc/hostname";
  auto& localView = show(local, std::nullopt);
  testing::drain();  // whatever the views queued has run
  EXPECT_TRUE(FaviconView::candidates(Url::parse(local), std::nullopt).empty());
  EXPECT_FALSE(loader_.cached(local).has_value());
  EXPECT_TRUE(waitUntil([&] { return testing::showsLetterTile(none, "?"); }));
  EXPECT_FALSE(testing::showsLetterTile(none, "www.example.com"));
  EXPECT_FALSE(localView.showsPicture());
  EXPECT_EQ(LetterIcon::hue("?"), 63);
}

TEST_F(FaviconViewTest, AViewGoneBeforeTheAnswerIsNotCalled) {
  const std::string url = address("/icon.png");
  {
    FaviconView view(loader_, 16);
    view.set(Url::parse(url), std::nullopt, 16);
  }
  ASSERT_TRUE(waitUntil([&] { return loader_.cached(url).has_value(); }));
  EXPECT_TRUE(*loader_.cached(url));
}

TEST_F(FaviconViewTest, OnlyTheMostRecentlyUsedAnswersAreKept) {
  FaviconLoader small(2);
  const std::string first = address("/icon.png"), second = address("/missing.png");
  const std::string third = address("/broken.png");
  for (const std::string& url : {first, second}) {
    small.load(url, [](FaviconLoader::Picture) {});
    ASSERT_TRUE(waitUntil([&] { return small.cached(url).has_value(); })) << url;
  }
  ASSERT_TRUE(small.cached(first).has_value());  // now used after the second
  small.load(third, [](FaviconLoader::Picture) {});
  ASSERT_TRUE(waitUntil([&] { return small.cached(third).has_value(); }));
  EXPECT_TRUE(small.cached(first).has_value());
  EXPECT_FALSE(small.cached(second).has_value());
  // A forgotten address is asked for again.
  const int hits = server_.hits("/missing.png");
  small.load(second, [](FaviconLoader::Picture) {});
  EXPECT_TRUE(waitUntil([&] { return server_.hits("/missing.png") == hits + 1; }));
}

}  // namespace
}  // namespace zemblo
