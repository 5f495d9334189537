#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// What the desktop does with a user's file: open it with the application chosen for its type, or
// show it in the file manager. Both return at once and finish on the main loop; a failure is
// logged and changes nothing.
namespace zemblo::desktop {

// Whether files of this content type (or one it derives from) are programs, installers or
// launchers that their usual handler would run rather than show.
bool runsAsProgram(std::string_view contentType);

// Hands the file to the default application for its content type. The file itself is never
// executed: a program is shown in the file manager instead. `failed`, when given, learns why the
// file could not be opened (it is gone, or no application takes its type).
void openFile(const std::filesystem::path& file,
              std::function<void(const std::string& reason)> failed = {});

// Shows the file selected in the file manager (org.freedesktop.FileManager1.ShowItems); without
// such a service, or while the file is not there, opens the folder that holds it.
void revealFile(const std::filesystem::path& file);

}  // namespace zemblo::desktop
