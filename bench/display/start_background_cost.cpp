// What the start page's backgrounds cost the browser process while an animated page is shown in
// a second window beside them: the time to produce one frame of the start-page window, the share
// of a CPU the process takes, and how many frames a second the page still gets. Also how long a
// 24-megapixel picture takes to appear, and the longest the main loop waits meanwhile.
//
// Run under a display, for example (the argument: seconds per measurement):
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/dev/bench/zemblo_start_background_cost 10

#include <adwaita.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "../scratch_home.h"
#include "display_bench.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/wallpaper.h"
#include "model/window_model.h"
#include "platform/user_defaults.h"
#include "support/find_window.h"
#include "web/web_engine.h"
#include "widgets/start_background_view.h"
#include "window/browser_window.h"
#include "window/content_area.h"
#include "window/start_page.h"

namespace {

using namespace zemblo;
using namespace zemblo::bench;
struct Sample {
  const char* name;
  double frameMean = 0, frameP95 = 0, cpuShare = 0, pageFps = 0;
  size_t frames = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
  bench::ScratchHome home;
  auto engine = startToolkitAndEngine(home.root);
  Browser start(home.root / "start.json", engine);
  Browser page(home.root / "page.json", engine);
  auto shown = page.store->tabs().openTab(*Url::parse(kAnimatedPage), false);
  runUntil([&] { return start.window->get_mapped() && page.window->get_mapped(); },
           std::chrono::seconds(10));
  for (Browser* browser : {&start, &page}) browser->waitForContentRules();
  runUntil([&] { return shown->title.peek() != "0" && !shown->title.peek().empty(); },
           std::chrono::seconds(20));

  GskRenderer* renderer = gtk_native_get_renderer(GTK_NATIVE(start.window->gobj()));
  std::printf("renderer: %s, %d s per measurement\n", G_OBJECT_TYPE_NAME(renderer), seconds);

  auto& startPage = testing::widgetNamed<StartPage>(*start.window, "StartPage");
  auto& background = testing::widgetNamed<StartBackgroundView>(startPage, "StartBackgroundView");
  auto timer = std::make_unique<FrameTimer>(*start.window);

  // One frame of the whole start page, as the window's renderer draws it from scratch; the two
  // kinds take turns in blocks, so a change of load on the machine hits both alike.
  std::vector<double> frameCosts[2];
  for (int block = 0; block < 6; ++block) {
    const int kind = block % 2;
    start.store->preferences().updatePrefs([&](AppPreferences& p) {
      p.startBackground = kind == 0 ? StartBackground::gradient : StartBackground::aurora;
    });
    runFor(std::chrono::milliseconds(800));  // past the cross-fade
    for (int i = 0; i < 30; ++i) {
      const auto begin = Clock::now();
      const int width = startPage.get_width();
      const int height = startPage.get_height();
      GtkSnapshot* snapshot = gtk_snapshot_new();
      // The aurora draws anew for every frame, as it does while it drifts.
      testing::widgetNamed(background, "AuroraBackground").queue_draw();
      background.queue_draw();
      gtk_widget_snapshot_child(testing::widgetNamed(*start.window, "ContentArea").gobj(),
                                startPage.gobj(), snapshot);
      GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
      const graphene_rect_t bounds = GRAPHENE_RECT_INIT(0, 0, float(width), float(height));
      GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &bounds);
      frameCosts[kind].push_back(
          std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
      g_object_unref(texture);
      gsk_render_node_unref(node);
    }
  }
  const auto median = [](std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  const double gradientFrame = median(frameCosts[0]);
  const double auroraFrame = median(frameCosts[1]);
  std::printf(
      "one frame of the start page (median of 90): gradient %.2f ms, aurora %.2f ms"
      " (%.2f ×)\n",
      gradientFrame, auroraFrame, auroraFrame / gradientFrame);

  const auto measure = [&](const char* name, StartBackground kind) {
    start.store->preferences().updatePrefs([&](AppPreferences& p) { p.startBackground = kind; });
    runFor(std::chrono::seconds(2));
    timer->reset();
    double fpsSum = 0;
    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = Clock::now();
    for (int i = 0; i < seconds; ++i) {
      runFor(std::chrono::seconds(1));
      fpsSum += std::atof(shown->title.peek().c_str());
    }
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    Sample sample{name};
    sample.frameMean = timer->mean();
    sample.frameP95 = timer->percentile(0.95);
    sample.frames = timer->frames();
    sample.cpuShare = (processCpuSeconds() - cpuBefore) / wall * 100;
    sample.pageFps = fpsSum / seconds;
    return sample;
  };

  std::printf("%-18s %14s %14s %12s %10s %9s\n", "start page", "paint ms mean", "paint ms p95",
              "start fps", "CPU %", "page fps");
  double cpu[2] = {0, 0};
  const int rounds = 3;
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < 2; ++i) {
      const Sample s = i == 0 ? measure("static gradient", StartBackground::gradient)
                              : measure("aurora", StartBackground::aurora);
      cpu[i] += s.cpuShare / rounds;
      std::printf("%-18s %14.2f %14.2f %12.1f %10.1f %9.1f\n", s.name, s.frameMean, s.frameP95,
                  double(s.frames) / seconds, s.cpuShare, s.pageFps);
    }
  }
  std::printf("CPU share, mean of %d rounds: static gradient %.1f %%, aurora %.1f %% (%.2f ×)\n",
              rounds, cpu[0], cpu[1], cpu[1] / cpu[0]);

