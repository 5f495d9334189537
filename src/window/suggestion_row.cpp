#include "window/suggestion_row.h"

#include <cmath>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr double kTilePoints = 13;
constexpr double kTileRadius = 8;
constexpr double kTileFill = 0.06;
constexpr double kSecondaryOpacity = 0.55;
// The shape of the return key; the icon theme has no such symbol.
constexpr const char* kReturnSymbol = "\u21A9";

GdkRGBA withOpacity(GdkRGBA color, double opacity) {
  color.alpha = static_cast<float>(color.alpha * opacity);
  return color;
}

}  // namespace

void setLabelFont(Gtk::Label& label, double points, Pango::Weight weight) {
  Pango::AttrList attributes;
  auto size = Pango::Attribute::create_attr_size_absolute(static_cast<int>(points * PANGO_SCALE));
  attributes.insert(size);
  auto boldness = Pango::Attribute::create_attr_weight(weight);
  attributes.insert(boldness);
  label.set_attributes(attributes);
}

SymbolGlyph::SymbolGlyph(std::string symbol, int pixelSize)
    : symbol_(std::move(symbol)), pixelSize_(pixelSize) {
  set_can_target(false);
  presentAsDecoration(*this);
}

void SymbolGlyph::setSymbol(std::string symbol) {
  if (symbol == symbol_) return;
  symbol_ = std::move(symbol);
  queue_draw();
}

void SymbolGlyph::setInk(Ink ink) {
  ink_ = ink;
  queue_draw();
}

void SymbolGlyph::setBackdrop(std::optional<Backdrop> backdrop) {
  backdrop_ = backdrop;
  queue_resize();
}

GdkRGBA SymbolGlyph::resolve(const Ink& ink) {
  if (ink.color) return withOpacity(*ink.color, ink.opacity);
  const GdkRGBA text = paint::foreground(*this);
  return withOpacity(ink.styleColor ? paint::styleColor(*this, ink.styleColor, text) : text,
                     ink.opacity);
}

GdkRGBA SymbolGlyph::color() { return resolve(ink_); }

void SymbolGlyph::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                int& minimum_baseline, int& natural_baseline) const {
  const double size = backdrop_ ? std::max<double>(backdrop_->size, pixelSize_) : pixelSize_;
  minimum = natural = static_cast<int>(std::ceil(size));
  minimum_baseline = natural_baseline = -1;
}

void SymbolGlyph::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double width = get_width(), height = get_height();
  if (backdrop_) {
    const graphene_rect_t box =
        paint::rect((width - backdrop_->size) / 2, (height - backdrop_->size) / 2, backdrop_->size,
                    backdrop_->size);
    const GskRoundedRect shape = paint::roundedRect(box, backdrop_->radius);
    const GdkRGBA fill = resolve(backdrop_->ink);
    paint::appendRoundedFill(s, shape, fill);
  }
  const auto theme = Gtk::IconTheme::get_for_display(get_display());
  const auto icon =
      theme->lookup_icon(symbolIconName(symbol_), pixelSize_, get_scale_factor(),
                         Gtk::TextDirection::NONE, Gtk::IconLookupFlags::FORCE_SYMBOLIC);
  if (!icon) return;
  const graphene_point_t origin{static_cast<float>(std::round((width - pixelSize_) / 2)),
                                static_cast<float>(std::round((height - pixelSize_) / 2))};
  const GdkRGBA ink = color();
  const GdkRGBA colors[4] = {ink, ink, ink, ink};
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &origin);
  gtk_symbolic_paintable_snapshot_symbolic(GTK_SYMBOLIC_PAINTABLE(icon->gobj()), s, pixelSize_,
                                           pixelSize_, colors, 4);
  gtk_snapshot_restore(s);
}

std::string SuggestionRow::title(const Suggestion& suggestion) {
  switch (suggestion.kind()) {
    case Suggestion::Kind::open: {
      const Url& url = *suggestion.openURL();
      return url.host().value_or(url.str());
    }
    case Suggestion::Kind::search:
      return *suggestion.query();
    case Suggestion::Kind::tab:
      return suggestion.browserTab()->displayTitle();
    case Suggestion::Kind::history: {
      const HistoryEntry& entry = *suggestion.historyEntry();
      if (!entry.title.empty()) return entry.title;
      return entry.url.host().value_or(entry.url.str());
    }
  }
  return {};
}

std::optional<std::string> SuggestionRow::subtitle(const Suggestion& suggestion,
                                                   SearchEngine engine) {
  switch (suggestion.kind()) {
    case Suggestion::Kind::open:
      return suggestion.openURL()->str();
    case Suggestion::Kind::search:
      // The engine's name is its own and stays the same in every language.
      return withArgument(localized("%@ ile ara"), engine.displayName());
    case Suggestion::Kind::tab: {
      const auto& url = suggestion.browserTab()->url.get();
      if (!url) return std::nullopt;
      return url->str();
    }
    case Suggestion::Kind::history:
      return suggestion.historyEntry()->url.str();
  }
  return std::nullopt;
}

