#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/language_follower.h"
#include "app/view_models.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "settings/kit/pane_body.h"
#include "settings/previews/interface_preview.h"
#include "settings/previews/preview_layout.h"
#include "settings/settings_view.h"
#include "sidebar/sidebar_harness.h"
#include "support/drawn_nodes.h"
#include "support/find_settings_widgets.h"
#include "support/rendered_pixels.h"
#include "support/x_input.h"

// The settings window over the store of a browser window, both shown under the virtual display
// with animations off, the interface in Turkish.
namespace zemblo::testing {

class SettingsHarness : public WindowHarness {
 public:
  SettingsHarness() {
    // The language switches as the application switches it.
    language_.follow(store().preferences());
    setLanguage(AppLanguage::turkish);
    view_ = std::make_unique<SettingsView>(
        settingsModels(store(), [this] { return &store().tabs(); }), favicons(), colorScheme());
    view_->present();
    waitUntil([&] { return view_->get_mapped() && view_->get_width() > 0; });
    pump();
  }
  ~SettingsHarness() {
    view_.reset();
    L10n::setEnglish(false);
  }

  void setLanguage(AppLanguage language) {
    store().preferences().updatePrefs([&](AppPreferences& prefs) { prefs.language = language; });
    window().rebuildContent();
    pump();
  }

  SettingsView& view() { return *view_; }
  // Real keys, through the server. They go on their own: aimed at a window, the release of a key
  // that closed it would be sent to the closed window, and the server would repeat the key for
  // the next one.
  void press(const std::string& keys) {
    runBesideMainLoop(xdotoolOn(view_->gobj(), "windowfocus --sync %1") + " && xdotool key " +
                      keys);
  }

  // The interface preview of the pane shown, if it has one.
  InterfacePreview* preview() {
    for (Gtk::Widget* child = shownPane(*view_).get_first_child(); child;
         child = child->get_next_sibling()) {
      if (auto* preview = dynamic_cast<InterfacePreview*>(child)) return preview;
    }
    return nullptr;
  }

  // The settings file as it is on disk.
  std::string defaultsFile() {
    std::ifstream in(defaults().file());
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // The width of the sidebar the preview drew at its last frame: that of its address pill, the
  // first fill drawn inside the miniature, with the sidebar's padding either side of it.
  static double drawnSidebarWidth(InterfacePreview& preview) {
    const int width = preview.get_width(), height = preview.get_height();
    GskRenderNode* frame = testing::drawnNodeOf(preview.gobj(), width, height);
    GskRenderNode* pill = testing::firstNode(frame, [&](GskRenderNode* node) {
      if (gsk_render_node_get_node_type(node) != GSK_ROUNDED_CLIP_NODE) return false;
      graphene_rect_t bounds;
      gsk_render_node_get_bounds(node, &bounds);
      return bounds.size.width < width - 1 &&
             gsk_render_node_get_node_type(gsk_rounded_clip_node_get_child(node)) == GSK_COLOR_NODE;
    });
    graphene_rect_t bounds{};
    if (pill) gsk_render_node_get_bounds(pill, &bounds);
    if (frame) gsk_render_node_unref(frame);
    if (!pill) return 0;
    PreviewInputs inputs;
    inputs.scale = InterfacePreview::kPaneScale;
    const auto layout = layoutPreview(inputs, width).sidebar;
    return bounds.size.width + (layout.frame.width - layout.pill.width);
  }

  // What the widget draws, rendered by its window's renderer.
  static Glib::RefPtr<Gdk::Texture> render(Gtk::Widget& widget) {
    const int width = widget.get_width(), height = widget.get_height();
    GskRenderNode* node = testing::drawnNodeOf(widget.gobj(), width, height);
    if (!node) {
      ADD_FAILURE() << G_OBJECT_TYPE_NAME(widget.gobj()) << " drew nothing";
      const GdkRGBA clear{0, 0, 0, 0};
      const graphene_rect_t all = GRAPHENE_RECT_INIT(0, 0, float(width), float(height));
      node = gsk_color_node_new(&clear, &all);
    }
    const graphene_rect_t viewport = GRAPHENE_RECT_INIT(0, 0, float(width), float(height));
    GskRenderer* renderer = gtk_native_get_renderer(widget.get_native()->gobj());
    GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
    gsk_render_node_unref(node);
    return Glib::wrap(texture);
  }

  // Red, green and blue of one pixel, 0…255.
  static std::array<int, 3> pixel(const Glib::RefPtr<Gdk::Texture>& texture, int x, int y) {
    const int width = texture->get_width();
    std::vector<guchar> data(size_t(width) * size_t(texture->get_height()) * 4);
    gdk_texture_download(texture->gobj(), data.data(), size_t(width) * 4);
    const guchar* p = data.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
    // Cairo's byte order: blue, green, red, alpha.
    return {p[2], p[1], p[0]};
  }

  // What a click on the button does, without waiting for its pressed look: nothing when it is
  // disabled.
  static bool click(Gtk::Button& button) {
    if (!button.is_sensitive()) return false;
    g_signal_emit_by_name(button.gobj(), "clicked");
    pump();
    return true;
  }

  // Whether assistive technologies are given a name for the widget.
  static bool hasAccessibleName(Gtk::Widget& widget) {
    return gtk_test_accessible_has_property(GTK_ACCESSIBLE(widget.gobj()),
                                            GTK_ACCESSIBLE_PROPERTY_LABEL);
  }

  // The widgets Tab visits in the window, in order, once round.
  static std::vector<Gtk::Widget*> tabChain(Gtk::Window& window) {
    std::vector<Gtk::Widget*> chain;
    for (int i = 0; i < 200; ++i) {
      window.child_focus(Gtk::DirectionType::TAB_FORWARD);
      Gtk::Widget* focus = window.get_focus();
      if (!focus || (!chain.empty() && focus == chain.front())) break;
      chain.push_back(focus);
    }
    return chain;
  }

  // Saves the widget's picture when ZEMBLO_SHOTS names a folder.
  static void shot(Gtk::Widget& widget, const std::string& name) {
    const char* folder = std::getenv("ZEMBLO_SHOTS");
    if (!folder) return;
    pump();
    const std::string file = std::string(folder) + "/" + name + ".png";
    EXPECT_TRUE(gdk_texture_save_to_png(render(widget)->gobj(), file.c_str())) << file;
  }

 private:
  LanguageFollower language_{AppLanguage::system};
  std::unique_ptr<SettingsView> view_;
};

// The preferences as the settings file holds them once the last write has reached it.
inline AppPreferences savedPrefs(WindowHarness& harness) {
  const auto read = [&] {
    UserDefaults file(harness.defaults().file());
    return AppPreferences::load(file);
  };
  waitUntil([&] { return read() == harness.store().preferences().prefs(); });
  return read();
}

}  // namespace zemblo::testing
