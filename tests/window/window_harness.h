#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/view_models.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/color.h"
#include "model/window_model.h"
#include "platform/user_defaults.h"
#include "support/find_window.h"
#include "support/rendered_pixels.h"
#include "support/temp_home.h"
#include "support/x_input.h"
#include "web/favicon_loader.h"
#include "web/web_engine.h"
#include "web/web_harness.h"
#include "widgets/system_color_scheme.h"
#include "window/browser_window.h"
#include "window/content_area.h"

// A browser window on a store of its own, with real web views, under the virtual display. GTK's
// animations are switched off, so every animated change shows its end state at once.
namespace zemblo::testing {

inline void initializeGtkWithoutAnimations() {
  initializeGtk();
  g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
}

// Where a widget lies in the window.
inline BrowserWindow::Frame boundsIn(Gtk::Widget& widget, Gtk::Widget& window) {
  graphene_rect_t bounds;
  if (!gtk_widget_compute_bounds(widget.gobj(), window.gobj(), &bounds)) return {};
  return {bounds.origin.x, bounds.origin.y, bounds.size.width, bounds.size.height};
}

// What a widget draws, as premultiplied pixels of four bytes, alpha last.
inline std::vector<guchar> pixelsOf(Gtk::Widget& widget) {
  const int width = widget.get_width(), height = widget.get_height();
  GskRenderNode* node = drawnNodeOf(widget.gobj(), width, height);
  if (!node) {
    ADD_FAILURE() << G_OBJECT_TYPE_NAME(widget.gobj()) << " drew nothing";
    return std::vector<guchar>(size_t(width) * size_t(height) * 4);
  }
  auto pixels =
      renderedPixels(gtk_native_get_renderer(widget.get_native()->gobj()), node, width, height);
  gsk_render_node_unref(node);
  return pixels;
}

// The colour of the pixel that starts at byte `at` of `pixelsOf`'s pixels, still premultiplied:
// downloaded textures hold blue, green, red, alpha.
inline Color colorAt(const std::vector<guchar>& pixels, size_t at) {
  return {pixels[at + 2] / 255.0, pixels[at + 1] / 255.0, pixels[at] / 255.0};
}

// The mean colour a widget draws over a rectangle given in fractions of its size (left, top,
// right, bottom), premultiplied by its opacity. Good for coarse comparisons of a drawing that
// carries random grain.
inline Color meanDrawnColor(Gtk::Widget& widget, double left, double top, double right,
                            double bottom) {
  const auto pixels = pixelsOf(widget);
  const int width = widget.get_width(), height = widget.get_height();
  Color sum{0, 0, 0};
  double count = 0;
  for (int y = int(top * height); y < int(bottom * height); ++y) {
    for (int x = int(left * width); x < int(right * width); ++x, ++count) {
      const Color pixel = colorAt(pixels, (size_t(y) * width + size_t(x)) * 4);
      sum = {sum.r + pixel.r, sum.g + pixel.g, sum.b + pixel.b};
    }
  }
  if (count == 0) return {};
  return {sum.r / count, sum.g / count, sum.b / count};
}

// The strongest ink a widget draws: its highest alpha, 0 to 255.
inline int strongestInk(Gtk::Widget& widget) {
  const auto pixels = pixelsOf(widget);
  int strongest = 0;
  for (size_t i = 3; i < pixels.size(); i += 4) strongest = std::max<int>(strongest, pixels[i]);
  return strongest;
}

// The strongest ink of a text part while it shows its placeholder, then while it shows `typed`;
// the keyboard focus is taken away first, so that no cursor is drawn.
inline std::pair<int, int> placeholderAndTextInk(Gtk::Text& field, const std::string& typed) {
  if (auto* root = field.get_root()) gtk_root_set_focus(root->gobj(), nullptr);
  int ink[2] = {0, 0};
  for (int i : {0, 1}) {
    field.set_text(i == 0 ? "" : typed);
    pump();
    ink[i] = strongestInk(field);
  }
  field.set_text("");
  return {ink[0], ink[1]};
}

// Whether the content card shows the start page, or else a tab's web page.
inline bool showsStartPage(Gtk::Widget& card) {
  return widgetNamed(card, "StartPage").get_visible() &&
         !widgetNamed(card, "PageViewContainer").get_visible();
}
inline bool showsWebPage(Gtk::Widget& card) {
  return !widgetNamed(card, "StartPage").get_visible() &&
         widgetNamed(card, "PageViewContainer").get_visible();
}

// GTK's animations on for a scope; the harnesses keep them off.
struct AnimationsOn {
  AnimationsOn() { Gtk::Settings::get_default()->property_gtk_enable_animations() = true; }
  ~AnimationsOn() { Gtk::Settings::get_default()->property_gtk_enable_animations() = false; }
};

// How often a window's frame clock has laid the window out since this began.
class LayoutCounter {
 public:
  explicit LayoutCounter(Gtk::Widget& window) : clock_(gtk_widget_get_frame_clock(window.gobj())) {
    handler_ =
        g_signal_connect_swapped(clock_, "layout", G_CALLBACK(+[](int* n) { ++*n; }), &count_);
  }
  ~LayoutCounter() { g_signal_handler_disconnect(clock_, handler_); }
  int count() const { return count_; }

