#pragma once

#include <webkit/webkit.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "model/page_dialog.h"

namespace zemblo {

// Tells which frame of a web view's page raised a script dialog, which the engine doesn't say.
// A script in the browser's isolated world reports each frame's origin with a key of its own, and
// sends the key again just before the frame's alert, confirm or prompt asks. A frame can't raise
// that in a frame of another origin nor learn its key, so a dialog is named after an embedded
// page, or the page itself, only when the key sent just before it says so; any other dialog
// names no one.
class DialogFrames {
 public:
  // The scripts and handlers go into `contentManager`, which keeps what they share.
  static std::shared_ptr<DialogFrames> install(WebKitUserContentManager* contentManager);

  // Where the dialog the engine raises now came from; the key sent with it is used up.
  DialogSource takeSource();

 private:
  struct Frame {
    std::string origin;
    std::string host;
    bool top = false;
  };

  // A frame's report of its origin, or of a dialog it is about to raise.
  void received(JSCValue* message);

  // The frames of the page shown since its top frame reported.
  std::map<std::string, Frame> frames_;
  std::optional<Frame> top_;
  std::optional<std::string> sentKey_;
};

}  // namespace zemblo