std::string SuggestionRow::hint(const Suggestion& suggestion) {
  switch (suggestion.kind()) {
    case Suggestion::Kind::search:
      return localized("Ara");
    case Suggestion::Kind::tab:
      return localized("Sekmeye geç");
    case Suggestion::Kind::open:
    case Suggestion::Kind::history:
      break;
  }
  return localized("Aç");
}

std::optional<std::string> SuggestionRow::tileSymbol(const Suggestion& suggestion) {
  switch (suggestion.kind()) {
    case Suggestion::Kind::open:
      return "globe";
    case Suggestion::Kind::search:
      return "magnifyingglass";
    case Suggestion::Kind::tab:
    case Suggestion::Kind::history:
      break;
  }
  return std::nullopt;
}

SuggestionRow::SuggestionRow(FaviconLoader& favicons, const Suggestion& suggestion, bool isSelected,
                             const Color& accent, SearchEngine engine)
    : tile_("globe", symbolPixelSize(kTilePoints)), favicon_(favicons, kFaviconSize) {
  set_name("SuggestionRow");
  tile_.set_name("SuggestionTile");
  title_.set_name("SuggestionTitle");
  subtitle_.set_name("SuggestionSubtitle");
  hint_.set_name("SuggestionHint");
  hintText_.set_name("SuggestionHintText");
  setAccessibleRole(*this, Gtk::Accessible::Role::BUTTON);
  set_layout_manager(Gtk::BinLayout::create());

  // Both icons fill the frame exactly, the site icon with a margin around it.
  iconFrame_.set_size_request(kIconFrame, kIconFrame);
  iconFrame_.set_valign(Gtk::Align::CENTER);
  const int faviconMargin = static_cast<int>((kIconFrame - kFaviconSize) / 2);
  favicon_.set_margin(faviconMargin);
  iconFrame_.append(tile_);
  iconFrame_.append(favicon_);
  tile_.setBackdrop(
      SymbolGlyph::Backdrop{double(kIconFrame), kTileRadius, {std::nullopt, kTileFill}});

  setLabelFont(title_, 14, Pango::Weight::MEDIUM);
  setLabelFont(subtitle_, 12, Pango::Weight::NORMAL);
  for (Gtk::Label* label : {&title_, &subtitle_}) {
    label->set_xalign(0);
    label->set_single_line_mode(true);
  }
  title_.set_ellipsize(Pango::EllipsizeMode::END);
  subtitle_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  subtitle_.set_opacity(kSecondaryOpacity);
  texts_.append(title_);
  texts_.append(subtitle_);
  texts_.set_valign(Gtk::Align::CENTER);
  texts_.set_hexpand(true);

  setLabelFont(hintText_, 11, Pango::Weight::MEDIUM);
  setLabelFont(returnSymbol_, 11, Pango::Weight::MEDIUM);
  returnSymbol_.set_text(kReturnSymbol);
  hint_.append(hintText_);
  hint_.append(returnSymbol_);
  hint_.set_valign(Gtk::Align::CENTER);
  hint_.set_opacity(kSecondaryOpacity);

  row_.set_margin_start(12);
  row_.set_margin_end(12);
  row_.set_size_request(-1, kHeight);
  row_.append(iconFrame_);
  row_.append(texts_);
  row_.append(hint_);
  row_.set_parent(*this);

  update(suggestion, isSelected, accent, engine);
}

SuggestionRow::~SuggestionRow() { row_.unparent(); }

void SuggestionRow::update(const Suggestion& suggestion, bool isSelected, const Color& accent,
                           SearchEngine engine) {
  if (isSelected != isSelected_ || accent != accent_) queue_draw();
  isSelected_ = isSelected;
  accent_ = accent;

  const auto symbol = tileSymbol(suggestion);
  tile_.set_visible(symbol.has_value());
  favicon_.set_visible(!symbol);
  if (symbol) {
    tile_.setSymbol(*symbol);
    tile_.setInk(isSelected ? SymbolGlyph::Ink{paint::rgba(accent)}
                            : SymbolGlyph::Ink{std::nullopt, kSecondaryOpacity});
  } else if (const auto tab = suggestion.browserTab()) {
    const auto& url = tab->url.get();
    favicon_.set(tab->faviconURL.get(), url ? url->host() : std::nullopt, kFaviconSize);
  } else {
    // A history entry is always drawn from its host alone.
    favicon_.set(std::nullopt, suggestion.historyEntry()->url.host(), kFaviconSize);
  }

  title_.set_text(title(suggestion));
  setAccessibleName(*this, title_.get_text());
  setAccessibleSelected(*this, isSelected);
  const auto second = subtitle(suggestion, engine);
  subtitle_.set_visible(second.has_value());
  subtitle_.set_text(second.value_or(""));
  hintText_.set_text(hint(suggestion));
  hint_.set_visible(isSelected);
}

void SuggestionRow::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  if (isSelected_) {
    GtkSnapshot* s = snapshot->gobj();
    const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
    const GskRoundedRect shape = paint::roundedRect(bounds, kCornerRadius);
    const GdkRGBA tint = paint::rgba(accent_, kSelectedTint);
    paint::appendRoundedFill(s, shape, tint);
  }
  snapshot_child(row_, snapshot);
}

}  // namespace zemblo
