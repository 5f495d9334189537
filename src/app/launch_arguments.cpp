#include "app/launch_arguments.h"

#include <glib.h>

#include <filesystem>

#include "model/app_preferences.h"
#include "model/external_address.h"
#include "model/localization.h"

namespace zemblo {

LaunchArguments::LaunchArguments(int argc, char** argv) {
  std::error_code error;
  const std::filesystem::path workingFolder = std::filesystem::current_path(error);
  bool optionsEnded = false;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    if (i == 0 || (!optionsEnded && argument.starts_with("-"))) {
      optionsEnded = argument == "--";
      if (!optionsEnded) arguments_.push_back(argument);
      continue;
    }
    if (const auto address = addressFromArgument(argument, workingFolder)) {
      arguments_.push_back(address->str());
      addresses_.push_back(address->str());
    } else {
      refused_.push_back(argument);
    }
  }
  for (auto& argument : arguments_) pointers_.push_back(argument.data());
  pointers_.push_back(nullptr);
}

void LaunchArguments::reportRefused() const {
  // Before any window: the language is the saved one, read here.
  L10n::setEnglish(isEnglish(AppPreferences::load().language));
  for (const auto& argument : refused_) {
    const std::string message = withArgument(
        localized("zemblo-browser: “%@” ne bir web adresi ne de var olan bir dosya; açılmadı."),
        argument);
    g_printerr("%s\n", message.c_str());
  }
}

}  // namespace zemblo
