#include "settings/panes/allowed_site_row.h"

#include "model/localization.h"
#include "widgets/accessibility.h"

namespace zemblo {

AllowedSiteRow::AllowedSiteRow(FaviconLoader& favicons, const std::string& host,
                               std::function<void()> remove)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 10), icon_(favicons, 18) {
  set_name("AllowedSiteRow");
  set_margin_start(14);
  set_margin_end(14);
  set_margin_top(9);
  set_margin_bottom(9);
  icon_.set(std::nullopt, host, 18);
  icon_.set_valign(Gtk::Align::CENTER);
  // A host is shown as it is stored, never translated.
  label_.set_text(host);
  label_.add_css_class("settings-row-title");
  label_.set_xalign(0);
  label_.set_hexpand(true);
  label_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  remove_.set_label(localized("Kaldır"));
  remove_.add_css_class("settings-small");
  remove_.set_valign(Gtk::Align::CENTER);
  // Every row has one: the name says which site each takes away.
  setAccessibleName(remove_, withArgument(localized("%@ sitesini kaldır"), host));
  remove_.signal_clicked().connect(std::move(remove));
  append(icon_);
  append(label_);
  append(remove_);
}

}  // namespace zemblo
