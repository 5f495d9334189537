#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/kit/settings_row.h"

namespace zemblo {

class PreferencesModel;

// The folder downloads go to: its name on a button that opens the desktop's folder chooser. The
// choice is stored in the preferences; until one is made the desktop's download folder is shown.
class DownloadFolderRow : public SettingsRow {
 public:
  explicit DownloadFolderRow(PreferencesModel& preferences);
  ~DownloadFolderRow() override;

 private:
  void sync();
  void choose();
  void chosen(int response);

  PreferencesModel& preferences_;
  Gtk::Button button_;
  Gtk::Label folderName_;
  Glib::RefPtr<Gtk::FileChooserNative> chooser_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
