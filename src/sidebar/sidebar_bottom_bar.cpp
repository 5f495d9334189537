#include "sidebar/sidebar_bottom_bar.h"

#include "model/localization.h"

namespace zemblo {

std::string settingsHelpText() { return localized("Ayarlar") + " (Ctrl+,)"; }

SidebarBottomBar::SidebarBottomBar(const SidebarContext& context)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 4),
      context_(context),
      downloads_(context),
      passwords_("key", localized("Şifreler (Ctrl+Alt+P)"), true,
                 [this] { activate("app.passwords"); }),
      darkMode_(context),
      switcher_(context),
      settings_("gearshape", settingsHelpText(), true, [this] { activate("app.settings"); }) {
  set_name("SidebarBottomBar");
  set_size_request(-1, kHeight);
  leadingSpacer_.set_hexpand(true);
  trailingSpacer_.set_hexpand(true);
  switcher_.set_valign(Gtk::Align::CENTER);
  for (Gtk::Widget* child :
       std::initializer_list<Gtk::Widget*>{&downloads_, &passwords_, &darkMode_, &leadingSpacer_,
                                           &switcher_, &trailingSpacer_, &settings_}) {
    child->set_valign(Gtk::Align::CENTER);
    append(*child);
  }
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SidebarBottomBar::~SidebarBottomBar() { observer_.reset(); }

void SidebarBottomBar::sync() {
  context_.scheme();
  passwords_.update(localized("Şifreler (Ctrl+Alt+P)"), true);
  settings_.update(settingsHelpText(), true);
}

void SidebarBottomBar::activate(const char* action) { activate_action(action); }

}  // namespace zemblo
