#include "passwords/credential_detail.h"

#include <adwaita.h>

#include <initializer_list>

#include "model/credential_texts.h"
#include "model/localization.h"
#include "model/password_store.h"
#include "model/window_model.h"
#include "passwords/password_clipboard.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

void setSymbol(Gtk::Button& button, const char* symbol) {
  button.set_icon_name(symbolIconName(symbol));
}

void styleIconButton(Gtk::Button& button, const std::string& tooltip) {
  button.add_css_class("credential-action");
  button.add_css_class("flat");
  button.add_css_class("circular");
  button.set_valign(Gtk::Align::CENTER);
  button.set_tooltip_text(tooltip);
  setAccessibleName(button, tooltip);
}

// One line of the fields card: a caption over a value, and the line's buttons at the end.
Gtk::Box& fieldRow(const std::string& caption, Gtk::Label& value,
                   std::initializer_list<Gtk::Button*> buttons) {
  auto& row = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
  row.add_css_class("credential-field");
  auto& text = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 3);
  auto& label = *Gtk::make_managed<Gtk::Label>(caption);
  label.add_css_class("credential-field-caption");
  label.add_css_class("dim-label");
  label.set_xalign(0);
  value.add_css_class("credential-field-value");
  value.set_xalign(0);
  text.append(label);
  text.append(value);
  text.set_hexpand(true);
  text.set_valign(Gtk::Align::CENTER);
  row.append(text);
  for (Gtk::Button* button : buttons) row.append(*button);
  return row;
}

Gtk::Separator& insetDivider() {
  auto& divider = *Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL);
  divider.set_margin_start(16);
  divider.add_css_class("credential-divider");
  return divider;
}

}  // namespace

CredentialDetail::CredentialDetail(PasswordStore& passwords,
                                   std::function<WindowModel*()> lastUsedTabs,
                                   FaviconLoader& favicons, PasswordClipboard& clipboard,
                                   Credential credential)
    : passwords_(passwords),
      lastUsedTabs_(std::move(lastUsedTabs)),
      clipboard_(clipboard),
      credential_(std::move(credential)),
      icon_(favicons, kHeaderIconSize) {
  set_name("CredentialDetail");
  add_css_class("credential-detail");
  set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
  set_hexpand(true);
  set_vexpand(true);

  iconTile_.add_css_class("credential-icon-tile");
  icon_.set_margin(12);  // a 64-point tile around the 40-point icon
  iconTile_.append(icon_);
  iconTile_.set_valign(Gtk::Align::CENTER);
  title_.set_name("CredentialTitle");
  title_.add_css_class("credential-title");
  dateLine_.add_css_class("credential-date");
  dateLine_.add_css_class("dim-label");
  for (Gtk::Label* label : {&title_, &dateLine_}) {
    label->set_xalign(0);
    label->set_wrap(true);
    label->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    headerText_.append(*label);
  }
  headerText_.set_valign(Gtk::Align::CENTER);
  // The texts take the column's width beside the icon: held to what a wrapping label asks for,
  // a longer date line (the Turkish one) broke though the column had room.
  headerText_.set_hexpand(true);
  header_.append(iconTile_);
  header_.append(headerText_);

  // The three values share one style; their names tell them apart.
  usernameValue_.set_name("CredentialUsername");
  passwordValue_.set_name("CredentialPassword");
  websiteValue_.set_name("CredentialWebsite");
  notes_.set_name("CredentialNotes");
  usernameValue_.set_selectable(true);
  usernameValue_.set_ellipsize(Pango::EllipsizeMode::END);
  passwordValue_.set_selectable(true);
  passwordValue_.set_ellipsize(Pango::EllipsizeMode::END);
  passwordValue_.add_css_class("monospace");
  websiteValue_.set_wrap(true);
  websiteValue_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  styleIconButton(copyUsername_, localized("Kopyala"));
  styleIconButton(reveal_, localized("Göster"));
  styleIconButton(copyPassword_, localized("Şifreyi kopyala"));
  styleIconButton(open_, localized("Tarayıcıda aç"));
  setSymbol(open_, "arrow.up.right");
  copyUsername_.signal_clicked().connect([this] { copyUsername(); });
  reveal_.signal_clicked().connect([this] { toggleReveal(); });
  copyPassword_.signal_clicked().connect([this] { copyPassword(); });
  open_.signal_clicked().connect([this] { openSite(); });

  card_.add_css_class("credential-card");
  card_.append(fieldRow(localized("Kullanıcı adı"), usernameValue_, {&copyUsername_}));
  card_.append(insetDivider());
  card_.append(fieldRow(localized("Şifre"), passwordValue_, {&reveal_, &copyPassword_}));
  card_.append(insetDivider());
  card_.append(fieldRow(localized("Web sitesi"), websiteValue_, {&open_}));

  notesLabel_.set_text(localized("Notlar"));
  notesLabel_.add_css_class("credential-field-caption");
  notesLabel_.add_css_class("dim-label");
  notesValue_.set_selectable(true);
  notesValue_.set_wrap(true);
  notesValue_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  for (Gtk::Label* label : {&notesLabel_, &notesValue_}) {
    label->set_xalign(0);
    notes_.append(*label);
  }

  deleteIcon_.set_from_icon_name(symbolIconName("trash"));
  presentAsDecoration(deleteIcon_);
  deleteLabel_.set_text(localized("Şifreyi Sil"));
  deleteContent_.append(deleteIcon_);
  deleteContent_.append(deleteLabel_);
  delete_.set_child(deleteContent_);
  delete_.add_css_class("credential-delete");
  delete_.set_halign(Gtk::Align::START);
  setAccessibleName(delete_, localized("Şifreyi Sil"));
  delete_.signal_clicked().connect([this] { confirmDelete(); });

  column_.set_margin(kPadding);
  for (Gtk::Widget* child :
       std::initializer_list<Gtk::Widget*>{&header_, &card_, &notes_, &delete_}) {
    column_.append(*child);
  }
  set_child(clamp_);
  groupToolkitParts(*this);
  sync();
}