  // A photograph of 6000 × 4000 pixels.
  GdkPixbuf* photo = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 6000, 4000);
  guint8* pixels = gdk_pixbuf_get_pixels(photo);
  const int stride = gdk_pixbuf_get_rowstride(photo);
  for (int y = 0; y < 4000; ++y) {
    for (int x = 0; x < 6000; ++x) {
      guint8* p = pixels + y * stride + x * 3;
      p[0] = guint8(x * 255 / 6000);
      p[1] = guint8(y * 255 / 4000);
      p[2] = guint8((x ^ y) & 0xFF);
    }
  }
  const auto picked = home.root / "photo.jpg";
  gdk_pixbuf_save(photo, picked.c_str(), "jpeg", nullptr, "quality", "90", nullptr);
  g_object_unref(photo);
  // The benchmark measures showing the picture, not checking it.
  const auto name = Wallpaper::importImage(picked, std::nullopt, [](const std::filesystem::path&) {
                      return true;
                    }).name;
  double longestStall = 0;
  auto last = Clock::now();
  sigc::connection watch = Glib::signal_timeout().connect(
      [&] {
        const auto now = Clock::now();
        longestStall =
            std::max(longestStall, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
        return true;
      },
      1);
  start.store->preferences().updatePrefs(
      [&](AppPreferences& p) { p.startBackground = StartBackground::gradient; });
  runFor(std::chrono::seconds(1));
  longestStall = 0;
  last = Clock::now();
  runFor(std::chrono::seconds(2));
  const double usualStall = longestStall;
  longestStall = 0;
  const auto chosen = Clock::now();
  start.store->preferences().updatePrefs([&](AppPreferences& p) {
    p.startBackground = StartBackground::wallpaper;
    p.wallpaperFile = name;
  });
  const bool appeared =
      runUntil([&] { return background.showsPicture(); }, std::chrono::seconds(30));
  const double toPicture = std::chrono::duration<double, std::milli>(Clock::now() - chosen).count();
  runFor(std::chrono::seconds(1));
  watch.disconnect();
  std::printf(
      "24-megapixel picture: %s after %.0f ms; longest main-loop gap until a second later %.1f ms"
      " (%.1f ms in two seconds before it)\n",
      appeared ? "shown" : "NOT shown", toPicture, longestStall, usualStall);

  timer.reset();
  page.window.reset();
  start.window.reset();
  return 0;
}
