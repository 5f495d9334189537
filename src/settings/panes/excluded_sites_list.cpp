#include "settings/panes/excluded_sites_list.h"

#include <algorithm>

#include "model/localization.h"
#include "model/preferences_model.h"
#include "settings/kit/row_parts.h"
#include "widgets/accessibility.h"
#include "widgets/favicon_view.h"

namespace zemblo {
namespace {

constexpr int kHorizontalPadding = 14;
constexpr int kVerticalPadding = 12;
constexpr int kRowSpacing = 10;
constexpr double kIconSize = 16;

}  // namespace

ExcludedSitesList::ExcludedSitesList(PreferencesModel& preferences, FaviconLoader& favicons)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 8),
      preferences_(preferences),
      favicons_(favicons),
      heading_(localized("Karanlık modun kapalı olduğu siteler")) {
  set_name("ExcludedSitesList");
  row_parts::pad(*this, kHorizontalPadding, kVerticalPadding);
  heading_.set_xalign(0);
  heading_.add_css_class("settings-list-heading");
  heading_.add_css_class("settings-secondary");
  append(heading_);
  append(rows_);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ExcludedSitesList::~ExcludedSitesList() { observer_.reset(); }

void ExcludedSitesList::remove(PreferencesModel& preferences, const std::string& host) {
  preferences.updatePrefs(
      [&](AppPreferences& prefs) { std::erase(prefs.darkDisabledHosts, host); });
}

void ExcludedSitesList::sync() {
  std::vector<std::string> hosts = preferences_.prefs().darkDisabledHosts;
  std::sort(hosts.begin(), hosts.end());
  // A host stored twice is one site: one row, and one press takes both entries away.
  hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());
  if (hosts == shown_) return;
  shown_ = std::move(hosts);
  while (Gtk::Widget* row = rows_.get_first_child()) rows_.remove(*row);
  for (const std::string& host : shown_) {
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kRowSpacing);
    auto* icon = Gtk::make_managed<FaviconView>(favicons_, kIconSize);
    icon->set(std::nullopt, host, kIconSize);
    icon->set_valign(Gtk::Align::CENTER);
    auto* name = Gtk::make_managed<Gtk::Label>(host);
    name->set_xalign(0);
    name->set_hexpand(true);
    name->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    name->add_css_class("settings-row-title");
    auto* remove = Gtk::make_managed<Gtk::Button>(localized("Kaldır"));
    remove->add_css_class("settings-small");
    remove->set_valign(Gtk::Align::CENTER);
    // Every row has one: the name says which site each takes away.
    setAccessibleName(*remove, withArgument(localized("%@ sitesini kaldır"), host));
    remove->signal_clicked().connect(
        [this, host] { ExcludedSitesList::remove(preferences_, host); });
    row->append(*icon);
    row->append(*name);
    row->append(*remove);
    rows_.append(*row);
  }
}

}  // namespace zemblo
