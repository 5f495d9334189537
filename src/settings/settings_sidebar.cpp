#include "settings/settings_sidebar.h"

#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "settings/kit/binding.h"
#include "widgets/accessibility.h"

#ifndef ZEMBLO_VERSION
#define ZEMBLO_VERSION ""
#endif

namespace zemblo {

SettingsSidebar::SettingsSidebar(const SettingsContext& context, SettingsPane selected,
                                 std::function<void(SettingsPane)> choose)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 16),
      context_(context),
      choose_(std::move(choose)),
      tagline_(localized("Zemblo'u kişiselleştir")),
      footer_(footerText()) {
  set_name("SettingsSidebar");
  add_css_class("settings-sidebar");
  set_size_request(kWidth, -1);

  greeting_.add_css_class("settings-greeting");
  brand_.set_valign(Gtk::Align::CENTER);
  name_.add_css_class("settings-greeting-name");
  name_.set_ellipsize(Pango::EllipsizeMode::END);
  name_.set_xalign(0);
  tagline_.add_css_class("settings-greeting-line");
  tagline_.add_css_class("settings-secondary");
  tagline_.set_xalign(0);
  tagline_.set_ellipsize(Pango::EllipsizeMode::END);
  greetingTexts_.set_valign(Gtk::Align::CENTER);
  greetingTexts_.append(name_);
  greetingTexts_.append(tagline_);
  greeting_.append(brand_);
  greeting_.append(greetingTexts_);
  append(greeting_);

  list_.add_css_class("settings-pane-list");
  list_.set_selection_mode(Gtk::SelectionMode::SINGLE);
  list_.set_activate_on_single_click(true);
  setAccessibleName(list_, localized("Ayarlar"));
  for (SettingsPane pane : allCases<SettingsPane>()) {
    auto* row = Gtk::make_managed<SettingsSidebarRow>(pane);
    rows_.push_back(row);
    list_.append(*row);
  }
  list_.signal_row_selected().connect([this](Gtk::ListBoxRow* row) {
    if (showing_ || !row) return;
    choose_(static_cast<SettingsSidebarRow*>(row)->pane());
  });
  append(list_);

  spacer_.set_vexpand(true);
  append(spacer_);
  footer_.set_name("SettingsFooter");
  footer_.add_css_class("settings-footer");
  footer_.add_css_class("settings-tertiary");
  footer_.set_xalign(0);
  append(footer_);

  showSelected(selected);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SettingsSidebar::~SettingsSidebar() { observer_.reset(); }

std::string SettingsSidebar::footerText() {
  return std::string("Zemblo Browser ") + ZEMBLO_VERSION;
}

SettingsSidebarRow& SettingsSidebar::row(SettingsPane pane) {
  return *rows_.at(static_cast<size_t>(pane));
}

void SettingsSidebar::showSelected(SettingsPane pane) {
  ShowingModelValue showing(showing_);
  list_.select_row(row(pane));
}

void SettingsSidebar::sync() {
  const std::string name = context_.preferences().prefs().effectiveGreetingName();
  name_.set_text(name.empty() ? localized("Merhaba") : name);
  brand_.set(BrandTile::initial(name), themeColors(context_.preferences(), context_.tabs()));
}

}  // namespace zemblo
