#include "passwords/locked_passwords_view.h"

#include "model/app_preferences.h"
#include "model/browser_windows.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

LockedPasswordsView::LockedPasswordsView(const PreferencesModel& preferences,
                                         const BrowserWindows& windows,
                                         const SystemColorScheme& scheme, Actions actions)
    : preferences_(preferences), windows_(windows), actions_(std::move(actions)), scheme_(scheme) {
  add_css_class("locked-passwords");
  set_child(aurora_);

  lockSymbol_.set_from_icon_name(symbolIconName("lock.fill"));
  lockSymbol_.set_pixel_size(symbolPixelSize(30));
  lockSymbol_.add_css_class("lock-badge-symbol");
  badge_.set_halign(Gtk::Align::CENTER);
  badge_.set_margin_bottom(6);

  title_.set_text(localized("Şifreler kilitli"));
  title_.set_name("LockTitle");
  title_.add_css_class("lock-title");
  explanation_.set_text(localized("Kayıtlı şifrelerini görmek için hesap parolanı kullan."));
  explanation_.set_name("LockExplanation");
  explanation_.add_css_class("lock-explanation");
  explanation_.add_css_class("dim-label");
  error_.set_name("LockError");
  error_.add_css_class("lock-error");
  notice_.add_css_class("lock-notice");
  for (Gtk::Label* label : {&explanation_, &error_, &notice_}) label->set_max_width_chars(44);

  password_.set_show_peek_icon(true);
  password_.property_activates_default() = true;
  password_.set_size_request(280, -1);
  password_.set_halign(Gtk::Align::CENTER);
  password_.set_margin_top(8);
  password_.property_placeholder_text() = localized("Hesap parolası");
  setAccessibleName(password_, localized("Hesap parolası"));

  import_.set_label(localized("İçe Aktar…"));
  import_.add_css_class("pill");
  import_.signal_clicked().connect([this] { actions_.importAction(); });

  unlockSymbol_.set_from_icon_name(symbolIconName("lock.open.fill"));
  presentAsDecoration(unlockSymbol_);
  presentAsDecoration(spinner_);
  unlockText_.set_text(localized("Kilidi Aç"));
  unlockLabel_.append(unlockSymbol_);
  unlockLabel_.append(unlockText_);
  unlockContent_.add(unlockLabel_, "unlock", localized("Kilidi Aç"));
  unlockContent_.add(spinner_, "checking", localized("Kimlik doğrulanıyor…"));
  unlockContent_.set_hhomogeneous(false);
  unlock_.set_child(unlockContent_);
  unlock_.add_css_class("pill");
  unlock_.add_css_class("suggested-action");
  setAccessibleName(unlock_, localized("Kilidi Aç"));
  unlock_.signal_clicked().connect([this] { actions_.unlock(); });

  buttons_.set_halign(Gtk::Align::CENTER);
  buttons_.set_margin_top(8);
  buttons_.append(import_);
  buttons_.append(unlock_);

  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{
           &badge_, &title_, &explanation_, &error_, &notice_, &password_, &buttons_}) {
    column_.append(*child);
  }
  column_.set_margin(40);
  column_.set_halign(Gtk::Align::CENTER);
  column_.set_valign(Gtk::Align::CENTER);
  add_overlay(column_);

  auto escape = Gtk::ShortcutController::create();
  escape->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  escape->add_shortcut(Gtk::Shortcut::create(
      Gtk::KeyvalTrigger::create(GDK_KEY_Escape, Gdk::ModifierType(0)),
      Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
        actions_.cancel();
        return true;
      })));
  add_controller(escape);

  show({});
  // The field's own symbols (the one that shows the password takes clicks only; the field's menu
  // does the same from the keyboard).
  for (Gtk::Widget* part = password_.get_first_child(); part; part = part->get_next_sibling()) {
    if (dynamic_cast<Gtk::Image*>(part)) presentAsDecoration(*part);
  }
  groupToolkitParts(*this);
  observer_ = std::make_unique<Observer>([this] { syncTheme(); });
}

LockedPasswordsView::~LockedPasswordsView() {
  observer_.reset();
  remove_overlay(column_);
  unset_child();
}

void LockedPasswordsView::syncTheme() {
  const Palette palette = themeColors(preferences_, windows_.first());
  aurora_.update(palette.primary, palette.secondary, 1.0, true, scheme_.get());
  badge_.setFill(gradient(palette.direction, palette.primary, palette.secondary));
  badge_.setShadow(GradientTile::Shadow{palette.primary, 0.4, 16, 8});
}

void LockedPasswordsView::show(const Status& status) {
  error_.set_text(status.error.value_or(""));
  error_.set_visible(status.error.has_value());
  notice_.set_text(status.notice.value_or(""));
  notice_.set_visible(status.notice.has_value());
  password_.property_placeholder_text() = status.prompt.value_or(localized("Hesap parolası"));
  // The button stays enabled while the system checks; a press then does nothing.
  const bool checking = status.authenticating && !status.awaitingAnswer;
  unlockContent_.set_visible_child(checking ? static_cast<Gtk::Widget&>(spinner_)
                                            : static_cast<Gtk::Widget&>(unlockLabel_));
  spinner_.set_spinning(checking);
  // A screen reader tells the user that the system's password prompt is under way.
  gtk_accessible_update_state(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_STATE_BUSY,
                              status.authenticating, -1);
}

}  // namespace zemblo
