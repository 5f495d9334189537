#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/download_manager.h"
#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "sidebar/sidebar_view.h"
#include "sidebar/tab_row.h"
#include "support/find_sidebar.h"
#include "support/interface_language.h"
#include "support/x_input.h"
#include "window/browser_window.h"
#include "window/window_harness.h"

namespace zemblo::testing {

// A tab row's parts and state, as a user meets them.
inline Gtk::Label& titleOf(TabRow& row) { return widgetNamed<Gtk::Label>(row, "TabRowTitle"); }
inline Gtk::Button& closeButtonOf(TabRow& row) {
  return announced(row,
                   withArgument(localized("%@ sekmesini kapat"), titleOf(row).get_text().raw()));
}
inline bool isSelected(TabRow& row) { return announcedSelected(row); }

// A browser window with its sidebar over a store of its own, real web views and a page server on
// 127.0.0.1. Animations are off, so every change shows its end state at once.
class SidebarHarness : public WindowHarness {
 public:
  // The interface in Turkish, the language the text keys are written in, as the application
  // shows it after a change of language: the window's content built anew.
  SidebarHarness() {
    // Other test programs may show windows on the same display: real input goes to this one.
    window().set_title(windowTitle_);
    setLanguage(AppLanguage::turkish);
  }
  ~SidebarHarness() { L10n::setEnglish(false); }

  void setLanguage(AppLanguage language) {
    switchLanguage(store().preferences(), language);
    window().rebuildContent();
    pump();
  }

  // The window's models, for a sidebar part of a test's own, whose later work runs on `scheduler`.
  SidebarModels models(Scheduler& scheduler = Scheduler::mainLoop()) {
    return {store().tabs(),
            store().browserWindows(),
            store().preferences(),
            store().favorites(),
            store().pageServices(),
            store().downloads(),
            favicons(),
            scheduler};
  }

  SidebarView& sidebar() { return window().sidebarView(); }
  SidebarTopBar& topBar() { return widgetNamed<SidebarTopBar>(sidebar(), "SidebarTopBar"); }
  AddressPill& pill() { return widgetNamed<AddressPill>(sidebar(), "AddressPill"); }
  TabListView& list() { return widgetNamed<TabListView>(sidebar(), "TabListView"); }
  FavoritesGrid& favoritesGrid() { return widgetNamed<FavoritesGrid>(sidebar(), "FavoritesGrid"); }
  SpaceHeader& spaceHeader() { return widgetNamed<SpaceHeader>(sidebar(), "SpaceHeader"); }
  // Its scheme, which the style sheet follows.
  ColorScheme scheme() {
    return sidebar().has_css_class("sidebar-dark") ? ColorScheme::dark : ColorScheme::light;
  }
  Space& space() { return *store().tabs().currentSpace(); }
  const Space::TabList& tabs() { return space().tabs.peek(); }

  // A tab that never loads: it has no web view, and its state is set by the test.
  std::shared_ptr<BrowserTab> addTab(const std::string& address, const std::string& title = {}) {
    auto tab = std::make_shared<BrowserTab>(
        Uuid::random(), address.empty() ? std::nullopt : Url::parse(address), title);
    tab->page.startAfresh();
    store().tabs().insertTab(tab);
    pump();
    return tab;
  }

  std::vector<TabRow*> rows() { return tabRows(list()); }
  TabRow* rowFor(const BrowserTab& tab) { return tabRowFor(list(), tab); }
  NewTabRow& newTabRow() { return widgetNamed<NewTabRow>(list(), "NewTabRow"); }
  TabRow& row(const BrowserTab& tab) {
    TabRow* found = rowFor(tab);
    if (!found) throw std::runtime_error("no row for the tab " + tab.displayTitle());
    return *found;
  }

  std::vector<std::string> titlesInList() {
    std::vector<std::string> titles;
    for (TabRow* row : rows()) titles.push_back(titleOf(*row).get_text());
    return titles;
  }
  std::vector<std::string> titlesInSpace() {
    std::vector<std::string> titles;
    for (const auto& tab : tabs()) titles.push_back(tab->displayTitle());
    return titles;
  }

