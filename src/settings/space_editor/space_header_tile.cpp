#include "settings/space_editor/space_header_tile.h"

#include "widgets/accessibility.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "settings/previews/label_font.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {
namespace {

constexpr double kWatermarkPoints = 120;
constexpr double kWatermarkOpacity = 0.12;
constexpr double kWatermarkAngle = -12;
constexpr double kWatermarkOffsetX = 380;
constexpr double kWatermarkOffsetY = 30;
constexpr double kTextGap = 14;

Color between(const Color& from, const Color& to, double t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

}  // namespace

SpaceHeaderTile::SpaceHeaderTile(std::shared_ptr<Space> space)
    : space_(std::move(space)), glide_(*this, 1, [this] { queue_draw(); }) {
  set_name("SpaceHeaderTile");
  // Its name and count are read as they are; the painted tile itself says nothing more.
  setAccessibleRole(*this, Gtk::Accessible::Role::GENERIC);
  set_hexpand(true);
  setLabelFont(name_, {.pixels = 22, .weight = Pango::Weight::BOLD, .white = true});
  setLabelFont(count_, {.pixels = 12, .weight = Pango::Weight::MEDIUM, .white = true});
  name_.set_name("SpaceTileName");
  count_.set_name("SpaceTileCount");
  count_.set_opacity(0.8);
  for (Gtk::Label* label : {&name_, &count_}) {
    label->set_xalign(0);
    label->set_ellipsize(Pango::EllipsizeMode::END);
    texts_.append(*label);
  }
  texts_.set_parent(*this);
  fromA_ = toA_ = Color::fromHex(space_->colorA.peek());
  fromB_ = toB_ = Color::fromHex(space_->colorB.peek());
}

SpaceHeaderTile::~SpaceHeaderTile() { texts_.unparent(); }

Color SpaceHeaderTile::shownA() const { return between(fromA_, toA_, glide_.value()); }
Color SpaceHeaderTile::shownB() const { return between(fromB_, toB_, glide_.value()); }

void SpaceHeaderTile::sync() {
  const std::string& name = space_->name.get();
  name_.set_text(name.empty() ? localized("Adsız Alan") : name);
  count_.set_text(localized("%@ sekme", static_cast<long long>(space_->tabs.get().size())));
  space_->symbol.get();
  const Color a = Color::fromHex(space_->colorA.get());
  const Color b = Color::fromHex(space_->colorB.get());
  if (a != toA_ || b != toB_) {
    fromA_ = shownA();
    fromB_ = shownB();
    toA_ = a;
    toB_ = b;
    glide_.jumpTo(0);
    glide_.springTo(1, kColorSpring);
  }
  queue_draw();
}

Gtk::SizeRequestMode SpaceHeaderTile::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void SpaceHeaderTile::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                    int& minimum_baseline, int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  if (orientation == Gtk::Orientation::VERTICAL) {
    minimum = natural = kHeight;
    return;
  }
  // The texts shrink (and cut their ends) before the tile does.
  minimum = int(2 * kPadding + kDiscSide + kTextGap);
  int textMinimum = 0, textNatural = 0, ignored = 0;
  texts_.measure(orientation, -1, textMinimum, textNatural, ignored, ignored);
  natural = minimum + textNatural;
}

void SpaceHeaderTile::size_allocate_vfunc(int width, int height, int) {
  int minimumHeight = 0, naturalHeight = 0, ignored = 0;
  texts_.measure(Gtk::Orientation::VERTICAL, -1, minimumHeight, naturalHeight, ignored, ignored);
  const int x = int(kPadding + kDiscSide + kTextGap);
  const double discCentre = height - kPadding - kDiscSide / 2;
  Gtk::Allocation place(x, int(discCentre - naturalHeight / 2.0),
                        std::max(0, width - x - int(kPadding)), naturalHeight);
  texts_.size_allocate(place, -1);
}

void SpaceHeaderTile::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double width = get_width(), height = get_height();
  const Color a = shownA(), b = shownB();
  const graphene_rect_t bounds = paint::rect(0, 0, width, height);
  const GskRoundedRect card = paint::roundedRect(bounds, kCornerRadius);
  const GdkRGBA shadow = paint::rgba(a, 0.3);
  gtk_snapshot_append_outset_shadow(s, &card, &shadow, 0, 6, 0, 14);
  gtk_snapshot_push_rounded_clip(s, &card);
  paint::appendLinearGradient(s, bounds,
                              {a, b, UnitPoint::topLeading(), UnitPoint::bottomTrailing()});

  const std::string& symbol = space_->symbol.peek();
  const int mark = symbolPixelSize(kWatermarkPoints);
  const graphene_point_t markCentre{float(kWatermarkOffsetX + mark / 2.0),
                                    float(height - mark + kWatermarkOffsetY + mark / 2.0)};
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &markCentre);
  gtk_snapshot_rotate(s, float(kWatermarkAngle));
  appendSymbol(s, *this, symbol, mark, paint::rect(-mark / 2.0, -mark / 2.0, mark, mark),
               paint::grey(1, kWatermarkOpacity));
  gtk_snapshot_restore(s);

  const graphene_rect_t discBounds =
      paint::rect(kPadding, height - kPadding - kDiscSide, kDiscSide, kDiscSide);
  paint::appendRoundedFill(s, paint::roundedRect(discBounds, kDiscSide / 2), paint::grey(1));
  const int pixels = symbolPixelSize(22);
  appendSymbol(s, *this, symbol, pixels,
               paint::rect(discBounds.origin.x + (kDiscSide - pixels) / 2,
                           discBounds.origin.y + (kDiscSide - pixels) / 2, pixels, pixels),
               paint::rgba(a));
  snapshot_child(texts_, snapshot);
  gtk_snapshot_pop(s);
}

}  // namespace zemblo