 private:
  GdkFrameClock* clock_;
  gulong handler_ = 0;
  int count_ = 0;
};

// Real X input to the browser window, which is alone on the virtual screen.
inline void xdotool(const std::string& arguments) {
  const std::string command = xdotoolOn("Zemblo", "windowfocus %1 " + arguments);
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class WindowHarness {
 public:
  // Saved passwords go to the test session's keyring unless a test hands in another storage.
  explicit WindowHarness(std::shared_ptr<VaultStorage> vaultStorage = nullptr)
      : defaults_(home_.root() / "config" / "user-defaults.json"),
        engine_(std::make_shared<WebEngine>(
            Scheduler::mainLoop(),
            WebEngine::Folders{home_.root() / "web-data", home_.root() / "web-cache",
                               ZEMBLO_TEST_RULE_LISTS_DIR})) {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults_;
    environment.vaultStorage = std::move(vaultStorage);
    store_ = BrowserStore::create(engine_, std::move(environment));
    window_ = std::make_unique<BrowserWindow>(browserWindowModels(*store_, store_->tabs()),
                                              favicons_, Scheduler::mainLoop(), colorScheme_);
    window_->present();
    waitUntil([&] { return window_->get_mapped() && window_->get_width() > 0; });
    pump();
  }
  ~WindowHarness() {
    window_.reset();
    store_.reset();
  }
  WindowHarness(const WindowHarness&) = delete;
  WindowHarness& operator=(const WindowHarness&) = delete;

  BrowserStore& store() { return *store_; }
  WebEngine& engine() { return *engine_; }
  // The settings file the store writes to.
  UserDefaults& defaults() { return defaults_; }
  FaviconLoader& favicons() { return favicons_; }
  const std::shared_ptr<BrowserStore>& sharedStore() { return store_; }
  BrowserWindow& window() { return *window_; }
  const SystemColorScheme& colorScheme() const { return colorScheme_; }
  ContentArea& content() { return widgetNamed<ContentArea>(*window_, "ContentArea"); }
  const TempHome& home() const { return home_; }

  std::shared_ptr<BrowserTab> open(const std::string& url) {
    return store_->tabs().openTab(*Url::parse(url), false);
  }

  BrowserWindow::Frame bounds(Gtk::Widget& widget) { return boundsIn(widget, *window_); }

  // Saves a picture of the screen when ZEMBLO_SHOTS names a folder (for looking at the views).
  static void screenshot(const std::string& name) {
    const char* folder = std::getenv("ZEMBLO_SHOTS");
    if (!folder) return;
    pump();
    const std::string command =
        std::string("/usr/bin/import -window root '") + folder + "/" + name + ".png'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

 private:
  const bool gtkReady_ = (initializeGtkWithoutAnimations(), true);
  const SystemColorScheme colorScheme_;
  TempHome home_;
  UserDefaults defaults_;
  std::shared_ptr<WebEngine> engine_;
  std::shared_ptr<BrowserStore> store_;
  FaviconLoader favicons_;
  std::unique_ptr<BrowserWindow> window_;
};

}  // namespace zemblo::testing
