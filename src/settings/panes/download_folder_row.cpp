#include "settings/panes/download_folder_row.h"

#include "model/localization.h"
#include "model/preferences_model.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

DownloadFolderRow::DownloadFolderRow(PreferencesModel& preferences)
    : SettingsRow(localized("İndirme klasörü"), std::nullopt, "arrow.down.circle"),
      preferences_(preferences) {
  set_name("download-folder");
  auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  auto* icon = Gtk::make_managed<Gtk::Image>();
  icon->set_from_icon_name("folder-symbolic");
  hideFromScreenReaders(*icon);
  content->append(*icon);
  folderName_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  folderName_.set_max_width_chars(20);
  content->append(folderName_);
  button_.set_child(*content);
  button_.signal_clicked().connect(sigc::mem_fun(*this, &DownloadFolderRow::choose));
  setAccessibleName(button_, localized("İndirme klasörü"));
  setAccessory(button_, false);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

DownloadFolderRow::~DownloadFolderRow() {
  observer_.reset();
  if (chooser_) chooser_->hide();
}

void DownloadFolderRow::sync() {
  const std::filesystem::path folder = preferences_.prefs().effectiveDownloadFolder();
  const std::string name = folder.filename().empty() ? folder.string() : folder.filename().string();
  folderName_.set_text(name);
  button_.set_tooltip_text(folder.string());
  gtk_accessible_update_property(GTK_ACCESSIBLE(button_.gobj()),
                                 GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, folder.c_str(), -1);
}

void DownloadFolderRow::choose() {
  auto* parent = dynamic_cast<Gtk::Window*>(get_root());
  const auto action = Gtk::FileChooser::Action::SELECT_FOLDER;
  const std::string title = localized("İndirme klasörü");
  chooser_ =
      parent ? Gtk::FileChooserNative::create(title, *parent, action, localized("Seç"),
                                              localized("Vazgeç"))
             : Gtk::FileChooserNative::create(title, action, localized("Seç"), localized("Vazgeç"));
  chooser_->set_modal(true);
  chooser_->set_current_folder(
      Gio::File::create_for_path(preferences_.prefs().effectiveDownloadFolder().string()));
  chooser_->signal_response().connect(sigc::mem_fun(*this, &DownloadFolderRow::chosen));
  chooser_->show();
}

void DownloadFolderRow::chosen(int response) {
  const auto file = response == Gtk::ResponseType::ACCEPT ? chooser_->get_file() : nullptr;
  chooser_->hide();
  if (response != Gtk::ResponseType::ACCEPT) return;
  if (!file || file->get_path().empty()) {
    g_warning("The chosen download folder is not a local folder");
    return;
  }
  preferences_.updatePrefs([&](AppPreferences& prefs) { prefs.downloadFolder = file->get_path(); });
}

}  // namespace zemblo