CredentialDetail::~CredentialDetail() { copiedReset_.disconnect(); }

void CredentialDetail::set(Credential credential) {
  if (credential == credential_) return;
  credential_ = std::move(credential);
  sync();
}

void CredentialDetail::sync() {
  const Credential& c = credential_;
  icon_.set(std::nullopt, c.host, kHeaderIconSize);
  title_.set_text(c.title.empty() ? c.host : c.title);
  // The pane scrolls, and so takes the focus when nothing in it can: it is named by its login.
  setAccessibleName(*this, title_.get_text());
  dateLine_.set_text(credentialDateLine(c, Date::now()));
  usernameValue_.set_text(c.username.empty() ? "—" : c.username);
  copyUsername_.set_visible(!c.username.empty());
  passwordValue_.set_text(revealed_ ? c.password : maskedPassword(c.password));
  websiteValue_.set_text(c.host);
  notesValue_.set_text(c.notes);
  notes_.set_visible(!c.notes.empty());

  setSymbol(copyUsername_, copied_ == "user" ? "checkmark" : "doc.on.doc");
  setSymbol(copyPassword_, copied_ == "pass" ? "checkmark" : "doc.on.doc");
  setSymbol(reveal_, revealed_ ? "eye.slash" : "eye");
  const std::string revealTip = localized(revealed_ ? "Gizle" : "Göster");
  reveal_.set_tooltip_text(revealTip);
  setAccessibleName(reveal_, revealTip);
}

void CredentialDetail::toggleReveal() {
  revealed_ = !revealed_;
  sync();
}

void CredentialDetail::copyUsername() {
  if (credential_.username.empty()) return;
  clipboard_.copyUsername(credential_.username);
  markCopied("user");
}

void CredentialDetail::copyPassword() {
  clipboard_.copyPassword(credential_.password);
  markCopied("pass");
}

void CredentialDetail::markCopied(const char* tag) {
  copied_ = tag;
  sync();
  // Each copy shows its checkmark for the same time; a later copy of the other field takes the
  // mark over at once.
  copiedReset_.disconnect();
  copiedReset_ = Glib::signal_timeout().connect(
      [this, tag = std::string(tag)] {
        if (copied_ == tag) copied_.reset();
        sync();
        return false;
      },
      kCheckmarkMilliseconds);
}

void CredentialDetail::openSite() {
  const std::optional<Url> address = credentialSiteAddress(credential_);
  if (!address) return;
  // A browser window comes to the front first: the one used last, or the session's windows when
  // every one was closed. The site opens there, never in a window the user has closed.
  activate_action("app.browser");
  if (WindowModel* tabs = lastUsedTabs_()) tabs->openTab(*address, false);
}

void CredentialDetail::confirmDelete() {
  auto* parent = dynamic_cast<Gtk::Window*>(get_root());
  GtkWidget* dialog = adw_message_dialog_new(
      parent ? parent->gobj() : nullptr, localized("Bu şifre silinsin mi?").c_str(),
      withArgument(localized("%@ için kayıtlı şifre kalıcı olarak silinecek."), credential_.host)
          .c_str());
  auto* message = ADW_MESSAGE_DIALOG(dialog);
  adw_message_dialog_add_response(message, "cancel", localized("Vazgeç").c_str());
  adw_message_dialog_add_response(message, "delete", localized("Sil").c_str());
  adw_message_dialog_set_response_appearance(message, "delete", ADW_RESPONSE_DESTRUCTIVE);
  adw_message_dialog_set_close_response(message, "cancel");
  announceButtonsOnce(dialog);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  // The dialog may answer after this view is gone; it then deletes nothing.
  struct Answer {
    AliveToken::Watch alive;
    CredentialDetail* detail;
  };
  g_signal_connect_data(
      dialog, "response", G_CALLBACK(+[](AdwMessageDialog*, const char* response, Answer* answer) {
        if (g_strcmp0(response, "delete") == 0 && !answer->alive.expired()) {
          answer->detail->deleteConfirmed();
        }
      }),
      std::make_unique<Answer>(Answer{alive_.watch(), this}).release(),
      [](gpointer data, GClosure*) { std::unique_ptr<Answer>(static_cast<Answer*>(data)); },
      GConnectFlags(0));
  gtk_window_present(GTK_WINDOW(dialog));
}

void CredentialDetail::deleteConfirmed() { passwords_.deleteCredential(credential_.id); }

}  // namespace zemblo
