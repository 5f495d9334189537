#include <clocale>

#include "app/zemblo_app.h"
#include "platform/interface_renderer.h"
#include "platform/process.h"
#include "platform/user_defaults.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  zemblo::process::applyPreferredLanguages(zemblo::UserDefaults::standard());
  zemblo::interface_renderer::applyToProcess();
  int status = 0;
  bool relaunch = false;
  {
    auto app = zemblo::ZembloApp::create();
    status = app->run(argc, argv);
    relaunch = app->relaunchRequested();
  }
  if (relaunch) zemblo::process::restartInPlace(argv);
  return status;
}
