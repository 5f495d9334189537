#include <malloc.h>

#include <clocale>

#include "app/zemblo_app.h"
#include "platform/interface_renderer.h"
#include "platform/process.h"
#include "platform/user_defaults.h"

int main(int argc, char** argv) {
  // Blocks of 128 KiB and more come from their own mappings and go back to the system when freed.
  // The allocator would otherwise raise that bound to the largest block freed so far (image
  // buffers, files read at start-up) and keep later blocks of such sizes in the heap, where about
  // 10 MB stay resident after the first frames.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
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
