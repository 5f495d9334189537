#include <clocale>

#include "app/zemblo_app.h"
#include "platform/heap.h"
#include "platform/interface_renderer.h"
#include "platform/process.h"
#include "platform/user_defaults.h"

int main(int argc, char** argv) {
  // The windows give the heap's free memory back once they are still.
  zemblo::heap::keepLargeBlocks();
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