  TestServer& server() { return server_; }

  // Real input through xdotool, run beside the main loop (a drag or a menu talks to the display
  // while it happens). `actions` address the window as "%1", e.g. "mousemove --window %1 10 10".
  void input(const std::string& actions) {
    runBesideMainLoop(xdotoolOn(GTK_WINDOW(window().gobj()), "windowraise %1 " + actions));
  }
  // Real input done before it returns: the events it caused have reached the window and been
  // handled (see syncWithDisplay).
  void inputAndWait(const std::string& actions) {
    const std::string command = xdotoolOn(GTK_WINDOW(window().gobj()), "windowraise %1 " + actions);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    syncWithDisplay();
  }
  // Waits until the window has handled what the display did so far: a round trip to the display
  // brings in every event it sent before its answer, and they are handled with what they queue.
  static void syncWithDisplay() {
    gdk_display_sync(gdk_display_get_default());
    pump();
  }
  // Moves the pointer to (x, y) of the window and waits until the window has seen it there.
  bool movePointer(int x, int y) {
    double seenX = -1, seenY = -1;
    auto probe = Gtk::EventControllerMotion::create();
    probe->signal_motion().connect([&](double px, double py) { seenX = px, seenY = py; });
    window().add_controller(probe);
    input("mousemove --window %1 " + std::to_string(x) + " " + std::to_string(y));
    // The window's own frame may shift its coordinates by a few points.
    const bool arrived =
        waitUntil([&] { return std::abs(seenX - x) < 8 && std::abs(seenY - y) < 8; });
    window().remove_controller(probe);
    return arrived;
  }
  // The input that moves the pointer to the middle of `widget`. The X window also holds the
  // window's frame, which the window's own coordinates leave out.
  std::string pointAt(Gtk::Widget& widget) {
    const auto frame = bounds(widget);
    double frameX = 0, frameY = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(window().gobj()), &frameX, &frameY);
    return "mousemove --window %1 " + std::to_string(int(frameX + frame.x + frame.width / 2)) +
           " " + std::to_string(int(frameY + frame.y + frame.height / 2));
  }
  // A real click in the middle of `widget`.
  // Clicks as a user does: the pointer rests on the widget first, so that what hovering lays out
  // (the address pill's copy button beside the shield) is in place before the press is aimed.
  void click(Gtk::Widget& widget) {
    const auto frame = bounds(widget);
    if (movePointer(int(frame.x + frame.width / 2), int(frame.y + frame.height / 2))) {
      waitForFrame();
    }
    input(pointAt(widget) + " click 1");
  }

 private:
  TestServer server_;
  std::string windowTitle_ = "zemblo-sidebar-test-" + Uuid::random().str().substr(0, 8);
};

// Activates the button as a key press would; true when it then reported a click (never for a
// disabled button).
inline bool press(Gtk::Button& button) {
  bool clicked = false;
  auto connection = button.signal_clicked().connect([&] { clicked = true; });
  // Nothing reaches a disabled button.
  if (button.is_sensitive() && button.activate()) waitUntil([&] { return clicked; });
  connection.disconnect();
  return clicked;
}

// The clipboard's text, read back from the display.
inline std::optional<std::string> clipboardText(Gtk::Widget& widget) {
  struct Read {
    bool done = false;
    std::optional<std::string> text;
  };
  auto read = std::make_shared<Read>();
  auto clipboard = widget.get_clipboard();
  clipboard->read_text_async([read, clipboard](const Glib::RefPtr<Gio::AsyncResult>& result) {
    try {
      read->text = clipboard->read_text_finish(result).raw();
    } catch (const Glib::Error&) {
    }
    read->done = true;
  });
  waitUntil([&] { return read->done; });
  return read->text;
}

}  // namespace zemblo::testing
