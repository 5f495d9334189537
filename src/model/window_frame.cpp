#include "model/window_frame.h"

#include <algorithm>
#include <cstdint>

#include <glib.h>

#include "platform/foundation_json.h"
#include "platform/user_defaults.h"

namespace zemblo {
namespace {

std::optional<int> sideFrom(const json::Json& object, std::string_view key) {
  const int64_t side = json::requireInt(object, key);
  if (side < 1 || side > WindowFrame::kLargestSide) return std::nullopt;
  return int(side);
}

int fitted(int side, int minimum, std::optional<int> screen) {
  if (screen && *screen > 0) side = std::min(side, *screen);
  return std::max(side, minimum);
}

}  // namespace

std::optional<WindowFrame> WindowFrame::decode(std::string_view bytes) {
  const auto parsed = json::parse(bytes);
  if (!parsed || !parsed->is_object()) return std::nullopt;
  try {
    const auto width = sideFrom(*parsed, "width");
    const auto height = sideFrom(*parsed, "height");
    if (!width || !height) return std::nullopt;
    const bool maximized = parsed->contains("maximized") && json::requireBool(*parsed, "maximized");
    return WindowFrame{*width, *height, maximized};
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
}

std::string WindowFrame::encode() const {
  const json::Json value = {{"width", width}, {"height", height}, {"maximized", maximized}};
  return value.dump();
}

WindowFrame WindowFrame::fittedBetween(WindowSize minimum, std::optional<WindowSize> screen) const {
  return {fitted(width, minimum.width, screen ? std::optional(screen->width) : std::nullopt),
          fitted(height, minimum.height, screen ? std::optional(screen->height) : std::nullopt),
          maximized};
}

std::optional<WindowFrame> WindowFrameMemory::remembered(WindowSize minimum,
                                                         std::optional<WindowSize> screen) const {
  const auto bytes = defaults_.data(kDefaultsKey);
  if (!bytes) return std::nullopt;
  const auto frame = WindowFrame::decode(*bytes);
  if (!frame) {
    g_warning("the remembered window size is unusable; the window opens at its default size");
    return std::nullopt;
  }
  return frame->fittedBetween(minimum, screen);
}

void WindowFrameMemory::remember(const WindowFrame& frame) {
  defaults_.setData(kDefaultsKey, frame.encode());
}

}  // namespace zemblo
