#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "platform/user_defaults.h"
#include "support/temp_home.h"
#include "web/web_engine.h"
#include "web/web_harness.h"
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

// What a widget draws, read back as pixels (premultiplied, in the byte order of the renderer's
// download: blue, green, red, alpha).
struct Picture {
  int width = 0, height = 0;
  std::vector<guchar> bytes;
  // The alpha of the pixel at (x, y), from 0 to 255.
  int alphaAt(int x, int y) const { return bytes[size_t(y * width + x) * 4 + 3]; }
  // The strongest ink anywhere: the highest alpha.
  int strongestAlpha() const {
    int strongest = 0;
    for (size_t i = 3; i < bytes.size(); i += 4) strongest = std::max<int>(strongest, bytes[i]);
    return strongest;
  }
};

inline Picture picture(Gtk::Widget& widget) {
  Picture result;
  result.width = widget.get_width();
  result.height = widget.get_height();
  auto paintable = Gtk::WidgetPaintable::create(widget);
  GtkSnapshot* snapshot = gtk_snapshot_new();
  gdk_paintable_snapshot(GDK_PAINTABLE(paintable->gobj()), snapshot, result.width, result.height);
  GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
  if (!node || result.width <= 0 || result.height <= 0) return result;
  const graphene_rect_t area = GRAPHENE_RECT_INIT(0, 0, float(result.width), float(result.height));
  GdkTexture* texture = gsk_renderer_render_texture(
      gtk_native_get_renderer(widget.get_native()->gobj()), node, &area);
  result.bytes.resize(size_t(result.width * result.height * 4));
  gdk_texture_download(texture, result.bytes.data(), size_t(result.width * 4));
  g_object_unref(texture);
  gsk_render_node_unref(node);
  return result;
}

inline void settle();

// The strongest ink of a text part while it shows its placeholder, then while it shows `typed`;
// the keyboard focus is taken away first, so that no cursor is drawn.
inline std::pair<int, int> placeholderAndTextInk(Gtk::Text& field, const std::string& typed) {
  if (auto* root = field.get_root()) gtk_root_set_focus(root->gobj(), nullptr);
  field.set_text("");
  settle();
  const int placeholder = picture(field).strongestAlpha();
  field.set_text(typed);
  settle();
  const int text = picture(field).strongestAlpha();
  field.set_text("");
  return {placeholder, text};
}

// Lets GTK lay out and draw what changed.
inline void settle() {
  waitUntil([] { return false; }, std::chrono::milliseconds(120));
}

class WindowHarness {
 public:
  WindowHarness()
      : defaults_(home_.root() / "config" / "user-defaults.json"),
        engine_(std::make_shared<WebEngine>(WebEngine::Folders{
            home_.root() / "web-data", home_.root() / "web-cache", ZEMBLO_TEST_RULE_LISTS_DIR})) {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults_;
    environment.webViewFactory = engine_;
    store_ = BrowserStore::create(std::move(environment));
    window_ = std::make_unique<BrowserWindow>(*store_);
    window_->present();
    waitUntil([&] { return window_->get_mapped() && window_->get_width() > 0; });
    settle();
  }
  ~WindowHarness() {
    window_.reset();
    store_.reset();
  }
  WindowHarness(const WindowHarness&) = delete;
  WindowHarness& operator=(const WindowHarness&) = delete;

  BrowserStore& store() { return *store_; }
  const std::shared_ptr<BrowserStore>& sharedStore() { return store_; }
  BrowserWindow& window() { return *window_; }
  ContentArea& content() { return window_->contentArea(); }
  const TempHome& home() const { return home_; }

  std::shared_ptr<BrowserTab> open(const std::string& url) {
    return store_->openTab(*Url::parse(url), false);
  }

  BrowserWindow::Frame bounds(Gtk::Widget& widget) { return boundsIn(widget, *window_); }

  // Saves a picture of the screen when ZEMBLO_SHOTS names a folder (for looking at the views).
  static void screenshot(const std::string& name) {
    const char* folder = std::getenv("ZEMBLO_SHOTS");
    if (!folder) return;
    waitUntil([] { return false; }, std::chrono::milliseconds(600));
    const std::string command =
        std::string("/usr/bin/import -window root '") + folder + "/" + name + ".png'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

 private:
  const bool gtkReady_ = (initializeGtkWithoutAnimations(), true);
  TempHome home_;
  UserDefaults defaults_;
  std::shared_ptr<WebEngine> engine_;
  std::shared_ptr<BrowserStore> store_;
  std::unique_ptr<BrowserWindow> window_;
};

}  // namespace zemblo::testing
