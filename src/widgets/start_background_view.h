#pragma once

#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "model/app_preferences.h"
#include "widgets/animated_value.h"
#include "widgets/aurora_background.h"
#include "widgets/wallpaper_image.h"

typedef struct _GskRenderNode GskRenderNode;

namespace zemblo {

// The full-size background behind the start page, of the kind the settings choose: the drifting
// aurora in the theme colours, a soft diagonal gradient, a near-neutral fill with a glow from the
// top, or the user's own picture, cropped to fill, blurred and dimmed. Without a picture that
// can be shown (none chosen, gone, unreadable, or still loading) the picture kind shows a still
// aurora. A change of theme colours or of kind cross-fades from the old look.
class StartBackgroundView : public Gtk::Widget {
 public:
  enum class Look { aurora, gradient, solid, picture, stillAurora };

  static constexpr double kGlowRadius = 700;
  static constexpr double kGradientTowardsBase = 0.35;
  static constexpr double kMaximumBlur = 100;
  static constexpr Spring kCrossFade{0.4, 1.0};

  // `folder`: where stored pictures lie (the application's folder when empty).
  explicit StartBackgroundView(std::filesystem::path folder = {});
  ~StartBackgroundView() override;

  void update(const Palette& space, const AppPreferences& prefs, ColorScheme scheme);

  bool showsPicture() const { return look() == Look::picture; }
  // Told when the picture appears or goes (it loads off the main thread).
  sigc::signal<void()>& signalPictureChanged() { return pictureChanged_; }

  static Color baseColor(ColorScheme scheme);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;
  void on_map() override;

 private:
  Look look() const;
  // Where the picture is drawn for the current size (larger than the view when cropped).
  std::optional<graphene_rect_t> pictureFrame() const;
  void requestPicture();
  void startLoading();
  void pictureLoaded(const Glib::RefPtr<Gdk::Texture>& picture);
  void applyLook();
  void paintLook(GtkSnapshot* snapshot);
  // The picture blurred as the view shows it, made once for each size and blur: a blur drawn
  // anew for each repaint of a part of the view (the clock's minute, the field's cursor) comes
  // out lighter at that part's edges. None without a renderer to make it with.
  GdkTexture* blurredPicture(const graphene_rect_t& bounds, double radius);

  std::filesystem::path folder_;
  Palette space_;
  AppPreferences prefs_;
  ColorScheme scheme_ = ColorScheme::light;
  std::string identity_;
  AuroraBackground aurora_;
  std::optional<std::string> requestedFile_;
  std::shared_ptr<WallpaperImage::Request> request_;
  Glib::RefPtr<Gdk::Texture> picture_;
  struct Blurred {
    Glib::RefPtr<Gdk::Texture> texture;
    Glib::RefPtr<Gdk::Texture> picture;
    double radius = 0;
    int width = 0, height = 0, scale = 0;
  };
  Blurred blurred_;
  bool pictureShown_ = false;
  GskRenderNode* lastFrame_ = nullptr;
  GskRenderNode* fadingFrame_ = nullptr;
  AnimatedValue crossFade_;
  sigc::signal<void()> pictureChanged_;
};

}  // namespace zemblo
