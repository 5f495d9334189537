#include "widgets/named_drop_down_items.h"

#include <memory>
#include <set>
#include <string_view>

#include "widgets/accessibility.h"

namespace zemblo {
namespace {

struct ShownItems {
  Gtk::DropDown& dropDown;
  std::set<Glib::RefPtr<Gtk::ListItem>> bound;

  static Gtk::Widget* checkMark(const Glib::RefPtr<Gtk::ListItem>& item) {
    return item->get_child() ? item->get_child()->get_last_child() : nullptr;
  }
  void showCheckMark(const Glib::RefPtr<Gtk::ListItem>& item) const {
    if (Gtk::Widget* check = checkMark(item)) {
      check->set_opacity(item->get_position() == dropDown.get_selected() ? 1 : 0);
    }
  }
};

// The toolkit's arrow on the button, unnamed, would be announced by its type name.
void hideArrows(GtkWidget* widget) {
  if (std::string_view(G_OBJECT_TYPE_NAME(widget)) == "GtkBuiltinIcon") {
    gtk_accessible_update_state(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_STATE_HIDDEN, TRUE, -1);
  }
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    hideArrows(child);
  }
}

}  // namespace

void nameDropDownItems(Gtk::DropDown& dropDown) {
  auto shown = std::make_shared<ShownItems>(ShownItems{dropDown, {}});
  auto factory = Gtk::SignalListItemFactory::create();
  factory->signal_setup().connect([](const Glib::RefPtr<Gtk::ListItem>& item) {
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 10);
    auto* text = Gtk::make_managed<Gtk::Label>();
    text->set_xalign(0);
    auto* check = Gtk::make_managed<Gtk::Image>();
    check->set_from_icon_name("object-select-symbolic");
    setAccessibleRole(*check, Gtk::Accessible::Role::PRESENTATION);
    row->append(*text);
    row->append(*check);
    item->set_child(*row);
  });
  factory->signal_bind().connect([shown](const Glib::RefPtr<Gtk::ListItem>& item) {
    auto string = std::dynamic_pointer_cast<Gtk::StringObject>(item->get_item());
    auto* text = dynamic_cast<Gtk::Label*>(item->get_child()->get_first_child());
    if (!string || !text) return;
    text->set_text(string->get_string());
    // The row the list puts around the child is what takes the focus.
    if (Gtk::Widget* focusable = item->get_child()->get_parent()) {
      setAccessibleName(*focusable, string->get_string());
    }
    // Only the open list marks the chosen text; the button shows nothing else.
    Gtk::Widget* check = ShownItems::checkMark(item);
    check->set_visible(item->get_child()->get_ancestor(GTK_TYPE_POPOVER) != nullptr);
    shown->showCheckMark(item);
    shown->bound.insert(item);
  });
  factory->signal_unbind().connect(
      [shown](const Glib::RefPtr<Gtk::ListItem>& item) { shown->bound.erase(item); });
  dropDown.property_selected().signal_changed().connect([shown] {
    for (const auto& item : shown->bound) shown->showCheckMark(item);
  });
  dropDown.set_factory(factory);
  hideArrows(GTK_WIDGET(dropDown.gobj()));
}

}  // namespace zemblo
