#include "window/load_error_view.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

void LimitedLabel::measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum,
                                 int& natural, int& minimum_baseline, int& natural_baseline) const {
  const bool horizontal = orientation == Gtk::Orientation::HORIZONTAL;
  if (!horizontal && limit_ >= 0 && (for_size < 0 || for_size > limit_)) for_size = limit_;
  Gtk::Label::measure_vfunc(orientation, for_size, minimum, natural, minimum_baseline,
                            natural_baseline);
  if (horizontal && limit_ >= 0) {
    natural = std::min(natural, limit_);
    minimum = std::min(minimum, natural);
  }
}

LoadErrorView::LoadErrorView() {
  set_name("LoadErrorView");
  set_layout_manager(Gtk::BinLayout::create());
  add_css_class("zemblo-load-error");

  icon_.set_from_icon_name(symbolIconName("wifi.exclamationmark"));
  icon_.set_pixel_size(symbolPixelSize(44));
  icon_.set_margin_bottom(4);
  icon_.add_css_class("fg-secondary");

  title_.add_css_class("title");
  title_.add_css_class("font-rounded");
  title_.set_justify(Gtk::Justification::CENTER);
  title_.set_wrap(true);

  message_.setWidthLimit(kMessageMaxWidth);
  message_.add_css_class("message");
  message_.add_css_class("fg-secondary");
  message_.set_wrap(true);
  message_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  message_.set_justify(Gtk::Justification::CENTER);
  message_.set_selectable(false);

  host_.add_css_class("host");
  host_.add_css_class("fg-tertiary");
  host_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  host_.set_max_width_chars(48);

  retryButton_.add_css_class("pill");
  retryButton_.add_css_class("suggested-action");
  retryButton_.add_css_class("retry");
  retryButton_.set_margin_top(6);
  retryButton_.set_halign(Gtk::Align::CENTER);
  retryButton_.signal_clicked().connect([this] { retry(); });

  column_.set_halign(Gtk::Align::CENTER);
  column_.set_valign(Gtk::Align::CENTER);
  column_.set_margin(40);
  column_.append(icon_);
  column_.append(title_);
  column_.append(message_);
  column_.append(host_);
  column_.append(retryButton_);
  column_.set_parent(*this);

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

LoadErrorView::~LoadErrorView() {
  observer_.reset();
  column_.unparent();
}

void LoadErrorView::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  observer_->syncNow();
}

void LoadErrorView::sync() {
  const auto error = tab_ ? tab_->loadError.get() : std::nullopt;
  const bool appearing = error.has_value() && !get_visible();
  set_visible(error.has_value());
  if (!error) return;
  if (appearing) takeFocusFromTheCard();
  title_.set_text(localized("Bu sayfaya ulaşılamadı"));
  retryButton_.set_label(localized("Tekrar Dene"));
  // The message and the host are shown as they come, never translated or read as markup.
  message_.set_text(error->message);
  const auto host = hostLine(*tab_);
  host_.set_visible(host.has_value());
  host_.set_text(host.value_or(""));
}

void LoadErrorView::takeFocusFromTheCard() {
  // Whoever typed the address or worked in the page goes on with the keyboard here; focus the
  // user put elsewhere (the sidebar, the command bar) stays where it is.
  auto* root = dynamic_cast<Gtk::Window*>(get_root());
  Gtk::Widget* card = get_parent();
  if (!root || !card) return;
  Gtk::Widget* focus = root->get_focus();
  if (!focus || focus == card || focus->is_ancestor(*card)) retryButton_.grab_focus();
}

void LoadErrorView::retry() {
  if (tab_) tab_->reload();
}

std::optional<std::string> LoadErrorView::hostLine(const BrowserTab& tab) {
  const auto& error = tab.loadError.peek();
  if (!error || !error->url) return std::nullopt;
  return error->url->host();
}

}  // namespace zemblo
