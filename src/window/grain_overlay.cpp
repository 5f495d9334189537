#include "window/grain_overlay.h"

#include <random>
#include <vector>

#include "widgets/paint.h"

namespace zemblo {

GrainOverlay::GrainOverlay() {
  set_name("GrainOverlay");
  set_can_target(false);
}

void GrainOverlay::setAmount(double amount) {
  if (amount == amount_) return;
  amount_ = amount;
  queue_draw();
}

Glib::RefPtr<Gdk::Texture> GrainOverlay::noiseImage() {
  // Made once and never changed afterwards, so every grain of the run looks the same.
  static const Glib::RefPtr<Gdk::Texture> image = [] {
    std::vector<guint8> pixels(kNoiseSize * kNoiseSize * 4);
    std::random_device seed;
    std::mt19937 generator(seed());
    std::uniform_int_distribution<int> byte(0, 255);
    for (size_t i = 0; i < pixels.size(); i += 4) {
      const auto g = static_cast<guint8>(byte(generator));
      pixels[i] = pixels[i + 1] = pixels[i + 2] = g;
      pixels[i + 3] = 255;
    }
    GBytes* bytes = g_bytes_new(pixels.data(), pixels.size());
    GdkTexture* texture =
        gdk_memory_texture_new(kNoiseSize, kNoiseSize, GDK_MEMORY_R8G8B8A8, bytes, kNoiseSize * 4);
    g_bytes_unref(bytes);
    return Glib::wrap(texture);
  }();
  return image;
}

void GrainOverlay::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  if (!isVisible()) return;
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const graphene_rect_t tile = paint::rect(0, 0, kNoiseSize * 0.5, kNoiseSize * 0.5);
  gtk_snapshot_push_opacity(s, amount_ * 0.55);
  gtk_snapshot_push_repeat(s, &bounds, &tile);
  gtk_snapshot_append_texture(s, noiseImage()->gobj(), &tile);
  gtk_snapshot_pop(s);
  gtk_snapshot_pop(s);
}

}  // namespace zemblo
