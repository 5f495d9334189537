#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>

#include "model/window_model.h"
#include "platform/memory_pressure.h"
#include "support/fake_scheduler.h"
#include "support/find_widget.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::pump;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

// A browser window whose tabs' steps pause on a virtual clock.
class TabSteppingTest : public ::testing::Test {
 protected:
  TabSteppingTest()
      : defaults(home.root() / "config" / "user-defaults.json"),
        engine(std::make_shared<WebEngine>(
            Scheduler::mainLoop(),
            WebEngine::Folders{home.root() / "web-data", home.root() / "web-cache",
                               ZEMBLO_TEST_RULE_LISTS_DIR})) {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.scheduler = &steps;
    environment.memoryPressure = &pressure;
    store = BrowserStore::create(engine, std::move(environment));
    window = std::make_unique<BrowserWindow>(browserWindowModels(*store, store->tabs()), favicons,
                                             Scheduler::mainLoop(), scheme);
    window->present();
    waitUntil([&] { return window->get_mapped() && window->get_width() > 0; });
    card = Glib::wrap(testing::findByWidgetName(GTK_WIDGET(window->gobj()), "ContentArea"));
  }
  ~TabSteppingTest() override {
    window.reset();
    store.reset();
  }

  // A page of one colour that writes the keys it gets into its title.
  std::shared_ptr<BrowserTab> openColoured(const std::string& name, const std::string& colour) {
    server.page("/" + name, "<title>" + name +
                                "</title><body style='margin:0;background:" + colour +
                                "'><script>addEventListener('keydown', (e) => document.title = "
                                "'key ' + e.key)</script>");
    auto tab = store->tabs().openTab(server.address("/" + name), false);
    EXPECT_TRUE(WebHarness::waitForPage(*tab, name));
    return tab;
  }

  // The colour at `x` halfway down the card, as red, green and blue.
  std::array<int, 3> colourAt(int x) {
    const auto pixels = testing::pixelsOf(*card);
    const size_t at = (size_t(card->get_height() / 2) * card->get_width() + size_t(x)) * 4;
    return {pixels[at + 2], pixels[at + 1], pixels[at]};
  }
  std::array<int, 3> middleColour() { return colourAt(card->get_width() / 2); }

  const bool gtkReady = (testing::initializeGtkWithoutAnimations(), true);
  testing::TempHome home;
  UserDefaults defaults;
  testing::FakeScheduler steps;
  MemoryPressure pressure;
  std::shared_ptr<WebEngine> engine;
  std::shared_ptr<BrowserStore> store;
  FaviconLoader favicons;
  const SystemColorScheme scheme;
  std::unique_ptr<BrowserWindow> window;
  Gtk::Widget* card = nullptr;
  TestServer server;
};

