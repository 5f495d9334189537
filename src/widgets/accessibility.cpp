#include "widgets/accessibility.h"

#include <vector>

#include "model/localization.h"

namespace zemblo {

void setAccessibleName(Gtk::Widget& widget, const Glib::ustring& name) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 name.c_str(), -1);
}

void setAccessibleNameWithInnerButton(Gtk::Widget& control, const Glib::ustring& name) {
  setAccessibleName(control, name);
  if (Gtk::Widget* inner = control.get_first_child()) setAccessibleName(*inner, name);
  titleToolkitPages(control, name);
}

void titleToolkitPages(Gtk::Widget& root, const Glib::ustring& title) {
  std::vector<GtkWidget*> pending{root.gobj()};
  while (!pending.empty()) {
    GtkWidget* widget = pending.back();
    pending.pop_back();
    if (GTK_IS_STACK(widget)) {
      GListModel* pages = G_LIST_MODEL(gtk_stack_get_pages(GTK_STACK(widget)));
      for (guint i = 0; i < g_list_model_get_n_items(pages); ++i) {
        auto* page = static_cast<GtkStackPage*>(g_list_model_get_item(pages, i));
        if (!gtk_stack_page_get_title(page)) gtk_stack_page_set_title(page, title.c_str());
        g_object_unref(page);
      }
      g_object_unref(pages);
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child)) {
      pending.push_back(child);
    }
  }
}

void setAccessibleDescription(Gtk::Widget& widget, const Glib::ustring& description) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION,
                                 description.c_str(), -1);
}

void hideFromScreenReaders(Gtk::Widget& widget) {
  gtk_accessible_update_state(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_HIDDEN, TRUE, -1);
}

void groupForScreenReaders(Gtk::Widget& widget) {
  setAccessibleRole(widget, Gtk::Accessible::Role::GENERIC);
}

void groupToolkitParts(Gtk::Widget& root) {
  std::vector<GtkWidget*> pending{root.gobj()};
  while (!pending.empty()) {
    GtkWidget* widget = pending.back();
    pending.pop_back();
    if (gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(widget)) == GTK_ACCESSIBLE_ROLE_WIDGET) {
      g_object_set(widget, "accessible-role", GTK_ACCESSIBLE_ROLE_GENERIC, nullptr);
    }
    if (GTK_IS_SCROLLED_WINDOW(widget)) {
      Gtk::ScrolledWindow* scroller = Glib::wrap(GTK_SCROLLED_WINDOW(widget));
      nameScrollbars(*scroller, localized("Dikey kaydırma çubuğu"),
                     localized("Yatay kaydırma çubuğu"));
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child)) {
      pending.push_back(child);
    }
  }
}

void presentAsDecoration(Gtk::Widget& widget) {
  setAccessibleRole(widget, Gtk::Accessible::Role::PRESENTATION);
}

void presentAsImage(Gtk::Widget& picture, const Glib::ustring& name) {
  setAccessibleRole(picture, Gtk::Accessible::Role::IMG);
  setAccessibleName(picture, name);
  for (Gtk::Widget* part = picture.get_first_child(); part; part = part->get_next_sibling()) {
    hideFromScreenReaders(*part);
  }
}

void nameScrollbars(Gtk::ScrolledWindow& scroller, const Glib::ustring& vertical,
                    const Glib::ustring& horizontal) {
  for (const auto& [bar, name] : {std::pair{scroller.get_vscrollbar(), vertical},
                                  std::pair{scroller.get_hscrollbar(), horizontal}}) {
    if (!bar) continue;
    setAccessibleName(*bar, name);
    for (Gtk::Widget* track = bar->get_first_child(); track; track = track->get_next_sibling()) {
      hideFromScreenReaders(*track);
    }
  }
}

void setTooltipText(Gtk::Widget& widget, const Glib::ustring& text) {
  if (widget.get_tooltip_text() != text) widget.set_tooltip_text(text);
}

void setHelpText(Gtk::Widget& widget, const Glib::ustring& help) {
  if (widget.get_tooltip_text() == help) return;
  widget.set_tooltip_text(help);
  setAccessibleName(widget, help);
  // The name says what the symbol shows; read on its own, the symbol would be its type's name.
  for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
    if (dynamic_cast<Gtk::Image*>(child)) hideFromScreenReaders(*child);
  }
}

