#include "settings/settings_sidebar_row.h"

#include "widgets/accessibility.h"

namespace zemblo {

SettingsSidebarRow::SettingsSidebarRow(SettingsPane pane)
    : pane_(pane), tile_(pane, PaneIconTile::kPaneList), title_(paneTitle(pane)) {
  set_name("SettingsSidebarRow");
  set_size_request(-1, kHeight);
  title_.add_css_class("settings-pane-row-title");
  title_.set_xalign(0);
  title_.set_ellipsize(Pango::EllipsizeMode::END);
  tile_.set_valign(Gtk::Align::CENTER);
  content_.append(tile_);
  content_.append(title_);
  set_child(content_);
  setAccessibleName(*this, paneTitle(pane));
  setAccessibleDescription(*this, paneSubtitle(pane));
}

}  // namespace zemblo
