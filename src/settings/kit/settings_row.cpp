#include "settings/kit/settings_row.h"

#include "settings/kit/row_parts.h"
#include "widgets/accessibility.h"

namespace zemblo {

SettingsRow::SettingsRow(std::string title, std::optional<std::string> subtitle,
                         std::optional<std::string> symbol)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12), title_(title) {
  set_name("SettingsRow");
  add_css_class("settings-row");
  if (symbol) append(*row_parts::makeIcon(*symbol));
  row_parts::wrappingText(title_, {"settings-row-title"});
  subtitle_.set_name("RowSubtitle");
  row_parts::wrappingText(subtitle_, {"settings-row-subtitle", "settings-secondary"});
  texts_.set_valign(Gtk::Align::CENTER);
  texts_.set_hexpand(true);
  // The least room between the texts and the control.
  texts_.set_margin_end(12);
  texts_.append(title_);
  texts_.append(subtitle_);
  append(texts_);
  setSubtitle(std::move(subtitle));
}

void SettingsRow::setAccessory(Gtk::Widget& accessory, bool namedByRow) {
  if (accessory_) remove(*accessory_);
  accessory_ = &accessory;
  accessoryNamedByRow_ = namedByRow;
  accessory.set_valign(Gtk::Align::CENTER);
  // Buttons beside a row are drawn in the small control size.
  if (dynamic_cast<Gtk::Button*>(&accessory)) accessory.add_css_class("settings-small");
  append(accessory);
  describeAccessory();
}

void SettingsRow::setSubtitle(std::optional<std::string> subtitle) {
  subtitle_.set_text(subtitle.value_or(""));
  subtitle_.set_visible(subtitle.has_value());
  describeAccessory();
}

void SettingsRow::describeAccessory() {
  if (!accessory_) return;
  const std::string title = title_.get_text();
  if (accessoryNamedByRow_) {
    setAccessibleName(*accessory_, title);
    if (subtitle_.get_visible()) setAccessibleDescription(*accessory_, subtitle_.get_text());
  } else {
    setAccessibleDescription(*accessory_, title);
  }
}

}  // namespace zemblo