void setAccessibleRole(Gtk::Widget& widget, Gtk::Accessible::Role role) {
  widget.property_accessible_role() = role;
}

void setAccessibleSelected(Gtk::Widget& widget, bool selected) {
  gtk_accessible_update_state(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_SELECTED,
                              selected, -1);
}

void setAccessiblePressed(Gtk::Widget& widget, bool pressed) {
  gtk_accessible_update_state(
      GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_PRESSED,
      pressed ? GTK_ACCESSIBLE_TRISTATE_TRUE : GTK_ACCESSIBLE_TRISTATE_FALSE, -1);
}

void presentAsTextField(Gtk::Text& field) {
  setAccessibleRole(field, Gtk::Accessible::Role::TEXT_BOX);
}

void setPlaceholder(Gtk::Text& field, const Glib::ustring& placeholder) {
  if (field.get_placeholder_text() == placeholder) return;
  field.set_placeholder_text(placeholder);
  setAccessibleName(field, placeholder);
}

void announceButtonsOnce(GtkWidget* dialog) {
  for (GtkWidget* child = gtk_widget_get_first_child(dialog); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GTK_IS_BUTTON(child) && gtk_button_get_label(GTK_BUTTON(child))) {
      gtk_accessible_reset_relation(GTK_ACCESSIBLE(child), GTK_ACCESSIBLE_RELATION_LABELLED_BY);
    }
    // The dialog's own layout parts (the box that picks between its two button layouts).
    if (gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(child)) == GTK_ACCESSIBLE_ROLE_WIDGET &&
        !gtk_widget_get_realized(child)) {
      g_object_set(child, "accessible-role", GTK_ACCESSIBLE_ROLE_GENERIC, nullptr);
    }
    announceButtonsOnce(child);
  }
}

void focusItemsOnly(Gtk::PopoverMenu& menu) {
  groupToolkitParts(menu);
  std::vector<GtkWidget*> pending{GTK_WIDGET(menu.gobj())};
  while (!pending.empty()) {
    GtkWidget* widget = pending.back();
    pending.pop_back();
    if (GTK_IS_SCROLLED_WINDOW(widget)) gtk_widget_set_focusable(widget, FALSE);
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child)) {
      pending.push_back(child);
    }
  }
}

void nameMenus(Gtk::PopoverMenu& menu, const Glib::ustring& name) {
  setAccessibleName(menu, name);
  titleToolkitPages(menu, name);
  std::vector<GtkWidget*> pending{GTK_WIDGET(menu.gobj())};
  while (!pending.empty()) {
    GtkWidget* widget = pending.back();
    pending.pop_back();
    GtkWidget* opener = gtk_widget_get_parent(widget);
    if (widget != GTK_WIDGET(menu.gobj()) && GTK_IS_POPOVER_MENU(widget) && opener &&
        g_object_class_find_property(G_OBJECT_GET_CLASS(opener), "text")) {
      char* text = nullptr;
      g_object_get(opener, "text", &text, nullptr);
      if (text) {
        gtk_accessible_update_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL, text,
                                       -1);
      }
      g_free(text);
    }
    // A bare part the toolkit draws (the arrow of an item that opens a menu) says nothing.
    if (gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(widget)) == GTK_ACCESSIBLE_ROLE_WIDGET &&
        !gtk_widget_get_first_child(widget) && !gtk_widget_get_focusable(widget)) {
      gtk_accessible_update_state(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_STATE_HIDDEN, TRUE, -1);
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child)) {
      pending.push_back(child);
    }
  }
}

namespace {

void reportUsable(GtkWidget* widget) {
  gtk_accessible_update_state(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_STATE_DISABLED,
                              !gtk_widget_is_sensitive(widget), -1);
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    reportUsable(child);
  }
}

}  // namespace

void setUsable(Gtk::Widget& widget, bool usable) {
  widget.set_sensitive(usable);
  reportUsable(widget.gobj());
}

}  // namespace zemblo
