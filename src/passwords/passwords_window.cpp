#include "passwords/passwords_window.h"

#include <utility>

#include "model/localization.h"
#include "passwords/import_passwords_sheet.h"
#include "passwords/passwords_browser.h"
#include "passwords/passwords_style.h"
#include "platform/text.h"
#include "widgets/accessibility.h"
#include "widgets/close_keys.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

PasswordsWindow::PasswordsWindow(const Models& models, FaviconLoader& favicons,
                                 const SystemColorScheme& scheme, PasswordClipboard& clipboard)
    : models_(models),
      favicons_(favicons),
      scheme_(scheme),
      clipboard_(clipboard),
      style_(std::make_unique<PasswordsStyle>()) {
  set_default_size(kDefaultWidth, kDefaultHeight);
  add_css_class("passwords-window");
  registerSymbolIcons(get_display());

  auto* importContent = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  auto* importSymbol = Gtk::make_managed<Gtk::Image>();
  importSymbol->set_from_icon_name(symbolIconName("square.and.arrow.down"));
  presentAsDecoration(*importSymbol);
  importContent->append(*importSymbol);
  importContent->append(*Gtk::make_managed<Gtk::Label>());
  import_.set_child(*importContent);
  import_.signal_clicked().connect([this] { showImport(); });
  header_.pack_end(import_);
  set_titlebar(header_);

  content_.set_transition_type(Gtk::StackTransitionType::CROSSFADE);
  content_.set_transition_duration(300);
  content_.set_size_request(kMinimumWidth, kMinimumHeight);
  set_child(content_);
  // Escape is the lock screen's: it ends an authentication waiting for the password.
  closeWithKeys(*this, {"<Control>w"});
  // Ctrl+F goes to Search from wherever the focus is, the title bar included.
  auto search = Gtk::ShortcutController::create();
  search->add_shortcut(Gtk::Shortcut::create(
      Gtk::ShortcutTrigger::parse_string("<Control>f"),
      Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
        if (browser_) browser_->focusSearch();
        return browser_ != nullptr;
      })));
  add_controller(search);

  rebuildContent();
}

PasswordsWindow::~PasswordsWindow() {
  sheetDisposal_.disconnect();
  attempt_.reset();
  sheet_.reset();
  // Off screen before they go: a view that stops its animations on unmap must still exist then.
  unset_focus();
  unset_default_widget();
  if (browser_) content_.remove(*browser_);
  if (locked_) content_.remove(*locked_);
}

void PasswordsWindow::requestImport() {
  importRequested_ = true;
  // A request made while the window is on screen is taken at once; one made before it appeared
  // is taken when it appears.
  if (get_mapped()) takeImportRequest();
}

void PasswordsWindow::rebuildContent() {
  closeImport();
  attempt_.reset();
  awaitingAnswer_ = false;
  authError_.reset();
  notice_.reset();
  prompt_.reset();
  unlocked_ = false;
  unset_focus();
  unset_default_widget();
  if (browser_) content_.remove(*browser_);
  browser_.reset();
  if (locked_) content_.remove(*locked_);

  set_title(localized("Şifreler"));
  const std::string importText = localized("İçe Aktar");
  static_cast<Gtk::Label*>(import_.get_child()->get_last_child())->set_text(importText);
  import_.set_tooltip_text(localized("Şifreleri içe aktar"));
  setAccessibleName(import_, importText);

  locked_ = std::make_unique<LockedPasswordsView>(
      models_.preferences, models_.windows, scheme_,
      LockedPasswordsView::Actions{[this] { authenticate(); }, [this] { showImport(); },
                                   [this] { cancelAuthentication(); }});
  content_.add(*locked_, "locked", localized("Şifreler kilitli"));
  set_default_widget(locked_->unlockButton());
  showState();
  if (get_mapped()) handleImportRequest();
}

void PasswordsWindow::on_map() {
  Gtk::Window::on_map();
  handleImportRequest();
}

void PasswordsWindow::on_unmap() {
  lock();
  Gtk::Window::on_unmap();
}

void PasswordsWindow::handleImportRequest() {
  if (importRequested_) {
    // The sheet goes over the lock screen; the password waits until the user asks to unlock.
    takeImportRequest();
    return;
  }
  if (!unlocked_ && !attempt_) startAttempt();
  locked_->passwordField().grab_focus();
}

void PasswordsWindow::takeImportRequest() {
  if (!std::exchange(importRequested_, false)) return;
  showImport();
}