TEST_F(TabSteppingTest, QuickStepsShowKeptFramesAndThePageTheyPauseOnTakesInput) {
  using Colour = std::array<int, 3>;
  std::map<BrowserTab*, Colour> colours;
  colours[openColoured("red", "#e00000").get()] = {224, 0, 0};
  colours[openColoured("green", "#00c000").get()] = {0, 192, 0};
  colours[openColoured("blue", "#0000e0").get()] = {0, 0, 224};
  WindowModel& tabs = store->tabs();
  const auto list = tabs.currentSpace()->tabs.peek();
  ASSERT_EQ(list.size(), 3u);
  // Each is seen once, so that each leaves its last frame.
  for (const auto& tab : list) {
    tabs.select(*tab);
    pump();
    EXPECT_TRUE(waitUntil([&] { return middleColour() == colours[tab.get()]; }));
  }
  tabs.select(*list[0]);
  pump();

  tabs.selectAdjacentTab(true);  // alone, or the first of many: the page itself
  steps.advance(WindowModel::kStepPause - 1ms);
  tabs.selectAdjacentTab(true);
  pump();
  ASSERT_TRUE(tabs.steppingThroughTabs.peek());
  const auto& passed = list[2];
  ASSERT_EQ(tabs.currentSpace()->selectedTab(), passed);
  Gtk::Widget& view = WebHarness::portOf(*passed).widget();
  EXPECT_EQ(view.get_parent(), nullptr);
  // Blurred a little by its scaling, but the page's colour.
  const Colour kept = middleColour();
  for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(kept[i], colours[passed.get()][i], 8) << i;

  steps.advance(WindowModel::kStepPause);
  EXPECT_FALSE(tabs.steppingThroughTabs.peek());
  ASSERT_TRUE(waitUntil([&] { return view.get_mapped(); }));
  EXPECT_TRUE(waitUntil([&] { return middleColour() == colours[passed.get()]; }));
  const auto middle = testing::boundsIn(*card, *window);
  gdk_display_sync(gdk_display_get_default());
  testing::xdotool("mousemove --window %1 " + std::to_string(int(middle.x + middle.width / 2)) +
                   " " + std::to_string(int(middle.y + middle.height / 2)) + " click 1 key x");
  EXPECT_TRUE(waitUntil([&] { return passed->title.peek() == "key x"; }));
  EXPECT_TRUE(view.has_focus());

  // A tab put to sleep gives its frame up with its page: quick steps past it show the card's own
  // surface.
  ASSERT_TRUE(list[1]->page.sleep(TabWebView::WithoutList::keepView));
  tabs.selectAdjacentTab(true);
  steps.advance(WindowModel::kStepPause - 1ms);
  tabs.selectAdjacentTab(true);
  pump();
  ASSERT_EQ(tabs.currentSpace()->selectedTab(), list[1]);
  EXPECT_EQ(list[1]->storedWebView(), nullptr);
  for (int channel : middleColour()) EXPECT_GT(channel, 200);

  // So does a tab still awake on a memory warning.
  const auto awake = std::ranges::find_if(list, [&](const auto& tab) {
    return tab != list[1] && tab->storedWebView() &&
           KeptPageFrames::frameOf(WebHarness::portOf(*tab).widget().gobj());
  });
  ASSERT_NE(awake, list.end());
  pressure.warn(MemoryPressureLevel::low);
  while (tabs.currentSpace()->selectedTab() != *awake) tabs.selectAdjacentTab(true);
  pump();
  ASSERT_TRUE(tabs.steppingThroughTabs.peek());
  EXPECT_NE((*awake)->storedWebView(), nullptr);
  for (int channel : middleColour()) EXPECT_GT(channel, 200);
}

// A page in fine black and white stripes, which a kept frame, painted at half size, shows grey;
// once more in sight, its process is busy for a while before it can paint again.
std::string slowStripes() {
  return "<title>stripes</title><body style='margin:0;background:repeating-linear-gradient("
         "90deg,#000 0 1px,#fff 1px 2px)'><script>document.addEventListener('visibilitychange',"
         "() => { if (document.hidden) return; const end = Date.now() + 1500;"
         "while (Date.now() < end); })</script>";
}

// Mid-grey: the stripes as the kept frame shows them, not the card's own surface (nearly white),
// nor the page before (red).
bool grey(const std::array<int, 3>& colour) {
  return std::ranges::all_of(colour, [&](int channel) {
    return channel > 60 && channel < 200 && std::abs(channel - colour[0]) < 8;
  });
}

TEST_F(TabSteppingTest, ASwitchToACardOfAnotherSizeShowsTheKeptFrameUntilThePagePaints) {
  auto red = openColoured("red", "#e00000");
  server.page("/stripes", slowStripes());
  auto stripes = store->tabs().openTab(server.address("/stripes"), false);
  ASSERT_TRUE(WebHarness::waitForPage(*stripes, "stripes"));
  WindowModel& tabs = store->tabs();
  tabs.select(*red);
  pump();
  ASSERT_TRUE(waitUntil([&] { return middleColour() == std::array<int, 3>{224, 0, 0}; }));
  // The card grows while the stripes are out of sight.
  tabs.toggleSidebar();
  pump();
  ASSERT_TRUE(waitUntil([&] { return colourAt(card->get_width() - 20) == middleColour(); }));

  // A single step: the page itself comes back, at once, and fills the card with its kept frame
  // while its engine is busy.
  tabs.selectAdjacentTab(true);
  ASSERT_EQ(tabs.currentSpace()->selectedTab(), stripes);
  pump();
  ASSERT_NE(WebHarness::portOf(*stripes).widget().get_parent(), nullptr);
  const auto middle = middleColour(), edge = colourAt(card->get_width() - 20);
  EXPECT_TRUE(grey(middle)) << middle[0] << "," << middle[1] << "," << middle[2];
  EXPECT_TRUE(grey(edge)) << edge[0] << "," << edge[1] << "," << edge[2];
  // Then the engine's own drawing, sharp, to the card's edge.
  EXPECT_TRUE(waitUntil([&] {
    const auto a = colourAt(card->get_width() - 20), b = colourAt(card->get_width() - 19);
    return std::abs(a[0] - b[0]) > 200;
  }));
}

}  // namespace
}  // namespace zemblo
