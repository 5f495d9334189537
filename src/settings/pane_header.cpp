#include "settings/pane_header.h"

namespace zemblo {

PaneHeader::PaneHeader(SettingsPane pane)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 14),
      pane_(pane),
      tile_(pane, PaneIconTile::kHeader),
      title_(paneTitle(pane)),
      subtitle_(paneSubtitle(pane)) {
  set_name("PaneHeader");
  set_margin_bottom(4);
  tile_.set_valign(Gtk::Align::CENTER);
  title_.add_css_class("settings-pane-title");
  subtitle_.add_css_class("settings-pane-subtitle");
  subtitle_.add_css_class("settings-secondary");
  for (Gtk::Label* label : {&title_, &subtitle_}) {
    label->set_xalign(0);
    label->set_wrap(true);
    label->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  }
  texts_.set_valign(Gtk::Align::CENTER);
  texts_.append(title_);
  texts_.append(subtitle_);
  append(tile_);
  append(texts_);
}

}  // namespace zemblo
