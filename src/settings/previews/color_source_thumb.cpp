#include "settings/previews/color_source_thumb.h"

#include "model/preferences_model.h"
#include "model/window_model.h"
#include "settings/previews/settings_paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {
namespace {

constexpr double kFillOpacity = 0.04;
constexpr double kSpaceDisc = 34;
constexpr double kOverlap = 10;
constexpr double kSpaceSymbolPoints = 12;
constexpr double kSeparator = 2;
constexpr double kCustomDisc = 44;
constexpr double kCustomSymbolPoints = 16;
constexpr double kShadowOpacity = 0.4;
constexpr double kShadowBlur = 6;
constexpr double kShadowY = 2;

LinearGradient diagonal(const Color& a, const Color& b) {
  return {a, b, UnitPoint::topLeading(), UnitPoint::bottomTrailing()};
}

// A symbol in white at the centre of a disc.
void appendCentredSymbol(GtkSnapshot* s, Gtk::Widget& widget, std::string_view symbol,
                         double points, const LayoutRect& disc) {
  const int size = symbolPixelSize(points);
  appendSymbol(
      s, widget, symbol, size,
      paint::rect(disc.x + (disc.width - size) / 2, disc.y + (disc.height - size) / 2, size, size),
      paint::grey(1));
}

}  // namespace

ColorSourceThumb::ColorSourceThumb(const SettingsContext& context, ColorSource source)
    : OptionThumbnail(context), context_(context), source_(source) {
  set_name("ColorSourceThumb");
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ColorSourceThumb::~ColorSourceThumb() { observer_.reset(); }

void ColorSourceThumb::sync() {
  if (source_ == ColorSource::spaces) {
    std::vector<SpaceDisc> discs;
    for (const auto& space : context_.tabs().spaces.get()) {
      if (discs.size() == kMaximumSpaces) break;
      discs.push_back({space->symbol.get(), Color::fromHex(space->colorA.get()),
                       Color::fromHex(space->colorB.get())});
    }
    discs_ = std::move(discs);
  } else {
    customA_ = Color::fromHex(context_.preferences().prefs().customColorA);
    customB_ = Color::fromHex(context_.preferences().prefs().customColorB);
  }
  queue_draw();
}

void ColorSourceThumb::draw(GtkSnapshot* s, const graphene_rect_t& bounds) {
  const GdkRGBA fill = primary(kFillOpacity);
  gtk_snapshot_append_color(s, &fill, &bounds);
  if (source_ == ColorSource::spaces) {
    drawSpaces(s, bounds);
  } else {
    drawCustom(s, bounds);
  }
}

void ColorSourceThumb::drawSpaces(GtkSnapshot* s, const graphene_rect_t& bounds) {
  if (discs_.empty()) return;
  const double count = double(discs_.size());
  const double rowWidth = count * kSpaceDisc - (count - 1) * kOverlap;
  double x = bounds.origin.x + (bounds.size.width - rowWidth) / 2;
  const double y = bounds.origin.y + (bounds.size.height - kSpaceDisc) / 2;
  const GdkRGBA separator = paint::styleColor(
      *this, "window_bg_color", paint::grey(scheme() == ColorScheme::dark ? 0.14 : 0.98));
  // Later discs lie over earlier ones: the first space is at the back.
  for (const SpaceDisc& disc : discs_) {
    const LayoutRect circle{x, y, kSpaceDisc, kSpaceDisc};
    settings_paint::roundedGradient(s, circle, kSpaceDisc / 2, diagonal(disc.colorA, disc.colorB),
                                    1);
    paint::appendInsideBorder(s, paint::roundedRect(circle.graphene(), kSpaceDisc / 2), kSeparator,
                              separator);
    appendCentredSymbol(s, *this, disc.symbol, kSpaceSymbolPoints, circle);
    x += kSpaceDisc - kOverlap;
  }
}

void ColorSourceThumb::drawCustom(GtkSnapshot* s, const graphene_rect_t& bounds) {
  const LayoutRect circle{bounds.origin.x + (bounds.size.width - kCustomDisc) / 2,
                          bounds.origin.y + (bounds.size.height - kCustomDisc) / 2, kCustomDisc,
                          kCustomDisc};
  const GskRoundedRect outline = paint::roundedRect(circle.graphene(), kCustomDisc / 2);
  const GdkRGBA shadow = paint::rgba(customA_, kShadowOpacity);
  gtk_snapshot_append_outset_shadow(s, &outline, &shadow, 0, kShadowY, 0, kShadowBlur);
  settings_paint::roundedGradient(s, circle, kCustomDisc / 2, diagonal(customA_, customB_), 1);
  appendCentredSymbol(s, *this, "paintpalette.fill", kCustomSymbolPoints, circle);
}

}  // namespace zemblo
