#pragma once

#include <adwaita.h>
#include <gtkmm.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "settings/kit/pane_body.h"
#include "settings/settings_pane.h"
#include "settings/settings_sidebar_row.h"
#include "support/find_widget.h"

// The parts of the settings window and its controls, found in the widget tree the way assistive
// technologies see them: by role, by name, by the widget name the style sheets select.
namespace zemblo::testing {

// The widget of that widget name under `root`; a missing one fails the test at the caller.
template <class Widget = Gtk::Widget>
Widget& namedIn(Gtk::Widget& root, const std::string& name) {
  GtkWidget* found = findByWidgetName(root.gobj(), name);
  auto* widget = found ? dynamic_cast<Widget*>(Glib::wrap(found)) : nullptr;
  if (!widget) throw std::runtime_error("no " + name + " under " + G_OBJECT_TYPE_NAME(root.gobj()));
  return *widget;
}

// Every widget of that role under `root`, in the order of the widget tree.
template <class Widget>
std::vector<Widget*> allOfRole(Gtk::Widget& root, GtkAccessibleRole role) {
  std::vector<Widget*> found;
  for (GtkWidget* widget : findAllByRole(root.gobj(), role)) {
    if (auto* typed = dynamic_cast<Widget*>(Glib::wrap(widget))) found.push_back(typed);
  }
  return found;
}

// Whether assistive technologies hear the toggle as pressed: the chosen card, swatch or tile.
inline bool isPressed(Gtk::Widget& widget) {
  char* held = gtk_test_accessible_check_state(
      GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_PRESSED, GTK_ACCESSIBLE_TRISTATE_TRUE);
  const bool pressed = held == nullptr;
  g_free(held);
  return pressed;
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

// The segments of a segmented row, in order.
inline Gtk::ToggleButton& segment(Gtk::Widget& row, size_t index) {
  std::vector<Gtk::ToggleButton*> segments;
  for (GtkWidget* widget :
       findAll(row.gobj(), [](GtkWidget* w) { return GTK_IS_TOGGLE_BUTTON(w); })) {
    segments.push_back(dynamic_cast<Gtk::ToggleButton*>(Glib::wrap(widget)));
  }
  return *segments.at(index);
}

inline Gtk::Switch& switchIn(Gtk::Widget& row) {
  return *allOfRole<Gtk::Switch>(row, GTK_ACCESSIBLE_ROLE_SWITCH).at(0);
}

inline Gtk::Scale& sliderIn(Gtk::Widget& row) {
  return *allOfRole<Gtk::Scale>(row, GTK_ACCESSIBLE_ROLE_SLIDER).at(0);
}

// The value a slider row shows beside its title.
inline Glib::ustring badgeText(Gtk::Widget& row) {
  return namedIn<Gtk::Label>(row, "SliderBadge").get_text();
}

// The line under a settings row's title.
inline Glib::ustring subtitleText(Gtk::Widget& row) {
  return namedIn<Gtk::Label>(row, "RowSubtitle").get_text();
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
  return namedIn<PaneBody>(shownScroller(settings), "PaneBody");
}

// The title the shown pane's header shows.
inline std::string shownPaneTitle(Gtk::Window& settings) {
  return namedIn<Gtk::Label>(shownPane(settings), "PaneTitle").get_text();
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

// The question a window shows on top of itself, if any: the message dialog mapped on screen.
inline AdwMessageDialog* shownQuestion() {
  GList* toplevels = gtk_window_list_toplevels();
  AdwMessageDialog* question = nullptr;
  for (GList* item = toplevels; item && !question; item = item->next) {
    if (ADW_IS_MESSAGE_DIALOG(item->data) && gtk_widget_get_visible(GTK_WIDGET(item->data))) {
      question = ADW_MESSAGE_DIALOG(item->data);
    }
  }
  g_list_free(toplevels);
  return question;
}

}  // namespace zemblo::testing
