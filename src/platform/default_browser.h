#pragma once

#include <array>
#include <string>

// Whether the desktop hands web addresses and HTML files to this browser, through GIO's default
// application for each content type (the association the desktop's own settings change). Every
// call reads or writes desktop entries and the user's mimeapps.list: run them off the main
// thread.
namespace zemblo::default_browser {

// The desktop entry installed with the browser, named after the application id.
inline constexpr const char* kDesktopEntry = "com.pellobar.browser.desktop";
// What a web browser is the default for.
inline constexpr std::array<const char*, 3> kContentTypes = {"x-scheme-handler/http",
                                                             "x-scheme-handler/https", "text/html"};

enum class Status {
  isDefault,
  // Another application, or none, opens at least one of the types.
  notDefault,
  // The desktop has no entry of that name: nothing can be made its default.
  notInstalled,
};

Status status(const std::string& desktopEntry = kDesktopEntry);

// Makes the entry the default for every type. False when it is not installed or any type failed
// (logged); the types already changed stay changed.
bool makeDefault(const std::string& desktopEntry = kDesktopEntry);

}  // namespace zemblo::default_browser