void PasswordsWindow::authenticate() {
  Gtk::PasswordEntry& field = locked_->passwordField();
  const std::string typed = field.get_text();
  if (attempt_ && !awaitingAnswer_) return;  // the system is still checking
  if (!attempt_) startAttempt();
  if (awaitingAnswer_ || !typed.empty()) {
    awaitingAnswer_ = false;
    attempt_->answer(typed);
    field.set_text("");
  }
  showState();
}

void PasswordsWindow::startAttempt() {
  authError_.reset();
  notice_.reset();
  prompt_.reset();
  awaitingAnswer_ = false;
  questionsAsked_ = 0;
  AccountAuthentication::Handlers handlers;
  handlers.question = [this](const std::string& prompt, bool secret) {
    questionAsked(prompt, secret);
  };
  handlers.message = [this](const std::string& text, bool) {
    notice_ = text;
    showState();
  };
  handlers.finished = [this](const AccountAuthentication::Result& result) {
    attemptFinished(result);
  };
  attempt_ = std::make_unique<AccountAuthentication>(std::move(handlers));
  showState();
}

void PasswordsWindow::questionAsked(const std::string& prompt, bool) {
  awaitingAnswer_ = true;
  // The first question is the account password, which the field's own text asks for; later ones
  // (a one-time code, say) are the system's own and shown as it words them.
  if (++questionsAsked_ > 1) {
    std::string_view shown = trimmedWhitespaceAndNewlines(prompt);
    if (shown.ends_with(':')) shown.remove_suffix(1);
    prompt_ = std::string(shown);
  }
  showState();
  locked_->passwordField().grab_focus();
}

void PasswordsWindow::attemptFinished(const AccountAuthentication::Result& result) {
  attempt_.reset();
  awaitingAnswer_ = false;
  prompt_.reset();
  using Status = AccountAuthentication::Status;
  switch (result.status) {
    case Status::succeeded:
      unlocked_ = true;
      browser_ = std::make_unique<PasswordsBrowser>(
          models_.passwords, models_.lastUsedTabs, favicons_, clipboard_, [this] { showImport(); });
      content_.add(*browser_, "logins", localized("Şifreler"));
      break;
    case Status::failed:
      authError_ = localized("Kimlik doğrulanamadı. Parolanı kontrol edip tekrar dene.");
      break;
    case Status::tooManyAttempts:
      authError_ = localized("Çok fazla başarısız deneme. Biraz sonra tekrar dene.");
      break;
    case Status::unavailable:
      g_warning("The account password could not be checked: %s", result.detail.c_str());
      authError_ = withArgument(localized("Kimlik doğrulama kullanılamıyor (%@)."), result.detail);
      break;
    case Status::cancelled:
      break;
  }
  showState();
  if (!unlocked_) locked_->passwordField().grab_focus();
}

void PasswordsWindow::cancelAuthentication() {
  // Escape after a failed attempt also dismisses the failure, which would otherwise stay red.
  if (!attempt_ && !authError_) return;
  authError_.reset();
  attempt_.reset();
  awaitingAnswer_ = false;
  prompt_.reset();
  notice_.reset();
  locked_->passwordField().set_text("");
  showState();
}

void PasswordsWindow::lock() {
  attempt_.reset();
  awaitingAnswer_ = false;
  prompt_.reset();
  if (unlocked_) {
    unlocked_ = false;
    content_.set_visible_child(*locked_);
    content_.remove(*browser_);
    browser_.reset();
  }
  showState();
}

void PasswordsWindow::showState() {
  locked_->show({static_cast<bool>(attempt_), awaitingAnswer_, authError_, notice_, prompt_});
  import_.set_visible(unlocked_);
  if (unlocked_ && browser_) {
    content_.set_visible_child(*browser_);
  } else {
    content_.set_visible_child(*locked_);
  }
}

void PasswordsWindow::showImport() {
  if (!sheet_) {
    sheet_ = std::make_unique<ImportPasswordsSheet>(models_.passwords, models_.preferences,
                                                    models_.windows, *this);
    sheet_->signal_close_request().connect(
        [this] {
          closeImport();
          return true;
        },
        false);
  }
  sheet_->present();
}

void PasswordsWindow::closeImport() {
  if (!sheet_) return;
  sheet_->set_visible(false);
  // Ended on a later turn, out of its own signal handlers; the next one starts afresh. Ahead of
  // the redraws, which the lock screen's animation keeps coming.
  sheetDisposal_.disconnect();
  sheetDisposal_ = Glib::signal_idle().connect(
      [this] {
        if (sheet_ && !sheet_->get_visible()) sheet_.reset();
        return false;
      },
      Glib::PRIORITY_HIGH_IDLE);
}

}  // namespace zemblo
