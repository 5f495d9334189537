#include "passwords/passwords_browser.h"

#include <adwaita.h>

#include <charconv>
#include <cstring>

#include "model/localization.h"
#include "model/password_store.h"
#include "passwords/credential_detail.h"
#include "passwords/credential_row.h"
#include "widgets/accessibility.h"
#include "widgets/keyboard_regions.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

std::string escapedMarkup(const std::string& text) {
  gchar* escaped = g_markup_escape_text(text.c_str(), gssize(text.size()));
  std::string result(escaped);
  g_free(escaped);
  return result;
}

void setStatus(GtkWidget* page, const char* symbol, const std::string& title,
               const std::string& description) {
  auto* status = ADW_STATUS_PAGE(page);
  adw_status_page_set_icon_name(status, symbolIconName(symbol));
  adw_status_page_set_title(status, title.c_str());
  adw_status_page_set_description(status, escapedMarkup(description).c_str());
}

CredentialRow* findRow(Gtk::Widget& widget, const Uuid& id) {
  if (auto* row = dynamic_cast<CredentialRow*>(&widget); row && row->credentialId() == id) {
    return row;
  }
  for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
    if (CredentialRow* found = findRow(*child, id)) return found;
  }
  return nullptr;
}

}  // namespace

PasswordsBrowser::PasswordsBrowser(PasswordStore& passwords,
                                   std::function<WindowModel*()> lastUsedTabs,
                                   FaviconLoader& favicons, PasswordClipboard& clipboard,
                                   std::function<void()> showImport)
    : Gtk::Paned(Gtk::Orientation::HORIZONTAL),
      passwords_(passwords),
      lastUsedTabs_(std::move(lastUsedTabs)),
      favicons_(favicons),
      clipboard_(clipboard),
      showImport_(std::move(showImport)),
      items_(Gtk::StringList::create({})) {
  add_css_class("passwords-browser");
  // The divider between the list and the login moves with the keys too.
  setAccessibleName(*this, localized("Şifreler"));

  search_.property_placeholder_text() = localized("Ara");
  setAccessibleName(search_, localized("Ara"));
  search_.set_margin(8);
  search_.signal_changed().connect([this] { applySearch(); });

  filter_ = Glib::wrap(GTK_FILTER(gtk_custom_filter_new(
      [](gpointer item, gpointer self) -> gboolean {
        return static_cast<PasswordsBrowser*>(self)->shows(GTK_STRING_OBJECT(item));
      },
      this, nullptr)));
  filtered_ = Gtk::FilterListModel::create(items_, filter_);
  selectionModel_ = Gtk::SingleSelection::create(filtered_);
  selectionModel_->set_autoselect(false);
  selectionModel_->set_can_unselect(true);
  selectionModel_->signal_selection_changed().connect([this](guint, guint) { selectionChanged(); });

  auto factory = Gtk::SignalListItemFactory::create();
  factory->signal_setup().connect([this](const Glib::RefPtr<Gtk::ListItem>& item) {
    auto* row = Gtk::make_managed<CredentialRow>(favicons_);
    auto menuClick = Gtk::GestureClick::create();
    menuClick->set_button(GDK_BUTTON_SECONDARY);
    menuClick->signal_pressed().connect(
        [this, row](int, double, double) { showContextMenu(row->credentialId()); });
    row->add_controller(menuClick);
    item->set_child(*row);
  });
  factory->signal_bind().connect([this](const Glib::RefPtr<Gtk::ListItem>& item) {
    auto* row = dynamic_cast<CredentialRow*>(item->get_child());
    const auto position = displayPosition(item->get_item());
    if (row && position && *position < index_.size()) {
      row->set(credentials_[index_.order()[*position]]);
    }
  });
  list_.set_model(selectionModel_);
  list_.set_factory(factory);
  list_.add_css_class("navigation-sidebar");
  setAccessibleName(list_, localized("Şifreler"));
  setAccessibleName(scroller_, localized("Şifreler"));
  // One stop, as the other lists: the arrows walk the logins.
  passAsOneTabStop(list_);
  scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
  scroller_.set_child(list_);
  scroller_.set_vexpand(true);
  listOverlay_.set_child(scroller_);

  emptyState_ = adw_status_page_new();
  gtk_widget_set_name(emptyState_, "PasswordsEmptyState");
  gtk_widget_add_css_class(emptyState_, "compact");
  emptyImport_.set_label(localized("Şifreleri İçe Aktar"));
  emptyImport_.add_css_class("pill");
  emptyImport_.set_halign(Gtk::Align::CENTER);
  emptyImport_.signal_clicked().connect([this] { showImport_(); });
  adw_status_page_set_child(ADW_STATUS_PAGE(emptyState_), emptyImport_.Gtk::Widget::gobj());
  gtk_overlay_add_overlay(listOverlay_.gobj(), emptyState_);

  column_.append(search_);
  column_.append(listOverlay_);
  column_.set_size_request(kListMinimumWidth, -1);
  column_.add_css_class("passwords-list-column");

  placeholder_ = adw_status_page_new();
  gtk_widget_set_name(placeholder_, "PasswordsPlaceholder");
  gtk_widget_set_hexpand(placeholder_, TRUE);
  gtk_widget_set_vexpand(placeholder_, TRUE);
  gtk_box_append(GTK_BOX(detailArea_.gobj()), placeholder_);
  // Its pane holds no control: left focusable, it would be a stop that says nothing.
  for (GtkWidget* part = gtk_widget_get_first_child(placeholder_); part;
       part = gtk_widget_get_next_sibling(part)) {
    if (GTK_IS_SCROLLED_WINDOW(part)) gtk_widget_set_can_focus(part, FALSE);
  }
  detailArea_.set_hexpand(true);

  set_start_child(column_);
  set_end_child(detailArea_);
  set_resize_start_child(false);
  set_shrink_start_child(false);
  set_shrink_end_child(false);
  set_position(kListWidth);

  menuDelete_.set_label(localized("Sil"));
  menuDelete_.add_css_class("flat");
  menuDelete_.add_css_class("destructive-text");
  menuDelete_.signal_clicked().connect([this] {
    menu_.popdown();
    if (menuTarget_) deleteCredentials({*menuTarget_});
  });
  menu_.set_child(menuDelete_);
  menu_.set_has_arrow(false);
  menu_.set_parent(list_);
  openMenuWithKeys();

  groupToolkitParts(*this);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

PasswordsBrowser::~PasswordsBrowser() {
  observer_.reset();
  menu_.unparent();
  // The rows' detail and list go before the models they read.
  detail_.reset();
  list_.set_model(nullptr);
}

namespace {

// Items hold their login's display position as text.
std::optional<size_t> positionOf(GtkStringObject* item) {
  const char* digits = gtk_string_object_get_string(item);
  size_t position = 0;
  const auto [end, error] = std::from_chars(digits, digits + strlen(digits), position);
  if (error != std::errc()) return std::nullopt;
  return position;
}

}  // namespace

std::optional<size_t> PasswordsBrowser::displayPosition(
    const Glib::RefPtr<Glib::ObjectBase>& item) const {
  const auto text = std::dynamic_pointer_cast<Gtk::StringObject>(item);
  if (!text) return std::nullopt;
  return positionOf(text->gobj());
}

bool PasswordsBrowser::shows(GtkStringObject* item) const {
  const auto position = positionOf(item);
  return position && *position < matches_.size() && matches_[*position];
}

void PasswordsBrowser::sync() {
  const PasswordStore& vault = passwords_;
  credentials_ = vault.credentials.get();
  vault.state.get();
  index_ = CredentialIndex(credentials_);
  std::vector<Glib::ustring> positions;
  positions.reserve(index_.size());
  for (size_t i = 0; i < index_.size(); ++i) positions.push_back(std::to_string(i));
  filteredBy_.reset();
  updatingModel_ = true;
  items_->splice(0, items_->get_n_items(), positions);
  updatingModel_ = false;
  applySearch();
}

void PasswordsBrowser::applySearch() {
  const std::string query = CredentialIndex::query(search_.get_text().raw());
  matches_.assign(index_.size(), 0);
  matchCount_ = 0;
  for (size_t i = 0; i < index_.size(); ++i) {
    if (index_.matches(i, query)) {
      matches_[i] = 1;
      ++matchCount_;
    }
  }
  // Typing on only narrows the list and deleting only widens it: the list then checks only the
  // rows that can change, which keeps each keystroke cheap with thousands of logins.
  GtkFilterChange change = GTK_FILTER_CHANGE_DIFFERENT;
  if (filteredBy_ && query.find(*filteredBy_) != std::string::npos) {
    change = GTK_FILTER_CHANGE_MORE_STRICT;
  } else if (filteredBy_ && filteredBy_->find(query) != std::string::npos) {
    change = GTK_FILTER_CHANGE_LESS_STRICT;
  }
  filteredBy_ = query;
  updatingModel_ = true;
  gtk_filter_changed(filter_->gobj(), change);
  updatingModel_ = false;
  showSelection();
  updateEmptyState();
  updateDetail();
}

void PasswordsBrowser::showSelection() {
  // The selected login's place among the rows shown, if it is shown.
  guint shown = GTK_INVALID_LIST_POSITION;
  if (selection_) {
    guint row = 0;
    for (size_t i = 0; i < index_.size(); ++i) {
      if (!matches_[i]) continue;
      if (credentials_[index_.order()[i]].id == *selection_) {
        shown = row;
        break;
      }
      ++row;
    }
  }
  updatingModel_ = true;
  selectionModel_->set_selected(shown);
  updatingModel_ = false;
}

void PasswordsBrowser::selectionChanged() {
  if (updatingModel_) return;
  const auto position = displayPosition(selectionModel_->get_selected_item());
  if (position && *position < index_.size()) {
    selection_ = credentials_[index_.order()[*position]].id;
  } else {
    selection_.reset();
  }
  updateDetail();
}

void PasswordsBrowser::updateEmptyState() {
  const PasswordStore& vault = passwords_;
  const VaultState state = vault.state.peek();
  bool shown = true;
  bool offersImport = false;
  if (state == VaultState::unavailable) {
    // Not an empty vault: the logins are in the keyring, which cannot be read now.
    setStatus(emptyState_, "exclamationmark.triangle.fill", localized("Şifrelere erişilemiyor"),
              localizedDescription(PasswordImportError::vaultUnavailable));
  } else if (credentials_.empty()) {
    shown = state == VaultState::available;
    offersImport = true;
    setStatus(emptyState_, "key", localized("Henüz şifre yok"),
              localized("Diğer tarayıcından şifrelerini içe aktar."));
  } else if (matchCount_ == 0) {
    setStatus(emptyState_, "magnifyingglass",
              withArgument(localized("“%@” için sonuç yok"), search_.get_text().raw()),
              localized("Yazımı kontrol et ya da yeni bir arama dene."));
  } else {
    shown = false;
  }
  gtk_widget_set_visible(emptyState_, shown);
  emptyImport_.set_visible(offersImport);
}

void PasswordsBrowser::updateDetail() {
  std::optional<Credential> selected;
  if (selection_) selected = passwords_.credential(*selection_);
  if (!selected) {
    if (detail_) {
      detailArea_.remove(*detail_);
      detail_.reset();
    }
    setStatus(placeholder_, "key.horizontal", localized("Bir şifre seç"),
              localized("%@ kayıtlı şifre", (long long)credentials_.size()));
    gtk_widget_set_visible(placeholder_, TRUE);
    return;
  }
  gtk_widget_set_visible(placeholder_, FALSE);
  if (detail_ && detail_->credential().id == selected->id) {
    detail_->set(std::move(*selected));
    return;
  }
  // Another login gets a page of its own, with nothing revealed or copied.
  if (detail_) detailArea_.remove(*detail_);
  detail_ = std::make_unique<CredentialDetail>(passwords_, lastUsedTabs_, favicons_, clipboard_,
                                               std::move(*selected));
  detailArea_.append(*detail_);
}

CredentialRow* PasswordsBrowser::rowFor(const Uuid& id) { return findRow(list_, id); }

void PasswordsBrowser::showContextMenu(const Uuid& id) {
  menuTarget_ = id;
  if (CredentialRow* row = rowFor(id)) {
    graphene_rect_t bounds;
    if (gtk_widget_compute_bounds(GTK_WIDGET(row->gobj()), GTK_WIDGET(list_.gobj()), &bounds)) {
      const Gdk::Rectangle target(int(bounds.origin.x + bounds.size.width / 2),
                                  int(bounds.origin.y + bounds.size.height), 1, 1);
      menu_.set_pointing_to(target);
    }
  }
  menu_.popup();
}

void PasswordsBrowser::openMenuWithKeys() {
  auto keys = Gtk::ShortcutController::create();
  keys->add_shortcut(Gtk::Shortcut::create(
      Gtk::ShortcutTrigger::parse_string("<Shift>F10|Menu"),
      Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
        CredentialRow* row = focusedRow();
        if (!row) return false;
        showContextMenu(row->credentialId());
        // Opened from the keyboard, the menu must take it, or the next key would go on in the list.
        menuDelete_.grab_focus();
        return true;
      })));
  list_.add_controller(keys);
}

void PasswordsBrowser::focusSearch() { search_.grab_focus(); }

CredentialRow* PasswordsBrowser::focusedRow() {
  // The list gives the focus to the item around a row, not to the row.
  for (Gtk::Widget* item = Glib::wrap(gtk_widget_get_focus_child(GTK_WIDGET(list_.gobj()))); item;
       item = item->get_first_child()) {
    if (auto* row = dynamic_cast<CredentialRow*>(item)) return row;
  }
  return nullptr;
}

void PasswordsBrowser::deleteCredentials(const std::vector<Uuid>& ids) {
  for (const Uuid& id : ids) passwords_.deleteCredential(id);
}

}  // namespace zemblo
