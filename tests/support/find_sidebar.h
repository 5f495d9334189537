#pragma once

#include <gtkmm.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/browser_tab.h"
#include "sidebar/favorites_grid.h"
#include "sidebar/space_switcher.h"
#include "sidebar/tab_row.h"
#include "support/find_widget.h"
#include "widgets/symbol_paint.h"

// The sidebar's parts, reached as a screen reader or a style sheet reaches them: by the name a
// user hears, or by the widget name of a part no user can name.
namespace zemblo::testing {

// The widget as the view class that made it (the toolkit hands back the view's own object).
template <class View>
View* asView(GtkWidget* widget) {
  return widget ? dynamic_cast<View*>(Glib::wrap(widget)) : nullptr;
}

// The first widget of that widget name under `root`; a missing one fails the test where it is
// looked for, not later on a null widget.
template <class View = Gtk::Widget>
View& widgetNamed(Gtk::Widget& root, const std::string& name) {
  View* found = asView<View>(findByWidgetName(root.gobj(), name));
  if (!found) throw std::runtime_error("no widget named " + name);
  return *found;
}

// Every widget of that widget name under `root`, in the order of the widget tree.
template <class View = Gtk::Widget>
std::vector<View*> allNamed(Gtk::Widget& root, const std::string& name) {
  std::vector<View*> found;
  for (GtkWidget* widget :
       findAll(root.gobj(), [&](GtkWidget* w) { return gtk_widget_get_name(w) == name; })) {
    if (View* view = asView<View>(widget)) found.push_back(view);
  }
  return found;
}

// The first widget under `root` announced as `name` in that role.
template <class View = Gtk::Button>
View& announced(Gtk::Widget& root, const std::string& name,
                GtkAccessibleRole role = GTK_ACCESSIBLE_ROLE_BUTTON) {
  View* found = asView<View>(findByAccessibleName(root.gobj(), name, role));
  if (!found) throw std::runtime_error("nothing announced as " + name);
  return *found;
}

// The popover a control opens: the one attached under it.
inline Gtk::Popover& popoverOf(Gtk::Widget& control) {
  Gtk::Popover* found = asView<Gtk::Popover>(
      findFirst(control.gobj(), [](GtkWidget* widget) { return GTK_IS_POPOVER(widget); }));
  if (!found) throw std::runtime_error("no popover under " + std::string(control.get_name()));
  return *found;
}

// The menu a control has opened, attached under it; none before it first opens one.
inline Gtk::PopoverMenu* menuUnder(Gtk::Widget& control) {
  return asView<Gtk::PopoverMenu>(
      findFirst(control.gobj(), [](GtkWidget* widget) { return GTK_IS_POPOVER_MENU(widget); }));
}

// Whether assistive technologies are told that the widget is the current choice.
inline bool announcedSelected(Gtk::Widget& widget) {
  char* mismatch = gtk_test_accessible_check_state(GTK_ACCESSIBLE(widget.gobj()),
                                                   GTK_ACCESSIBLE_STATE_SELECTED, TRUE);
  g_free(mismatch);
  return mismatch == nullptr;
}

// The space switcher's buttons under `root`, one for each space in order.
inline std::vector<SpaceSwitcherButton*> spaceButtons(Gtk::Widget& root) {
  return allNamed<SpaceSwitcherButton>(root, "SpaceSwitcherButton");
}

// What the space header under `root` shows: the space's name and the symbol drawn before it.
inline std::string spaceHeaderName(Gtk::Widget& root) {
  return widgetNamed<Gtk::Label>(root, "SpaceHeaderName").get_text();
}
inline std::string spaceHeaderSymbol(Gtk::Widget& root) {
  return widgetNamed<GradientSymbol>(root, "SpaceHeaderSymbol").symbol();
}

// The favourite tiles under `root`, row by row as they are shown; a tile still fading out after
// its removal takes no clicks and is left out.
inline std::vector<FavoriteTile*> favoriteTiles(Gtk::Widget& root) {
  std::vector<std::pair<std::pair<int, int>, FavoriteTile*>> shown;
  for (FavoriteTile* tile : allNamed<FavoriteTile>(root, "FavoriteTile")) {
    graphene_rect_t frame;
    if (!tile->get_can_target() ||
        !gtk_widget_compute_bounds(GTK_WIDGET(tile->gobj()), root.gobj(), &frame)) {
      continue;
    }
    shown.push_back({{int(std::lround(frame.origin.y)), int(std::lround(frame.origin.x))}, tile});
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<FavoriteTile*> tiles;
  for (const auto& [place, tile] : shown) tiles.push_back(tile);
  return tiles;
}

// The tab rows under `root`, top to bottom as they are shown.
inline std::vector<TabRow*> tabRows(Gtk::Widget& root) {
  auto rows = allNamed<TabRow>(root, "TabRow");
  const auto top = [&root](TabRow* row) {
    graphene_rect_t frame;
    return gtk_widget_compute_bounds(GTK_WIDGET(row->gobj()), root.gobj(), &frame) ? frame.origin.y
                                                                                   : 0.0f;
  };
  std::stable_sort(rows.begin(), rows.end(), [&](TabRow* a, TabRow* b) { return top(a) < top(b); });
  return rows;
}

// The row that stands for `tab` in the tab list under `root`; none when the list shows no row for
// it.
inline TabRow* tabRowFor(Gtk::Widget& root, const BrowserTab& tab) {
  for (TabRow* row : allNamed<TabRow>(root, "TabRow")) {
    if (row->tab()->id == tab.id) return row;
  }
  return nullptr;
}

}  // namespace zemblo::testing
