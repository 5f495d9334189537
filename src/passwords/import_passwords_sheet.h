#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/password_import.h"
#include "passwords/gradient_tile.h"
#include "passwords/import_source.h"
#include "passwords/leading_clamp.h"
#include "platform/alive_token.h"
#include "platform/gobject_ref.h"
#include "platform/observable.h"

namespace zemblo {

class BrowserWindows;
class PasswordStore;
class PreferencesModel;

// The sheet that brings logins in from another browser or password manager: how to export them
// from the chosen source, a drop zone and an open panel for the CSV file, then either the counts
// with the advice to move the plain-text file to the trash, or why nothing was imported. Only a
// local regular file of bounded size is read, off the main loop; a dragged link is refused and
// nothing is fetched from the network.
class ImportPasswordsSheet : public Gtk::Window {
 public:
  static constexpr int kWidth = 540;

  // The sheet is tinted with the theme colours of `preferences` and the first of `windows`.
  ImportPasswordsSheet(PasswordStore& passwords, const PreferencesModel& preferences,
                       const BrowserWindows& windows, Gtk::Window& parent);
  ~ImportPasswordsSheet() override;

  // What a drop of these files does: the first one is imported when it is a file on this
  // computer; anything else is refused (false) and changes nothing.
  bool dropFiles(const std::vector<Glib::RefPtr<Gio::File>>& files);

 private:
  enum class Phase { guide, finished, failed };

  void setSource(ImportSource source);
  void chooseFile();
  void importFile(const Glib::RefPtr<Gio::File>& file);
  void moveToTrash();
  void showGuide();
  Gtk::Widget& page(Phase phase);
  void buildGuide();
  void buildFinished();
  void buildFailed();
  void showSteps();
  void showFinished(const ImportResult& result, Glib::RefPtr<Gio::File> file);
  void showFailed(const std::string& message);
  void showPhase(Phase phase);
  void setDropTargeted(bool targeted);
  void trashAnswered(bool moved);
  void syncTheme();
  void stopShrinking();

  PasswordStore& passwords_;
  const PreferencesModel& preferences_;
  const BrowserWindows& windows_;
  ImportSource source_ = ImportSource::chrome;
  Phase phase_ = Phase::guide;
  bool dropTargeted_ = false;
  bool trashed_ = false;
  bool importing_ = false;
  bool bounceA_ = false;
  Glib::RefPtr<Gio::File> imported_;
  Glib::RefPtr<Gtk::FileChooserNative> chooser_;
  Glib::RefPtr<Gtk::CssProvider> themeStyle_;
  AliveToken alive_;
  GObjectRef<GdkFrameClock> shrinkClock_;
  gulong shrink_ = 0;

  Gtk::WindowHandle handle_;
  Gtk::Stack pages_;
  // Long steps wrap rather than widen the sheet.
  LeadingClamp width_{pages_, kWidth};

  Gtk::Box guide_{Gtk::Orientation::VERTICAL, 20};
  Gtk::Image keySymbol_;
  GradientTile headerTile_{46, 13, keySymbol_};
  Gtk::Box sourcePicker_{Gtk::Orientation::HORIZONTAL, 0};
  std::vector<Gtk::ToggleButton*> sourceButtons_;
  Gtk::Box steps_{Gtk::Orientation::VERTICAL, 12};
  // A tile holds its digit until it goes, so both are owned here rather than by the rows.
  std::vector<std::unique_ptr<Gtk::Label>> stepDigits_;
  std::vector<std::unique_ptr<GradientTile>> stepNumbers_;
  Gtk::Box dropZone_{Gtk::Orientation::VERTICAL, 8};
  Gtk::Image dropSymbol_;
  Gtk::Button choose_;
  Gtk::Button cancel_;

  Gtk::Box finished_{Gtk::Orientation::VERTICAL, 14};
  Gtk::Image checkSymbol_;
  GradientTile checkTile_{54, 27, checkSymbol_};
  Gtk::Label headline_;
  Gtk::Label summary_;
  Gtk::Button trash_;
  Gtk::Button done_;

  Gtk::Box failed_{Gtk::Orientation::VERTICAL, 14};
  Gtk::Label failureMessage_;
  Gtk::Button retry_;

  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
