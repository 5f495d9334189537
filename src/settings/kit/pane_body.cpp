#include "settings/kit/pane_body.h"

namespace zemblo {

PaneBody::PaneBody(SettingsPane pane)
    : Gtk::Box(Gtk::Orientation::VERTICAL, kSpacing), header_(pane) {
  set_name("PaneBody");
  append(header_);
}

SettingsSection& PaneBody::addSection(std::optional<std::string> title,
                                      std::optional<std::string> footer) {
  auto* section = Gtk::make_managed<SettingsSection>(std::move(title), std::move(footer));
  append(*section);
  return *section;
}

}  // namespace zemblo
