#pragma once

#include <functional>
#include <memory>

#include <gtk/gtk.h>
#include <gtkmm.h>

#include "model/color.h"

namespace zemblo {

class DownloadManager;
class FaviconLoader;
class FavoritesModel;
class PageServicesModel;
class PreferencesModel;
class Scheduler;
class SystemColorScheme;
class BrowserWindows;
class WindowModel;

// The models the sidebar's sections show and change, and the services they work through; all of
// them outlive the sidebar.
struct SidebarModels {
  WindowModel& tabs;
  // Every browser window, where a tab may move.
  BrowserWindows& windows;
  PreferencesModel& preferences;
  FavoritesModel& favorites;
  PageServicesModel& pageServices;
  DownloadManager& downloads;
  FaviconLoader& favicons;
  Scheduler& scheduler;
};

// What the sections of one sidebar share: the models, and the scheme their content is drawn in.
class SidebarContext : public SidebarModels {
 public:
  SidebarContext(const SidebarModels& models, const SystemColorScheme& windowScheme);

  // The scheme forced on the sidebar so its text stays readable on the tint, else the window's.
  // Reading it in a sync subscribes to what decides it.
  ColorScheme scheme() const;

  // The content's primary colour (black on light, white on dark) at an opacity.
  static GdkRGBA primary(ColorScheme scheme, double opacity = 1);

 private:
  const SystemColorScheme& windowScheme_;
};

// The style sheet of the sidebar's views, installed for a display while this is held.
class SidebarStyle {
 public:
  explicit SidebarStyle(const Glib::RefPtr<Gdk::Display>& display);
  ~SidebarStyle();
  SidebarStyle(const SidebarStyle&) = delete;
  SidebarStyle& operator=(const SidebarStyle&) = delete;

 private:
  Glib::RefPtr<Gdk::Display> display_;
  Glib::RefPtr<Gtk::CssProvider> provider_;
};

// A menu label that shows `text` as it is: menus read "_" as a mnemonic mark, and names of
// spaces and sites are shown as typed.
Glib::ustring literalMenuLabel(const std::string& text);

}  // namespace zemblo
