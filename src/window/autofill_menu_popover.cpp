#include "window/autofill_menu_popover.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"
#include "widgets/system_color_scheme.h"
#include "window/window_resources.h"

namespace zemblo {
namespace {

bool isModifier(guint keyval) {
  return (keyval >= GDK_KEY_Shift_L && keyval <= GDK_KEY_Hyper_R) ||
         (keyval >= GDK_KEY_ISO_Lock && keyval <= GDK_KEY_ISO_Last_Group_Lock);
}

}  // namespace

struct AutofillMenuPopover::Row {
  // None for the row that says the site has no logins: choosing it chooses nothing.
  std::optional<Uuid> id;
  Gtk::Box box{Gtk::Orientation::HORIZONTAL, 10};
  Gtk::Image key;
  Gtk::Box text{Gtk::Orientation::VERTICAL, 0};
  Gtk::Label name;
  Gtk::Label host;
  Glib::RefPtr<Gtk::GestureClick> click = Gtk::GestureClick::create();
  Glib::RefPtr<Gtk::EventControllerMotion> hover = Gtk::EventControllerMotion::create();

  explicit Row(const AutofillMenu::Row& login)
      : Row(login.id, login.username.empty() ? localized("(kullanıcı adı yok)") : login.username,
            login.host) {}

  // Two lines like a login's, so that the row stands where a login's first row would.
  Row(std::optional<Uuid> login, const Glib::ustring& title, const Glib::ustring& subtitle)
      : id(login) {
    box.add_css_class("autofill-row");
    key.set_from_icon_name(symbolIconName("key.fill"));
    key.set_pixel_size(13);
    key.add_css_class("autofill-key");
    key.set_valign(Gtk::Align::CENTER);
    presentAsDecoration(key);
    name.set_text(title);
    name.add_css_class("autofill-name");
    host.set_text(subtitle);
    host.add_css_class("autofill-host");
    for (Gtk::Label* label : {&name, &host}) {
      label->set_xalign(0);
      label->set_ellipsize(Pango::EllipsizeMode::END);
      label->set_single_line_mode(true);
    }
    text.set_valign(Gtk::Align::CENTER);
    text.set_hexpand(true);
    text.append(name);
    text.append(host);
    box.append(key);
    box.append(text);
    box.add_controller(click);
    box.add_controller(hover);
    setAccessibleRole(box, Gtk::Accessible::Role::MENU_ITEM);
    setAccessibleName(box, subtitle.empty() ? title : title + ", " + subtitle);
  }
};

AutofillMenuPopover::AutofillMenuPopover(const SystemColorScheme& scheme)
    : scheme_(scheme), style_(Gtk::CssProvider::create()) {
  set_name("AutofillMenu");
  groupToolkitParts(*this);
  add_css_class("autofill-menu");
  set_has_arrow(false);
  set_position(Gtk::PositionType::BOTTOM);
  set_offset(0, kGap);
  // The page keeps the focus and the keyboard: the menu neither grabs them nor closes on a
  // click elsewhere; the page's script closes it when the field loses the focus.
  set_autohide(false);
  set_can_focus(false);
  style_->load_from_data(resources::autofillMenuStyleSheet());
  Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), style_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  // Read as the menu of logins it is, each row a choice.
  setAccessibleRole(content_, Gtk::Accessible::Role::MENU);
  heading_.add_css_class("autofill-heading");
  heading_.set_xalign(0);
  content_.append(heading_);
  set_child(content_);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

AutofillMenuPopover::~AutofillMenuPopover() {
  observer_.reset();
  Gtk::StyleContext::remove_provider_for_display(Gdk::Display::get_default(), style_);
}

void AutofillMenuPopover::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  observer_->syncNow();
}

void AutofillMenuPopover::sync() {
  // Without a compositor the shadow's margin and the rounded corners would show black.
  if (gdk_display_is_composited(get_display()->gobj())) {
    remove_css_class("solid");
  } else {
    add_css_class("solid");
  }
  if (scheme_.get() == ColorScheme::dark) {
    add_css_class("dark");
  } else {
    remove_css_class("dark");
  }
  const std::optional<AutofillMenu>* menu = tab_ ? &tab_->autofillMenu.shown.get() : nullptr;
  if (!menu || !*menu) {
    shown_.reset();
    placedAt_.reset();
    if (get_visible()) popdown();
    return;
  }
  if (!shown_ || shown_->rows != (*menu)->rows) rebuild(**menu);
  if (placedAt_ != (*menu)->field) place((*menu)->field);
  shown_ = **menu;
  if (!get_visible()) {
    popup();
    arm();
  }
}

