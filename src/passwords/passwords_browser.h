#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/credential_index.h"
#include "platform/observable.h"

namespace zemblo {

class CredentialDetail;
class CredentialRow;
class FaviconLoader;
class PasswordClipboard;
class PasswordStore;
class WindowModel;

// The unlocked passwords window: the searchable list of saved logins, sorted by site, beside the
// selected login's detail. Deleting from the list's context menu asks nothing (the detail's own
// delete button does). The selection is a login's id: it stays while a search hides the login,
// whose detail then stays on screen.
class PasswordsBrowser : public Gtk::Paned {
 public:
  static constexpr int kListMinimumWidth = 240;
  static constexpr int kListWidth = 280;

  // A login's website opens in a new tab of the tabs `lastUsedTabs` gives at the time.
  PasswordsBrowser(PasswordStore& passwords, std::function<WindowModel*()> lastUsedTabs,
                   FaviconLoader& favicons, PasswordClipboard& clipboard,
                   std::function<void()> showImport);
  ~PasswordsBrowser() override;

  void focusSearch();

 private:
  // The list's context menu for the row of a login, and its delete action. Shift+F10 and the
  // Menu key open it for the focused row.
  void showContextMenu(const Uuid& id);
  void deleteCredentials(const std::vector<Uuid>& ids);
  void sync();
  void applySearch();
  void selectionChanged();
  void showSelection();
  void updateEmptyState();
  void updateDetail();
  std::optional<size_t> displayPosition(const Glib::RefPtr<Glib::ObjectBase>& item) const;
  bool shows(GtkStringObject* item) const;
  CredentialRow* rowFor(const Uuid& id);
  void openMenuWithKeys();
  CredentialRow* focusedRow();

  PasswordStore& passwords_;
  std::function<WindowModel*()> lastUsedTabs_;
  FaviconLoader& favicons_;
  PasswordClipboard& clipboard_;
  std::function<void()> showImport_;
  std::optional<Uuid> selection_;
  // The vault as last shown, its display order and which of it the search keeps.
  std::vector<Credential> credentials_;
  CredentialIndex index_;
  std::vector<char> matches_;
  size_t matchCount_ = 0;
  // The query the list was last filtered by; none after the vault changed.
  std::optional<std::string> filteredBy_;
  bool updatingModel_ = false;
  std::optional<Uuid> menuTarget_;

  Gtk::Box column_{Gtk::Orientation::VERTICAL, 0};
  Gtk::SearchEntry search_;
  Gtk::Overlay listOverlay_;
  Gtk::ScrolledWindow scroller_;
  Glib::RefPtr<Gtk::StringList> items_;
  Glib::RefPtr<Gtk::Filter> filter_;
  Glib::RefPtr<Gtk::FilterListModel> filtered_;
  Glib::RefPtr<Gtk::SingleSelection> selectionModel_;
  Gtk::ListView list_;
  GtkWidget* emptyState_ = nullptr;  // owned by the overlay
  Gtk::Button emptyImport_;
  Gtk::Box detailArea_;
  GtkWidget* placeholder_ = nullptr;  // owned by the detail area
  std::unique_ptr<CredentialDetail> detail_;
  Gtk::Popover menu_;
  Gtk::Button menuDelete_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
