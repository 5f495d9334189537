#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "model/wallpaper.h"

namespace zemblo {

// The start page's own picture, decoded on a worker thread so that a photograph of tens of
// megapixels never holds up the window. It is scaled down while decoding to what the screen can
// show, which also keeps the upload to the graphics card short; a file that is no picture, or
// claims to be larger than any camera makes, gives none.
class WallpaperImage {
 public:
  static constexpr int kMaximumSide = 3072;
  static constexpr int64_t kMaximumSourcePixels = 400'000'000;

  using Done = std::function<void(Glib::RefPtr<Gdk::Texture>)>;

  // A load in progress; dropping it drops the answer.
  class Request;

  // The picture of a stored name, given to `done` on the main loop (none when it is missing,
  // unreadable, not a picture or too large). The last picture stays decoded while its file is
  // unchanged, so showing the start page again costs nothing.
  // `longestSide` bounds the decoded size (and is itself at most kMaximumSide).
  static std::shared_ptr<Request> load(const std::optional<std::string>& fileName, int longestSide,
                                       Done done, const std::filesystem::path& folder = {});

  // The decoding itself, as the worker runs it: oriented as the camera recorded it and at most
  // `longestSide` on its longer side. Null when the file gives no picture.
  static GdkTexture* decode(const std::filesystem::path& file, int longestSide);

  // The longer side of the largest screen of the display, in pixels; kMaximumSide when unknown.
  static int screenSide(const Glib::RefPtr<Gdk::Display>& display);
};

}  // namespace zemblo
