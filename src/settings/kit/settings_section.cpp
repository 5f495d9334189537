#include "settings/kit/settings_section.h"

#include "settings/kit/row_divider.h"
#include "settings/kit/row_parts.h"

namespace zemblo {
namespace {

Gtk::Label* sectionLabel(const std::string& text, const char* cssClass) {
  auto* label = Gtk::make_managed<Gtk::Label>(text);
  row_parts::wrappingText(*label, {cssClass, "settings-secondary"});
  return label;
}

}  // namespace

SettingsSection::SettingsSection(std::optional<std::string> title,
                                 std::optional<std::string> footer)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 8) {
  set_name("SettingsSection");
  if (title) {
    title_ = sectionLabel(*title, "settings-section-title");
    append(*title_);
  }
  card_.add_css_class("settings-card");
  card_.set_overflow(Gtk::Overflow::HIDDEN);
  append(card_);
  if (footer) {
    footer_ = sectionLabel(*footer, "settings-section-footer");
    append(*footer_);
  }
}

void SettingsSection::addRow(Gtk::Widget& row) {
  RowDivider* divider = nullptr;
  if (!rows_.empty()) {
    divider = Gtk::make_managed<RowDivider>();
    card_.append(*divider);
  }
  card_.append(row);
  rows_.emplace_back(&row, divider);
  row.property_visible().signal_changed().connect(
      sigc::mem_fun(*this, &SettingsSection::updateDividers));
  updateDividers();
}

void SettingsSection::updateDividers() {
  bool visibleAbove = false;
  for (auto& [row, divider] : rows_) {
    const bool visible = row->get_visible();
    if (divider) divider->set_visible(visible && visibleAbove);
    visibleAbove = visibleAbove || visible;
  }
}

}  // namespace zemblo
