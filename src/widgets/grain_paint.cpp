#include "widgets/grain_paint.h"

#include <random>
#include <vector>

#include "widgets/paint.h"

namespace zemblo::paint {

Glib::RefPtr<Gdk::Texture> grainNoise() {
  static const Glib::RefPtr<Gdk::Texture> image = [] {
    std::vector<guint8> pixels(kGrainNoiseSize * kGrainNoiseSize * 4);
    std::random_device seed;
    std::mt19937 generator(seed());
    std::uniform_int_distribution<int> byte(0, 255);
    for (size_t i = 0; i < pixels.size(); i += 4) {
      const auto g = static_cast<guint8>(byte(generator));
      pixels[i] = pixels[i + 1] = pixels[i + 2] = g;
      pixels[i + 3] = 255;
    }
    GBytes* bytes = g_bytes_new(pixels.data(), pixels.size());
    GdkTexture* texture = gdk_memory_texture_new(kGrainNoiseSize, kGrainNoiseSize,
                                                 GDK_MEMORY_R8G8B8A8, bytes, kGrainNoiseSize * 4);
    g_bytes_unref(bytes);
    return Glib::wrap(texture);
  }();
  return image;
}

void appendGrain(GtkSnapshot* snapshot, const graphene_rect_t& bounds, double amount) {
  if (!(amount > 0)) return;
  const graphene_rect_t tile =
      rect(bounds.origin.x, bounds.origin.y, kGrainNoiseSize * 0.5, kGrainNoiseSize * 0.5);
  gtk_snapshot_push_opacity(snapshot, amount * 0.55);
  gtk_snapshot_push_repeat(snapshot, &bounds, &tile);
  gtk_snapshot_append_texture(snapshot, grainNoise()->gobj(), &tile);
  gtk_snapshot_pop(snapshot);
  gtk_snapshot_pop(snapshot);
}

}  // namespace zemblo::paint
