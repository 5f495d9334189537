#include "app/save_page_command.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/browser_commands.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/download_names.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "platform/paths.h"
#include "web/page_saving.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

WebKitWebView* pageViewOf(const std::shared_ptr<BrowserTab>& tab) {
  if (!tab || tab->showsStartPage()) return nullptr;
  auto* port = dynamic_cast<WebKitWebViewPort*>(tab->storedWebView());
  return port ? port->webView() : nullptr;
}

// The folder the chooser opens in: the one downloads go to.
std::filesystem::path startFolder(const BrowserStore& store) {
  const auto& chosen = store.preferences().observablePrefs().peek().downloadFolder;
  return chosen ? std::filesystem::path(*chosen) : paths::downloadsDirectory();
}

void save(const std::weak_ptr<BrowserTab>& page, const std::weak_ptr<BrowserStore>& owner,
          const std::filesystem::path& file) {
  const auto tab = page.lock();
  WebKitWebView* view = pageViewOf(tab);
  if (!view) return;
  savePageAsMHTML(view, file, [owner](std::optional<std::string> failure) {
    const auto store = owner.lock();
    if (!failure || !store) return;
    store->notices.mutate([&](std::vector<std::string>& list) {
      list.push_back(withArgument(localized("Sayfa kaydedilemedi: %@"), *failure));
    });
  });
}

}  // namespace

void saveCurrentPage(const BrowserCommands& commands, Gtk::Window& parent) {
  const auto tab = commands.currentTab();
  if (!pageViewOf(tab)) return;
  const std::string title = localized("Sayfayı Farklı Kaydet…");
  auto chooser = Gtk::FileChooserNative::create(title, parent, Gtk::FileChooser::Action::SAVE,
                                                localized("Kaydet"), localized("Vazgeç"));
  chooser->set_modal(true);
  std::error_code error;
  const std::filesystem::path folder = startFolder(commands.store());
  if (std::filesystem::is_directory(folder, error)) {
    chooser->set_current_folder(Gio::File::create_for_path(folder.string()));
  }
  const auto& address = tab->url.peek();
  const auto host = address ? address->host() : std::nullopt;
  chooser->set_current_name(savedPageName(tab->title.peek(), host.value_or("")));
  // The chooser keeps itself alive until it answers: its handler holds the only reference.
  auto held = std::make_shared<Glib::RefPtr<Gtk::FileChooserNative>>(chooser);
  chooser->signal_response().connect([held, page = std::weak_ptr<BrowserTab>(tab),
                                      owner = commands.store().weak_from_this()](int response) {
    const auto self = std::exchange(*held, nullptr);
    if (!self) return;
    const auto file = response == Gtk::ResponseType::ACCEPT ? self->get_file() : nullptr;
    self->hide();
    if (file && !file->get_path().empty()) save(page, owner, file->get_path());
  });
  chooser->show();
}

}  // namespace zemblo
