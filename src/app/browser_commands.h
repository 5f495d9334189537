#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/app_language.h"
#include "model/preference_enums.h"
#include "model/site_zoom.h"

namespace zemblo {

class BrowserStore;
class BrowserTab;
class WindowModel;

// The browser's menu commands: what each item of the menus does, and the menus themselves with
// their titles in the interface language. A plain value; the application builds a new one
// whenever the interface language or the page dark mode changes, and the menus with it.
class BrowserCommands {
 public:
  static constexpr double kZoomStep = 0.1;
  static constexpr double kLargestZoom = SiteZoom::kLargest;
  static constexpr double kSmallestZoom = SiteZoom::kSmallest;

  enum class WebViewCommand { goBack, goForward };

  // One item: its title, its detailed action name ("win.select-tab(3)") and its keys, the first
  // of which the menu shows. A menu is a list of sections, shown with dividers between them.
  struct Item {
    std::string title;
    std::string action;
    std::vector<std::string> keys;
  };
  using Section = std::vector<Item>;
  struct Menu {
    std::string title;
    std::vector<Section> sections;
  };

  // The commands of the window showing `window` (the first window's tabs when none is given).
  BrowserCommands(BrowserStore& store, AppLanguage language, PageDarkMode pageDarkMode,
                  WindowModel* window = nullptr);

  BrowserStore& store() const { return store_.get(); }
  // The tabs of the window these commands act on.
  WindowModel& tabs() const;

  AppLanguage language;
  PageDarkMode pageDarkMode;

  // File, Edit and View, titled like the desktop's own menus in the language the browser started
  // in, then "Gezinti". Every title is translated at this call.
  std::vector<Menu> menus() const;
  // Appends the same menus to a menu model, each as a submenu.
  void appendMenus(Gio::Menu& model) const;

  // The selected tab of the current space, if there is one.
  std::shared_ptr<BrowserTab> currentTab() const;
  // Runs the operation on the current tab; nothing without one.
  void withCurrentTab(const std::function<void(BrowserTab&)>& operation) const;

  // Shows the command bar on the current tab, also when it is open for a new tab.
  void openAddressBar() const;
  // Never closes the window, even with no tab to close.
  void closeCurrentTab() const;
  void toggleSidebar() const;
  // The print dialog for the current tab's page; nothing on the start page.
  void printCurrentPage() const;
  // The engine's inspector for the current tab's page; nothing on the start page.
  void inspectCurrentPage() const;
  // A new tab beside the current one with the current page's source as plain text, which never
  // runs; nothing on the start page.
  void showSourceOfCurrentPage() const;
  // One step on the zoom of the current tab's host, kept within the bounds; a tab that has no web
  // view yet is left without one.
  void zoomIn() const;
  void zoomOut() const;
  void sendToWebView(WebViewCommand command) const;
  void stepSpace(int direction) const;

 private:
  void stepZoom(double delta) const;

 private:
  // A reference that a copy of the commands may be assigned over.
  std::reference_wrapper<BrowserStore> store_;
  WindowModel* window_ = nullptr;
};

// Puts the commands on the browser window: one window action per item, the keys of the items
// handled before any widget of the window (so a page or a text field with the focus never sees
// them), and the menus as a popover menu that F10 opens at the top of the window.
class BrowserMenu {
 public:
  static constexpr const char* kShortcutsName = "BrowserShortcuts";
  static constexpr const char* kMenuKey = "F10";

  BrowserMenu(Gtk::ApplicationWindow& window, BrowserCommands commands);
  ~BrowserMenu();
  BrowserMenu(const BrowserMenu&) = delete;
  BrowserMenu& operator=(const BrowserMenu&) = delete;

  // Takes a new commands value and builds the menus again from it.
  void setCommands(BrowserCommands commands);
  const BrowserCommands& commands() const { return commands_; }

  // Opens the menu popover, or closes it when it is open.
  void togglePopover();
  // A page's dialog over this window (the print dialog, a file chooser) takes the keys
  // that close the tab: the user may be unable to reach the window behind it.
  void lendTabKeysTo(Gtk::Window& dialog);

 private:
  void menusBuilt();
  void installActions();
  void installShortcuts();
  void addAction(const std::string& name, std::function<void()> run);

  Gtk::ApplicationWindow& window_;
  BrowserCommands commands_;
  Glib::RefPtr<Gio::Menu> model_;
  std::unique_ptr<Gtk::PopoverMenu> popover_;
  Glib::RefPtr<Gtk::ShortcutController> shortcuts_;
  std::vector<std::string> actionNames_;
};

}  // namespace zemblo
