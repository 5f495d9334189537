// A tab left unseen gives up its page's process and, once selected, comes back with its back and
// forward list and its scroll, but sends no form again unasked; tabs that would lose something
// stay awake, and memory warnings put the tabs shown least recently to sleep first.
#include <gtest/gtest.h>

#include "model/tab_sleeper.h"
#include "platform/memory_pressure.h"
#include "support/fake_scheduler.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::callJavaScript;
using testing::FinalizationProbe;
using testing::pageAnswered;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

// One second of silence: enough for the engine to count the page as playing sound.
std::string silentWav() {
  constexpr uint32_t kRate = 8000;
  std::string wav = "RIFF";
  const auto put = [&wav](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) wav += char((value >> (8 * i)) & 0xff);
  };
  put(36 + kRate, 4);
  wav += "WAVEfmt ";
  put(16, 4);
  put(1, 2);
  put(1, 2);
  put(kRate, 4);
  put(kRate, 4);
  put(1, 2);
  put(8, 2);
  wav += "data";
  put(kRate, 4);
  wav += std::string(kRate, char(0x80));
  return wav;
}

class TabSleepTest : public ::testing::Test {
 protected:
  TabSleepTest()
      : harness(WebEngine::kRequestTimeout, std::make_shared<testing::MemoryVaultStorage>(),
                [this](BrowserStoreEnvironment& environment) {
                  environment.scheduler = &scheduler;
                  environment.memoryPressure = &pressure;
                  environment.clock = [this] {
                    return std::chrono::steady_clock::time_point(scheduler.now());
                  };
                }) {
    const auto page = [this](const std::string& path, const std::string& html) {
      server.route(path, {html, "text/html; charset=utf-8", {{"Cache-Control", "no-store"}}});
    };
    page("/A", "<title>Page A</title>");
    page("/B", "<title>Page B</title><body style='height: 6000px'>");
    for (const char* name : {"C", "D", "E", "F"}) {
      page(std::string("/") + name, std::string("<title>Page ") + name + "</title>");
    }
    page("/form", "<title>Form</title><form><input id=field name=q value=kept></form>");
    page("/order", "<title>Order</title><form method=post action=/A><input name=n value=1></form>");
    page("/dialog", "<title>Dialog</title><script>setTimeout(() => confirm('Stay?'))</script>");
    page("/sound",
         "<title>Sound</title><audio id=tone src=/tone.wav loop></audio>"
         "<button style='position:fixed;inset:0' onclick='tone.play()'>play</button>");
    server.route("/tone.wav", {silentWav(), "audio/wav"});
  }

  // Opens the page in a tab of its own, shown, and waits for it.
  std::shared_ptr<BrowserTab> show(const std::string& path, const std::string& title) {
    auto tab = harness.show(server.url(path));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, title));
    settle();
    return tab;
  }
  // A tab on page A, which the order form sent made.
  std::shared_ptr<BrowserTab> sendOrder() {
    auto tab = show("/order", "Order");
    callJavaScript(WebHarness::viewOf(*tab), "document.forms[0].submit(); return true;");
    EXPECT_TRUE(WebHarness::waitForPage(*tab, "Page A"));
    return tab;
  }
  static bool asksToResend(const BrowserTab& tab) {
    return waitUntil([&] { return tab.loadError.peek() && tab.loadError.peek()->resendsForm; });
  }
  void select(const std::shared_ptr<BrowserTab>& tab, const std::string& title) {
    harness.store().tabs().select(*tab);
    harness.container().setTab(tab);
    EXPECT_TRUE(WebHarness::waitForPage(*tab, title));
    settle();
  }
  // The sleeper sees the tab shown now, a second later on its clock.
  void settle() { scheduler.advance(1s); }
  static std::optional<std::string> scrollY(BrowserTab& tab) {
    return callJavaScript(WebHarness::viewOf(tab), "return Math.round(scrollY);");
  }

  TestServer server;
  testing::FakeScheduler scheduler;
  MemoryPressure pressure;
  WebHarness harness;
};

