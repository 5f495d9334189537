#include "widgets/letter_icon.h"

#include <pango/pango.h>

#include <cmath>
#include <vector>

#include "model/host_rules.h"
#include "platform/text.h"
#include "widgets/paint.h"

namespace zemblo {
namespace {

constexpr double kCornerFraction = 0.24;
constexpr double kLetterFraction = 0.58;
constexpr const char* kRoundedFamilies = "Nunito, Comfortaa, Quicksand, sans-serif";

// The name without one leading "www.", as valid UTF-8 (a broken byte becomes U+FFFD instead of
// derailing the character walk).
std::string siteName(std::string_view text) { return validUtf8(withoutLeadingWww(text)); }

// The bytes of the first user-perceived character (a letter with its combining marks, a flag, an
// emoji sequence).
std::string firstCharacter(const std::string& text) {
  const glong characters = g_utf8_strlen(text.c_str(), static_cast<gssize>(text.size()));
  std::vector<PangoLogAttr> attributes(static_cast<size_t>(characters) + 1);
  pango_get_log_attrs(text.c_str(), static_cast<int>(text.size()), -1,
                      pango_language_from_string("und"), attributes.data(),
                      static_cast<int>(attributes.size()));
  glong end = 1;
  while (end < characters && !attributes[static_cast<size_t>(end)].is_cursor_position) ++end;
  const char* stop = g_utf8_offset_to_pointer(text.c_str(), end);
  return std::string(text.c_str(), stop);
}

}  // namespace

LetterIcon::LetterIcon(std::string text, double size) : text_(std::move(text)), size_(size) {
  set_name("LetterIcon");
  set_overflow(Gtk::Overflow::HIDDEN);
}

void LetterIcon::set(std::string text, double size) {
  if (text == text_ && size == size_) return;
  const bool resized = size != size_;
  text_ = std::move(text);
  size_ = size;
  if (resized) queue_resize();
  queue_draw();
}

std::string LetterIcon::initial(std::string_view text) {
  const std::string name = siteName(text);
  if (name.empty()) return "?";
  return unicodeUppercased(firstCharacter(name));
}

int LetterIcon::hue(std::string_view text) {
  const std::string name = siteName(text);
  long hue = 0;
  for (const char* p = name.c_str(); *p; p = g_utf8_next_char(p)) {
    hue = (hue * 31 + static_cast<long>(g_utf8_get_char(p))) % 360;
  }
  return static_cast<int>(hue);
}

Color LetterIcon::topColor(int hue) { return Color::fromHsb({hue / 360.0, 0.5, 0.95}); }

Color LetterIcon::bottomColor(int hue) { return Color::fromHsb({hue / 360.0, 0.7, 0.75}); }

void LetterIcon::paint(Gtk::Widget& widget, GtkSnapshot* snapshot, const graphene_rect_t& bounds,
                       std::string_view text) {
  const double size = std::min(bounds.size.width, bounds.size.height);
  if (size <= 0) return;
  const int h = hue(text);
  const GskRoundedRect tile = paint::roundedRect(bounds, kCornerFraction * size);
  gtk_snapshot_push_rounded_clip(snapshot, &tile);
  paint::appendLinearGradient(snapshot, bounds, UnitPoint::top(), UnitPoint::bottom(),
                              {paint::rgba(topColor(h)), paint::rgba(bottomColor(h))});
  gtk_snapshot_pop(snapshot);

  const auto layout = widget.create_pango_layout(initial(text));
  Pango::FontDescription font(kRoundedFamilies);
  font.set_weight(Pango::Weight::BOLD);
  font.set_absolute_size(kLetterFraction * size * PANGO_SCALE);
  layout->set_font_description(font);
  int width = 0, height = 0;
  layout->get_pixel_size(width, height);
  const graphene_point_t origin =
      GRAPHENE_POINT_INIT(static_cast<float>(bounds.origin.x + (bounds.size.width - width) / 2),
                          static_cast<float>(bounds.origin.y + (bounds.size.height - height) / 2));
  const GdkRGBA white = paint::grey(1);
  gtk_snapshot_save(snapshot);
  gtk_snapshot_translate(snapshot, &origin);
  gtk_snapshot_append_layout(snapshot, layout->gobj(), &white);
  gtk_snapshot_restore(snapshot);
}

void LetterIcon::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                               int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = static_cast<int>(std::ceil(size_));
  minimum_baseline = natural_baseline = -1;
}

void LetterIcon::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  paint(*this, snapshot->gobj(), paint::rect(0, 0, get_width(), get_height()), text_);
}

}  // namespace zemblo
