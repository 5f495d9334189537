#include "sidebar/space_header.h"

#include <algorithm>

#include "model/localization.h"
#include "model/space.h"
#include "model/window_model.h"
#include "widgets/accessibility.h"
#include "widgets/hover.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr double kHoverSeconds = 0.15;
constexpr double kClearOpacity = 0.6;

}  // namespace

SpaceHeader::SpaceHeader(const SidebarContext& context)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 6), context_(context) {
  set_name("SpaceHeader");
  // The row's padding lies inside its height and inside the area that shows the clear button.
  set_size_request(-1, kHeight);
  Pango::AttrList attributes;
  auto size = Pango::Attribute::create_attr_size_absolute(12 * PANGO_SCALE);
  auto weight = Pango::Attribute::create_attr_weight(Pango::Weight::SEMIBOLD);
  attributes.insert(size);
  attributes.insert(weight);
  name_.set_attributes(attributes);
  name_.set_name("SpaceHeaderName");
  name_.set_opacity(0.6);
  name_.set_ellipsize(Pango::EllipsizeMode::END);
  spacer_.set_hexpand(true);
  append(name_);
  append(spacer_);

  auto* label = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 4);
  auto* arrow = Gtk::make_managed<Gtk::Image>();
  arrow->set_from_icon_name(symbolIconName("arrow.down"));
  arrow->set_pixel_size(symbolPixelSize(11));
  auto* text = Gtk::make_managed<Gtk::Label>();
  text->set_name("SpaceHeaderClearText");
  label->append(*text);
  label->append(*arrow);
  clear_.set_child(*label);
  // A plain text button: it fits in the row, which keeps its height when the button comes in.
  clear_.add_css_class("space-clear");
  clear_.set_valign(Gtk::Align::CENTER);
  clear_.set_has_frame(false);
  clear_.set_visible(false);
  clear_.set_focus_on_click(false);
  clear_.signal_clicked().connect([this] { context_.tabs.closeAllTabsInCurrentSpace(); });
  append(clear_);

  trackHover(*this, [this](bool hovering) { setHovering(hovering); });
  clearPresence_ = std::make_unique<AnimatedValue>(*this, 0, [this] { clearPresenceChanged(); });
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

void SpaceHeader::clearPresenceChanged() {
  const double presence = std::clamp(clearPresence_->value(), 0.0, 1.0);
  clear_.set_opacity(kClearOpacity * presence);
  // It leaves the row once it has faded out.
  clear_.set_visible(presence > 0 || clearPresence_->target() > 0);
}

SpaceHeader::~SpaceHeader() {
  observer_.reset();
  if (symbol_) remove(*symbol_);
}

void SpaceHeader::setHovering(bool hovering) { hovering_.set(hovering); }

void SpaceHeader::sync() {
  auto space = context_.tabs.currentSpace();
  const std::string& symbol = space->symbol.get();
  if (!symbol_ || symbol != symbolName_) {
    if (symbol_) remove(*symbol_);
    symbol_ = std::make_unique<GradientSymbol>(symbol, symbolPixelSize(11));
    symbol_->set_name("SpaceHeaderSymbol");
    symbol_->set_valign(Gtk::Align::CENTER);
    prepend(*symbol_);
    symbolName_ = symbol;
  }
  space->colorA.get();
  space->colorB.get();
  symbol_->setGradient(space->gradient());
  name_.set_text(space->name.get());  // as typed, never translated
  const std::string help = localized("Bu alandaki tüm sekmeleri kapat");
  setTooltipText(clear_, help);
  setAccessibleName(clear_, localized("Temizle"));
  if (auto* text = dynamic_cast<Gtk::Label*>(clear_.get_child()->get_first_child())) {
    text->set_text(localized("Temizle"));
  }
  const bool offered = hovering_.get() && !space->tabs.get().empty();
  if (offered) clear_.set_visible(true);
  clearPresence_->easeTo(offered ? 1 : 0, kHoverSeconds, Ease::out);
  clearPresenceChanged();
}

}  // namespace zemblo
