#include "settings/panes/site_permission_row.h"

#include "model/localization.h"
#include "widgets/accessibility.h"

namespace zemblo {

SitePermissionRow::SitePermissionRow(FaviconLoader& favicons, const std::string& origin,
                                     PermissionKind kind, PermissionDecision decision,
                                     std::function<void()> remove)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 10), icon_(favicons, 18) {
  set_name("SitePermissionRow");
  set_margin_start(14);
  set_margin_end(14);
  set_margin_top(9);
  set_margin_bottom(9);
  const std::string host = siteHost(origin);
  icon_.set(std::nullopt, host, 18);
  icon_.set_valign(Gtk::Align::CENTER);
  // The whole origin: the same host on another port or scheme is another site.
  title_.set_text(origin);
  title_.add_css_class("settings-row-title");
  const std::string answer =
      permissionName(kind) + " · " +
      localized(decision == PermissionDecision::allow ? "İzin verildi" : "Engellendi");
  subtitle_.set_text(answer);
  subtitle_.add_css_class("settings-secondary");
  for (Gtk::Label* label : {&title_, &subtitle_}) {
    label->set_xalign(0);
    label->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    text_.append(*label);
  }
  text_.set_hexpand(true);
  text_.set_valign(Gtk::Align::CENTER);
  remove_.set_label(localized("Kaldır"));
  remove_.add_css_class("settings-small");
  remove_.set_valign(Gtk::Align::CENTER);
  setAccessibleName(remove_, localized("Kaldır") + ": " + host + ", " + permissionName(kind));
  remove_.signal_clicked().connect(std::move(remove));
  append(icon_);
  append(text_);
  append(remove_);
}

}  // namespace zemblo