void AutofillMenuPopover::rebuild(const AutofillMenu& menu) {
  heading_.set_text(localized("Zemblo · Kayıtlı şifreler"));
  setAccessibleName(content_, heading_.get_text());
  for (const auto& row : rows_) content_.remove(row->box);
  rows_.clear();
  for (const AutofillMenu::Row& login : menu.rows) rows_.push_back(std::make_unique<Row>(login));
  if (rows_.empty()) {
    rows_.push_back(
        std::make_unique<Row>(std::nullopt, localized("Bu site için kayıtlı şifre yok"), ""));
  }
  for (size_t i = 0; i < rows_.size(); ++i) {
    rows_[i]->click->signal_pressed().connect([this, i](int, double, double) { rowPressed(i); });
    rows_[i]->hover->signal_enter().connect([this, i](double, double) { highlight(i); });
    content_.append(rows_[i]->box);
  }
  highlight(menu.firstHighlight());
  arm();
}

void AutofillMenuPopover::place(const AutofillMenu::Box& field) {
  // The content area shows the web view at its origin, so the view's pixels are the parent's.
  const int width = std::clamp(int(field.width), kMinWidth, kMaxWidth);
  content_.set_size_request(width - 2 * kPadding, -1);
  // The popover is centred on what it points at: a rectangle of its own width starting at the
  // field's left edge puts it flush with the field.
  set_pointing_to(
      Gdk::Rectangle(int(field.x), int(field.y), width, std::max(1, int(field.height))));
  placedAt_ = field;
  arm();
}

void AutofillMenuPopover::arm() {
  armedTime_ = now();
  heldSinceArmed_ = keysDown_;
}

bool AutofillMenuPopover::mayChoose() const {
  const auto& menu = tab_ ? tab_->autofillMenu.shown.peek() : std::nullopt;
  // A field on the move has a menu that is not under it yet.
  return menu && menu->field == placedAt_ && now() - armedTime_ >= kChoiceDelay;
}

void AutofillMenuPopover::choose(size_t index) {
  auto tab = tab_;
  if (tab && index < rows_.size()) tab->autofillMenu.end(rows_[index]->id);
}

void AutofillMenuPopover::highlight(std::optional<size_t> index) {
  highlighted_ = index;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (index == i) {
      rows_[i]->box.add_css_class("active");
    } else {
      rows_[i]->box.remove_css_class("active");
    }
  }
}

void AutofillMenuPopover::rowPressed(size_t index) {
  if (mayChoose()) choose(index);
}

void AutofillMenuPopover::close() {
  if (auto tab = tab_) tab->autofillMenu.end();
}

void AutofillMenuPopover::keyReleased(guint keycode) {
  keysDown_.erase(keycode);
  heldSinceArmed_.erase(keycode);
}

bool AutofillMenuPopover::handleKey(guint keyval, guint keycode) {
  // A press of a key that is down already is its repeat.
  const bool repeat = heldSinceArmed_.contains(keycode);
  keysDown_.insert(keycode);
  // The tab's menu, not what is on screen yet: a key right after the menu closed is the page's.
  const bool open = tab_ && tab_->autofillMenu.shown.peek() && shown_ && !rows_.empty();
  if (!open) return false;
  const size_t count = rows_.size();
  switch (keyval) {
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      highlight(highlighted_ ? (*highlighted_ + 1) % count : 0);
      return true;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      highlight(highlighted_ ? (*highlighted_ + count - 1) % count : count - 1);
      return true;
    case GDK_KEY_Escape:
      close();
      return true;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      if (highlighted_ && !repeat && mayChoose()) {
        choose(*highlighted_);
        return true;
      }
      close();
      return false;
    default:
      if (!isModifier(keyval)) close();
      return false;
  }
}

}  // namespace zemblo
