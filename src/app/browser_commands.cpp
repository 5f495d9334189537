#include "app/browser_commands.h"

#include <algorithm>
#include <optional>

#include "app/save_page_command.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "platform/main_loop_work.h"
#include "platform/url.h"
#include "sidebar/tab_row_keys.h"
#include "widgets/accessibility.h"
#include "widgets/resting_pointer.h"

namespace zemblo {
namespace {

constexpr int kNumberedTabs = 9;

std::string numberedTabTitle(int number) {
  if (number == kNumberedTabs) return localized("Son Sekme");
  return withArgument(localized("Sekme %@"), std::to_string(number));
}

// The desktop's own menus carry the words of the desktop, which take the language the browser
// started in; only the browser's own texts follow a change of language at once.
struct StandardMenuTitles {
  std::string file, edit, view;
};
StandardMenuTitles standardMenuTitles(AppLanguage launchLanguage) {
  if (isEnglish(launchLanguage)) return {"File", "Edit", "View"};
  return {"Dosya", "Düzenle", "Görüntü"};
}

std::string darkModeTitle(PageDarkMode mode) {
  return localized(mode == PageDarkMode::off ? "Sayfaları Karanlık Yap"
                                             : "Sayfa Karanlık Modunu Kapat");
}

}  // namespace

BrowserCommands::BrowserCommands(BrowserStore& store, AppLanguage language,
                                 PageDarkMode pageDarkMode, WindowModel* window)
    : language(language), pageDarkMode(pageDarkMode), store_(store), window_(window) {}

WindowModel& BrowserCommands::tabs() const { return window_ ? *window_ : store_.get().tabs(); }

std::vector<BrowserCommands::Menu> BrowserCommands::menus() const {
  const StandardMenuTitles standard =
      standardMenuTitles(store_.get().preferences().launchLanguage());

  // Beside the keys the menu shows, each item may take a second one: the key other Linux browsers
  // use for it, or one the desktop leaves alone (GNOME takes Ctrl+Alt+arrows for workspaces).
  Menu file{standard.file, {}};
  file.sections.push_back({
      {localized("Yeni Sekme"), "win.new-tab", {"<Control>t"}},
      {localized("Kapatılan Sekmeyi Yeniden Aç"), "win.reopen-closed-tab", {"<Control><Shift>t"}},
  });
  file.sections.push_back({
      {localized("Yeni Pencere"), "app.new-window", {"<Control>n"}},
      {localized("Yeni Özel Pencere"), "app.new-private-window", {"<Control><Shift>n"}},
  });
  file.sections.push_back({{localized("Adres Çubuğu"), "win.address-bar", {"<Control>l", "F6"}}});
  file.sections.push_back({
      {localized("Sekmeyi Kapat"), "win.close-tab", {"<Control>w"}},
      {localized("Pencereyi Kapat"), "win.close-window", {"<Control><Shift>w"}},
  });
  file.sections.push_back({
      {localized("Şifreler…"), "app.passwords", {"<Control><Alt>p"}},
      {localized("Şifreleri İçe Aktar…"), "win.import-passwords", {}},
  });
  file.sections.push_back({
      {localized("Sayfayı Farklı Kaydet…"), "win.save-page", {"<Control><Shift>s"}},
      {localized("Yazdır…"), "win.print", {"<Control>p"}},
  });
  // Other desktops give every application this item; here the browser brings its own.
  file.sections.push_back({{localized("Çık"), "app.quit", {"<Control>q"}}});

  Menu edit{standard.edit, {}};
  edit.sections.push_back({{localized("Sayfada Bul…"), "win.find", {"<Control>f"}}});

  // The title follows the setting as it is now, whichever value this menu was built for.
  const PageDarkMode darkMode = store_.get().preferences().observablePrefs().peek().pageDarkMode;
  Menu view{standard.view, {}};
  view.sections.push_back(
      {{darkModeTitle(darkMode), "win.toggle-page-dark-mode", {"<Control><Alt>d"}}});
  view.sections.push_back({{localized("Yeniden Yükle"), "win.reload", {"<Control>r", "F5"}}});
  view.sections.push_back({
      {localized("Yakınlaştır"),
       "win.zoom-in",
       {"<Control>equal", "<Control>plus", "<Control>KP_Add"}},
      {localized("Uzaklaştır"), "win.zoom-out", {"<Control>minus", "<Control>KP_Subtract"}},
      {localized("Gerçek Boyut"), "win.actual-size", {"<Control>0", "<Control>KP_0"}},
  });
  view.sections.push_back({
      {localized("Kenar Çubuğunu Göster/Gizle"), "win.toggle-sidebar", {"<Control>s"}},
      {localized("Tam Ekran"), "win.toggle-full-screen", {"F11"}},
  });
  // Taken in the window's capture phase, so GTK's own inspector never sees Ctrl+Shift+I.
  view.sections.push_back(
      {{localized("Web Denetçisi"), "win.web-inspector", {"<Control><Shift>i", "F12"}},
       {localized("Sayfa Kaynağı"), "win.page-source", {"<Control>u"}}});

  Menu navigate{localized("Gezinti"), {}};
  navigate.sections.push_back({
      {localized("Geri"), "win.back", {"<Control>bracketleft", "<Alt>Left"}},
      {localized("İleri"), "win.forward", {"<Control>bracketright", "<Alt>Right"}},
  });
  // Shift+Tab arrives as ISO_Left_Tab.
  navigate.sections.push_back({
      {localized("Sonraki Sekme"), "win.next-tab", {"<Control>Tab", "<Control>Page_Down"}},
      {localized("Önceki Sekme"),
       "win.previous-tab",
       {"<Control><Shift>Tab", "<Control><Shift>ISO_Left_Tab", "<Control>Page_Up"}},
  });
  navigate.sections.push_back({
      {localized("Sonraki Alan"),
       "win.next-space",
       {"<Control><Alt>Right", "<Control><Shift>Page_Down"}},
      {localized("Önceki Alan"),
       "win.previous-space",
       {"<Control><Alt>Left", "<Control><Shift>Page_Up"}},
  });
  Section numbered;
  for (int number = 1; number <= kNumberedTabs; ++number) {
    const std::string digit = std::to_string(number);
    numbered.push_back(
        {numberedTabTitle(number), "win.select-tab(" + digit + ")", {"<Control>" + digit}});
  }
  navigate.sections.push_back(std::move(numbered));

  return {std::move(file), std::move(edit), std::move(view), std::move(navigate)};
}

void BrowserCommands::appendMenus(Gio::Menu& model) const {
  for (const Menu& menu : menus()) {
    auto submenu = Gio::Menu::create();
    for (const Section& section : menu.sections) {
      auto items = Gio::Menu::create();
      for (const Item& item : section) {
        auto entry = Gio::MenuItem::create(item.title, item.action);
        if (!item.keys.empty()) {
          entry->set_attribute_value("accel",
                                     Glib::Variant<Glib::ustring>::create(item.keys.front()));
        }
        items->append_item(entry);
      }
      submenu->append_section(items);
    }
    model.append_submenu(menu.title, submenu);
  }
}

std::shared_ptr<BrowserTab> BrowserCommands::currentTab() const {
  const auto space = tabs().currentSpace();
  return space ? space->selectedTab() : nullptr;
}

void BrowserCommands::withCurrentTab(const std::function<void(BrowserTab&)>& operation) const {
  if (const auto tab = currentTab()) operation(*tab);
}

void BrowserCommands::openAddressBar() const {
  if (tabs().commandBar.peek() != CommandBarMode::currentTab) {
    tabs().commandBar.set(CommandBarMode::currentTab);
  }
}

void BrowserCommands::closeCurrentTab() const {
  if (const auto tab = currentTab()) tabs().closeTab(*tab);
}

void BrowserCommands::printCurrentPage() const {
  const auto tab = currentTab();
  WebViewPort* webView = tab && !tab->showsStartPage() ? tab->storedWebView() : nullptr;
  if (webView) webView->print();
}

void BrowserCommands::inspectCurrentPage() const {
  const auto tab = currentTab();
  WebViewPort* webView = tab && !tab->showsStartPage() ? tab->storedWebView() : nullptr;
  if (webView) webView->toggleInspector();
}

void BrowserCommands::showSourceOfCurrentPage() const {
  const auto tab = currentTab();
  WebViewPort* webView = tab && !tab->showsStartPage() ? tab->storedWebView() : nullptr;
  if (!webView) return;
  // The engine has no view-source address: the bytes travel as a plain-text data address, so the
  // page's markup is shown in a monospaced font and none of it is parsed as a document.
  std::weak_ptr<BrowserTab> opener = tab;
  webView->fetchPageSource([opener](std::optional<std::string> source) {
    if (!source) return;
    char* escaped = g_uri_escape_string(source->c_str(), nullptr, FALSE);
    const auto url = Url::parse(std::string("data:text/plain;charset=utf-8,") + escaped);
    g_free(escaped);
    if (!url) {
      g_warning("The page's source could not be shown");
      return;
    }
    // Beside the page, in whichever window holds it by now, under the page's name and icon.
    const auto tab = opener.lock();
    const auto services = tab ? tab->services() : nullptr;
    const auto& page = tab ? tab->url.peek() : std::nullopt;
    if (!services || !page) return;
    const auto shown = services->windows.holding(*tab).openTab(*url, false, tab);
    shown->sourceOf.set(BrowserTab::SourceOf{*page, tab->title.peek()});
    shown->faviconURL.set(tab->faviconURL.peek());
  });
}

void BrowserCommands::toggleSidebar() const { tabs().toggleSidebar(); }

void BrowserCommands::zoomIn() const { stepZoom(kZoomStep); }
void BrowserCommands::zoomOut() const { stepZoom(-kZoomStep); }

void BrowserCommands::stepZoom(double delta) const {
  const auto tab = currentTab();
  WebViewPort* webView = tab ? tab->storedWebView() : nullptr;
  if (!webView) return;
  const double zoom = webView->pageZoom();
  // The plain sum of the steps, rounding error included.
  tab->zoomTo(delta > 0 ? std::min(kLargestZoom, zoom + delta)
                        : std::max(kSmallestZoom, zoom + delta));
}

void BrowserCommands::sendToWebView(WebViewCommand command) const {
  const auto tab = currentTab();
  WebViewPort* webView = tab ? tab->storedWebView() : nullptr;
  if (!webView) return;
  switch (command) {
    case WebViewCommand::goBack:
      webView->goBack();
      break;
    case WebViewCommand::goForward:
      webView->goForward();
      break;
  }
}

void BrowserCommands::stepSpace(int direction) const {
  // The views that follow the current space animate the change with their own springs.
  tabs().selectAdjacentSpace(direction > 0);
}

BrowserMenu::BrowserMenu(Gtk::ApplicationWindow& window, BrowserCommands commands)
    : window_(window), commands_(std::move(commands)), model_(Gio::Menu::create()) {
  // Each menu opens beside it as a popover of its own, like the menus of a menu bar.
  popover_ = std::make_unique<Gtk::PopoverMenu>(model_, Gtk::PopoverMenu::Flags::NESTED);
  popover_->set_name("BrowserMenuPopover");
  popover_->set_has_arrow(false);
  popover_->set_position(Gtk::PositionType::BOTTOM);
  popover_->set_parent(window_);
  commands_.appendMenus(*model_);
  nameMenus(*popover_, localized("Menü"));
  menusBuilt();
  installActions();
  installShortcuts();
}

BrowserMenu::~BrowserMenu() {
  window_.remove_controller(shortcuts_);
  for (const std::string& name : actionNames_) window_.remove_action(name);
  popover_->unparent();
}

void BrowserMenu::setCommands(BrowserCommands commands) {
  commands_ = std::move(commands);
  // The popover follows its model, so the one model is refilled rather than replaced.
  model_->remove_all();
  commands_.appendMenus(*model_);
  nameMenus(*popover_, localized("Menü"));
  menusBuilt();
}

void BrowserMenu::menusBuilt() {
  // The menus opened from the items are built with the model, so only now are they there.
  focusItemsOnly(*popover_);
  keepRestingPointerOffRows(*popover_);
}

void BrowserMenu::togglePopover() {
  if (popover_->get_visible()) {
    popover_->popdown();
    return;
  }
  // Where a menu bar would be: centred at the top edge.
  popover_->set_pointing_to(Gdk::Rectangle(window_.get_width() / 2, 0, 1, 1));
  popover_->popup();
}

void BrowserMenu::lendTabKeysTo(Gtk::Window& dialog) {
  if (dialog.get_transient_for() != &window_) return;
  auto keys = Gtk::ShortcutController::create();
  keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  // The dialog may outlive this menu: the action goes through the window it belongs to.
  auto closeTab = Gtk::CallbackAction::create([](Gtk::Widget& widget, const Glib::VariantBase&) {
    auto* parent = dynamic_cast<Gtk::Window&>(widget).get_transient_for();
    return parent && parent->activate_action("win.close-tab");
  });
  for (const auto& menu : commands_.menus()) {
    for (const auto& section : menu.sections) {
      for (const auto& item : section) {
        if (item.action != "win.close-tab") continue;
        for (const auto& key : item.keys) {
          keys->add_shortcut(
              Gtk::Shortcut::create(Gtk::ShortcutTrigger::parse_string(key), closeTab));
        }
      }
    }
  }
  dialog.add_controller(keys);
}

void BrowserMenu::addAction(const std::string& name, std::function<void()> run) {
  window_.add_action(name, std::move(run));
  actionNames_.push_back(name);
}

void BrowserMenu::installActions() {
  // Each action reads the newest commands value when it runs.
  // "new-tab" is the window's own, which also focuses the start page.
  const auto& c = commands_;
  addAction("reopen-closed-tab", [&c] { c.tabs().reopenClosedTab(); });
  addAction("address-bar", [&c] { c.openAddressBar(); });
  // A tab row with the keyboard focus is the tab Ctrl+W means.
  addAction("close-tab", [this, &c] {
    if (!closeFocusedTabRow(window_)) c.closeCurrentTab();
  });
  // As the close button does: through the window's close request.
  addAction("close-window", [this] { window_.close(); });
  addAction("import-passwords", [this] { window_.activate_action("app.import-passwords"); });
  addAction("find", [&c] { c.tabs().toggleFindBar(); });
  addAction("print", [&c] { c.printCurrentPage(); });
  addAction("save-page", [this] { saveCurrentPage(commands_, window_); });
  addAction("web-inspector", [&c] { c.inspectCurrentPage(); });
  addAction("page-source", [&c] { c.showSourceOfCurrentPage(); });
  addAction("toggle-page-dark-mode", [&c] { c.store().pageServices().togglePageDarkMode(); });
  addAction("reload", [&c] { c.withCurrentTab([](BrowserTab& tab) { tab.reload(); }); });
  addAction("zoom-in", [&c] { c.zoomIn(); });
  addAction("zoom-out", [&c] { c.zoomOut(); });
  addAction("actual-size", [&c] { c.withCurrentTab([](BrowserTab& tab) { tab.resetZoom(); }); });
  addAction("toggle-sidebar", [&c] { c.toggleSidebar(); });
  addAction("back", [&c] { c.sendToWebView(BrowserCommands::WebViewCommand::goBack); });
  addAction("forward", [&c] { c.sendToWebView(BrowserCommands::WebViewCommand::goForward); });
  // A held Ctrl+Tab's presses come with the frames: one handled in the same turn of the main
  // loop as a frame would show in the frame after it, a missed frame for every such press. The
  // views take the new selection at once instead.
  const auto step = [&c](bool forward) {
    c.tabs().selectAdjacentTab(forward);
    runWaitingMainLoopWork();
  };
  addAction("next-tab", [step] { step(true); });
  addAction("previous-tab", [step] { step(false); });
  addAction("next-space", [&c] { c.stepSpace(+1); });
  addAction("previous-space", [&c] { c.stepSpace(-1); });
  addAction("toggle-menu", [this] { togglePopover(); });

  window_.add_action_with_parameter(
      "select-tab", Glib::VARIANT_TYPE_INT32, [&c](const Glib::VariantBase& parameter) {
        c.tabs().selectTab(Glib::VariantBase::cast_dynamic<Glib::Variant<int>>(parameter).get());
      });
  actionNames_.push_back("select-tab");
}

void BrowserMenu::installShortcuts() {
  // Capture phase on the window: the keys are taken before the page or a text field with the
  // focus gets them, and GTK's own Ctrl+Tab focus moves never see them.
  shortcuts_ = Gtk::ShortcutController::create();
  shortcuts_->set_name(kShortcutsName);
  shortcuts_->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  shortcuts_->set_scope(Gtk::ShortcutScope::LOCAL);

  auto add = [this](const std::string& key, const std::string& detailedAction) {
    Glib::ustring name;
    Glib::VariantBase target;
    Gio::Action::parse_detailed_name_variant(detailedAction, name, target);
    auto shortcut = Gtk::Shortcut::create(Gtk::ShortcutTrigger::parse_string(key),
                                          Gtk::NamedAction::create(name));
    if (target) shortcut->set_arguments(target);
    shortcuts_->add_shortcut(shortcut);
  };
  for (const auto& menu : commands_.menus()) {
    for (const auto& section : menu.sections) {
      for (const auto& item : section) {
        for (const auto& key : item.keys) add(key, item.action);
      }
    }
  }
  add(kMenuKey, "win.toggle-menu");
  // The open menu has the keyboard to itself, so it closes on the key that opened it.
  auto menuKey = Gtk::ShortcutController::create();
  menuKey->add_shortcut(Gtk::Shortcut::create(Gtk::ShortcutTrigger::parse_string(kMenuKey),
                                              Gtk::NamedAction::create("win.toggle-menu")));
  popover_->add_controller(menuKey);
  window_.add_controller(shortcuts_);
}

}  // namespace zemblo