TEST_F(TabSleepTest, ATabLeftUnseenWakesWithItsListAndScrollAndSendsNoFormAgainUnasked) {
  auto tab = sendOrder();
  tab->load(server.address("/B"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Page B"));
  ASSERT_EQ(callJavaScript(WebHarness::viewOf(*tab), "scrollTo(0, 1500); return scrollY;"), "1500");
  FinalizationProbe view(WebHarness::viewOf(*tab));
  show("/C", "Page C");

  scheduler.advance(15min - 2s);
  ASSERT_TRUE(pageAnswered(WebHarness::viewOf(*tab)));
  EXPECT_FALSE(tab->page.isAsleep()) << "the tab slept before its time";
  scheduler.advance(TabSleeper::kLongestCheckInterval);
  ASSERT_TRUE(waitUntil([&] { return tab->page.isAsleep(); }));
  EXPECT_FALSE(tab->storedWebView());
  EXPECT_TRUE(waitUntil([&] { return view.finalized(); })) << "the page's view lives on";
  EXPECT_EQ(tab->title.peek(), "Page B");
  const int hitsOfB = server.hits("/B");

  select(tab, "Page B");
  EXPECT_EQ(server.hits("/B"), hitsOfB + 1);
  EXPECT_TRUE(waitUntil([&] { return scrollY(*tab) == "1500"; })) << scrollY(*tab).value_or("");
  // Back to what the form made, and a reload of it, would send the form again: only the user's
  // answer does.
  callJavaScript(WebHarness::viewOf(*tab), "history.back(); return true;");
  ASSERT_TRUE(asksToResend(*tab));
  EXPECT_EQ(server.hits("/A"), 1);
  tab->navigation.resendForm();
  EXPECT_TRUE(WebHarness::waitForPage(*tab, "Page A"));
  EXPECT_EQ(server.hits("/A"), 2);
  EXPECT_TRUE(tab->canGoForward.peek());
  tab->reload();
  ASSERT_TRUE(asksToResend(*tab));
  EXPECT_EQ(server.hits("/A"), 2);
}

TEST_F(TabSleepTest, TabsThatWouldLoseSomethingStayAwake) {
  auto sound = show("/sound", "Sound");
  testing::clickWindow(harness.windowTitle());
  ASSERT_TRUE(waitUntil([&] { return sound->isPlayingAudio.peek(); }))
      << "the page's sound never played";
  auto form = show("/form", "Form");
  callJavaScript(WebHarness::viewOf(*form), "field.value = 'half a sentence'; return true;");
  // A page waiting on its dialog answers no script.
  auto dialog = harness.show(server.url("/dialog"));
  ASSERT_TRUE(waitUntil([&] { return dialog->dialogs.pending.peek().has_value(); }));
  auto sent = sendOrder();
  auto plain = show("/D", "Page D");
  auto shown = show("/E", "Page E");

  scheduler.advance(15min + TabSleeper::kLongestCheckInterval);
  ASSERT_TRUE(waitUntil([&] { return plain->page.isAsleep(); }));
  for (const auto& tab : {sound, form, sent, shown}) {
    // The page answers in turn: what it was asked before this has its answer too.
    ASSERT_TRUE(pageAnswered(WebHarness::viewOf(*tab)));
    EXPECT_FALSE(tab->page.isAsleep()) << tab->title.peek();
  }
  EXPECT_FALSE(dialog->page.isAsleep());

  // Cleared, as a page clears a form it has sent, it holds nothing to lose.
  callJavaScript(WebHarness::viewOf(*form), "field.form.reset(); return true;");
  scheduler.advance(TabSleeper::kLongestCheckInterval);
  EXPECT_TRUE(waitUntil([&] { return form->page.isAsleep(); }));
}

TEST_F(TabSleepTest, MemoryWarningsPutTheTabsShownLeastRecentlyToSleepFirst) {
  auto c = show("/C", "Page C");
  auto d = show("/D", "Page D");
  auto e = show("/E", "Page E");
  auto shown = show("/F", "Page F");
  // Shown least recently: D, then C, then E; in the sidebar F, E, D, C.
  select(e, "Page E");
  select(c, "Page C");
  select(shown, "Page F");

  pressure.warn(MemoryPressureLevel::low);
  ASSERT_TRUE(waitUntil([&] { return d->page.isAsleep(); }));
  for (const auto& tab : {c, e}) {
    ASSERT_TRUE(pageAnswered(WebHarness::viewOf(*tab)));
    EXPECT_FALSE(tab->page.isAsleep()) << tab->title.peek();
  }

  pressure.warn(MemoryPressureLevel::critical);
  EXPECT_TRUE(waitUntil([&] { return c->page.isAsleep() && e->page.isAsleep(); }));
  ASSERT_TRUE(pageAnswered(WebHarness::viewOf(*shown)));
  EXPECT_FALSE(shown->page.isAsleep());
}

}  // namespace
}  // namespace zemblo
