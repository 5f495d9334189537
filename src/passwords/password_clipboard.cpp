#include "passwords/password_clipboard.h"

#include <array>

namespace zemblo {
namespace {

// The type clipboard managers look for before they keep an entry in their history.
constexpr const char* kSecretHintType = "x-kde-passwordManagerHint";

Glib::RefPtr<Gdk::ContentProvider> textProvider(const std::string& text) {
  GValue value = G_VALUE_INIT;
  g_value_init(&value, G_TYPE_STRING);
  g_value_set_string(&value, text.c_str());
  GdkContentProvider* provider = gdk_content_provider_new_for_value(&value);
  g_value_unset(&value);
  return Glib::wrap(provider);
}

Glib::RefPtr<Gdk::ContentProvider> secretProvider(const std::string& text) {
  GBytes* hint = g_bytes_new_static("secret", 6);
  std::array<GdkContentProvider*, 2> parts = {
      textProvider(text)->gobj_copy(), gdk_content_provider_new_for_bytes(kSecretHintType, hint)};
  g_bytes_unref(hint);
  return Glib::wrap(gdk_content_provider_new_union(parts.data(), parts.size()));
}

}  // namespace

PasswordClipboard::PasswordClipboard(Scheduler& scheduler) : scheduler_(scheduler) {}

PasswordClipboard::~PasswordClipboard() = default;

Glib::RefPtr<Gdk::Clipboard> PasswordClipboard::clipboard() const {
  const auto display = Gdk::Display::get_default();
  return display ? display->get_clipboard() : nullptr;
}

void PasswordClipboard::copyUsername(const std::string& username) {
  if (const auto board = clipboard()) board->set_content(textProvider(username));
  // The password it replaced is gone from the clipboard; its expiry has nothing left to do.
  password_.reset();
  expiry_.reset();
}

void PasswordClipboard::copyPassword(const std::string& password) {
  const auto board = clipboard();
  if (!board) return;
  password_ = secretProvider(password);
  board->set_content(password_);
  expiry_ = scheduler_.after(kPasswordLifetime, [this] { clearPassword(); });
}

void PasswordClipboard::clearPassword() {
  expiry_.reset();
  const auto board = clipboard();
  if (password_ && board && board->get_content() == password_) board->unset_content();
  password_.reset();
}

}  // namespace zemblo
