#include "settings/kit/pane_header.h"

#include "settings/kit/row_parts.h"

namespace zemblo {

PaneHeader::PaneHeader(SettingsPane pane)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 14),
      tile_(pane, PaneIconTile::kHeader),
      title_(paneTitle(pane)),
      subtitle_(paneSubtitle(pane)) {
  set_name("PaneHeader");
  set_margin_bottom(4);
  tile_.set_valign(Gtk::Align::CENTER);
  title_.set_name("PaneTitle");
  row_parts::wrappingText(title_, {"settings-pane-title"});
  subtitle_.set_name("PaneSubtitle");
  row_parts::wrappingText(subtitle_, {"settings-pane-subtitle", "settings-secondary"});
  texts_.set_valign(Gtk::Align::CENTER);
  texts_.append(title_);
  texts_.append(subtitle_);
  append(tile_);
  append(texts_);
}

}  // namespace zemblo
