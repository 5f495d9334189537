#include "settings/brand_tile.h"

#include "widgets/accessibility.h"

#include <glib.h>

#include "settings/previews/settings_paint.h"
#include "settings/settings_style.h"

namespace zemblo {
namespace {

constexpr double kLetterPoints = 18;
constexpr double kGlowOpacity = 0.35;
constexpr double kGlowBlur = 6;
constexpr double kGlowY = 3;
constexpr const char* kProductInitial = "Z";

}  // namespace

BrandTile::BrandTile() {
  set_name("BrandTile");
  set_can_target(false);
  hideFromScreenReaders(*this);
}

std::string BrandTile::initial(std::string_view name) {
  if (name.empty() || !g_utf8_validate(name.data(), gssize(name.size()), nullptr)) {
    return kProductInitial;
  }
  const char* start = name.data();
  const char* end = start + name.size();
  char buffer[8] = {};
  const gunichar first = g_utf8_get_char(start);
  std::string letter(buffer, size_t(g_unichar_to_utf8(g_unichar_toupper(first), buffer)));
  const char* next = g_utf8_next_char(start);
  // Marks that sit on the first character belong to its letter.
  while (next < end && g_unichar_ismark(g_utf8_get_char(next))) {
    const char* after = g_utf8_next_char(next);
    letter.append(next, after);
    next = after;
  }
  return letter;
}

void BrandTile::set(std::string letter, const Palette& palette) {
  if (letter == letter_ && palette == palette_) return;
  letter_ = std::move(letter);
  palette_ = palette;
  queue_draw();
}

void BrandTile::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                              int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = kSize;
  minimum_baseline = natural_baseline = -1;
}

void BrandTile::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const LayoutRect circle{(get_width() - kSize) / 2.0, (get_height() - kSize) / 2.0, kSize, kSize};
  const GskRoundedRect outline = paint::roundedRect(circle.graphene(), kSize / 2.0);
  const GdkRGBA glow = paint::rgba(palette_.primary, kGlowOpacity);
  gtk_snapshot_append_outset_shadow(s, &outline, &glow, 0, kGlowY, 0, kGlowBlur);
  settings_paint::roundedGradient(
      s, circle, kSize / 2.0, gradient(palette_.direction, palette_.primary, palette_.secondary),
      1);

  // The letter keeps its own rounded design whatever font the window uses.
  auto text = create_pango_layout(letter_);
  Pango::FontDescription font(*SettingsStyle::fontFamily(InterfaceFont::rounded));
  font.set_absolute_size(kLetterPoints * PANGO_SCALE);
  font.set_weight(Pango::Weight::BOLD);
  text->set_font_description(font);
  int width = 0, height = 0;
  text->get_pixel_size(width, height);
  const graphene_point_t at = GRAPHENE_POINT_INIT(float(circle.x + (kSize - width) / 2.0),
                                                  float(circle.y + (kSize - height) / 2.0));
  const GdkRGBA white = paint::grey(1);
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &at);
  gtk_snapshot_append_layout(s, text->gobj(), &white);
  gtk_snapshot_restore(s);
}

}  // namespace zemblo
