#include "settings/kit/confirmation_dialog.h"

#include <adwaita.h>

#include <cstring>

#include "model/localization.h"
#include "widgets/accessibility.h"

namespace zemblo {

ConfirmationDialog::ConfirmationDialog(Gtk::Widget& asking, const Question& question,
                                       std::function<void(bool confirmed)> answered)
    : answered_(std::move(answered)) {
  auto* root = dynamic_cast<Gtk::Window*>(asking.get_root());
  GtkWidget* window = adw_message_dialog_new(root ? root->gobj() : nullptr, question.title.c_str(),
                                             question.message.c_str());
  window_ = GObjectRef<GtkWidget>::share(window);
  auto* dialog = ADW_MESSAGE_DIALOG(window);
  adw_message_dialog_add_response(dialog, kCancel, localized("Vazgeç").c_str());
  adw_message_dialog_add_response(dialog, kConfirm, question.action.c_str());
  adw_message_dialog_set_response_appearance(dialog, kConfirm, ADW_RESPONSE_DESTRUCTIVE);
  // Escape and the window's own close answer like the cancel button.
  adw_message_dialog_set_close_response(dialog, kCancel);
  announceButtonsOnce(window);
  gtk_window_set_modal(GTK_WINDOW(window), TRUE);
  auto onResponse = +[](AdwMessageDialog*, const char* response, ConfirmationDialog* self) {
    // The owner may drop this dialog while it answers: keep what is needed on the stack.
    const auto answered = self->answered_;
    const bool confirmed = std::strcmp(response, kConfirm) == 0;
    answered(confirmed);
  };
  responseHandler_ = g_signal_connect(window, "response", G_CALLBACK(onResponse), this);
  gtk_window_present(GTK_WINDOW(window));
}

ConfirmationDialog::~ConfirmationDialog() {
  GtkWidget* window = window_.get();
  g_signal_handler_disconnect(window, responseHandler_);
  gtk_window_set_transient_for(GTK_WINDOW(window), nullptr);
  // Safe when the dialog already closed itself after a button.
  gtk_window_destroy(GTK_WINDOW(window));
  // The dialog may be emitting its answer right now: its last reference goes on a later turn.
  g_object_ref(window);
  Glib::signal_idle().connect_once([window] { g_object_unref(window); });
}

}  // namespace zemblo
