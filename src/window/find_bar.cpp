#include "window/find_bar.h"

#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/window_model.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {
namespace {

constexpr unsigned kMaxMatchCount = 1000;
constexpr int kFieldWidth = 180;

Gtk::Button& symbolButton(Gtk::Button& button, const char* icon) {
  button.set_icon_name(icon);
  button.add_css_class("flat");
  button.add_css_class("find-bar-button");
  button.set_focus_on_click(false);
  button.set_valign(Gtk::Align::CENTER);
  return button;
}

}  // namespace

FindBar::FindBar(WindowModel& tabs, const SystemColorScheme& scheme)
    : tabs_(tabs), scheme_(scheme) {
  set_name("FindBar");
  groupForScreenReaders(*this);
  set_layout_manager(Gtk::BinLayout::create());
  set_halign(Gtk::Align::END);
  set_valign(Gtk::Align::START);

  icon_.set_from_icon_name("edit-find-symbolic");
  presentAsDecoration(icon_);
  icon_.add_css_class("fg-secondary");

  presentAsTextField(field_);
  field_.set_size_request(kFieldWidth, -1);
  field_.set_width_chars(1);
  field_.set_max_width_chars(1);
  field_.set_hexpand(false);
  field_.set_valign(Gtk::Align::CENTER);
  field_.signal_changed().connect([this] {
    if (!resetting_) find(false);
  });
  auto keys = Gtk::EventControllerKey::create();
  keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  keys->signal_key_pressed().connect(
      [this](guint keyval, guint, Gdk::ModifierType state) { return keyPressed(keyval, state); },
      false);
  add_controller(keys);

  notFoundLabel_.add_css_class("find-not-found");
  notFoundLabel_.add_css_class("fg-secondary");
  divider_.set_size_request(-1, 16);
  divider_.set_valign(Gtk::Align::CENTER);

  symbolButton(previousButton_, "go-up-symbolic").signal_clicked().connect([this] { find(true); });
  symbolButton(nextButton_, "go-down-symbolic").signal_clicked().connect([this] { find(false); });
  symbolButton(closeButton_, "window-close-symbolic").signal_clicked().connect([this] { close(); });

  row_.set_margin_start(14);
  row_.set_margin_end(14);
  row_.set_margin_top(8);
  row_.set_margin_bottom(8);
  for (Gtk::Widget* child :
       std::initializer_list<Gtk::Widget*>{&icon_, &field_, &notFoundLabel_, &divider_,
                                           &previousButton_, &nextButton_, &closeButton_}) {
    child->set_valign(Gtk::Align::CENTER);
    row_.append(*child);
  }
  row_.set_parent(*this);

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

FindBar::~FindBar() {
  observer_.reset();
  row_.unparent();
}

void FindBar::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  ++latestSearch_;  // answers about another page must not reach this one
}

void FindBar::sync() {
  setPlaceholder(field_, localized("Sayfada bul"));
  // The buttons show only symbols and have no tooltips: their names are for screen readers.
  setAccessibleName(previousButton_, localized("Önceki eşleşme"));
  setAccessibleName(nextButton_, localized("Sonraki eşleşme"));
  setAccessibleName(closeButton_, localized("Bul çubuğunu kapat"));
  notFoundLabel_.set_text(localized("Bulunamadı"));
  notFoundLabel_.set_visible(notFound_.get());
}

std::string FindBar::query() const { return field_.get_text(); }

void FindBar::find(bool backwards) {
  const std::string text = query();
  if (text.empty()) {
    notFound_.set(false);
    return;
  }
  WebViewPort* page = tab_ ? tab_->webView() : nullptr;
  if (!page) {
    // There is no page to search: the same as a search that failed.
    notFound_.set(true);
    return;
  }
  const uint64_t search = ++latestSearch_;
  page->findText(text, backwards, kMaxMatchCount,
                 [this, alive = alive_.watch(), search](std::optional<unsigned> count) {
                   if (!alive.expired()) answered(search, count);
                 });
}

void FindBar::answered(uint64_t search, std::optional<unsigned> matchCount) {
  // An older search's answer, or one that arrives after the field was emptied, is dropped.
  if (search != latestSearch_ || query().empty()) return;
  notFound_.set(!matchCount);
}

void FindBar::submit(bool shiftHeld) { find(shiftHeld); }

void FindBar::close() { tabs_.findBarVisible.set(false); }

void FindBar::focusField() {
  focusWhenMapped_ = !get_mapped();
  if (get_mapped()) field_.grab_focus();
}

void FindBar::reset() {
  resetting_ = true;
  field_.set_text("");
  resetting_ = false;
  notFound_.set(false);
  ++latestSearch_;
}

bool FindBar::keyPressed(guint keyval, Gdk::ModifierType state) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      if (!field_.has_focus()) return false;  // a focused button activates itself
      submit((state & Gdk::ModifierType::SHIFT_MASK) == Gdk::ModifierType::SHIFT_MASK);
      return true;
    case GDK_KEY_Escape:
      close();
      return true;
    default:
      return false;
  }
}

void FindBar::on_map() {
  Gtk::Widget::on_map();
  if (focusWhenMapped_) {
    focusWhenMapped_ = false;
    field_.grab_focus();
  }
}

void FindBar::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  static const paint::Glass kGlass{.shadowOpacity = 0.12,
                                   .shadowOffset = 4,
                                   .shadowBlur = 16,
                                   .lightFillOpacity = 0.92f,
                                   .darkFillOpacity = 0.9f,
                                   .edgeWidth = 0.5,
                                   .lightEdge = paint::grey(0, 0.1),
                                   .darkEdge = paint::grey(1, 0.1)};
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  paint::appendGlass(s, *this, paint::roundedRect(bounds, get_height() / 2.0), kGlass,
                     scheme_.get());
  snapshot_child(row_, snapshot);
}

}  // namespace zemblo
