#pragma once

#include <adwaita.h>
#include <gtkmm.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/find_widget.h"

// The controls of the settings panes, found as a screen reader finds them: by the names they are
// announced by, or, for the rows and sections that frame them, by the titles the user reads.
namespace zemblo::testing {

// The widget found, or a failure naming what was looked for.
inline Gtk::Widget& shownWidget(GtkWidget* widget, const std::string& what) {
  if (!widget) throw std::runtime_error("nothing shown for " + what);
  return *Glib::wrap(widget);
}

// The widget of that widget name (one no user names: a list, a chip, an editor), as its class.
template <class View = Gtk::Widget>
View& byWidgetName(Gtk::Widget& root, const std::string& name) {
  return dynamic_cast<View&>(shownWidget(findByWidgetName(root.gobj(), name), name));
}

// The control announced by `name` in that role.
template <class Control = Gtk::Button>
Control& named(Gtk::Widget& root, const std::string& name,
               GtkAccessibleRole role = GTK_ACCESSIBLE_ROLE_BUTTON) {
  return dynamic_cast<Control&>(shownWidget(findByAccessibleName(root.gobj(), name, role), name));
}

inline Gtk::Scale& slider(Gtk::Widget& root, const std::string& name) {
  return named<Gtk::Scale>(root, name, GTK_ACCESSIBLE_ROLE_SLIDER);
}

inline Gtk::Switch& switchNamed(Gtk::Widget& root, const std::string& name) {
  return named<Gtk::Switch>(root, name, GTK_ACCESSIBLE_ROLE_SWITCH);
}

// A drop-down list, named like the row it stands in.
inline Gtk::DropDown& dropDown(Gtk::Widget& root, const std::string& name) {
  return dynamic_cast<Gtk::DropDown&>(shownWidget(findFirst(root.gobj(),
                                                            [&](GtkWidget* widget) {
                                                              return GTK_IS_DROP_DOWN(widget) &&
                                                                     accessibleName(widget) == name;
                                                            }),
                                                  name));
}

// Whether the toggle (a card, a swatch, a segment) is announced as the one chosen.
inline bool pressed(Gtk::Widget& control) {
  char* differs = gtk_test_accessible_check_state(
      GTK_ACCESSIBLE(control.gobj()), GTK_ACCESSIBLE_STATE_PRESSED, GTK_ACCESSIBLE_TRISTATE_TRUE);
  const bool isPressed = differs == nullptr;
  g_free(differs);
  return isPressed;
}

inline bool hasLabel(GtkWidget* widget, const char* cssClass, const std::string& text) {
  return GTK_IS_LABEL(widget) && gtk_widget_has_css_class(widget, cssClass) &&
         gtk_label_get_text(GTK_LABEL(widget)) == text;
}

// The texts of every label of that style under `root`, in the order shown.
inline std::vector<std::string> labelTexts(Gtk::Widget& root, const char* cssClass) {
  std::vector<std::string> texts;
  for (GtkWidget* label : findAll(root.gobj(), [&](GtkWidget* widget) {
         return GTK_IS_LABEL(widget) && gtk_widget_has_css_class(widget, cssClass);
       })) {
    texts.push_back(gtk_label_get_text(GTK_LABEL(label)));
  }
  return texts;
}

inline std::string labelText(Gtk::Widget& root, const char* cssClass) {
  const std::vector<std::string> texts = labelTexts(root, cssClass);
  if (texts.empty()) throw std::runtime_error(std::string("no label ") + cssClass);
  return texts.front();
}

// The row (a plain, switch or slider row) with that title.
inline Gtk::Widget& row(Gtk::Widget& root, const std::string& title) {
  return shownWidget(findFirst(root.gobj(),
                               [&](GtkWidget* widget) {
                                 const std::string kind = gtk_widget_get_name(widget);
                                 return (kind == "SettingsRow" || kind == "SliderRow") &&
                                        findFirst(widget, [&](GtkWidget* label) {
                                          return hasLabel(label, "settings-row-title", title);
                                        });
                               }),
                     "row " + title);
}

inline std::string subtitle(Gtk::Widget& row) { return labelText(row, "settings-row-subtitle"); }

// The value a slider row shows beside its title.
inline std::string badge(Gtk::Widget& root, const std::string& sliderName) {
  return labelText(row(root, sliderName), "settings-secondary");
}

// The section (a titled card of rows) with that title, or null while there is none.
inline GtkWidget* findSection(Gtk::Widget& root, const std::string& title) {
  return findFirst(root.gobj(), [&](GtkWidget* widget) {
    return gtk_widget_get_name(widget) == std::string("SettingsSection") &&
           findFirst(widget, [&](GtkWidget* label) {
             return hasLabel(label, "settings-section-title", title);
           });
  });
}

inline Gtk::Widget& section(Gtk::Widget& root, const std::string& title) {
  return shownWidget(findSection(root, title), "section " + title);
}

inline bool hasSection(Gtk::Widget& root, const std::string& title) {
  GtkWidget* found = findSection(root, title);
  return found && gtk_widget_get_visible(found);
}

// A segment of the segmented control announced by the row's title.
inline Gtk::ToggleButton& segment(Gtk::Widget& root, const std::string& rowTitle,
                                  const std::string& label) {
  Gtk::Widget& control = shownWidget(findFirst(root.gobj(),
                                               [&](GtkWidget* widget) {
                                                 return gtk_widget_get_name(widget) ==
                                                            std::string("SegmentedControl") &&
                                                        accessibleName(widget) == rowTitle;
                                               }),
                                     "segments " + rowTitle);
  return named<Gtk::ToggleButton>(control, label);
}

// The titles of the cards beside the card `oneTitle`, left to right.
inline std::vector<std::string> cardTitles(Gtk::Widget& root, const std::string& oneTitle) {
  GtkWidget* card = GTK_WIDGET(named(root, oneTitle).gobj());
  GtkWidget* cards = card;
  while (cards && gtk_widget_get_name(cards) != std::string("ChoiceCards")) {
    cards = gtk_widget_get_parent(cards);
  }
  std::vector<std::string> titles;
  for (GtkWidget* each :
       findAll(shownWidget(cards, "cards of " + oneTitle).gobj(), [](GtkWidget* widget) {
         return gtk_widget_get_name(widget) == std::string("ChoiceCard");
       })) {
    titles.push_back(accessibleName(each));
  }
  return titles;
}

// The question a confirmation dialog asks now, if any.
inline AdwMessageDialog* shownQuestion() {
  GList* windows = gtk_window_list_toplevels();
  AdwMessageDialog* question = nullptr;
  for (GList* each = windows; each; each = each->next) {
    if (ADW_IS_MESSAGE_DIALOG(each->data) && gtk_widget_get_visible(GTK_WIDGET(each->data))) {
      question = ADW_MESSAGE_DIALOG(each->data);
    }
  }
  g_list_free(windows);
  return question;
}

}  // namespace zemblo::testing
