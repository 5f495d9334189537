#pragma once

#include <gtkmm.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "settings/kit/pane_body.h"
#include "settings/settings_pane.h"
#include "settings/settings_sidebar_row.h"
#include "support/find_pane_controls.h"
#include "support/find_widget.h"

// The parts of the settings window and its controls, found in the widget tree the way assistive
// technologies see them: by role, by name, by the widget name the style sheets select.
namespace zemblo::testing {

// Every widget of that role under `root`, in the order of the widget tree.
template <class Widget>
std::vector<Widget*> allOfRole(Gtk::Widget& root, GtkAccessibleRole role) {
  std::vector<Widget*> found;
  for (GtkWidget* widget : findAllByRole(root.gobj(), role)) {
    if (auto* typed = dynamic_cast<Widget*>(Glib::wrap(widget))) found.push_back(typed);
  }
  return found;
}

// The option cards of a choice row (or of everything under `root`), in order.
inline std::vector<Gtk::Button*> choiceCards(Gtk::Widget& root) {
  std::vector<Gtk::Button*> cards;
  for (GtkWidget* widget : findAll(root.gobj(), [](GtkWidget* w) {
         return std::string(gtk_widget_get_name(w)) == "ChoiceCard";
       })) {
    cards.push_back(dynamic_cast<Gtk::Button*>(Glib::wrap(widget)));
  }
  return cards;
}

// The name a card is announced by: its option's title.
inline std::string cardTitle(Gtk::Widget& card) { return accessibleName(card.gobj()); }

inline Gtk::Button& choiceCard(Gtk::Widget& row, size_t index) {
  return *choiceCards(row).at(index);
}

inline Gtk::Switch& switchIn(Gtk::Widget& row) {
  return *allOfRole<Gtk::Switch>(row, GTK_ACCESSIBLE_ROLE_SWITCH).at(0);
}

inline Gtk::Scale& sliderIn(Gtk::Widget& row) {
  return *allOfRole<Gtk::Scale>(row, GTK_ACCESSIBLE_ROLE_SLIDER).at(0);
}

// The scroller of the pane the settings window shows (not one fading out).
inline Gtk::ScrolledWindow& shownScroller(Gtk::Window& settings) {
  GtkWidget* stack = findFirst(GTK_WIDGET(settings.gobj()), [](GtkWidget* widget) {
    return GTK_IS_STACK(widget) && gtk_widget_has_css_class(widget, "settings-detail");
  });
  return *dynamic_cast<Gtk::ScrolledWindow*>(
      Glib::wrap(gtk_stack_get_visible_child(GTK_STACK(stack))));
}

inline PaneBody& shownPane(Gtk::Window& settings) {
  return byWidgetName<PaneBody>(shownScroller(settings), "PaneBody");
}

// The title the shown pane's header shows.
inline std::string shownPaneTitle(Gtk::Window& settings) {
  return byWidgetName<Gtk::Label>(shownPane(settings), "PaneTitle").get_text();
}

// The row of the pane list that opens the pane.
inline SettingsSidebarRow& paneRow(Gtk::Window& settings, SettingsPane pane) {
  for (GtkWidget* widget : findAll(GTK_WIDGET(settings.gobj()), [](GtkWidget* w) {
         return std::string(gtk_widget_get_name(w)) == "SettingsSidebarRow";
       })) {
    auto* row = dynamic_cast<SettingsSidebarRow*>(Glib::wrap(widget));
    if (row && row->pane() == pane) return *row;
  }
  throw std::runtime_error("no row for a pane");
}

}  // namespace zemblo::testing
