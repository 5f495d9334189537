#include "settings/panes/shortcut_row.h"

#include "model/localization.h"
#include "settings/kit/key_cap.h"
#include "settings/kit/row_parts.h"

namespace zemblo {
namespace {

constexpr int kHorizontalPadding = 14;
constexpr int kVerticalPadding = 9;

}  // namespace

ShortcutRow::ShortcutRow(const KeyboardShortcut& shortcut)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 8), title_(shortcut.title) {
  set_name("ShortcutRow");
  row_parts::pad(*this, kHorizontalPadding, kVerticalPadding);
  title_.add_css_class("settings-row-title");
  title_.set_xalign(0);
  title_.set_hexpand(true);
  title_.set_wrap(true);
  append(title_);
  caps_.set_valign(Gtk::Align::CENTER);
  for (const std::string& key : shortcut.keys) caps_.append(*Gtk::make_managed<KeyCap>(key));
  append(caps_);
  if (shortcut.alternativeKeys.empty()) return;
  or_.set_text(localized("veya"));
  or_.add_css_class("dim-label");
  append(or_);
  alternativeCaps_.set_valign(Gtk::Align::CENTER);
  for (const std::string& key : shortcut.alternativeKeys) {
    alternativeCaps_.append(*Gtk::make_managed<KeyCap>(key));
  }
  append(alternativeCaps_);
}

}  // namespace zemblo
