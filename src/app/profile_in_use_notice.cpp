#include "app/profile_in_use_notice.h"

#include <adwaita.h>

#include <memory>
#include <string>

#include "model/app_preferences.h"
#include "model/localization.h"
#include "widgets/accessibility.h"

namespace zemblo {

ProfileInUseNotice::ProfileInUseNotice(Gtk::Application* app) {
  const std::string heading = localized("Profil kullanımda");
  const std::string body = localized(
      "Zemblo bu profille başka bir oturumda zaten açık. Bir profili aynı anda iki Zemblo "
      "kullanamaz: birbirinin değişikliklerini silmesinler diye bu Zemblo hiçbir şey kaydetmeden "
      "kapanacak. Diğerini kapatıp yeniden dene.");
  window_ = GObjectRef<GtkWidget>::share(adw_message_dialog_new(nullptr, heading.c_str(), nullptr));
  auto* dialog = ADW_MESSAGE_DIALOG(window_.get());
  adw_message_dialog_set_body(dialog, body.c_str());
  adw_message_dialog_add_response(dialog, "close", localized("Tamam").c_str());
  adw_message_dialog_set_close_response(dialog, "close");
  // The window list and the window manager name it by its heading: it stands alone.
  gtk_window_set_title(GTK_WINDOW(window_.get()), heading.c_str());
  announceButtonsOnce(window_.get());
  // Held by the application while shown: closing it, the application's last window, ends it.
  if (app) gtk_application_add_window(app->gobj(), GTK_WINDOW(window_.get()));
}

ProfileInUseNotice::~ProfileInUseNotice() {
  // Safe when the dialog already closed itself after its button.
  gtk_window_destroy(GTK_WINDOW(window_.get()));
}

int ProfileInUseNotice::runAlone() {
  // The style manager would ask the desktop portal for the colour scheme; the settings tell it.
  Glib::setenv("ADW_DISABLE_PORTAL", "1");
  gtk_init();
  adw_init();
  gtk_window_set_default_icon_name("com.pellobar.browser");
  L10n::setEnglish(isEnglish(AppPreferences::load().language));
  const std::unique_ptr<GMainLoop, decltype(&g_main_loop_unref)> loop(
      g_main_loop_new(nullptr, false), g_main_loop_unref);
  ProfileInUseNotice notice(nullptr);
  // Its button, Escape and the window's close button all answer it.
  g_signal_connect_swapped(notice.window_.get(), "response", G_CALLBACK(g_main_loop_quit),
                           loop.get());
  notice.present();
  g_main_loop_run(loop.get());
  return 1;
}

void ProfileInUseNotice::present() { gtk_window_present(GTK_WINDOW(window_.get())); }

}  // namespace zemblo
