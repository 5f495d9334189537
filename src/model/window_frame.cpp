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
  return parsed ? fromJson(*parsed) : std::nullopt;
}

std::optional<WindowFrame> WindowFrame::fromJson(const json::Json& value) {
  if (!value.is_object()) return std::nullopt;
  const auto flag = [&](std::string_view key) {
    return value.contains(key) && json::requireBool(value, key);
  };
  try {
    const auto width = sideFrom(value, "width");
    const auto height = sideFrom(value, "height");
    if (!width || !height) return std::nullopt;
    return WindowFrame{*width, *height, flag("maximized"), flag("fullScreen")};
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
}

std::string WindowFrame::encode() const { return toJson().dump(); }

json::Json WindowFrame::toJson() const {
  json::Json value = {{"width", width}, {"height", height}, {"maximized", maximized}};
  if (fullScreen) value["fullScreen"] = true;
  return value;
}

WindowFrame WindowFrame::fittedBetween(WindowSize minimum, std::optional<WindowSize> screen) const {
  WindowFrame frame = *this;
  frame.width = fitted(width, minimum.width, screen ? std::optional(screen->width) : std::nullopt);
  frame.height =
      fitted(height, minimum.height, screen ? std::optional(screen->height) : std::nullopt);
  return frame;
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
  return frame->forNewWindow().fittedBetween(minimum, screen);
}

void WindowFrameMemory::remember(const WindowFrame& frame) {
  defaults_.setData(kDefaultsKey, frame.forNewWindow().encode());
}

}  // namespace zemblo
