#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include <gtkmm.h>

namespace zemblo {

// Asks where one download is saved: the desktop's save dialog over `parent`, opened in the
// proposed file's folder with its name filled in. `answer` gets the chosen path once, or nothing
// when the user cancels or the dialog is closed.
void askDownloadDestination(Gtk::Window* parent, const std::filesystem::path& proposed,
                            std::function<void(std::optional<std::filesystem::path>)> answer);

}  // namespace zemblo
