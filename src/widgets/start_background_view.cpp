#include "widgets/start_background_view.h"

#include <algorithm>
#include <cmath>

#include "model/preference_enums.h"
#include "model/theme_colors.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"

namespace zemblo {
namespace {

double sane(double value, double low, double high, double fallback) {
  return std::isnan(value) ? fallback : std::clamp(value, low, high);
}

void replaceNode(GskRenderNode*& slot, GskRenderNode* node) {
  if (node) gsk_render_node_ref(node);
  if (slot) gsk_render_node_unref(slot);
  slot = node;
}

}  // namespace

StartBackgroundView::StartBackgroundView(std::filesystem::path folder)
    : folder_(std::move(folder)), crossFade_(*this, 1, [this] { queue_draw(); }) {
  set_name("StartBackgroundView");
  presentAsDecoration(*this);
  set_can_target(false);
  aurora_.set_parent(*this);
}

StartBackgroundView::~StartBackgroundView() {
  aurora_.unparent();
  replaceNode(lastFrame_, nullptr);
  replaceNode(fadingFrame_, nullptr);
}

Color StartBackgroundView::baseColor(ColorScheme scheme) {
  const double white = scheme == ColorScheme::dark ? 0.07 : 0.98;
  return {white, white, white};
}

void StartBackgroundView::update(const Palette& space, const AppPreferences& prefs,
                                 ColorScheme scheme) {
  const std::string identity = space.key + "-" + std::string(rawValue(prefs.startBackground));
  if (!identity_.empty() && identity != identity_ && lastFrame_) {
    replaceNode(fadingFrame_, lastFrame_);
    crossFade_.jumpTo(0);
    crossFade_.springTo(1, kCrossFade);
  }
  identity_ = identity;
  space_ = space;
  prefs_ = prefs;
  scheme_ = scheme;
  requestPicture();
  applyLook();
}

StartBackgroundView::Look StartBackgroundView::look() const {
  switch (prefs_.startBackground) {
    case StartBackground::aurora:
      return Look::aurora;
    case StartBackground::gradient:
      return Look::gradient;
    case StartBackground::solid:
      return Look::solid;
    case StartBackground::wallpaper:
      break;
  }
  return picture_ && prefs_.wallpaperFile ? Look::picture : Look::stillAurora;
}

void StartBackgroundView::requestPicture() {
  const bool wanted = prefs_.startBackground == StartBackground::wallpaper;
  const std::optional<std::string> file = wanted ? prefs_.wallpaperFile : std::nullopt;
  if (file == requestedFile_) return;
  requestedFile_ = file;
  // A picture already shown stays until the next one is ready, so changing it does not flash.
  request_.reset();
  if (!file) return;
  startLoading();
  if (!request_) picture_.reset();
}

void StartBackgroundView::pictureLoaded(const Glib::RefPtr<Gdk::Texture>& picture) {
  request_.reset();
  if (picture == picture_) return;
  picture_ = picture;
  applyLook();
}

void StartBackgroundView::on_map() {
  Gtk::Widget::on_map();
  // Shown again: the picture may have been deleted or replaced meanwhile.
  if (requestedFile_ && !request_) startLoading();
}

void StartBackgroundView::startLoading() {
  request_ = WallpaperImage::load(
      requestedFile_, WallpaperImage::screenSide(get_display()),
      [this](const Glib::RefPtr<Gdk::Texture>& picture) { pictureLoaded(picture); }, folder_);
}

void StartBackgroundView::applyLook() {
  const Look now = look();
  const bool aurora = now == Look::aurora || now == Look::stillAurora;
  aurora_.set_visible(aurora);
  if (now == Look::aurora) {
    const double speed = prefs_.auroraSpeed;
    aurora_.update(space_.primary, space_.secondary, speed, speed > 0 && !prefs_.reduceMotion,
                   scheme_);
  } else if (now == Look::stillAurora) {
    // Whatever the speed and motion settings say.
    aurora_.update(space_.primary, space_.secondary, 1, false, scheme_);
  }
  queue_draw();
  if (showsPicture() != pictureShown_) {
    pictureShown_ = showsPicture();
    pictureChanged_.emit();
  }
}

void StartBackgroundView::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                        int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

void StartBackgroundView::size_allocate_vfunc(int width, int height, int baseline) {
  aurora_.size_allocate(Gtk::Allocation(0, 0, width, height), baseline);
}

std::optional<graphene_rect_t> StartBackgroundView::pictureFrame() const {
  if (look() != Look::picture) return std::nullopt;
  const double width = get_width();
  const double height = get_height();
  const double pictureWidth = picture_->get_width();
  const double pictureHeight = picture_->get_height();
  // Scaled to fill, keeping its proportions, and centred: never letterboxed.
  const double scale = std::max(width / pictureWidth, height / pictureHeight);
  const double w = pictureWidth * scale;
  const double h = pictureHeight * scale;
  return paint::rect((width - w) / 2, (height - h) / 2, w, h);
}

void StartBackgroundView::paintLook(GtkSnapshot* s) {
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const Color base = baseColor(scheme_);
  switch (look()) {
    case Look::aurora:
    case Look::stillAurora:
      gtk_widget_snapshot_child(gobj(), aurora_.gobj(), s);
      break;
    case Look::gradient:
      paint::appendLinearGradient(
          s, bounds, UnitPoint::topLeading(), UnitPoint::bottomTrailing(),
          {paint::rgba(mixPerceptual(space_.primary, base, kGradientTowardsBase)),
           paint::rgba(mixPerceptual(space_.secondary, base, kGradientTowardsBase))});
      break;
    case Look::solid: {
      const GdkRGBA fill = paint::rgba(base);
      gtk_snapshot_append_color(s, &fill, &bounds);
      const graphene_point_t centre{float(bounds.size.width / 2), 0};
      const GskColorStop stops[] = {{0, paint::rgba(space_.primary, 0.1)},
                                    {1, paint::rgba(space_.primary, 0)}};
      gtk_snapshot_append_radial_gradient(s, &bounds, &centre, float(kGlowRadius),
                                          float(kGlowRadius), 0, 1, stops, 2);
      break;
    }
    case Look::picture: {
      const double blur = sane(prefs_.wallpaperBlur, 0, kMaximumBlur, 0);
      if (GdkTexture* blurred = blur > 0 ? blurredPicture(bounds, blur) : nullptr) {
        gtk_snapshot_append_texture(s, blurred, &bounds);
      } else {
        const graphene_rect_t frame = *pictureFrame();
        gtk_snapshot_push_clip(s, &bounds);
        if (blur > 0) gtk_snapshot_push_blur(s, blur);
        gtk_snapshot_append_texture(s, picture_->gobj(), &frame);
        if (blur > 0) gtk_snapshot_pop(s);
        gtk_snapshot_pop(s);
      }
      const GdkRGBA dim = paint::grey(0, sane(prefs_.wallpaperDim, 0, 1, 0.2));
      gtk_snapshot_append_color(s, &dim, &bounds);
      break;
    }
  }
}

GdkTexture* StartBackgroundView::blurredPicture(const graphene_rect_t& bounds, double radius) {
  const int width = int(bounds.size.width), height = int(bounds.size.height);
  const int scale = get_scale_factor();
  if (blurred_.texture && blurred_.picture == picture_ && blurred_.radius == radius &&
      blurred_.width == width && blurred_.height == height && blurred_.scale == scale) {
    return blurred_.texture->gobj();
  }
  Gtk::Native* native = get_native();
  GskRenderer* renderer = native ? gtk_native_get_renderer(native->gobj()) : nullptr;
  if (!renderer) return nullptr;
  const graphene_rect_t frame = *pictureFrame();
  GtkSnapshot* own = gtk_snapshot_new();
  // At the screen's own pixel density, so the texture is drawn one to one.
  gtk_snapshot_scale(own, float(scale), float(scale));
  gtk_snapshot_push_clip(own, &bounds);
  gtk_snapshot_push_blur(own, radius);
  gtk_snapshot_append_texture(own, picture_->gobj(), &frame);
  gtk_snapshot_pop(own);
  gtk_snapshot_pop(own);
  GskRenderNode* node = gtk_snapshot_free_to_node(own);
  if (!node) return nullptr;
  const graphene_rect_t pixels = paint::rect(0, 0, width * scale, height * scale);
  GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &pixels);
  gsk_render_node_unref(node);
  if (!texture) return nullptr;
  blurred_ = {Glib::wrap(texture), picture_, radius, width, height, scale};
  return texture;
}

void StartBackgroundView::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  if (get_width() <= 0 || get_height() <= 0) return;
  // The frame is recorded on its own so that a change of look can fade it out afterwards.
  GtkSnapshot* own = gtk_snapshot_new();
  paintLook(own);
  GskRenderNode* frame = gtk_snapshot_free_to_node(own);
  replaceNode(lastFrame_, frame);

  GtkSnapshot* s = snapshot->gobj();
  const double fade = std::clamp(crossFade_.value(), 0.0, 1.0);
  const bool fading = fadingFrame_ && fade < 1;
  if (!fading) replaceNode(fadingFrame_, nullptr);
  if (fading) {
    gtk_snapshot_push_opacity(s, 1 - fade);
    gtk_snapshot_append_node(s, fadingFrame_);
    gtk_snapshot_pop(s);
    gtk_snapshot_push_opacity(s, fade);
  }
  if (frame) gtk_snapshot_append_node(s, frame);
  if (fading) gtk_snapshot_pop(s);
  if (frame) gsk_render_node_unref(frame);
}

}  // namespace zemblo
