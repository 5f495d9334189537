#include <clocale>

#include "app/launch_arguments.h"
#include "app/profile_in_use_notice.h"
#include "app/zemblo_app.h"
#include "platform/heap.h"
#include "platform/interface_renderer.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/profile_lock.h"
#include "platform/runtime_folder.h"
#include "platform/user_defaults.h"

int main(int argc, char** argv) {
  // The windows give the heap's free memory back once they are still.
  zemblo::heap::keepLargeBlocks();
  std::setlocale(LC_ALL, "");
  zemblo::LaunchArguments arguments(argc, argv);
  if (!arguments.refused().empty()) {
    arguments.reportRefused();
    return 1;
  }
  // A browser of another login session holds the profile: this start says so at once, before
  // anything that could wait on its own session's bus.
  if (zemblo::ProfileLock::heldByAnother(zemblo::paths::appSupportDirectory(),
                                         zemblo::ZembloApp::sessionBusAddress())) {
    return zemblo::ProfileInUseNotice::runAlone();
  }
  zemblo::process::applyPreferredLanguages(zemblo::UserDefaults::standard());
  zemblo::interface_renderer::applyToProcess();
  int status = 0;
  bool relaunch = false;
  {
    // Gone before a relaunch, which makes its own.
    const zemblo::RuntimeFolder runtimeFolder;
    auto app = zemblo::ZembloApp::create();
    app->setLaunchAddresses(arguments.addresses());
    status = app->run(arguments.count(), arguments.values());
    relaunch = app->relaunchRequested();
    if (app->profileInUse()) status = 1;
  }
  // The addresses of this start are tabs of the saved session by now: the new start opens none.
  char* programOnly[] = {argv[0], nullptr};
  if (relaunch) zemblo::process::restartInPlace(programOnly);
  return status;
}
